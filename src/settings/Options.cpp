#include "settings/Options.h"

#include <cstdlib>

#include "identity/ProductInfo.h"
#include "identity/Version.h"
#include "language/LanguageSwitch.h"
#include "settings/FileAssociation.h"
#include "settings/SettingsStore.h"
#include "ui/Dialogs.h"
#include "util/Text.h"

namespace vorlix {

namespace {

bool IsKnownLanguage(std::string_view text) { return text == "1027" || text == "1033"; }

bool IsDecimalNumber(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    bool digits = false;
    bool point = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

}  // namespace

DigestSet ParseAlsoCompute(std::string_view text) {
    DigestSet set;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const auto name = Trim(text.substr(0, comma));
        text = comma == text.npos ? std::string_view() : text.substr(comma + 1);
        const auto algorithm = AlgorithmNamed(name);
        if (!algorithm) continue;
        for (DigestAlgorithm computable : kAlsoComputable) {
            if (computable == *algorithm) set.Add(*algorithm);
        }
    }
    return set;
}

std::string AlsoComputeText(DigestSet set) {
    std::string text;
    for (DigestAlgorithm algorithm : kAlsoComputable) {
        if (!set.Has(algorithm)) continue;
        if (!text.empty()) text += ',';
        text += CommandLineName(algorithm);
    }
    return text;
}

std::optional<bool> ParseSettingsBoolean(std::string_view text) {
    text = Trim(text);
    const std::string lower = AsciiLower(text);
    if (lower == "true") return true;
    if (lower == "false") return false;
    if (!IsDecimalNumber(text)) return std::nullopt;
    for (char c : text) {
        if (c >= '1' && c <= '9') return true;
    }
    return false;
}

Options::Options(SettingsStore& store, Dialogs& dialogs, FileAssociation& association,
                 ProgramLocation location)
    : store_(store), dialogs_(dialogs), association_(association), location_(std::move(location)) {}

std::string Options::ReadSetting(const std::string& key) {
    return store_.Read(kSettingsSection, key);
}

void Options::SaveSetting(const std::string& key, const std::string& value) {
    store_.Write(kSettingsSection, key, value);
    StoreFailed();
}

// Told once per run: every later read or write would only say the same again.
bool Options::StoreFailed() {
    const auto& failure = store_.Failure();
    if (!failure) return false;
    if (!storeFailureReported_) {
        storeFailureReported_ = true;
        dialogs_.MessageBox("Konfiguraci nelze načíst ani uložit (" + *failure +
                                "). Program pokračuje s výchozím nastavením.",
                            "Chyba konfigurace", MessageIcon::Stop);
    }
    return true;
}

// What the defaults would have made of the store, without the store.
void Options::UseDefaultsInMemory() {
    VersionProgram = VersionString() + " " + BuildString();
    LastUsedPath = location_.folder.string();
    DefaultLanguage = std::to_string(kCzech);
    DefaultContentMD5File = false;
    AlsoCompute = {};
    FolderDigest = DigestAlgorithm::Md5;
}

bool Options::HasStoredVersion() {
    VersionProgram = ReadSetting(kKeyVersionProgram);
    const auto first = VersionProgram.find_first_not_of(' ');
    return first != std::string::npos;
}

void Options::WriteDefaultSettings() {
    SaveSetting(kKeyVersionProgram, VersionString() + " " + BuildString());
    SaveSetting(kKeyCopyright, ProductInfo::OfThisBuild().companyName);
    SaveSetting(kKeyLastUsedPath, location_.folder.string());
    SaveSetting(kKeyDefaultLanguage, std::to_string(kCzech));
    SaveSetting(kKeyDefaultContentMD5File, BooleanText(false));
}

void Options::CheckSettings() {
    int badRecords = 0;

    VersionProgram = ReadSetting(kKeyVersionProgram);
    LastUsedPath = ReadSetting(kKeyLastUsedPath);
    DefaultLanguage = ReadSetting(kKeyDefaultLanguage);
    if (StoreFailed()) {
        UseDefaultsInMemory();
        return;
    }
    // A language without a pack would stop every start at the pack loader; it
    // is reported like any bad record and the run goes on in Czech.
    if (!DefaultLanguage.empty() && !IsKnownLanguage(DefaultLanguage)) {
        ++badRecords;
        DefaultLanguage = std::to_string(kCzech);
    }

    if (VersionProgram.empty()) {
        WriteDefaultSettings();
        if (StoreFailed()) {
            UseDefaultsInMemory();
            return;
        }
        if (associationQuestionAllowed_) {
            const Answer answer = dialogs_.MessageBox(
                "Chcete zaregistrovat soubor typu .MD5 pro automatické použití v tomto programu?",
                "Dotaz", MessageIcon::Question, MessageButtons::YesNo);
            // What the desktop refused is noted, not shown: the options
            // window shows the state.
            if (answer == Answer::Yes) {
                association_.AssociateExtension("md5", association_.BuildExeFullPath(),
                                                association_.TypeName());
            }
        }
    }

    const std::string layout = ReadSetting(kKeyDefaultContentMD5File);
    if (StoreFailed()) {
        UseDefaultsInMemory();
        return;
    }
    if (const auto standardLayout = ParseSettingsBoolean(layout)) {
        DefaultContentMD5File = *standardLayout;
    } else {
        ++badRecords;
    }

    // Kept apart from the bad records: an older store lacks them, and a value
    // that is not understood only leaves the default in place.
    AlsoCompute = ParseAlsoCompute(ReadSetting(kKeyAlsoCompute));
    FolderDigest =
        AlgorithmNamed(Trim(ReadSetting(kKeyFolderDigest))).value_or(DigestAlgorithm::Md5);

    if (badRecords > 0) {
        dialogs_.MessageBox(
            "Nalezeny chybné záznamy konfigurace v registru: " + std::to_string(badRecords) +
                " Prosím proveďte obnovení konfigurace do výchozího nastavení",
            "Chyba konfigurace", MessageIcon::Stop);
    }
}

std::int32_t Options::RunStartSequence() {
    if (!HasStoredVersion()) WriteDefaultSettings();
    CheckSettings();
    if (DefaultLanguage.empty()) {
        WriteDefaultSettings();
        CheckSettings();
    }
    return DefaultLanguage == "1033" ? kEnglish : kCzech;
}

void Options::StoreLastUsedPath(const std::string& path) {
    LastUsedPath = path;
    SaveSetting(kKeyLastUsedPath, path);
}

}  // namespace vorlix
