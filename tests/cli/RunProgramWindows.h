// Runs a program on Windows as a script would: arguments as UTF-16 on its command line, its
// standard output and error read through pipes, its exit status.
#pragma once

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

struct ProgramRun {
    DWORD status = static_cast<DWORD>(-1);
    std::string out; // the bytes the program wrote, as they arrived
    std::string err;
};

// One argument quoted as the C runtime's command-line parser reads it back.
inline std::wstring QuotedArgument(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t unit : argument) {
        if (unit == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(unit == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += unit;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

inline std::string ReadAll(HANDLE pipe) {
    std::string bytes;
    char block[4096];
    DWORD got = 0;
    while (ReadFile(pipe, block, sizeof block, &got, nullptr) && got > 0) {
        bytes.append(block, got);
    }
    return bytes;
}

// Runs program with arguments in folder; status stays -1 when it could not be started.
inline ProgramRun RunProgram(const std::wstring& program,
                             const std::vector<std::wstring>& arguments,
                             const std::wstring& folder) {
    ProgramRun run;
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherited, 0) ||
        !CreatePipe(&errRead, &errWrite, &inherited, 0)) {
        return run;
    }
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    std::wstring commandLine = QuotedArgument(program);
    for (const std::wstring& argument : arguments) {
        commandLine += L" " + QuotedArgument(argument);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, folder.c_str(), &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        std::thread errors([&] { run.err = ReadAll(errRead); });
        run.out = ReadAll(outRead);
        errors.join();
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
}
