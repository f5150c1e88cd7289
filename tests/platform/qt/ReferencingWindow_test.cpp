#include "ReferencingWindow.h"

#include <QContextMenuEvent>
#include <QTextBrowser>
#include <gtest/gtest.h>
#include <map>

#include "AboutBox.h"
#include "HelpViewer.h"
#include "IconTestSupport.h"
#include "ReferencingFixture.h"
#include "ReferencingState.h"
#include "Resources.h"
#include "uMessageStyle.h"

using namespace kestrel;
using namespace kestrel::qt;
using referencing_window_test = kestrel::qt::test::ReferencingFixture;

namespace {

// Reads a world file's six numbers.
std::vector<double> ReadWorldFile(const QString& path) {
    QFile file(path);
    std::vector<double> values;
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QString& line :
             QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
            values.push_back(line.trimmed().toDouble());
        }
    }
    return values;
}

// The TIFF's tag values as libgeotiff's listgeo reads them: the line after the tag's name.
QString ListgeoLineAfter(const QString& path, const QString& tag) {
    QProcess listgeo;
    listgeo.start("listgeo", {path});
    listgeo.waitForFinished();
    const QStringList lines = QString::fromUtf8(listgeo.readAllStandardOutput()).split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].contains(tag)) {
            return lines[i + 1].simplified();
        }
    }
    return QString();
}

} // namespace

TEST_F(referencing_window_test, opens_in_its_initial_state) {
    auto window = OpenWindow();
    EXPECT_EQ(window->windowTitle(), "Tiff/World File Referencing Examine/Edit");
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(Text(*window, IDC_TIFF_STATUS), "No file specified as yet.");
    EXPECT_EQ(Text(*window, IDC_WORLD_STATUS), "No Tiff file specified as yet.");
    EXPECT_FALSE(Button(*window, IDC_UPDATE_TIFF)->isEnabled());
    EXPECT_FALSE(Button(*window, IDC_UPDATE_WORLD)->isEnabled());
    for (int id = IDC_X_PIXEL_SCALE; id <= IDC_REF_POINT_Y; ++id) {
        EXPECT_EQ(Text(*window, id), "0") << id;
    }
    EXPECT_EQ(Text(*window, IDC_FILE_NAME), "");
    EXPECT_TRUE(HasFocus(*window, IDC_FILE_NAME));
    EXPECT_FALSE(window->windowIcon().isNull());
}

TEST_F(referencing_window_test, window_icon_is_the_application_icon_at_every_size) {
    // Run from the build folder, the program has no installed theme: the built-in renderings.
    auto window = OpenWindow();
    for (const int size : ApplicationIconSizes()) {
        EXPECT_TRUE(test::SamePicture(window->windowIcon().pixmap(QSize(size, size)).toImage(),
                                      QImage(ApplicationIconFile(BuiltInIconTheme(), size))))
            << size;
    }
}

TEST_F(referencing_window_test, typing_a_name_without_extension_examines_the_tiff) {
    MakeTiff("sheet.tif", true);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.Path());
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, "sheet");
    QDir::setCurrent(previous);

    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;
    EXPECT_EQ(Text(*window, IDC_FILE_NAME), QDir(folder.Path()).absoluteFilePath("sheet.tif"));
    EXPECT_FALSE(Edit(*window, IDC_FILE_NAME)->isModified()) << "the program set the name";
    EXPECT_EQ(Text(*window, IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(Text(*window, IDC_X_PIXEL_SCALE), "10");
    EXPECT_EQ(Text(*window, IDC_Y_PIXEL_SCALE), "10");
    EXPECT_EQ(Text(*window, IDC_TIE_PIXEL_X), "0");
    EXPECT_EQ(Text(*window, IDC_TIE_WORLD_X), "500000");
    EXPECT_EQ(Text(*window, IDC_TIE_WORLD_Y), "4650000");
    EXPECT_EQ(Text(*window, IDC_WORLD_STATUS), "Corresponding world file does not exist.");
    EXPECT_EQ(Text(*window, IDC_UPDATE_WORLD), "Write new world file.");
    EXPECT_TRUE(Button(*window, IDC_UPDATE_WORLD)->isEnabled());
    EXPECT_TRUE(Button(*window, IDC_UPDATE_TIFF)->isEnabled());
    EXPECT_TRUE(HasFocus(*window, IDC_X_PIXEL_SCALE));
}

TEST_F(referencing_window_test, a_missing_file_is_refused_until_the_name_changes) {
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, folder.Path("missing.tif"));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Indicated file does not exist.");
    EXPECT_EQ(boxes.boxes[0].caption, ApplicationTitle());
    EXPECT_TRUE(HasFocus(*window, IDC_FILE_NAME));
    EXPECT_EQ(Text(*window, IDC_TIFF_STATUS), "No file specified as yet.");

    // The name still counts as changed: leaving the field again asks again.
    QTest::keyClick(Edit(*window, IDC_FILE_NAME), Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.boxes.size(), 2u);
}

TEST_F(referencing_window_test, leaving_an_unchanged_name_does_nothing) {
    auto window = OpenWindow();
    QTest::keyClick(Edit(*window, IDC_FILE_NAME), Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(HasFocus(*window, IDC_BROWSE));
    EXPECT_EQ(Text(*window, IDC_TIFF_STATUS), "No file specified as yet.");
}

TEST_F(referencing_window_test, browse_examines_the_chosen_file_and_cancel_changes_nothing) {
    const QString tiff = MakeTiff("chosen.tif", true);
    auto window = OpenWindow();
    fileDialog.answer = tiff;
    Click(*window, IDC_BROWSE);
    ASSERT_EQ(fileDialog.seen.size(), 1u);
    EXPECT_EQ(fileDialog.seen[0].title, "Tiff File Name");
    EXPECT_EQ(fileDialog.seen[0].filters, QStringList{"Tiff Files (*.tif)"});
    EXPECT_EQ(fileDialog.seen[0].defaultSuffix, "tif");
    EXPECT_EQ(fileDialog.seen[0].mode, QFileDialog::ExistingFile);
    EXPECT_EQ(Text(*window, IDC_FILE_NAME), tiff);
    EXPECT_EQ(Text(*window, IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_TRUE(HasFocus(*window, IDC_X_PIXEL_SCALE));
    fileDialog.answer = std::nullopt;
    Click(*window, IDC_BROWSE);
    ASSERT_EQ(fileDialog.seen.size(), 2u);
    // The dialog starts at the current name.
    EXPECT_EQ(QDir(fileDialog.seen[1].directory).canonicalPath(),
              QDir(folder.Path()).canonicalPath());
    EXPECT_EQ(Text(*window, IDC_FILE_NAME), tiff);
    EXPECT_EQ(Text(*window, IDC_X_PIXEL_SCALE), "10");
    EXPECT_TRUE(HasFocus(*window, IDC_FILE_NAME));
}

TEST_F(referencing_window_test, converts_and_writes_both_sides) {
    const QString tiff = MakeTiff("both.tif", true);
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, tiff);

    Click(*window, IDC_TIFF_TO_WORLD);
    EXPECT_EQ(Text(*window, IDC_X_VECTOR_X), "10");
    EXPECT_EQ(Text(*window, IDC_X_VECTOR_Y), "0");
    EXPECT_EQ(Text(*window, IDC_Y_VECTOR_X), "0");
    EXPECT_EQ(Text(*window, IDC_Y_VECTOR_Y), "-10");
    EXPECT_EQ(Text(*window, IDC_REF_POINT_X), "500005");
    EXPECT_EQ(Text(*window, IDC_REF_POINT_Y), "4649995");

    Click(*window, IDC_UPDATE_WORLD);
    const QString worldFile = folder.Path("both.tfw");
    EXPECT_EQ(ReadWorldFile(worldFile), (std::vector<double>{10, 0, 0, -10, 500005, 4649995}));
    EXPECT_EQ(Text(*window, IDC_WORLD_STATUS), "Corresponding world file exists.");
    EXPECT_EQ(Text(*window, IDC_UPDATE_WORLD), "Update existing World file.");

    Retype(*window, IDC_X_PIXEL_SCALE, "2.5");
    Retype(*window, IDC_Y_PIXEL_SCALE, "0.5");
    Retype(*window, IDC_TIE_WORLD_X, "100");
    Click(*window, IDC_UPDATE_TIFF);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;
    // Examined again: the dialog shows what is on disk, and libgeotiff reads the same.
    EXPECT_EQ(Text(*window, IDC_X_PIXEL_SCALE), "2.5");
    EXPECT_EQ(Text(*window, IDC_Y_PIXEL_SCALE), "0.5");
    EXPECT_EQ(Text(*window, IDC_TIE_WORLD_X), "100");
    EXPECT_EQ(ListgeoLineAfter(tiff, "ModelPixelScaleTag"), "2.5 0.5 0");
    EXPECT_EQ(ListgeoLineAfter(tiff, "ModelTiepointTag"), "0 0 0");
}

TEST_F(referencing_window_test, world_to_tiff_warns_about_rotation_and_adds_the_tags) {
    const QString tiff = MakeTiff("plain.tif", false);
    WriteWorldFile(folder.Path("plain.tfw"), {"2", "0.001", "0", "-2", "101", "499"});
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, tiff);
    EXPECT_EQ(Text(*window, IDC_TIFF_STATUS), "Tiff file is NOT georeferenced.");
    EXPECT_EQ(Text(*window, IDC_WORLD_STATUS), "Corresponding world file exists.");
    EXPECT_EQ(Text(*window, IDC_X_VECTOR_Y), "0.001");

    Click(*window, IDC_WORLD_TO_TIFF);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, texts::RotationWarning);
    EXPECT_EQ(boxes.boxes[0].caption, ApplicationTitle());
    EXPECT_EQ(boxes.boxes[0].style, TuStyleIconWarning | TuStyleOk);
    EXPECT_EQ(Text(*window, IDC_X_PIXEL_SCALE), "2");
    EXPECT_EQ(Text(*window, IDC_Y_PIXEL_SCALE), "2");
    EXPECT_EQ(Text(*window, IDC_TIE_WORLD_X), "100");
    EXPECT_EQ(Text(*window, IDC_TIE_WORLD_Y), "500");

    Click(*window, IDC_UPDATE_TIFF);
    EXPECT_EQ(Text(*window, IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(ListgeoLineAfter(tiff, "ModelPixelScaleTag"), "2 2 0");
}

TEST_F(referencing_window_test, an_empty_field_stops_the_command_and_takes_the_focus) {
    const QString tiff = MakeTiff("empty.tif", true);
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, tiff);
    Retype(*window, IDC_Y_PIXEL_SCALE, "");
    Click(*window, IDC_TIFF_TO_WORLD);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Please enter a number.");
    EXPECT_TRUE(HasFocus(*window, IDC_Y_PIXEL_SCALE));
    EXPECT_EQ(Text(*window, IDC_X_VECTOR_X), "0") << "nothing converted";
    EXPECT_FALSE(QFile::exists(folder.Path("empty.tfw")));
}

TEST_F(referencing_window_test, a_refused_name_cancels_the_click_that_left_the_field) {
    const QString tiff = MakeTiff("first.tif", true);
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, tiff);
    Retype(*window, IDC_X_PIXEL_SCALE, "");
    // Type a wrong name and click "-->" straight from the field.
    QLineEdit* name = Edit(*window, IDC_FILE_NAME);
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::keyClicks(name, "x");
    Click(*window, IDC_TIFF_TO_WORLD);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Indicated file does not exist.");
    EXPECT_TRUE(HasFocus(*window, IDC_FILE_NAME));
}

// A departure that ends in an error cancels the click too: "-->" would have filled the world
// file's side from the TIFF side that was read.
TEST_F(referencing_window_test, a_failed_examination_cancels_the_click_that_left_the_field) {
    const QString first = MakeTiff("first.tif", false);
    const QString damaged = MakeTiff("damaged.tif", true);
    WriteWorldFile(folder.Path("damaged.tfw"), {"1", "0", "0", "-1", "5"});
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, first);
    ASSERT_TRUE(boxes.boxes.empty());
    QLineEdit* name = Edit(*window, IDC_FILE_NAME);
    QTest::mouseClick(name, Qt::LeftButton);
    name->setText(damaged);
    name->setModified(true);
    Click(*window, IDC_TIFF_TO_WORLD);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Data File Format Problem");
    EXPECT_EQ(Text(*window, IDC_X_PIXEL_SCALE), "10");
    EXPECT_EQ(Text(*window, IDC_X_VECTOR_X), "0") << "nothing converted";
    EXPECT_EQ(Text(*window, IDC_REF_POINT_X), "0") << "nothing converted";
}

TEST_F(referencing_window_test, a_damaged_world_file_is_reported_and_disarms_the_updates) {
    const QString tiff = MakeTiff("damaged.tif", true);
    WriteWorldFile(folder.Path("damaged.tfw"), {"1", "0", "0", "-1", "5"});
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, tiff);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].style & TuStyleIconMask, TuStyleIconError) << "an error box";
    EXPECT_TRUE(boxes.boxes[0].text.contains("damaged.tfw")) << boxes.boxes[0].text;
    Click(*window, IDC_UPDATE_WORLD);
    EXPECT_EQ(ReadWorldFile(folder.Path("damaged.tfw")).size(), 5u) << "nothing written";
}

TEST_F(referencing_window_test, a_file_that_is_no_tiff_replaces_the_previous_display) {
    const QString tiff = MakeTiff("georeferenced.tif", true);
    const QString text = folder.Path("text.tif");
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("this is no image at all\n");
    }
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, tiff);
    ASSERT_EQ(Text(*window, IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    ASSERT_TRUE(Button(*window, IDC_UPDATE_TIFF)->isEnabled());
    ASSERT_TRUE(Button(*window, IDC_UPDATE_WORLD)->isEnabled());

    ASSERT_TRUE(boxes.boxes.empty());

    // What the window shows behind each box, as the user reads the box.
    QStringList behindBox;
    boxes.whenShown = [&](const MessageBoxRequest&) {
        behindBox << Text(*window, IDC_TIFF_STATUS) << Text(*window, IDC_WORLD_STATUS);
    };
    TypeAndTab(*window, IDC_FILE_NAME, text);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Data File Format Problem");
    EXPECT_EQ(boxes.boxes[0].text, "The file named " + text +
                                       " could not be processed as a .TIF(F) file; the format "
                                       "is not understood with the qt_tests program.");
    const QString shown = "Indicated Tiff file cannot be read. | Valid Tiff file has not been "
                          "selected.";
    EXPECT_EQ(behindBox.join(" | "), shown);
    EXPECT_EQ(Text(*window, IDC_TIFF_STATUS) + " | " + Text(*window, IDC_WORLD_STATUS), shown);
    for (int id : {IDC_TIFF_STATUS, IDC_WORLD_STATUS}) {
        auto* status = qobject_cast<QLabel*>(window->Control(id));
        EXPECT_LE(status->sizeHint().width(), status->width()) << "cut short: " << status->text();
    }
    for (int id = IDC_X_PIXEL_SCALE; id <= IDC_REF_POINT_Y; ++id) {
        EXPECT_EQ(Text(*window, id), "0") << id;
    }
    // Neither Update button offers to write through an object that is gone.
    EXPECT_FALSE(Button(*window, IDC_UPDATE_TIFF)->isEnabled());
    EXPECT_FALSE(Button(*window, IDC_UPDATE_WORLD)->isEnabled());
    Click(*window, IDC_UPDATE_WORLD);
    EXPECT_FALSE(QFile::exists(folder.Path("text.tfw")));
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

// One-arc-second pixels, common for scanned sheets: every number the program sets shows its
// start (sign and leading digits), not its end.
TEST_F(referencing_window_test, long_numbers_show_their_start) {
    const QString tiff = MakeTiff("arcsecond.tif", false);
    WriteWorldFile(folder.Path("arcsecond.tfw"),
                   {"0.000277777777777778", "0", "0", "-0.000277777777777778",
                    "12.0001388888888889", "47.9998611111111111"});
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, tiff);
    Click(*window, IDC_WORLD_TO_TIFF);
    ASSERT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;
    const std::map<int, QString> expected = {{IDC_X_PIXEL_SCALE, "0.000277777777777778"},
                                             {IDC_Y_PIXEL_SCALE, "0.000277777777777778"},
                                             {IDC_TIE_PIXEL_X, "0"},
                                             {IDC_TIE_PIXEL_Y, "0"},
                                             {IDC_TIE_WORLD_X, "12"},
                                             {IDC_TIE_WORLD_Y, "48"},
                                             {IDC_X_VECTOR_X, "0.000277777777777778"},
                                             {IDC_X_VECTOR_Y, "0"},
                                             {IDC_Y_VECTOR_X, "0"},
                                             {IDC_Y_VECTOR_Y, "-0.000277777777777778"},
                                             {IDC_REF_POINT_X, "12.0001388888889"},
                                             {IDC_REF_POINT_Y, "47.9998611111111"}};
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(Text(*window, id), text) << id;
        EXPECT_EQ(Edit(*window, id)->cursorPosition(), 0) << id;
    }
}

TEST_F(referencing_window_test, esc_close_and_the_close_box_end_the_dialog) {
    {
        auto window = OpenWindow();
        QTest::keyClick(Edit(*window, IDC_FILE_NAME), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->result(), IDCANCEL);
    }
    {
        auto window = OpenWindow();
        Click(*window, IDCANCEL);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->result(), IDCANCEL);
    }
    {
        auto window = OpenWindow();
        EXPECT_TRUE(window->close());
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->result(), IDCANCEL);
    }
    {
        // Alt+C is the Close button's mnemonic.
        auto window = OpenWindow();
        QTest::keyClick(window.get(), Qt::Key_C, Qt::AltModifier);
        // A mnemonic presses its button visibly, for a moment, before it acts.
        EXPECT_TRUE(QTest::qWaitFor([&window] { return !window->isVisible(); }, 2000));
    }
}

TEST_F(referencing_window_test, enter_in_a_field_collects_and_ends_the_dialog) {
    auto window = OpenWindow();
    Retype(*window, IDC_X_VECTOR_X, "abc");
    QTest::keyClick(Edit(*window, IDC_X_VECTOR_X), Qt::Key_Return);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Please enter a number.");
    EXPECT_TRUE(window->isVisible());

    Retype(*window, IDC_X_VECTOR_X, "1");
    QTest::keyClick(Edit(*window, IDC_X_VECTOR_X), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), IDOK);
}

TEST_F(referencing_window_test, enter_on_a_button_presses_it) {
    auto window = OpenWindow();
    Button(*window, IDC_BROWSE)->setFocus();
    QCoreApplication::processEvents();
    QTest::keyClick(Button(*window, IDC_BROWSE), Qt::Key_Return);
    EXPECT_EQ(fileDialog.seen.size(), 1u);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(referencing_window_test, context_menu_opens_the_about_box) {
    auto window = OpenWindow();
    const std::unique_ptr<QMenu> menu = window->BuildContextMenu();
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_TRUE(actions[0]->isSeparator());
    EXPECT_EQ(actions[1]->text(), "&About Kestrel...");
    EXPECT_EQ(actions[1]->data().toInt(), IDM_ABOUTBOX);

    bool menuShown = false;
    bool aboutShown = false;
    test::WhenModalShown([&](QWidget* shown) {
        auto* popup = qobject_cast<QMenu*>(shown);
        ASSERT_NE(popup, nullptr);
        menuShown = true;
        test::WhenModalShown(
            [&](QWidget* box) {
                auto* about = qobject_cast<AboutBox*>(box);
                ASSERT_NE(about, nullptr);
                aboutShown = true;
                EXPECT_EQ(about->windowTitle(), "About Kestrel");
                // The licence beside the program, as the tests have it.
                EXPECT_EQ(qobject_cast<QLabel*>(about->Control(IDC_DISCLAIMER))->text(),
                          QString::fromUtf8(texts::Disclaimer)
                              .replace("%1", QCoreApplication::applicationDirPath() + "/LICENSE"));
                QTest::keyClick(about, Qt::Key_Escape);
            },
            popup);
        popup->setActiveAction(popup->actions().last());
        QTest::keyClick(popup, Qt::Key_Return);
    });
    const QPoint where(5, window->height() - 5); // the dialog's own background
    QContextMenuEvent event(QContextMenuEvent::Mouse, where, window->mapToGlobal(where));
    QApplication::sendEvent(window.get(), &event);
    EXPECT_TRUE(menuShown);
    EXPECT_TRUE(aboutShown);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(referencing_window_test, help_and_f1_open_the_guide_at_its_contents) {
    auto window = OpenWindow();
    Click(*window, IDHELP);
    EXPECT_TRUE(boxes.boxes.empty()) << "the guide lies beside the test program";
    QTextBrowser* help = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* browser = qobject_cast<QTextBrowser*>(widget); browser && browser->isVisible()) {
            help = browser;
        }
    }
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->source().fileName(), "kestrel.html");
    EXPECT_EQ(help->source().fragment(), "contents");
    help->setSource(QUrl(help->source().toString(QUrl::RemoveFragment) + "#about"));
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(help->source().fragment(), "contents");
    CloseHelpWindow();
}

TEST_F(referencing_window_test, names_with_spaces_and_accents_are_examined) {
    const QString tiff = MakeTiff(QStringLiteral("Karte \u00fcber M\u00fcnchen.tif"), true);
    auto window = OpenWindow();
    TypeAndTab(*window, IDC_FILE_NAME, tiff);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;
    EXPECT_EQ(Text(*window, IDC_FILE_NAME), tiff);
    EXPECT_EQ(Text(*window, IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    Click(*window, IDC_TIFF_TO_WORLD);
    Click(*window, IDC_UPDATE_WORLD);
    EXPECT_TRUE(QFile::exists(folder.Path(QStringLiteral("Karte \u00fcber M\u00fcnchen.tfw"))));
}

// Every status line the dialog's state can give, with a count of control points and a world
// file extension as long as they come, fits its control without being cut short.
TEST_F(referencing_window_test, every_status_line_fits_its_control) {
    auto window = OpenWindow();
    ReferencingState state;
    state.tiffTags.tiePoints = 99999;
    QStringList tiffLines;
    for (TiffFinding finding : {TiffFinding::NoFileYet, TiffFinding::NotFound,
                                TiffFinding::Unreadable, TiffFinding::NotGeoreferenced,
                                TiffFinding::Georeferenced, TiffFinding::GeoreferencedPixelIsPoint,
                                TiffFinding::ByMatrix, TiffFinding::ByRotatedMatrix,
                                TiffFinding::ByMatrixNotNorthUp, TiffFinding::ControlPoints}) {
        state.tiff = finding;
        tiffLines << QString::fromStdString(TiffStatusLine(state));
    }
    QStringList worldLines;
    for (WorldFileFinding finding : {WorldFileFinding::NoTiffYet, WorldFileFinding::NoValidTiff,
                                     WorldFileFinding::NameUnusable, WorldFileFinding::Missing,
                                     WorldFileFinding::NotAFile, WorldFileFinding::Unreadable}) {
        state.worldFile = finding;
        worldLines << QString::fromStdString(WorldFileStatusLine(state));
    }
    state.worldFile = WorldFileFinding::Exists;
    for (const char* extension : {"tfw", "TIFFW", "tiffw", "WLD"}) {
        state.worldFileExtension = extension;
        worldLines << QString::fromStdString(WorldFileStatusLine(state));
    }
    EXPECT_TRUE(tiffLines.contains("Tiff file has 99999 ground control points."));
    EXPECT_TRUE(worldLines.contains("Corresponding world file (.TIFFW) exists."));
    for (const auto& [id, lines] :
         {std::pair{IDC_TIFF_STATUS, tiffLines}, std::pair{IDC_WORLD_STATUS, worldLines}}) {
        auto* status = qobject_cast<QLabel*>(window->Control(id));
        ASSERT_NE(status, nullptr);
        for (const QString& line : lines) {
            status->setText(line);
            EXPECT_LE(status->sizeHint().width(), status->width()) << "cut short: " << line;
        }
    }
}
