#include "ConsolePlatform.h"

#include <exception>
#include <utility>

#include "uError.h"

namespace kestrel::cli {
namespace {

// The cause of the error being handled: Show runs inside the handler that caught the error,
// so the exception in flight is that error. The message text is compared so that a box
// shown for some other error object is not given a wrong cause.
std::optional<int> CauseOfErrorInFlight(const char* body) {
    const std::exception_ptr current = std::current_exception();
    if (!current)
        return std::nullopt;
    try {
        std::rethrow_exception(current);
    } catch (const TuError& error) {
        const std::string text = error.what();
        if (text.rfind(body, 0) == 0) // the box shows at most the first 255 bytes
            return error.Cause();
    } catch (...) {
    }
    return std::nullopt;
}

} // namespace

ConsolePlatform::ConsolePlatform(std::string applicationTitle)
    : title(std::move(applicationTitle)) {
    TuSetMessageBox(
        [this](const char* caption, const char* body, int) { RecordError(caption, body); });
}

ConsolePlatform::~ConsolePlatform() {
    TuSetMessageBox(nullptr);
}

void ConsolePlatform::RecordError(const char* caption, const char* body) {
    messages.push_back(ShownMessage{caption ? caption : "", body ? body : "",
                                    CauseOfErrorInFlight(body ? body : ""), true});
}

void ConsolePlatform::SetControlText(int id, const std::string& text) {
    texts[id] = text;
    setSinceClear.insert(id);
}

std::string ConsolePlatform::GetControlText(int id) {
    return Text(id);
}

void ConsolePlatform::EnableControl(int id, bool enable) {
    enabled[id] = enable;
}

void ConsolePlatform::SetFocus(int id) {
    focusMoves.push_back(id);
}

void ConsolePlatform::LimitText(int id, int characters) {
    limits[id] = characters;
}

void ConsolePlatform::MessageBox(const std::string& text, MessageIcon) {
    messages.push_back(ShownMessage{title, text, std::nullopt, false});
}

std::optional<std::string> ConsolePlatform::OpenFile(const FileOpenRequest&) {
    return std::nullopt; // there is no one to choose a file
}

void ConsolePlatform::EndDialog(int) {}

std::string ConsolePlatform::Text(int id) const {
    const auto found = texts.find(id);
    return found == texts.end() ? std::string() : found->second;
}

bool ConsolePlatform::IsEnabled(int id) const {
    const auto found = enabled.find(id);
    return found == enabled.end() ? true : found->second;
}

std::optional<int> ConsolePlatform::Limit(int id) const {
    const auto found = limits.find(id);
    if (found == limits.end())
        return std::nullopt;
    return found->second;
}

bool ConsolePlatform::HasError() const {
    for (const ShownMessage& message : messages)
        if (message.isError)
            return true;
    return false;
}

void ConsolePlatform::ClearLog() {
    messages.clear();
    focusMoves.clear();
    setSinceClear.clear();
}

} // namespace kestrel::cli
