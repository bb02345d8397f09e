#include "language/Language.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <utility>

#include "ui/Dialogs.h"
#include "ui/EmergencyHelp.h"
#include "ui/EndProgram.h"
#include "util/FileExists.h"
#include "util/Text.h"

namespace vorlix {

struct Language::Document {
    pugi::xml_document tree;
};

namespace {

constexpr const char* kRootName = "Vorlix_LanguageFile";

// One number for every cause of a failed load: missing, unreadable or malformed.
constexpr const char* kLoadErrorNumber = "-2147221504";

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    // A folder of that name opens but cannot be read; FileExists keeps it out.
    if (!FileExists(path.string())) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

// pugixml accepts some documents that XML forbids: several top-level elements,
// and in fragment mode (which keeps text outside the root, so we can see it)
// none at all. A pack like that is damaged, not a pack.
bool HasSingleRoot(const pugi::xml_document& document) {
    int elements = 0;
    for (const pugi::xml_node node : document.children()) {
        if (node.type() == pugi::node_element) ++elements;
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) return false;
    }
    return elements == 1;
}

bool HasAncestorNamed(pugi::xml_node node, pugi::xml_node stop, std::string_view name) {
    for (pugi::xml_node up = node.parent(); up && up != stop; up = up.parent()) {
        if (name == up.name()) return true;
    }
    return false;
}

// What "root//section//key" selects first: the first key element in document
// order with a section element between it and the root.
pugi::xml_node FindKey(const pugi::xml_document& document, std::string_view section,
                       std::string_view key) {
    pugi::xml_node root = document.document_element();
    if (!root || std::string_view(root.name()) != kRootName) return {};
    struct Finder : pugi::xml_tree_walker {
        pugi::xml_node root;
        std::string_view section, key;
        pugi::xml_node found;
        bool for_each(pugi::xml_node& node) override {
            if (node.type() == pugi::node_element && key == node.name() &&
                HasAncestorNamed(node, root, section)) {
                found = node;
                return false;
            }
            return true;
        }
    } finder;
    finder.root = root;
    finder.section = section;
    finder.key = key;
    root.traverse(finder);
    return finder.found;
}

// All character data inside the element, nested elements included.
std::string TextContent(pugi::xml_node element) {
    struct Collector : pugi::xml_tree_walker {
        std::string text;
        bool for_each(pugi::xml_node& node) override {
            if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
                text += node.value();
            }
            return true;
        }
    } collector;
    element.traverse(collector);
    return std::string(Trim(collector.text));
}

}  // namespace

Language::Language(Dialogs& dialogs, std::filesystem::path languagesFolder)
    : dialogs_(dialogs), folder_(std::move(languagesFolder)) {}

Language::~Language() = default;

void Language::LoadLanguageFile(std::int32_t identifier) {
    // The old pack goes first, so a failed load leaves none behind.
    document_ = std::make_unique<Document>();
    const std::string fileName = std::to_string(identifier) + ".xml";

    bool loaded = false;
    if (const auto bytes = ReadWholeFile(folder_ / fileName)) {
        const pugi::xml_parse_result result = document_->tree.load_buffer(
            bytes->data(), bytes->size(), pugi::parse_default | pugi::parse_fragment);
        loaded = result && HasSingleRoot(document_->tree);
    }
    if (loaded) return;

    document_.reset();
    dialogs_.MessageBox(std::string("Chyba č. ") + kLoadErrorNumber +
                            " při načítání jazykového souboru " + fileName,
                        "Chyba čtení souboru", MessageIcon::Stop);
    ShowEmergencyHelp(dialogs_);
    EndProgram(kExitFatal);
}

std::string Language::GetLabel(std::string_view section, std::string_view key) const {
    if (!document_) {
        ShowEmergencyHelp(dialogs_);
        EndProgram(kExitFatal);
    }
    const pugi::xml_node element = FindKey(document_->tree, section, key);
    return element ? TextContent(element) : std::string();
}

bool Language::IsLoaded() const { return document_ != nullptr; }

}  // namespace vorlix
