// A language pack of any content: it either loads and answers every lookup
// with a trimmed text, or fails, reports that once and leaves no pack
// loaded. Never a hang (libFuzzer's time-out catches one).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "fuzz/FuzzSupport.h"
#include "language/Language.h"

namespace fs = std::filesystem;
using namespace vorlix;

namespace {

// Every section of the shipped packs with a key from it, and a few that no
// pack has.
const std::pair<const char*, const char*> kLookups[] = {
    {"frmVorlix", "cmndCalculate"},
    {"frmVorlix", "lblFileSource"},
    {"frmOptions", "Caption"},
    {"frmAbout", "lblDisclaimer"},
    {"frmUpdateProcess", "Caption"},
    {"modAvizo_v4", "Text1"},
    {"modAssociateExtension", "Text1"},
    {"modVorlix", "msgbox1Text1"},
    {"Generic", "ButtonCancelCaption"},
    {"MainMenu", "mnuFile"},
    {"Head", "LanguageFileNo"},
    {"Head", "Version"},
    {"", ""},
    {"Vorlix_LanguageFile", "Head"},
    {"nosection", "nokey"},
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fs::path folder = fuzz::ScratchFolder("packs");
    std::ofstream(folder / "1027.xml", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    int failures = 0;
    Language language(folder, [&failures](PackFailure failure, const std::string& fileName) {
        if (failure != PackFailure::Unreadable || fileName != "1027.xml") {
            fuzz::Fail("a load reported a failure other than its pack's");
        }
        ++failures;
    });
    const bool loaded = language.LoadLanguageFile(1027);
    if (loaded != language.IsLoaded()) fuzz::Fail("a load said other than what it left");
    if (failures != (loaded ? 0 : 1)) fuzz::Fail("a failed load was not reported once");
    if (!loaded) return 0;
    for (const auto& [section, key] : kLookups) {
        const std::string text = language.GetLabel(section, key);
        if (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back()))) {
            fuzz::Fail("a label with blanks around it");
        }
    }
    if (failures != 0) fuzz::Fail("a loaded pack reported a failure");
    return 0;
}
