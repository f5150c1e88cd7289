#include "ReferencingDialog.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ControlIds.h"
#include "DialogFixture.h"
#include "DialogTexts.h"
#include "uCauses.h"
#include "uError.h"

using namespace kestrel;
using namespace kestrel::test;
using testfiles::SmallTiff;

namespace {

void ExpectSameTransform(const std::array<double, 6>& actual,
                         const std::array<double, 6>& expected) {
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(actual[i], expected[i]) << "geotransform value " << i;
    }
}

} // namespace

// ---- Opening the dialog ----

TEST(referencing_dialog_init_test, initial_state) {
    RecordingPlatform platform;
    InstallStringTable();
    ReferencingDialog dialog(platform);
    EXPECT_TRUE(dialog.OnInitDialog());
    for (int id : TiffSide) {
        EXPECT_EQ(platform.Text(id), "0") << id;
    }
    for (int id : WorldSide) {
        EXPECT_EQ(platform.Text(id), "0") << id;
    }
    EXPECT_EQ(platform.Text(IDC_FILE_NAME), "");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "No file specified as yet.");
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "No Tiff file specified as yet.");
    EXPECT_FALSE(platform.Enabled(IDC_UPDATE_TIFF));
    EXPECT_FALSE(platform.Enabled(IDC_UPDATE_WORLD));
    ASSERT_EQ(platform.menuEntries.size(), 1u);
    EXPECT_EQ(platform.menuEntries[0], std::make_pair(16, std::string("&About Kestrel...")));
    EXPECT_EQ(platform.icons, std::vector<int>{128});
    EXPECT_EQ(platform.limits[IDC_FILE_NAME], 260);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(dialog.HasTiffFile());
}

// ---- Examining: OnFileNameKillFocus, OnBrowse ----

using referencing_dialog_examine_test = ExamineTest;

TEST_F(referencing_dialog_examine_test, georeferenced_tiff_and_world_file) {
    MakeSheet();
    testfiles::WriteWorldFile(folder / "sheet.tfw", {0.5, 0.25, -0.125, -0.5, 1234.5, 6789.75});
    // A name without extension finds sheet.tif; the field then shows the absolute path.
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(folder.path);
    TypeName("sheet");
    std::filesystem::current_path(home);
    EXPECT_TRUE(platform.errors.empty()) << platform.errors.front().text;
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.Text(IDC_FILE_NAME), folder / "sheet.tif");
    EXPECT_EQ(dialog.FileName(), folder / "sheet.tif");
    EXPECT_FALSE(platform.fileNameModified);
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file exists.");
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "2", "0", "0", "100", "500"}));
    EXPECT_EQ(Shown(WorldSide),
              (std::vector<std::string>{"0.5", "0.25", "-0.125", "-0.5", "1234.5", "6789.75"}));
    EXPECT_TRUE(platform.Enabled(IDC_UPDATE_TIFF));
    EXPECT_TRUE(platform.Enabled(IDC_UPDATE_WORLD));
    EXPECT_EQ(platform.Text(IDC_UPDATE_WORLD), "Update existing World file.");
    EXPECT_EQ(platform.Focus(), IDC_X_PIXEL_SCALE);
    EXPECT_TRUE(dialog.HasTiffFile());
    EXPECT_TRUE(dialog.HasWorldFile());

    // Leaving the field again without a change does nothing.
    platform.ClearRecord();
    dialog.OnFileNameKillFocus();
    EXPECT_TRUE(platform.textWrites.empty());
    EXPECT_TRUE(platform.focusMoves.empty());
}

TEST_F(referencing_dialog_examine_test, missing_file_changes_nothing) {
    MakeSheet();
    TypeName(folder / "sheet.tif");
    platform.ClearRecord();
    TypeName(folder / "nothere");
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Indicated file does not exist."});
    EXPECT_EQ(platform.messages[0].style, TuStyleIconNone | TuStyleOk);
    EXPECT_EQ(platform.focusMoves, std::vector<int>{IDC_FILE_NAME});
    EXPECT_TRUE(platform.textWrites.empty());
    EXPECT_EQ(dialog.FileName(), folder / "sheet.tif");
    EXPECT_TRUE(dialog.HasTiffFile());
    // The typed text stays changed, so leaving the field again asks again.
    dialog.OnFileNameKillFocus();
    EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(referencing_dialog_examine_test, not_georeferenced_tiffs_show_zeros) {
    const std::map<std::string, std::map<std::uint16_t, std::vector<double>>> cases = {
        {"scale_only.tif", {{33550, {2, 2, 0}}}},
        {"tiepoint_only.tif", {{33922, {0, 0, 0, 100, 500, 0}}}},
        {"short_scale.tif", {{33550, {2, 2}}, {33922, {0, 0, 0, 100, 500, 0}}}},
        {"short_tiepoint.tif", {{33550, {2, 2, 0}}, {33922, {0, 0, 0, 100, 500}}}},
        {"no_tags.tif", {}},
    };
    for (const auto& [name, tags] : cases) {
        SmallTiff::Make(tags).Write(folder / name);
        // Start from numbers on screen so that the zeros are the examination's.
        Key(TiffSide, {"9", "9", "9", "9", "9", "9"});
        TypeName(folder / name);
        EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is NOT georeferenced.") << name;
        EXPECT_EQ(Shown(TiffSide), Zeros) << name;
        EXPECT_TRUE(dialog.HasTiffFile()) << name;
    }
    EXPECT_TRUE(platform.errors.empty());
}

TEST_F(referencing_dialog_examine_test, first_of_two_tie_points_is_used) {
    SmallTiff::Make({{33550, {3, 4, 0}}, {33922, {1, 2, 0, 300, 400, 0, 10, 20, 0, 330, 320, 0}}})
        .Write(folder / "two.tif");
    TypeName(folder / "two.tif");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"3", "4", "1", "2", "300", "400"}));
}

TEST_F(referencing_dialog_examine_test, missing_world_file_shows_zeros_not_defaults) {
    MakeSheet();
    Key(WorldSide, {"7", "7", "7", "7", "7", "7"});
    TypeName(folder / "sheet.tif");
    EXPECT_EQ(Shown(WorldSide), Zeros);
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file does not exist.");
    EXPECT_TRUE(platform.Enabled(IDC_UPDATE_WORLD));
    EXPECT_EQ(platform.Text(IDC_UPDATE_WORLD), "Write new world file.");
    EXPECT_TRUE(dialog.HasWorldFile());
}

TEST_F(referencing_dialog_examine_test, read_only_files_disable_their_update_buttons) {
    MakeSheet();
    testfiles::WriteWorldFile(folder / "sheet.tfw", {2, 0, 0, -2, 101, 499});
    testfiles::MakeReadOnly(folder / "sheet.tif");
    testfiles::MakeReadOnly(folder / "sheet.tfw");
    TypeName(folder / "sheet.tif");
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "2", "0", "0", "100", "500"}));
    EXPECT_FALSE(platform.Enabled(IDC_UPDATE_TIFF));
    EXPECT_FALSE(platform.Enabled(IDC_UPDATE_WORLD));
    EXPECT_EQ(platform.Text(IDC_UPDATE_WORLD), "Update existing World file.");
    EXPECT_EQ(Shown(WorldSide), (std::vector<std::string>{"2", "0", "0", "-2", "101", "499"}));

    // Should the button be pressed all the same, the TIFF refuses and nothing changes.
    const std::vector<unsigned char> before = testfiles::ReadBytes(folder / "sheet.tif");
    dialog.OnUpdateTiff();
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].text.find("examination only"), std::string::npos)
        << platform.errors[0].text;
    EXPECT_EQ(testfiles::ReadBytes(folder / "sheet.tif"), before);
}

TEST_F(referencing_dialog_examine_test, broken_tiff_is_shown_and_released) {
    testfiles::WriteText(folder / "broken.tif", "this is no image at all\n");
    TypeName(folder / "broken.tif");
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_FALSE(dialog.HasTiffFile());
    EXPECT_FALSE(dialog.HasWorldFile());
    EXPECT_EQ(platform.Text(IDC_FILE_NAME), folder / "broken.tif");
    EXPECT_EQ(Shown(TiffSide), Zeros);

    // The Update buttons do nothing until a file is examined again.
    platform.ClearRecord();
    dialog.OnUpdateTiff();
    dialog.OnUpdateWorldFile();
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(testfiles::Exists(folder / "broken.tfw"));
    EXPECT_EQ(testfiles::ReadText(folder / "broken.tif"), "this is no image at all\n");
}

TEST_F(referencing_dialog_examine_test, five_line_world_file_is_shown_and_released) {
    MakeSheet();
    testfiles::WriteText(folder / "sheet.tfw", "2\n0\n0\n-2\n101\n");
    TypeName(folder / "sheet.tif");
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].text.find("sheet.tfw"), std::string::npos)
        << platform.errors[0].text;
    EXPECT_NE(platform.errors[0].text.find("does not appear to be a 'World File'"),
              std::string::npos);
    EXPECT_FALSE(dialog.HasTiffFile());
    EXPECT_FALSE(dialog.HasWorldFile());
    // What was read before the failure stays on screen.
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "2", "0", "0", "100", "500"}));

    const std::vector<unsigned char> before = testfiles::ReadBytes(folder / "sheet.tif");
    dialog.OnUpdateTiff();
    dialog.OnUpdateWorldFile();
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(testfiles::ReadText(folder / "sheet.tfw"), "2\n0\n0\n-2\n101\n");
    EXPECT_EQ(testfiles::ReadBytes(folder / "sheet.tif"), before);
}

// A folder, a pipe, or a link to a folder named as the world file: not read, not to be
// replaced, and reported as a folder named as the TIFF is. The TIFF side stays usable.
TEST_F(referencing_dialog_examine_test, world_file_name_taken_by_no_file_is_reported) {
    const std::string kinds[] = {"folder", "pipe", "link"};
    std::filesystem::create_directory(folder / "elsewhere");
    for (const std::string& kind : kinds) {
        SCOPED_TRACE(kind);
        testfiles::MakeGdalTiff(folder / (kind + ".tif"), {{100, 500}}, 2);
        const std::string world = folder / (kind + ".tfw");
        if (kind == "folder") {
            std::filesystem::create_directory(world);
        } else if (kind == "pipe") {
            ASSERT_EQ(mkfifo(world.c_str(), 0600), 0);
        } else {
            std::filesystem::create_symlink(folder / "elsewhere", world);
        }
        const std::string notAFile =
            "File named " + world + " is a directory, rather than a file. Open failed. (Code: 13)";
        Key(WorldSide, {"7", "7", "7", "7", "7", "7"});
        platform.errors.clear();
        TypeName(folder / (kind + ".tif"));
        EXPECT_EQ(ErrorTexts(), std::vector<std::string>{notAFile});
        EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
        EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "2", "0", "0", "100", "500"}));
        EXPECT_TRUE(platform.Enabled(IDC_UPDATE_TIFF));
        EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file is not a file.");
        EXPECT_EQ(Shown(WorldSide), Zeros);
        EXPECT_FALSE(platform.Enabled(IDC_UPDATE_WORLD));
        EXPECT_EQ(platform.Text(IDC_UPDATE_WORLD), "Update existing World file.");
        EXPECT_EQ(platform.Focus(), IDC_X_PIXEL_SCALE);

        // Should the world file's button be pressed all the same, nothing takes its place.
        platform.errors.clear();
        Key(WorldSide, {"2", "0", "0", "-2", "101", "499"});
        dialog.OnUpdateWorldFile();
        EXPECT_EQ(ErrorTexts(), std::vector<std::string>{notAFile});
        EXPECT_EQ(std::filesystem::is_directory(world), kind != "pipe");
        EXPECT_EQ(std::filesystem::is_fifo(world), kind == "pipe");
        EXPECT_EQ(std::filesystem::is_symlink(world), kind == "link");
        EXPECT_TRUE(std::filesystem::is_empty(folder / "elsewhere"));

        // The TIFF is still updated, and the examination after it reports the same.
        platform.errors.clear();
        Key(TiffSide, {"4", "4", "0", "0", "10", "20"});
        dialog.OnUpdateTiff();
        EXPECT_EQ(ErrorTexts(), std::vector<std::string>{notAFile});
        EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"4", "4", "0", "0", "10", "20"}));
        EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file is not a file.");
    }
}

// A link to a regular world file is a world file: read, and replaced at its target.
TEST_F(referencing_dialog_examine_test, linked_world_file_is_read_and_written_through_the_link) {
    MakeSheet();
    std::filesystem::create_directory(folder / "store");
    testfiles::WriteWorldFile(folder / "store/real.tfw", {4, 0, 0, -4, 102, 498});
    std::filesystem::create_symlink(folder / "store/real.tfw", folder / "sheet.tfw");
    TypeName(folder / "sheet.tif");
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file exists.");
    EXPECT_EQ(Shown(WorldSide), (std::vector<std::string>{"4", "0", "0", "-4", "102", "498"}));
    EXPECT_TRUE(platform.Enabled(IDC_UPDATE_WORLD));

    Key(WorldSide, {"2", "0", "0", "-2", "101", "499"});
    dialog.OnUpdateWorldFile();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "sheet.tfw"));
    EXPECT_EQ(testfiles::ReadNumbers(folder / "store/real.tfw"),
              (std::vector<double>{2, 0, 0, -2, 101, 499}));
    EXPECT_EQ(Shown(WorldSide), (std::vector<std::string>{"2", "0", "0", "-2", "101", "499"}));
}

// After a failed examination the window describes the file named, not the one before it,
// and offers no Update button that would do nothing.
TEST_F(referencing_dialog_examine_test, failed_tiff_replaces_the_previous_file_display) {
    MakeSheet();
    testfiles::WriteWorldFile(folder / "sheet.tfw", {2, 0, 0, -2, 101, 499});
    TypeName(folder / "sheet.tif");
    ASSERT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    ASSERT_TRUE(platform.Enabled(IDC_UPDATE_TIFF));
    ASSERT_TRUE(platform.Enabled(IDC_UPDATE_WORLD));

    testfiles::WriteText(folder / "text.tif", "this is no image at all\n");
    TypeName(folder / "text.tif");
    EXPECT_EQ(ErrorTexts(), std::vector<std::string>{
                                "The file named " + folder / "text.tif" +
                                " could not be processed as a .TIF(F) file; the format is not "
                                "understood with the app_tests program."});
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Indicated Tiff file cannot be read.");
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Valid Tiff file has not been selected.");
    EXPECT_FALSE(platform.Enabled(IDC_UPDATE_TIFF));
    EXPECT_FALSE(platform.Enabled(IDC_UPDATE_WORLD));
    EXPECT_EQ(Shown(TiffSide), Zeros);
    EXPECT_EQ(Shown(WorldSide), Zeros);
}

TEST_F(referencing_dialog_examine_test, failed_world_file_keeps_the_tiff_side_it_read) {
    testfiles::MakeGdalTiff(folder / "plain.tif", std::nullopt);
    testfiles::WriteWorldFile(folder / "plain.tfw", {2, 0, 0, -2, 101, 499});
    TypeName(folder / "plain.tif");
    ASSERT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file exists.");

    MakeSheet();
    testfiles::WriteText(folder / "sheet.tfw", "2\n0\n0\n-2\n101\n");
    TypeName(folder / "sheet.tif");
    EXPECT_EQ(ErrorTexts(),
              std::vector<std::string>{"The file named " + folder / "sheet.tfw" +
                                       " does not appear to be a 'World File'; the format is not "
                                       "understood by the app_tests program."});
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file cannot be read.");
    // Both objects were released, the TIFF's too.
    EXPECT_FALSE(platform.Enabled(IDC_UPDATE_TIFF));
    EXPECT_FALSE(platform.Enabled(IDC_UPDATE_WORLD));
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "2", "0", "0", "100", "500"}));
    EXPECT_EQ(Shown(WorldSide), Zeros);

    // The next examination that succeeds arms them again.
    TypeName(folder / "plain.tif");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is NOT georeferenced.");
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file exists.");
    EXPECT_TRUE(platform.Enabled(IDC_UPDATE_TIFF));
    EXPECT_TRUE(platform.Enabled(IDC_UPDATE_WORLD));
}

TEST_F(referencing_dialog_examine_test, vanished_choice_disarms_the_updates) {
    MakeSheet();
    TypeName(folder / "sheet.tif");
    ASSERT_TRUE(platform.Enabled(IDC_UPDATE_TIFF));
    // Browsing chose a file that is gone by the time it is examined.
    platform.fileAnswers.emplace_back(folder / "gone.tif");
    dialog.OnBrowse();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Indicated Tiff file does not exist.");
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Valid Tiff file has not been selected.");
    EXPECT_FALSE(platform.Enabled(IDC_UPDATE_TIFF));
    EXPECT_FALSE(platform.Enabled(IDC_UPDATE_WORLD));
}

TEST_F(referencing_dialog_examine_test, upper_case_names_find_upper_case_world_file) {
    testfiles::MakeGdalTiff(folder / "SHEET.TIF", {{100, 500}}, 2);
    testfiles::WriteWorldFile(folder / "SHEET.TFW", {4, 0, 0, -4, 102, 498});
    TypeName(folder / "SHEET.TIF");
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file exists.");
    EXPECT_EQ(Shown(WorldSide), (std::vector<std::string>{"4", "0", "0", "-4", "102", "498"}));
}

// A name without an extension is looked for with "tif", then, where that file does not exist,
// with "TIF"; a name typed with its extension is taken as typed.
TEST_F(referencing_dialog_examine_test, name_without_extension_finds_upper_case_tif) {
    testfiles::MakeGdalTiff(folder / "SHEET.TIF", {{100, 500}}, 2);
    testfiles::WriteWorldFile(folder / "SHEET.TFW", {4, 0, 0, -4, 102, 498});
    TypeName(folder / "SHEET");
    EXPECT_TRUE(platform.messages.empty()) << platform.messages.front().text;
    EXPECT_EQ(platform.Text(IDC_FILE_NAME), folder / "SHEET.TIF");
    EXPECT_EQ(dialog.FileName(), folder / "SHEET.TIF");
    EXPECT_EQ(dialog.WorldFileName(), folder / "SHEET.TFW");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(Shown(WorldSide), (std::vector<std::string>{"4", "0", "0", "-4", "102", "498"}));
    EXPECT_EQ(platform.Focus(), IDC_X_PIXEL_SCALE);

    // The extension typed is kept: sheet.tif is not SHEET.TIF, nor SHEET.tif.
    platform.ClearRecord();
    TypeName(folder / "SHEET.tif");
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Indicated file does not exist."});
    EXPECT_EQ(dialog.FileName(), folder / "SHEET.TIF");
    // Where both exist the lower-case name wins; the stem keeps its case either way.
    testfiles::MakeGdalTiff(folder / "SHEET.tif", {{7, 9}}, 3);
    TypeName(folder / "SHEET");
    EXPECT_EQ(dialog.FileName(), folder / "SHEET.tif");
    platform.ClearRecord();
    TypeName(folder / "sheet");
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Indicated file does not exist."});
    EXPECT_EQ(dialog.FileName(), folder / "SHEET.tif");
}

TEST_F(referencing_dialog_examine_test, name_too_long_for_its_extension_is_shown) {
    // 259 characters are taken from the field; adding ".tif" makes the path too long.
    const std::string name = folder / std::string(259 - folder.path.size() - 1, 'n');
    ASSERT_EQ(name.size(), 259u);
    TypeName(name);
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.Focus(), IDC_FILE_NAME);
    EXPECT_FALSE(dialog.HasTiffFile());
}

TEST_F(referencing_dialog_examine_test, browse_examines_the_chosen_file) {
    MakeSheet();
    TypeName(folder / "sheet.tif");
    SmallTiff::Make({}).Write(folder / "plain.tif");
    platform.fileAnswers.emplace_back(folder / "plain.tif");
    platform.ClearRecord();
    dialog.OnBrowse();
    ASSERT_EQ(platform.fileRequests.size(), 1u);
    const FileOpenRequest& request = platform.fileRequests[0];
    EXPECT_EQ(request.title, "Tiff File Name");
    EXPECT_EQ(request.filter, "Tiff Files (*.tif)|*.tif||");
    EXPECT_EQ(request.defaultExtension, "tif");
    EXPECT_EQ(request.initialName, folder / "sheet.tif");
    EXPECT_TRUE(request.mustExist);
    EXPECT_EQ(platform.Text(IDC_FILE_NAME), folder / "plain.tif");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is NOT georeferenced.");
    EXPECT_EQ(platform.Focus(), IDC_X_PIXEL_SCALE);
}

TEST_F(referencing_dialog_examine_test, browse_cancelled_changes_nothing) {
    MakeSheet();
    TypeName(folder / "sheet.tif");
    platform.ClearRecord();
    platform.fileAnswers.emplace_back(std::nullopt);
    dialog.OnBrowse();
    EXPECT_EQ(platform.focusMoves, std::vector<int>{IDC_FILE_NAME});
    EXPECT_TRUE(platform.textWrites.empty());
    EXPECT_EQ(dialog.FileName(), folder / "sheet.tif");
    EXPECT_TRUE(dialog.HasTiffFile());
}

TEST_F(referencing_dialog_examine_test, browse_shows_a_name_that_cannot_be_taken) {
    platform.fileAnswers.emplace_back("/" + std::string(300, 'x') + ".tif");
    dialog.OnBrowse();
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.Focus(), IDC_FILE_NAME);
    EXPECT_FALSE(dialog.HasTiffFile());
}

// ---- The data exchange ----

class referencing_dialog_exchange_test : public ExamineTest {
protected:
    void SetUp() override {
        MakeSheet();
        testfiles::WriteWorldFile(folder / "sheet.tfw", {2, 0, 0, -2, 101, 499});
        TypeName(folder / "sheet.tif");
        ASSERT_TRUE(platform.errors.empty());
        platform.ClearRecord();
        tiffBefore = testfiles::ReadBytes(folder / "sheet.tif");
    }
    // Every handler that uses the numbers stops at the refused field, shows `message` and
    // moves the focus there; nothing is written and nothing else changes.
    void ExpectEveryHandlerRefuses(int field, const std::string& message) {
        const std::vector<std::string> tiffShown = Shown(TiffSide);
        const std::vector<std::string> worldShown = Shown(WorldSide);
        for (void (ReferencingDialog::*handler)() :
             {&ReferencingDialog::OnTiffToWorld, &ReferencingDialog::OnWorldToTiff,
              &ReferencingDialog::OnUpdateTiff, &ReferencingDialog::OnUpdateWorldFile,
              &ReferencingDialog::OnOK}) {
            platform.ClearRecord();
            (dialog.*handler)();
            EXPECT_EQ(MessageTexts(), std::vector<std::string>{message});
            EXPECT_EQ(platform.messages.at(0).style, TuStyleIconWarning | TuStyleOk);
            EXPECT_EQ(platform.focusMoves, std::vector<int>{field});
            EXPECT_TRUE(platform.textWrites.empty());
        }
        EXPECT_EQ(Shown(TiffSide), tiffShown);
        EXPECT_EQ(Shown(WorldSide), worldShown);
        EXPECT_TRUE(platform.endResults.empty());
        EXPECT_TRUE(platform.errors.empty());
        EXPECT_EQ(testfiles::ReadBytes(folder / "sheet.tif"), tiffBefore);
        EXPECT_EQ(testfiles::ReadNumbers(folder / "sheet.tfw"),
                  (std::vector<double>{2, 0, 0, -2, 101, 499}));
    }
    std::vector<unsigned char> tiffBefore;
};

TEST_F(referencing_dialog_exchange_test, empty_field_is_refused) {
    platform.Type(IDC_TIE_PIXEL_X, "");
    ExpectEveryHandlerRefuses(IDC_TIE_PIXEL_X, "Please enter a number.");
}

TEST_F(referencing_dialog_exchange_test, negative_zero_is_refused) {
    platform.Type(IDC_Y_VECTOR_X, "-0");
    ExpectEveryHandlerRefuses(IDC_Y_VECTOR_X, "Please enter a number.");
}

TEST_F(referencing_dialog_exchange_test, hexadecimal_is_refused) {
    platform.Type(IDC_X_PIXEL_SCALE, "0x10");
    ExpectEveryHandlerRefuses(IDC_X_PIXEL_SCALE, "Please enter a number.");
}

TEST_F(referencing_dialog_exchange_test, vector_out_of_range_is_refused) {
    platform.Type(IDC_X_VECTOR_X, "10000");
    ExpectEveryHandlerRefuses(IDC_X_VECTOR_X, "Please enter a number between -9999 and 9999.");
}

TEST_F(referencing_dialog_exchange_test, reference_point_out_of_range_is_refused) {
    platform.Type(IDC_REF_POINT_Y, "-100000000");
    ExpectEveryHandlerRefuses(IDC_REF_POINT_Y,
                              "Please enter a number between -99999999 and 99999999.");
}

TEST_F(referencing_dialog_exchange_test, tie_point_out_of_range_is_refused) {
    platform.Type(IDC_TIE_WORLD_X, "1e8");
    ExpectEveryHandlerRefuses(IDC_TIE_WORLD_X,
                              "Please enter a number between -99999999 and 99999999.");
}

TEST_F(referencing_dialog_exchange_test, long_file_name_is_refused) {
    platform.texts[IDC_FILE_NAME] = std::string(261, 'f');
    ExpectEveryHandlerRefuses(IDC_FILE_NAME, "Please enter no more than 260 characters.");
}

TEST_F(referencing_dialog_exchange_test, bounds_and_unranged_fields_are_accepted) {
    Key(TiffSide, {"1e12", "0.000001", "-5000000000", "7e9", "99999999", "-99999999"});
    Key(WorldSide, {"9999", "-9999", "0", "-9999", "-99999999", "99999999"});
    dialog.OnOK();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.endResults, std::vector<int>{IDOK});
    EXPECT_EQ(dialog.XPixelScale(), 1e12);
    EXPECT_EQ(dialog.TiePixelX(), -5e9);
    EXPECT_EQ(dialog.XVectorX(), 9999);
    EXPECT_EQ(dialog.RefPointX(), -99999999);
}

TEST_F(referencing_dialog_exchange_test, collect_stops_at_the_first_refused_field) {
    // Visited in the order 1006, 1007, 1002, ...: 1006 is taken, 1007 stops the collection,
    // 1002 is not reached.
    Key({IDC_TIE_WORLD_X, IDC_TIE_WORLD_Y, IDC_X_PIXEL_SCALE}, {"123", "abc", "zzz"});
    dialog.OnTiffToWorld();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Please enter a number."});
    EXPECT_EQ(platform.focusMoves, std::vector<int>{IDC_TIE_WORLD_Y});
    EXPECT_EQ(dialog.TieWorldX(), 123);
    // The tie point pixel fields come last, after the world side.
    platform.ClearRecord();
    Key({IDC_TIE_WORLD_Y, IDC_X_PIXEL_SCALE, IDC_TIE_PIXEL_X, IDC_REF_POINT_X},
        {"1", "1", "x", "1e9"});
    dialog.OnTiffToWorld();
    EXPECT_EQ(platform.focusMoves, std::vector<int>{IDC_REF_POINT_X});
}

TEST_F(referencing_dialog_exchange_test, only_the_first_31_characters_are_read) {
    platform.Type(IDC_X_PIXEL_SCALE, "0.5" + std::string(28, ' ') + "not read");
    dialog.OnTiffToWorld();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.Text(IDC_X_VECTOR_X), "0.5");
}

TEST_F(referencing_dialog_exchange_test, display_writes_only_changed_texts) {
    dialog.OnTiffToWorld(); // the world file already is what "-->" gives
    EXPECT_TRUE(platform.textWrites.empty());
    platform.Type(IDC_TIE_WORLD_X, "  200 ");
    dialog.OnTiffToWorld();
    const std::vector<std::pair<int, std::string>> expected = {{IDC_TIE_WORLD_X, "200"},
                                                               {IDC_REF_POINT_X, "201"}};
    EXPECT_EQ(platform.textWrites, expected);
}

// ---- Converting: OnTiffToWorld, OnWorldToTiff ----

using referencing_dialog_convert_test = referencing_dialog_exchange_test;

TEST_F(referencing_dialog_convert_test, tiff_to_world_without_rotation) {
    Key(WorldSide, {"1", "0.5", "0.25", "1", "1", "1"});
    dialog.OnTiffToWorld();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(Shown(WorldSide), (std::vector<std::string>{"2", "0", "0", "-2", "101", "499"}));
    EXPECT_EQ(dialog.XVectorY(), 0);
    EXPECT_EQ(dialog.YVectorX(), 0);
    EXPECT_TRUE(dialog.HasTiffFile());
    EXPECT_TRUE(dialog.HasWorldFile());
}

TEST_F(referencing_dialog_convert_test, tiff_to_world_honours_tie_point_position) {
    Key(TiffSide, {"2", "2", "10", "20", "100", "500"});
    dialog.OnTiffToWorld();
    EXPECT_EQ(Shown(WorldSide), (std::vector<std::string>{"2", "0", "0", "-2", "81", "539"}));
}

TEST_F(referencing_dialog_convert_test, world_to_tiff_without_rotation) {
    Key(TiffSide, {"9", "9", "10", "20", "9", "9"});
    dialog.OnWorldToTiff();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "2", "0", "0", "100", "500"}));
}

TEST_F(referencing_dialog_convert_test, world_to_tiff_warns_once_about_rotation) {
    Key(WorldSide, {"2", "0.001", "0", "-3", "101", "499"});
    dialog.OnWorldToTiff();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "World file indicates rotation.  This program does not support the version of "
              "geoTiff's which supports rotation.  An approximation is being used.");
    EXPECT_EQ(platform.messages[0].style, TuStyleIconWarning | TuStyleOk);
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "3", "0", "0", "100", "500.5"}));
    // The world side is left as it was.
    EXPECT_EQ(platform.Text(IDC_X_VECTOR_Y), "0.001");
}

TEST_F(referencing_dialog_convert_test, round_trip_restores_the_tiff_side) {
    Key(TiffSide, {"0.3", "0.7", "0", "0", "654321.123", "4321987.5"});
    dialog.OnTiffToWorld();
    dialog.OnWorldToTiff();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(Shown(TiffSide),
              (std::vector<std::string>{"0.3", "0.7", "0", "0", "654321.123", "4321987.5"}));
}

TEST_F(referencing_dialog_convert_test, zeros_convert_without_refusal) {
    // Y vector Y = -0 would show "-0", which every later command would refuse.
    Key(TiffSide, Zeros);
    dialog.OnTiffToWorld();
    EXPECT_EQ(Shown(WorldSide), Zeros);
    dialog.OnWorldToTiff();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(Shown(TiffSide), Zeros);
}

TEST_F(referencing_dialog_convert_test, huge_pixel_scale_converts_then_is_refused) {
    platform.Type(IDC_X_PIXEL_SCALE, "10000");
    dialog.OnTiffToWorld();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.Text(IDC_X_VECTOR_X), "10000");
    dialog.OnTiffToWorld();
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{"Please enter a number between -9999 and 9999."});
    EXPECT_EQ(platform.Focus(), IDC_X_VECTOR_X);
}

// ---- Writing the TIFF: OnUpdateTiff ----

using referencing_dialog_update_tiff_test = ExamineTest;

TEST_F(referencing_dialog_update_tiff_test, gdal_reads_what_the_dialog_shows) {
    MakeSheet();
    TypeName(folder / "sheet.tif");
    Key(TiffSide, {"0.25", "0.5", "10", "20", "654321.125", "4321987.5"});
    dialog.OnUpdateTiff();
    EXPECT_TRUE(platform.errors.empty()) << platform.errors.front().text;
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(Shown(TiffSide),
              (std::vector<std::string>{"0.25", "0.5", "10", "20", "654321.125", "4321987.5"}));
    EXPECT_TRUE(dialog.HasTiffFile());
    const auto transform = testfiles::GdalGeoTransform(folder / "sheet.tif");
    ASSERT_TRUE(transform);
    ExpectSameTransform(*transform, ShownTiffGeoTransform());
}

TEST_F(referencing_dialog_update_tiff_test, adds_tags_to_a_tiff_without_them) {
    const SmallTiff plain = SmallTiff::Make({});
    plain.Write(folder / "plain.tif");
    TypeName(folder / "plain.tif");
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is NOT georeferenced.");
    Key(TiffSide, {"2", "3", "0", "0", "100", "500"});
    dialog.OnUpdateTiff();
    EXPECT_TRUE(platform.errors.empty()) << platform.errors.front().text;
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "3", "0", "0", "100", "500"}));

    // The image data stays where it was; GDAL reads the new tags.
    const std::vector<unsigned char> after = testfiles::ReadBytes(folder / "plain.tif");
    ASSERT_GT(after.size(), plain.pixelOffset);
    EXPECT_EQ(after[plain.pixelOffset], SmallTiff::Pixel);
    const auto transform = testfiles::GdalGeoTransform(folder / "plain.tif");
    ASSERT_TRUE(transform);
    ExpectSameTransform(*transform, {100, 2, 0, 500, 0, -3});

    // A second update finds the tags and writes them in place.
    Key(TiffSide, {"4", "4", "0", "0", "1", "2"});
    const std::size_t size = after.size();
    dialog.OnUpdateTiff();
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"4", "4", "0", "0", "1", "2"}));
    EXPECT_EQ(testfiles::ReadBytes(folder / "plain.tif").size(), size);
}

TEST_F(referencing_dialog_update_tiff_test, bigtiffs_are_updated_like_classic_files) {
    for (const bool georeferenced : {false, true}) {
        SCOPED_TRACE(georeferenced);
        const std::string path = folder / (georeferenced ? "tagged.tif" : "plain.tif");
        std::optional<std::pair<double, double>> corner;
        if (georeferenced) {
            corner = {100, 500};
        }
        testfiles::MakeGdalTiff(path, corner, 2, "-co BIGTIFF=YES -co ENDIANNESS=BIG ");
        TypeName(path);
        EXPECT_EQ(dialog.State().tiffKind, TiffKind::BigTiff);
        EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), georeferenced
                                                      ? "Tiff file is georeferenced."
                                                      : "Tiff file is NOT georeferenced.");
        Key(TiffSide, {"0.5", "0.25", "0", "0", "650000.5", "5100000.25"});
        dialog.OnUpdateTiff();
        EXPECT_TRUE(platform.errors.empty()) << platform.errors.front().text;
        EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
        EXPECT_EQ(dialog.State().tiffKind, TiffKind::BigTiff);
        const auto transform = testfiles::GdalGeoTransform(path);
        ASSERT_TRUE(transform);
        ExpectSameTransform(*transform, {650000.5, 0.5, 0, 5100000.25, 0, -0.25});
    }
    // A classic file examined next is classic again.
    MakeSheet();
    TypeName(folder / "sheet.tif");
    EXPECT_EQ(dialog.State().tiffKind, TiffKind::Classic);
}

TEST_F(referencing_dialog_update_tiff_test, short_scale_tag_is_refused_untouched) {
    SmallTiff::Make({{33550, {2, 2}}, {33922, {0, 0, 0, 100, 500, 0}}}).Write(folder / "short.tif");
    TypeName(folder / "short.tif");
    const std::vector<unsigned char> before = testfiles::ReadBytes(folder / "short.tif");
    Key(TiffSide, {"5", "5", "0", "0", "1", "1"});
    dialog.OnUpdateTiff();
    EXPECT_EQ(ErrorTexts(), std::vector<std::string>{"Attempt to access element number 2 of a tag "
                                                     "with ID 33550.  Element does not exist."});
    EXPECT_EQ(testfiles::ReadBytes(folder / "short.tif"), before);
}

TEST_F(referencing_dialog_update_tiff_test, second_tie_point_stays) {
    const SmallTiff two = SmallTiff::Make(
        {{33550, {3, 4, 0}}, {33922, {1, 2, 0, 300, 400, 0, 10, 20, 0, 330, 320, 0}}});
    two.Write(folder / "two.tif");
    TypeName(folder / "two.tif");
    Key(TiffSide, {"5", "6", "0", "0", "700", "800"});
    dialog.OnUpdateTiff();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(testfiles::DoublesAt(folder / "two.tif", two.valueOffsets.at(33922), 12),
              (std::vector<double>{0, 0, 0, 700, 800, 0, 10, 20, 0, 330, 320, 0}));
    EXPECT_EQ(testfiles::DoublesAt(folder / "two.tif", two.valueOffsets.at(33550), 3),
              (std::vector<double>{5, 6, 0}));
}

TEST_F(referencing_dialog_update_tiff_test, unwritten_world_side_is_replaced) {
    MakeSheet();
    testfiles::WriteWorldFile(folder / "sheet.tfw", {2, 0, 0, -2, 101, 499});
    TypeName(folder / "sheet.tif");
    Key(WorldSide, {"3", "0", "0", "-3", "1", "1"});
    dialog.OnUpdateTiff();
    EXPECT_EQ(Shown(WorldSide), (std::vector<std::string>{"2", "0", "0", "-2", "101", "499"}));
}

TEST_F(referencing_dialog_update_tiff_test, failed_commit_is_shown_and_the_tiff_released) {
    const SmallTiff plain = SmallTiff::Make({});
    plain.Write(folder / "plain.tif");
    testfiles::WriteWorldFile(folder / "plain.tfw", {2, 0, 0, -2, 101, 499});
    TypeName(folder / "plain.tif");
    // Room for the values of the two new tags at the end of the file, but not for the new
    // directory: the commit fails when the examination releases the TIFF.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit tight = old;
    tight.rlim_cur = plain.bytes.size() + 9 * 8 + 16;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    Key(TiffSide, {"2", "3", "0", "0", "100", "500"});
    dialog.OnUpdateTiff();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].text.find("file integrity is suspect"), std::string::npos)
        << platform.errors[0].text;
    EXPECT_FALSE(dialog.HasTiffFile());
    EXPECT_TRUE(dialog.HasWorldFile());
    // The rest of the examination did not take place: the fields keep what they show.
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "3", "0", "0", "100", "500"}));
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is NOT georeferenced.");
    // The released TIFF can no longer be updated; the world file still can.
    EXPECT_FALSE(platform.Enabled(IDC_UPDATE_TIFF));
    EXPECT_TRUE(platform.Enabled(IDC_UPDATE_WORLD));
    EXPECT_FALSE(dialog.State().tiffUpdate.available);
    EXPECT_TRUE(dialog.State().worldFileUpdate.available);
    EXPECT_EQ(dialog.State().lastCommand,
              (CommandOutcome{CommandResult::Failed, platform.errors[0]}));
    EXPECT_EQ(platform.errors[0].cause, std::optional<int>(TuCauseTiffHeaderRewriteFailed));
    // The header still points to the old directory: the file reads as before.
    EXPECT_EQ(testfiles::ReadBytes(folder / "plain.tif")[4], 8);
    dialog.OnUpdateTiff();
    EXPECT_EQ(platform.errors.size(), 1u);
}

// ---- A TIFF that another program changed after the examination ----

class referencing_dialog_changed_tiff_test : public ExamineTest {
protected:
    // Examines sheet.tif, runs `command` in the folder as another program would while the
    // dialog holds the file, then keys new values and presses Update.
    void UpdateAfter(const std::string& command) {
        TypeName(folder / "sheet.tif");
        ASSERT_TRUE(platform.errors.empty());
        ASSERT_TRUE(testfiles::Run("cd '" + folder.path + "' && " + command)) << command;
        if (testfiles::Exists(folder / "sheet.tif")) {
            onDisk = testfiles::ReadBytes(folder / "sheet.tif");
        }
        Key(TiffSide, {"5", "5", "0", "0", "1", "1"});
        dialog.OnUpdateTiff();
    }
    std::vector<std::string> ChangedError() const {
        return {"The Tiff file named " + folder / "sheet.tif" +
                " was changed by another program since it was examined; the update was not "
                "made.  Examine the file again before updating it."};
    }
    // The error, and what the file then holds: what the other program left, byte for byte.
    void ExpectRefusedUntouched() {
        EXPECT_EQ(ErrorTexts(), ChangedError());
        EXPECT_TRUE(testfiles::ReadBytes(folder / "sheet.tif") == onDisk)
            << "sheet.tif is not as the other program left it";
    }
    // gdalinfo's report of the file, its errors included.
    std::string GdalChecksum() const {
        return testfiles::Run("{ gdalinfo -checksum '" + folder / "sheet.tif" + "' 2>&1; }")
            .value_or("gdalinfo failed");
    }

    std::vector<unsigned char> onDisk;
};

TEST_F(referencing_dialog_changed_tiff_test, rewritten_in_place_then_shown_as_it_now_is) {
    testfiles::MakeGdalTiff(folder / "sheet.tif", std::nullopt);
    ASSERT_TRUE(testfiles::Run("gdal_create -q -of GTiff -outsize 512 512 -bands 1 -burn 3 "
                               "-co TILED=YES -a_ullr 500000 4000512 500512 4000000 '" +
                               folder / "other.tif" + "'"));
    UpdateAfter("cp other.tif sheet.tif");
    ExpectRefusedUntouched();
    const std::string info = GdalChecksum();
    EXPECT_NE(info.find("Checksum="), std::string::npos) << info;
    EXPECT_EQ(info.find("rror"), std::string::npos) << info;
    // Examined again: the dialog shows the other program's file.
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"1", "1", "0", "0", "500000", "4000512"}));
    EXPECT_TRUE(dialog.HasTiffFile());
}

TEST_F(referencing_dialog_changed_tiff_test, overviews_appended_then_shown_as_it_now_is) {
    testfiles::MakeGdalTiff(folder / "sheet.tif", std::nullopt);
    UpdateAfter("gdaladdo -q sheet.tif 2 4");
    ExpectRefusedUntouched();
    EXPECT_NE(GdalChecksum().find("Overviews: 2x2, 1x1"), std::string::npos) << GdalChecksum();
    // The values keyed are replaced by what is on disk: no referencing.
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is NOT georeferenced.");
    EXPECT_EQ(Shown(TiffSide), Zeros);
}

TEST_F(referencing_dialog_changed_tiff_test, replaced_by_rename_then_shown_as_it_now_is) {
    MakeSheet();
    testfiles::MakeGdalTiff(folder / "new.tif", {{300, 700}}, 4);
    UpdateAfter("mv new.tif sheet.tif");
    ExpectRefusedUntouched();
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Tiff file is georeferenced.");
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"4", "4", "0", "0", "300", "700"}));
}

TEST_F(referencing_dialog_changed_tiff_test, removed_then_shown_missing) {
    MakeSheet();
    UpdateAfter("rm sheet.tif");
    EXPECT_EQ(ErrorTexts(), ChangedError());
    EXPECT_FALSE(testfiles::Exists(folder / "sheet.tif"));
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Indicated Tiff file does not exist.");
    EXPECT_FALSE(dialog.HasTiffFile());
}

// ---- Writing the world file: OnUpdateWorldFile ----

using referencing_dialog_update_world_test = ExamineTest;

TEST_F(referencing_dialog_update_world_test, new_world_file_gives_gdal_the_tiff_placement) {
    testfiles::MakeGdalTiff(folder / "plain.tif", std::nullopt);
    TypeName(folder / "plain.tif");
    EXPECT_EQ(platform.Text(IDC_UPDATE_WORLD), "Write new world file.");
    Key(TiffSide, {"0.5", "0.25", "10", "20", "654321", "4321987"});
    dialog.OnTiffToWorld();
    const std::array<double, 6> expected = ShownTiffGeoTransform();
    dialog.OnUpdateWorldFile();
    EXPECT_TRUE(platform.errors.empty()) << platform.errors.front().text;
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file exists.");
    EXPECT_EQ(platform.Text(IDC_UPDATE_WORLD), "Update existing World file.");
    // The examination replaced the TIFF side by what the file holds: no tags.
    EXPECT_EQ(Shown(TiffSide), Zeros);
    ASSERT_TRUE(testfiles::Exists(folder / "plain.tfw"));
    const auto transform = testfiles::GdalGeoTransform(folder / "plain.tif");
    ASSERT_TRUE(transform);
    ExpectSameTransform(*transform, expected);
}

TEST_F(referencing_dialog_update_world_test, existing_world_file_is_replaced) {
    MakeSheet();
    testfiles::WriteWorldFile(folder / "sheet.tfw", {2, 0, 0, -2, 101, 499});
    TypeName(folder / "sheet.tif");
    Key(WorldSide, {"0.1", "0.002", "-0.003", "-0.1", "654321.05", "4321986.95"});
    dialog.OnUpdateWorldFile();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(testfiles::ReadNumbers(folder / "sheet.tfw"),
              (std::vector<double>{0.1, 0.002, -0.003, -0.1, 654321.05, 4321986.95}));
    EXPECT_EQ(Shown(WorldSide), (std::vector<std::string>{"0.1", "0.002", "-0.003", "-0.1",
                                                          "654321.05", "4321986.95"}));
}

TEST_F(referencing_dialog_update_world_test, unwritten_tiff_side_is_replaced) {
    MakeSheet();
    TypeName(folder / "sheet.tif");
    Key(TiffSide, {"9", "9", "9", "9", "9", "9"});
    dialog.OnUpdateWorldFile();
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "2", "0", "0", "100", "500"}));
    EXPECT_EQ(testfiles::ReadNumbers(folder / "sheet.tfw"), (std::vector<double>(6, 0)));
}

TEST_F(referencing_dialog_update_world_test, failed_write_is_shown_and_values_stay) {
    MakeSheet();
    TypeName(folder / "sheet.tif");
    // The folder disappears while the dialog is open: no file can be created there.
    std::filesystem::remove_all(folder.path);
    Key(WorldSide, {"2", "0", "0", "-2", "101", "499"});
    platform.ClearRecord();
    dialog.OnUpdateWorldFile();
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_TRUE(platform.textWrites.empty());
    EXPECT_EQ(Shown(WorldSide), (std::vector<std::string>{"2", "0", "0", "-2", "101", "499"}));
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file does not exist.");
    EXPECT_TRUE(dialog.HasWorldFile());
}

TEST_F(referencing_dialog_update_world_test, upper_case_tiff_gets_upper_case_world_file) {
    testfiles::MakeGdalTiff(folder / "SHEET.TIF", {{100, 500}}, 2);
    TypeName(folder / "SHEET.TIF");
    dialog.OnTiffToWorld();
    dialog.OnUpdateWorldFile();
    EXPECT_TRUE(testfiles::Exists(folder / "SHEET.TFW"));
    EXPECT_FALSE(testfiles::Exists(folder / "SHEET.tfw"));
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file exists.");
    EXPECT_EQ(Shown(WorldSide), (std::vector<std::string>{"2", "0", "0", "-2", "101", "499"}));
}

// ---- The shell: help, system menu, closing ----

using referencing_dialog_shell_test = ExamineTest;

TEST_F(referencing_dialog_shell_test, about_entry_opens_the_about_box) {
    EXPECT_TRUE(dialog.OnSystemCommand(0x0010));
    EXPECT_TRUE(dialog.OnSystemCommand(0x0013));  // the low four bits do not count
    EXPECT_FALSE(dialog.OnSystemCommand(0xF060)); // close: the platform's own
    EXPECT_FALSE(dialog.OnSystemCommand(0x0020));
    EXPECT_EQ(platform.aboutBoxes, 2);
}

TEST_F(referencing_dialog_shell_test, help_opens_the_contents) {
    dialog.OnHelp();
    EXPECT_EQ(platform.helpTopics, std::vector<int>{HelpContents});
}

TEST_F(referencing_dialog_shell_test, close_releases_the_files_and_writes_nothing) {
    MakeSheet();
    TypeName(folder / "sheet.tif");
    const std::vector<unsigned char> before = testfiles::ReadBytes(folder / "sheet.tif");
    dialog.OnCancel();
    EXPECT_EQ(platform.endResults, std::vector<int>{IDCANCEL});
    EXPECT_FALSE(dialog.HasTiffFile());
    EXPECT_FALSE(dialog.HasWorldFile());
    EXPECT_EQ(testfiles::ReadBytes(folder / "sheet.tif"), before);
    EXPECT_FALSE(testfiles::Exists(folder / "sheet.tfw"));
}

TEST_F(referencing_dialog_update_world_test, vanished_tiff_is_reported_after_the_write) {
    MakeSheet();
    TypeName(folder / "sheet.tif");
    std::filesystem::remove(folder / "sheet.tif");
    Key(WorldSide, {"2", "0", "0", "-2", "101", "499"});
    dialog.OnUpdateWorldFile();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(testfiles::ReadNumbers(folder / "sheet.tfw"),
              (std::vector<double>{2, 0, 0, -2, 101, 499}));
    EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), "Indicated Tiff file does not exist.");
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Valid Tiff file has not been selected.");
    EXPECT_FALSE(dialog.HasTiffFile());
    EXPECT_FALSE(dialog.HasWorldFile());
    // The controls keep what they show.
    EXPECT_EQ(Shown(TiffSide), (std::vector<std::string>{"2", "2", "0", "0", "100", "500"}));
}
