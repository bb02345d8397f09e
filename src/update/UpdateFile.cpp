#include "update/UpdateFile.h"

#include <filesystem>
#include <fstream>

#include "update/GostCipher.h"
#include "util/FileExists.h"
#include "util/PathHelpers.h"

namespace vorlix {
namespace {

// The download never keeps more than this; a local copy that is larger was
// not made by us and is read no further.
constexpr std::size_t kMostCipherDigits = 2 * 1024 * 1024;

// Surrounding spaces only; a tab belongs to the value.
std::string_view TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool IsHeader(std::string_view line) {
    const std::string_view trimmed = TrimSpaces(line);
    return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

std::string ReadFirstLine(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    char c = 0;
    while (line.size() < kMostCipherDigits && in.get(c) && c != '\r' && c != '\n') line += c;
    return line;
}

}  // namespace

std::vector<std::string> SplitUpdateLines(std::string_view plain) {
    std::vector<std::string> lines;
    for (;;) {
        const auto end = plain.find("\r\n");
        if (end == std::string_view::npos) {
            if (!plain.empty() || lines.empty()) lines.emplace_back(plain);
            return lines;
        }
        lines.emplace_back(plain.substr(0, end));
        plain.remove_prefix(end + 2);
    }
}

namespace {

using Entries = UpdateFile::Entries;

// Every entry under its section; lines before the first header belong to
// none. Where a key repeats, the first entry counts.
Entries IndexEntries(const std::vector<std::string>& lines) {
    Entries entries;
    Entries::mapped_type* section = nullptr;
    for (const std::string& line : lines) {
        if (IsHeader(line)) {
            const std::string_view trimmed = TrimSpaces(line);
            section = &entries[std::string(trimmed.substr(1, trimmed.size() - 2))];
            continue;
        }
        const auto equals = line.find('=');
        if (!section || equals == std::string::npos) continue;
        const std::string_view text(line);
        section->emplace(TrimSpaces(text.substr(0, equals)), TrimSpaces(text.substr(equals + 1)));
    }
    return entries;
}

std::optional<std::string> Lookup(const Entries& entries, std::string_view section,
                                  std::string_view key) {
    const auto found = entries.find(section);
    if (found == entries.end()) return std::nullopt;
    const auto value = found->second.find(key);
    if (value == found->second.end()) return std::nullopt;
    return value->second;
}

}  // namespace

std::optional<std::string> FindUpdateValue(const std::vector<std::string>& lines,
                                           std::string_view section, std::string_view key) {
    return Lookup(IndexEntries(lines), section, key);
}

void DeleteUpdateFile(const std::string& path) {
    if (path.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

bool UpdateFile::Load(const std::string& path) {
    if (!FileExists(path)) return false;
    const std::string cipher = ReadFirstLine(path);
    LogProgress("Načtení obsahu souboru " + path + " do proměnné");
    DeleteUpdateFile(path);
    LogProgress("Soubor " + path + " smazán z lokálního umístění");
    const std::string plain = DecryptText(cipher);
    LogProgress("Dešifrování obsahu souboru v proměnné");
    UpdateLines = SplitUpdateLines(plain);
    entries_ = IndexEntries(UpdateLines);
    LogProgress("Převod proměnné do pole");
    UpdateLoaded = true;
    LogProgress("Nastaven příznak pro úspěšné načtení aktualizačního souboru");
    return true;
}

std::optional<std::string> UpdateFile::ReadUpdateValue(const std::string& path,
                                                       std::string_view section,
                                                       std::string_view key) {
    if (!UpdateLoaded && !Load(path)) return std::nullopt;
    return Lookup(entries_, section, key);
}

void UpdateFile::ResetUpdateFile() {
    UpdateLines.clear();
    entries_.clear();
    UpdateLoaded = false;
}

}  // namespace vorlix
