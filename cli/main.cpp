// kestrel-cli: the command-line companion of Kestrel, for scripts and batches.
#include <iostream>

#include "RunCli.h"
#include "uOsConsole.h"

int main(int argc, char** argv) {
    // Nothing here writes through C's stdio: the streams may keep their own buffers.
    std::ios::sync_with_stdio(false);
    return kestrel::cli::RunCli(argc, argv, TuStandardOutput(), TuStandardError());
}
