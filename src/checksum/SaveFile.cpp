#include "checksum/SaveFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "language/Language.h"
#include "ui/Dialogs.h"
#include "util/ReplaceFileContent.h"
#include "util/ResolveTarget.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;

std::optional<struct stat> StatOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return info;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Both paths free of links, so a folder holds a path exactly when its names
// begin the path's names.
bool LiesInside(const fs::path& path, const fs::path& folder) {
    return std::mismatch(folder.begin(), folder.end(), path.begin(), path.end()).first ==
           folder.end();
}

// The pack key of the reason the name may not be written, or empty.
std::string Refusal(const std::string& target, const SaveRequest& request) {
    const ResolvedTarget resolved = ResolveTarget(target);
    if (!resolved.refusedLink.empty()) return "savePlantedLink";
    // Any other trouble on the way is the write's to report.
    if (resolved.error) return {};
    if (const auto written = StatOf(resolved.path)) {
        for (const std::string& data : request.dataFiles) {
            const auto dataInfo = StatOf(data);
            if (dataInfo && SameFile(*written, *dataInfo)) return "saveIsDataFile";
        }
    }
    if (!request.listedFolder.empty()) {
        std::error_code error;
        const fs::path folder = fs::canonical(request.listedFolder, error);
        if (!error && LiesInside(fs::path(resolved.path).parent_path(), folder)) {
            return "saveInsideFolder";
        }
    }
    return {};
}

// A name the question is about: anything there but a folder, which the
// write itself refuses. A dangling link counts: the write would go where
// it points.
bool NameTaken(const std::string& path) {
    struct stat own {};
    if (path.empty() || ::lstat(path.c_str(), &own) != 0) return false;
    const auto followed = StatOf(path);
    return !followed || !S_ISDIR(followed->st_mode);
}

}  // namespace

void ShowSaveFailure(Dialogs& dialogs, const Language& language, std::error_code error) {
    dialogs.ShowDiagnostic(language.GetLabel("frmVorlix", "msgbox3Text1") + " " +
                               std::to_string(error.value()) + " " + error.message(),
                           "Vorlix", MessageIcon::None);
}

SaveResult SaveFile(Dialogs& dialogs, const Language& language, const SaveRequest& request) {
    const auto label = [&](std::string_view key) { return language.GetLabel("frmVorlix", key); };
    std::string target = request.target;
    bool ask = request.askFirst;
    for (;;) {
        if (const std::string refusal = Refusal(target, request); !refusal.empty()) {
            dialogs.ShowDiagnostic(label("lblFileSource") + " " + target + " " +
                                       language.GetLabel("modSaveFile", refusal),
                                   label("msgbox2Caption"), MessageIcon::Stop);
            return {SaveOutcome::Failed, {}};
        }
        if (!ask || !NameTaken(target)) break;
        const Answer answer =
            dialogs.MessageBox(label("lblFileSource") + target + " " + label("msgbox1Text1"),
                               language.GetLabel("Generic", "SaveChangesCaption"),
                               MessageIcon::Question, MessageButtons::YesNo, DefaultButton::No);
        if (answer == Answer::Yes) break;
        FileDialogRequest saveAs{label("cmdlgMD5File"), "MD5", label("cmdlgTitle2"), target};
        saveAs.mode = FileDialogMode::Save;
        const auto chosen = dialogs.OpenFile(saveAs);
        if (!chosen) {
            dialogs.MessageBox(label("msgbox2Text1") + " " + target + " " + label("msgbox2Text2"),
                               label("msgbox2Caption"), MessageIcon::Information);
            return {SaveOutcome::Cancelled, {}};
        }
        // A name picked is always asked about, whatever the first one was.
        target = *chosen;
        ask = true;
    }

    if (const std::error_code error = ReplaceFileContent(target, request.content(target))) {
        ShowSaveFailure(dialogs, language, error);
        return {SaveOutcome::Failed, {}};
    }
    if (request.confirm) {
        dialogs.MessageBox(label("msgbox4Text1") + " " + target, label("msgbox4Text2"),
                           MessageIcon::Information);
    }
    return {SaveOutcome::Saved, target};
}

}  // namespace vorlix
