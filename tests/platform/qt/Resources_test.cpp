#include "Resources.h"

#include <QFile>
#include <QImageReader>
#include <gtest/gtest.h>

#include "ControlIds.h"
#include "IconTestSupport.h"
#include "QtTestSupport.h"

using namespace kestrel;
using namespace kestrel::qt;

namespace {

// The theme's file at the given sizes and the built-in one at the others.
QStringList Expected(const QString& theme, const QList<int>& installedSizes) {
    QStringList files;
    for (const int size : ApplicationIconSizes()) {
        files << ApplicationIconFile(installedSizes.contains(size) ? theme : BuiltInIconTheme(),
                                     size);
    }
    return files;
}

} // namespace

TEST(resources_test, built_in_icons_are_the_renderings_that_are_installed) {
    EXPECT_EQ(ApplicationIconSizes(), (QList<int>{16, 22, 24, 32, 48, 64, 128, 256}));
    for (const int size : ApplicationIconSizes()) {
        QFile builtIn(ApplicationIconFile(BuiltInIconTheme(), size));
        QFile rendered(ApplicationIconFile(QStringLiteral(KESTREL_RENDERED_ICONS), size));
        ASSERT_TRUE(builtIn.open(QIODevice::ReadOnly)) << size;
        ASSERT_TRUE(rendered.open(QIODevice::ReadOnly)) << size;
        EXPECT_EQ(builtIn.readAll(), rendered.readAll()) << size;
        EXPECT_EQ(QImageReader(builtIn.fileName()).size(), QSize(size, size));
    }
}

TEST(resources_test, icon_files_come_from_the_installed_theme_where_usable) {
    test::TempFolder folder;
    const QString theme = folder.Path(QStringLiteral("hicolor"));
    // No theme at all: every size is the built-in one.
    EXPECT_EQ(ApplicationIconFiles(theme), Expected(theme, {}));
    EXPECT_EQ(ApplicationIconFiles(QString()), Expected(QString(), {}));

    test::InstallAllIcons(theme);
    EXPECT_EQ(ApplicationIconFiles(theme), Expected(theme, ApplicationIconSizes()));

    // A missing file, a file of another size and a file that is no image are passed over.
    QFile::remove(ApplicationIconFile(theme, 32));
    test::InstallIcon(theme, 48, 16);
    QFile text(ApplicationIconFile(theme, 128));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly | QIODevice::Truncate));
    text.write("not a picture");
    text.close();
    EXPECT_EQ(ApplicationIconFiles(theme), Expected(theme, {22, 24, 48, 64, 256}));
}

TEST(resources_test, application_icon_shows_the_chosen_files) {
    test::TempFolder folder;
    const QString theme = folder.Path(QStringLiteral("hicolor"));
    // The 48-pixel slot holds a picture of its own size but another drawing (the 64 scaled).
    test::InstallAllIcons(theme);
    QImage other = QImage(ApplicationIconFile(BuiltInIconTheme(), 64)).scaled(48, 48);
    other.setPixel(0, 0, qRgba(255, 0, 0, 255));
    ASSERT_TRUE(other.save(ApplicationIconFile(theme, 48)));

    const QIcon icon = ApplicationIcon(theme);
    EXPECT_TRUE(test::SamePicture(icon.pixmap(QSize(48, 48)).toImage(), other));
    EXPECT_TRUE(test::SamePicture(icon.pixmap(QSize(32, 32)).toImage(),
                                  QImage(ApplicationIconFile(theme, 32))));
    EXPECT_FALSE(test::SamePicture(icon.pixmap(QSize(48, 48)).toImage(),
                                   QImage(ApplicationIconFile(BuiltInIconTheme(), 48))));
}

TEST(resources_test, resource_pixmaps_fit_their_control) {
    // The icon is the rendering of the nearest size; the picture keeps its proportions.
    const QPixmap icon = ResourcePixmap(IDR_MAINFRAME, QSize(32, 30));
    EXPECT_EQ(icon.size(), QSize(30, 30));
    const QPixmap exact = ResourcePixmap(IDR_MAINFRAME, QSize(24, 24));
    EXPECT_TRUE(
        test::SamePicture(exact.toImage(), QImage(ApplicationIconFile(BuiltInIconTheme(), 24))));
    const QPixmap picture = ResourcePixmap(IDB_PICTURE, QSize(150, 150));
    EXPECT_EQ(picture.size(), QSize(150, 40));
    EXPECT_TRUE(ResourcePixmap(IDD_ABOUTBOX, QSize(32, 32)).isNull());
}
