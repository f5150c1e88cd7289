#include "WorldFileName.h"

#include <optional>
#include <string>
#include <vector>

#include "uError.h"

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

namespace {

std::u16string InCase(std::u16string text, bool upper) {
    for (char16_t& c : text) {
        if (upper && c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        } else if (!upper && c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    return text;
}

// The first of the names GDAL looks for that exists.
template <class Exists>
std::optional<TuFileName> FirstExisting(const TuFileName& tiffName, Exists exists) {
    char16_t extension[TuPartSize];
    tiffName.GetExtension(extension);
    struct Candidate {
        std::u16string extension;
        bool mayBeTooLong; // longer than the TIFF's own extension
    };
    const Candidate candidates[] = {
        {u"tfw", false},
        {extension[0] != 0 ? extension + std::u16string(u"w") : u"", true},
        {u"wld", false}};
    for (const Candidate& candidate : candidates) {
        if (candidate.extension.empty()) {
            continue;
        }
        std::vector<std::u16string> texts = {InCase(candidate.extension, false)};
        if (InCase(candidate.extension, true) != texts[0]) {
            texts.push_back(InCase(candidate.extension, true));
        }
        for (const std::u16string& text : texts) {
            TuFileName name(tiffName);
            try {
                name.SetExtension(text.c_str());
            } catch (const TuError&) {
                if (!candidate.mayBeTooLong) {
                    throw;
                }
                break;
            }
            if (exists(name)) {
                return name;
            }
        }
    }
    return std::nullopt;
}

} // namespace

TuFileName FindWorldFileName(const TuFileName& tiffName) {
    TuFileAccessAnswers answers;
    return FindWorldFileName(tiffName, answers);
}

TuFileName FindWorldFileName(const TuFileName& tiffName, TuFileAccessAnswers& answers) {
    const auto found = FirstExisting(tiffName, [&answers](const TuFileName& name) {
        answers = TuFileAccessAll(name.GetPath());
        return answers.exists;
    });
    return found ? *found : WorldFileNameFor(tiffName, answers);
}

} // namespace kestrel
