#include "ConsolePlatform.h"

#include <utility>

namespace kestrel::cli {
namespace {

// Room for every control of the dialog, so that the list never moves its texts.
constexpr std::size_t ControlRoom = 32;

} // namespace

ConsolePlatform::ConsolePlatform(std::string applicationTitle)
    : title(std::move(applicationTitle)) {
    controls.reserve(ControlRoom);
}

ShownMessage ConsolePlatform::Describe(const TuMessage& message) const {
    const bool isError = message.cause.has_value();
    return ShownMessage{message.caption.empty() ? title : message.caption, message.text,
                        message.cause, isError};
}

std::size_t ConsolePlatform::IndexOf(int id) const {
    const unsigned char slot = slots[static_cast<unsigned>(id) % slots.size()];
    if (slot != 0 && controls[slot - 1].id == id)
        return slot - 1;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].id == id)
            return i;
    return controls.size();
}

ConsolePlatform::Control& ConsolePlatform::At(int id) {
    const std::size_t index = IndexOf(id);
    if (index < controls.size())
        return controls[index];
    controls.push_back(Control{id, {}, true, std::nullopt, false});
    unsigned char& slot = slots[static_cast<unsigned>(id) % slots.size()];
    if (slot == 0 && controls.size() <= 255)
        slot = static_cast<unsigned char>(controls.size());
    return controls.back();
}

const ConsolePlatform::Control* ConsolePlatform::Find(int id) const {
    const std::size_t index = IndexOf(id);
    return index < controls.size() ? &controls[index] : nullptr;
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
    for (Control& control : controls)
        control.setSinceClear = false;
}

void ConsolePlatform::Reset() {
    ClearLog();
    for (Control& control : controls) {
        control.text.clear();
        control.enabled = true;
        control.limit.reset();
    }
}

} // namespace kestrel::cli
