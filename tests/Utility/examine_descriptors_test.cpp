// Examining a sheet opens its TIFF and its world file and closes both again, whatever the
// examination finds: kestrel-cli examines whole folders in one process, and a descriptor left
// open for each file would run it out of descriptors. (How many system calls an examination
// makes on the two files is measured by `make bench`.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "RobustnessFiles.h"
#include "uCauses.h"
#include "uError.h"
#include "uTiffFile.h"
#include "uWorldFile.h"

using namespace robustness;
namespace fs = std::filesystem;

namespace {

// The descriptors of this process that are open on path.
int DescriptorsOn(const std::string& path) {
    const fs::path wanted = fs::canonical(path);
    int count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        count += fs::read_symlink(entry.path(), error) == wanted;
    }
    return count;
}

const std::string WorldLines = "10.0000000000\n0.0000000000\n0.0000000000\n-10.0000000000\n"
                               "500005.0000000000\n4000475.0000000000\n";

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// The cause an examination step raised, or 0.
template <class Step> int CauseOf(Step step) {
    try {
        step();
    } catch (const TuError& error) {
        return error.Cause();
    }
    return 0;
}

class examine_descriptors_test : public testing::Test {
protected:
    void SetUp() override {
        WriteFile(tiff, ReadFile(std::string(KESTREL_TEST_DATA) + "/geotiff_le_striped.tif"));
        WriteFile(world, Text(WorldLines));
    }

    ScratchFolder folder;
    const std::string tiff = folder.File("sheet.tif");
    const std::string world = folder.File("sheet.tfw");
};

} // namespace

TEST_F(examine_descriptors_test, a_sheet_and_its_world_file_are_closed_once_examined) {
    // As the dialog opens a TIFF (for update where permitted), and read-only; and a TIFF
    // without any write permission bit, which is opened for reading in the end.
    for (const fs::perms mode : {fs::perms(0644), fs::perms(0444)}) {
        fs::permissions(tiff, mode);
        for (const bool mayUpdate : {true, false}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(mode)) + (mayUpdate ? " update" : ""));
            {
                const auto file =
                    mayUpdate
                        ? std::make_unique<TuTiffFile>(TuFileName(tiff.c_str()), UpdateIfPermitted)
                        : std::make_unique<TuTiffFile>(TuFileName(tiff.c_str()), ModeExamine);
                double scale[3];
                EXPECT_EQ(file->ReadDoubles(TiffTagModelPixelScale, scale, 3, 0), 3);
                EXPECT_EQ(DescriptorsOn(tiff), 1) << "the TIFF stays open while it is examined";
                TuWorldFile parameters;
                parameters.Read(TuFileName(world.c_str()));
                EXPECT_EQ(parameters.ReferencePoint().x, 500005.0);
                EXPECT_EQ(DescriptorsOn(world), 0);
            }
            EXPECT_EQ(DescriptorsOn(tiff), 0);
        }
    }
}

TEST_F(examine_descriptors_test, a_failed_examination_leaves_nothing_open) {
    const Bytes whole = ReadFile(tiff);
    const struct {
        Bytes content;
        int cause;
    } failures[] = {
        {Text("II*"), TuCauseFileReadFailed}, // shorter than the header
        {Bytes{'M', 'M', 0, 43, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16},
         TuCauseTiffNotUnderstood},                                           // BigTIFF
        {Bytes(whole.begin(), whole.begin() + 20), TuCauseTiffNotUnderstood}, // cut short
    };
    for (const auto& failure : failures) {
        WriteFile(tiff, failure.content);
        for (const bool mayUpdate : {true, false}) {
            SCOPED_TRACE(std::to_string(failure.content.size()) + (mayUpdate ? " update" : ""));
            EXPECT_EQ(CauseOf([&] {
                          if (mayUpdate) {
                              TuTiffFile file(TuFileName(tiff.c_str()), UpdateIfPermitted);
                          } else {
                              TuTiffFile file(TuFileName(tiff.c_str()), ModeExamine);
                          }
                      }),
                      failure.cause);
            EXPECT_EQ(DescriptorsOn(tiff), 0);
        }
    }
    // A world file of three lines.
    WriteFile(world, Text("10\n0\n0\n"));
    TuWorldFile parameters;
    EXPECT_EQ(CauseOf([&] { parameters.Read(TuFileName(world.c_str())); }),
              TuCauseWorldFileNotUnderstood);
    EXPECT_EQ(DescriptorsOn(world), 0);
}
