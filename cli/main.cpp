// kestrel-cli: the command-line companion of Kestrel, for scripts and batches.
#include <iostream>

#include "RunCli.h"
#include "uOsTerminal.h"

int main(int argc, char** argv) {
    // Nothing here writes through C's stdio: the streams may keep their own buffers.
    std::ios::sync_with_stdio(false);
    // Reading a name of --files-from - would otherwise flush standard output each time.
    std::cin.tie(nullptr);
    return kestrel::cli::RunCli(argc, argv,
                                {std::cin, std::cout, std::cerr,
                                 TuOsIsTerminal(TuStandardStream::Output),
                                 TuOsIsTerminal(TuStandardStream::Error)});
}
