// The file-open dialog's filter in the form GetOpenFileNameW reads: pairs ended by null
// characters, and one more after the last pair.
#include <gtest/gtest.h>

#include "FileOpenDialog.h"

namespace kestrel::win32 {
namespace {

using namespace std::string_literals;

TEST(WindowsFilter, the_browse_filter_becomes_one_description_and_pattern_pair) {
    EXPECT_EQ(WindowsFilter("Tiff Files (*.tif)|*.tif||"), L"Tiff Files (*.tif)\0*.tif\0\0"s);
}

TEST(WindowsFilter, several_pairs_keep_their_order_and_what_follows_the_end_is_dropped) {
    EXPECT_EQ(WindowsFilter("Tiff Files (*.tif)|*.tif;*.tiff|All Files (*.*)|*.*||junk"),
              L"Tiff Files (*.tif)\0*.tif;*.tiff\0All Files (*.*)\0*.*\0\0"s);
}

TEST(WindowsFilter, a_filter_without_its_end_marker_is_still_ended_twice) {
    EXPECT_EQ(WindowsFilter("Tiff Files|*.tif"), L"Tiff Files\0*.tif\0\0"s);
    EXPECT_EQ(WindowsFilter("Tiff Files|*.tif|"), L"Tiff Files\0*.tif\0\0"s);
}

TEST(WindowsFilter, an_empty_filter_is_an_empty_list) {
    EXPECT_EQ(WindowsFilter(""), L"\0"s);
}

} // namespace
} // namespace kestrel::win32
