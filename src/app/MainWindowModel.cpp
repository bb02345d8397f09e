#include "app/MainWindowModel.h"

#include <cmath>
#include <cstdio>
#include <locale>

#include "app/CommandLine.h"
#include "checksum/ChecksumFile.h"
#include "checksum/ChecksumVerification.h"
#include "identity/ProductInfo.h"
#include "identity/Version.h"
#include "language/Language.h"
#include "language/LanguageSwitch.h"
#include "settings/Options.h"
#include "settings/OptionsWindowModel.h"
#include "ui/Dialogs.h"
#include "ui/EndProgram.h"
#include "ui/Links.h"
#include "util/Clock.h"
#include "util/FileExists.h"

namespace vorlix {
namespace {

constexpr const char* kTitle = "Vorlix";
constexpr const char* kCrLf = "\r\n";

}  // namespace

std::string ManualAddress() {
    return std::string(links::kManualFolder) + VersionString() + "/" + links::kManualFileName;
}

std::string VersionLabelText() {
    return ProductInfo::OfThisBuild().productName + ", ver." + VersionString() + ", build " + BuildString();
}

std::string FormatElapsedSeconds(std::chrono::nanoseconds elapsed, char decimalSeparator) {
    const auto micros = std::chrono::round<std::chrono::microseconds>(elapsed).count();
    const long long whole = micros / 1'000'000;
    long long fraction = std::llabs(micros % 1'000'000);
    std::string text = std::to_string(std::llabs(whole));
    if (micros < 0) text.insert(0, "-");
    if (fraction != 0) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%06lld", fraction);
        std::string decimals(digits);
        decimals.erase(decimals.find_last_not_of('0') + 1);
        text += decimalSeparator;
        text += decimals;
    }
    return text;
}

char LocaleDecimalSeparator() {
    try {
        return std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point();
    } catch (const std::exception&) {
        return '.';
    }
}

MainWindowModel::MainWindowModel(MainWindowServices services) : services_(std::move(services)) {
    if (!services_.runDigest) {
        services_.runDigest = [](const std::string& path) { return ComputeFileDigest(path); };
    }
}

void MainWindowModel::Changed() {
    if (view_) view_->StateChanged();
}

void MainWindowModel::Form_Load(const std::vector<std::string>& commandWords) {
    state_.onLineHelpUrl = ManualAddress();
    state_.cmdEndProgramVisible = false;
    if (view_) view_->CentreOnScreen();
    state_.lblVersionInfo = VersionLabelText();

    // Command-line work runs for a script or the desktop, with nobody sure to
    // be there: it must never register the program on its own.
    const CommandLine line = SplitCommandLine(commandWords);
    services_.options.SetAssociationQuestionAllowed(line.switches.empty() &&
                                                    line.arguments.empty());
    const std::int32_t language = services_.options.RunStartSequence();
    services_.languages.ApplyLanguage(language);
    LoadLangPackToMainForm();

    CommandWords = commandWords;
    ActOnCommandLine();
    if (AutoMode) RunAutomaticMode();
    Changed();
}

void MainWindowModel::ActOnCommandLine() {
    const CommandLine line = SplitCommandLine(CommandWords);
    if (!line.switches.empty()) {
        // Switches act in their order; anything else on the line is passed over.
        for (const CommandSwitch& word : line.switches) {
            if (word.name == "help" || word.name == "h") {
                ShowHelpText();
                EndProgram(kExitOk);
            } else if (word.name == "auto") {
                AutoMode = true;
            } else if (word.name == "sourcefile") {
                state_.txtPathAndFileName = word.value;
                txtPathAndFileName_Change(state_.txtPathAndFileName);
            }
        }
        return;
    }
    // A single existing file is a checksum file handed over by the desktop.
    if (line.arguments.size() == 1 && FileExists(line.arguments.front())) {
        const VerifyOutcome outcome = VerifyChecksumFile(
            services_.dialogs, services_.language, line.arguments.front(), services_.runDigest);
        const bool failed = outcome == VerifyOutcome::Failed || outcome == VerifyOutcome::Cancelled;
        EndProgram(failed ? kExitVerificationFailed : kExitOk);
    }
}

void MainWindowModel::RunAutomaticMode() {
    const std::string& path = state_.txtPathAndFileName;
    // Without a file to digest there is nothing to save: never write ".MD5" alone.
    if (path.empty()) {
        ShowHelpText();
        EndProgram(kExitFatal);
    }
    if (!FileExists(path)) {
        ShowFileReadError(services_.dialogs, path);
        EndProgram(kExitFatal);
    }
    // A cancelled digest leaves nothing that belongs to the file: write
    // nothing, keep an existing checksum file as it is.
    if (!CalculateDigest()) EndProgram(kExitVerificationFailed);
    switch (SaveChecksumFile()) {
        case SaveOutcome::Saved:
            EndProgram(kExitOk);
        case SaveOutcome::Cancelled:
            EndProgram(kExitVerificationFailed);
        case SaveOutcome::Failed:
            break;
    }
    EndProgram(kExitFatal);
}

void MainWindowModel::ClearResults() {
    state_.txtFileSize.clear();
    state_.txtMD5Result.clear();
    state_.txtTimeOperate.clear();
    state_.cndSaveMD5FileEnabled = false;
}

std::string MainWindowModel::DialogFolder() const {
    // The file in the path box is where the user works now; the stored path
    // is only a memory of an earlier run.
    if (FileExists(state_.txtPathAndFileName)) return state_.txtPathAndFileName;
    return services_.options.LastUsedPath;
}

void MainWindowModel::cmdSelectFile_Click() {
    ClearResults();
    Changed();

    FileDialogRequest request;
    request.filter = services_.language.GetLabel("frmVorlix", "cmdlgAllFiles");
    request.defaultExtension = "*";
    request.title = services_.language.GetLabel("frmVorlix", "cmdlgTitle");
    request.initialFolder = DialogFolder();
    const auto chosen = services_.dialogs.OpenFile(request);
    if (!chosen) return;

    state_.txtPathAndFileName = *chosen;
    txtPathAndFileName_Change(state_.txtPathAndFileName);
    services_.options.StoreLastUsedPath(state_.txtPathAndFileName);
    state_.cndSaveMD5FileEnabled = false;
    state_.cmndCalculateEnabled = true;
    Changed();
}

void MainWindowModel::txtPathAndFileName_Change(const std::string& text) {
    // The results always belong to the path shown: a new path has none yet.
    ClearResults();
    state_.txtPathAndFileName = text;
    state_.cmndCalculateEnabled = FileExists(text);
    Changed();
}

bool MainWindowModel::CalculateDigest() {
    const std::string path = state_.txtPathAndFileName;
    if (path.empty()) return false;

    // Whatever was shown belongs to an earlier run; it must not outlive a
    // run that is cancelled or fails.
    ClearResults();
    Changed();
    const auto start = services_.clock.Monotonic();
    const FileDigestResult result = services_.runDigest(path);
    const auto end = services_.clock.Monotonic();
    switch (result.status) {
        case FileDigestResult::Status::Cancelled:
            return false;
        case FileDigestResult::Status::ReadError:
            ShowFileReadError(services_.dialogs, path, result);
            EndProgram(kExitFatal);
        case FileDigestResult::Status::Ok:
            break;
    }
    state_.txtMD5Result = result.digest;
    state_.txtFileSize = std::to_string(result.size) + " bytes";
    state_.txtTimeOperate = FormatElapsedSeconds(end - start, services_.decimalSeparator) + " sec.";
    state_.cndSaveMD5FileEnabled = true;
    Changed();
    return true;
}

SaveOutcome MainWindowModel::SaveChecksumFile() {
    ChecksumSaveRequest request;
    request.dataPath = state_.txtPathAndFileName;
    request.digestText = state_.txtMD5Result;
    request.sizeText = state_.txtFileSize;
    request.standardLayout = services_.options.DefaultContentMD5File;
    request.autoMode = AutoMode;
    return vorlix::SaveChecksumFile(services_.dialogs, services_.language, services_.clock,
                                    request);
}

void MainWindowModel::cndSaveMD5File_Click() {
    // Only a digest of the file shown may be saved under its name.
    if (!state_.cndSaveMD5FileEnabled || state_.txtMD5Result.empty()) return;
    SaveChecksumFile();
    state_.cmdEndProgramVisible = true;
    Changed();
}

void MainWindowModel::cmdEndProgram_Click() { EndProgram(kExitOk); }

void MainWindowModel::mnuFile_ExitProgram_Click() { EndProgram(kExitOk); }

void MainWindowModel::mnuFile_OpenFileMD5_Click() {
    FileDialogRequest request;
    request.filter = services_.language.GetLabel("frmVorlix", "cmdlgTestMD5");
    request.defaultExtension = "MD5";
    request.title = services_.language.GetLabel("frmVorlix", "cmdlgTitle3");
    request.initialFolder = DialogFolder();
    const auto chosen = services_.dialogs.OpenFile(request);
    if (!chosen) return;
    // A cancelled verification has nothing to tell.
    VerifyChecksumFile(services_.dialogs, services_.language, *chosen, services_.runDigest);
}

void MainWindowModel::mnuOptions_Options_Click() {
    // A new window for every opening, gone when it closes.
    OptionsWindowModel window(OptionsWindowServices{services_.language, services_.languages,
                                                    services_.options,
                                                    services_.options.Association(),
                                                    [this] { LoadLangPackToMainForm(); }});
    if (view_) view_->ShowOptions(window);
}

void MainWindowModel::mnuAbout_About_Click() {
    if (view_) view_->ShowAbout();
}

// The question is asked in the language it offers, so its buttons are too.
void MainWindowModel::igbCzechFlag_Click() {
    FlagClick(kCzech, "Dotaz", "Změnit jazyk programu na češtinu?", {"&Ano", "&Ne"});
}

void MainWindowModel::igbEnglishFlag_Click() {
    FlagClick(kEnglish, "Question", "Change program language to English?", {"&Yes", "&No"});
}

void MainWindowModel::FlagClick(std::int32_t identifier, const char* caption, const char* text,
                                const YesNoCaptions& buttons) {
    if (services_.languages.CurrentLanguage() == identifier) return;
    if (services_.dialogs.AskWithCaptions(text, caption, MessageIcon::Question,
                                          DefaultButton::Yes, buttons) != Answer::Yes) {
        return;
    }
    services_.languages.ApplyLanguage(identifier);
    LoadLangPackToMainForm();
}

void MainWindowModel::lblVersionInfo_Click() {
    if (view_) view_->PutOnClipboard(state_.lblVersionInfo);
}

void MainWindowModel::LoadLangPackToMainForm() {
    const Language& pack = services_.language;
    MainWindowLabels& labels = state_.labels;
    labels.hrlOnLineHelp = pack.GetLabel("frmVorlix", "hrlOnLineHelp");
    labels.lblFileSource = pack.GetLabel("frmVorlix", "lblFileSource") + ":";
    labels.cmndCalculate = pack.GetLabel("frmVorlix", "cmndCalculate");
    labels.lblFileSize = pack.GetLabel("frmVorlix", "lblFileSize");
    labels.cndSaveMD5File = pack.GetLabel("frmVorlix", "cndSaveMD5File");
    labels.lblTimeOperate = pack.GetLabel("frmVorlix", "lblTimeOperate");
    labels.cmdEndProgram = pack.GetLabel("Generic", "ButtonExitCaption");
    labels.mnuFile = pack.GetLabel("MainMenu", "mnuFile");
    labels.mnuFile_OpenFile = pack.GetLabel("MainMenu", "mnuFile_OpenFile");
    labels.mnuFile_OpenFileMD5 = pack.GetLabel("MainMenu", "mnuFile_OpenFileMD5");
    labels.mnuFile_ExitProgram = pack.GetLabel("MainMenu", "mnuFile_ExitProgram");
    labels.mnuOptions = pack.GetLabel("MainMenu", "mnuOptions");
    labels.mnuOptions_Options = pack.GetLabel("MainMenu", "mnuOptions_Options");
    labels.mnuAbout = pack.GetLabel("MainMenu", "mnuAbout");
    labels.mnuAbout_Help = pack.GetLabel("MainMenu", "mnuAbout_Help");
    labels.mnuAbout_TestActualProg = pack.GetLabel("MainMenu", "mnuAbout_TestActualProg");
    labels.mnuAbout_About = pack.GetLabel("MainMenu", "mnuAbout_About");
    Changed();
}

std::string MainWindowModel::HelpText() const {
    const auto text = [this](const char* key) {
        return services_.language.GetLabel("modVorlix", key);
    };
    const std::string indent = "   ";
    return text("Text1") + " " + kCrLf +                       //
           indent + text("Text2") + kCrLf +                    //
           indent + text("Text3") + kCrLf +                    //
           indent + text("Text4") + kCrLf + kCrLf +            //
           text("Text5") + kCrLf +                             //
           indent + text("Text6") + kCrLf + kCrLf +            //
           text("Text7") + kCrLf +                             //
           text("Text8") + kCrLf +                             //
           text("Text9");
}

void MainWindowModel::ShowHelpText() {
    services_.dialogs.MessageBox(HelpText(), kTitle, MessageIcon::None, MessageButtons::Ok);
}

}  // namespace vorlix
