// The help: the HTML guide beside the program, opened in the user's web browser at the topic
// asked for. A browser drops the #fragment of a file opened through its association, so each
// topic has a page of its own: the guide itself for its contents and the main dialog, and a
// small page that forwards to the guide's About section.
#pragma once

#include "Win32.h"

#include <optional>
#include <string>

#include "uMessage.h"

namespace kestrel::win32 {

// The page of a topic (HelpTopics.h).
std::wstring HelpPageName(int topic);

// Opens the topic's page from `folder` with the program Windows opens web pages with. Returns
// the message to show when it cannot: the page is missing, or no program opens it.
std::optional<TuMessage> OpenHelpPage(HWND owner, int topic, const std::wstring& folder);

} // namespace kestrel::win32
