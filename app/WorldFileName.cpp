#include "WorldFileName.h"

namespace kestrel {

namespace {

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

template <class Exists> TuFileName ChooseName(const TuFileName& tiffName, Exists exists) {
    TuFileName lower(tiffName);
    lower.SetExtension("tfw");
    if (exists(lower)) {
        return lower;
    }
    TuFileName upper(tiffName);
    upper.SetExtension("TFW");
    if (exists(upper) || IsUpperCaseExtension(tiffName)) {
        return upper;
    }
    return lower;
}

} // namespace

TuFileName WorldFileNameFor(const TuFileName& tiffName) {
    return ChooseName(tiffName, [](const TuFileName& name) {
        return TuFileAccess(name.GetPath(), TuAccessExists) == 0;
    });
}

TuFileName WorldFileNameFor(const TuFileName& tiffName, TuFileAccessAnswers& answers) {
    // The answers of the last name tested are those of the name chosen: a name that is
    // chosen without existing was tested last or, as "tfw" after a missing "TFW", answers
    // no to everything just as it did.
    return ChooseName(tiffName, [&answers](const TuFileName& name) {
        answers = TuFileAccessAll(name.GetPath());
        return answers.exists;
    });
}

} // namespace kestrel
