#include "checksum/ChecksumVerification.h"

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>

#include "checksum/ChecksumFile.h"
#include "digest/FileDigest.h"
#include "language/Language.h"
#include "ui/Dialogs.h"
#include "ui/EndProgram.h"
#include "util/FileExists.h"
#include "util/Text.h"

namespace vorlix {
namespace {

// The messages of a verification, texts from the "frmVorlix" section.
class VerificationMessages {
  public:
    VerificationMessages(Dialogs& dialogs, const Language& language)
        : dialogs_(dialogs), language_(language) {}

    void Unrecognised(const std::string& checksumPath) {
        Show(Label("msgbox5Text1") + " " + checksumPath + " " + Label("msgbox5Text2"),
             "msgbox2Caption", MessageIcon::Stop);
    }
    void MissingFile(const std::string& dataName) {
        Show(Label("lblFileSource") + " " + dataName + " " + Label("msgbox6Text1"),
             "msgbox6Caption", MessageIcon::Stop);
    }
    void DigestMismatch(const std::string& subject) {
        Show(Label("msgbox7Text1") + " " + Utf8Upper(subject) + " " + Label("msgbox7Text2"),
             "msgbox6Caption", MessageIcon::Stop);
    }
    void LengthMismatch(const std::string& subject) {
        Show(Label("msgbox8Text1") + " " + Utf8Upper(subject) + " " + Label("msgbox8Text2"),
             "msgbox6Caption", MessageIcon::Stop);
    }
    void Success(const std::string& subject) {
        Show(Label("msgbox9Text1") + " " + Utf8Upper(subject) + " " + Label("msgbox9Text2"),
             "msgbox9Text3", MessageIcon::Information);
    }

  private:
    std::string Label(std::string_view key) const { return language_.GetLabel("frmVorlix", key); }
    void Show(const std::string& text, std::string_view captionKey, MessageIcon icon) {
        dialogs_.MessageBox(text, Label(captionKey), icon);
    }

    Dialogs& dialogs_;
    const Language& language_;
};

// The data file's digest; nothing when the user cancelled it. A read error
// ends the program after its message.
std::optional<std::string> DigestDataFile(Dialogs& dialogs, const VerifyDigestRunner& runDigest,
                                          const std::string& dataPath) {
    // A name from a checksum file may point anywhere, a disk included; only a
    // regular file is read for it.
    FileDigestResult result;  // a read error unless the file is digested
    struct stat info {};
    if (::stat(dataPath.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        result = runDigest ? runDigest(dataPath)
                           : ComputeFileDigest(dataPath, {}, nullptr, FileKind::RegularOnly);
    }
    switch (result.status) {
        case FileDigestResult::Status::Ok:
            return result.digest;
        case FileDigestResult::Status::Cancelled:
            return std::nullopt;
        case FileDigestResult::Status::ReadError:
            break;
    }
    ShowFileReadError(dialogs, dataPath, result);
    EndProgram(kExitFatal);
}

// The first difference ends it; the lines' order decides which is found first.
VerifyOutcome VerifySectioned(VerificationMessages& messages, Dialogs& dialogs,
                              const VerifyDigestRunner& runDigest, const std::string& checksumPath,
                              std::istream& in) {
    std::string name;
    std::optional<std::string> digest;  // computed once a "FileName" line was read
    std::optional<std::uint64_t> size;
    ChecksumLineReader reader(in);
    for (std::string line; reader.Next(line);) {
        if (reader.Cut()) continue;  // a line known only in part says nothing
        const SectionedLine parsed = ParseSectionedLine(line);
        if (parsed.fileName) {
            name = parsed.value;
            const std::string dataPath = ResolveDataPath(checksumPath, name);
            if (!IsUsableRecordedName(name) || !FileExists(dataPath)) {
                messages.MissingFile(name);
                return VerifyOutcome::Failed;
            }
            digest = DigestDataFile(dialogs, runDigest, dataPath);
            if (!digest) return VerifyOutcome::Cancelled;
            std::error_code error;
            const auto length = std::filesystem::file_size(dataPath, error);
            size = error ? std::nullopt : std::optional<std::uint64_t>(length);
        }
        // A digest or length standing before the name was never checked.
        if (parsed.checksum && (!digest || !SameDigest(parsed.value, *digest))) {
            messages.DigestMismatch(name);
            return VerifyOutcome::Failed;
        }
        if (parsed.length && (!size || ParseLengthValue(parsed.value) != size)) {
            messages.LengthMismatch(name);
            return VerifyOutcome::Failed;
        }
    }
    messages.Success(name);
    return VerifyOutcome::Passed;
}

// Every entry for the data file gets its own message.
VerifyOutcome VerifyStandard(VerificationMessages& messages, Dialogs& dialogs,
                             const VerifyDigestRunner& runDigest, const std::string& checksumPath,
                             std::istream& in) {
    const auto dataName = ExpectedDataName(checksumPath);
    if (!dataName) return VerifyOutcome::NothingDone;
    const std::string dataPath = ResolveDataPath(checksumPath, *dataName);

    std::optional<std::string> digest;
    bool anyEntry = false;
    bool anyFailure = false;
    ChecksumLineReader reader(in);
    for (std::string line; reader.Next(line);) {
        if (reader.Cut()) continue;  // a line known only in part says nothing
        const auto entry = ParseStandardEntry(line);
        if (!entry || !IsEntryFor(*entry, *dataName)) continue;
        anyEntry = true;
        if (!digest) {
            if (!FileExists(dataPath)) {
                messages.MissingFile(*dataName);
                return VerifyOutcome::Failed;
            }
            digest = DigestDataFile(dialogs, runDigest, dataPath);
            if (!digest) return VerifyOutcome::Cancelled;
        }
        if (SameDigest(entry->digest, *digest)) {
            messages.Success(checksumPath);
        } else {
            messages.DigestMismatch(checksumPath);
            anyFailure = true;
        }
    }
    if (!anyEntry) return VerifyOutcome::NothingDone;
    return anyFailure ? VerifyOutcome::Failed : VerifyOutcome::Passed;
}

}  // namespace

std::string ResolveDataPath(std::string_view checksumPath, std::string_view dataName) {
    return JoinDataPath(ChecksumFileFolder(checksumPath), dataName);
}

std::string ChecksumFileFolder(std::string_view checksumPath) {
    return std::filesystem::path(checksumPath).parent_path().string();
}

std::string JoinDataPath(std::string_view folder, std::string_view dataName) {
    // What std::filesystem's "/" gives on this system, without building a
    // path for each of a list's entries.
    if (dataName.empty() || dataName.front() == '/' || folder.empty()) {
        return std::string(dataName);
    }
    std::string path;
    path.reserve(folder.size() + 1 + dataName.size());
    path += folder;
    if (path.back() != '/') path += '/';
    path += dataName;
    return path;
}

bool SameDigest(std::string_view stored, std::string_view computed) {
    if (stored.size() != computed.size()) return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (lower(stored[i]) != lower(computed[i])) return false;
    }
    return true;
}

VerifyOutcome VerifyChecksumFile(Dialogs& dialogs, const Language& language,
                                 const std::string& checksumPath,
                                 const VerifyDigestRunner& runDigest) {
    if (!FileExists(checksumPath)) return VerifyOutcome::NothingDone;
    std::ifstream in;
    if (!OpenChecksumFile(checksumPath, in)) {
        VerificationMessages(dialogs, language).Unrecognised(checksumPath);
        return VerifyOutcome::Failed;
    }
    return VerifyChecksumFile(dialogs, language, checksumPath, in, runDigest);
}

VerifyOutcome VerifyChecksumFile(Dialogs& dialogs, const Language& language,
                                 const std::string& checksumPath, std::istream& in,
                                 const VerifyDigestRunner& runDigest) {
    VerificationMessages messages(dialogs, language);
    const auto rewind = [&in] {
        in.clear();
        return static_cast<bool>(in.seekg(0));
    };
    const int layout = rewind() ? DetectChecksumFileLayout(checksumPath, in) : kLayoutUnrecognised;
    if (layout == kLayoutUnrecognised || !rewind()) {
        messages.Unrecognised(checksumPath);
        return VerifyOutcome::Failed;
    }
    return layout == kLayoutSectioned
               ? VerifySectioned(messages, dialogs, runDigest, checksumPath, in)
               : VerifyStandard(messages, dialogs, runDigest, checksumPath, in);
}

}  // namespace vorlix
