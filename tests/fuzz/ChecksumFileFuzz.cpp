// A checksum file of any content, under each of a few names, beside a small
// fixed data folder: layout detection, both readers and the verification.
// The verification passes only when every message it has is a success, and
// never creates, removes or changes a file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "checksum/ChecksumFile.h"
#include "checksum/ChecksumVerification.h"
#include "fuzz/FuzzSupport.h"

namespace fs = std::filesystem;
using namespace vorlix;

namespace {

struct Fixture : fuzz::EnglishProgram {
    fs::path data = fuzz::ScratchFolder("checksum-data");

    Fixture() : EnglishProgram("checksum-program") {
        Write("a.txt", "The quick brown fox");
        Write("empty", "");
        fs::create_directories(data / "sub");
        Write("sub/b.bin", std::string("\0\x01\x02 binary\r\n", 12));
    }

    void Write(const std::string& name, std::string_view content) {
        std::ofstream(data / name, std::ios::binary).write(content.data(), content.size());
    }
};

// Names the checksum file may have: each makes a different data file expected.
constexpr const char* kChecksumNames[] = {"a.txt.MD5", "empty.md5", "sub.md5", "x.md5",
                                          "noextension"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture fixture;
    if (size == 0) return 0;
    const std::string checksumName = kChecksumNames[data[0] % std::size(kChecksumNames)];
    const std::string_view content(reinterpret_cast<const char*>(data + 1), size - 1);

    const fs::path checksumPath = fixture.data / checksumName;
    fixture.Write(checksumName, content);
    const fuzz::FolderSnapshot before = fuzz::Snapshot(fixture.data);

    // The readers on their own, line by line.
    for (const std::string& line : SplitChecksumLines(content)) {
        const int markers = CountSectionMarkers(line);
        if (markers < 0 || markers > 6) fuzz::Fail("marker count out of range");
        const SectionedLine sectioned = ParseSectionedLine(line);
        if (const auto length = ParseLengthValue(sectioned.value)) {
            // A length is read from digits only: written back it is found again.
            if (sectioned.value.find(std::to_string(*length)) == std::string::npos &&
                *length != 0) {
                fuzz::Fail("a length that the value does not hold");
            }
        }
        if (const auto entry = ParseStandardEntry(line)) {
            if (entry->digest.find('*') != std::string::npos) fuzz::Fail("a digest holding \"*\"");
            (void)IsEntryFor(*entry, "a.txt");
        }
    }

    const int layout = DetectChecksumFileLayout(checksumPath.string());
    if (layout < kLayoutUnrecognised || layout > kLayoutStandard) fuzz::Fail("unknown layout code");

    const VerifyResult result = VerifyChecksumFile(checksumPath.string());
    if ((result.outcome == VerifyOutcome::ReadError) == result.unreadPath.empty()) {
        fuzz::Fail("a read error without its file, or a file without a read error");
    }
    const bool anyFailure =
        std::any_of(result.messages.begin(), result.messages.end(),
                    [](const VerifyMessage& m) { return m.kind != VerifyMessage::Kind::Success; });
    const bool stopped = result.outcome == VerifyOutcome::ReadError;
    if ((result.outcome == VerifyOutcome::Passed) !=
        (!stopped && !anyFailure && !result.messages.empty())) {
        fuzz::Fail("a verification passed with a failure in it, or failed without one");
    }

    if (fuzz::Snapshot(fixture.data) != before) fuzz::Fail("the verification changed a file");
    fs::remove(checksumPath);
    return 0;
}
