#include "checksum/ResultsModel.h"

#include <filesystem>

#include "checksum/FolderChecksum.h"
#include "language/Language.h"

namespace vorlix {
namespace {

std::string Label(const Language& language, std::string_view key) {
    return language.GetLabel("frmResults", key);
}

}  // namespace

void ResultsModel::Start(const ManyFilesJob& job) {
    rows_.clear();
    rows_.reserve(job.Count());
    expected_ = job.Count();
    kind_ = job.kind;
    running_ = true;
}

void ResultsModel::Add(const ResultRow& row) { rows_.push_back(row); }

void ResultsModel::Finish(bool /*cancelled*/) { running_ = false; }

std::vector<std::size_t> ResultsModel::VisibleRows() const {
    std::vector<std::size_t> visible;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (!problemsOnly_ || IsProblem(rows_[i].status)) visible.push_back(i);
    }
    return visible;
}

std::string ResultsModel::StatusText(const Language& language, const ResultRow& row) const {
    switch (row.status) {
        case EntryStatus::Intact:
            return Label(language, "stIntact");
        case EntryStatus::Damaged:
            return Label(language, "stDamaged");
        case EntryStatus::Missing:
            return Label(language, "stMissing");
        case EntryStatus::Unreadable:
            return Label(language, "stUnreadable");
        case EntryStatus::Digested:
            return row.digest;
        case EntryStatus::Cancelled:
            return Label(language, "stCancelled");
    }
    return {};
}

std::string ResultsModel::CountsText(const Language& language) const {
    const ResultCounts counts = CountResults(rows_);
    const auto count = [&](std::string_view key, std::size_t value) {
        return "   " + Label(language, key) + ": " + std::to_string(value);
    };
    std::string text = Label(language, "lblFiles") + " " + std::to_string(rows_.size()) + "/" +
                       std::to_string(expected_);
    if (kind_ == ManyFilesKind::ChecksumList) text += count("stIntact", counts.intact);
    if (kind_ == ManyFilesKind::ChecksumList) text += count("stDamaged", counts.damaged);
    text += count("stMissing", counts.missing);
    text += count("stUnreadable", counts.unreadable);
    return text;
}

std::string ResultsModel::CopyText(const Language& language) const {
    std::string text;
    for (std::size_t index : VisibleRows()) {
        const ResultRow& row = rows_[index];
        text += row.name + "\t" + StatusText(language, row) + "\t" + std::to_string(row.size) + "\n";
    }
    return text;
}

bool ResultsModel::CanSaveAsList() const {
    if (running_ || kind_ == ManyFilesKind::ChecksumList) return false;
    for (const ResultRow& row : rows_) {
        if (row.status == EntryStatus::Digested) return true;
    }
    return false;
}

std::string ResultsModel::ListText(std::string_view commentLine,
                                   const std::string& listFolder) const {
    return FolderListText(commentLine, rows_, listFolder);
}

}  // namespace vorlix
