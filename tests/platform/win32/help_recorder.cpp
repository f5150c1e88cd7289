// Stands in for the web browser in the test of the Help button: registered as the program that
// opens .html files, it writes the page it was given, and a line end, into help-opened.txt in
// the folder named by KESTREL_UI_SHOTS.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    const wchar_t* folder = _wgetenv(L"KESTREL_UI_SHOTS");
    if (folder == nullptr || argc < 2) {
        return 2;
    }
    const std::wstring record = std::wstring(folder) + L"\\help-opened.txt";
    const std::wstring page = std::wstring(argv[1]) + L"\n";
    char bytes[4096];
    const int size = WideCharToMultiByte(CP_UTF8, 0, page.c_str(), static_cast<int>(page.size()),
                                         bytes, sizeof bytes, nullptr, nullptr);
    const HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    return 0;
}
