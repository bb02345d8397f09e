#include "checksum/ChecksumFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ext/stdio_filebuf.h>
#include <filesystem>
#include <sstream>

#include "identity/ProductInfo.h"
#include "identity/Version.h"
#include "language/Language.h"
#include "ui/Dialogs.h"
#include "util/Clock.h"
#include "util/Md5sumName.h"
#include "util/PathHelpers.h"
#include "util/Text.h"

namespace vorlix {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Longer lines are garbage; keeping their start is enough to see that.
constexpr std::size_t kMaxLineBytes = 1 << 20;
constexpr std::size_t kLineBlockBytes = 64 << 10;

constexpr std::array<std::string_view, 6> kSectionMarkers = {
    "[INI]", "[MD5FileInfo]", "FileName", "MD5Checksum", "FileLenght", "[EOF]"};

// Digits and letters mix at random in a digest; a table spares a branch
// that would guess wrong every other character.
constexpr std::array<bool, 256> kHexDigit = [] {
    std::array<bool, 256> table{};
    for (const char c : std::string_view("0123456789abcdefABCDEF")) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}();

std::string_view TrimEnd(std::string_view text) {
    const auto last = text.find_last_not_of(" \t");
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

// An input stream that owns the descriptor it reads, in binary.
class DescriptorInput final : public std::istream {
  public:
    explicit DescriptorInput(int fd)
        : std::istream(nullptr), buffer_(fd, std::ios::in | std::ios::binary) {
        rdbuf(&buffer_);
    }

  private:
    __gnu_cxx::stdio_filebuf<char> buffer_;  // closes the descriptor
};

}  // namespace

std::optional<std::string> UnescapeMd5sumName(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0') return std::nullopt;
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
            case '\\':
                out += '\\';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

namespace {

// The part of a sectioned line that names its key: a recorded name such as
// "[EOF].txt" must not count as a marker.
std::string_view KeyPart(std::string_view line) { return line.substr(0, line.find('=')); }

}  // namespace

// --- Writing -------------------------------------------------------------

ChecksumIdentity ProgramChecksumIdentity() {
    return {ProductInfo::OfThisBuild().productName, VersionString(), BuildString()};
}

std::string ChecksumCommentLine(const std::tm& now, const ChecksumIdentity& identity) {
    char stamp[80];
    std::snprintf(stamp, sizeof stamp, "%02d-%02d-%04d %02d:%02d:%02d", now.tm_mday, now.tm_mon + 1,
                  now.tm_year + 1900, now.tm_hour, now.tm_min, now.tm_sec);
    return "# Created " + identity.product + " " + identity.version + ", " + identity.build + " " +
           stamp + " ";
}

std::string StandardLayoutText(std::string_view commentLine, std::string_view digest,
                               std::string_view recordedName) {
    std::string text(commentLine);
    text += kLineEnd;
    // A line break in the name would end the line; md5sum's escaped form
    // keeps it. Other names stand as they are, a backslash too.
    if (HasLineBreak(recordedName)) {
        text += Md5sumEntryLine(digest, recordedName, Md5sumMode::Binary);
    } else {
        text += digest;
        text += " *";
        text += recordedName;
    }
    text += kLineEnd;
    return text;
}

std::string SectionedLayoutText(std::string_view commentLine, std::string_view recordedName,
                                std::string_view digest, std::string_view sizeText) {
    const std::string lines[] = {
        std::string(commentLine),
        "[INI]",
        "[MD5FileInfo]",
        "FileName=" + std::string(recordedName),
        "MD5Checksum=" + std::string(digest),
        "FileLenght=" + std::string(sizeText),
        "[EOF]",
    };
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += kLineEnd;
    }
    return text;
}

SaveOutcome SaveChecksumFile(Dialogs& dialogs, const Language& language, const Clock& clock,
                             const ChecksumSaveRequest& request) {
    // The entry always names the data file, whatever the checksum file is called.
    const std::string recordedName = PathFileName(request.dataPath);
    const bool standardLayout = request.standardLayout || request.algorithm != DigestAlgorithm::Md5;
    if (!standardLayout && HasLineBreak(recordedName)) {
        // The sectioned layout has no way to hold such a name.
        ShowSaveFailure(dialogs, language, std::make_error_code(std::errc::invalid_argument));
        return SaveOutcome::Failed;
    }
    SaveRequest save;
    save.target = request.dataPath + "." + SuffixName(request.algorithm);
    save.content = [&](const std::string& /*target*/) {
        const std::string comment =
            ChecksumCommentLine(clock.LocalNow(), ProgramChecksumIdentity());
        return standardLayout ? StandardLayoutText(comment, request.digestText, recordedName)
                              : SectionedLayoutText(comment, recordedName, request.digestText,
                                                    request.sizeText);
    };
    save.dataFiles = {request.dataPath};
    save.confirm = !request.autoMode;
    return SaveFile(dialogs, language, save).outcome;
}

// --- Reading -------------------------------------------------------------

ChecksumLineReader::ChecksumLineReader(std::istream& in, LineEnds ends)
    : in_(in), ends_(ends), block_(kLineBlockBytes) {}

bool ChecksumLineReader::Refill() {
    auto* buffer = in_.rdbuf();
    const std::streamsize got =
        buffer ? buffer->sgetn(block_.data(), static_cast<std::streamsize>(block_.size())) : 0;
    at_ = 0;
    end_ = got > 0 ? static_cast<std::size_t>(got) : 0;
    return end_ > 0;
}

bool ChecksumLineReader::Next(std::string& line) {
    line.clear();
    cut_ = false;
    bool any = false;
    bool carriage = false;
    for (;;) {
        if (at_ == end_ && !Refill()) break;
        any = true;
        const char* from = block_.data() + at_;
        const std::size_t left = end_ - at_;
        const char* newline = static_cast<const char*>(std::memchr(from, '\n', left));
        const std::size_t span = newline ? static_cast<std::size_t>(newline - from) : left;
        const char* stop = ends_ == LineEnds::CrOrLf
                               ? static_cast<const char*>(std::memchr(from, '\r', span))
                               : nullptr;
        carriage = stop != nullptr;
        const std::size_t length = stop ? static_cast<std::size_t>(stop - from) : span;
        // Two bytes more than the limit: one for md5sum's CR, one that
        // shows the line was longer.
        if (line.size() < kMaxLineBytes + 2) {
            line.append(from, std::min(length, kMaxLineBytes + 2 - line.size()));
        }
        at_ += length;
        if (at_ == end_) continue;  // the line goes on in the next block
        ++at_;                      // past its end
        // CR LF is one line end, even when a block boundary splits it.
        if (carriage && (at_ < end_ || Refill()) && block_[at_] == '\n') ++at_;
        break;
    }
    if (ends_ == LineEnds::Md5sum && line.size() <= kMaxLineBytes + 1 && line.ends_with('\r')) {
        line.pop_back();
    }
    if (line.size() > kMaxLineBytes) {
        line.resize(kMaxLineBytes);
        cut_ = true;
    }
    if (!started_) {
        started_ = true;
        if (ends_ == LineEnds::CrOrLf && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    }
    return any;
}

std::vector<std::string> SplitChecksumLines(std::string_view text) {
    std::istringstream in{std::string(text)};
    ChecksumLineReader reader(in);
    std::vector<std::string> lines;
    for (std::string line; reader.Next(line);) lines.push_back(line);
    return lines;
}

int CountSectionMarkers(std::string_view line) {
    const auto key = KeyPart(line);
    int count = 0;
    for (auto marker : kSectionMarkers) {
        if (key.find(marker) != std::string_view::npos) ++count;
    }
    return count;
}

SectionedLine ParseSectionedLine(std::string_view line) {
    const auto key = KeyPart(line);
    SectionedLine parsed;
    parsed.fileName = key.find("FileName") != key.npos;
    parsed.checksum = key.find("MD5Checksum") != key.npos;
    parsed.length = key.find("FileLenght") != key.npos;
    const auto equals = line.find('=');
    parsed.value = std::string(equals == line.npos ? line : line.substr(equals + 1));
    return parsed;
}

std::optional<std::uint64_t> ParseLengthValue(std::string_view value) {
    const auto first = value.find_first_not_of(" \t");
    if (first == value.npos) return std::nullopt;
    value.remove_prefix(first);
    const auto digits = value.substr(0, value.find_first_of(" \t"));
    if (digits.empty() || digits.find_first_not_of("0123456789") != digits.npos) {
        return std::nullopt;
    }
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    return number;
}

bool IsHexText(std::string_view text) {
    bool hex = !text.empty();
    for (const char c : text) hex &= kHexDigit[static_cast<unsigned char>(c)];
    return hex;
}

bool IsHexDigest(std::string_view text) { return text.size() == 32 && IsHexText(text); }

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text up to its first NUL: md5sum reads a name as a C string.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

std::optional<std::string> ListName(std::string_view text, bool escaped) {
    if (escaped) return UnescapeMd5sumName(text);
    return std::string(UpToNul(text));
}

// "NAME) = DIGEST", after "MD5 (": the name ends at the line's last ")".
std::optional<ChecksumListEntry> ParseTagRest(std::string_view text, bool escaped,
                                              DigestAlgorithm algorithm) {
    const auto close = text.rfind(')');
    if (close == text.npos) return std::nullopt;
    auto name = ListName(text.substr(0, close), escaped);
    if (!name) return std::nullopt;
    std::size_t i = close + 1;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size() || text[i] != '=') return std::nullopt;
    ++i;
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::string_view digest = UpToNul(text.substr(i));
    if (digest.size() != HexDigits(algorithm) || !IsHexText(digest)) return std::nullopt;
    return ChecksumListEntry{std::string(digest), std::move(*name), algorithm};
}

// The tag a line starts with, and where its "(" may follow: "SHA256" at
// "SHA256 (". After "BLAKE2b", b2sum reads a bit length ("BLAKE2b-512",
// the number in C's notations) or passes over any one character; only 512
// bits are computed here, so another length is no tag of ours.
std::optional<DigestAlgorithm> TagAt(std::string_view text, std::size_t& length) {
    // Every tag starts with one of these; most lines start with a digit.
    if (text.empty() || (text[0] != 'M' && text[0] != 'S' && text[0] != 'B')) return std::nullopt;
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        const std::string_view tag = TagName(algorithm);
        if (!text.starts_with(tag)) continue;
        length = tag.size();
        if (algorithm != DigestAlgorithm::Blake2b || length == text.size() || text[length] == '(')
            return algorithm;
        if (text[length] != '-') {
            ++length;
            return algorithm;
        }
        const std::string number(UpToNul(text.substr(length + 1)));
        char* end = nullptr;
        errno = 0;
        const std::uintmax_t bits = std::strtoumax(number.c_str(), &end, 0);
        const std::size_t used = static_cast<std::size_t>(end - number.c_str());
        const std::size_t sign = number.find_first_not_of(" \t\n\v\f\r");
        if (errno != 0 || used == 0 || (sign != number.npos && number[sign] == '-') || bits != 512)
            return std::nullopt;
        length += 1 + used;
        return algorithm;
    }
    return std::nullopt;
}
}  // namespace

std::optional<ChecksumListEntry> ChecksumListLineParser::Parse(std::string_view line) {
    // Past the end, md5sum sees the NUL that ends its line.
    const auto at = [&](std::size_t i) { return i < line.size() ? line[i] : '\0'; };
    std::size_t i = 0;
    while (IsBlank(at(i))) ++i;
    const bool escaped = at(i) == '\\';
    if (escaped) ++i;

    std::size_t tagLength = 0;
    if (const auto tag = TagAt(line.substr(i), tagLength)) {
        i += tagLength;
        if (at(i) == ' ') ++i;
        if (at(i) != '(') return std::nullopt;
        return ParseTagRest(line.substr(i + 1), escaped, *tag);
    }

    // A digest, a blank and at least one character; one more after a
    // backslash. The digest's length gives its algorithm.
    std::size_t digits = 0;
    while (i + digits < line.size() && kHexDigit[static_cast<unsigned char>(line[i + digits])])
        ++digits;
    DigestSet algorithms = AlgorithmsOfLength(digits);
    if (algorithms.Empty()) return std::nullopt;
    // b2sum takes an empty name too.
    const std::size_t shortest = wide_ == DigestAlgorithm::Blake2b ? 1 : 2;
    if (line.size() - i < digits + shortest + (at(i) == '\\' ? 1 : 0)) return std::nullopt;
    const std::string_view digest = line.substr(i, digits);
    i += digits;
    if (!IsBlank(at(i))) return std::nullopt;
    ++i;
    if (wide_ == DigestAlgorithm::Blake2b) {
        // In a BLAKE2b list every digest is one: b2sum reads other lengths as
        // shorter BLAKE2b digests, which libcrypto does not compute, so those
        // lines are no entries rather than digests of another algorithm.
        if (digits != HexDigits(DigestAlgorithm::Blake2b)) return std::nullopt;
        algorithms = DigestAlgorithm::Blake2b;
    } else if (wide_ && algorithms.Has(*wide_)) {
        algorithms = *wide_;
    }
    // "DIGEST NAME" is taken only for a list that starts in that form, so a
    // name with a leading blank or "*" cannot be read two ways in one list.
    if (line.size() - i == 1 || (at(i) != ' ' && at(i) != '*')) {
        if (form_ == Form::Standard) return std::nullopt;
        form_ = Form::Reversed;
    } else if (form_ != Form::Reversed) {
        form_ = Form::Standard;
        ++i;  // the mode: " " text, "*" binary
    }
    auto name = ListName(line.substr(i), escaped);
    if (!name) return std::nullopt;
    return ChecksumListEntry{std::string(digest), std::move(*name), algorithms};
}

std::optional<DigestAlgorithm> WideDigestNamedBy(std::string_view checksumPath) {
    const std::string_view name = checksumPath.substr(checksumPath.find_last_of('/') + 1);
    const auto endsWith = [&](std::string_view end) {
        return name.size() >= end.size() &&
               EqualsIgnoringCase(name.substr(name.size() - end.size()), end);
    };
    for (std::string_view end : {"B2SUMS", ".b2", ".blake2b", ".b2sum"}) {
        if (endsWith(end)) return DigestAlgorithm::Blake2b;
    }
    for (std::string_view end : {"SHA512SUMS", ".sha512", ".sha512sum"}) {
        if (endsWith(end)) return DigestAlgorithm::Sha512;
    }
    return std::nullopt;
}

bool IsIgnoredListLine(std::string_view line) { return line.empty() || line.front() == '#'; }

bool IsUsableRecordedName(std::string_view name) { return !HasControlCharacter(name); }

std::optional<StandardEntry> ParseStandardEntry(std::string_view line) {
    // Line breaks in a name come escaped; a raw control character does not
    // belong in any part of an entry.
    if (!IsUsableRecordedName(line)) return std::nullopt;
    std::string_view text = line;
    // md5sum starts a line with "\" when the name in it is escaped.
    const bool escaped = text.starts_with('\\');
    if (escaped) text.remove_prefix(1);

    auto entry = [&](std::string_view digest,
                     std::string_view name) -> std::optional<StandardEntry> {
        if (!escaped) return StandardEntry{std::string(digest), std::string(name)};
        auto unescaped = UnescapeMd5sumName(name);
        if (!unescaped) return std::nullopt;
        return StandardEntry{std::string(digest), std::move(*unescaped)};
    };

    // "digest *name" and md5sum's text mode "digest  name".
    if (text.size() > 34 && IsHexDigest(text.substr(0, 32)) &&
        (text.substr(32, 2) == " *" || text.substr(32, 2) == "  ")) {
        return entry(text.substr(0, 32), text.substr(34));
    }
    // "MD5 (name) = digest"; the name may itself hold ") = ".
    if (text.starts_with("MD5 (")) {
        const auto close = text.rfind(") = ");
        if (close != text.npos && close >= 5) {
            const auto digest = Trim(text.substr(close + 4));
            if (IsHexDigest(digest)) return entry(digest, text.substr(5, close - 5));
        }
    }
    if (escaped) return std::nullopt;
    // Anything else with a "*": the digest is whatever stands before it.
    const auto star = line.find('*');
    if (star == line.npos) return std::nullopt;
    return StandardEntry{std::string(Trim(line.substr(0, star))),
                         std::string(line.substr(star + 1))};
}

bool IsEntryFor(const StandardEntry& entry, std::string_view dataName) {
    return EqualsIgnoringCase(TrimEnd(entry.name), TrimEnd(dataName));
}

bool IsChecksumFileName(std::string_view path) {
    const std::string name = AsciiLower(PathFileName(path));
    for (std::string_view end :
         {".md5", ".md5sum", ".sha1", ".sha224", ".sha256", ".sha384", ".sha512", ".sha256sum",
          ".sha512sum", ".b2", ".blake2b", "-checksum"}) {
        if (name.size() > end.size() && name.ends_with(end)) return true;
    }
    for (std::string_view list : {"md5sums", "sha1sums", "sha224sums", "sha256sums", "sha384sums",
                                  "sha512sums", "b2sums", "checksum"}) {
        if (name == list) return true;
    }
    return false;
}

std::optional<std::string> ExpectedDataName(std::string_view checksumPath) {
    const std::string name = PathFileName(checksumPath);
    std::optional<std::string> dataName;
    // "notes.md5.txt.MD5" is the checksum file of "notes.md5.txt".
    if (AsciiLower(name).ends_with(".md5")) {
        dataName = name.substr(0, name.size() - 4);
    } else {
        dataName = PathWithoutMd5Extension(name);
    }
    if (dataName && dataName->empty()) return std::nullopt;
    return dataName;
}

std::unique_ptr<std::istream> OpenChecksumFile(const std::string& checksumPath) {
    // Not blocking on a FIFO's writer, which the check below then refuses.
    const int fd = ::open(checksumPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<DescriptorInput>(fd);
}

int DetectChecksumFileLayout(const std::string& checksumPath) {
    const auto in = OpenChecksumFile(checksumPath);
    if (!in) return kLayoutUnrecognised;
    return DetectChecksumFileLayout(checksumPath, *in);
}

int DetectChecksumFileLayout(const std::string& checksumPath, std::istream& in) {
    const auto dataName = ExpectedDataName(checksumPath);

    // One pass for both tests; the count may grow as large as the file.
    std::uint64_t markers = 0;
    bool hasEntry = false;
    ChecksumLineReader reader(in);
    ChecksumListLineParser listLines;
    for (std::string line; reader.Next(line);) {
        if (reader.Cut()) continue;
        // Names in list entries may hold any word; only other lines make a layout.
        if (!listLines.Parse(line))
            markers += static_cast<std::uint64_t>(CountSectionMarkers(line));
        if (dataName && !hasEntry) {
            const auto entry = ParseStandardEntry(line);
            hasEntry = entry && IsEntryFor(*entry, *dataName);
        }
    }
    if (IsSectionedMarkerCount(markers)) return kLayoutSectioned;
    return hasEntry ? kLayoutStandard : kLayoutUnrecognised;
}

}  // namespace vorlix
