#include "checksum/ChecksumList.h"

#include <cerrno>
#include <fstream>
#include <sstream>

#include "checksum/ChecksumFile.h"
#include "language/Language.h"
#include "util/Md5sumName.h"
#include "util/Text.h"

namespace vorlix {
namespace {

bool IsHexDigest(std::string_view text) {
    if (text.size() != 32) return false;
    for (char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex) return false;
    }
    return true;
}

struct ScannedFile {
    ChecksumList list;
    std::uint64_t markers = 0;
};

ScannedFile Scan(std::istream& in) {
    ScannedFile scanned;
    ChecksumLineReader reader(in);
    for (std::string line; reader.Next(line);) {
        scanned.markers += static_cast<std::uint64_t>(CountSectionMarkers(line));
        const auto entry = ParseStandardEntry(line);
        // A list needs a digest that is one; the looser single-file rule does not.
        if (entry && IsHexDigest(entry->digest) && !entry->name.empty()) {
            scanned.list.entries.push_back({entry->digest, entry->name});
            continue;
        }
        const auto text = Trim(line);
        if (!text.empty() && !text.starts_with('#')) ++scanned.list.notEntries;
    }
    return scanned;
}

std::string Label(const Language& language, std::string_view key) {
    return language.GetLabel("modChecksumList", key);
}

}  // namespace

ChecksumList ParseChecksumList(std::string_view text) {
    std::istringstream in{std::string(text)};
    return Scan(in).list;
}

std::optional<ChecksumList> ReadChecksumList(const std::string& checksumPath) {
    std::ifstream in;
    if (!OpenChecksumFile(checksumPath, in)) return std::nullopt;
    return Scan(in).list;
}

ChecksumFileKind ClassifyChecksumFile(const std::string& checksumPath) {
    std::ifstream in;
    const auto dataName = ExpectedDataName(checksumPath);
    if (!OpenChecksumFile(checksumPath, in)) {
        return dataName ? ChecksumFileKind::Single : ChecksumFileKind::NoUsableEntry;
    }
    const ScannedFile scanned = Scan(in);
    if (scanned.markers == 6) return ChecksumFileKind::Single;
    if (!dataName) {
        return scanned.list.entries.empty() ? ChecksumFileKind::NoUsableEntry
                                            : ChecksumFileKind::List;
    }
    for (const ChecksumListEntry& entry : scanned.list.entries) {
        if (!IsEntryFor(StandardEntry{entry.digest, entry.name}, *dataName)) {
            return ChecksumFileKind::List;
        }
    }
    return ChecksumFileKind::Single;
}

ResultRow ClassifyResult(std::string name, std::string path,
                         const std::optional<std::string>& expected,
                         const FileDigestResult& result) {
    ResultRow row;
    row.name = std::move(name);
    row.path = std::move(path);
    row.errorNumber = result.errorNumber;
    switch (result.status) {
        case FileDigestResult::Status::Cancelled:
            row.status = EntryStatus::Cancelled;
            return row;
        case FileDigestResult::Status::ReadError:
            row.status = result.errorNumber == ENOENT || result.errorNumber == ENOTDIR
                             ? EntryStatus::Missing
                             : EntryStatus::Unreadable;
            return row;
        case FileDigestResult::Status::Ok:
            break;
    }
    row.size = result.size;
    row.digest = result.digest;
    if (!expected) {
        row.status = EntryStatus::Digested;
    } else {
        row.status = AsciiLower(*expected) == AsciiLower(result.digest) ? EntryStatus::Intact
                                                                         : EntryStatus::Damaged;
    }
    return row;
}

bool IsProblem(EntryStatus status) {
    return status != EntryStatus::Intact && status != EntryStatus::Digested;
}

std::string Md5sumCheckLine(const ResultRow& row) {
    std::string line = Md5sumCheckName(row.name) + ": ";
    switch (row.status) {
        case EntryStatus::Intact:
        case EntryStatus::Digested:
            return line + "OK";
        case EntryStatus::Damaged:
            return line + "FAILED";
        case EntryStatus::Missing:
        case EntryStatus::Unreadable:
        case EntryStatus::Cancelled:
            return line + "FAILED open or read";
    }
    return line;
}

ResultCounts CountResults(const std::vector<ResultRow>& rows) {
    ResultCounts counts;
    for (const ResultRow& row : rows) {
        if (row.status != EntryStatus::Cancelled) ++counts.files;
        switch (row.status) {
            case EntryStatus::Intact:
                ++counts.intact;
                break;
            case EntryStatus::Damaged:
                ++counts.damaged;
                break;
            case EntryStatus::Missing:
                ++counts.missing;
                break;
            case EntryStatus::Unreadable:
                ++counts.unreadable;
                break;
            case EntryStatus::Digested:
                ++counts.digested;
                break;
            case EntryStatus::Cancelled:
                ++counts.cancelled;
                break;
        }
        counts.bytes += row.size;
    }
    return counts;
}

bool ListPassed(const ResultCounts& counts) {
    return counts.damaged == 0 && counts.missing == 0 && counts.unreadable == 0 &&
           counts.cancelled == 0;
}

std::string ChecksumListSummaryText(const Language& language, const std::string& checksumPath,
                                    const ResultCounts& counts, std::size_t notEntries) {
    const auto line = [&](std::string_view key, std::size_t count) {
        return "\r\n" + Label(language, key) + " " + std::to_string(count);
    };
    std::string text = Label(language, "listText1") + " " + checksumPath;
    text += line("listChecked", counts.files);
    text += line("listIntact", counts.intact);
    text += line("listDamaged", counts.damaged);
    text += line("listMissing", counts.missing);
    text += line("listUnreadable", counts.unreadable);
    text += line("listNotEntries", notEntries);
    if (counts.cancelled != 0) text += line("listCancelled", counts.cancelled);
    return text;
}

}  // namespace vorlix
