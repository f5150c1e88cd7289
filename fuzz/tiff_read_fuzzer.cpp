// Opens arbitrary bytes as a TIFF for examination and reads every tag as doubles: from its
// first element, and across its last element. Every failure must be a catalogue error, and
// the file must come out byte for byte as it went in.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "ScratchFile.h"
#include "uError.h"
#include "uTiffFile.h"

namespace {

void ReadEveryTag(TuTiffFile& file) {
    for (std::size_t i = 0; i < file.TagCount(); ++i) {
        const TuTiffTag tag = file.TagAt(i);
        const int wanted = static_cast<int>(std::min<std::uint64_t>(tag.count, 16));
        // Exactly as many slots as asked for, so that a write past them is caught.
        std::vector<double> values(static_cast<std::size_t>(wanted) + 1);
        try {
            const int read = file.ReadDoubles(tag.tag, values.data(), wanted, 0);
            if (read != TagNotFound && (read < 0 || read > wanted)) {
                FuzzFinding("ReadDoubles answered more values than asked for");
            }
        } catch (const TuError&) {
        }
        if (tag.count > 0 && tag.count - 1 <= 0x7FFFFFFF) {
            try {
                file.ReadDoubles(tag.tag, values.data(), 2, static_cast<int>(tag.count - 1));
            } catch (const TuError&) {
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = WriteScratchFile("input.tif", data, size);
    try {
        const TuFileName name(path.c_str());
        auto file = std::make_unique<TuTiffFile>(name, ModeExamine);
        ReadEveryTag(*file);
        if (file->FindTag(TiffTagModelPixelScale + 65536) !=
            file->FindTag(TiffTagModelPixelScale)) {
            FuzzFinding("FindTag looked at more than the low 16 bits of the tag id");
        }
    } catch (const TuError&) {
    }
    const std::vector<std::uint8_t> after = ReadWholeFile(path);
    if (after.size() != size || !std::equal(after.begin(), after.end(), data)) {
        FuzzFinding("examining a file changed it");
    }
    return 0;
}
