// The seam's terminal test on POSIX: isatty on the stream's descriptor.
#include "uOsTerminal.h"

#include <unistd.h>

bool TuOsIsTerminal(TuStandardStream stream) {
    switch (stream) {
    case TuStandardStream::Input:
        return ::isatty(STDIN_FILENO) == 1;
    case TuStandardStream::Output:
        return ::isatty(STDOUT_FILENO) == 1;
    case TuStandardStream::Error:
        return ::isatty(STDERR_FILENO) == 1;
    }
    return false;
}
