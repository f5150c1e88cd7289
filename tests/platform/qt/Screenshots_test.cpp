// Renders the main dialog after examining a sample GeoTIFF, the About box and the help
// window to PNG files under the build folder, for a person to look at.
#include <QDir>
#include <QImage>
#include <QSet>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "AboutBox.h"
#include "HelpViewer.h"
#include "ReferencingFixture.h"

using namespace kestrel;
using namespace kestrel::qt;
using screenshots_test = kestrel::qt::test::ReferencingFixture;

namespace {

// Saves the widget's picture and checks that it shows something.
void Save(QWidget& widget, const QString& name) {
    QDir().mkpath(QStringLiteral(KESTREL_SCREENSHOTS));
    const QString path = QStringLiteral(KESTREL_SCREENSHOTS "/") + name;
    const QImage image = widget.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), widget.size() * widget.devicePixelRatioF());
    // Text, frames and artwork give many colours; an empty or unpainted window gives few.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            colours.insert(image.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 16) << name.toStdString() << " looks blank";
    EXPECT_TRUE(image.save(path)) << path.toStdString();
}

} // namespace

TEST_F(screenshots_test, main_dialog_about_box_and_help) {
    const QString tiff = MakeTiff("sample.tif", true);
    WriteWorldFile(folder.Path("sample.tfw"), {"10", "0", "0", "-10", "500005", "4649995"});
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, tiff);
    ASSERT_EQ(Text(*window, IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    Save(*window, "main-dialog.png");

    AboutBox about(window.get(), {});
    about.show();
    QCoreApplication::processEvents();
    Save(about, "about-box.png");
    about.close();

    QTextBrowser* help = OpenHelpWindow(HelpContents);
    ASSERT_NE(help, nullptr);
    QCoreApplication::processEvents();
    Save(*help, "help.png");
    CloseHelpWindow();
}
