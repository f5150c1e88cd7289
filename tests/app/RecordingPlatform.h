// A DialogPlatform that records what the dialog does to its window and answers the file
// dialog from a script, so that the dialog's logic runs without a window.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ControlIds.h"
#include "DialogPlatform.h"

class RecordingPlatform : public kestrel::DialogPlatform {
public:
    // The user keys a text into an edit.
    void Type(int id, const std::string& text) {
        texts[id] = text;
        if (id == kestrel::IDC_FILE_NAME) {
            fileNameModified = true;
        }
    }
    std::string Text(int id) const {
        const auto found = texts.find(id);
        return found == texts.end() ? std::string() : found->second;
    }
    bool Enabled(int id) const {
        const auto found = enabled.find(id);
        return found != enabled.end() && found->second;
    }
    int Focus() const { return focusMoves.empty() ? 0 : focusMoves.back(); }
    // Forgets the texts written, the focus moves and the dialog's own messages recorded so far
    // (the window's state stays); the errors shown are kept until cleared.
    void ClearRecord() {
        textWrites.clear();
        focusMoves.clear();
        messages.clear();
    }

    void SetControlText(int id, const std::string& text) override {
        texts[id] = text;
        textWrites.emplace_back(id, text);
        if (id == kestrel::IDC_FILE_NAME) {
            fileNameModified = false;
        }
    }
    std::string GetControlText(int id) override { return Text(id); }
    void EnableControl(int id, bool enable) override { enabled[id] = enable; }
    void SetFocus(int id) override { focusMoves.push_back(id); }
    void LimitText(int id, int characters) override { limits[id] = characters; }
    bool IsFileNameModified() override { return fileNameModified; }
    void MessageBox(const TuMessage& message) override {
        (message.cause ? errors : messages).push_back(message);
    }
    std::optional<std::string> OpenFile(const kestrel::FileOpenRequest& request) override {
        fileRequests.push_back(request);
        if (fileAnswers.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
    void EndDialog(int result) override { endResults.push_back(result); }
    void AppendMenuEntry(int commandId, const std::string& text) override {
        menuEntries.emplace_back(commandId, text);
    }
    void SetIcon(int iconId) override { icons.push_back(iconId); }
    void RunAboutBox() override { ++aboutBoxes; }
    void OpenHelp(int topic) override { helpTopics.push_back(topic); }

    std::map<int, std::string> texts;
    std::map<int, bool> enabled;
    std::map<int, int> limits;
    bool fileNameModified = false;
    std::vector<std::pair<int, std::string>> textWrites;
    std::vector<int> focusMoves;
    std::vector<TuMessage> messages; // the dialog's own messages
    std::vector<TuMessage> errors;   // the errors shown, with their cause
    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<kestrel::FileOpenRequest> fileRequests;
    std::vector<int> endResults;
    std::vector<std::pair<int, std::string>> menuEntries;
    std::vector<int> icons;
    int aboutBoxes = 0;
    std::vector<int> helpTopics;
};
