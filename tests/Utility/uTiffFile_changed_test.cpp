// A TIFF that another program changes while Kestrel holds it open: the update must find out
// before it writes a byte, write nothing, and say so. The other programs are GDAL's tools
// and the shell's cp and mv, as a user would run them; single changes (a byte of a directory
// or of the header, the length, the time, the file under the name) are made by hand to show
// that each alone is noticed.
#include "uTiffFile.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "GdalTools.h"
#include "StoreReferencing.h"
#include "TiffBuilder.h"
#include "TiffTestSupport.h"
#include "uCauses.h"

namespace {

const double scale[3] = {2, 2, 0};
const double tie[6] = {0, 0, 0, 100, 200, 0};

// The update the dialog makes once the user has pressed Update; what it raised.
Raised StoreReferencingIn(std::unique_ptr<TuTiffFile> file) {
    return RaisedBy([&] { StoreReferencing(*file, scale, tie); });
}

std::string ChangedMessage(const std::string& path) {
    return "The Tiff file named " + path +
           " was changed by another program since it was examined; the update was not made.  "
           "Examine the file again before updating it.";
}

struct timespec ModifiedTime(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_mtim;
}

void SetModifiedTime(const std::string& path, const struct timespec& time) {
    const struct timespec times[2] = {time, time};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Overwrites bytes of a file in place through a descriptor of its own.
void Poke(const std::string& path, std::uint64_t offset, const std::vector<unsigned char>& bytes) {
    const int descriptor = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(::pwrite(descriptor, bytes.data(), bytes.size(), static_cast<off_t>(offset)),
              static_cast<ssize_t>(bytes.size()));
    ::close(descriptor);
}

class tiff_changed_test : public ::testing::Test {
protected:
    std::string Create(const std::string& name, const std::string& options) {
        std::string path = folder / name;
        int status = 0;
        const std::string output = RunTool(
            "gdal_create -q -of GTiff -bands 1 -ot Byte " + options + " " + Quoted(path), &status);
        EXPECT_EQ(status, 0) << output;
        return path;
    }
    std::string Plain(const std::string& name) { return Create(name, "-outsize 4 3"); }
    std::string Georeferenced(const std::string& name) {
        return Create(name, "-outsize 4 3 -a_ullr 100 500 108 494");
    }
    std::string Tiled(const std::string& name) {
        return Create(name, "-outsize 512 512 -co TILED=YES -burn 7 "
                            "-a_ullr 500000 4000512 500512 4000000");
    }
    // Examined as the dialog examines it: for update where it may be written.
    static std::unique_ptr<TuTiffFile> Examine(const std::string& path) {
        auto file = std::make_unique<TuTiffFile>(TuFileName(path.c_str()), UpdateIfPermitted);
        EXPECT_TRUE(file->IsWritable());
        return file;
    }
    void Shell(const std::string& command) {
        int status = 0;
        const std::string output =
            RunTool("cd " + Quoted(folder.Path()) + " && " + command, &status);
        ASSERT_EQ(status, 0) << command << ": " << output;
    }

    TempFolder folder;
};

ino_t Inode(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_ino;
}

TEST_F(tiff_changed_test, a_file_rewritten_in_place_is_left_as_the_other_program_wrote_it) {
    REQUIRE_TOOLS("gdal_create", "gdalinfo");
    // Without tags the first write is that of the added values; with them, the commit's.
    for (bool tagged : {false, true}) {
        SCOPED_TRACE(tagged ? "tagged" : "untagged");
        const std::string path = tagged ? Georeferenced("t.tif") : Plain("t.tif");
        const std::string other = Tiled("other.tif");
        const ino_t inode = Inode(path);
        auto file = Examine(path);
        Shell("cp other.tif t.tif");
        ASSERT_EQ(Inode(path), inode) << "cp wrote into the same file";
        const Raised raised = StoreReferencingIn(std::move(file));
        EXPECT_EQ(raised.cause, TuCauseTiffChangedSinceExamined);
        EXPECT_EQ(raised.message, ChangedMessage(path));
        EXPECT_TRUE(ReadFile(path) == ReadFile(other)) << "not as cp left it";
        const std::string info = RunTool("gdalinfo -checksum " + Quoted(path));
        EXPECT_NE(info.find("Checksum="), std::string::npos) << info;
        EXPECT_EQ(Complaints(info), "");
    }
}

TEST_F(tiff_changed_test, overviews_appended_by_gdaladdo_stay) {
    REQUIRE_TOOLS("gdal_create", "gdaladdo", "gdalinfo");
    const std::string path = Create("t.tif", "-outsize 64 48");
    auto file = Examine(path);
    Shell("gdaladdo -q t.tif 2 4");
    const std::vector<unsigned char> withOverviews = ReadFile(path);
    const Raised raised = StoreReferencingIn(std::move(file));
    EXPECT_EQ(raised.message, ChangedMessage(path));
    EXPECT_TRUE(ReadFile(path) == withOverviews) << "not as gdaladdo left it";
    const std::string info = GdalInfo(path);
    EXPECT_EQ(OverviewCount(info), 2);
    EXPECT_EQ(Complaints(info), "");
}

TEST_F(tiff_changed_test, a_file_put_in_its_place_by_rename_is_not_written_nor_the_old_one) {
    REQUIRE_TOOLS("gdal_create");
    const std::string path = Plain("t.tif");
    const std::vector<unsigned char> old = ReadFile(path);
    // A second name keeps the old file, so that what it holds afterwards can be read.
    ASSERT_EQ(::link(path.c_str(), (folder / "old.tif").c_str()), 0);
    auto file = Examine(path);
    const std::vector<unsigned char> replacement = ReadFile(Georeferenced("new.tif"));
    Shell("mv new.tif t.tif");
    const Raised raised = StoreReferencingIn(std::move(file));
    EXPECT_EQ(raised.message, ChangedMessage(path));
    EXPECT_EQ(ReadFile(path), replacement);
    EXPECT_EQ(ReadFile(folder / "old.tif"), old);
}

// A file with two directories, each noticed when its bytes change; classic and BigTIFF.
class tiff_changed_part_test : public tiff_changed_test,
                               public ::testing::WithParamInterface<TiffBuilder::Layout> {
protected:
    void SetUp() override {
        TiffBuilder tiff(false, GetParam());
        layout = tiff;
        second = tiff.AppendDirectory({tiff.InlineShorts(256, 3, {2})});
        tiff.SetFirstIfd(tiff.AppendDirectory({tiff.InlineShorts(256, 3, {1})}, second));
        tiff.Pad(100, 0x5A); // image data
        path = folder / "t.tif";
        WriteFile(path, tiff.Bytes());
        file = Examine(path);
        time = ModifiedTime(path);
    }
    // After the change the time of the last modification is put back as it was, so that the
    // change is noticed by what is checked besides that time.
    void ExpectNoticed(const std::string& what) {
        SetModifiedTime(path, time);
        const std::vector<unsigned char> changed = ReadFile(path);
        const Raised raised = StoreReferencingIn(std::move(file));
        EXPECT_EQ(raised.message, ChangedMessage(path)) << what;
        EXPECT_EQ(ReadFile(path), changed) << what;
    }

    TiffBuilder layout{false}; // the file as built, for the widths of its structures
    std::uint32_t second = 0;
    std::string path;
    std::unique_ptr<TuTiffFile> file;
    struct timespec time {};
};

TEST_P(tiff_changed_part_test, a_byte_of_a_later_directory) {
    // Its one entry's value.
    Poke(path, second + layout.CountSize() + 4 + layout.FieldSize(), {3});
    ExpectNoticed("second directory");
}

TEST_P(tiff_changed_part_test, a_byte_of_the_header) {
    Poke(path, 3, {1});
    ExpectNoticed("header");
}

TEST_P(tiff_changed_part_test, the_last_byte_of_the_header) {
    // The high byte of the first directory's offset: 0 in either layout.
    Poke(path, layout.HeaderSize() - 1, {1});
    ExpectNoticed("header");
}

TEST_P(tiff_changed_part_test, the_length) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(::write(descriptor, "x", 1), 1);
    ::close(descriptor);
    ExpectNoticed("length");
}

TEST_P(tiff_changed_part_test, the_time_of_the_last_modification) {
    time.tv_sec -= 10;
    ExpectNoticed("time");
}

TEST_P(tiff_changed_part_test, the_same_bytes_and_time_in_another_file) {
    Shell("cp -p t.tif copy.tif && mv copy.tif t.tif");
    ExpectNoticed("another file");
}

TEST_P(tiff_changed_part_test, a_file_removed) {
    ASSERT_EQ(::unlink(path.c_str()), 0);
    const Raised raised = StoreReferencingIn(std::move(file));
    EXPECT_EQ(raised.message, ChangedMessage(path));
    EXPECT_FALSE(std::filesystem::exists(path));
}

INSTANTIATE_TEST_SUITE_P(
    layouts, tiff_changed_part_test,
    ::testing::Values(TiffBuilder::Layout::Classic, TiffBuilder::Layout::BigTiff),
    [](const ::testing::TestParamInfo<TiffBuilder::Layout>& info) {
        return std::string(info.param == TiffBuilder::Layout::BigTiff ? "bigtiff" : "classic");
    });

} // namespace
