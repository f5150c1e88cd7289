// TuWorldFile: reading and writing the six lines of a world file.
//
// Numbers are written and read as the "C" locale has them whatever locale the program runs
// under, so that a file written here reads the same everywhere: with to_chars and from_chars,
// which know no locale, and strtod in a "C" locale scope for the rare forms they do not read.
// Writing never truncates the old file: the new lines go to a temporary file beside it, which
// replaces the old one only once it is complete and on disk.
#include "uWorldFile.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "uCauses.h"
#include "uError.h"
#include "uFileStream.h"
#include "uFileTest.h"
#include "uOsAtomicReplace.h"
#include "uOsLocale.h"
#include "uText.h"

namespace {

constexpr int LineBufferSize = 256;        // a line, its line end and the terminator
constexpr std::size_t FieldWidth = 24;     // a value's line, as "%24.16g" pads it
constexpr std::size_t ReadBlockSize = 512; // bytes read at a time; more than a world file has

bool SameBits(double a, double b) {
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison): bit for bit, so -0.0 is not 0.0
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The value with digits significant digits as printf's "%.*g" writes it in the "C" locale
// (to_chars with a precision is defined so); empty when it does not read back exactly.
std::string Digits(double value, int digits) {
    char number[48];
    const auto written =
        std::to_chars(number, number + sizeof number, value, std::chars_format::general, digits);
    double back = 0;
    const auto read = std::from_chars(number, written.ptr, back);
    if (read.ec != std::errc() || !SameBits(back, value)) {
        return {};
    }
    return std::string(number, written.ptr);
}

// Appends one value as its line, as "%24.16g" writes it: 16 significant digits, or 17 when 16
// would not read back as exactly the same double, right-aligned in 24 characters; then the
// host's line end, as a text file of the host has it.
void AppendValueLine(std::string& text, double value) {
    std::string number = Digits(value, 16);
    if (number.empty()) {
        char written[48];
        const auto end =
            std::to_chars(written, written + sizeof written, value, std::chars_format::general, 17);
        number.assign(written, end.ptr);
    }
    if (number.size() < FieldWidth) {
        text.append(FieldWidth - number.size(), ' ');
    }
    text += number;
    text += TuHostLineEnd;
}

// A line's number as strtod reads it in the "C" locale. The plain decimal form that world
// files hold is converted with from_chars, several times faster and just as exactly rounded;
// every other form (hexadecimal, infinity, not-a-number, a value out of range) is left to
// strtod itself.
double ReadNumber(const char* line) {
    const char* text = line;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        ++text; // the "C" locale's white space
    }
    const bool negative = *text == '-';
    if (*text == '+' || *text == '-') {
        ++text;
    }
    const bool decimal = (*text >= '0' && *text <= '9') || *text == '.';
    if (decimal && !(text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))) {
        double value = 0;
        const auto result = std::from_chars(text, text + std::strlen(text), value);
        if (result.ec == std::errc()) {
            return negative ? -value : value;
        }
    }
    const TuCLocaleScope numbers;
    return std::strtod(line, nullptr);
}

// Reads the lines of a world file through a block of bytes that is refilled only once it is
// used up. A world file is a few hundred bytes at most, so it arrives with one read.
class LineReader {
public:
    explicit LineReader(TuFileStream& file) : file(file) {}

    // Reads one line as text mode on the world file's home system reads it: at most 255 bytes
    // through the line end, a CR LF pair standing for one LF. False at the end of the file.
    bool ReadLine(char (&line)[LineBufferSize]) {
        int length = 0;
        while (length < LineBufferSize - 1) {
            int c = Next();
            if (c == EOF) {
                break;
            }
            if (c == '\r' && Peek() == '\n') {
                c = Next();
            }
            line[length++] = static_cast<char>(c);
            if (c == '\n') {
                break;
            }
        }
        line[length] = '\0';
        return length > 0;
    }

private:
    int Peek() {
        if (position == filled && !Refill()) {
            return EOF;
        }
        return block[position];
    }
    int Next() {
        const int c = Peek();
        if (c != EOF) {
            ++position;
        }
        return c;
    }
    // Reads the next block with one call; false at the end of the file or after a failed
    // read, which end the lines for good. A block that comes short is the end of the file, so
    // a world file (a few hundred bytes at most) takes one call whatever its length.
    bool Refill() {
        if (ended) {
            return false;
        }
        filled = file.ReadSomeAt(offset, block, sizeof block);
        position = 0;
        offset += filled;
        ended = filled < sizeof block;
        return filled > 0;
    }

    TuFileStream& file;
    unsigned char block[ReadBlockSize] = {};
    std::size_t position = 0; // the next byte of block to take
    std::size_t filled = 0;   // the bytes of block that hold the file's
    std::uint64_t offset = 0; // where the next block starts in the file
    bool ended = false;
};

// Raises the open-failure diagnosis for an error number taken before any cleanup ran.
[[noreturn]] void RaiseCreateFailure(const TuFileName& name, int error) {
    name.RaiseOpenFailure(TuOpenAccess::Write, error);
}

[[noreturn]] void RaiseWriteFailure(const TuFileName& name, int error) {
    throw TuException(TuCauseFileWriteFailedDiskFull, 2, name.GetPath(), error);
}

} // namespace

TuWorldFile::TuWorldFile() : parameters{1.0, 0.0, 0.0, -1.0, 0.0, 0.0} {}

TuWorldFile::~TuWorldFile() = default;

TuXY TuWorldFile::XVector() const {
    return {parameters[0], parameters[1]};
}
TuXY TuWorldFile::YVector() const {
    return {parameters[2], parameters[3]};
}
TuXY TuWorldFile::ReferencePoint() const {
    return {parameters[4], parameters[5]};
}

void TuWorldFile::SetXVector(TuXY value) {
    parameters[0] = value.x;
    parameters[1] = value.y;
}

void TuWorldFile::SetYVector(TuXY value) {
    parameters[2] = value.x;
    parameters[3] = value.y;
}

void TuWorldFile::SetReferencePoint(TuXY value) {
    parameters[4] = value.x;
    parameters[5] = value.y;
}

void TuWorldFile::Read(const TuFileName& name) {
    TuFileStream file;
    if (file.OpenForReading(name.GetPath()) != TuOsNoError) {
        return;
    }
    LineReader lines(file);
    char line[LineBufferSize];
    for (double& parameter : parameters) {
        if (!lines.ReadLine(line)) {
            // A folder or a pipe in the file's place fails the very first read, which never
            // waits on it: it is left alone like a file that cannot be opened.
            if (file.Error() == TuOsIsAFolder || file.Error() == TuOsNotSeekable) {
                return;
            }
            throw TuException(TuCauseWorldFileNotUnderstood, 1, name.GetNarrow());
        }
        parameter = ReadNumber(line);
    }
}

void TuWorldFile::Write(const TuFileName& name, bool overwrite) {
    if (!overwrite && TuFileAccess(name.GetPath(), TuAccessExists) == 0) {
        throw TuException(TuCauseCreateFileExists, 1, name.GetPath());
    }

    std::string text;
    for (double parameter : parameters) {
        AppendValueLine(text, parameter);
    }

    const TuReplaceResult replaced = TuReplaceFile(name.GetPath(), text.data(), text.size());
    switch (replaced.step) {
    case TuReplaceStep::Done:
        return;
    case TuReplaceStep::Placing:
        // Also a folder, pipe or device in the world file's place, which is left as it is and
        // reported as the refused access that names it as no file, as the TIFF module reports
        // one.
        RaiseCreateFailure(name, replaced.error);
    case TuReplaceStep::Writing:
        RaiseWriteFailure(name, replaced.error);
    }
}
