#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace vorlix {

class Dialogs;

// One loaded language pack and the lookup of its labels (clsLanguage).
class Language {
public:
    Language(Dialogs& dialogs, std::filesystem::path languagesFolder);
    ~Language();
    Language(const Language&) = delete;
    Language& operator=(const Language&) = delete;

    // Loads "<folder>/<identifier>.xml". When the pack cannot be loaded the
    // fixed Czech message and the emergency help window are shown and the
    // program ends; this never returns then.
    void LoadLanguageFile(std::int32_t identifier);

    // The trimmed text of the first <key> below the first <section> below the
    // root "Vorlix_LanguageFile"; empty when there is none. Without a loaded
    // pack: emergency help window, then the program ends.
    std::string GetLabel(std::string_view section, std::string_view key) const;

    bool IsLoaded() const;

private:
    struct Document;
    Dialogs& dialogs_;
    std::filesystem::path folder_;
    std::unique_ptr<Document> document_;
};

}  // namespace vorlix
