#include "NameList.h"

namespace kestrel::cli {

NameList::NameList(std::istream& stream, char separator) : stream(stream), separator(separator) {}

bool NameList::Next(std::string& name) {
    while (std::getline(stream, name, separator)) {
        if (separator == '\n' && !name.empty() && name.back() == '\r') {
            name.pop_back();
        }
        if (!name.empty()) {
            return true;
        }
    }
    return false;
}

} // namespace kestrel::cli
