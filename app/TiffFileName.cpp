#include "TiffFileName.h"

#include "uFileTest.h"

namespace kestrel {
namespace {

bool Exists(const TuFileName& name) {
    return TuFileAccess(name.GetPath(), TuAccessExists) == 0;
}

} // namespace

TuFileName TypedTiffName(const char* typed, bool& exists) {
    TuFileName name(typed);
    char16_t extension[TuPartSize];
    name.GetExtension(extension);
    const bool withoutExtension = extension[0] == 0;
    if (withoutExtension) {
        name.SetExtension("tif");
    }
    exists = Exists(name);
    if (withoutExtension && !exists) {
        TuFileName upper(name);
        upper.SetExtension("TIF");
        if (Exists(upper)) {
            exists = true;
            return upper;
        }
    }
    return name;
}

} // namespace kestrel
