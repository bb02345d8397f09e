#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace vorlix::test {

bool Shown::operator==(const Shown& other) const {
    return std::tie(kind, text, caption, icon, buttons, defaultButton) ==
           std::tie(other.kind, other.text, other.caption, other.icon, other.buttons,
                    other.defaultButton);
}

Shown Message(std::string text, std::string caption, MessageIcon icon) {
    Shown shown;
    shown.text = std::move(text);
    shown.caption = std::move(caption);
    shown.icon = icon;
    return shown;
}

Shown Question(std::string text, std::string caption, MessageIcon icon,
               DefaultButton defaultButton) {
    Shown shown = Message(std::move(text), std::move(caption), icon);
    shown.buttons = MessageButtons::YesNo;
    shown.defaultButton = defaultButton;
    return shown;
}

Shown EmergencyHelp() {
    Shown shown;
    shown.kind = Shown::Kind::EmergencyHelp;
    shown.caption = "Emergency Help";
    shown.text =
        "Warning text help\r\nThere was an error when loading the language packs, the files are "
        "inconsistent. Please solve the problem by reinstalling the program.";
    return shown;
}

void PrintTo(const Shown& shown, std::ostream* out) {
    static const char* icons[] = {"none", "information", "question", "stop"};
    switch (shown.kind) {
        case Shown::Kind::Message:
            *out << "message {caption \"" << shown.caption << "\", text \"" << shown.text
                 << "\", icon " << icons[static_cast<int>(shown.icon)]
                 << (shown.buttons == MessageButtons::Ok ? ", OK" : ", Yes/No")
                 << (shown.buttons == MessageButtons::YesNo
                         ? (shown.defaultButton == DefaultButton::Yes ? " default Yes"
                                                                      : " default No")
                         : "")
                 << "}";
            break;
        case Shown::Kind::FileDialog:
            *out << (shown.request.mode == FileDialogMode::Save ? "save" : "open")
                 << " file dialog {title \"" << shown.text << "\", filter \"" << shown.caption
                 << "\"}";
            break;
        case Shown::Kind::EmergencyHelp:
            *out << "emergency help {caption \"" << shown.caption << "\", text \"" << shown.text
                 << "\"}";
            break;
    }
}

ScriptedDialogs& ScriptedDialogs::ThenAnswer(Answer answer) {
    answers_.push_back(answer);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::ThenChooseFile(std::string path) {
    files_.emplace_back(std::move(path));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::ThenCancelFileDialog() {
    files_.emplace_back(std::nullopt);
    return *this;
}

Answer ScriptedDialogs::MessageBox(const std::string& text, const std::string& caption,
                                   MessageIcon icon, MessageButtons buttons,
                                   DefaultButton defaultButton) {
    Shown shown = Message(text, caption, icon);
    shown.buttons = buttons;
    // The default button means nothing for a message with OK alone.
    shown.defaultButton = buttons == MessageButtons::YesNo ? defaultButton : DefaultButton::Yes;
    seen_.push_back(shown);
    if (buttons == MessageButtons::Ok) return Answer::Ok;
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << ::testing::PrintToString(shown);
        return defaultButton == DefaultButton::Yes ? Answer::Yes : Answer::No;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

Answer ScriptedDialogs::AskWithCaptions(const std::string& text, const std::string& caption,
                                        MessageIcon icon, DefaultButton defaultButton,
                                        const YesNoCaptions& captions) {
    const Answer answer = MessageBox(text, caption, icon, MessageButtons::YesNo, defaultButton);
    seen_.back().captions = captions;
    return answer;
}

std::optional<std::string> ScriptedDialogs::OpenFile(const FileDialogRequest& request) {
    Shown shown;
    shown.kind = Shown::Kind::FileDialog;
    shown.text = request.title;
    shown.caption = request.filter;
    shown.request = request;
    seen_.push_back(shown);
    if (files_.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << request.title;
        return std::nullopt;
    }
    auto file = files_.front();
    files_.pop_front();
    return file;
}

void ScriptedDialogs::ShowEmergencyHelp(const std::string& caption, const std::string& text) {
    Shown shown;
    shown.kind = Shown::Kind::EmergencyHelp;
    shown.caption = caption;
    shown.text = text;
    seen_.push_back(shown);
}

std::vector<Shown> ScriptedDialogs::Messages() const {
    std::vector<Shown> messages;
    for (const auto& shown : seen_) {
        if (shown.kind == Shown::Kind::Message) messages.push_back(shown);
    }
    return messages;
}

}  // namespace vorlix::test
