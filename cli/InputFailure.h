// The catalogue's message for an input of kestrel-cli's own that could not be read: a folder
// given as FILE (or met on the way down), or the list of --files-from.
#pragma once

#include <string>
#include <system_error>

#include "uMessage.h"

namespace kestrel::cli {

struct InputFailure {
    std::string name; // absolute, as the message names it; as given when it cannot be made so
    TuMessage message;
};

// The error of reading `name` (UTF-8, as given), as the catalogue words a failed open for
// reading: a refused folder or file is one whose reading was denied; a missing one names the
// part of its path that is missing.
InputFailure DescribeInputFailure(const std::string& name, std::error_code error);
// The error of a list that failed while it was read: `name` as given, "-" for standard input.
InputFailure DescribeReadFailure(const std::string& name);

} // namespace kestrel::cli
