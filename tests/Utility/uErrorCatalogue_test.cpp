#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "uCauses.h"
#include "uError.h"
#include "uText.h"

namespace {

const std::size_t Definitions = TuErrorCatalogueLength - 1;

const TuErrorDefinition* Find(unsigned cause) {
    for (std::size_t i = 0; i < Definitions; ++i) {
        if (TuErrorCatalogue[i].cause == cause) {
            return &TuErrorCatalogue[i];
        }
    }
    return nullptr;
}

std::string Text(const char16_t* text) {
    std::string result;
    for (; *text != 0; ++text) {
        result += *text < 256 ? static_cast<char>(*text) : '#';
    }
    return result;
}

// One argument of each kind, as a raising site passes it. The texts are long enough to be
// elided, so every text placeholder prints an elided copy.
TuRaisedArgument SampleArgument(std::uint32_t kind) {
    static const std::string narrow(70, 'n');
    static const std::u16string wide(70, u'w');
    switch (kind) {
    case tvChar:
        return TuRaisedArgument('x');
    case tvWideChar:
        return TuRaisedArgument(u'y');
    case tvInt:
        return TuRaisedArgument(12345);
    case tvLong:
        return TuRaisedArgument(-678L);
    case tvUnsigned:
        return TuRaisedArgument(4000000000UL);
    case tvDouble:
        return TuRaisedArgument(2.5);
    case tvText:
        return TuRaisedArgument(narrow.c_str());
    case tvWideText:
        return TuRaisedArgument(wide.c_str());
    default:
        return TuRaisedArgument();
    }
}

int TypedPositions(const TuErrorDefinition& row) {
    int count = 0;
    for (int i = 0; i < 4; ++i) {
        if (row.argumentTypes[i] != 0) {
            count = i + 1;
        }
    }
    return count;
}

} // namespace

// Every cause the library has a name for is one that it raises or checks: each must have a
// definition of its own, or the user would read "Software problem: Error definition for cause
// ... not found." in its place. The names are read from the causes header itself, so that a
// cause named later is checked too.
TEST(error_catalogue_test, every_named_cause_has_its_own_definition) {
    std::ifstream header(KESTREL_CAUSES_HEADER);
    ASSERT_TRUE(header) << KESTREL_CAUSES_HEADER;
    const std::string text{std::istreambuf_iterator<char>(header), {}};
    const std::regex named(R"(constexpr\s+int\s+(TuCause\w+)\s*=\s*(\d+)\s*;)");
    int names = 0;
    for (auto match = std::sregex_iterator(text.begin(), text.end(), named);
         match != std::sregex_iterator(); ++match, ++names) {
        const std::string name = (*match)[1];
        const int cause = std::stoi((*match)[2]);
        const TuErrorDefinition& found = TuLookupCause(cause, TuErrorCatalogue);
        if (name == "TuCauseEndOfCatalogue") {
            EXPECT_EQ(&found, &TuErrorFallback) << "the end record is no definition";
        } else {
            EXPECT_NE(&found, &TuErrorFallback) << name << " " << cause;
            EXPECT_EQ(static_cast<int>(found.cause), cause) << name;
        }
    }
    EXPECT_GT(names, 0) << "no cause names read from " << KESTREL_CAUSES_HEADER;
}

TEST(error_catalogue_test, fields_stay_within_their_ranges) {
    std::set<std::uint32_t> categories;
    for (std::size_t i = 0; i < Definitions; ++i) {
        const TuErrorDefinition& row = TuErrorCatalogue[i];
        // From the first core cause to the last cause of dBase files.
        EXPECT_GE(static_cast<int>(row.cause), TuCauseInternalError) << i;
        EXPECT_LE(static_cast<int>(row.cause), TuCauseDbaseFileEmpty) << i;
        EXPECT_EQ(row.messageId, 0u) << row.cause;
        EXPECT_EQ(row.reserved, 0u) << row.cause;
        for (std::uint32_t type : row.argumentTypes) {
            EXPECT_LE(type, 8u) << row.cause;
        }
        ASSERT_NE(row.messageTemplate, nullptr);
        EXPECT_LE(std::strlen(row.messageTemplate), 255u) << row.cause;
        categories.insert(row.category);
    }
    EXPECT_EQ(categories, (std::set<std::uint32_t>{5, 7, 8, 9, 10, 12, 13, 14, 16, 17}));
}

// Lookup stops at the first definition of a cause and at the end record. Every row must
// still be what a lookup of its cause finds: a row after a misplaced end record would be lost,
// and a second definition of a cause that differs from the first would never be used.
TEST(error_catalogue_test, every_row_is_what_a_lookup_of_its_cause_finds) {
    for (std::size_t i = 0; i < Definitions; ++i) {
        const TuErrorDefinition& row = TuErrorCatalogue[i];
        const TuErrorDefinition& found =
            TuLookupCause(static_cast<int>(row.cause), TuErrorCatalogue);
        ASSERT_NE(&found, &TuErrorFallback) << "row " << i << ", cause " << row.cause;
        EXPECT_EQ(found.category, row.category) << row.cause;
        EXPECT_EQ(found.messageId, row.messageId) << row.cause;
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(found.argumentTypes[k], row.argumentTypes[k]) << row.cause;
        }
        EXPECT_STREQ(found.messageTemplate, row.messageTemplate) << row.cause;
    }
}

TEST(error_catalogue_test, templates_are_stored_verbatim) {
    struct Row {
        unsigned cause;
        unsigned category;
        std::uint32_t types[4];
        const char* text;
    };
    const Row rows[] = {
        {TuCauseInternalError,
         16,
         {3, 7, 0, 0},
         "Internal software error detected at line %1>d in source code file named %2>s."},
        {TuCausePictureInputTooShort,
         5,
         {7, 7, 0, 0},
         "Not enough characters in input sequence \"%2>s\" to satisfy the requirements of the "
         "picture \"%1>s\"."},
        {TuCauseFileReadFailed,
         9,
         {8, 3, 0, 0},
         "Error detected reading from file named '%1>s'. (code: %2>d)"},
        {TuCauseFileRecordNumberInvalid,
         10,
         {8, 4, 0, 0},
         "Write of record number %2ld of file named %1>s failed.  This record number is not "
         "valid."},
        {TuCauseOpenDirectoryMissing,
         8,
         {8, 8, 3, 0},
         "Attempt to open file named '%1>s' failed. Directory named '%2>s' does not exist, or "
         "permission to access it has been denied.[%3>d]"},
        {TuCauseTiffElementMissing,
         16,
         {3, 3, 0, 0},
         "Attempt to access element number %2>d of a tag with ID %1>d.  Element does not exist."},
        {TuCauseTiffChangedSinceExamined,
         8,
         {8, 0, 0, 0},
         "The Tiff file named %1>s was changed by another program since it was examined; the "
         "update was not made.  Examine the file again before updating it."},
        {TuCauseTiffBeyondFourGiB,
         10,
         {8, 0, 0, 0},
         "The Tiff file named %1>s is too large for this update: the new tag values and "
         "directory would lie beyond 4 GiB, which a classic TIFF file cannot address."},
        {TuCauseIso8211UnexpectedEnd,
         10,
         {7, 4, 0, 0},
         "Encountered the end of the data file named %1>b unexpectedly while attempting to "
         "access record number %2>d  "},
        {TuCauseIso8211FieldIndexInvalid,
         10,
         {7, 4, 4, 4},
         "Invalid field index (%4>d) was presented while reading record #%2>d of file named "
         "%1>b. This file only has %3>d fields."},
        {TuCauseDateNotInitialized,
         16,
         {0, 0, 0, 0},
         "%1^B tried to process a TuDate variable which was not properly initialized."},
        {TuCauseDbaseFileEmpty,
         14,
         {7, 0, 0, 0},
         "The %1^b application requested retrieval of data from an empty data file named %1>s."},
    };
    for (const Row& expected : rows) {
        const TuErrorDefinition* row = Find(expected.cause);
        ASSERT_NE(row, nullptr) << expected.cause;
        EXPECT_EQ(row->category, expected.category) << expected.cause;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(row->argumentTypes[i], expected.types[i]) << expected.cause;
        }
        EXPECT_STREQ(row->messageTemplate, expected.text);
    }
    EXPECT_EQ(TuErrorFallback.cause, 0u);
    EXPECT_EQ(TuErrorFallback.category, 16u);
    EXPECT_EQ(TuErrorFallback.argumentTypes[0], 3u);
    EXPECT_EQ(TuErrorFallback.argumentTypes[1], 0u);
    EXPECT_STREQ(TuErrorFallback.messageTemplate,
                 "Software problem: Error definition for cause %7^d not found.");
}

TEST(error_catalogue_test, every_row_raises_with_its_own_arguments) {
    for (std::size_t i = 0; i < Definitions; ++i) {
        const TuErrorDefinition& row = TuErrorCatalogue[i];
        const int count = TypedPositions(row);
        TuRaisedArgument raised[4];
        int supplied = 0;
        for (int position = 0; position < count; ++position) {
            raised[supplied++] = SampleArgument(row.argumentTypes[position]);
        }

        const TuException error(static_cast<int>(row.cause), count, raised[0], raised[1], raised[2],
                                raised[3]);
        EXPECT_EQ(error.Cause(), static_cast<int>(row.cause));
        EXPECT_EQ(error.Category(), static_cast<int>(row.category));
        for (int position = 1; position <= 4; ++position) {
            EXPECT_EQ(error.Argument(position).Kind(),
                      static_cast<int>(row.argumentTypes[position - 1]))
                << row.cause << " position " << position;
        }

        const std::string message = Text(error.Message());
        EXPECT_FALSE(message.empty()) << row.cause;
        EXPECT_LE(message.size(), 255u) << row.cause;
        EXPECT_EQ(std::string(error.what()), message) << row.cause;
        // Indexed integer placeholders show the integer passed for them.
        for (int position = 1; position <= 4; ++position) {
            const char directive[] = {'%', static_cast<char>('0' + position), '>', 'd', '\0'};
            if (row.argumentTypes[position - 1] == tvInt &&
                std::strstr(row.messageTemplate, directive) != nullptr) {
                EXPECT_NE(message.find("12345"), std::string::npos) << row.cause;
            }
        }
        // NOLINTNEXTLINE(performance-unnecessary-copy-initialization): the copy is under test
        const TuError copy(error);
        EXPECT_EQ(Text(copy.Message()), message) << row.cause;
    }
}

TEST(error_catalogue_test, every_row_survives_missing_and_mistyped_arguments) {
    const std::u16string longName(300, u'z');
    for (std::size_t i = 0; i < Definitions; ++i) {
        const int cause = static_cast<int>(TuErrorCatalogue[i].cause);
        const TuException none(cause, 4);
        const TuException texts(cause, 4, longName.c_str(), longName.c_str(), longName.c_str(),
                                longName.c_str());
        const TuException numbers(cause, 9, -1, 1e300, 'c', 0ULL, 5, 6);
        for (const TuError* error :
             {static_cast<const TuError*>(&none), static_cast<const TuError*>(&texts),
              static_cast<const TuError*>(&numbers)}) {
            EXPECT_EQ(error->Cause(), cause);
            EXPECT_LE(TuWideLength(error->Message()), 255u) << cause;
            // The message whole in the host's narrow form (UTF-8 may take more bytes).
            std::string narrow(TuNarrowUnitBytes * TuWideLength(error->Message()) + 1, '\0');
            narrow.resize(static_cast<std::size_t>(TuNarrow(narrow.data(), error->Message()) -
                                                   narrow.data()));
            EXPECT_EQ(error->what(), narrow) << cause;
        }
    }
}
