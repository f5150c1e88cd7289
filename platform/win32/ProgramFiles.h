// Where the program is and what lies beside it: the guide and the licence ship in the same
// folder as kestrel.exe, and the program's file name is its title.
#pragma once

#include <string>

namespace kestrel::win32 {

// The full path of the running program.
std::wstring ProgramPath();
// Its folder, without a trailing separator.
std::wstring ProgramFolder();
// The program file's name without its folder and extension: the caption of the dialog's own
// message boxes.
std::wstring ApplicationTitle();
// A file of the given name in the program's folder when it exists there as a file, or an empty
// text.
std::wstring FileBesideProgram(const std::wstring& name);

// The parts of a path, for the functions above (either separator, / or \).
std::wstring FolderOf(const std::wstring& path);
std::wstring TitleOf(const std::wstring& path);

} // namespace kestrel::win32
