#include "HelpViewer.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "ControlIds.h"
#include "QtTestSupport.h"

using namespace kestrel;
using namespace kestrel::qt;

namespace {

QString ReadGuide() {
    QFile guide(QStringLiteral(KESTREL_HELP_SOURCE));
    EXPECT_TRUE(guide.open(QIODevice::ReadOnly)) << KESTREL_HELP_SOURCE;
    return QString::fromUtf8(guide.readAll());
}

void WriteGuide(const QString& path, const QString& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

} // namespace

TEST(help_viewer_test, guide_is_found_in_the_first_folder_that_has_it) {
    test::TempFolder first;
    test::TempFolder second;
    const QStringList folders{first.Path(), second.Path()};
    EXPECT_EQ(LocateHelpFile(folders), "");
    WriteGuide(second.Path(HelpFileName()), "<p>second</p>");
    EXPECT_EQ(LocateHelpFile(folders), second.Path(HelpFileName()));
    WriteGuide(first.Path(HelpFileName()), "<p>first</p>");
    EXPECT_EQ(LocateHelpFile(folders), first.Path(HelpFileName()));
}

TEST(help_viewer_test, missing_guide_is_reported_and_opens_nothing) {
    test::TempFolder empty;
    test::MessageBoxRecorder recorder;
    EXPECT_EQ(OpenHelpWindow(HelpContentsTopic, {empty.Path()}), nullptr);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].caption, "Application Installation Problem");
    EXPECT_EQ(recorder.boxes[0].style & 0xF0, 0x10);
    EXPECT_TRUE(recorder.boxes[0].text.contains("kestrel.html"));
    EXPECT_TRUE(recorder.boxes[0].text.contains(empty.Path()));
}

TEST(help_viewer_test, window_opens_at_the_topic_and_is_reused) {
    test::TempFolder folder;
    QFile::copy(QStringLiteral(KESTREL_HELP_SOURCE), folder.Path(HelpFileName()));
    QTextBrowser* window = OpenHelpWindow(HelpTopicOf(IDD_REFERENCING), {folder.Path()});
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Kestrel Help");
    EXPECT_EQ(window->source().toLocalFile(), folder.Path(HelpFileName()));
    EXPECT_EQ(window->source().fragment(), "contents");
    EXPECT_TRUE(window->document()->toPlainText().contains("The two kinds of referencing"));

    QTextBrowser* again = OpenHelpWindow(HelpTopicOf(IDD_ABOUTBOX), {folder.Path()});
    EXPECT_EQ(again, window);
    CloseHelpWindow();
    QCoreApplication::processEvents();
}

TEST(help_viewer_test, guide_has_every_topic_and_status_line) {
    const QString guide = ReadGuide();
    for (int topic : {HelpContentsTopic, HelpTopicOf(IDD_REFERENCING), HelpTopicOf(IDD_ABOUTBOX)}) {
        const QString anchor = HelpAnchor(topic);
        EXPECT_TRUE(guide.contains(QStringLiteral("name=\"%1\"").arg(anchor))) << topic;
    }
    EXPECT_EQ(HelpAnchor(HelpTopicOf(IDD_ABOUTBOX)), "about");
    // Every internal link leads to an anchor of the guide.
    const QRegularExpression link(QStringLiteral("href=\"#([a-z-]+)\""));
    for (auto match = link.globalMatch(guide); match.hasNext();) {
        const QString target = match.next().captured(1);
        EXPECT_TRUE(guide.contains(QStringLiteral("name=\"%1\"").arg(target)))
            << target.toStdString();
    }
    for (const char* status :
         {"No file specified as yet.", "Tiff file is georeferenced.",
          "Tiff file is NOT georeferenced.", "Indicated Tiff file does not exist.",
          "Indicated Tiff file cannot be read.", "No Tiff file specified as yet.",
          "Corresponding world file exists.", "Corresponding world file does not exist.",
          "Corresponding world file cannot be read.", "Valid Tiff file has not been selected.",
          "Write new world file.", "Update existing World file.", "Indicated file does not exist.",
          "Please enter a number."}) {
        EXPECT_TRUE(guide.contains(QString::fromUtf8(status))) << status;
    }
}
