#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checksum/ChecksumFile.h"
#include "digest/FileDigest.h"

namespace vorlix {

class Language;

struct ChecksumList {
    std::vector<ChecksumListEntry> entries;
    std::size_t notEntries =
        0;  // lines that hold something else; blanks and "#" lines do not count
};

// A checksum list read an entry at a time, as md5sum -c reads it (see
// ChecksumListLineParser), so that a list of any size is never held whole.
// A line over the length limit is not an entry.
class ChecksumListFile {
  public:
    // Nothing when the file cannot be opened or is no regular file.
    static std::unique_ptr<ChecksumListFile> Open(const std::string& checksumPath);
    static std::unique_ptr<ChecksumListFile> OfText(
        std::string_view text, std::optional<DigestAlgorithm> wide = std::nullopt);

    // The next entry; nothing at the end.
    std::optional<ChecksumListEntry> Next();
    // The line the last entry was read from.
    const std::string& Line() const { return line_; }
    // Lines passed so far that are not entries; blank and "#" lines do not count.
    std::size_t NotEntries() const { return notEntries_; }
    // Markers of the sectioned layout on those lines.
    std::uint64_t Markers() const { return markers_; }
    // Back to the first line, the very file that was read.
    void Rewind();
    // The file's content, for a reading of another kind.
    std::istream& Content() { return *in_; }

  private:
    ChecksumListFile(std::unique_ptr<std::istream> in, std::optional<DigestAlgorithm> wide);

    std::unique_ptr<std::istream> in_;
    std::optional<ChecksumLineReader> reader_;
    ChecksumListLineParser parser_;
    std::optional<DigestAlgorithm> wide_;  // what the list's name says of 128 digits
    std::string line_;
    std::size_t notEntries_ = 0;
    std::uint64_t markers_ = 0;
};

// The whole list at once, for lists known to be small.
ChecksumList ParseChecksumList(std::string_view text);

enum class ChecksumFileKind {
    Single,         // one data file, named after the checksum file itself
    List,           // entries for other files: every one is verified
    NoUsableEntry,  // named like a list, yet without a single entry
    Unreadable,     // no regular file, or one that cannot be opened, whatever its name
};

// A checksum file is read as one data file's (with its own messages) only
// when that reading checks the very entries md5sum -c would: a sectioned file
// without a single list entry, or a file named after its data file whose
// every list entry the standard layout reads alike, for that file. Anything
// else is a list, every entry of which is verified. A file whose name gives
// no data file is read as a list in any case.
ChecksumFileKind ClassifyChecksumFile(const std::string& checksumPath);

// The same, and the file itself back at its start: the list that was
// classified is the list that is verified.
struct ClassifiedChecksumFile {
    ChecksumFileKind kind = ChecksumFileKind::NoUsableEntry;
    std::size_t entries = 0;  // list entries counted
    // The file read, back at its start; none when it could not be opened.
    std::unique_ptr<ChecksumListFile> file;
};
ClassifiedChecksumFile ReadClassifiedChecksumFile(const std::string& checksumPath);

// What became of one file of a run over many.
enum class EntryStatus {
    Intact,      // digest as recorded
    Damaged,     // digest differs
    Missing,     // no such file
    Unreadable,  // there, but could not be read
    Digested,    // nothing to compare with (a folder or dropped files)
    Cancelled,   // the run stopped before this file
};

struct ResultRow {
    std::string name;  // as the list or folder gives it
    std::string path;  // what was read
    EntryStatus status = EntryStatus::Cancelled;
    std::uint64_t size = 0;
    std::string digest;                                // computed, when read
    DigestAlgorithm algorithm = DigestAlgorithm::Md5;  // of that digest
    int errorNumber = 0;
};

ResultRow ClassifyResult(std::string name, std::string path,
                         const std::optional<std::string>& expected,
                         const FileDigestResult& result);

bool IsProblem(EntryStatus status);

// md5sum -c's line for an entry, without the line end: "NAME: OK",
// "NAME: FAILED", "NAME: FAILED open or read".
std::string Md5sumCheckLine(const ResultRow& row);

// md5sum's line for a digested file, without the line end: "DIGEST  NAME",
// with a leading backslash and the name escaped when it needs it.
std::string Md5sumDigestLine(const ResultRow& row);

// The same lines for a terminal, through the one escape of everything the
// console shows: md5sum's leading backslash and escapes, and "\xHH" for
// every other control character and every byte that is not UTF-8.
std::string TerminalCheckLine(const ResultRow& row);
std::string TerminalDigestLine(const ResultRow& row);

struct ResultCounts {
    std::size_t files = 0;  // checked: every row but the cancelled ones
    std::size_t intact = 0;
    std::size_t damaged = 0;
    std::size_t missing = 0;
    std::size_t unreadable = 0;
    std::size_t digested = 0;
    std::size_t cancelled = 0;
    std::uint64_t bytes = 0;  // of the files read
};
ResultCounts CountResults(const std::vector<ResultRow>& rows);
void CountResult(ResultCounts& counts, const ResultRow& row);

// The message after a list: its path, then one count to a line.
std::string ChecksumListSummaryText(const Language& language, const std::string& checksumPath,
                                    const ResultCounts& counts, std::size_t notEntries);

// Every entry intact, nothing cancelled.
bool ListPassed(const ResultCounts& counts);

}  // namespace vorlix
