#include "uFileName.h"

#include <string>

#include "uCauses.h"
#include "uError.h"
#include "uText.h"

namespace {

constexpr std::size_t NarrowExtensionSize = 266;

} // namespace

TuFileName::TuFileName() : path{} {}

TuFileName::TuFileName(const char* text) : path{} {
    // Bytes always convert; UTF-8 (Windows) refuses a malformed sequence rather than name
    // another file with U+FFFD in its place. The whole text is widened so that an over-long
    // one is reported as the user typed it.
    if (!TuIsNarrowValid(text)) {
        throw TuException(TuCauseInvalidMultibyteText, 1, text);
    }
    std::u16string wide(TuNarrowLength(text), u'\0');
    TuWiden(wide.data(), text);
    MakeAbsolute(path, wide.c_str(), TuPathSize, TuHostPathStyle);
}

TuFileName::TuFileName(const TuFileName& other) : path{} {
    TuWideCopy(path, other.path);
}

TuFileName& TuFileName::operator=(const TuFileName& other) {
    if (this != &other) {
        narrow.reset();
        TuWideCopy(path, other.path);
    }
    return *this;
}

TuFileName::~TuFileName() = default;

const char* TuFileName::GetNarrow() const {
    if (narrow == nullptr) {
        const std::size_t length = TuWideLength(path);
        narrow = std::make_unique_for_overwrite<char[]>(TuNarrowUnitBytes * length + 1);
        TuNarrowN(narrow.get(), path, length + 1);
    }
    return narrow.get();
}

void TuFileName::GetDrive(char16_t* part) const {
    SplitPath(path, part, nullptr, nullptr, nullptr, TuHostPathStyle);
}

void TuFileName::GetDirectory(char16_t* part) const {
    SplitPath(path, nullptr, part, nullptr, nullptr, TuHostPathStyle);
}

void TuFileName::GetExtension(char16_t* part) const {
    SplitPath(path, nullptr, nullptr, nullptr, part, TuHostPathStyle);
}

void TuFileName::GetExtension(char* part) const {
    char16_t wide[TuPartSize];
    GetExtension(wide);
    TuNarrowBytes(part, wide, TuPartSize);
}

void TuFileName::GetNameAndExtension(char16_t* part) const {
    char16_t name[TuPartSize];
    char16_t extension[TuPartSize];
    SplitPath(path, nullptr, nullptr, name, extension, TuHostPathStyle);
    char16_t* end = TuWideCopyN(part, name, TuPartSize);
    *end++ = u'.';
    TuWideCopyN(end, extension, TuPartSize - 1 - TuWideLength(name));
}

void TuFileName::SetExtension(const char16_t* extension) {
    // An extension that would not fit a part is refused rather than cut.
    if (TuWideLength(extension) >= TuPartSize - 1) {
        char16_t shown[TuPartSize];
        TuWideCopyN(shown, extension, TuPartSize);
        throw TuException(TuCauseExtensionTooLong, 1, static_cast<const char16_t*>(shown));
    }
    // The parts and the new path live in local buffers, so a failure leaves the path as it was.
    char16_t drive[TuPartSize];
    char16_t directory[TuPartSize];
    char16_t name[TuPartSize];
    char16_t oldExtension[TuPartSize];
    SplitPath(path, drive, directory, name, oldExtension, TuHostPathStyle);
    char16_t composed[TuPathSize];
    ComposePath(composed, drive, directory, name, extension, TuHostPathStyle);
    TuWideCopy(path, composed);
    narrow.reset();
}

void TuFileName::SetExtension(const char* extension) {
    char16_t wide[NarrowExtensionSize];
    TuWidenN(wide, extension, NarrowExtensionSize);
    SetExtension(wide);
}
