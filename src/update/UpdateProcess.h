#pragma once

#include <functional>
#include <memory>
#include <string>

#include "update/UpdateFile.h"
#include "update/UpdateNotice.h"
#include "util/DownloadFile.h"
#include "util/Interrupts.h"

namespace vorlix {

class Dialogs;
class Language;

// Fetches an address to a local file; true on success. The window runs it on
// a worker thread so that the program keeps repainting.
using Downloader = std::function<bool(const std::string& address, const std::string& localPath,
                                      const DownloadLimits& limits)>;

// Where the check fetches from and keeps its local copy.
struct UpdateCheckSettings {
    std::string address;         // the update file on the publisher's server
    std::string updateFilePath;  // the local copy, UpdateFilePath
    DownloadLimits limits;
};

inline constexpr const char* kUpdateAddress = "https://www.vorlix.net/update.txt";

// The settings of this run: the address, or VORLIX_UPDATE_URL when set (for
// mirrors and tests); the local copy in the user's cache folder,
// $XDG_CACHE_HOME/Vorlix/Update.txt (~/.cache by default); the time-outs,
// shortened by VORLIX_UPDATE_TIMEOUT (whole seconds, 1 to 60) when set.
UpdateCheckSettings UpdateCheckSettingsFromEnvironment();

// Creates the folder of the local copy for this user alone if it is missing.
bool PrepareUpdateFolder(const std::string& updateFilePath);

// What the update window asks of the window that shows it.
class UpdateProcessView {
  public:
    virtual ~UpdateProcessView() = default;
    // The captions are set: lay out, centre, set the width from the label.
    virtual void LabelsChanged() {}
    // The check is over; the window closes.
    virtual void Unload() {}
};

// The behaviour of the update window frmUpdateProcess, without any widget:
// one check from the download to the notice.
class UpdateProcessModel {
  public:
    static constexpr int kTimerInterval = 100;

    UpdateProcessModel(Dialogs& dialogs, const Language& language, UpdateCheckSettings settings,
                       Downloader download = {});
    ~UpdateProcessModel();
    UpdateProcessModel(const UpdateProcessModel&) = delete;
    UpdateProcessModel& operator=(const UpdateProcessModel&) = delete;

    void SetView(UpdateProcessView* view) { view_ = view; }

    // Removes an old copy, sets the captions and downloads. When the download
    // fails, the failure message is shown and the window is unloaded.
    void Form_Load();
    bool DownloadUpdateFile();
    // The first tick after the download: reads, deciphers and compares, shows
    // the notice and unloads the window.
    void tmrCheckUpdates_Timer();
    // The window goes, however it was closed: no local copy stays behind.
    void Form_Unload();

    // The whole check without a window, for the command line.
    UpdateOutcome RunWithoutWindow();

    const std::string& Caption() const { return caption_; }
    const std::string& lblCaption() const { return lblCaption_; }
    bool TimerEnabled() const { return timerEnabled_; }
    int TimerInterval() const { return timerInterval_; }
    bool Unloaded() const { return unloaded_; }
    UpdateOutcome Outcome() const { return outcome_; }
    const std::string& UpdateFilePath() const { return settings_.updateFilePath; }

  private:
    void Unload();

    Dialogs& dialogs_;
    const Language& language_;
    UpdateCheckSettings settings_;
    Downloader download_;
    UpdateProcessView* view_ = nullptr;
    UpdateFile file_;
    std::string caption_ = "Test aktualizací";
    std::string lblCaption_ = "caption";
    bool timerEnabled_ = false;
    int timerInterval_ = 0;
    bool unloaded_ = false;
    UpdateOutcome outcome_ = UpdateOutcome::Unfinished;
    // An interrupt while the copy exists takes it along.
    std::unique_ptr<TemporaryFileCleanup> copyCleanup_;
};

}  // namespace vorlix
