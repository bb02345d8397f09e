// A checksum list of any content beside a small fixed data folder: every line
// is an entry or counted as not an entry, every entry gets one result, no
// line a terminal would get holds anything raw, and verifying the list never
// ends the program nor creates, removes or changes a file.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "checksum/ChecksumFile.h"
#include "checksum/ChecksumList.h"
#include "checksum/ChecksumListVerification.h"
#include "checksum/ManyFiles.h"
#include "fuzz/FuzzSupport.h"
#include "language/Language.h"
#include "ui/EndProgram.h"
#include "util/Text.h"

namespace fs = std::filesystem;
using namespace vorlix;

namespace {

struct Fixture : fuzz::EnglishProgram {
    fs::path data = fuzz::ScratchFolder("list-data");

    Fixture() : EnglishProgram("list-program") {
        std::ofstream(data / "a.txt") << "The quick brown fox";
        std::ofstream(data / "empty");
        fs::create_directories(data / "sub");
        std::ofstream(data / "sub" / "b b.bin") << "x";
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture fixture;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const ChecksumList list = ParseChecksumList(text);
    if (list.entries.size() + list.notEntries > SplitChecksumLines(text).size()) {
        fuzz::Fail("more entries and other lines than the list has lines");
    }
    for (const ChecksumListEntry& entry : list.entries) {
        if (!IsHexDigest(entry.digest)) fuzz::Fail("an entry without a digest");
    }

    const fs::path listPath = fixture.data / "MD5SUMS";
    std::ofstream(listPath, std::ios::binary | std::ios::trunc).write(text.data(), text.size());
    const fuzz::FolderSnapshot before = fuzz::Snapshot(fixture.data);
    std::size_t rows = 0;
    const ManyFilesRunner run = [&](const ManyFilesJob& job) {
        // A list keeps only its counts; the rows are counted as they pass.
        ManyFilesOutcome outcome = RunManyFiles(job, [&](const ResultRow& row) {
            ++rows;
            for (const std::string& line : {TerminalCheckLine(row), TerminalDigestLine(row)}) {
                if (!IsValidUtf8(line) || HasControlCharacter(line)) {
                    fuzz::Fail("a raw character on its way to a terminal");
                }
            }
        });
        return outcome;
    };
    const ListResult result = VerifyChecksumList(run, listPath.string());
    if (result.outcome == ListOutcome::NoUsableEntry && !list.entries.empty()) {
        fuzz::Fail("entries, yet no usable one");
    }
    if (result.outcome != ListOutcome::NoUsableEntry && rows != list.entries.size()) {
        fuzz::Fail("a result count other than the entry count");
    }
    if (result.outcome == ListOutcome::Passed && result.counts.intact != rows) {
        fuzz::Fail("a list passed with an entry that is not intact");
    }
    fixture.dialogs.messages.clear();
    if (fuzz::Snapshot(fixture.data) != before) fuzz::Fail("verifying a list changed a file");
    return 0;
}
