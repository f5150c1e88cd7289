#include "uError.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "uCauses.h"
#include "uSystemInfo.h"
#include "uText.h"

namespace {

// A cause that no row of the catalogue defines.
constexpr int UndefinedCause = 1384009999;

// Message text as bytes, one per unit (every unit here is below 256).
std::string Text(const char16_t* text) {
    std::string result;
    for (; *text != 0; ++text) {
        result += *text < 256 ? static_cast<char>(*text) : '#';
    }
    return result;
}

// An error raised against a catalogue of the test's own, through the same argument reading.
class CatalogueError : public TuError {
public:
    template <class... Arguments>
    CatalogueError(int cause, const TuErrorDefinition* catalogue, int count,
                   const Arguments&... arguments)
        : TuError(cause, catalogue) {
        const TuRaisedArgument list[] = {TuRaisedArgument(arguments)..., TuRaisedArgument()};
        Raise(count, list, static_cast<int>(sizeof...(Arguments)));
    }
};

// Records what Show hands to the message box; removes the recorder afterwards.
class RecordedMessageBox {
public:
    RecordedMessageBox() {
        TuSetMessageBox([this](const TuMessage& message) { shown.push_back(message); });
    }
    ~RecordedMessageBox() { TuSetMessageBox(nullptr); }
    std::vector<TuMessage> shown;
};

} // namespace

TEST(error_test, arguments_fill_their_placeholders) {
    const TuException error(TuCauseOpenTooManyFiles, 2, u"/data/scan.tif", 24);
    EXPECT_EQ(error.Cause(), TuCauseOpenTooManyFiles);
    EXPECT_EQ(error.Category(), 9);
    EXPECT_EQ(Text(error.Message()), "Attempt to open file named '/data/scan.tif' failed. Program "
                                     "has too many files open already. (Code: 24)");
    EXPECT_EQ(error.Argument(1).Kind(), tvWideText);
    EXPECT_EQ(error.Argument(2).Kind(), tvInt);
    EXPECT_EQ(error.Argument(3).Kind(), tvNone);
    EXPECT_STREQ(error.what(), "Attempt to open file named '/data/scan.tif' failed. Program has "
                               "too many files open already. (Code: 24)");
}

TEST(error_test, first_of_duplicate_definitions_is_found) {
    const TuErrorDefinition* first = nullptr;
    for (std::size_t i = 0; i < TuErrorCatalogueLength && first == nullptr; ++i) {
        if (static_cast<int>(TuErrorCatalogue[i].cause) == TuCauseTemporaryDirectoryMissing) {
            first = &TuErrorCatalogue[i];
        }
    }
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(&TuLookupCause(TuCauseTemporaryDirectoryMissing, TuErrorCatalogue), first);

    const TuException error(TuCauseTemporaryDirectoryMissing, 1, u"/no/such/folder");
    EXPECT_EQ(error.Category(), 16);
    EXPECT_EQ(error.ArgumentType(1), tvWideText);
    EXPECT_EQ(error.ArgumentType(2), tvNone);
    EXPECT_EQ(Text(error.Message()), "Temporary file name generation failed as the directory name "
                                     "provided, /no/such/folder, did not exist.");
}

TEST(error_test, undefined_cause_uses_fallback_and_records_it) {
    const TuException error(UndefinedCause, 0);
    EXPECT_EQ(error.Cause(), 0);
    EXPECT_EQ(error.Category(), 16);
    EXPECT_EQ(Text(error.Message()), "Software problem: Error definition for cause " +
                                         std::to_string(UndefinedCause) + " not found.");
    EXPECT_EQ(tuSystemInfo.Fact(7).Kind(), tvInt);
    EXPECT_EQ(tuSystemInfo.Fact(7).AsSigned(), UndefinedCause);

    // A later undefined cause replaces the recorded one; a negative code prints signed.
    const TuException negative(-42, 0);
    EXPECT_EQ(tuSystemInfo.Fact(7).AsSigned(), -42);
    EXPECT_EQ(Text(negative.Message()),
              "Software problem: Error definition for cause -42 not found.");
}

TEST(error_test, end_record_is_never_a_definition) {
    const TuException error(TuCauseEndOfCatalogue, 0);
    EXPECT_EQ(error.Cause(), 0);
    EXPECT_EQ(&TuLookupCause(TuCauseEndOfCatalogue, TuErrorCatalogue), &TuErrorFallback);
    EXPECT_EQ(Text(error.Message()), "Software problem: Error definition for cause " +
                                         std::to_string(TuCauseEndOfCatalogue) + " not found.");
}

TEST(error_test, undefined_cause_reads_first_argument_as_int_without_showing_it) {
    const TuException error(77, 2, 5, u"ignored");
    EXPECT_EQ(error.Argument(1).Kind(), tvInt);
    EXPECT_EQ(error.Argument(1).AsSigned(), 5);
    EXPECT_EQ(error.Argument(2).Kind(), tvNone);
    EXPECT_EQ(Text(error.Message()), "Software problem: Error definition for cause 77 not found.");
}

TEST(error_test, element_error_names_tag_then_element) {
    const TuException both(TuCauseTiffElementMissing, 2, 33550, 7);
    EXPECT_EQ(
        Text(both.Message()),
        "Attempt to access element number 7 of a tag with ID 33550.  Element does not exist.");
    const TuException tagOnly(TuCauseTiffElementMissing, 1, 33922);
    EXPECT_EQ(
        Text(tagOnly.Message()),
        "Attempt to access element number ? of a tag with ID 33922.  Element does not exist.");
}

TEST(error_test, count_limits_what_is_read) {
    // Too few: the code placeholder prints "?".
    const TuException nameOnly(TuCauseCreateFileExists, 1, u"new.tfw");
    EXPECT_EQ(Text(nameOnly.Message()),
              "Couldn't create a file named new.tfw. A file with that name already exists or, "
              "perhaps, is marked as read only. (Code: ?)");
    // Count below what was passed: the rest is ignored.
    const TuException counted(TuCauseCreateFileExists, 1, u"new.tfw", 17);
    EXPECT_EQ(counted.Argument(2).Kind(), tvNone);
    // Count above what was passed: nothing beyond the arguments is read.
    const TuException overcounted(TuCauseOpenTooManyFiles, 4, u"a.tif");
    EXPECT_EQ(overcounted.Argument(2).Kind(), tvNone);
    EXPECT_NE(Text(overcounted.Message()).find("(Code: ?)"), std::string::npos);
    // A negative count reads nothing.
    const TuException negative(TuCauseOpenTooManyFiles, -3, u"a.tif", 1);
    EXPECT_EQ(negative.Argument(1).Kind(), tvNone);
}

TEST(error_test, arguments_beyond_the_fourth_are_ignored) {
    const TuException error(TuCauseIso8211FieldIndexInvalid, 6, "roads.ddf", 11L, 12L, 13L, 14L,
                            15L);
    EXPECT_EQ(Text(error.Message()),
              "Invalid field index (13) was presented while reading record #11 of file named "
              "roads. This file only has 12 fields.");
}

TEST(error_test, argument_of_wrong_form_leaves_position_empty_and_is_consumed) {
    // Name and code swapped: neither can be read, and the code does not shift into position 1.
    const TuException swapped(TuCauseOpenTooManyFiles, 2, 24, u"scan.tif");
    EXPECT_EQ(swapped.Argument(1).Kind(), tvNone);
    EXPECT_EQ(swapped.Argument(2).Kind(), tvNone);
    EXPECT_EQ(Text(swapped.Message()), "Attempt to open file named '?' failed. Program has too "
                                       "many files open already. (Code: ?)");
    // Narrow text where wide text is wanted, and the other way round.
    EXPECT_EQ(TuException(TuCauseTiffNotUnderstood, 1, "scan.tif").Argument(1).Kind(), tvNone);
    EXPECT_EQ(TuException(TuCauseWorldFileNotUnderstood, 1, u"scan.tfw").Argument(1).Kind(),
              tvNone);
    // A null text is not read.
    const char16_t* none = nullptr;
    EXPECT_EQ(TuException(TuCauseTiffNotUnderstood, 1, none).Argument(1).Kind(), tvNone);
    // A floating value cannot stand for an integer.
    EXPECT_EQ(TuException(TuCauseTiffElementMissing, 2, 1.5, 2).Argument(1).Kind(), tvNone);
}

TEST(error_test, integers_of_any_width_are_read_as_the_row_says) {
    // tvInt keeps 32 bits, signed.
    EXPECT_EQ(TuException(TuCauseTiffElementMissing, 2, 0x100000005LL, -1LL).Argument(1).AsSigned(),
              5);
    EXPECT_EQ(TuException(TuCauseTiffElementMissing, 2, 0x100000005LL, -1LL).Argument(2).AsSigned(),
              -1);
    EXPECT_EQ(
        TuException(TuCauseTiffElementMissing, 2, 3000000000u, short{-2}).Argument(1).AsSigned(),
        static_cast<std::int32_t>(3000000000u));
    // tvUnsigned keeps 32 bits, unsigned.
    const TuException list(TuCauseTiffEntryIndexInvalid, 2, u"a.tif", -1);
    EXPECT_EQ(list.Argument(2).Kind(), tvUnsigned);
    EXPECT_EQ(Text(list.Message()), "Access to tag numbered 4294967295 in the TIFF file named "
                                    "a.tif failed; the requested tag number did not exist.");
    // tvChar keeps the low byte, tvWideChar the low 16 bits.
    const TuException picture(TuCausePictureCharacterInvalid, 2, "DD.MM", 0x151);
    EXPECT_EQ(Text(picture.Message()), "The character 'Q'(encountered in picture DD.MM) is an "
                                       "invalid formatting picture character.");
    const TuException delimiter(TuCauseDelimiterInvalid, 1, 0x1002C);
    EXPECT_EQ(Text(delimiter.Message()),
              "The character ',' [44] is not a valid delimiter for delimited text files.");
    // tvDouble takes floating values and converts integers.
    const TuException fromInt(TuCausePictureValueTooLarge, 2, "999", 1000);
    EXPECT_EQ(Text(fromInt.Message()),
              "The value 1000.000000 was too large to be formatted by picture \"999\".");
    const TuException fromFloat(TuCausePictureValueTooLarge, 2, "999", 1.5f);
    EXPECT_EQ(fromFloat.Argument(2).AsDouble(), 1.5);
}

TEST(error_test, untyped_positions_consume_nothing) {
    // Types 7, 0, 3: the second argument goes to position 3; an unknown type 9 acts as 0.
    static const TuErrorDefinition catalogue[] = {
        {10, 8, 0, 0, {7, 0, 3, 0}, "%1>s/%2>d/%3>d"},
        {11, 8, 0, 0, {9, 3, 0, 0}, "%1>d/%2>d"},
        {0, 0, 0, 0, {0, 0, 0, 0}, "?"},
    };
    const CatalogueError gap(10, catalogue, 3, "name", 42);
    EXPECT_EQ(Text(gap.Message()), "name/?/42");
    // Positions above count stay empty even when an argument is left.
    const CatalogueError short_count(10, catalogue, 2, "name", 42);
    EXPECT_EQ(Text(short_count.Message()), "name/?/?");
    const CatalogueError unknown(11, catalogue, 2, 8, 9);
    EXPECT_EQ(unknown.Argument(1).Kind(), tvNone);
    EXPECT_EQ(Text(unknown.Message()), "?/8");
}

TEST(error_test, lookup_stops_at_end_record) {
    static const TuErrorDefinition catalogue[] = {
        {20, 7, 0, 0, {0, 0, 0, 0}, "first"},
        {20, 8, 0, 0, {0, 0, 0, 0}, "second"},
        {21, 0, 0, 0, {0, 0, 0, 0}, "end"},
        {22, 9, 0, 0, {0, 0, 0, 0}, "after the end"},
    };
    EXPECT_EQ(Text(CatalogueError(20, catalogue, 0).Message()), "first");
    EXPECT_EQ(CatalogueError(21, catalogue, 0).Cause(), 0);
    EXPECT_EQ(CatalogueError(22, catalogue, 0).Cause(), 0);
    EXPECT_EQ(tuSystemInfo.Fact(7).AsSigned(), 22);
}

TEST(error_test, long_texts_are_cut_at_255_characters) {
    // Two elided 46-unit names push this message past 255 characters.
    const std::u16string first(60, u'a');
    const std::u16string second(60, u'b');
    const TuException error(TuCauseFileReplaceRenameFailed, 2, first.c_str(), second.c_str());
    const std::string elidedFirst = std::string(11, 'a') + "..." + std::string(32, 'a');
    const std::string elidedSecond = std::string(11, 'b') + "..." + std::string(32, 'b');
    const std::string full = "While replacing the contents of the file named " + elidedFirst +
                             ", the original file was deleted, but the renaming of the temporary "
                             "file failed.  The new contents will be found in a file named " +
                             elidedSecond + ".";
    ASSERT_GT(full.size(), 255u);
    EXPECT_EQ(Text(error.Message()), full.substr(0, 255));

    // A template over 255 characters is cut before it is expanded.
    static const std::string longTemplate = std::string(300, 't') + "%1>d";
    const TuErrorDefinition catalogue[] = {
        {30, 8, 0, 0, {3, 0, 0, 0}, longTemplate.c_str()},
        {0, 0, 0, 0, {0, 0, 0, 0}, "?"},
    };
    EXPECT_EQ(Text(CatalogueError(30, catalogue, 1, 5).Message()), std::string(255, 't'));
}

TEST(error_test, copies_carry_cause_arguments_and_text) {
    try {
        throw TuException(TuCauseOpenFileMissing, 3, u"/w/scan.tif", u"/w", 2);
    } catch (const std::exception& thrown) {
        const auto& caught = dynamic_cast<const TuError&>(thrown);
        const char* caughtText = caught.what();
        const TuError copy(caught);
        EXPECT_EQ(copy.Cause(), TuCauseOpenFileMissing);
        EXPECT_EQ(copy.Category(), 8);
        EXPECT_EQ(copy.ArgumentType(3), tvInt);
        EXPECT_EQ(copy.Argument(2).Kind(), tvWideText);
        EXPECT_EQ(Text(copy.Argument(2).WideText()), "/w");
        EXPECT_NE(copy.Message(), caught.Message());
        EXPECT_EQ(Text(copy.Message()), Text(caught.Message()));
        EXPECT_STREQ(copy.what(), caughtText);
        EXPECT_STREQ(caughtText, "File named '/w/scan.tif' does not exist in the '/w' directory, "
                                 "open failed. (Code: 2)");
        // A later what() gives the same text again.
        EXPECT_STREQ(caught.what(), copy.what());
    }
}

TEST(error_test, bytes_of_a_name_pass_through_unchanged) {
    const char16_t name[] = {u'/', 0xE9, 0xFF, u'.', u't', u'i', u'f', 0};
    const TuException error(TuCauseTiffNotUnderstood, 1, name);
    const std::string text = error.what();
    // The host's narrow form of the same characters: the bytes themselves on POSIX, UTF-8 on
    // Windows.
    const std::string narrowName =
        TuHostNarrowEncoding == TuNarrowEncoding::Bytes ? "/\xE9\xFF.tif" : "/\xC3\xA9\xC3\xBF.tif";
    EXPECT_EQ(text.substr(0, 21 + narrowName.size()), "The file named " + narrowName + " could");
}

TEST(error_test, string_resource_replaces_built_in_template) {
    const std::string longResource = std::string(300, 'r') + "%1>d";
    const TuStringResource table[] = {{900, "Loaded: %1>d of %2>s"}, {901, longResource.c_str()}};
    TuSetStringTable(table, 2);
    static const TuErrorDefinition catalogue[] = {
        {40, 8, 900, 0, {3, 7, 0, 0}, "built in %1>d"},
        {41, 8, 901, 0, {3, 0, 0, 0}, "built in %1>d"},
        {42, 8, 902, 0, {3, 0, 0, 0}, "built in %1>d"},
        {0, 0, 0, 0, {0, 0, 0, 0}, "?"},
    };
    const CatalogueError loaded(40, catalogue, 2, 3, "scan.tif");
    const CatalogueError cut(41, catalogue, 1, 3);
    const CatalogueError missing(42, catalogue, 1, 3);
    TuSetStringTable(nullptr, 0);
    EXPECT_EQ(Text(loaded.Message()), "Loaded: 3 of scan.tif");
    EXPECT_EQ(Text(cut.Message()), std::string(255, 'r'));
    EXPECT_EQ(Text(missing.Message()), "built in 3");
}

TEST(error_test, accessors_outside_positions_are_empty) {
    const TuException error(TuCauseOpenTooManyFiles, 2, u"a", 1);
    EXPECT_EQ(error.ArgumentType(0), tvNone);
    EXPECT_EQ(error.ArgumentType(5), tvNone);
    EXPECT_EQ(error.Argument(0).Kind(), tvNone);
    EXPECT_EQ(error.Argument(5).Kind(), tvNone);
}

TEST(error_show_test, caption_and_style_follow_category) {
    static const TuErrorDefinition catalogue[] = {
        {1, 3, 0, 0, {0, 0, 0, 0}, "a"},  {2, 18, 0, 0, {0, 0, 0, 0}, "b"},
        {3, 19, 0, 0, {0, 0, 0, 0}, "c"}, {4, 0xFFFFFFFFu, 0, 0, {0, 0, 0, 0}, "d"},
        {5, 2, 0, 0, {0, 0, 0, 0}, "e"},  {6, 1, 0, 0, {0, 0, 0, 0}, "f"},
        {0, 0, 0, 0, {0, 0, 0, 0}, "?"},
    };
    struct Expected {
        int cause;
        const char* caption;
        int style;
    };
    const Expected expected[] = {
        {1, "Warning; Acknowledgement Required", TuStyleIconQuestion | TuStyleOkCancel},
        {2, "Debugging Notification", TuStyleIconInformation | TuStyleOk},
        {3, "Problem:", TuStyleIconError | TuStyleOk},
        {4, "Problem:", TuStyleIconError | TuStyleOk},
        {5, "Warning", TuStyleIconWarning | TuStyleOk},
        {6, "For Your Information", TuStyleIconInformation | TuStyleOk},
        {99, "Internal Software Problem", TuStyleIconError | TuStyleOk}, // undefined: category 16
    };
    for (const Expected& e : expected) {
        const CatalogueError error(e.cause, catalogue, 0);
        char caption[64];
        EXPECT_EQ(error.GetCaption(caption, sizeof caption), e.style) << e.cause;
        EXPECT_STREQ(caption, e.caption) << e.cause;
    }
    EXPECT_EQ(CatalogueError(4, catalogue, 0).Category(), -1);
}

TEST(error_show_test, raised_causes_show_the_error_icon) {
    const int categories[] = {7, 8, 9, 10, 16};
    const char* captions[] = {"User Supplied Information Problem", "Operational Problem",
                              "System Resources Problem", "Data File Format Problem",
                              "Internal Software Problem"};
    const int causes[] = {TuCausePathTooLong, TuCauseOpenFailedUnexplained, TuCauseOpenTooManyFiles,
                          TuCauseTiffNotUnderstood, TuCauseTiffOpenModeInvalid};
    for (int i = 0; i < 5; ++i) {
        const TuException error(causes[i], 0);
        ASSERT_EQ(error.Category(), categories[i]);
        char caption[64];
        EXPECT_EQ(error.GetCaption(caption, sizeof caption), TuStyleIconError | TuStyleOk);
        EXPECT_STREQ(caption, captions[i]);
    }
}

TEST(error_show_test, caption_is_cut_to_its_buffer) {
    const TuException error(TuCausePathTooLong, 0);
    char caption[8] = "xxxxxxx";
    EXPECT_EQ(error.GetCaption(caption, 5), TuStyleIconError | TuStyleOk);
    EXPECT_STREQ(caption, "User");
    EXPECT_EQ(caption[5], 'x');
    EXPECT_EQ(error.GetCaption(caption, 1), TuStyleIconError | TuStyleOk);
    EXPECT_STREQ(caption, "");
    caption[0] = 'y';
    EXPECT_EQ(error.GetCaption(caption, 0), TuStyleIconError | TuStyleOk);
    EXPECT_EQ(caption[0], 'y');
}

TEST(error_show_test, show_hands_cause_caption_text_and_style_to_message_box) {
    RecordedMessageBox box;
    const TuException error(TuCauseWorldFileNotUnderstood, 1, "/maps/sheet.tfw");
    error.Show();
    error.Show();
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].cause, std::optional<int>(TuCauseWorldFileNotUnderstood));
    EXPECT_EQ(box.shown[0].caption, "Data File Format Problem");
    EXPECT_EQ(box.shown[0].text, error.what());
    EXPECT_EQ(box.shown[0].text,
              "The file named /maps/sheet.tfw does not appear to be a 'World File'; the format "
              "is not understood by the utility_tests program.");
    EXPECT_EQ(box.shown[0].style, TuStyleIconError | TuStyleOk);
    EXPECT_EQ(box.shown[1], box.shown[0]);
}

// An undefined cause is shown as the fallback entry (cause 0) whose text names it.
TEST(error_show_test, message_of_an_undefined_cause_is_the_fallback_naming_it) {
    const TuMessage shown = TuException(4711, 0).ToMessage();
    EXPECT_EQ(shown.cause, std::optional<int>(0));
    EXPECT_EQ(shown.caption, "Internal Software Problem");
    EXPECT_EQ(shown.text, "Software problem: Error definition for cause 4711 not found.");
    EXPECT_EQ(shown.style, TuStyleIconError | TuStyleOk);
}

TEST(error_show_test, show_without_message_box_writes_standard_error) {
    TuSetMessageBox(nullptr);
    const TuException error(TuCauseTiffOpenedForExamination, 1, u"ro.tif");
    testing::internal::CaptureStderr();
    error.Show();
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(written, "Internal Software Problem: An attempt to modify Tiff file named ro.tif "
                       "failed; it was opened for examination only.\n");
}
