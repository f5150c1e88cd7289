#include "uFileName.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "RaisedError.h"
#include "uCauses.h"
#include "uError.h"

namespace {

namespace fs = std::filesystem;
using Text = std::u16string;
using raised_error::Kept;
using raised_error::Raised;
using raised_error::WideArgument;

Text Wide(const std::string& text) {
    Text wide;
    for (unsigned char byte : text) {
        wide.push_back(byte);
    }
    return wide;
}

Text Extension(const TuFileName& name) {
    char16_t part[TuPartSize];
    name.GetExtension(part);
    return part;
}

Text NameAndExtension(const TuFileName& name) {
    char16_t part[TuPartSize];
    name.GetNameAndExtension(part);
    return part;
}

// A temporary folder that is also the current directory while the test runs.
class file_name_test : public testing::Test {
protected:
    void SetUp() override {
        char current[4096];
        ASSERT_NE(getcwd(current, sizeof current), nullptr);
        saved = current;
        char pattern[] = "/tmp/kfnXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(saved.c_str()), 0);
        fs::remove_all(folder);
    }
    void MakeFile(const std::string& relative) { std::ofstream(folder + "/" + relative) << "x"; }
    std::string saved, folder;
};

// The diagnosis of a failed open: the cause, then the arguments as texts and numbers.
struct Diagnosis {
    int cause = 0;
    Text first, second;
    int number = 0;
};

Diagnosis Diagnose(const TuFileName& name, TuOpenAccess wanted, int errorNumber) {
    const auto error = Raised([&] { name.RaiseOpenFailure(wanted, errorNumber); });
    if (!error) {
        ADD_FAILURE() << "RaiseOpenFailure returned";
        return {};
    }
    Diagnosis diagnosis{error->Cause(), WideArgument(*error, 1), {}, 0};
    // Causes with a component carry it second and the number third.
    const bool hasComponent =
        error->Cause() >= TuCauseOpenDirectoryMissing && error->Cause() <= TuCauseOpenFileMissing;
    if (hasComponent) {
        diagnosis.second = WideArgument(*error, 2);
    }
    diagnosis.number = error->Argument(hasComponent ? 3 : 2).AsSigned();
    return diagnosis;
}

} // namespace

// ---- Construction and the absolute form ----------------------------------------------------

TEST_F(file_name_test, relative_and_empty_texts_become_absolute_under_the_current_directory) {
    EXPECT_EQ(Text(TuFileName("sheet1.tif").GetPath()), Wide(folder) + u"/sheet1.tif");
    EXPECT_EQ(Text(TuFileName("./maps/../sheet1.tif").GetPath()), Wide(folder) + u"/sheet1.tif");
    EXPECT_EQ(Text(TuFileName("").GetPath()), Wide(folder));
    EXPECT_EQ(Text(TuFileName("/data//maps/./a.tif").GetPath()), u"/data/maps/a.tif");
}

TEST_F(file_name_test, default_name_is_empty) {
    const TuFileName name;
    EXPECT_EQ(Text(name.GetPath()), u"");
    EXPECT_STREQ(name.GetNarrow(), "");
    EXPECT_EQ(Extension(name), u"");
}

TEST_F(file_name_test, bytes_of_the_text_are_kept) {
    const TuFileName name("/data/carte_\xc3\xa9t\xe9.tif");
    EXPECT_EQ(Text(name.GetPath()), u"/data/carte_\u00c3\u00a9t\u00e9.tif");
    EXPECT_STREQ(name.GetNarrow(), "/data/carte_\xc3\xa9t\xe9.tif");
}

TEST_F(file_name_test, path_of_259_units_is_kept_and_longer_text_refused) {
    const std::string longest = "/" + std::string(258, 'a');
    EXPECT_EQ(Text(TuFileName(longest.c_str()).GetPath()), Wide(longest));
    const std::string tooLong = longest + "b";
    const auto error = Raised([&] { TuFileName name(tooLong.c_str()); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Cause(), TuCausePathTooLongWhenAbsolute);
    EXPECT_EQ(WideArgument(*error, 1), Kept(Wide(tooLong)));
    // Far beyond any buffer: reported, not cut or overrun.
    const std::string huge(5000, 'h');
    const auto hugeError = Raised([&] { TuFileName name(huge.c_str()); });
    ASSERT_TRUE(hugeError);
    EXPECT_EQ(hugeError->Cause(), TuCausePathTooLongWhenAbsolute);
    EXPECT_EQ(WideArgument(*hugeError, 1), Kept(Wide(huge)));
}

// ---- Copies and the narrow form ------------------------------------------------------------

// The narrow form is the object's own text, valid until the path changes. A text freed or
// remade behind a caller that holds it is read after its end, which the sanitizer build
// reports.
TEST_F(file_name_test, narrow_form_stays_valid_until_the_path_changes) {
    TuFileName name("/maps/a.tif");
    const char* held = name.GetNarrow();
    name.GetNarrow();
    {
        // NOLINTNEXTLINE(performance-unnecessary-copy-initialization): the copy is under test
        const TuFileName copy(name);
        EXPECT_STREQ(copy.GetNarrow(), "/maps/a.tif");
        TuFileName assigned;
        assigned = name;
        EXPECT_STREQ(assigned.GetNarrow(), "/maps/a.tif");
    }
    TuFileName& self = name;
    name = self;
    EXPECT_STREQ(held, "/maps/a.tif");
    EXPECT_STREQ(name.GetNarrow(), "/maps/a.tif");

    name.SetExtension("tfw");
    EXPECT_STREQ(name.GetNarrow(), "/maps/a.tfw");
}

TEST_F(file_name_test, narrow_form_of_a_copy_outlives_the_original) {
    auto original = std::make_unique<TuFileName>("/maps/a.tif");
    original->GetNarrow();
    const TuFileName copy(*original);
    TuFileName assigned;
    assigned = *original;
    const char* copied = copy.GetNarrow();
    original->SetExtension("tfw"); // discards the original's narrow form
    original.reset();
    EXPECT_STREQ(copied, "/maps/a.tif");
    EXPECT_STREQ(assigned.GetNarrow(), "/maps/a.tif");
}

TEST_F(file_name_test, assignment_replaces_a_made_narrow_form) {
    TuFileName name("/maps/a.tif");
    EXPECT_STREQ(name.GetNarrow(), "/maps/a.tif");
    name = TuFileName("/other/b.tif");
    EXPECT_STREQ(name.GetNarrow(), "/other/b.tif");
}

// ---- Parts ---------------------------------------------------------------------------------

TEST_F(file_name_test, parts_of_a_posix_path) {
    const TuFileName name("/data/maps/sheet1.tif");
    char16_t part[TuPartSize];
    name.GetDrive(part);
    EXPECT_EQ(Text(part), u"");
    name.GetDirectory(part);
    EXPECT_EQ(Text(part), u"/data/maps");
    EXPECT_EQ(Extension(name), u"tif");
    char narrow[TuPartSize];
    name.GetExtension(narrow);
    EXPECT_STREQ(narrow, "tif");
    EXPECT_EQ(NameAndExtension(name), u"sheet1.tif");
    EXPECT_EQ(NameAndExtension(TuFileName("/data/README")), u"README.");
    TuFileName("/sheet1.tif").GetDirectory(part);
    EXPECT_EQ(Text(part), u"");
}

TEST_F(file_name_test, name_and_extension_stay_within_a_part) {
    // The longest name leaves room for the dot only.
    const std::string path = "/d/" + std::string(254, 'n');
    EXPECT_EQ(NameAndExtension(TuFileName(path.c_str())), Text(254, u'n') + u".");
    const std::string both = "/" + std::string(200, 'n') + "." + std::string(57, 'e');
    EXPECT_EQ(NameAndExtension(TuFileName(both.c_str())), Text(200, u'n') + u"." + Text(54, u'e'));
}

// ---- SetExtension --------------------------------------------------------------------------

TEST_F(file_name_test, world_file_name_for_tif_tiff_and_no_extension) {
    for (const char* tiff : {"sheet1.tif", "sheet1.tiff", "sheet1", "sheet1.TIF"}) {
        TuFileName name(tiff);
        name.SetExtension("tfw");
        EXPECT_EQ(Text(name.GetPath()), Wide(folder) + u"/sheet1.tfw") << tiff;
    }
    TuFileName dotted("/maps/a.b.tif");
    dotted.SetExtension(u".tfw");
    EXPECT_EQ(Text(dotted.GetPath()), u"/maps/a.b.tfw");
    TuFileName inFolderWithDot("/maps.old/readme");
    inFolderWithDot.SetExtension("tif");
    EXPECT_EQ(Text(inFolderWithDot.GetPath()), u"/maps.old/readme.tif");
}

TEST_F(file_name_test, empty_extension_removes_it) {
    TuFileName name("/maps/sheet1.tif");
    name.SetExtension("");
    EXPECT_EQ(Text(name.GetPath()), u"/maps/sheet1");
}

TEST_F(file_name_test, failed_set_extension_leaves_the_path) {
    // 255 units of extension are refused whole, never cut.
    TuFileName name("/maps/sheet1.tif");
    const char* narrow = name.GetNarrow();
    const Text longExtension(255, u'e');
    const auto error = Raised([&] { name.SetExtension(longExtension.c_str()); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Cause(), TuCauseExtensionTooLong);
    EXPECT_EQ(WideArgument(*error, 1), Kept(longExtension));
    EXPECT_EQ(Text(name.GetPath()), u"/maps/sheet1.tif");
    EXPECT_STREQ(narrow, "/maps/sheet1.tif"); // the narrow form taken before is still valid
    TuFileName shortName("/a.tif");
    shortName.SetExtension(Text(254, u'e').c_str()); // at the part limit
    EXPECT_EQ(Extension(shortName), Text(254, u'e'));

    // A path of 258 units, one too long for the new extension.
    const std::string base = "/" + std::string(200, 'd') + "/" + std::string(52, 'n') + ".tif";
    TuFileName full(base.c_str());
    const auto tooLong = Raised([&] { full.SetExtension("tiff"); });
    ASSERT_TRUE(tooLong);
    EXPECT_EQ(tooLong->Cause(), TuCausePathTooLong);
    EXPECT_EQ(Text(full.GetPath()), Wide(base));
    EXPECT_STREQ(full.GetNarrow(), base.c_str());
}

// ---- Diagnosis of a failed open, on real folders -------------------------------------------

TEST_F(file_name_test, too_many_open_files_whatever_the_path) {
    const Diagnosis diagnosis = Diagnose(TuFileName("/no/such/place.tif"), TuOpenAccess::Read, 24);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenTooManyFiles);
    EXPECT_EQ(diagnosis.first, u"/no/such/place.tif");
    EXPECT_EQ(diagnosis.number, 24);
}

TEST_F(file_name_test, missing_file_in_an_existing_folder) {
    fs::create_directory("maps");
    Diagnosis diagnosis = Diagnose(TuFileName("maps/nosuch.tif"), TuOpenAccess::Read, ENOENT);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenFileMissing);
    EXPECT_EQ(diagnosis.first, u"nosuch.tif");
    EXPECT_EQ(diagnosis.second, Wide(folder) + u"/maps");
    EXPECT_EQ(diagnosis.number, 2);

    diagnosis = Diagnose(TuFileName("README"), TuOpenAccess::ReadWrite, ENOENT);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenFileMissing);
    EXPECT_EQ(diagnosis.first, u"README.");
    EXPECT_EQ(diagnosis.second, Wide(folder));
}

TEST_F(file_name_test, missing_file_in_the_root_names_the_root) {
    const std::string name = "/kestrel-absent-" + std::to_string(getpid()) + ".tif";
    ASSERT_FALSE(fs::exists(name));
    const Diagnosis diagnosis = Diagnose(TuFileName(name.c_str()), TuOpenAccess::Read, ENOENT);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenFileMissing);
    EXPECT_EQ(diagnosis.first, Wide(name.substr(1)));
    EXPECT_EQ(diagnosis.second, u"/");
}

TEST_F(file_name_test, missing_folder_names_the_first_missing_component) {
    fs::create_directory("maps");
    const TuFileName name("maps/old/older/a.tif");
    const Diagnosis diagnosis = Diagnose(name, TuOpenAccess::Read, ENOENT);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenDirectoryMissing);
    EXPECT_EQ(diagnosis.first, Kept(name.GetPath()));
    EXPECT_EQ(diagnosis.second, u"old");
    EXPECT_EQ(diagnosis.number, 2);
}

TEST_F(file_name_test, missing_top_level_folder) {
    const std::string path = "/kestrel-absent-" + std::to_string(getpid()) + "/a/b.tif";
    const Diagnosis diagnosis = Diagnose(TuFileName(path.c_str()), TuOpenAccess::Read, ENOENT);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenDirectoryMissing);
    EXPECT_EQ(diagnosis.second, Wide("kestrel-absent-" + std::to_string(getpid())));
}

TEST_F(file_name_test, regular_file_used_as_a_folder) {
    fs::create_directory("maps");
    MakeFile("maps/a.tif");
    // Deeper than the folder meant to hold the file: the file in the way is named.
    const TuFileName deep("maps/a.tif/x/y.tif");
    for (int errorNumber : {ENOENT, ENOTDIR}) {
        const Diagnosis diagnosis = Diagnose(deep, TuOpenAccess::Read, errorNumber);
        EXPECT_EQ(diagnosis.cause, TuCauseOpenComponentIsFile);
        EXPECT_EQ(diagnosis.first, Kept(deep.GetPath()));
        EXPECT_EQ(diagnosis.second, u"a.tif");
        EXPECT_EQ(diagnosis.number, errorNumber);
    }
    // The file stands where the holding folder should be: the file is missing from it.
    const Diagnosis diagnosis =
        Diagnose(TuFileName("maps/a.tif/y.tif"), TuOpenAccess::Read, ENOTDIR);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenFileMissing);
    EXPECT_EQ(diagnosis.first, u"y.tif");
    EXPECT_EQ(diagnosis.second, Wide(folder) + u"/maps/a.tif");
    EXPECT_EQ(diagnosis.number, ENOTDIR);
}

TEST_F(file_name_test, special_file_used_as_a_folder) {
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    const Diagnosis diagnosis = Diagnose(TuFileName("pipe/x/y.tif"), TuOpenAccess::Read, ENOTDIR);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenComponentNotDirectory);
    EXPECT_EQ(diagnosis.second, u"pipe");
}

TEST_F(file_name_test, folder_opened_as_a_file) {
    fs::create_directory("maps");
    const TuFileName name("maps");
    for (int errorNumber : {EISDIR, EACCES}) {
        const Diagnosis diagnosis = Diagnose(name, TuOpenAccess::Read, errorNumber);
        EXPECT_EQ(diagnosis.cause, TuCauseOpenIsDirectory);
        EXPECT_EQ(diagnosis.first, Wide(folder) + u"/maps");
        EXPECT_EQ(diagnosis.number, errorNumber);
    }
    EXPECT_EQ(Diagnose(name, TuOpenAccess::ReadWrite, EISDIR).cause, TuCauseOpenIsDirectory);
}

TEST_F(file_name_test, refused_access_to_an_existing_file) {
    MakeFile("locked.tif");
    ASSERT_EQ(chmod("locked.tif", 0444), 0);
    const TuFileName locked("locked.tif");
    EXPECT_EQ(Diagnose(locked, TuOpenAccess::ReadWrite, EACCES).cause, TuCauseOpenWriteDenied);
    EXPECT_EQ(Diagnose(locked, TuOpenAccess::Write, EACCES).cause, TuCauseOpenWriteDenied);
    // Reading was all that was wanted, and reading is allowed.
    EXPECT_EQ(Diagnose(locked, TuOpenAccess::Read, EACCES).cause, TuCauseOpenDenied);

    MakeFile("open.tif");
    const Diagnosis diagnosis = Diagnose(TuFileName("open.tif"), TuOpenAccess::ReadWrite, EACCES);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenDenied);
    EXPECT_EQ(diagnosis.first, Wide(folder) + u"/open.tif");
    EXPECT_EQ(diagnosis.number, 13);
}

TEST_F(file_name_test, refused_access_to_a_path_that_cannot_be_examined) {
    const Diagnosis diagnosis = Diagnose(TuFileName("nosuch/a.tif"), TuOpenAccess::Read, EACCES);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenDenied);
}

TEST_F(file_name_test, existing_file_and_other_error_numbers) {
    MakeFile("a.tif");
    const TuFileName name("a.tif");
    Diagnosis diagnosis = Diagnose(name, TuOpenAccess::ReadWrite, EEXIST);
    EXPECT_EQ(diagnosis.cause, TuCauseCreateFileExists);
    EXPECT_EQ(diagnosis.number, 17);
    diagnosis = Diagnose(name, TuOpenAccess::Read, EIO);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenFailedUnexplained);
    EXPECT_EQ(diagnosis.first, Wide(folder) + u"/a.tif");
    EXPECT_EQ(diagnosis.number, EIO);
    EXPECT_EQ(Diagnose(name, TuOpenAccess::Read, ENFILE).cause, TuCauseOpenFailedUnexplained);
}

TEST_F(file_name_test, existing_file_reported_missing_names_its_folder) {
    MakeFile("a.tif");
    const Diagnosis diagnosis = Diagnose(TuFileName("a.tif"), TuOpenAccess::Read, ENOENT);
    EXPECT_EQ(diagnosis.cause, TuCauseOpenDirectoryMissing);
    EXPECT_EQ(diagnosis.second, Wide(folder));
}

// Directory parts of 255 to 257 units are beyond the limit of a path part, in paths that are
// not beyond the limit of a path: the diagnosis must not split them to name what is missing.
TEST_F(file_name_test, long_directory_parts_are_diagnosed_whole) {
    MakeFile("a.tif");
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    const auto message = [](const TuFileName& name) {
        const auto error = Raised([&] { name.RaiseOpenFailure(TuOpenAccess::Read, ENOENT); });
        return error ? Text(error->Message()) : Text(u"no error raised");
    };
    const Text root = Wide(folder);
    for (std::size_t length = 255; length <= 257; ++length) {
        SCOPED_TRACE("directory part of " + std::to_string(length) + " units");
        // The last folder fills the directory part up to length units after "<root>/<first>/".
        const auto directory = [&](const std::string& first) {
            return folder + "/" + first + "/" +
                   std::string(length - folder.size() - first.size() - 2, 'd');
        };

        const TuFileName missing((directory("old") + "/x").c_str());
        EXPECT_EQ(message(missing), u"Attempt to open file named '" + Kept(missing.GetPath()) +
                                        u"' failed. Directory named 'old' does not exist, or "
                                        u"permission to access it has been denied.[2]");

        const TuFileName throughFile((directory("a.tif") + "/x").c_str());
        EXPECT_EQ(message(throughFile), u"Attempt to open file named '" +
                                            Kept(throughFile.GetPath()) +
                                            u"' failed; path component 'a.tif' is as file, not "
                                            u"a directory. (Code: 2)");

        const TuFileName throughPipe((directory("pipe") + "/x").c_str());
        EXPECT_EQ(message(throughPipe), u"Attempt to open file named '" +
                                            Kept(throughPipe.GetPath()) +
                                            u"' failed; path component 'pipe' is not a "
                                            u"directory. (Code: 2)");

        // The folder exists and only the file is missing: the folder is named whole.
        const std::string holder = directory("new");
        ASSERT_EQ(holder.size(), length);
        fs::create_directories(holder);
        const TuFileName absent((holder + "/x").c_str());
        EXPECT_EQ(message(absent), u"File named 'x.' does not exist in the '" + Kept(Wide(holder)) +
                                       u"' directory, open failed. (Code: 2)");
        // The file is there after all, yet the open said it was missing: its folder is named.
        MakeFile(holder.substr(folder.size() + 1) + "/x");
        EXPECT_EQ(message(absent), u"Attempt to open file named '" + Kept(absent.GetPath()) +
                                       u"' failed. Directory named '" + Kept(Wide(holder)) +
                                       u"' does not exist, or permission to access it has been "
                                       u"denied.[2]");
        fs::remove_all(folder + "/new");
    }
}

TEST_F(file_name_test, diagnosis_leaves_the_name_unchanged) {
    const TuFileName name("maps/a.tif");
    const char* narrow = name.GetNarrow();
    Diagnose(name, TuOpenAccess::Read, ENOENT);
    EXPECT_EQ(Text(name.GetPath()), Wide(folder) + u"/maps/a.tif");
    EXPECT_EQ(std::string(narrow), folder + "/maps/a.tif"); // still valid
}
