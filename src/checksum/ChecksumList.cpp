#include "checksum/ChecksumList.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <sstream>

#include "checksum/ChecksumFile.h"
#include "checksum/ChecksumVerification.h"
#include "language/Language.h"
#include "util/Md5sumName.h"
#include "util/Text.h"

namespace vorlix {
namespace {

// Whether the standard layout's own reading takes `line` as the same entry, one
// for `dataName`: only then may a single-file verification stand in for
// md5sum's reading of it.
bool ReadAlikeForDataFile(std::string_view line, const ChecksumListEntry& entry,
                          std::string_view dataName) {
    if (!IsUsableRecordedName(entry.name) || entry.algorithms != DigestAlgorithm::Md5) return false;
    const auto single = ParseStandardEntry(line);
    return single && single->name == entry.name && SameDigest(single->digest, entry.digest) &&
           IsEntryFor(*single, dataName);
}

ChecksumList ReadAll(ChecksumListFile& file) {
    ChecksumList list;
    while (auto entry = file.Next()) list.entries.push_back(std::move(*entry));
    list.notEntries = file.NotEntries();
    return list;
}

std::string Label(const Language& language, std::string_view key) {
    return language.GetLabel("modChecksumList", key);
}

}  // namespace

ChecksumListFile::ChecksumListFile(std::unique_ptr<std::istream> in,
                                   std::optional<DigestAlgorithm> wide)
    : in_(std::move(in)), wide_(wide) {
    Rewind();
}

std::unique_ptr<ChecksumListFile> ChecksumListFile::Open(const std::string& checksumPath) {
    auto in = OpenChecksumFile(checksumPath);
    if (!in) return nullptr;
    return std::unique_ptr<ChecksumListFile>(
        new ChecksumListFile(std::move(in), WideDigestNamedBy(checksumPath)));
}

std::unique_ptr<ChecksumListFile> ChecksumListFile::OfText(std::string_view text,
                                                           std::optional<DigestAlgorithm> wide) {
    return std::unique_ptr<ChecksumListFile>(
        new ChecksumListFile(std::make_unique<std::istringstream>(std::string(text)), wide));
}

void ChecksumListFile::Rewind() {
    in_->clear();
    in_->seekg(0);
    reader_.emplace(*in_, LineEnds::Md5sum);
    parser_ = ChecksumListLineParser(wide_);
    notEntries_ = 0;
    markers_ = 0;
}

std::optional<ChecksumListEntry> ChecksumListFile::Next() {
    while (reader_->Next(line_)) {
        // A line known only in part could mean anything.
        if (reader_->Cut()) {
            ++notEntries_;
            continue;
        }
        if (auto entry = parser_.Parse(line_)) return entry;
        // Names in entries may hold any word; only other lines make a layout.
        markers_ += static_cast<std::uint64_t>(CountSectionMarkers(line_));
        if (!IsIgnoredListLine(line_)) ++notEntries_;
    }
    return std::nullopt;
}

ChecksumList ParseChecksumList(std::string_view text) {
    return ReadAll(*ChecksumListFile::OfText(text));
}

ChecksumFileKind ClassifyChecksumFile(const std::string& checksumPath) {
    return ReadClassifiedChecksumFile(checksumPath).kind;
}

ClassifiedChecksumFile ReadClassifiedChecksumFile(const std::string& checksumPath) {
    ClassifiedChecksumFile classified;
    classified.file = ChecksumListFile::Open(checksumPath);
    if (!classified.file) {
        classified.kind = ChecksumFileKind::Unreadable;
        return classified;
    }
    const auto dataName = ExpectedDataName(checksumPath);
    // Every entry is one the standard layout reads alike, for the file the
    // checksum file is named after.
    bool allForDataFile = dataName.has_value();
    ChecksumListFile& file = *classified.file;
    while (auto entry = file.Next()) {
        ++classified.entries;
        if (allForDataFile) allForDataFile = ReadAlikeForDataFile(file.Line(), *entry, *dataName);
    }
    if (IsSectionedMarkerCount(file.Markers()) && classified.entries == 0) {
        classified.kind = ChecksumFileKind::Single;
    } else if (!dataName) {
        classified.kind =
            classified.entries == 0 ? ChecksumFileKind::NoUsableEntry : ChecksumFileKind::List;
    } else {
        classified.kind = allForDataFile ? ChecksumFileKind::Single : ChecksumFileKind::List;
    }
    file.Rewind();
    return classified;
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
    row.algorithm = result.algorithm;
    if (!expected) {
        row.status = EntryStatus::Digested;
        return row;
    }
    // Where the recorded digest may be of two algorithms, both were computed
    // and either may match.
    row.status = SameDigest(*expected, result.digest) ? EntryStatus::Intact : EntryStatus::Damaged;
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        const std::string_view digest = result.digests.Of(algorithm);
        if (row.status == EntryStatus::Damaged && !digest.empty() &&
            SameDigest(*expected, digest)) {
            row.status = EntryStatus::Intact;
            row.digest = digest;
            row.algorithm = algorithm;
        }
    }
    return row;
}

bool IsProblem(EntryStatus status) {
    return status != EntryStatus::Intact && status != EntryStatus::Digested;
}

namespace {

std::string_view CheckWord(EntryStatus status) {
    switch (status) {
        case EntryStatus::Intact:
        case EntryStatus::Digested:
            return "OK";
        case EntryStatus::Damaged:
            return "FAILED";
        case EntryStatus::Missing:
        case EntryStatus::Unreadable:
        case EntryStatus::Cancelled:
            break;
    }
    return "FAILED open or read";
}

}  // namespace

std::string Md5sumCheckLine(const ResultRow& row) {
    return Md5sumCheckName(row.name) + ": " + std::string(CheckWord(row.status));
}

std::string Md5sumDigestLine(const ResultRow& row) {
    return Md5sumEntryLine(row.digest, row.name, Md5sumMode::Text);
}

std::string TerminalCheckLine(const ResultRow& row) {
    return EscapeForTerminal(row.name + ": " + std::string(CheckWord(row.status)));
}

std::string TerminalDigestLine(const ResultRow& row) {
    return EscapeForTerminal(row.digest + "  " + row.name);
}

void CountResult(ResultCounts& counts, const ResultRow& row) {
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

ResultCounts CountResults(const std::vector<ResultRow>& rows) {
    ResultCounts counts;
    for (const ResultRow& row : rows) CountResult(counts, row);
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
