// Helpers shared by the TIFF tests: a temporary folder, whole-file reads and writes, and
// the cause (and first argument) of an error raised by a call.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TemporaryFolder.h"
#include "uError.h"
#include "uText.h"
#include "uValue.h"

// A scratch folder, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder() : path(MakeTemporaryFolder("ktiff")) {}
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return path + TestPathSeparator + name; }
    const std::string& Path() const { return path; }

private:
    std::string path;
};

inline void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

// What a call raised: cause 0 when it raised nothing.
struct Raised {
    int cause = 0;
    std::u16string firstText; // the first argument when it is wide text
    int secondNumber = 0;     // the second argument when it is a number
    std::string message;
};

template <class Call> Raised RaisedBy(Call&& call) {
    try {
        call();
    } catch (const TuError& error) {
        Raised raised;
        raised.cause = error.Cause();
        if (error.Argument(1).Kind() == tvWideText) {
            raised.firstText = error.Argument(1).WideText();
        }
        const int kind = error.Argument(2).Kind();
        if (kind == tvInt || kind == tvLong) {
            raised.secondNumber = error.Argument(2).AsSigned();
        } else if (kind == tvUnsigned) {
            raised.secondNumber = static_cast<int>(error.Argument(2).AsUnsigned());
        }
        raised.message = error.what();
        return raised;
    }
    return Raised{};
}

// The wide form of a narrow path, as the library converts it.
inline std::u16string Wide(const std::string& text) {
    std::u16string wide(text.size() + 1, u'\0');
    wide.resize(static_cast<std::size_t>(TuWiden(wide.data(), text.c_str()) - wide.data()));
    return wide;
}
