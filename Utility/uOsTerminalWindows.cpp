// The seam's terminal test on Windows: a stream is a terminal when its handle is a character
// device that is a console. The NUL device and a serial port are character devices too, but
// they have no console mode, so they are not terminals (as isatty would wrongly say of NUL).
#include "uOsTerminal.h"

#include "uOsWindows.h"

namespace {

DWORD StandardHandleId(TuStandardStream stream) {
    switch (stream) {
    case TuStandardStream::Input:
        return STD_INPUT_HANDLE;
    case TuStandardStream::Output:
        return STD_OUTPUT_HANDLE;
    case TuStandardStream::Error:
        return STD_ERROR_HANDLE;
    }
    return STD_ERROR_HANDLE;
}

} // namespace

bool TuOsIsTerminal(TuStandardStream stream) {
    const HANDLE handle = ::GetStdHandle(StandardHandleId(stream));
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (::GetFileType(handle) != FILE_TYPE_CHAR) {
        return false;
    }
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode) != 0;
}
