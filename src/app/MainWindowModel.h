#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "checksum/ChecksumFile.h"
#include "checksum/DigestText.h"
#include "checksum/ManyFiles.h"
#include "digest/FileDigest.h"
#include "ui/Dialogs.h"
#include "update/UpdateProcess.h"

namespace vorlix {

class Clock;
class Language;
class LanguageSwitch;
class Options;
class OptionsWindowModel;

// Captions that the language pack replaces.
struct MainWindowLabels {
    std::string hrlOnLineHelp = "On-line manuál";
    std::string lblFileSource = "Soubor:";
    std::string cmndCalculate = "&Vypočti";
    std::string lblFileSize = "Velikost:";
    std::string cndSaveMD5File = "Ulož .MD5";
    std::string lblTimeOperate = "Čas operace:";
    std::string cmdEndProgram = "&Konec";
    std::string mnuFile = "&Soubor";
    std::string mnuFile_OpenFile = "&Vytvořit soubor .MD5";
    std::string mnuFile_OpenFileMD5 = "Otevřít soubor .MD5";
    std::string mnuFile_ExitProgram = "&Konec programu";
    std::string mnuOptions = "&Nastavení";
    std::string mnuOptions_Options = "&Nastavení";
    std::string mnuAbout = "&O programu";
    std::string mnuAbout_Help = "&Nápověda";
    std::string mnuAbout_TestActualProg = "Zjistit dostupnost nové verze";
    std::string mnuAbout_About = "&O programu";
    std::string mnuFile_FolderMD5 = "Vytvořit soubor .MD5 pro složku…";
    std::string mnuFile_CompareDigest = "Porovnat s kontrolním součtem…";
    // "%2 matches what %1 publishes.": %1 the checksum file, %2 the digest's name.
    std::string lblPublishedMatch = "%2 odpovídá součtu zveřejněnému v %1.";
    std::string lblPublishedMismatch = "%2 NEODPOVÍDÁ součtu zveřejněnému v %1.";
};

// How the digest on screen compares with a published one.
enum class DigestComparison { None, Match, Mismatch };

// Everything the main window shows.
struct MainWindowState {
    std::string txtPathAndFileName;
    std::string txtMD5Result;
    std::string txtFileSize;
    std::string txtTimeOperate;
    bool cmndCalculateEnabled = false;
    bool cndSaveMD5FileEnabled = false;
    bool cmdEndProgramVisible = true;  // hidden by the load step
    bool mnuAbout_TestActualProgEnabled = true;
    std::string lblVersionInfo;
    std::string onLineHelpUrl;
    MainWindowLabels labels;
    DigestComparison digestComparison = DigestComparison::None;  // until the path changes
    // The digest the comparison is about: MD5's field, or one below it.
    DigestAlgorithm comparedAlgorithm = DigestAlgorithm::Md5;
    // The fields below the MD5 field, one per digest computed beside it (as
    // the options ask, or for a comparison); empty ones are not shown.
    DigestTexts otherDigests;
    // What a checksum file beside the data file publishes for it, once the
    // digest was computed: that file's name, the digest it is about, and
    // whether the file matches it.
    struct PublishedMark {
        std::string source;
        DigestAlgorithm algorithm = DigestAlgorithm::Md5;
        bool match = false;
    };
    std::optional<PublishedMark> published;
};

// What the behaviour asks of the window that shows it.
class MainWindowView {
  public:
    virtual ~MainWindowView() = default;
    virtual void StateChanged() {}
    virtual void CentreOnScreen() {}
    virtual void PutOnClipboard(const std::string& /*text*/) {}
    virtual void ShowAbout() {}
    // Shows the update window modally while it runs its check.
    virtual void ShowUpdateProcess(UpdateProcessModel& process) { process.RunWithoutWindow(); }
    // The clipboard's plain text, if it holds any.
    virtual std::optional<std::string> ClipboardText() { return std::nullopt; }
    // A line of text from the user; nothing when cancelled.
    virtual std::optional<std::string> AskText(const std::string& /*prompt*/,
                                               const std::string& /*caption*/) {
        return std::nullopt;
    }
    // A folder from the user; nothing when cancelled.
    virtual std::optional<std::string> ChooseFolder(const std::string& /*title*/) {
        return std::nullopt;
    }
    // Shows the options window modally and loads it; returns when it closed.
    virtual void ShowOptions(OptionsWindowModel& /*window*/) {}
};

// Runs one digest for the window. The window may run it on another thread
// with a progress display; a result with status Cancelled means the user
// stopped it.
// The algorithms always hold MD5, the digest the window shows.
using DigestRunner = std::function<FileDigestResult(const std::string& path, DigestSet algorithms)>;

struct MainWindowServices {
    Dialogs& dialogs;
    Language& language;
    LanguageSwitch& languages;
    Options& options;
    const Clock& clock;
    DigestRunner runDigest;       // empty: ComputeFileDigest on this thread
    char decimalSeparator = '.';  // of the user's locale
    Downloader download;          // empty: DownloadFile on this thread
    ManyFilesRunner runMany;      // empty: RunManyFiles on this thread, nothing shown
};

// The behaviour of the main window frmVorlix, without any widget: the load
// step with the command line, the file selection, the digest run, saving and
// verifying checksum files, the flags and the menu commands.
class MainWindowModel {
  public:
    explicit MainWindowModel(MainWindowServices services);

    void SetView(MainWindowView* view) { view_ = view; }
    // The window knows the desktop's locale better than the C library does.
    void SetDecimalSeparator(char separator) { services_.decimalSeparator = separator; }
    const MainWindowState& State() const { return state_; }

    // The load step. Command-line work (help, automatic mode, verifying a
    // checksum file) ends the program here; otherwise it returns and the
    // window becomes usable.
    void Form_Load(const ParsedCommandLine& command);

    void cmdSelectFile_Click();
    void txtPathAndFileName_Change(const std::string& text);
    void cmndCalculate_Click() { CalculateDigest(); }
    // True when the window now shows the digest of the file in the path box;
    // false when there was nothing to digest or the user cancelled.
    // MD5, the digests the options ask for, any `extra`, and the one a
    // checksum file beside the file publishes: all from one read.
    bool CalculateDigest(DigestSet extra = {});
    void cndSaveMD5File_Click();
    void cmdEndProgram_Click();
    void igbCzechFlag_Click();
    void igbEnglishFlag_Click();
    void lblVersionInfo_Click();

    void mnuFile_OpenFile_Click() { cmdSelectFile_Click(); }
    void mnuFile_OpenFileMD5_Click();
    void mnuFile_ExitProgram_Click();
    void mnuOptions_Options_Click();
    void mnuAbout_Help_Click() { ShowHelpText(); }
    void mnuAbout_TestActualProg_Click();
    void mnuAbout_About_Click();
    void mnuFile_FolderMD5_Click();
    void mnuFile_CompareDigest_Click();
    // Ctrl+Shift+C: the digest shown, onto the clipboard.
    void CopyDigest();

    // Items dropped on the window, as full paths.
    void DropItems(const std::vector<std::string>& paths);
    // The items that /calculate names: one file into the window, one folder
    // into its checksum file, several together into the results.
    void CalculateNamedItems(const std::vector<std::string>& paths);

    // Verifies a checksum file of either kind, a single file's or a list,
    // and gives the exit status its outcome calls for. With `passOverAbsent`
    // files that do not exist are passed over, and a checksum file of which
    // nothing was verified fails.
    int VerifyAnyChecksumFile(const std::string& checksumPath, bool passOverAbsent = false);
    // Creates the checksum file of a folder; the exit status of its outcome.
    // In the digest asked for, or else the options' one.
    int CreateFolderChecksum(const std::string& folder,
                             std::optional<DigestAlgorithm> algorithm = std::nullopt);

    void LoadLangPackToMainForm();
    void ShowHelpText();
    std::string HelpText() const;

    bool AutoMode = false;

  private:
    SaveOutcome SaveChecksumFile();
    void ActOnCommandLine(const ParsedCommandLine& command);
    void ShowUsageError(const UsageError& error);
    void RunAutomaticMode();
    UpdateOutcome RunUpdateCheck();
    void RunExpectedDigest(const std::string& expected);
    // The help text or the read-error message and the end, unless the file
    // of the command line is there.
    void EndUnlessTheFileIsThere();
    // Saves the checksum file and ends with the save's status.
    [[noreturn]] void SaveAndEnd();
    ManyFilesOutcome DigestDroppedItems(const std::vector<std::string>& paths);
    bool ShowComparison(const PublishedDigest& expected);
    // The digest of the file shown that the published one is compared with.
    DigestAlgorithm ComparedAlgorithm(const PublishedDigest& expected) const;
    void FlagClick(std::int32_t identifier, const char* caption, const char* text,
                   const YesNoCaptions& buttons);
    void ClearResults();
    std::string DialogFolder() const;
    void Changed();

    MainWindowServices services_;
    MainWindowView* view_ = nullptr;
    MainWindowState state_;
    DigestTexts computed_;  // every digest of the last run, shown or not
    // The digest of the checksum file saved: /algorithm, MD5 by default.
    DigestAlgorithm saveAlgorithm_ = DigestAlgorithm::Md5;
};

// The line under the digests that says how the file compares with what a
// checksum file beside it publishes; empty without one.
std::string PublishedText(const MainWindowState& state);

// The address of the on-line manual of this version.
std::string ManualAddress();
// "Vorlix, ver.1.0.0.22, build DB.000022-28.10.2023-13.18.05_VRLX."
std::string VersionLabelText();

// Elapsed seconds in the general number form, with the locale's separator:
// microsecond steps, no exponent, no trailing zeros ("0.015625", "2", "0").
std::string FormatElapsedSeconds(std::chrono::nanoseconds elapsed, char decimalSeparator);

// The decimal separator of the user's locale ("." when it cannot be told).
char LocaleDecimalSeparator();

}  // namespace vorlix
