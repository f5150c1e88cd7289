#include "ProgramFiles.h"

#include "Win32.h"

namespace kestrel::win32 {

std::wstring ProgramPath() {
    // A path longer than the buffer comes back cut and with ERROR_INSUFFICIENT_BUFFER: grow it.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

std::wstring TitleOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    std::wstring name = separator == std::wstring::npos ? path : path.substr(separator + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) {
        name.resize(dot);
    }
    return name;
}

std::wstring ProgramFolder() {
    return FolderOf(ProgramPath());
}

std::wstring ApplicationTitle() {
    const std::wstring title = TitleOf(ProgramPath());
    return title.empty() ? std::wstring(L"kestrel") : title;
}

std::wstring FileBesideProgram(const std::wstring& name) {
    const std::wstring folder = ProgramFolder();
    if (folder.empty()) {
        return std::wstring();
    }
    const std::wstring path = folder + L"\\" + name;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::wstring();
    }
    return path;
}

} // namespace kestrel::win32
