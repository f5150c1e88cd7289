// File names on Windows: drive paths in their Windows form, names in any script as UTF-8 narrow
// text, and the diagnosis of real failed opens from the errors Windows gives (missing files,
// folders and drives, a file where a folder belongs, folders, files in use, read-only files).
#include <windows.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "TiffTestSupport.h"
#include "WindowsTestFiles.h"
#include "uCauses.h"
#include "uFileName.h"
#include "uFileTest.h"
#include "uTiffFile.h"

namespace {

namespace fs = std::filesystem;

std::u16string Part(const TuFileName& name, void (TuFileName::*get)(char16_t*) const) {
    char16_t part[TuPartSize];
    (name.*get)(part);
    return part;
}

// A scratch folder that is also the current folder while the test runs.
class file_name_windows_test : public ::testing::Test {
protected:
    void SetUp() override {
        saved = fs::current_path();
        fs::current_path(PathOf(folder.Path()));
    }
    void TearDown() override { fs::current_path(saved); }

    // A copy of a GeoTIFF fixture under name.
    std::string Sheet(const std::string& name) {
        const std::string path = folder / name;
        fs::copy_file(PathOf(std::string(KESTREL_TEST_DATA) + "/geotiff_le_striped.tif"),
                      PathOf(path));
        return path;
    }
    // What opening path as a TIFF raised.
    Raised OpenFails(const std::string& path, int mode = ModeExamine) {
        return RaisedBy([&] { TuTiffFile file(TuFileName(path.c_str()), mode); });
    }

    TempFolder folder;
    fs::path saved;
};

TEST_F(file_name_windows_test, names_take_the_windows_form_on_the_current_drive) {
    const std::u16string here = Wide(folder.Path());
    EXPECT_EQ(std::u16string(TuFileName("maps/../sheet1.tif").GetPath()), here + u"\\sheet1.tif");
    EXPECT_EQ(std::u16string(TuFileName("").GetPath()), here);
    // Root-relative: the root of the current folder's drive.
    EXPECT_EQ(std::u16string(TuFileName("\\maps\\a.tif").GetPath()),
              here.substr(0, 2) + u"\\maps\\a.tif");

    const TuFileName sheet("C:\\maps\\sheet1.tif");
    EXPECT_EQ(Part(sheet, &TuFileName::GetDrive), u"C:");
    EXPECT_EQ(Part(sheet, &TuFileName::GetDirectory), u"\\maps");
    EXPECT_EQ(Part(sheet, &TuFileName::GetExtension), u"tif");
    const TuFileName share("\\\\srv\\data\\maps\\a.b.tif");
    EXPECT_EQ(Part(share, &TuFileName::GetDrive), u"\\\\srv\\data");
    EXPECT_EQ(Part(share, &TuFileName::GetNameAndExtension), u"a.b.tif");
    TuFileName world = sheet;
    world.SetExtension("tfw");
    EXPECT_STREQ(world.GetNarrow(), "C:\\maps\\sheet1.tfw");
}

TEST_F(file_name_windows_test, names_in_any_script_are_utf8_narrow_text) {
    const std::string name = "K\xc3\xa4rte \xe5\x9c\xb0\xe5\x9b\xb3 \xce\xa9.tif"; // Kärte 地図 Ω
    const TuFileName file(name.c_str());
    EXPECT_EQ(std::u16string(file.GetPath()),
              Wide(folder.Path()) + u"\\K\u00e4rte \u5730\u56f3 \u03a9.tif");
    EXPECT_EQ(std::string(file.GetNarrow()), folder / name);
    TuFileName world = file;
    world.SetExtension("tfw");
    EXPECT_EQ(std::string(world.GetNarrow()),
              folder / "K\xc3\xa4rte \xe5\x9c\xb0\xe5\x9b\xb3 \xce\xa9.tfw");

    // The file is found by its name, and examined.
    fs::copy_file(PathOf(std::string(KESTREL_TEST_DATA) + "/geotiff_le_striped.tif"),
                  PathOf(folder / name));
    EXPECT_EQ(TuFileAccess(file.GetPath(), TuAccessReadWrite), 0);
    EXPECT_GT(TuTiffFile(file, ModeExamine).TagCount(), 0u);
}

TEST_F(file_name_windows_test, malformed_utf8_is_refused_with_its_cause) {
    const char* text = "a\xff\xc3.tif";
    try {
        const TuFileName name(text);
        FAIL() << "a malformed name was taken";
    } catch (const TuError& error) {
        EXPECT_EQ(error.Cause(), TuCauseInvalidMultibyteText);
        EXPECT_EQ(error.Argument(1).Kind(), tvText);
        EXPECT_STREQ(error.Argument(1).Text(), text);
    }
}

TEST_F(file_name_windows_test, a_missing_file_in_an_existing_folder_names_file_and_folder) {
    const Raised raised = OpenFails(folder / "nosuch.tif");
    EXPECT_EQ(raised.cause, TuCauseOpenFileMissing);
    EXPECT_EQ(raised.message, "File named 'nosuch.tif' does not exist in the '" + folder.Path() +
                                  "' directory, open failed. (Code: 2)");
}

TEST_F(file_name_windows_test, a_missing_folder_or_drive_is_named) {
    fs::create_directory(PathOf(folder / "maps"));
    const std::string path = folder / "maps\\old\\a.tif";
    const Raised raised = OpenFails(path);
    EXPECT_EQ(raised.cause, TuCauseOpenDirectoryMissing);
    EXPECT_EQ(raised.message, "Attempt to open file named '" + path +
                                  "' failed. Directory named 'old' does not exist, or permission "
                                  "to access it has been denied.[2]");

    const char drive = UnusedDriveLetter();
    ASSERT_NE(drive, '\0');
    const std::string onNoDrive = std::string(1, drive) + ":\\a\\b.tif";
    const Raised noDrive = OpenFails(onNoDrive);
    EXPECT_EQ(noDrive.cause, TuCauseOpenDirectoryMissing);
    EXPECT_EQ(noDrive.message, "Attempt to open file named '" + onNoDrive +
                                   "' failed. Directory named '" + std::string(1, drive) +
                                   ":\\' does not exist, or permission to access it has been "
                                   "denied.[2]");
}

TEST_F(file_name_windows_test, a_file_where_a_folder_belongs_is_named) {
    Sheet("a.tif");
    const Raised raised = OpenFails(folder / "a.tif\\x\\y.tif");
    EXPECT_EQ(raised.cause, TuCauseOpenComponentIsFile);
    EXPECT_EQ(raised.firstText, Wide(folder / "a.tif\\x\\y.tif"));
}

TEST_F(file_name_windows_test, a_folder_is_no_file) {
    fs::create_directory(PathOf(folder / "dir.tif"));
    for (const int mode : {ModeExamine, ModeUpdate}) {
        const Raised raised = OpenFails(folder / "dir.tif", mode);
        EXPECT_EQ(raised.cause, TuCauseOpenIsDirectory);
        EXPECT_EQ(raised.message, "File named " + folder / "dir.tif" +
                                      " is a directory, rather than a file. Open failed. "
                                      "(Code: 13)");
    }
}

// Another program holds the TIFF without sharing it: the file may be written as far as its
// rights go, so it is not called read-only, but in use.
TEST_F(file_name_windows_test, a_file_in_use_elsewhere_is_reported_as_possibly_locked) {
    const std::string path = Sheet("sheet.tif");
    const HeldWithoutSharing held(path);
    ASSERT_TRUE(held.Held());
    EXPECT_EQ(TuFileAccess(Wide(path).c_str(), TuAccessReadWrite), 0);
    const Raised raised = OpenFails(path, ModeUpdate);
    EXPECT_EQ(raised.cause, TuCauseOpenDenied);
    EXPECT_EQ(raised.message, "Permission to open file named " + path +
                                  " denied. File could be locked by another user; or perhaps "
                                  "directory search permission problem. (Code: 13)");
}

// The read-only attribute makes the file examined, not updated, whoever runs Kestrel (Wine
// lets its superuser write such a file; Windows lets no one).
TEST_F(file_name_windows_test, a_read_only_file_is_examined_not_updated) {
    const std::string path = Sheet("sheet.tif");
    ASSERT_TRUE(SetAttributes(path, FILE_ATTRIBUTE_READONLY));
    const TuFileName name(path.c_str());
    EXPECT_EQ(TuFileAccess(name.GetPath(), TuAccessRead), 0);
    EXPECT_EQ(TuFileAccess(name.GetPath(), TuAccessWrite), -1);
    EXPECT_EQ(TuFileAccess(name.GetPath(), TuAccessReadWrite), -1);
    const TuTiffFile file(name, UpdateIfPermitted);
    EXPECT_FALSE(file.IsWritable());
    SetAttributes(path, FILE_ATTRIBUTE_NORMAL);
}

} // namespace
