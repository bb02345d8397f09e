#include "language/Language.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <unordered_set>
#include <utility>

#include "util/FileExists.h"
#include "util/Text.h"

namespace vorlix {

struct Language::Document {
    pugi::xml_document tree;
};

namespace {

constexpr const char* kRootName = "Vorlix_LanguageFile";

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    // A folder of that name opens but cannot be read; FileExists keeps it out.
    if (!FileExists(path.string())) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

// The next node in document order below `top`, or an empty node at the end.
// A loop, not recursion: a hostile pack may nest elements very deeply.
pugi::xml_node NextInDocumentOrder(pugi::xml_node node, pugi::xml_node top) {
    if (node.first_child()) return node.first_child();
    for (; node && node != top; node = node.parent()) {
        if (node.next_sibling()) return node.next_sibling();
    }
    return {};
}

// The encodings pugixml converts exactly, by the names a declaration gives them.
bool DeclaredAs(pugi::xml_encoding used, std::string_view declared) {
    const std::string name = AsciiLower(declared);
    switch (used) {
        case pugi::encoding_utf8:
            return name.empty() || name == "utf-8";
        case pugi::encoding_utf16_le:
        case pugi::encoding_utf16_be:
            return name.empty() || name == "utf-16";
        case pugi::encoding_utf32_le:
        case pugi::encoding_utf32_be:
            return name.empty() || name == "utf-32";
        case pugi::encoding_latin1:
            return name == "iso-8859-1" || name == "latin1";
        default:
            return false;
    }
}

bool IsXmlCharacter(unsigned long code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// "&lt;", "&#233;" or "&#xE9;" at text[at]: its length, or 0 when it is none.
// Entities of a document type are not expanded here, so they count as none.
std::size_t ReferenceLength(std::string_view text, std::size_t at) {
    const auto end = text.find(';', at);
    if (end == text.npos) return 0;
    const std::string_view body = text.substr(at + 1, end - at - 1);
    if (body == "lt" || body == "gt" || body == "amp" || body == "apos" || body == "quot") {
        return end - at + 1;
    }
    if (!body.starts_with('#')) return 0;
    const bool hex = body.starts_with("#x");
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return 0;
    unsigned long code = 0;
    for (char c : digits) {
        int value = -1;
        if (c >= '0' && c <= '9') value = c - '0';
        if (hex && c >= 'a' && c <= 'f') value = c - 'a' + 10;
        if (hex && c >= 'A' && c <= 'F') value = c - 'A' + 10;
        if (value < 0) return 0;
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(value);
    }
    return IsXmlCharacter(code) ? end - at + 1 : 0;
}

// Character data as XML allows it, before pugixml replaced its references.
bool IsWellFormedText(std::string_view text, bool inAttribute) {
    if (!IsValidUtf8(text)) return false;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
        if (c == '<' && inAttribute) return false;
        if (c == '&') {
            const std::size_t length = ReferenceLength(text, i);
            if (length == 0) return false;
            i += length;
        } else {
            ++i;
        }
    }
    return inAttribute || text.find("]]>") == text.npos;
}

bool IsWellFormedRawText(std::string_view text) {
    if (!IsValidUtf8(text)) return false;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
    }
    return true;
}

bool HasWellFormedAttributes(pugi::xml_node element) {
    std::unordered_set<std::string_view> names;
    for (const pugi::xml_attribute attribute : element.attributes()) {
        if (!IsValidUtf8(attribute.name()) || !names.insert(attribute.name()).second) return false;
        if (!IsWellFormedText(attribute.value(), true)) return false;
    }
    return true;
}

// pugixml is lenient where XML is not: it keeps stray "&" and unknown
// entities as text, takes duplicate attributes, a late declaration and text
// or further elements beside the root, and reads bytes that are not UTF-8
// as if they were. `raw` is the pack parsed as a fragment with references
// left unreplaced, so all of that can be seen.
bool IsWellFormedPack(const pugi::xml_document& raw, pugi::xml_encoding encoding) {
    int roots = 0;
    bool first = true;
    for (const pugi::xml_node node : raw.children()) {
        switch (node.type()) {
            case pugi::node_declaration:
                if (!first || !DeclaredAs(encoding, node.attribute("encoding").value())) {
                    return false;
                }
                break;
            case pugi::node_element:
                ++roots;
                break;
            case pugi::node_doctype:
                if (roots > 0) return false;
                break;
            case pugi::node_comment:
            case pugi::node_pi:
                break;
            default:  // text outside the root
                return false;
        }
        first = false;
    }
    if (roots != 1) return false;
    const pugi::xml_node firstNode = raw.first_child();
    if (firstNode.type() != pugi::node_declaration && !DeclaredAs(encoding, "")) return false;

    for (pugi::xml_node node = firstNode; node; node = NextInDocumentOrder(node, raw)) {
        const std::string_view value = node.value();
        bool good = true;
        switch (node.type()) {
            case pugi::node_element:
                good = IsValidUtf8(node.name()) && HasWellFormedAttributes(node);
                break;
            case pugi::node_pcdata:
                good = IsWellFormedText(value, false);
                break;
            case pugi::node_comment:
                good = IsWellFormedRawText(value) && value.find("--") == value.npos &&
                       !value.ends_with('-');
                break;
            case pugi::node_pi:
                good = AsciiLower(node.name()) != "xml" && IsValidUtf8(node.name()) &&
                       IsWellFormedRawText(value);
                break;
            case pugi::node_declaration:
                good = node == firstNode;
                break;
            default:  // CDATA, document type
                good = IsWellFormedRawText(value);
                break;
        }
        if (!good) return false;
    }
    return true;
}

// Parses the pack into `tree`: false unless it is well-formed XML whose
// declared encoding is the one pugixml read it in.
bool ParsePack(const std::string& bytes, pugi::xml_document& tree) {
    pugi::xml_document raw;
    const unsigned rawOptions =
        (pugi::parse_default | pugi::parse_fragment | pugi::parse_declaration |
         pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype) &
        ~pugi::parse_escapes;
    const pugi::xml_parse_result checked = raw.load_buffer(bytes.data(), bytes.size(), rawOptions);
    if (!checked || !IsWellFormedPack(raw, checked.encoding)) return false;
    return static_cast<bool>(tree.load_buffer(bytes.data(), bytes.size(), pugi::parse_default));
}

// What "root//section//key" selects first: the first key element in document
// order below a section element below the root. One pass that counts the
// open section elements on the way down, so a deep pack costs its size.
pugi::xml_node FindKey(const pugi::xml_document& document, std::string_view section,
                       std::string_view key) {
    const pugi::xml_node root = document.document_element();
    if (!root || std::string_view(root.name()) != kRootName) return {};
    std::size_t openSections = 0;
    pugi::xml_node node = root.first_child();
    while (node) {
        const bool element = node.type() == pugi::node_element;
        if (element && openSections > 0 && key == node.name()) return node;
        if (element && node.first_child()) {
            if (section == node.name()) ++openSections;
            node = node.first_child();
            continue;
        }
        // Climb until a sibling follows, closing the sections left behind.
        while (node != root && !node.next_sibling()) {
            node = node.parent();
            if (node != root && section == node.name()) --openSections;
        }
        node = node == root ? pugi::xml_node() : node.next_sibling();
    }
    return {};
}

// All character data inside the element, nested elements included.
std::string TextContent(pugi::xml_node element) {
    std::string text;
    for (pugi::xml_node node = element.first_child(); node;
         node = NextInDocumentOrder(node, element)) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            text += node.value();
        }
    }
    return std::string(Trim(text));
}

}  // namespace

Language::Language(std::filesystem::path languagesFolder, PackFailureHandler onFailure)
    : folder_(std::move(languagesFolder)), onFailure_(std::move(onFailure)) {}

Language::~Language() = default;

bool Language::LoadLanguageFile(std::int32_t identifier) {
    // The old pack goes first, so a failed load leaves none behind.
    document_ = std::make_unique<Document>();
    const std::string fileName = std::to_string(identifier) + ".xml";

    const auto bytes = ReadWholeFile(folder_ / fileName);
    if (bytes && ParsePack(*bytes, document_->tree)) return true;

    document_.reset();
    if (onFailure_) onFailure_(PackFailure::Unreadable, fileName);
    return false;
}

std::string Language::GetLabel(std::string_view section, std::string_view key) const {
    if (!document_) {
        ReportFailure(PackFailure::NoPack);
        return {};
    }
    const pugi::xml_node element = FindKey(document_->tree, section, key);
    return element ? TextContent(element) : std::string();
}

bool Language::IsLoaded() const { return document_ != nullptr; }

void Language::ReportFailure(PackFailure failure) const {
    if (onFailure_) onFailure_(failure, {});
}

}  // namespace vorlix
