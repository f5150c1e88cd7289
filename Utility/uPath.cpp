#include "uPath.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "uCauses.h"
#include "uError.h"
#include "uOsProcess.h"
#include "uText.h"

namespace {

constexpr std::size_t CompositionSize = 2 * TuPathSize;

using Text = std::u16string;
using View = std::u16string_view;

char16_t Separator(TuPathStyle style) {
    return style == TuPathStyle::Windows ? u'\\' : u'/';
}

bool IsSeparator(char16_t unit, TuPathStyle style) {
    return unit == u'/' || (style == TuPathStyle::Windows && unit == u'\\');
}

// ---- Absolute form -------------------------------------------------------------------------

// An absolute path taken apart: the prefix that cannot be climbed out of ("C:",
// "\\srv\share", or empty for the POSIX root) and the directory names below it.
struct Rooted {
    Text prefix;
    std::vector<Text> components;
};

// Appends the components of a relative text, collapsing "." and "..". ".." never climbs
// above the root.
void AppendComponents(std::vector<Text>& components, View text, TuPathStyle style) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = start;
        while (end < text.size() && !IsSeparator(text[end], style)) {
            ++end;
        }
        const View component = text.substr(start, end - start);
        if (component == u"..") {
            if (!components.empty()) {
                components.pop_back();
            }
        } else if (!component.empty() && component != u".") {
            components.emplace_back(component);
        }
        start = end + 1;
    }
}

bool IsAsciiLetter(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
}

char16_t UpperAscii(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? unit - 32 : unit;
}

// Length of a Windows-style \\server\share prefix at the start of text (both separators
// accepted), or 0 when text does not start with two separators.
std::size_t SharePrefixLength(View text) {
    const auto windows = TuPathStyle::Windows;
    if (text.size() < 2 || !IsSeparator(text[0], windows) || !IsSeparator(text[1], windows)) {
        return 0;
    }
    std::size_t end = 2;
    while (end < text.size() && !IsSeparator(text[end], windows)) {
        ++end; // the server name
    }
    if (end < text.size()) {
        ++end;
        while (end < text.size() && !IsSeparator(text[end], windows)) {
            ++end; // the share name
        }
    }
    return end;
}

Text WindowsSlashes(View text) {
    Text result(text);
    for (char16_t& unit : result) {
        if (unit == u'/') {
            unit = u'\\';
        }
    }
    return result;
}

// Parses an absolute Windows-style text (drive root or share); false when it is not one.
bool ParseWindowsAbsolute(View text, Rooted& rooted) {
    if (const std::size_t share = SharePrefixLength(text)) {
        rooted.prefix = WindowsSlashes(text.substr(0, share));
        AppendComponents(rooted.components, text.substr(share), TuPathStyle::Windows);
        return true;
    }
    if (text.size() >= 3 && IsAsciiLetter(text[0]) && text[1] == u':' &&
        IsSeparator(text[2], TuPathStyle::Windows)) {
        rooted.prefix = Text(text.substr(0, 2));
        AppendComponents(rooted.components, text.substr(3), TuPathStyle::Windows);
        return true;
    }
    return false;
}

bool CurrentDirectory(const char16_t* given, Text& directory) {
    if (given != nullptr) {
        directory = given;
        return true;
    }
    return TuOsCurrentFolder(directory);
}

// Windows drops trailing dots and spaces from the last name of a path. A name made only of
// them disappears, and the name before it is then the last one and is trimmed in turn, so
// that the absolute form of an absolute form is that form itself.
void TrimLastComponent(std::vector<Text>& components) {
    while (!components.empty()) {
        Text& last = components.back();
        while (!last.empty() && (last.back() == u'.' || last.back() == u' ')) {
            last.pop_back();
        }
        if (!last.empty()) {
            return;
        }
        components.pop_back();
    }
}

bool ResolveWindows(View text, const char16_t* currentDirectory, Text& result) {
    Rooted rooted;
    const bool hasTrailingSeparator =
        !text.empty() && IsSeparator(text.back(), TuPathStyle::Windows);
    if (!ParseWindowsAbsolute(text, rooted)) {
        Text current;
        Rooted base;
        if (!CurrentDirectory(currentDirectory, current) || !ParseWindowsAbsolute(current, base)) {
            return false;
        }
        if (text.size() >= 2 && IsAsciiLetter(text[0]) && text[1] == u':') {
            // Drive-relative: against the current directory on its own drive, else the root.
            rooted.prefix = Text(text.substr(0, 2));
            if (base.prefix.size() == 2 && UpperAscii(base.prefix[0]) == UpperAscii(text[0])) {
                rooted.components = base.components;
            }
            AppendComponents(rooted.components, text.substr(2), TuPathStyle::Windows);
        } else if (!text.empty() && IsSeparator(text[0], TuPathStyle::Windows)) {
            rooted.prefix = base.prefix; // root-relative
            AppendComponents(rooted.components, text, TuPathStyle::Windows);
        } else {
            rooted = base;
            AppendComponents(rooted.components, text, TuPathStyle::Windows);
        }
    }
    TrimLastComponent(rooted.components);

    result = rooted.prefix;
    const bool isShare = rooted.prefix[0] == u'\\';
    if (!isShare || !rooted.components.empty()) {
        result += u'\\';
    }
    for (std::size_t i = 0; i < rooted.components.size(); ++i) {
        if (i > 0) {
            result += u'\\';
        }
        result += rooted.components[i];
    }
    if (hasTrailingSeparator && result.back() != u'\\') {
        result += u'\\';
    }
    return true;
}

// Whether a POSIX-style text is absolute and already its own absolute form: "/"-led, with no
// empty, "." or ".." name and no trailing separator (the root "/" itself excepted). Resolving
// such a text gives the text unchanged.
bool IsNormalPosixAbsolute(View text) {
    if (text.empty() || text[0] != u'/') {
        return false;
    }
    if (text.size() == 1) {
        return true; // the root
    }
    std::size_t start = 1;
    for (;;) {
        std::size_t end = text.find(u'/', start);
        if (end == View::npos) {
            end = text.size();
        }
        const View component = text.substr(start, end - start);
        if (component.empty() || component == u"." || component == u"..") {
            return false;
        }
        if (end == text.size()) {
            return true;
        }
        start = end + 1;
    }
}

bool ResolvePosix(View text, const char16_t* currentDirectory, Text& result) {
    std::vector<Text> components;
    if (text.empty() || text[0] != u'/') {
        Text current;
        if (!CurrentDirectory(currentDirectory, current) || current.empty() || current[0] != u'/') {
            return false;
        }
        AppendComponents(components, current, TuPathStyle::Posix);
    }
    AppendComponents(components, text, TuPathStyle::Posix);
    result.clear();
    for (const Text& component : components) {
        (result += u'/') += component;
    }
    if (result.empty()) {
        result.push_back(u'/'); // the root itself
    }
    return true;
}

// ---- Splitting -----------------------------------------------------------------------------

// A path taken apart, as views into it, before the parts are copied and checked.
struct PathParts {
    View drive, rest, name, extension; // rest: what the directory is made from
    bool shareInvalid = false;         // a \\server prefix without a share
};

// Cuts the extension off the end of rest: the text after the last "." of the last name.
// Dots in directory names never start one.
View CutExtension(View& rest, char16_t separator) {
    const std::size_t lastSeparator = rest.rfind(separator);
    const std::size_t nameStart = lastSeparator == View::npos ? 0 : lastSeparator + 1;
    const std::size_t dot = rest.rfind(u'.');
    if (dot == View::npos || dot < nameStart) {
        return {};
    }
    const View extension = rest.substr(dot + 1);
    rest = rest.substr(0, dot);
    return extension;
}

// Cuts the name off the end of rest, with the separator before it; a text without a
// separator has no name.
View CutName(View& rest, char16_t separator) {
    const std::size_t lastSeparator = rest.rfind(separator);
    if (lastSeparator == View::npos) {
        return {};
    }
    const View name = rest.substr(lastSeparator + 1);
    rest = rest.substr(0, lastSeparator);
    return name;
}

// Cuts a Windows drive ("C:") or share ("\\server\share", and the separator after it) off
// the front of rest. False when rest starts with "\\server" but has no share.
bool CutDrive(View& rest, View& drive) {
    if (rest.size() >= 2 && rest[1] == u':') {
        drive = rest.substr(0, 2);
        rest.remove_prefix(2);
        return true;
    }
    if (rest.size() < 2 || rest[0] != u'\\' || rest[1] != u'\\') {
        return true;
    }
    const std::size_t serverEnd = rest.find(u'\\', 2);
    if (serverEnd == View::npos) {
        return false;
    }
    const std::size_t shareEnd = rest.find(u'\\', serverEnd + 1);
    drive = rest.substr(0, shareEnd);
    rest = shareEnd == View::npos ? View() : rest.substr(shareEnd + 1);
    return true;
}

PathParts ParsePath(View path, TuPathStyle style) {
    const char16_t separator = Separator(style);
    PathParts parts;
    parts.rest = path;
    parts.extension = CutExtension(parts.rest, separator);
    parts.name = CutName(parts.rest, separator);
    if (style == TuPathStyle::Windows) {
        parts.shareInvalid = !CutDrive(parts.rest, parts.drive);
    }
    return parts;
}

// Copies part into output (TuPartSize units); a part that reaches 255 units is cut there and
// raised with cause.
void CopyPart(char16_t* output, View part, int cause) {
    constexpr std::size_t Limit = TuPartSize - 1;
    const std::size_t count = part.size() < Limit ? part.size() : Limit;
    part.copy(output, count);
    output[count] = 0;
    if (count == Limit) {
        throw TuException(cause, 1, static_cast<const char16_t*>(output));
    }
}

// Writes the directory part made from rest: a separator in front unless rest begins with
// one, no trailing separator (the root is the empty directory), and in the Windows style
// every "/" turned into "\". The separator put in front counts towards the part's limit.
void CopyDirectory(char16_t* directory, View rest, TuPathStyle style) {
    const char16_t separator = Separator(style);
    // TuPartSize units hold as much of the text as CopyPart looks at: it cuts at 255 and
    // raises from there on.
    char16_t text[TuPartSize];
    std::size_t length = 0;
    if (rest.empty() || rest[0] != separator) {
        text[length++] = separator;
    }
    length += rest.copy(text + length, TuPartSize - length);
    CopyPart(directory, View(text, length), TuCauseDirectoryTooLong);
    while (length > 0 && directory[length - 1] == separator) {
        directory[--length] = 0;
    }
    if (style == TuPathStyle::Windows) {
        std::replace(directory, directory + length, u'/', u'\\');
    }
}

// ---- Composing -----------------------------------------------------------------------------

// The composition buffer: appends stop at TuPathMaximumUnits units, and Check raises once that
// is reached.
class Composition {
public:
    void Append(char16_t unit) {
        if (length < TuPathMaximumUnits) {
            units[length++] = unit;
        }
    }
    void Append(View text) {
        for (char16_t unit : text) {
            Append(unit);
        }
    }
    void Check() {
        if (length >= TuPathMaximumUnits) {
            units[length] = 0;
            throw TuException(TuCausePathTooLong, 1, static_cast<const char16_t*>(units));
        }
    }
    char16_t Last() const { return length > 0 ? units[length - 1] : 0; }
    void DropLast() { --length; }
    const char16_t* Terminated() {
        units[length] = 0;
        return units;
    }
    char16_t* Units() { return units; }
    std::size_t Length() const { return length; }

private:
    char16_t units[CompositionSize];
    std::size_t length = 0;
};

View SkipLeading(const char16_t* text, char16_t unit) {
    View view(text);
    while (!view.empty() && view.front() == unit) {
        view.remove_prefix(1);
    }
    return view;
}

bool Given(const char16_t* part) {
    return part != nullptr && *part != 0;
}

} // namespace

void MakeAbsolute(char16_t* destination, const char16_t* text, std::size_t size, TuPathStyle style,
                  const char16_t* currentDirectory) {
    const View input(text);
    // Most texts given are absolute forms already (names the program made itself): they are
    // copied without being taken apart.
    if (style == TuPathStyle::Posix && input.size() <= TuPathMaximumUnits &&
        IsNormalPosixAbsolute(input)) {
        if (input.size() >= size) {
            throw TuException(TuCausePathTooLongWhenAbsolute, 1, text);
        }
        TuWideCopyN(destination, text, size);
        return;
    }
    Text result;
    const bool resolved =
        input.size() <= TuPathMaximumUnits &&
        (style == TuPathStyle::Windows ? ResolveWindows(input, currentDirectory, result)
                                       : ResolvePosix(input, currentDirectory, result));
    if (!resolved || result.size() > TuPathMaximumUnits || result.size() >= size) {
        throw TuException(TuCausePathTooLongWhenAbsolute, 1, text);
    }
    TuWideCopyN(destination, result.c_str(), size);
}

void SplitPath(const char16_t* path, char16_t* drive, char16_t* directory, char16_t* name,
               char16_t* extension, TuPathStyle style) {
    for (char16_t* part : {drive, directory, name, extension}) {
        if (part != nullptr) {
            *part = 0;
        }
    }
    const PathParts parts = ParsePath(path, style);
    // The checks run in this order, and the first failure is the one raised. A part that was
    // not asked for is not checked; the share form always is.
    if (extension != nullptr) {
        CopyPart(extension, parts.extension, TuCauseExtensionTooLong);
    }
    if (name != nullptr) {
        CopyPart(name, parts.name, TuCauseNameTooLong);
    }
    if (parts.shareInvalid) {
        throw TuException(TuCauseShareFormInvalid, 1, Text(parts.rest).c_str());
    }
    if (drive != nullptr) {
        CopyPart(drive, parts.drive, TuCauseDriveTooLong);
    }
    if (directory != nullptr) {
        CopyDirectory(directory, parts.rest, style);
    }
}

void ComposePath(char16_t* destination, const char16_t* drive, const char16_t* directory,
                 const char16_t* name, const char16_t* extension, TuPathStyle style,
                 const char16_t* currentDirectory) {
    const char16_t separator = Separator(style);
    Composition text;

    if (style == TuPathStyle::Windows && Given(drive)) {
        text.Append(drive);
        if (drive[1] == 0) {
            text.Append(u':');
        }
    }
    text.Append(separator);
    text.Check();

    if (Given(directory)) {
        text.Append(SkipLeading(directory, separator));
        text.Append(separator);
    }
    text.Check();

    if (Given(name)) {
        text.Append(SkipLeading(name, separator));
        // Checked before the trailing dots go: a name cut at the limit inside a run of dots
        // would otherwise come back shorter than it was given.
        text.Check();
        while (text.Length() > 0 && text.Last() == u'.') {
            text.DropLast();
        }
        if (extension != nullptr) {
            // A POSIX name keeps no dot for an empty extension: "sheet." is another file
            // there, while Windows drops the trailing dot when it expands the path.
            const View bare = SkipLeading(extension, u'.');
            if (style == TuPathStyle::Windows || !bare.empty()) {
                text.Append(u'.');
                text.Append(bare);
            }
            text.Check();
        }
    } else if (Given(directory)) {
        while (text.Length() > 0 && text.Last() == separator) {
            text.DropLast();
        }
    }

    if (style == TuPathStyle::Windows) {
        for (std::size_t i = 0; i < text.Length(); ++i) {
            if (text.Units()[i] == u'/') {
                text.Units()[i] = u'\\';
            }
        }
    }
    MakeAbsolute(destination, text.Terminated(), TuPathSize, style, currentDirectory);
}
