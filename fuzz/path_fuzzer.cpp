// Runs the path functions on arbitrary text in the Windows style and the POSIX style, and
// the file name object on the same text as narrow text. Every buffer is exactly as large as
// the functions are told, every failure must be one of the path causes of the catalogue, and
// the results must keep their promises: absolute, within the limits, and stable (the absolute
// form of an absolute path, or of a composed one, is that path).
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ScratchFile.h"
#include "uCauses.h"
#include "uError.h"
#include "uFileName.h"
#include "uPath.h"

namespace {

using Buffer = std::unique_ptr<char16_t[]>;

Buffer NewBuffer(std::size_t units) {
    Buffer buffer(new char16_t[units]);
    std::fill_n(buffer.get(), units, u'\xFFFF');
    return buffer;
}

std::size_t Length(const char16_t* text, std::size_t capacity, const char* what) {
    for (std::size_t i = 0; i < capacity; ++i) {
        if (text[i] == 0) {
            return i;
        }
    }
    FuzzFinding(what);
}

bool Equal(const char16_t* a, const char16_t* b) {
    while (*a != 0 && *a == *b) {
        ++a, ++b;
    }
    return *a == *b;
}

void ExpectCause(const TuError& error, std::initializer_list<int> causes) {
    for (int cause : causes) {
        if (error.Cause() == cause) {
            return;
        }
    }
    FuzzFinding(error.what());
}

bool IsAbsolute(const char16_t* path, TuPathStyle style) {
    if (style == TuPathStyle::Posix) {
        return path[0] == u'/';
    }
    return (path[0] != 0 && path[1] == u':' && path[2] == u'\\') ||
           (path[0] == u'\\' && path[1] == u'\\');
}

// The absolute form of text, checked; null when the text is refused.
Buffer Absolute(const char16_t* text, TuPathStyle style, const char16_t* current) {
    Buffer result = NewBuffer(TuPathSize);
    try {
        MakeAbsolute(result.get(), text, TuPathSize, style, current);
    } catch (const TuError& error) {
        ExpectCause(error, {TuCausePathTooLongWhenAbsolute});
        return nullptr;
    }
    Length(result.get(), TuPathSize, "MakeAbsolute left its result unterminated");
    if (!IsAbsolute(result.get(), style)) {
        FuzzFinding("MakeAbsolute gave a path that is not absolute");
    }
    return result;
}

struct Parts {
    Buffer drive = NewBuffer(TuPartSize);
    Buffer directory = NewBuffer(TuPartSize);
    Buffer name = NewBuffer(TuPartSize);
    Buffer extension = NewBuffer(TuPartSize);
};

bool Split(const char16_t* path, Parts& parts, TuPathStyle style) {
    try {
        SplitPath(path, parts.drive.get(), parts.directory.get(), parts.name.get(),
                  parts.extension.get(), style);
    } catch (const TuError& error) {
        ExpectCause(error, {TuCauseExtensionTooLong, TuCauseNameTooLong, TuCauseDirectoryTooLong,
                            TuCauseDriveTooLong, TuCauseShareFormInvalid});
        return false;
    }
    for (const Buffer* part : {&parts.drive, &parts.directory, &parts.name, &parts.extension}) {
        if (Length(part->get(), TuPartSize, "SplitPath left a part unterminated") > 254) {
            FuzzFinding("SplitPath produced a part over 254 units");
        }
    }
    return true;
}

Buffer Compose(const Parts& parts, TuPathStyle style, const char16_t* current) {
    Buffer result = NewBuffer(TuPathSize);
    try {
        ComposePath(result.get(), parts.drive.get(), parts.directory.get(), parts.name.get(),
                    parts.extension.get(), style, current);
    } catch (const TuError& error) {
        ExpectCause(error, {TuCausePathTooLong, TuCausePathTooLongWhenAbsolute});
        return nullptr;
    }
    Length(result.get(), TuPathSize, "ComposePath left its result unterminated");
    return result;
}

void CheckStyle(const char16_t* text, TuPathStyle style, const char16_t* current) {
    // Splitting any text, absolute or not, stays within its limits.
    Parts raw;
    Split(text, raw, style);

    const Buffer absolute = Absolute(text, style, current);
    if (!absolute) {
        return;
    }
    const Buffer again = Absolute(absolute.get(), style, current);
    if (!again || !Equal(again.get(), absolute.get())) {
        FuzzFinding("the absolute form of an absolute path differs from it");
    }
    Parts parts;
    if (!Split(absolute.get(), parts, style)) {
        return;
    }
    const Buffer composed = Compose(parts, style, current);
    if (!composed) {
        return;
    }
    // A composed path is an absolute form already. (Splitting and composing again need not
    // give it back: a name made only of dots is dropped when composing, as with ".profile".)
    if (!IsAbsolute(composed.get(), style)) {
        FuzzFinding("ComposePath gave a path that is not absolute");
    }
    const Buffer recomposed = Absolute(composed.get(), style, current);
    if (!recomposed || !Equal(recomposed.get(), composed.get())) {
        FuzzFinding("the absolute form of a composed path differs from it");
    }
}

// The file name object on the same bytes as narrow text (the host's style, real cwd).
void CheckFileName(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(std::strlen(text.c_str()));
    try {
        TuFileName name(text.c_str());
        TuFileName copy(name);
        copy.SetExtension("tfw");
        char16_t part[TuPartSize];
        char narrowPart[TuPartSize];
        name.GetDrive(part);
        name.GetDirectory(part);
        name.GetExtension(part);
        name.GetExtension(narrowPart);
        name.GetNameAndExtension(part);
        if (std::strlen(copy.GetNarrow()) >= TuPathSize) {
            FuzzFinding("a file name's narrow form is longer than a path may be");
        }
        name = copy;
        copy.SetExtension(u"");
    } catch (const TuError& error) {
        ExpectCause(error,
                    {TuCauseInvalidMultibyteText, TuCausePathTooLong,
                     TuCausePathTooLongWhenAbsolute, TuCauseExtensionTooLong, TuCauseNameTooLong,
                     TuCauseDirectoryTooLong, TuCauseDriveTooLong, TuCauseShareFormInvalid});
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::vector<char16_t> text;
    for (std::size_t i = 1; i + 1 < size; i += 2) {
        const char16_t unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (unit == 0) {
            break;
        }
        text.push_back(unit);
    }
    text.push_back(0);
    if (data[0] & 1) {
        CheckStyle(text.data(), TuPathStyle::Posix, u"/home/user/maps");
    } else {
        CheckStyle(text.data(), TuPathStyle::Windows, u"C:\\work\\maps");
    }
    if (data[0] & 2) {
        CheckFileName(data + 1, size - 1);
    }
    return 0;
}
