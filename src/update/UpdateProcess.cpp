#include "update/UpdateProcess.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "language/Language.h"
#include "ui/Dialogs.h"
#include "util/FileExists.h"
#include "util/PathHelpers.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

fs::path CacheFolder() {
    const std::string cache = Environment("XDG_CACHE_HOME");
    // Relative values are to be ignored, as the base-directory rules say.
    if (!cache.empty() && fs::path(cache).is_absolute()) return cache;
    const std::string home = Environment("HOME");
    if (!home.empty()) return fs::path(home) / ".cache";
    return fs::temp_directory_path();
}

}  // namespace

UpdateCheckSettings UpdateCheckSettingsFromEnvironment() {
    UpdateCheckSettings settings;
    const std::string address = Environment("VORLIX_UPDATE_URL");
    settings.address = address.empty() ? kUpdateAddress : address;
    settings.updateFilePath = (CacheFolder() / "Vorlix" / "Update.txt").string();

    const std::string timeout = Environment("VORLIX_UPDATE_TIMEOUT");
    int seconds = 0;
    const auto [end, error] =
        std::from_chars(timeout.data(), timeout.data() + timeout.size(), seconds);
    if (error == std::errc() && end == timeout.data() + timeout.size() && seconds >= 1 &&
        seconds <= 60) {
        const std::chrono::milliseconds total = std::chrono::seconds(seconds);
        settings.limits.totalTimeout = total;
        settings.limits.connectTimeout = std::min(settings.limits.connectTimeout, total);
    }
    return settings;
}

bool PrepareUpdateFolder(const std::string& updateFilePath) {
    const fs::path folder = fs::path(updateFilePath).parent_path();
    std::error_code error;
    if (fs::is_directory(folder, error)) return true;
    fs::create_directories(folder.parent_path(), error);
    // The cache is the user's own; the update copy is nobody else's business.
    return ::mkdir(folder.c_str(), 0700) == 0 || fs::is_directory(folder, error);
}

UpdateProcessModel::UpdateProcessModel(Dialogs& dialogs, const Language& language,
                                       UpdateCheckSettings settings, Downloader download)
    : dialogs_(dialogs),
      language_(language),
      settings_(std::move(settings)),
      download_(std::move(download)) {
    if (!download_)
        download_ = [](const std::string& address, const std::string& path,
                       const DownloadLimits& limits) {
            return DownloadFile(address, path, limits);
        };
}

UpdateProcessModel::~UpdateProcessModel() { Form_Unload(); }

void UpdateProcessModel::Form_Load() {
    // A copy left by an earlier check, even of an earlier run, goes first.
    DeleteUpdateFile(settings_.updateFilePath);
    caption_ = language_.GetLabel("frmUpdateProcess", "Caption");
    lblCaption_ = language_.GetLabel("frmUpdateProcess", "lblCaption");
    if (view_) view_->LabelsChanged();
    if (!DownloadUpdateFile()) Unload();
}

bool UpdateProcessModel::DownloadUpdateFile() {
    const std::string& path = settings_.updateFilePath;
    LogProgress("Stahování souboru aktualizací");
    if (PrepareUpdateFolder(path) && download_(settings_.address, path, settings_.limits)) {
        copyCleanup_ = std::make_unique<TemporaryFileCleanup>(path);
        LogProgress("Soubor aktualizací " + path + " úspěšně stažen");
        timerInterval_ = kTimerInterval;
        timerEnabled_ = true;
        return true;
    }
    LogProgress("Soubor aktualizací " + path + " není dostupný, stažení selhalo.");
    outcome_ = UpdateOutcome::DownloadFailed;
    dialogs_.MessageBox(
        "Funkce Test aktualizací není nedostupná, zkontrolujte prosím připojení k internetu, "
        "nebo nastavení Firewallu.",
        "Informace", MessageIcon::Stop);
    return false;
}

void UpdateProcessModel::tmrCheckUpdates_Timer() {
    if (!timerEnabled_) return;
    timerEnabled_ = false;
    const std::string& path = settings_.updateFilePath;
    if (!FileExists(path)) {
        // The window stays until the user closes it.
        LogProgress("Soubor aktualizací " + path + " nenalezen");
        outcome_ = UpdateOutcome::Unfinished;
        return;
    }
    LogProgress("Soubor aktualizací " + path + " nalezen");
    const UpdateNotice notice =
        GetUpdateNotice(dialogs_, language_, file_, path, [this] { Unload(); });
    outcome_ = notice.outcome;
    if (!notice.text.empty()) {
        dialogs_.MessageBox(notice.text, "Nalezena aktualizace programu", MessageIcon::Information);
    }
    file_.ResetUpdateFile();
    Unload();
}

void UpdateProcessModel::Form_Unload() {
    timerEnabled_ = false;
    file_.ResetUpdateFile();
    DeleteUpdateFile(settings_.updateFilePath);
    copyCleanup_.reset();
}

void UpdateProcessModel::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Form_Unload();
    if (view_) view_->Unload();
}

UpdateOutcome UpdateProcessModel::RunWithoutWindow() {
    Form_Load();
    if (!unloaded_) tmrCheckUpdates_Timer();
    Unload();
    return outcome_;
}

}  // namespace vorlix
