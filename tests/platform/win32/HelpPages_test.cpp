// The help's pages: one per topic, and the message when the guide is not beside the program.
// (The guide opened in a browser is tested through the program, by kestrel_window_ui.)
#include <gtest/gtest.h>

#include "ControlIds.h"
#include "HelpPages.h"
#include "HelpTopics.h"

namespace kestrel::win32 {
namespace {

TEST(HelpPageName, the_contents_and_the_main_dialog_open_the_guide_and_the_about_box_its_page) {
    EXPECT_EQ(HelpPageName(HelpContents), L"kestrel.html");
    EXPECT_EQ(HelpPageName(HelpTopicOfTemplate(IDD_REFERENCING)), L"kestrel.html");
    EXPECT_EQ(HelpPageName(HelpTopicOfTemplate(IDD_ABOUTBOX)), L"kestrel-about.html");
}

TEST(OpenHelpPage, a_guide_missing_from_the_folder_is_an_installation_problem) {
    wchar_t temporary[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temporary), 0u);
    const std::wstring folder =
        std::wstring(temporary) + L"kestrel-no-guide-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::optional<TuMessage> problem = OpenHelpPage(nullptr, HelpContents, folder);
    RemoveDirectoryW(folder.c_str());
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->caption, "Application Installation Problem");
    std::string shownFolder(folder.begin(), folder.end());
    EXPECT_EQ(problem->text, "The help file kestrel.html cannot be found in " + shownFolder +
                                 ", the folder of the program. Reinstall Kestrel to restore it.");
    EXPECT_EQ(problem->style, 0x10);
}

} // namespace
} // namespace kestrel::win32
