// Opens arbitrary bytes as a TIFF for update and stores the referencing as the dialog does:
// adds ModelPixelScale and ModelTiepoint when missing, writes 3 and 6 doubles, commits.
// Then checks what a user relies on:
// - a file that could not be examined cannot be opened for update either, and is unchanged;
// - a file that could be examined can still be examined afterwards, whatever happened;
// - after a commit the file reads back exactly the values written, keeps every other entry and
//   its layout (classic or BigTIFF), and no byte of the original file changed except the
//   header and the two tags' own values.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "ScratchFile.h"
#include "uError.h"
#include "uTiffFile.h"

namespace {

const double pixelScale[3] = {10.5, 10.25, 0.0};
const double tiepoint[6] = {0.0, 0.0, 0.0, 500000.125, 4650000.5, 0.0};

using EntryKey = std::tuple<unsigned, unsigned, std::uint64_t, std::uint64_t, std::uint64_t>;

// Every entry except the first occurrence of each referencing tag, which the update may change.
std::vector<EntryKey> OtherEntries(const TuTiffFile& file) {
    std::vector<EntryKey> keys;
    const std::size_t scale = static_cast<std::size_t>(file.FindTag(TiffTagModelPixelScale));
    const std::size_t tie = static_cast<std::size_t>(file.FindTag(TiffTagModelTiepoint));
    for (std::size_t i = 0; i < file.TagCount(); ++i) {
        if (i == scale || i == tie) {
            continue;
        }
        const TuTiffTag& tag = file.TagAt(i);
        std::uint64_t inlineBits;
        std::memcpy(&inlineBits, tag.inlineValue, 8);
        keys.emplace_back(tag.tag, tag.type, tag.count, tag.offset, inlineBits);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

struct Range {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};

// The bytes that writing in place into a tag's values may change.
Range ValueRange(const TuTiffFile& file, int tagId) {
    const int index = file.FindTag(tagId);
    if (index == TagNotFound) {
        return {};
    }
    const TuTiffTag& tag = file.TagAt(static_cast<std::size_t>(index));
    if (tag.offset == TiffInlineOffset || tag.offset > ~tag.size) {
        return {}; // inline, or said to lie where no file reaches
    }
    return {tag.offset, tag.offset + tag.size};
}

bool SameBits(const double* a, const double* b, int n) {
    return std::memcmp(a, b, sizeof(double) * static_cast<std::size_t>(n)) == 0;
}

void CheckReadBack(const TuFileName& name) {
    double scale[3] = {};
    double tie[6] = {};
    try {
        TuTiffFile file(name, ModeExamine);
        if (file.ReadDoubles(TiffTagModelPixelScale, scale, 3, 0) != 3 ||
            file.ReadDoubles(TiffTagModelTiepoint, tie, 6, 0) != 6) {
            FuzzFinding("a committed file lacks the referencing written into it");
        }
    } catch (const TuError& error) {
        FuzzFinding(error.what());
    }
    if (!SameBits(scale, pixelScale, 3) || !SameBits(tie, tiepoint, 6)) {
        FuzzFinding("a committed file reads back other values than those written");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = WriteScratchFile("input.tif", data, size);
    const TuFileName name(path.c_str());

    // What the file looks like before the update.
    std::vector<EntryKey> before;
    Range scaleRange;
    Range tieRange;
    bool examinable = true;
    bool bigTiff = false;
    try {
        const TuTiffFile file(name, ModeExamine);
        before = OtherEntries(file);
        bigTiff = file.IsBigTiff();
        scaleRange = ValueRange(file, TiffTagModelPixelScale);
        tieRange = ValueRange(file, TiffTagModelTiepoint);
    } catch (const TuError&) {
        examinable = false;
    }

    bool committed = false;
    std::size_t added = 0;
    try {
        auto file = std::make_unique<TuTiffFile>(name, ModeUpdate);
        if (!examinable) {
            FuzzFinding("a file refused for examination opened for update");
        }
        if (file->FindTag(TiffTagModelPixelScale) == TagNotFound) {
            file->AddTag(TuTiffTag(TiffTagModelPixelScale, TiffTypeDouble, 3));
            ++added;
        }
        if (file->FindTag(TiffTagModelTiepoint) == TagNotFound) {
            file->AddTag(TuTiffTag(TiffTagModelTiepoint, TiffTypeDouble, 6));
            ++added;
        }
        file->WriteDoubles(TiffTagModelPixelScale, pixelScale, 3, 0);
        file->WriteDoubles(TiffTagModelTiepoint, tiepoint, 6, 0);
        file->commitOnClose = true;
        file->CommitAndClose();
        committed = true;
    } catch (const TuError&) {
    }

    const std::vector<std::uint8_t> after = ReadWholeFile(path);
    if (!examinable) {
        if (after.size() != size || !std::equal(after.begin(), after.end(), data)) {
            FuzzFinding("a file refused at open was changed");
        }
        return 0;
    }
    // Beyond the header, the original bytes change only inside the two tags' own values.
    if (after.size() < size) {
        FuzzFinding("an update shortened the file");
    }
    const std::size_t headerSize = bigTiff ? 16 : 8;
    for (std::size_t i = headerSize; i < size; ++i) {
        const bool inScale = i >= scaleRange.begin && i < scaleRange.end;
        const bool inTie = i >= tieRange.begin && i < tieRange.end;
        if (after[i] != data[i] && !inScale && !inTie) {
            FuzzFinding("an update changed a byte outside the header and the tags' values");
        }
    }
    if (committed) {
        CheckReadBack(name);
    }
    try {
        const TuTiffFile file(name, ModeExamine);
        const std::vector<EntryKey> now = OtherEntries(file);
        if (now != before) {
            FuzzFinding("an update lost or changed an entry it had no business with");
        }
        if (file.IsBigTiff() != bigTiff) {
            FuzzFinding("an update changed the file's layout");
        }
        if (committed && added > 0 && file.FindTag(TiffTagModelPixelScale) == TagNotFound) {
            FuzzFinding("an added tag is missing after the commit");
        }
    } catch (const TuError& error) {
        FuzzFinding("a file that could be examined no longer opens after an update");
    }
    return 0;
}
