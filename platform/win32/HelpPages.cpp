#include "HelpPages.h"

#include <shellapi.h>

#include "ControlIds.h"
#include "DialogTexts.h"
#include "HelpTopics.h"
#include "WideText.h"
#include "uMessageStyle.h"

namespace kestrel::win32 {
namespace {

// The captions of the error catalogue's categories these problems belong to.
constexpr const char* InstallationProblem = "Application Installation Problem";
constexpr const char* ConfigurationProblem = "System Configuration Related Problem";

TuMessage Problem(const char* caption, std::string text) {
    return TuMessage{std::nullopt, caption, std::move(text), TuStyleIconError | TuStyleOk};
}

} // namespace

std::wstring HelpPageName(int topic) {
    if (topic == HelpTopicOfTemplate(IDD_ABOUTBOX)) {
        return L"kestrel-about.html";
    }
    // The main dialog's topic is the guide's contents: the guide is about that dialog.
    return L"kestrel.html";
}

std::optional<TuMessage> OpenHelpPage(HWND owner, int topic, const std::wstring& folder) {
    const std::wstring name = HelpPageName(topic);
    const std::wstring page = folder + L"\\" + name;
    const DWORD attributes = GetFileAttributesW(page.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Problem(InstallationProblem,
                       FillMessage("The help file %1 cannot be found in %2, the folder of the "
                                   "program. Reinstall Kestrel to restore it.",
                                   Narrow(name), Narrow(folder)));
    }
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", page.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL));
    if (result > 32) {
        return std::nullopt;
    }
    if (result == SE_ERR_NOASSOC || result == SE_ERR_ASSOCINCOMPLETE) {
        return Problem(ConfigurationProblem,
                       FillMessage("The help file %1 cannot be opened: Windows has no program "
                                   "set to open web pages. Choose a default web browser in the "
                                   "Settings, then try again.",
                                   Narrow(page)));
    }
    return Problem(ConfigurationProblem,
                   FillMessage("The help file %1 cannot be opened (Code: %2).", Narrow(page),
                               std::to_string(result)));
}

} // namespace kestrel::win32
