// The dialog's state as its callers read it: what each examination found, which Updates may be
// used and why not, and what each command did, checked against what the window shows.
#include "ReferencingState.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "DialogFixture.h"
#include "uCauses.h"

using namespace kestrel;
using namespace kestrel::test;
using testfiles::SmallTiff;

namespace {

const UpdateAvailability Available{true, std::nullopt};
const UpdateAvailability NoFile{false, std::nullopt};
constexpr int ErrorStyle = TuStyleIconError | TuStyleOk;

class referencing_state_test : public ExamineTest {
protected:
    const ReferencingState& State() const { return dialog.State(); }
    // The findings and the buttons as the window shows them agree with the state.
    void ExpectShownAsFound() const {
        EXPECT_EQ(platform.Text(IDC_TIFF_STATUS), TiffStatusLine(State()));
        EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), WorldFileStatusLine(State()));
        EXPECT_EQ(platform.Enabled(IDC_UPDATE_TIFF), State().tiffUpdate.available);
        EXPECT_EQ(platform.Enabled(IDC_UPDATE_WORLD), State().worldFileUpdate.available);
    }
    static CommandOutcome Failed(const TuMessage& error) {
        return CommandOutcome{CommandResult::Failed, error};
    }
};

} // namespace

TEST_F(referencing_state_test, opens_with_nothing_found_and_nothing_to_update) {
    EXPECT_EQ(State().tiff, TiffFinding::NoFileYet);
    EXPECT_EQ(State().worldFile, WorldFileFinding::NoTiffYet);
    EXPECT_EQ(State().tiffUpdate, NoFile);
    EXPECT_EQ(State().worldFileUpdate, NoFile);
    EXPECT_EQ(State().lastCommand, CommandOutcome{});
    ExpectShownAsFound();

    // Updates without a file have nothing to act on; so has an unchanged name.
    dialog.OnUpdateTiff();
    EXPECT_EQ(State().lastCommand.result, CommandResult::Skipped);
    dialog.OnUpdateWorldFile();
    EXPECT_EQ(State().lastCommand.result, CommandResult::Skipped);
    dialog.OnFileNameKillFocus();
    EXPECT_EQ(State().lastCommand.result, CommandResult::Skipped);
    platform.fileAnswers.emplace_back(std::nullopt);
    dialog.OnBrowse();
    EXPECT_EQ(State().lastCommand.result, CommandResult::Skipped);
    EXPECT_TRUE(platform.errors.empty());
}

TEST_F(referencing_state_test, examined_files_may_be_updated) {
    MakeSheet();
    testfiles::WriteWorldFile(folder / "sheet.tfw", {2, 0, 0, -2, 101, 499});
    TypeName(folder / "sheet.tif");
    EXPECT_EQ(State().tiff, TiffFinding::Georeferenced);
    EXPECT_EQ(State().worldFile, WorldFileFinding::Exists);
    EXPECT_EQ(State().tiffUpdate, Available);
    EXPECT_EQ(State().worldFileUpdate, Available);
    EXPECT_EQ(State().lastCommand, CommandOutcome{});
    ExpectShownAsFound();

    SmallTiff::Make({}).Write(folder / "plain.tif");
    TypeName(folder / "plain.tif");
    EXPECT_EQ(State().tiff, TiffFinding::NotGeoreferenced);
    EXPECT_EQ(State().worldFile, WorldFileFinding::Missing);
    EXPECT_EQ(State().worldFileUpdate, Available);
    ExpectShownAsFound();

    // Both updates run to their end, and the examination after each finds what they wrote.
    Key(TiffSide, {"2", "2", "0", "0", "100", "500"});
    dialog.OnUpdateTiff();
    EXPECT_EQ(State().lastCommand, CommandOutcome{});
    EXPECT_EQ(State().tiff, TiffFinding::Georeferenced);
    dialog.OnTiffToWorld();
    dialog.OnUpdateWorldFile();
    EXPECT_EQ(State().lastCommand, CommandOutcome{});
    EXPECT_EQ(State().worldFile, WorldFileFinding::Exists);
    ExpectShownAsFound();
}

TEST_F(referencing_state_test, refused_entries_stop_with_the_dialog_message) {
    TypeName(folder / "missing.tif");
    EXPECT_EQ(
        State().lastCommand,
        (CommandOutcome{CommandResult::Refused, PlainMessage("Indicated file does not exist.")}));
    EXPECT_EQ(State().tiff, TiffFinding::NoFileYet);

    MakeSheet();
    TypeName(folder / "sheet.tif");
    platform.Type(IDC_X_VECTOR_Y, "");
    dialog.OnUpdateWorldFile();
    EXPECT_EQ(State().lastCommand,
              (CommandOutcome{CommandResult::Refused, WarningMessage("Please enter a number.")}));

    // A warning does not stop a command.
    Key(WorldSide, {"2", "0.5", "0", "-2", "101", "499"});
    dialog.OnWorldToTiff();
    EXPECT_EQ(platform.messages.back(), WarningMessage(texts::RotationWarning));
    EXPECT_EQ(State().lastCommand, CommandOutcome{});
}

// A file that may not be written: its Update is unavailable, with the error the update would
// meet, and pressed all the same it shows that error and writes nothing.
TEST_F(referencing_state_test, read_only_files_say_why_they_are_not_updated) {
    MakeSheet();
    testfiles::WriteWorldFile(folder / "sheet.tfw", {2, 0, 0, -2, 101, 499});
    testfiles::MakeReadOnly(folder / "sheet.tif");
    testfiles::MakeReadOnly(folder / "sheet.tfw");
    TypeName(folder / "sheet.tif");
    const TuMessage examinationOnly{TuCauseTiffOpenedForExamination, "Internal Software Problem",
                                    "An attempt to modify Tiff file named " + folder / "sheet.tif" +
                                        " failed; it was opened for examination only.",
                                    ErrorStyle};
    const TuMessage writeDenied{TuCauseOpenWriteDenied, "Operational Problem",
                                "Permission to open file named " + folder / "sheet.tfw" +
                                    " for writing is denied. File is marked as read only. (Code: "
                                    "13)",
                                ErrorStyle};
    EXPECT_EQ(State().tiffUpdate, (UpdateAvailability{false, examinationOnly}));
    EXPECT_EQ(State().worldFileUpdate, (UpdateAvailability{false, writeDenied}));
    EXPECT_EQ(State().lastCommand, CommandOutcome{});
    ExpectShownAsFound();

    const std::vector<unsigned char> tiffBefore = testfiles::ReadBytes(folder / "sheet.tif");
    Key(TiffSide, {"4", "4", "0", "0", "1", "2"});
    dialog.OnUpdateTiff();
    EXPECT_EQ(State().lastCommand, Failed(examinationOnly));
    Key(WorldSide, {"4", "0", "0", "-4", "1", "2"});
    dialog.OnUpdateWorldFile();
    EXPECT_EQ(State().lastCommand, Failed(writeDenied));
    EXPECT_EQ(platform.errors, (std::vector<TuMessage>{examinationOnly, writeDenied}));
    EXPECT_EQ(testfiles::ReadBytes(folder / "sheet.tif"), tiffBefore);
    EXPECT_EQ(testfiles::ReadNumbers(folder / "sheet.tfw"),
              (std::vector<double>{2, 0, 0, -2, 101, 499}));
    struct stat status {};
    ASSERT_EQ(stat((folder / "sheet.tfw").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0444u);
}

TEST_F(referencing_state_test, failed_examinations_keep_the_error_and_release_the_updates) {
    MakeSheet();
    testfiles::WriteText(folder / "sheet.tfw", "2\n0\n0\n-2\n101\n");
    TypeName(folder / "sheet.tif");
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].cause, std::optional<int>(TuCauseWorldFileNotUnderstood));
    EXPECT_EQ(platform.errors[0].caption, "Data File Format Problem");
    EXPECT_EQ(State().lastCommand, Failed(platform.errors[0]));
    EXPECT_EQ(State().tiff, TiffFinding::Georeferenced);
    EXPECT_EQ(State().worldFile, WorldFileFinding::Unreadable);
    EXPECT_EQ(State().tiffUpdate, NoFile);
    EXPECT_EQ(State().worldFileUpdate, NoFile);
    ExpectShownAsFound();

    testfiles::WriteText(folder / "text.tif", "this is no image at all\n");
    TypeName(folder / "text.tif");
    ASSERT_EQ(platform.errors.size(), 2u);
    EXPECT_EQ(platform.errors[1].cause, std::optional<int>(TuCauseTiffNotUnderstood));
    EXPECT_EQ(State().lastCommand, Failed(platform.errors[1]));
    EXPECT_EQ(State().tiff, TiffFinding::Unreadable);
    EXPECT_EQ(State().worldFile, WorldFileFinding::NoValidTiff);
    ExpectShownAsFound();

    // Browsing to a file that is gone by the time it is examined: no error, nothing found.
    platform.fileAnswers.emplace_back(folder / "gone.tif");
    dialog.OnBrowse();
    EXPECT_EQ(State().lastCommand, CommandOutcome{});
    EXPECT_EQ(State().tiff, TiffFinding::NotFound);
    EXPECT_EQ(State().worldFile, WorldFileFinding::NoValidTiff);
    ExpectShownAsFound();
}

// A name taken by a folder: the world file's Update gives the error the examination showed.
TEST_F(referencing_state_test, world_file_name_taken_by_a_folder) {
    MakeSheet();
    std::filesystem::create_directory(folder / "sheet.tfw");
    TypeName(folder / "sheet.tif");
    ASSERT_EQ(platform.errors.size(), 1u);
    const TuMessage notAFile = platform.errors[0];
    EXPECT_EQ(notAFile.cause, std::optional<int>(TuCauseOpenIsDirectory));
    EXPECT_EQ(State().lastCommand, Failed(notAFile));
    EXPECT_EQ(State().tiff, TiffFinding::Georeferenced);
    EXPECT_EQ(State().worldFile, WorldFileFinding::NotAFile);
    EXPECT_EQ(State().tiffUpdate, Available);
    EXPECT_EQ(State().worldFileUpdate, (UpdateAvailability{false, notAFile}));
    ExpectShownAsFound();
}

// A TIFF whose name is as long as a path may be, with a one-letter extension: the world file's
// name would be longer. The TIFF side is read, the world file's side is not, and the caption
// of its button stays what it was.
TEST_F(referencing_state_test, world_file_name_that_cannot_be_formed) {
    SmallTiff::Make({}).Write(folder / "plain.tif");
    TypeName(folder / "plain.tif");
    ASSERT_EQ(platform.Text(IDC_UPDATE_WORLD), "Write new world file.");

    const std::string name = folder / std::string(259 - folder.path.size() - 3, 'n') + ".t";
    ASSERT_EQ(name.size(), 259u);
    SmallTiff::Make({}).Write(name);
    TypeName(name);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(State().lastCommand, Failed(platform.errors[0]));
    EXPECT_EQ(State().tiff, TiffFinding::NotGeoreferenced);
    EXPECT_EQ(State().worldFile, WorldFileFinding::NameUnusable);
    EXPECT_EQ(platform.Text(IDC_WORLD_STATUS), "Corresponding world file cannot be read.");
    EXPECT_EQ(platform.Text(IDC_UPDATE_WORLD), "Write new world file.");
    EXPECT_EQ(State().tiffUpdate, NoFile);
    EXPECT_EQ(State().worldFileUpdate, NoFile);
    ExpectShownAsFound();
}

// An update that finds the TIFF changed by another program fails with that error, although
// the examination after it succeeds.
TEST_F(referencing_state_test, first_error_of_a_command_is_its_outcome) {
    MakeSheet();
    TypeName(folder / "sheet.tif");
    testfiles::MakeGdalTiff(folder / "other.tif", {{300, 700}}, 4);
    std::filesystem::rename(folder / "other.tif", folder / "sheet.tif");
    dialog.OnUpdateTiff();
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].cause, std::optional<int>(TuCauseTiffChangedSinceExamined));
    EXPECT_EQ(State().lastCommand, Failed(platform.errors[0]));
    EXPECT_EQ(State().tiff, TiffFinding::Georeferenced);
    EXPECT_EQ(State().tiffUpdate, Available);

    // The next command starts afresh.
    dialog.OnTiffToWorld();
    EXPECT_EQ(State().lastCommand, CommandOutcome{});
}

TEST(referencing_state_status_test, new_findings_have_their_own_lines) {
    ReferencingState state;
    const std::pair<TiffFinding, const char*> lines[] = {
        {TiffFinding::Georeferenced, "Tiff file is georeferenced."},
        {TiffFinding::GeoreferencedPixelIsPoint, "Tiff file is georeferenced, pixel-is-point."},
        {TiffFinding::ByMatrix, "Tiff file is georeferenced by a matrix."},
        {TiffFinding::ByRotatedMatrix, "Tiff file has a rotated matrix."},
        {TiffFinding::ByMatrixNotNorthUp, "Tiff file's matrix is not north-up."},
        {TiffFinding::NotGeoreferenced, "Tiff file is NOT georeferenced."},
    };
    for (const auto& [finding, line] : lines) {
        state.tiff = finding;
        EXPECT_EQ(TiffStatusLine(state), line);
        EXPECT_TRUE(SideWasRead(finding)) << line;
    }
    state.tiff = TiffFinding::ControlPoints;
    state.tiffTags.tiePoints = 12;
    EXPECT_EQ(TiffStatusLine(state), "Tiff file has 12 ground control points.");
    EXPECT_FALSE(IsGeoreferenced(TiffFinding::ControlPoints));
    EXPECT_TRUE(IsGeoreferenced(TiffFinding::ByRotatedMatrix));
    EXPECT_TRUE(FieldsApproximateMatrix(TiffFinding::ByMatrixNotNorthUp));
    EXPECT_FALSE(FieldsApproximateMatrix(TiffFinding::ByMatrix));
}

TEST(referencing_state_status_test, a_world_file_under_another_name_is_named) {
    ReferencingState state;
    state.worldFile = WorldFileFinding::Exists;
    for (const char* usual : {"tfw", "TFW", "Tfw"}) {
        state.worldFileExtension = usual;
        EXPECT_EQ(WorldFileStatusLine(state), "Corresponding world file exists.") << usual;
    }
    state.worldFileExtension = "tiffw";
    EXPECT_EQ(WorldFileStatusLine(state), "Corresponding world file (.tiffw) exists.");
    state.worldFileExtension = "WLD";
    EXPECT_EQ(WorldFileStatusLine(state), "Corresponding world file (.WLD) exists.");
    // Only a file that exists is named: the others keep their lines.
    state.worldFile = WorldFileFinding::Unreadable;
    EXPECT_EQ(WorldFileStatusLine(state), "Corresponding world file cannot be read.");
}
