#include "AboutBox.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>
#include <vector>

#include "ControlIds.h"
#include "HelpViewer.h"
#include "IconTestSupport.h"
#include "QtTestSupport.h"
#include "Resources.h"

using namespace kestrel;
using namespace kestrel::qt;

namespace {

QString Notice(const QString& licenceFile) {
    return "Kestrel is free software, released under the MIT License. It is provided \"as "
           "is\", without warranty of any kind, express or implied. Keep a copy of your files: "
           "the authors are not liable for any damage arising from its use. See the file " +
           licenceFile + ".";
}

} // namespace

TEST(about_box_test, shows_name_release_and_notice) {
    const QString licence = QStringLiteral("/usr/local/share/kestrel/LICENSE");
    AboutBox box(nullptr, {}, licence);
    EXPECT_EQ(box.windowTitle(), "About Kestrel");
    bool releaseShown = false;
    for (QWidget* widget : box.Widgets()) {
        if (auto* label = qobject_cast<QLabel*>(widget);
            label && label->text() == "Kestrel, Release 1.01") {
            releaseShown = true;
        }
    }
    EXPECT_TRUE(releaseShown);
    auto* notice = qobject_cast<QLabel*>(box.Control(IDC_DISCLAIMER));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->text(), Notice(licence));
    // The notice fits its field with the dialog's font: nothing is cut off.
    EXPECT_LE(notice->heightForWidth(notice->width()), notice->height());
}

TEST(about_box_test, ok_and_esc_close_it) {
    {
        AboutBox box(nullptr, {});
        ASSERT_TRUE(test::ShowActive(box));
        auto* ok = qobject_cast<QPushButton*>(box.Control(IDOK));
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isDefault());
        EXPECT_TRUE(ok->hasFocus());
        QTest::keyClick(&box, Qt::Key_Return);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.result(), QDialog::Accepted);
    }
    {
        AboutBox box(nullptr, {});
        ASSERT_TRUE(test::ShowActive(box));
        QTest::keyClick(&box, Qt::Key_Escape);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.result(), QDialog::Rejected);
    }
}

TEST(about_box_test, f1_asks_for_the_about_topic) {
    std::vector<int> topics;
    AboutBox box(nullptr, [&topics](int topic) { topics.push_back(topic); });
    ASSERT_TRUE(test::ShowActive(box));
    QTest::keyClick(&box, Qt::Key_F1);
    EXPECT_EQ(topics, std::vector<int>{HelpTopicOfTemplate(IDD_ABOUTBOX)});
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(HelpAnchor(topics.at(0)), "about");
}

// The notice names the licence that lies beside the guide: the program's own copy first,
// else the installed one.
TEST(about_box_test, names_the_licence_it_finds) {
    test::TempFolder program;
    test::TempFolder installed;
    const QStringList folders{program.Path(), installed.Path()};
    EXPECT_EQ(LocateLicenceFile(folders), "");
    for (const test::TempFolder* folder : {&installed, &program}) {
        QFile licence(folder->Path(LicenceFileName()));
        ASSERT_TRUE(licence.open(QIODevice::WriteOnly));
        licence.write("MIT License\n");
        licence.close();
        EXPECT_EQ(LocateLicenceFile(folders), folder->Path("LICENSE"));
    }

    // The tests, like the program, have the licence beside them.
    AboutBox box(nullptr, {});
    EXPECT_EQ(qobject_cast<QLabel*>(box.Control(IDC_DISCLAIMER))->text(),
              Notice(QCoreApplication::applicationDirPath() + "/LICENSE"));
}

TEST(about_box_test, shows_the_application_icon) {
    AboutBox box(nullptr, {});
    std::vector<const QLabel*> pictures;
    for (QWidget* widget : box.Widgets()) {
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->pixmap().isNull()) {
            pictures.push_back(label);
        }
    }
    ASSERT_EQ(pictures.size(), 1u);
    const QImage shown = pictures[0]->pixmap().toImage();
    EXPECT_LE(shown.width(), pictures[0]->width());
    EXPECT_LE(shown.height(), pictures[0]->height());
    EXPECT_TRUE(test::SamePicture(shown, ApplicationIcon().pixmap(shown.size()).toImage()));
}
