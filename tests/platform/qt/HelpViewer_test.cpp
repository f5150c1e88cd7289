#include "HelpViewer.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <map>
#include <vector>

#include "ControlIds.h"
#include "Conversions.h"
#include "QtTestSupport.h"
#include "uMessageStyle.h"

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

// The dialog's labels of the two sides, in the order of the members they show.
const QStringList TiffLabels{"X Pixel Scale",     "Y Pixel Scale",      "Tie Point, X Pixel",
                             "Tie Point Y Pixel", "Tie Point, World X", "Tie Point, World Y"};
const QStringList WorldLabels{"X Vector X", "X Vector Y",         "Y Vector X",
                              "Y Vector Y", "World Ref. Point X", "World Ref. Point Y"};

// One worked example of the guide: a table whose rows give a field and its value before the
// conversion, then a field and its value after it.
struct Example {
    std::map<QString, double> before;
    std::map<QString, double> after;
};

double GuideNumber(QString text) {
    text.replace(QStringLiteral("&minus;"), QStringLiteral("-"));
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    EXPECT_TRUE(ok) << "not a number: " << text;
    return value;
}

Example ReadExample(const QString& guide, const QString& id) {
    Example example;
    const QRegularExpression table(QStringLiteral("<table id=\"%1\">(.*?)</table>").arg(id),
                                   QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch found = table.match(guide);
    EXPECT_TRUE(found.hasMatch()) << "the guide has no table " << id;
    const QRegularExpression row(QStringLiteral(
        "<tr><td>([^<]*)</td><td>([^<]*)</td><td>([^<]*)</td><td>([^<]*)</td></tr>"));
    for (auto match = row.globalMatch(found.captured(1)); match.hasNext();) {
        const QRegularExpressionMatch cells = match.next();
        example.before[cells.captured(1)] = GuideNumber(cells.captured(2));
        example.after[cells.captured(3)] = GuideNumber(cells.captured(4));
    }
    return example;
}

// The six values of one side, in the order of its labels; the side must be complete.
std::vector<double> Side(const std::map<QString, double>& values, const QStringList& labels) {
    std::vector<double> side;
    for (const QString& label : labels) {
        const auto found = values.find(label);
        EXPECT_NE(found, values.end()) << "the example lacks " << label;
        side.push_back(found == values.end() ? 0.0 : found->second);
    }
    EXPECT_EQ(values.size(), labels.size());
    return side;
}

std::vector<double> Values(const TiffReferencing& t) {
    return {t.xPixelScale, t.yPixelScale, t.tiePixelX, t.tiePixelY, t.tieWorldX, t.tieWorldY};
}
std::vector<double> Values(const WorldReferencing& w) {
    return {w.xVectorX, w.xVectorY, w.yVectorX, w.yVectorY, w.refPointX, w.refPointY};
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
    EXPECT_EQ(OpenHelpWindow(HelpContents, {empty.Path()}, recorder.Answer()), nullptr);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].caption, "Application Installation Problem");
    EXPECT_EQ(recorder.boxes[0].style & TuStyleIconMask, TuStyleIconError);
    EXPECT_TRUE(recorder.boxes[0].text.contains("kestrel.html"));
    EXPECT_TRUE(recorder.boxes[0].text.contains(empty.Path()));
}

TEST(help_viewer_test, window_opens_at_the_topic_and_is_reused) {
    test::TempFolder folder;
    QFile::copy(QStringLiteral(KESTREL_HELP_SOURCE), folder.Path(HelpFileName()));
    QTextBrowser* window = OpenHelpWindow(HelpTopicOfTemplate(IDD_REFERENCING), {folder.Path()});
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Kestrel Help");
    EXPECT_EQ(window->source().toLocalFile(), folder.Path(HelpFileName()));
    EXPECT_EQ(window->source().fragment(), "contents");
    EXPECT_TRUE(window->document()->toPlainText().contains("The two kinds of referencing"));

    QTextBrowser* again = OpenHelpWindow(HelpTopicOfTemplate(IDD_ABOUTBOX), {folder.Path()});
    EXPECT_EQ(again, window);
    CloseHelpWindow();
    QCoreApplication::processEvents();
}

TEST(help_viewer_test, guide_has_every_topic_and_status_line) {
    const QString guide = ReadGuide();
    for (int topic :
         {HelpContents, HelpTopicOfTemplate(IDD_REFERENCING), HelpTopicOfTemplate(IDD_ABOUTBOX)}) {
        const QString anchor = HelpAnchor(topic);
        EXPECT_TRUE(guide.contains(QStringLiteral("name=\"%1\"").arg(anchor))) << topic;
    }
    EXPECT_EQ(HelpAnchor(HelpTopicOfTemplate(IDD_ABOUTBOX)), "about");
    // Every internal link leads to an anchor of the guide.
    const QRegularExpression link(QStringLiteral("href=\"#([a-z-]+)\""));
    for (auto match = link.globalMatch(guide); match.hasNext();) {
        const QString target = match.next().captured(1);
        EXPECT_TRUE(guide.contains(QStringLiteral("name=\"%1\"").arg(target)))
            << target.toStdString();
    }
    for (const char* status : {"No file specified as yet.",
                               "Tiff file is georeferenced.",
                               "Tiff file is NOT georeferenced.",
                               "Indicated Tiff file does not exist.",
                               "Indicated Tiff file cannot be read.",
                               "No Tiff file specified as yet.",
                               "Corresponding world file exists.",
                               "Corresponding world file does not exist.",
                               "Corresponding world file cannot be read.",
                               "Corresponding world file is not a file.",
                               "Valid Tiff file has not been selected.",
                               "Write new world file.",
                               "Update existing World file.",
                               "Indicated file does not exist.",
                               "Please enter a number.",
                               "Tiff file is georeferenced, pixel-is-point.",
                               "Tiff file is georeferenced by a matrix.",
                               "Tiff file has a rotated matrix.",
                               "Tiff file's matrix is not north-up.",
                               "Tiff file has 3 ground control points.",
                               "Corresponding world file (.wld) exists."}) {
        EXPECT_TRUE(guide.contains(QString::fromUtf8(status))) << status;
    }
}

// The guide's worked examples are what the program computes, number for number.
TEST(help_viewer_test, guide_examples_are_what_the_conversions_give) {
    const QString guide = ReadGuide();

    const Example toWorld = ReadExample(guide, QStringLiteral("example-tiff-to-world"));
    const std::vector<double> tiff = Side(toWorld.before, TiffLabels);
    ASSERT_EQ(tiff.size(), 6u);
    // A tie point away from pixel (0, 0), so that the example shows where it counts.
    EXPECT_NE(tiff[2], 0.0);
    EXPECT_NE(tiff[3], 0.0);
    const TiffReferencing from{tiff[0], tiff[1], tiff[2], tiff[3], tiff[4], tiff[5]};
    EXPECT_EQ(Side(toWorld.after, WorldLabels),
              Values(WorldFromTiePoint(from, TuRasterType::PixelIsArea)));

    const Example toTiff = ReadExample(guide, QStringLiteral("example-world-to-tiff"));
    const std::vector<double> world = Side(toTiff.before, WorldLabels);
    ASSERT_EQ(world.size(), 6u);
    const WorldReferencing back{world[0], world[1], world[2], world[3], world[4], world[5]};
    EXPECT_EQ(Side(toTiff.after, TiffLabels), Values(WorldToTiff(back)));
}
