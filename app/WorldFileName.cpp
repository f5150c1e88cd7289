#include "WorldFileName.h"

#include "uFileTest.h"

namespace kestrel {

namespace {

bool Exists(const TuFileName& name) {
    return TuFileAccess(name.GetPath(), 0) == 0;
}

// Whether the extension has letters and all of them are upper case.
bool IsUpperCaseExtension(const TuFileName& name) {
    char16_t extension[TuPartSize];
    name.GetExtension(extension);
    bool upper = false;
    for (const char16_t* c = extension; *c != 0; ++c) {
        if (*c >= u'a' && *c <= u'z') {
            return false;
        }
        upper = upper || (*c >= u'A' && *c <= u'Z');
    }
    return upper;
}

} // namespace

TuFileName WorldFileNameFor(const TuFileName& tiffName) {
    TuFileName lower(tiffName);
    lower.SetExtension("tfw");
    if (Exists(lower)) {
        return lower;
    }
    TuFileName upper(tiffName);
    upper.SetExtension("TFW");
    if (Exists(upper) || IsUpperCaseExtension(tiffName)) {
        return upper;
    }
    return lower;
}

} // namespace kestrel
