// The seam's standard streams on Windows. A console gets UTF-16 through WriteConsoleW, which
// shows every script whatever the console's code page; anything else (a file, a pipe) gets the
// UTF-8 bytes through WriteFile, untouched by the C library's text mode, so that LF stays LF.
#include "uOsConsole.h"

#include <string>

#include "uOsWindows.h"
#include "uText.h"

namespace {

constexpr std::size_t BufferBytes = 64 * 1024;
// WriteConsoleW is given at most this many units at a time: older consoles refuse large writes.
constexpr std::size_t ConsoleChunkUnits = 8192;

// Bytes at the end of text that begin a UTF-8 character which the next write will complete;
// they wait for it, so that the console never shows half a character as two replacements.
std::size_t IncompleteTail(const char* text, std::size_t size) {
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(text[size - back]);
        if ((byte & 0xC0) == 0x80) {
            continue; // a continuation byte: its lead is further back
        }
        const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? back : 0;
    }
    return 0;
}

class StandardBuffer : public std::streambuf {
public:
    explicit StandardBuffer(DWORD which) : handle(::GetStdHandle(which)) {
        DWORD mode = 0;
        console =
            handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
        setp(buffer, buffer + BufferBytes);
    }
    StandardBuffer(const StandardBuffer&) = delete;
    StandardBuffer& operator=(const StandardBuffer&) = delete;
    ~StandardBuffer() override { Flush(true); }

protected:
    int_type overflow(int_type c) override {
        if (!Flush(false)) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override { return Flush(false) ? 0 : -1; }

private:
    // Writes what is buffered; a console's last incomplete character waits unless final.
    bool Flush(bool final) {
        const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
        const std::size_t kept = console && !final ? IncompleteTail(pbase(), size) : 0;
        const bool written =
            console ? WriteConsole(pbase(), size - kept) : WriteBytes(pbase(), size - kept);
        std::char_traits<char>::move(buffer, pbase() + (size - kept), kept);
        setp(buffer, buffer + BufferBytes);
        pbump(static_cast<int>(kept));
        return written;
    }

    bool WriteBytes(const char* bytes, std::size_t size) const {
        while (size > 0) {
            DWORD written = 0;
            if (!::WriteFile(handle, bytes, static_cast<DWORD>(size), &written, nullptr) ||
                written == 0) {
                return false;
            }
            bytes += written;
            size -= written;
        }
        return true;
    }

    bool WriteConsole(const char* bytes, std::size_t size) const {
        // Widened piece by piece between zero bytes, which would end a piece early; a zero
        // byte stays a zero unit.
        std::u16string wide;
        for (std::size_t start = 0; start < size;) {
            std::size_t end = start;
            while (end < size && bytes[end] != '\0') {
                ++end;
            }
            const std::string piece(bytes + start, end - start);
            std::u16string units(piece.size() + 1, u'\0');
            units.resize(
                static_cast<std::size_t>(TuWiden(units.data(), piece.c_str()) - units.data()));
            wide += units;
            if (end < size) {
                wide += u'\0';
            }
            start = end + 1;
        }
        for (std::size_t start = 0; start < wide.size();) {
            std::size_t count = wide.size() - start;
            if (count > ConsoleChunkUnits) {
                count = ConsoleChunkUnits;
                if (wide[start + count - 1] >= 0xD800 && wide[start + count - 1] < 0xDC00) {
                    --count; // a pair goes whole
                }
            }
            DWORD written = 0;
            if (!::WriteConsoleW(handle, wide.data() + start, static_cast<DWORD>(count), &written,
                                 nullptr) ||
                written == 0) {
                return false;
            }
            start += written;
        }
        return true;
    }

    HANDLE handle;
    bool console = false;
    char buffer[BufferBytes];
};

// Standard input. A file or a pipe is read as bytes through ReadFile, so that a list of names
// keeps every byte (the C library's text mode would drop CRs and stop at a Ctrl+Z byte). A
// console is read as UTF-16 through ReadConsoleW and narrowed, so that a name typed in any
// script arrives as the same text it would be as an argument; a line that starts with Ctrl+Z
// ends the input there, as it ends any console program's input on Windows.
class InputBuffer : public std::streambuf {
public:
    InputBuffer() : handle(::GetStdHandle(STD_INPUT_HANDLE)) {
        DWORD mode = 0;
        console =
            handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
        setg(buffer, buffer, buffer);
    }
    InputBuffer(const InputBuffer&) = delete;
    InputBuffer& operator=(const InputBuffer&) = delete;

protected:
    int_type underflow() override {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        const std::size_t size = ended ? 0 : console ? ReadConsole() : ReadBytes();
        setg(buffer, buffer, buffer + size);
        return size == 0 ? traits_type::eof() : traits_type::to_int_type(*gptr());
    }

private:
    std::size_t ReadBytes() {
        DWORD read = 0;
        if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
            !::ReadFile(handle, buffer, static_cast<DWORD>(sizeof buffer), &read, nullptr)) {
            return 0; // a pipe whose writer has closed it ends here too
        }
        return read;
    }

    std::size_t ReadConsole() {
        char16_t units[ConsoleUnits + 2];
        DWORD read = 0;
        if (!::ReadConsoleW(handle, units, ConsoleUnits, &read, nullptr) || read == 0) {
            return 0;
        }
        if (units[0] == u'\x1a') {
            ended = true;
            return 0;
        }
        // A pair cut by the end of the read is kept whole: its second unit is read now.
        if (read == ConsoleUnits && units[read - 1] >= 0xD800 && units[read - 1] < 0xDC00) {
            DWORD more = 0;
            if (::ReadConsoleW(handle, units + read, 1, &more, nullptr) && more == 1) {
                ++read;
            }
        }
        units[read] = u'\0';
        return static_cast<std::size_t>(TuNarrow(buffer, units) - buffer);
    }

    static constexpr DWORD ConsoleUnits = 1024;
    HANDLE handle;
    bool console = false;
    bool ended = false;
    // Room for a read of the console (a pair's second unit included), narrowed.
    char buffer[TuNarrowUnitBytes * (ConsoleUnits + 1) + 1];
};

// A stream that hands every output operation on at once, as std::cerr does.
class UnbufferedStream : public std::ostream {
public:
    UnbufferedStream(std::streambuf* buffer, std::ostream* tied) : std::ostream(buffer) {
        setf(std::ios::unitbuf);
        tie(tied);
    }
};

} // namespace

std::istream& TuStandardInput() {
    static InputBuffer buffer;
    static std::istream stream(&buffer);
    return stream;
}

std::ostream& TuStandardOutput() {
    static StandardBuffer buffer(STD_OUTPUT_HANDLE);
    static std::ostream stream(&buffer);
    return stream;
}

std::ostream& TuStandardError() {
    static StandardBuffer buffer(STD_ERROR_HANDLE);
    // Tied to standard output, as std::cerr is to std::cout: what was written there first
    // shows first, on a console that both reach.
    static UnbufferedStream stream(&buffer, &TuStandardOutput());
    return stream;
}
