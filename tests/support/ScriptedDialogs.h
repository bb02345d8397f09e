#pragma once

#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ui/Dialogs.h"

namespace vorlix::test {

// What the user saw, in order.
struct Shown {
    enum class Kind { Message, FileDialog, EmergencyHelp };
    Kind kind = Kind::Message;
    std::string text;     // message text; file dialog: its title
    std::string caption;  // message caption; file dialog: its filter
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    DefaultButton defaultButton = DefaultButton::Yes;
    FileDialogRequest request;  // file dialogs only
    YesNoCaptions captions;     // questions asked with their own button captions

    bool operator==(const Shown& other) const;
};

// A message as a test expects it: text, caption, icon (OK button).
Shown Message(std::string text, std::string caption, MessageIcon icon);
// A Yes/No question.
Shown Question(std::string text, std::string caption, MessageIcon icon,
               DefaultButton defaultButton);
Shown EmergencyHelp();

void PrintTo(const Shown& shown, std::ostream* out);

// The dialogs of a test: records everything, answers from a script. A
// question or file dialog that the script did not expect fails the test.
class ScriptedDialogs final : public Dialogs {
  public:
    ScriptedDialogs& ThenAnswer(Answer answer);
    ScriptedDialogs& ThenChooseFile(std::string path);
    ScriptedDialogs& ThenCancelFileDialog();

    Answer MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                      MessageButtons buttons, DefaultButton defaultButton) override;
    Answer AskWithCaptions(const std::string& text, const std::string& caption, MessageIcon icon,
                           DefaultButton defaultButton, const YesNoCaptions& captions) override;
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
    void ShowEmergencyHelp(const std::string& caption, const std::string& text) override;
    void Note(const std::string& text, const std::string& caption) override {
        notes_.push_back(caption + ": " + text);
    }

    const std::vector<Shown>& Seen() const { return seen_; }
    // What was noted and not shown, as "caption: text".
    const std::vector<std::string>& Notes() const { return notes_; }
    // Only the message boxes, without file dialogs.
    std::vector<Shown> Messages() const;
    void Clear() { seen_.clear(); }
    bool ScriptUsedUp() const { return answers_.empty() && files_.empty(); }

  private:
    std::vector<Shown> seen_;
    std::vector<std::string> notes_;
    std::deque<Answer> answers_;
    std::deque<std::optional<std::string>> files_;
};

}  // namespace vorlix::test
