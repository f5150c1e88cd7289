// ConsolePlatform: the dialog's platform without a window. It keeps the controls' texts and
// enabled states, records every focus move, and records every message the dialog shows: its
// own plain messages and the library's errors, with their cause.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "DialogPlatform.h"
#include "uMessage.h"

namespace kestrel::cli {

struct ShownMessage {
    std::string caption;
    std::string text;
    // The catalogue cause of a shown error; none for the dialog's own plain messages.
    std::optional<int> cause;
    bool isError = false; // an error of the catalogue
};

class ConsolePlatform : public DialogPlatform {
public:
    // applicationTitle captions the dialog's plain message boxes.
    explicit ConsolePlatform(std::string applicationTitle);

    // DialogPlatform. Every text set by the program reads back unchanged; the file name edit
    // always reports a change, since each command line FILE is a freshly typed name.
    void SetControlText(int id, const std::string& text) override;
    std::string GetControlText(int id) override;
    void EnableControl(int id, bool enable) override;
    void SetFocus(int id) override;
    void LimitText(int id, int characters) override;
    bool IsFileNameModified() override { return true; }
    void MessageBox(const TuMessage& message) override;
    [[nodiscard]] std::optional<std::string> OpenFile(const FileOpenRequest& request) override;
    void EndDialog(int result) override;
    void AppendMenuEntry(int, const std::string&) override {}
    void SetIcon(int) override {}
    void RunAboutBox() override {}
    void OpenHelp(int) override {}

    // Types text into a control, as a user would.
    void Type(int id, const std::string& text) { At(id).text = text; }

    // What the dialog shows.
    std::string Text(int id) const;
    bool IsEnabled(int id) const;
    std::optional<int> Limit(int id) const;

    // What happened since the last ClearLog: messages shown, focus moves, controls whose
    // text the dialog set.
    const std::vector<ShownMessage>& Messages() const { return messages; }
    const std::vector<int>& FocusMoves() const { return focusMoves; }
    bool WasSet(int id) const;
    void ClearLog();
    // Back to the state of a new platform: no texts, every control enabled and unlimited,
    // an empty log. The controls keep the room their texts took.
    void Reset();

    const std::string& ApplicationTitle() const { return title; }
    // A message as this platform shows it: the dialog's own captioned with the title.
    ShownMessage Describe(const TuMessage& message) const;

private:
    // One control as the dialog left it.
    struct Control {
        std::string text;
        bool enabled = true;
        std::optional<int> limit;
        bool setSinceClear = false;
    };
    Control& At(int id) { return controls[id]; }
    const Control* Find(int id) const;

    std::string title;
    std::map<int, Control> controls; // by id
    std::vector<ShownMessage> messages;
    std::vector<int> focusMoves;
};

} // namespace kestrel::cli
