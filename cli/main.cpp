// kestrel-cli: the command-line companion of Kestrel, for scripts and batches.
#include <iostream>

#include "RunCli.h"

int main(int argc, char** argv) {
    return kestrel::cli::RunCli(argc, argv, std::cout, std::cerr);
}
