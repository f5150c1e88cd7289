// Opens arbitrary bytes as a TIFF and does with its georeferencing what the dialog does: reads
// the first directory's pixel scale, tie points, transformation matrix and GeoKeyDirectory,
// tells what the fields show, then stores a pixel scale and tie point, commits, and stores a
// transformation matrix, commits. Then checks what a user relies on:
// - every failure is a catalogue error, and reading changes nothing;
// - a matrix kept behind the fields is the file's own;
// - an update that was not committed leaves every byte of the file as it was;
// - after a commit the file opens, its first directory holds exactly the one georeferencing
//   written (and no other), the Z values it had, and the raster type it had. (A directory whose
//   values were said to lie beyond the end of the file has none before, and may read the bytes
//   an update appends there afterwards: only a raster type that was read must stay.)
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "ScratchFile.h"
#include "TiffGeoreferencing.h"
#include "uError.h"
#include "uTiffFile.h"

namespace {

using kestrel::GeoTiffTags;
using kestrel::TiffView;
using kestrel::TransformationMatrix;

const kestrel::TiffReferencing written{10.5, 10.25, 0, 0, 500000.125, 4650000.5};
const TransformationMatrix matrix{2, 0.25, 0, 1000, 0.5, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1};

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The tags as an examination reads them; none when the file cannot be examined.
bool Examine(const TuFileName& name, GeoTiffTags& tags) {
    try {
        TuTiffFile file(name, ModeExamine);
        tags = kestrel::ReadGeoTiffTags(file);
        return true;
    } catch (const TuError&) {
        return false;
    }
}

// Runs one store and commits it; true when the commit was made. A store that fails leaves the
// file's bytes as they were.
template <class Store> bool Update(const TuFileName& name, const std::string& path, Store store) {
    const std::vector<std::uint8_t> before = ReadWholeFile(path);
    bool stored = false;
    try {
        auto file = std::make_unique<TuTiffFile>(name, ModeUpdate);
        store(*file);
        stored = true;
        file->commitOnClose = true;
        file->CommitAndClose();
        return true;
    } catch (const TuError&) {
    }
    const std::vector<std::uint8_t> after = ReadWholeFile(path);
    if (!stored && (after.size() < before.size() ||
                    !std::equal(before.begin(), before.end(), after.begin()))) {
        FuzzFinding("an update that failed before its commit changed the file");
    }
    return false;
}

void CheckTiePointStored(const GeoTiffTags& before, const GeoTiffTags& after) {
    if (after.pixelScale.size() != 3 || after.tiePoints.size() != 6 || !after.matrix.empty()) {
        FuzzFinding("a stored pixel scale and tie point are not the only georeferencing");
    }
    const double expected[9] = {written.xPixelScale,
                                written.yPixelScale,
                                before.pixelScale.size() == 3 ? before.pixelScale[2] : 0.0,
                                written.tiePixelX,
                                written.tiePixelY,
                                before.tiePoints.size() == 6 ? before.tiePoints[2] : 0.0,
                                written.tieWorldX,
                                written.tieWorldY,
                                before.tiePoints.size() == 6 ? before.tiePoints[5] : 0.0};
    for (int i = 0; i < 9; ++i) {
        const double value = i < 3 ? after.pixelScale[i] : after.tiePoints[i - 3];
        if (!SameBits(value, expected[i])) {
            FuzzFinding("a stored pixel scale or tie point reads back other values (or lost Z)");
        }
    }
}

void CheckMatrixStored(const GeoTiffTags& before, const GeoTiffTags& after) {
    if (after.matrix.size() != 16 || !after.pixelScale.empty() || after.TiePointValues() != 0) {
        FuzzFinding("a stored matrix is not the only georeferencing");
    }
    for (std::size_t i = 0; i < 16; ++i) {
        const bool placement = i == 0 || i == 1 || i == 3 || i == 4 || i == 5 || i == 7;
        const double expected =
            placement || before.matrix.size() != 16 ? matrix[i] : before.matrix[i];
        if (!SameBits(after.matrix[i], expected)) {
            FuzzFinding("a stored matrix reads back other values (or lost its Z terms)");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = WriteScratchFile("input.tif", data, size);
    const TuFileName name(path.c_str());

    GeoTiffTags original;
    if (!Examine(name, original)) {
        return 0;
    }
    const std::vector<std::uint8_t> read = ReadWholeFile(path);
    if (read.size() != size || !std::equal(read.begin(), read.end(), data)) {
        FuzzFinding("reading the georeferencing changed the file");
    }
    const TiffView view = kestrel::ViewOfTags(original);
    if (view.matrixBehind &&
        !std::equal(view.matrixBehind->begin(), view.matrixBehind->end(), original.matrix.begin(),
                    original.matrix.end(), SameBits)) {
        FuzzFinding("the matrix behind the fields is not the file's");
    }

    const bool replace = view.finding == kestrel::TiffFinding::ControlPoints;
    if (Update(name, path,
               [&](TuTiffFile& file) { kestrel::StoreTiePoint(file, written, replace); })) {
        GeoTiffTags stored;
        if (!Examine(name, stored)) {
            FuzzFinding("a file no longer opens after a pixel scale and tie point were stored");
        }
        CheckTiePointStored(original, stored);
        if (original.rasterType != TuRasterType::Unknown &&
            stored.rasterType != original.rasterType) {
            FuzzFinding("storing a tie point changed the raster type");
        }
    }

    GeoTiffTags beforeMatrix;
    if (!Examine(name, beforeMatrix)) {
        FuzzFinding("a file that could be examined no longer opens after an update");
    }
    if (Update(name, path, [](TuTiffFile& file) { kestrel::StoreMatrix(file, matrix); })) {
        GeoTiffTags stored;
        if (!Examine(name, stored)) {
            FuzzFinding("a file no longer opens after a matrix was stored");
        }
        CheckMatrixStored(beforeMatrix, stored);
        if (beforeMatrix.rasterType != TuRasterType::Unknown &&
            stored.rasterType != beforeMatrix.rasterType) {
            FuzzFinding("storing a matrix changed the raster type");
        }
    }
    return 0;
}
