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
    for (int fact = 8; fact <= 16; ++fact)
        EXPECT_EQ(tuSystemInfo.Fact(fact).Kind(), tvNone) << fact;
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

TEST(system_info_test, string_table_lookup) {
    static const TuStringResource table[] = {{101, "&About Kestrel..."}, {7, "seven"}};
    TuSetStringTable(table, 2);
    char buffer[512];
    EXPECT_EQ(TuLoadString(tuSystemInfo.ModuleHandle(), 101, buffer, sizeof buffer), 17);
    EXPECT_STREQ(buffer, "&About Kestrel...");
    EXPECT_EQ(TuLoadString(tuSystemInfo.ModuleHandle(), 0, buffer, sizeof buffer), 0);
    EXPECT_EQ(TuLoadString(tuSystemInfo.ModuleHandle(), 102, buffer, sizeof buffer), 0);
    EXPECT_EQ(TuLoadString(nullptr, 101, buffer, sizeof buffer), 0);
    EXPECT_EQ(TuLoadString(tuSystemInfo.ModuleHandle(), 7, buffer, 4), 3);
    EXPECT_STREQ(buffer, "sev");
    TuSetStringTable(nullptr, 0);
}
