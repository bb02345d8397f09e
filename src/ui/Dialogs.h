#pragma once

#include <optional>
#include <string>

namespace vorlix {

enum class MessageIcon { None, Information, Question, Stop };
enum class MessageButtons { Ok, YesNo };
enum class DefaultButton { Yes, No };
enum class Answer { Ok, Yes, No };

// Open picks an existing file; Save also takes a new name typed by the user.
enum class FileDialogMode { Open, Save };

struct FileDialogRequest {
    std::string filter;            // "Description|*.ext|..." pairs, as the packs write them
    std::string defaultExtension;  // without a dot; "*" for any
    std::string title;
    std::string initialFolder;  // may name a file; its folder is used then
    FileDialogMode mode = FileDialogMode::Open;
};

// Captions of the two buttons of a question, with their accelerator marks.
struct YesNoCaptions {
    std::string yes;
    std::string no;
};

// The only way the program talks to the user. Three implementations: Qt
// windows, the console, and a scripted fake that tests read like a story.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // Texts use CR LF for line breaks, as the messages are composed; any
    // other control character comes from a name and is shown escaped
    // (EscapeMessageText).
    virtual Answer MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons = MessageButtons::Ok,
                              DefaultButton defaultButton = DefaultButton::Yes) = 0;

    // A message that is no part of the output a script reads: a failure,
    // whatever its icon (the designed save failure has none), or the summary
    // after md5sum's lines. The console writes it to standard error.
    virtual void ShowDiagnostic(const std::string& text, const std::string& caption,
                                MessageIcon icon) {
        MessageBox(text, caption, icon);
    }

    // A failure that the window keeps to itself, where no message is shown
    // for it. The console writes it to standard error.
    virtual void Note(const std::string& /*text*/, const std::string& /*caption*/) {}

    // A Yes/No question whose buttons carry their own captions instead of
    // those of the language in force: a question asked in another language
    // gets buttons in that language.
    virtual Answer AskWithCaptions(const std::string& text, const std::string& caption,
                                   MessageIcon icon, DefaultButton defaultButton,
                                   const YesNoCaptions& /*captions*/) {
        return MessageBox(text, caption, icon, MessageButtons::YesNo, defaultButton);
    }

    // The chosen full path, or nothing when the user cancels.
    virtual std::optional<std::string> OpenFile(const FileDialogRequest& request) = 0;

    // The fixed emergency help window; returns when the user closed it.
    virtual void ShowEmergencyHelp(const std::string& caption, const std::string& text) = 0;
};

}  // namespace vorlix
