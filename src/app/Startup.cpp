#include "app/Startup.h"

#include <cstdint>
#include <string>
#include <system_error>
#include <utility>

#include "app/PackInfo.h"
#include "digest/FileDigest.h"
#include "ui/Dialogs.h"
#include "ui/EmergencyHelp.h"
#include "ui/EndProgram.h"
#include "ui/ReadError.h"
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

// A pack's digest; a pack that cannot be read ends the program after the
// read-error message.
std::string PackDigest(Dialogs& dialogs, const std::string& path) {
    FileDigestResult result = ComputeFileDigest(path);
    if (result.status != FileDigestResult::Status::Ok) {
        ShowFileReadError(dialogs, path, ReadErrorReason(result));
        EndProgram(kExitFatal);
    }
    return std::move(result.digest);
}

// One number for every cause of a failed load: missing, unreadable or malformed.
constexpr const char* kLoadErrorNumber = "-2147221504";

}  // namespace

PackFailureHandler EndOnPackFailure(Dialogs& dialogs) {
    return [&dialogs](PackFailure failure, const std::string& fileName) {
        switch (failure) {
            case PackFailure::Unreadable:
                dialogs.MessageBox(std::string("Chyba č. ") + kLoadErrorNumber +
                                       " při načítání jazykového souboru " + fileName,
                                   "Chyba čtení souboru", MessageIcon::Stop);
                ShowEmergencyHelp(dialogs);
                break;
            case PackFailure::NoPack:
                ShowEmergencyHelp(dialogs);
                break;
            case PackFailure::OtherLanguage:
                break;  // ends without a word
        }
        EndProgram(kExitFatal);
    };
}

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
        if (PackDigest(dialogs, (folder / pack.fileName).string()) != pack.md5) {
            Warn(dialogs, std::string("MD5 of file ") + pack.upperName +
                              " does not match, reinstall program!");
        }
    }
}

}  // namespace vorlix
