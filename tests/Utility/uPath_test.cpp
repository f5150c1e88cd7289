#include "uPath.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "RaisedError.h"
#include "TestProgram.h"
#include "uCauses.h"
#include "uError.h"

namespace {

using Text = std::u16string;
using raised_error::Kept;
using raised_error::Raised;
using raised_error::WideArgument;
constexpr auto Windows = TuPathStyle::Windows;
constexpr auto Posix = TuPathStyle::Posix;
const char16_t* const WorkFolder = u"C:\\work";

Text Absolute(const Text& text, TuPathStyle style, const char16_t* current) {
    char16_t result[TuPathSize];
    MakeAbsolute(result, text.c_str(), TuPathSize, style, current);
    return result;
}

Text WindowsAbsolute(const Text& text, const char16_t* current = WorkFolder) {
    return Absolute(text, Windows, current);
}

Text PosixAbsolute(const Text& text, const char16_t* current = u"/home/user") {
    return Absolute(text, Posix, current);
}

struct Parts {
    Text drive, directory, name, extension;
};

Parts Split(const Text& path, TuPathStyle style) {
    char16_t drive[TuPartSize];
    char16_t directory[TuPartSize];
    char16_t name[TuPartSize];
    char16_t extension[TuPartSize];
    SplitPath(path.c_str(), drive, directory, name, extension, style);
    return {drive, directory, name, extension};
}

void ExpectParts(const Text& path, TuPathStyle style, const Parts& expected) {
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    const Parts parts = Split(path, style);
    EXPECT_EQ(parts.drive, expected.drive);
    EXPECT_EQ(parts.directory, expected.directory);
    EXPECT_EQ(parts.name, expected.name);
    EXPECT_EQ(parts.extension, expected.extension);
}

Text Compose(const char16_t* drive, const char16_t* directory, const char16_t* name,
             const char16_t* extension, TuPathStyle style) {
    char16_t result[TuPathSize];
    ComposePath(result, drive, directory, name, extension, style,
                style == Windows ? WorkFolder : u"/home/user");
    return result;
}

void ExpectRaised(const std::optional<TuException>& error, int cause, const Text& argument) {
    ASSERT_TRUE(error.has_value()) << "expected cause " << cause;
    EXPECT_EQ(error->Cause(), cause);
    EXPECT_EQ(WideArgument(*error, 1), Kept(argument));
}

} // namespace

// ---- Windows style: splitting --------------------------------------------------------------

TEST(path_test, windows_split_drive_paths) {
    ExpectParts(u"C:\\maps\\sheet1.tif", Windows, {u"C:", u"\\maps", u"sheet1", u"tif"});
    ExpectParts(u"C:\\sheet1.tif", Windows, {u"C:", u"", u"sheet1", u"tif"});
    ExpectParts(u"C:\\maps.old\\readme", Windows, {u"C:", u"\\maps.old", u"readme", u""});
    ExpectParts(u"C:\\maps\\.profile", Windows, {u"C:", u"\\maps", u"", u"profile"});
    ExpectParts(u"C:\\a\\b\\c.d.e", Windows, {u"C:", u"\\a\\b", u"c.d", u"e"});
}

TEST(path_test, windows_split_share_paths) {
    ExpectParts(u"\\\\srv\\data\\maps\\a.b.tif", Windows,
                {u"\\\\srv\\data", u"\\maps", u"a.b", u"tif"});
    ExpectParts(u"\\\\srv\\data\\a.tif", Windows, {u"\\\\srv\\data", u"", u"a", u"tif"});
    // The share's root: nothing follows the separator after the share.
    ExpectParts(u"\\\\srv\\data\\", Windows, {u"\\\\srv\\data", u"", u"", u""});
}

TEST(path_test, windows_split_a_drive_without_a_root_separator) {
    // A drive-relative text (never stored by a TuFileName, which holds absolute paths only)
    // still gets its directory's leading separator.
    ExpectParts(u"C:maps\\a.tif", Windows, {u"C:", u"\\maps", u"a", u"tif"});
    // Without any separator there is no name: what precedes the extension is the directory.
    ExpectParts(u"C:a.tif", Windows, {u"C:", u"\\a", u"", u"tif"});
}

TEST(path_test, windows_share_without_share_name_is_refused_whatever_is_asked) {
    const Text path = u"\\\\srv\\a.tif";
    char16_t part[TuPartSize];
    ExpectRaised(Raised([&] { SplitPath(path.c_str(), part, nullptr, nullptr, nullptr, Windows); }),
                 TuCauseShareFormInvalid, u"\\\\srv");
    ExpectRaised(Raised([&] { SplitPath(path.c_str(), nullptr, part, nullptr, nullptr, Windows); }),
                 TuCauseShareFormInvalid, u"\\\\srv");
    ExpectRaised(Raised([&] { SplitPath(path.c_str(), nullptr, nullptr, part, nullptr, Windows); }),
                 TuCauseShareFormInvalid, u"\\\\srv");
    ExpectRaised(Raised([&] { SplitPath(path.c_str(), nullptr, nullptr, nullptr, part, Windows); }),
                 TuCauseShareFormInvalid, u"\\\\srv");
    ExpectRaised(
        Raised([&] { SplitPath(path.c_str(), nullptr, nullptr, nullptr, nullptr, Windows); }),
        TuCauseShareFormInvalid, u"\\\\srv");
}

TEST(path_test, windows_split_turns_slashes_in_the_directory) {
    ExpectParts(u"C:\\maps/old\\a.tif", Windows, {u"C:", u"\\maps\\old", u"a", u"tif"});
}

// ---- Part limits (both styles count the same) ----------------------------------------------

TEST(path_test, extension_of_254_units_is_accepted_and_255_refused) {
    for (TuPathStyle style : {Windows, Posix}) {
        const Text root = style == Windows ? u"C:\\a\\b." : u"/a/b.";
        EXPECT_EQ(Split(root + Text(254, u'e'), style).extension, Text(254, u'e'));
        ExpectRaised(Raised([&] { Split(root + Text(300, u'e'), style); }), TuCauseExtensionTooLong,
                     Text(255, u'e'));
    }
}

TEST(path_test, name_of_254_units_is_accepted_and_255_refused) {
    for (TuPathStyle style : {Windows, Posix}) {
        const Text folder = style == Windows ? u"C:\\a\\" : u"/a/";
        EXPECT_EQ(Split(folder + Text(254, u'n') + u".tif", style).name, Text(254, u'n'));
        ExpectRaised(Raised([&] { Split(folder + Text(255, u'n') + u".tif", style); }),
                     TuCauseNameTooLong, Text(255, u'n'));
    }
}

TEST(path_test, directory_counts_its_leading_separator) {
    const Text accepted = Text(u"\\") + Text(253, u'd');
    EXPECT_EQ(Split(u"C:" + accepted + u"\\a.tif", Windows).directory, accepted);
    const Text refused = Text(u"\\") + Text(254, u'd');
    ExpectRaised(Raised([&] { Split(u"C:" + refused + u"\\a.tif", Windows); }),
                 TuCauseDirectoryTooLong, refused);
    const Text posixRefused = Text(u"/") + Text(254, u'd');
    ExpectRaised(Raised([&] { Split(posixRefused + u"/a.tif", Posix); }), TuCauseDirectoryTooLong,
                 posixRefused);
    // A relative directory gets its separator added, and that counts too.
    EXPECT_EQ(Split(Text(253, u'd') + u"/a.tif", Posix).directory, u"/" + Text(253, u'd'));
    ExpectRaised(Raised([&] { Split(Text(254, u'd') + u"/a.tif", Posix); }),
                 TuCauseDirectoryTooLong, posixRefused);
    ExpectRaised(Raised([&] { Split(Text(600, u'd') + u"/a.tif", Posix); }),
                 TuCauseDirectoryTooLong, posixRefused);
    ExpectRaised(Raised([&] { Split(u"C:" + Text(600, u'd') + u"\\a.tif", Windows); }),
                 TuCauseDirectoryTooLong, refused);
}

TEST(path_test, windows_share_prefix_limit) {
    const Text share = u"\\\\srv\\" + Text(248, u's'); // 254 units
    EXPECT_EQ(Split(share + u"\\a.tif", Windows).drive, share);
    const Text longShare = share + u"s";
    ExpectRaised(Raised([&] { Split(longShare + u"\\a.tif", Windows); }), TuCauseDriveTooLong,
                 longShare);
}

TEST(path_test, limits_are_tested_in_order_and_only_for_requested_parts) {
    const Text path = u"C:\\" + Text(300, u'd') + u"\\" + Text(300, u'n') + u"." + Text(300, u'e');
    // Every part is too long: the extension is reported first, then the name.
    ExpectRaised(Raised([&] { Split(path, Windows); }), TuCauseExtensionTooLong, Text(255, u'e'));
    char16_t part[TuPartSize];
    ExpectRaised(Raised([&] { SplitPath(path.c_str(), nullptr, part, part, nullptr, Windows); }),
                 TuCauseNameTooLong, Text(255, u'n'));
    // The drive alone is short, and nothing else is looked at.
    EXPECT_FALSE(
        Raised([&] { SplitPath(path.c_str(), part, nullptr, nullptr, nullptr, Windows); }));
    EXPECT_EQ(Text(part), u"C:");
}

// ---- Windows style: composing --------------------------------------------------------------

TEST(path_test, windows_compose_replaces_the_extension) {
    EXPECT_EQ(Compose(u"C:", u"\\maps", u"sheet1", u"tfw", Windows), u"C:\\maps\\sheet1.tfw");
    EXPECT_EQ(Compose(u"C:", u"\\maps", u"sheet1", u".tfw", Windows), u"C:\\maps\\sheet1.tfw");
    EXPECT_EQ(Compose(u"C", u"", u"sheet1", u"tfw", Windows), u"C:\\sheet1.tfw");
    EXPECT_EQ(Compose(u"\\\\srv\\data", u"\\maps", u"a.b", u"tfw", Windows),
              u"\\\\srv\\data\\maps\\a.b.tfw");
    // Trailing dots of the name go, and an empty extension leaves none behind.
    EXPECT_EQ(Compose(u"C:", u"\\maps", u"sheet1..", u"tfw", Windows), u"C:\\maps\\sheet1.tfw");
    EXPECT_EQ(Compose(u"C:", u"\\maps", u"sheet1", u"", Windows), u"C:\\maps\\sheet1");
}

TEST(path_test, windows_compose_without_name_names_the_directory) {
    EXPECT_EQ(Compose(u"C:", u"\\maps", u"", u"tfw", Windows), u"C:\\maps");
    EXPECT_EQ(Compose(u"C:", u"\\maps/old", nullptr, nullptr, Windows), u"C:\\maps\\old");
    EXPECT_EQ(Compose(u"C:", nullptr, nullptr, nullptr, Windows), u"C:\\");
}

TEST(path_test, dot_file_loses_its_name_when_the_extension_is_replaced) {
    const Parts parts = Split(u"C:\\maps\\.profile", Windows);
    EXPECT_EQ(
        Compose(parts.drive.c_str(), parts.directory.c_str(), parts.name.c_str(), u"tfw", Windows),
        u"C:\\maps");
}

TEST(path_test, compose_refuses_259_units) {
    const Text folder = Text(u"\\") + Text(200, u'd');
    // "C:\" + 200 + "\" + 50 + ".tif" = 258 units.
    EXPECT_EQ(Compose(u"C:", folder.c_str(), Text(50, u'n').c_str(), u"tif", Windows).size(), 258u);
    const Text built = u"C:" + folder + u"\\" + Text(51, u'n') + u".tif";
    ExpectRaised(
        Raised([&] { Compose(u"C:", folder.c_str(), Text(51, u'n').c_str(), u"tif", Windows); }),
        TuCausePathTooLong, built);
    // A name that alone reaches the limit is refused before the extension is added.
    const Text longName(300, u'n');
    ExpectRaised(Raised([&] { Compose(u"C:", u"\\a", longName.c_str(), u"tif", Windows); }),
                 TuCausePathTooLong, (u"C:\\a\\" + longName).substr(0, 259));
}

// A name whose cut at 259 units falls inside a run of dots: dropping those dots would bring
// the text back under the limit and hand back a shorter name than was given.
TEST(path_test, compose_refuses_a_name_cut_inside_a_run_of_dots) {
    const Text name = Text(10, u'n') + Text(20, u'.') + u"zz";
    const Text tooLong = UtilityTestsFileName +
                         u" encountered a file name/path specification that was too "
                         u"long.  The offending path looks something like: ";
    struct Case {
        TuPathStyle style;
        const char16_t* drive;
        Text folder;
        std::size_t dotsThatFit; // the most trailing dots after ten n that stay under 259 units
    };
    const Case cases[] = {
        {Posix, u"", u"/" + Text(240, u'd'), 6},      // "/" + 240 + "/" + 16 = 258
        {Windows, u"C:", u"\\" + Text(240, u'd'), 4}, // "C:\" + 240 + "\" + 14 = 258
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style == Windows ? "Windows" : "POSIX");
        const Text start =
            c.drive + c.folder + (c.style == Windows ? u"\\" : u"/") + Text(10, u'n');
        // The 259 units built when the limit is reached: the cut falls among the dots.
        const Text cut = start + Text(c.dotsThatFit + 1, u'.');
        ASSERT_EQ(cut.size(), 259u);
        const auto error =
            Raised([&] { Compose(c.drive, c.folder.c_str(), name.c_str(), u"tif", c.style); });
        if (!error) {
            ADD_FAILURE() << "the name came back shortened";
            continue;
        }
        EXPECT_EQ(error->Cause(), TuCausePathTooLong);
        EXPECT_EQ(Text(error->Message()), tooLong + Kept(cut));

        // Trailing dots of a name that fits are still dropped.
        const Text fits = Text(10, u'n') + Text(c.dotsThatFit, u'.');
        EXPECT_EQ(Compose(c.drive, c.folder.c_str(), fits.c_str(), u"tif", c.style),
                  start + u".tif");
        // One dot more reaches the limit, whatever the name ends in.
        const Text reaches = fits + u".";
        const auto reached =
            Raised([&] { Compose(c.drive, c.folder.c_str(), reaches.c_str(), u"tif", c.style); });
        EXPECT_TRUE(reached.has_value());
    }
}

// ---- Windows style: absolute form ----------------------------------------------------------

TEST(path_test, windows_absolute_resolves_against_the_given_directory) {
    EXPECT_EQ(WindowsAbsolute(u"maps\\a.tif"), u"C:\\work\\maps\\a.tif");
    EXPECT_EQ(WindowsAbsolute(u""), u"C:\\work");
    EXPECT_EQ(WindowsAbsolute(u"..\\x.tif"), u"C:\\x.tif");
    EXPECT_EQ(WindowsAbsolute(u"..\\..\\..\\x.tif"), u"C:\\x.tif");
    EXPECT_EQ(WindowsAbsolute(u"\\x.tif"), u"C:\\x.tif");
    EXPECT_EQ(WindowsAbsolute(u"C:x.tif"), u"C:\\work\\x.tif");
    EXPECT_EQ(WindowsAbsolute(u"c:x.tif"), u"c:\\work\\x.tif");
    EXPECT_EQ(WindowsAbsolute(u"D:x.tif"), u"D:\\x.tif");
    EXPECT_EQ(WindowsAbsolute(u"maps", u"C:\\"), u"C:\\maps");
    EXPECT_EQ(WindowsAbsolute(u"C:"), u"C:\\work");
    EXPECT_EQ(WindowsAbsolute(u"D:"), u"D:\\");
    EXPECT_EQ(WindowsAbsolute(u"C:..\\x.tif"), u"C:\\x.tif");
    EXPECT_EQ(WindowsAbsolute(u"sheet1.tif. "), u"C:\\work\\sheet1.tif");
}

TEST(path_test, windows_absolute_collapses_lexically) {
    EXPECT_EQ(WindowsAbsolute(u"D:\\a\\..\\b\\.\\c.tif"), u"D:\\b\\c.tif");
    EXPECT_EQ(WindowsAbsolute(u"c:/a//b/./c"), u"c:\\a\\b\\c");
    EXPECT_EQ(WindowsAbsolute(u"C:\\.."), u"C:\\");
    EXPECT_EQ(WindowsAbsolute(u"C:\\maps\\"), u"C:\\maps\\");
    EXPECT_EQ(WindowsAbsolute(u"C:\\data\\README."), u"C:\\data\\README");
}

TEST(path_test, windows_absolute_form_of_an_absolute_form_is_itself) {
    // A last name of only dots disappears; the name before it is then trimmed as well, so a
    // second expansion changes nothing (found by the path fuzz target).
    const Text once = WindowsAbsolute(u"C:\\maps\\.b..\\...");
    EXPECT_EQ(once, u"C:\\maps\\.b");
    EXPECT_EQ(WindowsAbsolute(once), once);
}

TEST(path_test, windows_absolute_keeps_shares) {
    EXPECT_EQ(WindowsAbsolute(u"\\\\srv\\share\\..\\x.tif"), u"\\\\srv\\share\\x.tif");
    EXPECT_EQ(WindowsAbsolute(u"//srv/share/maps/x.tif"), u"\\\\srv\\share\\maps\\x.tif");
    EXPECT_EQ(WindowsAbsolute(u"\\\\srv\\a.tif"), u"\\\\srv\\a.tif");
    const char16_t* share = u"\\\\srv\\share\\maps";
    EXPECT_EQ(WindowsAbsolute(u"x.tif", share), u"\\\\srv\\share\\maps\\x.tif");
    EXPECT_EQ(WindowsAbsolute(u"\\x.tif", share), u"\\\\srv\\share\\x.tif");
    EXPECT_EQ(WindowsAbsolute(u"..\\..\\x.tif", share), u"\\\\srv\\share\\x.tif");
}

TEST(path_test, windows_absolute_limits) {
    const Text longest = u"C:\\" + Text(256, u'a'); // 259 units
    EXPECT_EQ(WindowsAbsolute(longest), longest);
    const Text tooLong = longest + u"a";
    ExpectRaised(Raised([&] { WindowsAbsolute(tooLong); }), TuCausePathTooLongWhenAbsolute,
                 tooLong);
    // A relative text that fits but whose absolute form does not.
    const Text relative(252, u'r'); // "C:\work\" + 252 = 260 units
    ExpectRaised(Raised([&] { WindowsAbsolute(relative); }), TuCausePathTooLongWhenAbsolute,
                 relative);
    // A destination smaller than the absolute form.
    char16_t small[8];
    ExpectRaised(
        Raised([&] { MakeAbsolute(small, u"x.tif", sizeof small / 2, Windows, WorkFolder); }),
        TuCausePathTooLongWhenAbsolute, u"x.tif");
}

TEST(path_test, windows_absolute_without_a_windows_current_directory) {
    EXPECT_EQ(WindowsAbsolute(u"C:\\maps\\a.tif", nullptr), u"C:\\maps\\a.tif");
    // The process's own current folder has the Windows form on Windows only.
    if (TuHostPathStyle == Posix) {
        ExpectRaised(Raised([&] { WindowsAbsolute(u"a.tif", nullptr); }),
                     TuCausePathTooLongWhenAbsolute, u"a.tif");
    }
    ExpectRaised(Raised([&] { WindowsAbsolute(u"a.tif", u"/home/user"); }),
                 TuCausePathTooLongWhenAbsolute, u"a.tif");
}

// ---- POSIX style ---------------------------------------------------------------------------

TEST(path_test, posix_split) {
    ExpectParts(u"/maps/sheet1.tif", Posix, {u"", u"/maps", u"sheet1", u"tif"});
    ExpectParts(u"/sheet1.tif", Posix, {u"", u"", u"sheet1", u"tif"});
    ExpectParts(u"/maps.old/readme", Posix, {u"", u"/maps.old", u"readme", u""});
    ExpectParts(u"/maps/.profile", Posix, {u"", u"/maps", u"", u"profile"});
    ExpectParts(u"/srv/a.b.tif", Posix, {u"", u"/srv", u"a.b", u"tif"});
    // No drive and no share: a colon and backslashes are ordinary characters.
    ExpectParts(u"/c:/x\\y.tif", Posix, {u"", u"/c:", u"x\\y", u"tif"});
    ExpectParts(u"//srv/a.tif", Posix, {u"", u"//srv", u"a", u"tif"});
    ExpectParts(u"/", Posix, {u"", u"", u"", u""});
}

TEST(path_test, posix_compose) {
    EXPECT_EQ(Compose(u"", u"/maps", u"sheet1", u"tfw", Posix), u"/maps/sheet1.tfw");
    EXPECT_EQ(Compose(u"", u"/maps", u"sheet1", u".tfw", Posix), u"/maps/sheet1.tfw");
    EXPECT_EQ(Compose(u"", u"", u"sheet1", u"tfw", Posix), u"/sheet1.tfw");
    EXPECT_EQ(Compose(u"", u"/maps", u"", u"tfw", Posix), u"/maps");
    EXPECT_EQ(Compose(u"", u"/a\\b", u"c\\d", u"tfw", Posix), u"/a\\b/c\\d.tfw");
    // A POSIX name keeps no trailing dot for an empty extension.
    EXPECT_EQ(Compose(u"", u"/maps", u"sheet1", u"", Posix), u"/maps/sheet1");
    EXPECT_EQ(Compose(u"C", u"/maps", u"a", u"tif", Posix), u"/maps/a.tif");
}

TEST(path_test, posix_absolute_is_lexical) {
    EXPECT_EQ(PosixAbsolute(u"a/./b//c/../d.tif"), u"/home/user/a/b/d.tif");
    EXPECT_EQ(PosixAbsolute(u""), u"/home/user");
    EXPECT_EQ(PosixAbsolute(u"."), u"/home/user");
    EXPECT_EQ(PosixAbsolute(u"../../../.."), u"/");
    EXPECT_EQ(PosixAbsolute(u"/../x"), u"/x");
    EXPECT_EQ(PosixAbsolute(u"//x///y/"), u"/x/y");
    EXPECT_EQ(PosixAbsolute(u"C:\\maps\\a.tif"), u"/home/user/C:\\maps\\a.tif");
}

TEST(path_test, posix_absolute_limits) {
    const Text longest = u"/" + Text(258, u'a');
    EXPECT_EQ(PosixAbsolute(longest), longest);
    ExpectRaised(Raised([&] { PosixAbsolute(longest + u"a"); }), TuCausePathTooLongWhenAbsolute,
                 longest + u"a");
    // "/home/user/" is 11 units: a 248-unit name fits, one of 249 does not.
    EXPECT_EQ(PosixAbsolute(Text(248, u'r')).size(), 259u);
    ExpectRaised(Raised([&] { PosixAbsolute(Text(249, u'r')); }), TuCausePathTooLongWhenAbsolute,
                 Text(249, u'r'));
    // Collapsing happens before the limit is judged.
    EXPECT_EQ(PosixAbsolute(u"/a/" + Text(200, u'b') + u"/../c"), u"/a/c");
}

// Texts already in absolute form are copied as they are; all others are taken apart. The
// table holds both kinds, side by side at the line between them.
TEST(path_test, posix_absolute_forms_and_near_misses) {
    const struct {
        const char16_t* text;
        const char16_t* absolute;
    } cases[] = {
        {u"/", u"/"},
        {u"/a", u"/a"},
        {u"/a/b.tif", u"/a/b.tif"},
        {u"/a/.b", u"/a/.b"},
        {u"/a/b.", u"/a/b."},
        {u"/a/..b/...", u"/a/..b/..."},
        {u"/a\\b/c:", u"/a\\b/c:"},
        {u"//", u"/"},
        {u"//a", u"/a"},
        {u"/a//b", u"/a/b"},
        {u"/a/./b", u"/a/b"},
        {u"/a/..", u"/"},
        {u"/a/b/..", u"/a"},
        {u"/a/b/", u"/a/b"},
        {u"/a/.b/", u"/a/.b"},
        {u"/.", u"/"},
        {u"/..", u"/"},
        {u"/./a", u"/a"},
        {u"a/b", u"/home/user/a/b"},
        {u"./a", u"/home/user/a"},
    };
    for (const auto& test : cases) {
        const Text text = test.text;
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        EXPECT_EQ(PosixAbsolute(text), test.absolute);
    }
}

TEST(path_test, posix_absolute_form_limits) {
    // 259 units in two names is the longest absolute form; the same text with one unit more,
    // or with a "/." that collapses, is over the limit as a text and refused.
    const Text longest = u"/" + Text(128, u'a') + u"/" + Text(129, u'b');
    ASSERT_EQ(longest.size(), 259u);
    EXPECT_EQ(PosixAbsolute(longest), longest);
    ExpectRaised(Raised([&] { PosixAbsolute(longest + u"b"); }), TuCausePathTooLongWhenAbsolute,
                 longest + u"b");
    ExpectRaised(Raised([&] { PosixAbsolute(longest + u"/."); }), TuCausePathTooLongWhenAbsolute,
                 longest + u"/.");
    EXPECT_EQ(PosixAbsolute(longest.substr(0, 257) + u"/."), longest.substr(0, 257));
    // The destination must hold the text and its terminator.
    char16_t small[5];
    ExpectRaised(Raised([&] { MakeAbsolute(small, u"/abcd", 5, Posix); }),
                 TuCausePathTooLongWhenAbsolute, u"/abcd");
    MakeAbsolute(small, u"/abc", 5, Posix);
    EXPECT_EQ(Text(small), u"/abc");
    ExpectRaised(Raised([&] { MakeAbsolute(small, u"/", 1, Posix); }),
                 TuCausePathTooLongWhenAbsolute, u"/");
}

#ifndef _WIN32
// The process's current directory, on real folders (Windows': uPathWindows_test.cpp).
class posix_current_directory_test : public testing::Test {
protected:
    void SetUp() override {
        char current[4096];
        ASSERT_NE(getcwd(current, sizeof current), nullptr);
        saved = current;
        char pattern[] = "/tmp/kpathXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(saved.c_str()), 0);
        std::filesystem::remove_all(folder);
    }
    static Text Wide(const std::string& text) { return Text(text.begin(), text.end()); }
    std::string saved, folder;
};

TEST_F(posix_current_directory_test, relative_and_empty_texts_resolve_under_it) {
    char16_t result[TuPathSize];
    MakeAbsolute(result, u"maps/../sheet1.tif", TuPathSize, Posix);
    EXPECT_EQ(Text(result), Wide(folder) + u"/sheet1.tif");
    MakeAbsolute(result, u"", TuPathSize, Posix);
    EXPECT_EQ(Text(result), Wide(folder));
}

TEST_F(posix_current_directory_test, links_are_not_followed) {
    std::filesystem::create_directories(folder + "/deep/inside");
    std::filesystem::create_directory_symlink(folder + "/deep/inside", folder + "/link");
    char16_t result[TuPathSize];
    // Through the link, ".." leads to deep/; lexically it leads back here.
    MakeAbsolute(result, u"link/../a.tif", TuPathSize, Posix);
    EXPECT_EQ(Text(result), Wide(folder) + u"/a.tif");
}

TEST_F(posix_current_directory_test, a_current_directory_too_long_for_a_path) {
    std::string deep = folder;
    while (deep.size() < 300) {
        deep += "/" + std::string(60, 'd');
        ASSERT_TRUE(std::filesystem::create_directory(deep));
    }
    ASSERT_EQ(chdir(deep.c_str()), 0);
    char16_t result[TuPathSize];
    ExpectRaised(Raised([&] { MakeAbsolute(result, u"a.tif", TuPathSize, Posix); }),
                 TuCausePathTooLongWhenAbsolute, u"a.tif");
    MakeAbsolute(result, u"/tmp/a.tif", TuPathSize, Posix);
    EXPECT_EQ(Text(result), u"/tmp/a.tif");
}
#endif
