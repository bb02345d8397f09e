#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlix {

// The update file (modAnalyseUpdateFile): the publisher's enciphered list of
// its programs and their published versions. The first question reads the
// local copy, deletes it and deciphers it; later questions are answered from
// the lines kept here until ResetUpdateFile.
class UpdateFile {
  public:
    // Section, then key, to the value of the first such entry.
    using Entries =
        std::map<std::string, std::map<std::string, std::string, std::less<>>, std::less<>>;

    // The value of key in section, or nothing when the local copy is missing
    // or the section holds no such key. A key matches only exactly: the text
    // before the first "=" without its surrounding spaces. Only the lines
    // between the section's header and the next header are searched.
    std::optional<std::string> ReadUpdateValue(const std::string& path, std::string_view section,
                                               std::string_view key);

    // Forgets the lines; the next question reads the file again.
    void ResetUpdateFile();

    bool Loaded() const { return UpdateLoaded; }
    const std::vector<std::string>& Lines() const { return UpdateLines; }

  private:
    bool Load(const std::string& path);

    std::vector<std::string> UpdateLines;
    bool UpdateLoaded = false;
    // Indexed once: a program count from the file must not make each
    // question rescan every line.
    Entries entries_;
};

// The deciphered text as lines, split at CR LF. A last piece without CR LF is
// a line of its own; an empty text is one empty line.
std::vector<std::string> SplitUpdateLines(std::string_view plain);

// The value of key in section of the lines, as ReadUpdateValue answers it.
std::optional<std::string> FindUpdateValue(const std::vector<std::string>& lines,
                                           std::string_view section, std::string_view key);

// Removes the local copy if there is one.
void DeleteUpdateFile(const std::string& path);

}  // namespace vorlix
