#pragma once

#include <cstdint>
#include <ctime>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "checksum/SaveFile.h"
#include "digest/DigestAlgorithm.h"

namespace vorlix {

class Clock;
class Dialogs;
class Language;

// Layout codes of a checksum file.
enum ChecksumLayout : int {
    kLayoutUnrecognised = 0,
    kLayoutSectioned = 1,
    kLayoutStandard = 2,
};

// --- Writing -------------------------------------------------------------

// Who wrote the file, for the comment line.
struct ChecksumIdentity {
    std::string product;  // "Vorlix"
    std::string version;  // VersionString
    std::string build;    // BuildString
};

// The identity of the running program.
ChecksumIdentity ProgramChecksumIdentity();

// "# Created <product> <version>, <build> dd-mm-yyyy hh:mm:ss " (ends with a
// blank, no line end).
std::string ChecksumCommentLine(const std::tm& now, const ChecksumIdentity& identity);

// Whole file contents, CR LF after every line.
std::string StandardLayoutText(std::string_view commentLine, std::string_view digest,
                               std::string_view recordedName);
std::string SectionedLayoutText(std::string_view commentLine, std::string_view recordedName,
                                std::string_view digest, std::string_view sizeText);

struct ChecksumSaveRequest {
    std::string dataPath;    // the path box
    std::string digestText;  // shown digest
    std::string sizeText;    // shown size, "1024 bytes"
    bool standardLayout = false;
    bool autoMode = false;  // no confirmation
    // Another digest than MD5 goes to "<dataPath>.SHA256" (the name's upper
    // case), always in the standard layout.
    DigestAlgorithm algorithm = DigestAlgorithm::Md5;
};

// Saves "<dataPath>.MD5" through SaveFile: asks before overwriting, offers
// another name, never replaces the data file, writes and confirms. Every
// outcome has been shown to the user when this returns.
SaveOutcome SaveChecksumFile(Dialogs& dialogs, const Language& language, const Clock& clock,
                             const ChecksumSaveRequest& request);

// --- Reading -------------------------------------------------------------

// Lines of a checksum file. CR LF, LF and CR all end a line and a UTF-8 byte
// order mark at the very start is dropped; in md5sum's reading only LF ends
// a line, one CR before it is dropped and a byte order mark is kept.
// Lines longer than 1 MiB keep only their first MiB and are marked as cut.
// The stream is read a block at a time; lines are cut out of the block.
enum class LineEnds { CrOrLf, Md5sum };
class ChecksumLineReader {
  public:
    explicit ChecksumLineReader(std::istream& in, LineEnds ends = LineEnds::CrOrLf);
    bool Next(std::string& line);
    // The line last given is only the start of a longer one.
    bool Cut() const { return cut_; }

  private:
    bool Refill();

    std::istream& in_;
    LineEnds ends_;
    std::vector<char> block_;
    std::size_t at_ = 0;
    std::size_t end_ = 0;
    bool started_ = false;
    bool cut_ = false;
};

std::vector<std::string> SplitChecksumLines(std::string_view text);

// How many of the six section markers a line holds, each counted once.
int CountSectionMarkers(std::string_view line);
// A file is in the sectioned layout when the lines that are no list entry
// hold exactly six markers between them, whatever else they hold.
inline bool IsSectionedMarkerCount(std::uint64_t markers) { return markers == 6; }

// A line of the sectioned layout: which keys it carries and its value.
struct SectionedLine {
    bool fileName = false;
    bool checksum = false;
    bool length = false;
    std::string value;  // after the first "=", unchanged; the whole line without "="
};
SectionedLine ParseSectionedLine(std::string_view line);

// The byte count in front of a "FileLenght" value ("1024 bytes" -> 1024).
std::optional<std::uint64_t> ParseLengthValue(std::string_view value);

// One line of the standard layout: "digest *name", md5sum's "digest  name"
// (with its "\" escapes) or "MD5 (name) = digest". A line holding a raw
// control character is none.
struct StandardEntry {
    std::string digest;
    std::string name;
};
std::optional<StandardEntry> ParseStandardEntry(std::string_view line);

// 32 hex digits, either case.
bool IsHexDigest(std::string_view text);
// Hex digits only, either case, and at least one.
bool IsHexText(std::string_view text);

// md5sum's escapes undone ("\\", "\n", "\r"); nothing for any other
// escape, a backslash at the end or a NUL.
std::optional<std::string> UnescapeMd5sumName(std::string_view text);

// One entry of a checksum list, as md5sum -c reads it.
struct ChecksumListEntry {
    std::string digest;
    std::string name;  // as written, escapes undone
    // What the digest may be: one algorithm, or for 128 digits that the
    // list does not name, SHA-512 and BLAKE2b both.
    DigestSet algorithms = DigestAlgorithm::Md5;
};

// Reads the lines of one list exactly as md5sum -c does (and sha*sum -c and
// b2sum -c for their digests): "DIGEST  NAME", "DIGEST *NAME",
// "MD5 (NAME) = DIGEST" (also "MD5(NAME)= DIGEST", and "SHA256 (", "BLAKE2b
// (" and the other tags), each with an optional leading "\\" for escaped
// names and leading blanks, and the reversed "DIGEST NAME", taken only when
// the list's first entry has that form. The digest's length, or the tag,
// gives the algorithm. Names are taken as they are, control characters
// included; a name that is not escaped ends at a NUL, as md5sum's does.
class ChecksumListLineParser {
  public:
    ChecksumListLineParser() = default;
    // What 128 digits without a tag are, when the list's name says.
    explicit ChecksumListLineParser(std::optional<DigestAlgorithm> wide) : wide_(wide) {}

    // Nothing for a line that is no entry; `line` is without its line end.
    std::optional<ChecksumListEntry> Parse(std::string_view line);

  private:
    enum class Form { Undecided, Standard, Reversed };
    Form form_ = Form::Undecided;
    std::optional<DigestAlgorithm> wide_;
};

// What a list's file name says of its 128-digit digests: B2SUMS, *.b2,
// *.blake2b are BLAKE2b; SHA512SUMS, *.sha512 are SHA-512; any other name
// says nothing. Letter case does not matter.
std::optional<DigestAlgorithm> WideDigestNamedBy(std::string_view checksumPath);

// Empty lines and lines starting with "#" are passed over by md5sum without
// counting them as lines that are not entries.
bool IsIgnoredListLine(std::string_view line);

// A recorded name holding NUL or another control character names no file we
// would read: the system would see a shorter name, the user a different one.
bool IsUsableRecordedName(std::string_view name);

// Whether the entry names the data file: letter case and trailing blanks
// do not matter, the rest of the name must be equal.
bool IsEntryFor(const StandardEntry& entry, std::string_view dataName);

// Whether a file's name is that of a checksum file: "*.md5", and the names
// the lists of the other digests go by ("*.sha256", "SHA256SUMS", "B2SUMS",
// "CHECKSUM"…), in any letter case.
bool IsChecksumFileName(std::string_view path);

// The data file a standard checksum file is named after: its own name
// without ".md5"; nothing when the name holds no ".md5".
std::optional<std::string> ExpectedDataName(std::string_view checksumPath);

// 0 unrecognised, 1 sectioned (exactly six marker occurrences), 2 standard
// (an entry for the expected data file). Unreadable files are 0.
int DetectChecksumFileLayout(const std::string& checksumPath);
// The same for the content of the checksum file at `checksumPath`, read from
// where `content` stands.
int DetectChecksumFileLayout(const std::string& checksumPath, std::istream& content);

// Opens a checksum file for reading, or gives nothing for anything but a
// regular file. The file that was opened is the one looked at, so a FIFO or
// a device put in its place never blocks the program.
std::unique_ptr<std::istream> OpenChecksumFile(const std::string& checksumPath);

}  // namespace vorlix
