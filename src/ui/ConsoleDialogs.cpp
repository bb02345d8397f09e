#include "ui/ConsoleDialogs.h"

#include <string>

#include "util/Text.h"

namespace vorlix {
namespace {

bool HasExtension(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

}  // namespace

ConsoleDialogs::ConsoleDialogs(std::istream& in, std::ostream& out, std::ostream& err)
    : in_(in), out_(out), err_(err) {}

Answer ConsoleDialogs::MessageBox(const std::string& text, const std::string& caption,
                                  MessageIcon icon, MessageButtons buttons,
                                  DefaultButton defaultButton) {
    std::ostream& stream = icon == MessageIcon::Stop ? err_ : out_;
    stream << EscapeMessageText(caption + ": " + text);
    if (buttons == MessageButtons::Ok) {
        stream << '\n' << std::flush;
        return Answer::Ok;
    }

    const bool yesByDefault = defaultButton == DefaultButton::Yes;
    stream << (yesByDefault ? " [Y/n] " : " [y/N] ") << std::flush;
    std::string line;
    while (std::getline(in_, line)) {
        const std::string answer = AsciiLower(Trim(line));
        if (answer.empty()) break;
        if (answer == "y" || answer == "yes") return Answer::Yes;
        if (answer == "n" || answer == "no") return Answer::No;
        stream << (yesByDefault ? "[Y/n] " : "[y/N] ") << std::flush;
    }
    // An empty line takes the default. The end of the input means nobody is
    // there: every question here asks leave to change something, so No.
    if (!in_) {
        stream << '\n';
        return Answer::No;
    }
    return yesByDefault ? Answer::Yes : Answer::No;
}

void ConsoleDialogs::ShowDiagnostic(const std::string& text, const std::string& caption,
                                    MessageIcon /*icon*/) {
    err_ << EscapeMessageText(caption + ": " + text) << '\n' << std::flush;
}

void ConsoleDialogs::Note(const std::string& text, const std::string& caption) {
    ShowDiagnostic(text, caption, MessageIcon::None);
}

std::optional<std::string> ConsoleDialogs::OpenFile(const FileDialogRequest& request) {
    out_ << EscapeMessageText(request.title + ": ") << std::flush;
    std::string line;
    if (!std::getline(in_, line)) {
        out_ << '\n';
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // No path holds a NUL; the name before it would be a different file.
    if (line.empty() || line.find('\0') != std::string::npos) return std::nullopt;
    // A new name typed without an extension gets the one asked for, as the
    // window's save dialog does.
    if (request.mode == FileDialogMode::Save && !request.defaultExtension.empty() &&
        request.defaultExtension != "*" && !HasExtension(line)) {
        line += "." + request.defaultExtension;
    }
    return line;
}

void ConsoleDialogs::ShowEmergencyHelp(const std::string& caption, const std::string& text) {
    err_ << EscapeMessageText(caption + ": " + text) << '\n' << std::flush;
}

}  // namespace vorlix
