#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "digest/DigestAlgorithm.h"
#include "util/ProgramLocation.h"

namespace vorlix {

class Dialogs;
class FileAssociation;
class SettingsStore;

// The settings of this user (modOptions): the store, the in-memory copies the
// rest of the program works on, the defaults and the check.
class Options {
  public:
    Options(SettingsStore& store, Dialogs& dialogs, FileAssociation& association,
            ProgramLocation location);

    bool HasStoredVersion();
    void WriteDefaultSettings();
    void CheckSettings();

    // The start of the main window: defaults on first use, the check, the
    // repair of a missing language. Returns the language to start in: Czech
    // when the stored one has no pack (the check has reported it then).
    std::int32_t RunStartSequence();

    // A run that does command-line work may have nobody to answer; the
    // question that registers the program is then never asked.
    void SetAssociationQuestionAllowed(bool allowed) { associationQuestionAllowed_ = allowed; }

    // Remembers the last chosen file, in memory and in the store at once.
    void StoreLastUsedPath(const std::string& path);

    // Writes one key of the section "Configuration", as the options window saves.
    void SaveSetting(const std::string& key, const std::string& value);

    // The association that the check offers to register, for the options window.
    FileAssociation& Association() const { return association_; }

    // How the store spells the checksum layout choice.
    static std::string BooleanText(bool value) { return value ? "True" : "False"; }

    // In-memory copies, program-wide.
    std::string VersionProgram;
    std::string LastUsedPath;
    std::string DefaultLanguage;
    bool DefaultContentMD5File = false;
    // Digests the main window computes beside MD5 (SHA-1, SHA-256, SHA-512,
    // BLAKE2b); none by default.
    DigestSet AlsoCompute;
    // The digest of folder checksum files.
    DigestAlgorithm FolderDigest = DigestAlgorithm::Md5;

  private:
    std::string ReadSetting(const std::string& key);
    bool StoreFailed();
    void UseDefaultsInMemory();

    SettingsStore& store_;
    Dialogs& dialogs_;
    FileAssociation& association_;
    ProgramLocation location_;
    bool associationQuestionAllowed_ = true;
    bool storeFailureReported_ = false;
};

// Section and keys of the store.
inline constexpr const char* kSettingsSection = "Configuration";
inline constexpr const char* kKeyVersionProgram = "VersionProgram";
inline constexpr const char* kKeyCopyright = "Copyright";
inline constexpr const char* kKeyLastUsedPath = "LastUsedPath";
inline constexpr const char* kKeyDefaultLanguage = "DefaultLanguage";
inline constexpr const char* kKeyDefaultContentMD5File = "DefaultContentMD5File";
// Added later than the keys above: a store without them holds the defaults.
inline constexpr const char* kKeyAlsoCompute = "AlsoCompute";
inline constexpr const char* kKeyFolderDigest = "FolderDigest";

// The digests the main window may compute beside MD5.
inline constexpr std::array<DigestAlgorithm, 4> kAlsoComputable = {
    DigestAlgorithm::Sha1, DigestAlgorithm::Sha256, DigestAlgorithm::Sha512,
    DigestAlgorithm::Blake2b};
// "sha256,blake2b": names on the command line, in any case; what is not
// one of kAlsoComputable is passed over.
DigestSet ParseAlsoCompute(std::string_view text);
std::string AlsoComputeText(DigestSet set);

// "True"/"False" in any letter case, or a decimal number (0 is false, any
// other number true); nothing for any other text.
std::optional<bool> ParseSettingsBoolean(std::string_view text);

}  // namespace vorlix
