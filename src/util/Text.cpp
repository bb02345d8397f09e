#include "util/Text.h"

#include <cstdint>

namespace vorlix {
namespace {

constexpr char32_t kRawByte = 0xFFFFFFFF;

// Decodes one UTF-8 sequence at text[i]. A malformed byte comes back as
// kRawByte and is copied through unchanged. Overlong forms, surrogates and
// values past U+10FFFF are malformed: decoding them would let C0 80 pass a
// check as two harmless bytes and come out of a case change as NUL.
char32_t Decode(std::string_view text, std::size_t i, std::size_t& length) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    length = 1;
    std::size_t need = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        need = 1;
        code = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        need = 2;
        code = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        need = 3;
        code = lead & 0x07;
        smallest = 0x10000;
    } else {
        return kRawByte;
    }
    if (i + need >= text.size()) return kRawByte;
    for (std::size_t k = 1; k <= need; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return kRawByte;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kRawByte;
    length = need + 1;
    return code;
}

bool IsControl(char32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

void Encode(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Latin Extended-A pairs upper/lower as even/odd, except two runs where the
// upper-case letter sits on the odd code point.
bool OddIsUpper(char32_t c) { return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E); }

char32_t ToUpper(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
        const bool odd = c & 1;
        if (OddIsUpper(c)) return odd ? c : c - 1;
        return odd ? c - 1 : c;
    }
    return c;
}

char32_t ToLower(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
        const bool odd = c & 1;
        if (OddIsUpper(c)) return odd ? c + 1 : c;
        return odd ? c : c + 1;
    }
    return c;
}

template <typename Map>
std::string MapCase(std::string_view text, Map map) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        const char32_t code = Decode(text, i, length);
        if (code == kRawByte) {
            out += text[i];
        } else {
            Encode(map(code), out);
        }
        i += length;
    }
    return out;
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    std::size_t length = 1;
    return Decode(text, at, length) == kRawByte ? 0 : length;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool HasControlCharacter(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        // Most of a name is ASCII, which needs no decoding.
        if (const auto byte = static_cast<unsigned char>(text[i]); byte < 0x80) {
            if (IsControl(byte)) return true;
            ++i;
            continue;
        }
        std::size_t length = 1;
        const char32_t code = Decode(text, i, length);
        if (code != kRawByte && IsControl(code)) return true;
        i += length;
    }
    return false;
}

std::string EscapeForTerminal(std::string_view line) {
    bool plain = true;
    for (std::size_t i = 0; i < line.size() && plain;) {
        std::size_t length = 1;
        const char32_t code = Decode(line, i, length);
        plain = code != kRawByte && !IsControl(code) && code != '\\';
        i += length;
    }
    if (plain) return std::string(line);

    // The leading backslash tells the reader that what follows is escaped.
    std::string out = "\\";
    for (std::size_t i = 0; i < line.size();) {
        std::size_t length = 1;
        const char32_t code = Decode(line, i, length);
        if (code == '\\') {
            out += "\\\\";
        } else if (code == '\n') {
            out += "\\n";
        } else if (code == '\r') {
            out += "\\r";
        } else if (code == kRawByte || IsControl(code)) {
            static constexpr char kHex[] = "0123456789abcdef";
            for (std::size_t k = i; k < i + length; ++k) {
                const auto byte = static_cast<unsigned char>(line[k]);
                out += "\\x";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xF];
            }
        } else {
            out.append(line.substr(i, length));
        }
        i += length;
    }
    return out;
}

std::string EscapeMessageText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        out += EscapeForTerminal(text.substr(start, end - start));
        if (end == std::string_view::npos) break;
        out += '\n';
        start = end + 2;
    }
    return out;
}

std::string Utf8Upper(std::string_view text) { return MapCase(text, ToUpper); }
std::string Utf8Lower(std::string_view text) { return MapCase(text, ToLower); }

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    }
    return out;
}

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
    }
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return Utf8Lower(a) == Utf8Lower(b);
}

std::string_view Trim(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

}  // namespace vorlix
