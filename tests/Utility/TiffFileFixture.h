// The fixture of the tests of TuTiffFile on files built byte by byte: a temporary folder, a
// built file saved into it, the file opened (or its opening's failure), and its referencing.
#pragma once

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "TiffBuilder.h"
#include "TiffTestSupport.h"
#include "uTiffFile.h"

class TiffFileFixture : public ::testing::Test {
protected:
    std::string Save(TiffBuilder& tiff, const std::string& name = "a.tif") {
        std::string path = folder / name;
        WriteFile(path, tiff.Bytes());
        return path;
    }
    static std::unique_ptr<TuTiffFile> Open(const std::string& path, int mode = ModeExamine) {
        return std::make_unique<TuTiffFile>(TuFileName(path.c_str()), mode);
    }
    Raised OpenFails(const std::string& path, int mode = ModeExamine) {
        return RaisedBy([&] { Open(path, mode); });
    }
    // The file holds exactly these referencing values, bit for bit.
    void ExpectReads(const std::string& path, const double (&scale)[3], const double (&tie)[6]) {
        auto file = Open(path);
        double readScale[3];
        double readTie[6];
        ASSERT_EQ(file->ReadDoubles(TiffTagModelPixelScale, readScale, 3, 0), 3);
        ASSERT_EQ(file->ReadDoubles(TiffTagModelTiepoint, readTie, 6, 0), 6);
        // Bit for bit, so -0.0 is not 0.0. NOLINTBEGIN(bugprone-suspicious-memory-comparison)
        EXPECT_EQ(std::memcmp(readScale, scale, sizeof readScale), 0);
        EXPECT_EQ(std::memcmp(readTie, tie, sizeof readTie), 0);
        // NOLINTEND(bugprone-suspicious-memory-comparison)
    }

    TempFolder folder;
};
