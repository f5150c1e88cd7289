// The seam's standard streams on POSIX: the C++ library's own, since a terminal takes the
// narrow bytes as they are.
#include "uOsConsole.h"

#include <iostream>

std::istream& TuStandardInput() {
    return std::cin;
}

std::ostream& TuStandardOutput() {
    return std::cout;
}

std::ostream& TuStandardError() {
    return std::cerr;
}
