// kestrel-cli on Windows: the arguments arrive as UTF-16 and go on as the host's narrow text,
// UTF-8 (uText.h), so that names in any script reach the commands unchanged; the output goes
// through the standard streams of the operating-system seam (uOsConsole.h).
#include <string>
#include <vector>

#include "RunCli.h"
#include "uOsConsole.h"
#include "uText.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        const auto* wide = reinterpret_cast<const char16_t*>(argv[i]);
        std::string narrow(TuNarrowUnitBytes * TuWideLength(wide) + 1, '\0');
        narrow.resize(static_cast<std::size_t>(TuNarrow(narrow.data(), wide) - narrow.data()));
        arguments.push_back(std::move(narrow));
    }
    std::vector<char*> pointers;
    for (std::string& argument : arguments) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    return kestrel::cli::RunCli(argc, pointers.data(), TuStandardOutput(), TuStandardError());
}
