#include "ConsolePlatform.h"

#include <utility>

namespace kestrel::cli {

ConsolePlatform::ConsolePlatform(std::string applicationTitle)
    : title(std::move(applicationTitle)) {}

ShownMessage ConsolePlatform::Describe(const TuMessage& message) const {
    const bool isError = message.cause.has_value();
    return ShownMessage{message.caption.empty() ? title : message.caption, message.text,
                        message.cause, isError};
}

const ConsolePlatform::Control* ConsolePlatform::Find(int id) const {
    const auto found = controls.find(id);
    return found != controls.end() ? &found->second : nullptr;
}

void ConsolePlatform::SetControlText(int id, const std::string& text) {
    Control& control = At(id);
    control.text = text;
    control.setSinceClear = true;
}

std::string ConsolePlatform::GetControlText(int id) {
    return Text(id);
}

void ConsolePlatform::EnableControl(int id, bool enable) {
    At(id).enabled = enable;
}

void ConsolePlatform::SetFocus(int id) {
    focusMoves.push_back(id);
}

void ConsolePlatform::LimitText(int id, int characters) {
    At(id).limit = characters;
}

void ConsolePlatform::MessageBox(const TuMessage& message) {
    messages.push_back(Describe(message));
}

std::optional<std::string> ConsolePlatform::OpenFile(const FileOpenRequest&) {
    return std::nullopt; // there is no one to choose a file
}

void ConsolePlatform::EndDialog(int) {}

std::string ConsolePlatform::Text(int id) const {
    const Control* control = Find(id);
    return control ? control->text : std::string();
}

bool ConsolePlatform::IsEnabled(int id) const {
    const Control* control = Find(id);
    return control ? control->enabled : true;
}

std::optional<int> ConsolePlatform::Limit(int id) const {
    const Control* control = Find(id);
    return control ? control->limit : std::nullopt;
}

bool ConsolePlatform::WasSet(int id) const {
    const Control* control = Find(id);
    return control && control->setSinceClear;
}

void ConsolePlatform::ClearLog() {
    messages.clear();
    focusMoves.clear();
    for (auto& [id, control] : controls) {
        control.setSinceClear = false;
    }
}

void ConsolePlatform::Reset() {
    ClearLog();
    for (auto& [id, control] : controls) {
        control.text.clear();
        control.enabled = true;
        control.limit.reset();
    }
}

} // namespace kestrel::cli
