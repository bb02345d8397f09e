// A language pack of any content: it either loads and answers every lookup
// with a trimmed text, or fails with the load-failure message, the emergency
// help and the fatal status. Never a hang (libFuzzer's time-out catches one).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "fuzz/FuzzSupport.h"
#include "language/Language.h"
#include "ui/EndProgram.h"

namespace fs = std::filesystem;
using namespace vorlix;

namespace {

// Every section of the shipped packs with a key from it, and a few that no
// pack has.
const std::pair<const char*, const char*> kLookups[] = {
    {"frmVorlix", "cmndCalculate"},   {"frmVorlix", "lblFileSource"},
    {"frmOptions", "Caption"},        {"frmAbout", "lblDisclaimer"},
    {"frmUpdateProcess", "Caption"},  {"modAvizo_v4", "Text1"},
    {"modAssociateExtension", "Text1"}, {"modVorlix", "msgbox1Text1"},
    {"Generic", "ButtonCancelCaption"}, {"MainMenu", "mnuFile"},
    {"Head", "LanguageFileNo"},       {"Head", "Version"},
    {"", ""},                         {"Vorlix_LanguageFile", "Head"},
    {"nosection", "nokey"},
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fs::path folder = fuzz::ScratchFolder("packs");
    fuzz::InstallEndRoutine();
    std::ofstream(folder / "1027.xml", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    fuzz::SilentDialogs dialogs;
    Language language(dialogs, folder);
    try {
        language.LoadLanguageFile(1027);
    } catch (const ProgramEnded& ended) {
        if (ended.status != kExitFatal || dialogs.messages.size() != 1 ||
            dialogs.messages[0].caption != "Chyba čtení souboru" || dialogs.emergencyHelps != 1) {
            fuzz::Fail("a failed load did not end with its message and the emergency help");
        }
        if (language.IsLoaded()) fuzz::Fail("a failed load left a pack behind");
        return 0;
    }
    if (!language.IsLoaded() || !dialogs.messages.empty()) {
        fuzz::Fail("a load that returned left no pack or showed a message");
    }
    for (const auto& [section, key] : kLookups) {
        const std::string text = language.GetLabel(section, key);
        if (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back()))) {
            fuzz::Fail("a label with blanks around it");
        }
    }
    return 0;
}
