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

std::string ConsoleText(const std::string& text) {
    // CR LF is how messages break their lines; every other control character
    // may come from a file name and must not reach the terminal as it is.
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        out += EscapeForTerminal(std::string_view(text).substr(start, end - start));
        if (end == std::string::npos) break;
        out += '\n';
        start = end + 2;
    }
    return out;
}

Answer ConsoleDialogs::MessageBox(const std::string& text, const std::string& caption,
                                  MessageIcon icon, MessageButtons buttons,
                                  DefaultButton defaultButton) {
    std::ostream& stream = icon == MessageIcon::Stop ? err_ : out_;
    stream << ConsoleText(caption + ": " + text);
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
    err_ << ConsoleText(caption + ": " + text) << '\n' << std::flush;
}

std::optional<std::string> ConsoleDialogs::OpenFile(const FileDialogRequest& request) {
    out_ << ConsoleText(request.title + ": ") << std::flush;
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
    err_ << ConsoleText(caption + ": " + text) << '\n' << std::flush;
}

}  // namespace vorlix
