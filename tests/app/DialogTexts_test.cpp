#include "DialogTexts.h"

#include <gtest/gtest.h>

using kestrel::FillMessage;

TEST(dialog_texts_test, fill_message_places_values_in_order) {
    EXPECT_EQ(FillMessage("between %1 and %2.", "-9999", "9999"), "between -9999 and 9999.");
    EXPECT_EQ(FillMessage("%2 before %1", "a", "b"), "b before a");
    EXPECT_EQ(FillMessage("100%% of %1", "it"), "100% of it");
    // Placeholders without a value and a lone "%" at the end stay as they stand.
    EXPECT_EQ(FillMessage("%1 and %3 %", "x"), "x and %3 %");
}
