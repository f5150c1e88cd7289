#include "uSystemInfo.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

TEST(system_info_test, facts_describe_the_running_program) {
    EXPECT_EQ(tuSystemInfo.Fact(1).Kind(), tvText);
    const std::string executable = tuSystemInfo.Fact(1).Text();
    EXPECT_NE(executable.find("utility_tests"), std::string::npos);
    EXPECT_EQ(tuSystemInfo.Fact(5).Kind(), tvText);
    EXPECT_STREQ(tuSystemInfo.Fact(5).Text(), tuSystemInfo.Fact(1).Text());
    EXPECT_EQ(tuSystemInfo.Fact(3).Kind(), tvText);
    EXPECT_EQ(tuSystemInfo.Fact(4).Kind(), tvText);
    EXPECT_NE(tuSystemInfo.ModuleHandle(), nullptr);
}

TEST(system_info_test, unset_facts_are_empty) {
    EXPECT_EQ(tuSystemInfo.Fact(6).Kind(), tvNone);
    for (int fact = 8; fact <= 16; ++fact) {
        EXPECT_EQ(tuSystemInfo.Fact(fact).Kind(), tvNone) << fact;
    }
}

TEST(system_info_test, last_undefined_cause_is_fact_seven) {
    TuSystemInfo facts;
    const int undefinedCause = 1384009999; // no row of the catalogue defines it
    facts.SetLastUndefinedCause(undefinedCause);
    EXPECT_EQ(facts.Fact(7).Kind(), tvInt);
    EXPECT_EQ(facts.Fact(7).AsSigned(), undefinedCause);
}

TEST(system_info_test, a_named_module_is_not_the_program) {
    TuSystemInfo facts("libother.so");
    EXPECT_EQ(facts.ModuleHandle(), nullptr);
    EXPECT_EQ(facts.Fact(5).Kind(), tvNone);
}

// String resources are found by id wherever they stand in the table and cut to the buffer
// they are copied into; the result counts the characters stored.
TEST(system_info_test, string_resources_are_found_by_id_and_cut_to_the_buffer) {
    static const TuStringResource table[] = {{5, "first"}, {900, "Loaded: %1>d"}, {7, "seven"}};
    TuSetStringTable(table, 3);
    const void* module = tuSystemInfo.ModuleHandle();
    char buffer[64];
    EXPECT_EQ(TuLoadString(module, 900, buffer, sizeof buffer), 12);
    EXPECT_STREQ(buffer, "Loaded: %1>d");
    EXPECT_EQ(TuLoadString(module, 7, buffer, 6), 5); // exactly room for it
    EXPECT_STREQ(buffer, "seven");
    EXPECT_EQ(TuLoadString(module, 7, buffer, 5), 4);
    EXPECT_STREQ(buffer, "seve");
    EXPECT_EQ(TuLoadString(module, 7, buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    // Nothing is found for an id the table lacks, for id 0, or without the program's module.
    EXPECT_EQ(TuLoadString(module, 6, buffer, sizeof buffer), 0);
    EXPECT_EQ(TuLoadString(module, 0, buffer, sizeof buffer), 0);
    EXPECT_EQ(TuLoadString(nullptr, 5, buffer, sizeof buffer), 0);
    // Once the table is removed, nothing is found.
    TuSetStringTable(nullptr, 0);
    EXPECT_EQ(TuLoadString(module, 5, buffer, sizeof buffer), 0);
}
