#include "InstallationCheck.h"

#include <QFile>
#include <QTextBrowser>
#include <algorithm>
#include <gtest/gtest.h>

#include "HelpViewer.h"
#include "IconTestSupport.h"
#include "QtTestSupport.h"
#include "Resources.h"

using namespace kestrel;
using namespace kestrel::qt;

namespace {

// An installed layout in a temporary folder: share/kestrel and share/icons/hicolor.
class installation_check_test : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(guideFolder);
        test::InstallAllIcons(theme);
        ASSERT_TRUE(QFile::copy(QStringLiteral(KESTREL_HELP_SOURCE), guide));
        window.setWindowIcon(ApplicationIcon(theme));
    }

    QStringList IconLines(const QList<int>& sizes) const {
        QStringList lines;
        for (const int size : sizes) {
            lines
                << QStringLiteral("icon %1x%1: %2").arg(size).arg(ApplicationIconFile(theme, size));
        }
        return lines;
    }

    test::TempFolder folder;
    const QString guideFolder = folder.Path(QStringLiteral("share/kestrel"));
    const QString guide = guideFolder + QStringLiteral("/kestrel.html");
    const QString theme = folder.Path(QStringLiteral("share/icons/hicolor"));
    QWidget window;
};

} // namespace

TEST_F(installation_check_test, whole_installation_reports_the_guide_and_every_icon_file) {
    const InstallationReport report = CheckInstallation(window, {guideFolder}, theme);
    EXPECT_EQ(report.found,
              QStringList{QStringLiteral("guide: ") + guide} + IconLines(ApplicationIconSizes()));
    EXPECT_EQ(report.problems, QStringList());
    EXPECT_EQ(PrintInstallationReport(report), 0);
    // The check closes the help window it opened.
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_TRUE(std::none_of(windows.begin(), windows.end(), [](QWidget* widget) {
        return qobject_cast<QTextBrowser*>(widget) != nullptr;
    }));
}

TEST_F(installation_check_test, missing_guide_and_icon_files_are_problems) {
    const QString empty = folder.Path(QStringLiteral("empty"));
    QFile::remove(ApplicationIconFile(theme, 24));
    test::InstallIcon(theme, 32, 256); // a file of the wrong size
    const InstallationReport report = CheckInstallation(window, {empty, empty + "2"}, theme);
    EXPECT_EQ(
        report.problems,
        (QStringList{QStringLiteral("The user guide kestrel.html is in none of these folders: ") +
                         empty + QStringLiteral(", ") + empty + QStringLiteral("2."),
                     QStringLiteral("The application icon of 24x24 pixels is not installed as %1.")
                         .arg(ApplicationIconFile(theme, 24)),
                     QStringLiteral("The application icon of 256x256 pixels is not installed as "
                                    "%1.")
                         .arg(ApplicationIconFile(theme, 256))}));
    EXPECT_EQ(report.found, IconLines({16, 22, 32, 48, 64, 128}));
    EXPECT_EQ(PrintInstallationReport(report), 1);
}

TEST_F(installation_check_test, a_window_icon_other_than_the_installed_one_is_a_problem) {
    // The installed 64-pixel file is another picture than the one the window shows.
    QImage other(64, 64, QImage::Format_ARGB32);
    other.fill(Qt::red);
    ASSERT_TRUE(other.save(ApplicationIconFile(theme, 64)));
    const InstallationReport report = CheckInstallation(window, {guideFolder}, theme);
    EXPECT_EQ(report.problems,
              QStringList{QStringLiteral("The window's icon of 64x64 pixels is not the installed "
                                         "%1.")
                              .arg(ApplicationIconFile(theme, 64))});

    // Pictures are compared, not file names: a window that shows the built-in copies, the same
    // renderings, differs only where the installed file does.
    QWidget builtIn;
    builtIn.setWindowIcon(ApplicationIcon(BuiltInIconTheme()));
    EXPECT_EQ(CheckInstallation(builtIn, {guideFolder}, theme).problems, report.problems);
}
