#include "app/Startup.h"

#include <cstdint>
#include <string>
#include <system_error>

#include "app/PackInfo.h"
#include "digest/FileDigest.h"
#include "ui/Dialogs.h"
#include "ui/EndProgram.h"
#include "util/FileExists.h"
#include "util/ProgramLocation.h"

namespace vorlix {
namespace {

struct ShippedPack {
    const char* fileName;
    const char* upperName;  // as the warnings spell it
    std::uint64_t length;
    const char* md5;
    const char* missingText;
};

// The two missing-pack texts differ by their final full stop; both are kept
// exactly as users have always read them.
const ShippedPack kPacks[] = {
    {"1027.xml", "1027.XML", packinfo::kCzechLength, packinfo::kCzechMd5,
     "No language pack 1027.xml found, the programme cannot continue."},
    {"1033.xml", "1033.XML", packinfo::kEnglishLength, packinfo::kEnglishMd5,
     "No language pack 1033.xml found, the programme cannot continue"},
};

void Warn(Dialogs& dialogs, const std::string& text) {
    dialogs.MessageBox(text, "Warning", MessageIcon::Information);
}

}  // namespace

void CheckLanguagePacks(Dialogs& dialogs, const std::filesystem::path& programFolder) {
    const std::filesystem::path folder = LanguagesFolderOf(programFolder);

    for (const ShippedPack& pack : kPacks) {
        if (!FileExists((folder / pack.fileName).string())) {
            dialogs.MessageBox(pack.missingText, "Error", MessageIcon::Stop);
            EndProgram(kExitFatal);
        }
    }
    for (const ShippedPack& pack : kPacks) {
        std::error_code error;
        const std::uintmax_t length = std::filesystem::file_size(folder / pack.fileName, error);
        if (error || length != pack.length) {
            Warn(dialogs, std::string("File length ") + pack.upperName +
                              " does not match, reinstall program!");
        }
    }
    for (const ShippedPack& pack : kPacks) {
        if (FileDigestText(dialogs, (folder / pack.fileName).string()) != pack.md5) {
            Warn(dialogs, std::string("MD5 of file ") + pack.upperName +
                              " does not match, reinstall program!");
        }
    }
}

}  // namespace vorlix
