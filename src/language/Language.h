#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vorlix {

// Why the program has no pack it can use.
enum class PackFailure {
    Unreadable,     // the pack file is missing, unreadable or malformed
    NoPack,         // a label was asked for while no pack is loaded
    OtherLanguage,  // the pack in force names a language that is none of ours
};

// What the front-end does about it: in the program it tells the user and ends
// the program, so nothing after the call runs. `fileName` is the pack's
// file name ("1029.xml") for Unreadable.
using PackFailureHandler = std::function<void(PackFailure failure, const std::string& fileName)>;

// One loaded language pack and the lookup of its labels (clsLanguage).
class Language {
  public:
    explicit Language(std::filesystem::path languagesFolder, PackFailureHandler onFailure = {});
    ~Language();
    Language(const Language&) = delete;
    Language& operator=(const Language&) = delete;

    // Loads "<folder>/<identifier>.xml". A pack that cannot be loaded is
    // reported as Unreadable, and no pack is loaded afterwards, not even the
    // one before; false then.
    bool LoadLanguageFile(std::int32_t identifier);

    // The trimmed text of the first <key> below the first <section> below the
    // root "Vorlix_LanguageFile"; empty when there is none. Without a loaded
    // pack NoPack is reported, and the text is empty.
    std::string GetLabel(std::string_view section, std::string_view key) const;

    bool IsLoaded() const;

    // Reports a pack that is loaded but cannot serve.
    void ReportFailure(PackFailure failure) const;

  private:
    struct Document;
    std::filesystem::path folder_;
    PackFailureHandler onFailure_;
    std::unique_ptr<Document> document_;
};

}  // namespace vorlix
