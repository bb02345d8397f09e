// The update file from the publisher's server, of any content: as a cipher
// text straight, or as a plain text enciphered with the built-in key so that
// sections and keys are reached. Decipher, split, every question and the
// version comparison run; the check ends with one of its outcomes and the
// local copy is gone afterwards.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "language/Language.h"
#include "ui/EndProgram.h"
#include "update/GostCipher.h"
#include "update/UpdateFile.h"
#include "update/UpdateNotice.h"

namespace fs = std::filesystem;
using namespace vorlix;

namespace {

struct Fixture : fuzz::EnglishProgram {
    fs::path cache = fuzz::ScratchFolder("update-cache");

    Fixture() : EnglishProgram("update-program") {}
};

std::string HexOf(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex;
}

constexpr const char* kRunning[] = {"1.0.0.22", "0.0.0.0", "32767.32767.32767.32767", "2.1.0.3"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture fixture;
    if (size < 2) return 0;
    const bool plain = data[0] & 1;
    const std::string running = kRunning[(data[0] >> 1) % std::size(kRunning)];
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

    std::string cipher;
    if (plain) {
        // Whole blocks of the plain text go out and come back unchanged.
        std::string padded(input);
        padded.resize((padded.size() + 7) / 8 * 8, ' ');
        const std::string hex = HexOf(padded);
        cipher = EncipherHex(hex, KeyText());
        if (DecipherHex(cipher, KeyText()) != hex) fuzz::Fail("decipher does not undo encipher");
    } else {
        cipher = std::string(input);
    }

    for (const std::string& line : SplitUpdateLines(DecryptText(cipher))) {
        if (line.find("\r\n") != std::string::npos) fuzz::Fail("a line holding CR LF");
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        // Any value read as a version: valid ones stay in range, and two
        // versions are never each newer than the other.
        const std::string value = line.substr(equals + 1);
        if (const auto numbers = DecompositionVerStr(value)) {
            for (int part :
                 {numbers->MajorVer, numbers->MinorVer, numbers->LowVer, numbers->BuildVer}) {
                if (part < 0 || part > 32767) fuzz::Fail("a version part out of range");
            }
        }
        fuzz::SilentDialogs quiet;
        const VersionComparison there = CompareVersions(quiet, running, value);
        const VersionComparison back = CompareVersions(quiet, value, running);
        if (!there.InvalidVersion && !back.InvalidVersion && there.NewerThanPublished &&
            back.NewerThanPublished) {
            fuzz::Fail("each version newer than the other");
        }
        if (there.SameVersion != back.SameVersion) fuzz::Fail("equality that is not mutual");
    }

    const fs::path copy = fixture.cache / "Update.txt";
    std::ofstream(copy, std::ios::binary | std::ios::trunc) << cipher << "\r\n";
    UpdateFile file;
    fixture.dialogs.messages.clear();
    try {
        const UpdateNotice notice = GetUpdateNotice(
            fixture.dialogs, fixture.language, file, copy.string(), [] {}, running);
        if (notice.outcome == UpdateOutcome::NewerPublished && notice.text.empty()) {
            fuzz::Fail("a newer version without its notice");
        }
    } catch (const ProgramEnded&) {
        fuzz::Fail("the update check ended the program");
    }
    if (fs::exists(copy)) fuzz::Fail("the local copy outlived the check");
    return 0;
}
