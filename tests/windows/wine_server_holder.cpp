// Keeps the Wine server of a prefix running while a test run lasts: it waits, doing nothing,
// as long as the file it is given exists (at most an hour, should nobody remove it). Wine
// stops its server the moment the last program of the prefix ends; a program started just
// then can meet a server that is going away. One program that stays keeps the server up for
// every test of the run. It tells that it runs by making a file of the same name and ".up".
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        return 2;
    }
    const std::wstring up = std::wstring(argv[1]) + L".up";
    const HANDLE file = ::CreateFileW(up.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    ::CloseHandle(file);
    constexpr int Checks = 36000; // an hour, every tenth of a second
    for (int check = 0; check < Checks; ++check) {
        if (::GetFileAttributesW(argv[1]) == INVALID_FILE_ATTRIBUTES) {
            return 0;
        }
        ::Sleep(100);
    }
    return 0;
}
