// The topics the help opens at: its contents, or the topic of a dialog template (F1 in that
// dialog). The dialogs' logic asks for them through DialogPlatform::OpenHelp; the platform's
// help finds where each starts.
#pragma once

namespace kestrel {

constexpr int HelpContents = 0;
constexpr int HelpTopicOfTemplate(int templateId) {
    return 0x20000 + templateId;
}

} // namespace kestrel
