#include "checksum/ChecksumVerification.h"

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>

#include "checksum/ChecksumFile.h"
#include "digest/FileDigest.h"
#include "util/FileExists.h"

namespace vorlix {
namespace {

using Kind = VerifyMessage::Kind;

// A verification under way: the messages so far and how it stands.
class Verification {
  public:
    explicit Verification(const VerifyDigestRunner& runDigest) : runDigest_(runDigest) {}

    // Records a message; a failure makes the whole a failure.
    void Say(Kind kind, std::string subject) {
        result_.messages.push_back({kind, std::move(subject)});
        if (kind != Kind::Success) anyFailure_ = true;
    }

    // The data file's digest; nothing when the user cancelled it or it could
    // not be read, which ends the verification.
    std::optional<std::string> DigestDataFile(const std::string& dataPath) {
        // A name from a checksum file may point anywhere, a disk included;
        // only a regular file is read for it.
        FileDigestResult digest;  // a read error unless the file is digested
        struct stat info {};
        if (::stat(dataPath.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            digest = runDigest_ ? runDigest_(dataPath)
                                : ComputeFileDigest(dataPath, {}, nullptr, FileKind::RegularOnly);
        }
        switch (digest.status) {
            case FileDigestResult::Status::Ok:
                return std::move(digest.digest);
            case FileDigestResult::Status::Cancelled:
                stopped_ = VerifyOutcome::Cancelled;
                return std::nullopt;
            case FileDigestResult::Status::ReadError:
                break;
        }
        stopped_ = VerifyOutcome::ReadError;
        result_.unreadPath = dataPath;
        result_.unreadReason = ReadErrorReason(digest);
        return std::nullopt;
    }

    // The result once nothing more is to be done; NothingDone when no message was recorded.
    VerifyResult Finish() {
        if (stopped_) {
            result_.outcome = *stopped_;
        } else if (!result_.messages.empty()) {
            result_.outcome = anyFailure_ ? VerifyOutcome::Failed : VerifyOutcome::Passed;
        }
        return std::move(result_);
    }

  private:
    const VerifyDigestRunner& runDigest_;
    VerifyResult result_;
    bool anyFailure_ = false;
    std::optional<VerifyOutcome> stopped_;
};

// The first difference ends it; the lines' order decides which is found first.
VerifyResult VerifySectioned(Verification& verification, const std::string& checksumPath,
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
                verification.Say(Kind::MissingFile, name);
                return verification.Finish();
            }
            digest = verification.DigestDataFile(dataPath);
            if (!digest) return verification.Finish();
            std::error_code error;
            const auto length = std::filesystem::file_size(dataPath, error);
            size = error ? std::nullopt : std::optional<std::uint64_t>(length);
        }
        // A digest or length standing before the name was never checked.
        if (parsed.checksum && (!digest || !SameDigest(parsed.value, *digest))) {
            verification.Say(Kind::DigestMismatch, name);
            return verification.Finish();
        }
        if (parsed.length && (!size || ParseLengthValue(parsed.value) != size)) {
            verification.Say(Kind::LengthMismatch, name);
            return verification.Finish();
        }
    }
    verification.Say(Kind::Success, name);
    return verification.Finish();
}

// Every entry for the data file gets its own message.
VerifyResult VerifyStandard(Verification& verification, const std::string& checksumPath,
                            std::istream& in) {
    const auto dataName = ExpectedDataName(checksumPath);
    if (!dataName) return verification.Finish();
    const std::string dataPath = ResolveDataPath(checksumPath, *dataName);

    std::optional<std::string> digest;
    ChecksumLineReader reader(in);
    for (std::string line; reader.Next(line);) {
        if (reader.Cut()) continue;  // a line known only in part says nothing
        const auto entry = ParseStandardEntry(line);
        if (!entry || !IsEntryFor(*entry, *dataName)) continue;
        if (!digest) {
            if (!FileExists(dataPath)) {
                verification.Say(Kind::MissingFile, *dataName);
                return verification.Finish();
            }
            digest = verification.DigestDataFile(dataPath);
            if (!digest) return verification.Finish();
        }
        verification.Say(SameDigest(entry->digest, *digest) ? Kind::Success : Kind::DigestMismatch,
                         checksumPath);
    }
    return verification.Finish();
}

VerifyResult Unrecognised(const std::string& checksumPath) {
    VerifyResult result;
    result.outcome = VerifyOutcome::Failed;
    result.messages.push_back({Kind::Unrecognised, checksumPath});
    return result;
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

VerifyResult VerifyChecksumFile(const std::string& checksumPath,
                                const VerifyDigestRunner& runDigest) {
    if (!FileExists(checksumPath)) return {};
    const auto in = OpenChecksumFile(checksumPath);
    if (!in) return Unrecognised(checksumPath);
    return VerifyChecksumFile(checksumPath, *in, runDigest);
}

VerifyResult VerifyChecksumFile(const std::string& checksumPath, std::istream& in,
                                const VerifyDigestRunner& runDigest) {
    const auto rewind = [&in] {
        in.clear();
        return static_cast<bool>(in.seekg(0));
    };
    const int layout = rewind() ? DetectChecksumFileLayout(checksumPath, in) : kLayoutUnrecognised;
    if (layout == kLayoutUnrecognised || !rewind()) {
        return Unrecognised(checksumPath);
    }
    Verification verification(runDigest);
    return layout == kLayoutSectioned ? VerifySectioned(verification, checksumPath, in)
                                      : VerifyStandard(verification, checksumPath, in);
}

}  // namespace vorlix
