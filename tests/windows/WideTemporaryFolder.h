// A new, empty folder under the user's temporary folder, removed with everything in it when
// the test ends. Its name holds Greek and CJK letters, so every path built on it exercises the
// wide file calls.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

class WideTemporaryFolder {
public:
    WideTemporaryFolder() {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, base);
        const std::wstring stem = std::wstring(base) + L"kestrel-\u03a9\u5730\u56f3-" +
                                  std::to_wstring(GetCurrentProcessId());
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            const std::wstring candidate = stem + L"-" + std::to_wstring(attempt);
            if (CreateDirectoryW(candidate.c_str(), nullptr)) {
                path = candidate;
                return;
            }
        }
    }
    ~WideTemporaryFolder() {
        if (!path.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(std::filesystem::path(path), ignored);
        }
    }
    WideTemporaryFolder(const WideTemporaryFolder&) = delete;
    WideTemporaryFolder& operator=(const WideTemporaryFolder&) = delete;

    // Empty when no folder could be made.
    const std::wstring& Path() const { return path; }
    std::wstring operator/(const std::wstring& name) const { return path + L"\\" + name; }

private:
    std::wstring path;
};
