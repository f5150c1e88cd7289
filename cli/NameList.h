// NameList: the file names of --files-from, read one at a time from a stream, so that a list of
// any length takes no more memory than its longest name.
#pragma once

#include <istream>
#include <string>

namespace kestrel::cli {

class NameList {
public:
    // separator: '\n' for one name per line, '\0' for the names that find -print0 writes.
    NameList(std::istream& stream, char separator);

    // The next name; false at the end of the list or when the stream failed (Failed() then
    // tells which). Empty names (blank lines, two separators in a row) are passed over. A line
    // that ends in a carriage return, as lists written on Windows do, ends before it; -0 keeps
    // every byte of a name.
    [[nodiscard]] bool Next(std::string& name);
    // Whether reading stopped on an error of the stream rather than at its end.
    bool Failed() const { return stream.bad(); }

private:
    std::istream& stream;
    char separator;
};

} // namespace kestrel::cli
