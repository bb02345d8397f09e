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
#include "checksum/DigestText.h"
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

    // Half the lists are named as BLAKE2b lists, which b2sum reads its own way.
    const char* listName = size % 2 == 0 ? "MD5SUMS" : "B2SUMS";
    const auto file = ChecksumListFile::OfText(text, WideDigestNamedBy(listName));
    ChecksumList list;
    while (auto entry = file->Next()) list.entries.push_back(std::move(*entry));
    list.notEntries = file->NotEntries();
    if (list.entries.size() + list.notEntries > SplitChecksumLines(text).size()) {
        fuzz::Fail("more entries and other lines than the list has lines");
    }
    for (const ChecksumListEntry& entry : list.entries) {
        // The digest is hex of the length of every algorithm it may be of.
        if (!IsHexText(entry.digest) || entry.algorithms.Empty()) {
            fuzz::Fail("an entry without a digest");
        }
        for (DigestAlgorithm algorithm : kDigestAlgorithms) {
            if (entry.algorithms.Has(algorithm) && HexDigits(algorithm) != entry.digest.size())
                fuzz::Fail("an entry whose digest is not of its algorithm's length");
        }
    }
    // A digest found in pasted text is one that stands in it.
    for (const auto& found : {FindPublishedDigest(text), ParseDigestText(text)}) {
        if (!found) continue;
        if (!IsHexText(found->digest) || AlgorithmsOfLength(found->digest.size()).Empty())
            fuzz::Fail("a published digest of no digest's length");
        if (AsciiLower(text).find(found->digest) == std::string::npos)
            fuzz::Fail("a published digest that the text does not hold");
    }

    const fs::path listPath = fixture.data / listName;
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
