#include "DialogTexts.h"

#include <cstring>

#include <gtest/gtest.h>

#include "ControlIds.h"
#include "uSystemInfo.h"

using kestrel::FillMessage;

TEST(dialog_texts_test, fill_message_places_values_in_order) {
    EXPECT_EQ(FillMessage("between %1 and %2.", "-9999", "9999"), "between -9999 and 9999.");
    EXPECT_EQ(FillMessage("%2 before %1", "a", "b"), "b before a");
    EXPECT_EQ(FillMessage("100%% of %1", "it"), "100% of it");
    // Placeholders without a value and a lone "%" at the end stay as they stand.
    EXPECT_EQ(FillMessage("%1 and %3 %", "x"), "x and %3 %");
}

TEST(dialog_texts_test, string_table_holds_the_about_entry) {
    kestrel::InstallStringTable();
    char text[256];
    const void* module = tuSystemInfo.ModuleHandle();
    ASSERT_NE(module, nullptr);
    const int length = TuLoadString(module, kestrel::IDS_ABOUTBOX, text, sizeof text);
    EXPECT_EQ(length, static_cast<int>(std::strlen("&About Kestrel...")));
    EXPECT_STREQ(text, "&About Kestrel...");
    EXPECT_EQ(TuLoadString(module, 0, text, sizeof text), 0);
}
