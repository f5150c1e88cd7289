#include "InputFailure.h"

#include <utility>

#include "uCauses.h"
#include "uError.h"
#include "uFileName.h"
#include "uOsError.h"

namespace kestrel::cli {
namespace {

// The seam's number for an error of the standard library, which reports the host's own.
int SeamErrorNumber(std::error_code error) {
    constexpr std::pair<std::errc, int> numbers[] = {
        {std::errc::permission_denied, TuOsAccessDenied},
        {std::errc::no_such_file_or_directory, TuOsNoSuchFile},
        {std::errc::not_a_directory, TuOsNotAFolder},
        {std::errc::is_a_directory, TuOsIsAFolder},
        {std::errc::too_many_files_open, TuOsTooManyOpenFiles},
        {std::errc::io_error, TuOsInputOutput},
    };
    for (const auto& [code, number] : numbers) {
        if (error == code) {
            return number;
        }
    }
    return error.value();
}

// The error that raise(path) raises for the absolute form of name, or the one that making it
// absolute raised (a name too long for a path).
template <class Raise> InputFailure Describe(const std::string& name, Raise raise) {
    InputFailure failure{name, {}};
    try {
        const TuFileName path(name.c_str());
        failure.name = path.GetNarrow();
        raise(path);
    } catch (const TuError& raised) {
        failure.message = raised.ToMessage();
    }
    return failure;
}

} // namespace

InputFailure DescribeInputFailure(const std::string& name, std::error_code error) {
    return Describe(name, [error](const TuFileName& path) {
        const int number = SeamErrorNumber(error);
        // The open-failure diagnosis takes a refused folder for a folder opened as a file.
        if (number == TuOsAccessDenied) {
            throw TuException(TuCauseOpenReadDenied, 2, path.GetPath(), number);
        }
        path.RaiseOpenFailure(TuOpenAccess::Read, number);
    });
}

InputFailure DescribeReadFailure(const std::string& name) {
    if (name == "-") {
        const TuException raised(TuCauseFileReadFailed, 2,
                                 static_cast<const char16_t*>(u"standard input"), TuOsInputOutput);
        return {"standard input", raised.ToMessage()};
    }
    return Describe(name, [](const TuFileName& path) {
        throw TuException(TuCauseFileReadFailed, 2, path.GetPath(), TuOsInputOutput);
    });
}

} // namespace kestrel::cli
