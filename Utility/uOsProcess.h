// The operating-system seam for facts about the running process and its host, as wide text.
// Each function fills its text and gives true, or gives false and leaves the text as it was
// when the host cannot tell. One implementation per host (uOsProcessPosix.cpp, ...).
#pragma once

#include <string>

// The full path of the running program's executable file.
[[nodiscard]] bool TuOsProgramPath(std::u16string& path);
// The process's current folder, as an absolute path.
[[nodiscard]] bool TuOsCurrentFolder(std::u16string& folder);
// The name of the user the process runs as (its effective user).
[[nodiscard]] bool TuOsUserName(std::u16string& name);
// The host's name on the network.
[[nodiscard]] bool TuOsHostName(std::u16string& name);
