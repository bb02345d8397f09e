#include "update/UpdateFileTool.h"

#include <istream>
#include <iterator>
#include <ostream>

#include "update/CodePage1250.h"
#include "update/GostCipher.h"

namespace vorlix {
namespace {

constexpr std::size_t kKeyDigitsUsed = 63;
constexpr std::size_t kBlockBytes = 8;

constexpr const char* kUsage =
    "Usage: vorlix-update-file encipher [--key-text HEX] < plain.txt > update.txt\n"
    "       vorlix-update-file decipher [--key-text HEX] < update.txt > plain.txt\n"
    "\n"
    "encipher  reads UTF-8 text, writes it with CR LF line ends in Windows-1250,\n"
    "          padded with spaces to whole 8-byte blocks and enciphered, as one\n"
    "          line of hex digits.\n"
    "decipher  reads the first line of a cipher text and writes the plain text\n"
    "          as UTF-8, CR LF kept.\n"
    "--key-text HEX  another key: at least 63 hex digits, of which the first 63\n"
    "          are used. Without it the program's built-in key is used.\n";

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

// A file from elsewhere must not drive the terminal with escape sequences.
std::string Printable(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if ((c < 0x20 && c != '\r' && c != '\n' && c != '\t') || c == 0x7F || c1) {
            out += '?';
            if (c1) ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

int Fail(std::ostream& err, const std::string& message) {
    err << "vorlix-update-file: " << message << '\n';
    return 2;
}

}  // namespace

bool EncipherUpdateText(const std::string& plain, const std::string& keyText, std::string& cipher,
                        std::string& reason) {
    const std::string text = WithCrLf(plain);
    std::string bytes;
    std::size_t failedAt = 0;
    if (!Utf8ToCp1250(text, bytes, failedAt)) {
        std::size_t line = 1;
        for (std::size_t i = 0; i < failedAt; ++i) line += text[i] == '\n' ? 1 : 0;
        reason = "line " + std::to_string(line) +
                 ": a character that Windows-1250 has no code for, or text that is not UTF-8";
        return false;
    }
    if (bytes.size() % kBlockBytes != 0)
        bytes.append(kBlockBytes - bytes.size() % kBlockBytes, ' ');
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        hex += "0123456789ABCDEF"[code >> 4];
        hex += "0123456789ABCDEF"[code & 0xF];
    }
    cipher = EncipherHex(hex, keyText) + "\r\n";
    return true;
}

int RunUpdateFileTool(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
                      std::ostream& err, bool outIsTerminal) {
    std::string command;
    std::string keyText = KeyText();
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            out << kUsage;
            return 0;
        }
        if (word == "--key-text" || word.starts_with("--key-text=")) {
            if (word == "--key-text") {
                if (i + 1 == words.size()) return Fail(err, "--key-text needs a value");
                keyText = words[++i];
            } else {
                keyText = word.substr(std::string("--key-text=").size());
            }
            bool hex = keyText.size() >= kKeyDigitsUsed;
            for (char c : keyText) hex = hex && IsHexDigit(c);
            if (!hex) return Fail(err, "--key-text takes at least 63 hex digits and nothing else");
        } else if (command.empty() && (word == "encipher" || word == "decipher")) {
            command = word;
        } else {
            return Fail(err, "unknown argument \"" + word + "\"; see --help");
        }
    }
    if (command.empty()) return Fail(err, "say encipher or decipher; see --help");

    if (command == "encipher") {
        const std::string plain{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        std::string cipher;
        std::string reason;
        if (!EncipherUpdateText(plain, keyText, cipher, reason)) return Fail(err, reason);
        out << cipher;
    } else {
        std::string line;
        std::getline(in, line);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        for (char c : line) {
            if (!IsHexDigit(c)) return Fail(err, "the first line holds more than hex digits");
        }
        const std::string plain = HexToText(DecipherHex(line, keyText));
        out << (outIsTerminal ? Printable(plain) : plain);
    }
    out.flush();
    if (!out) return Fail(err, "cannot write the output");
    return 0;
}

}  // namespace vorlix
