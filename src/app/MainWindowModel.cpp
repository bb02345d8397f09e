#include "app/MainWindowModel.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <locale>

#include "app/CommandLine.h"
#include "app/JobMessages.h"
#include "checksum/ChecksumFile.h"
#include "checksum/ChecksumList.h"
#include "checksum/ChecksumListVerification.h"
#include "checksum/ChecksumVerification.h"
#include "checksum/DigestText.h"
#include "checksum/FolderChecksum.h"
#include "checksum/PublishedBeside.h"
#include "identity/ProductInfo.h"
#include "identity/Version.h"
#include "language/Language.h"
#include "language/LanguageSwitch.h"
#include "settings/Options.h"
#include "settings/OptionsWindowModel.h"
#include "ui/Dialogs.h"
#include "ui/EndProgram.h"
#include "ui/Links.h"
#include "ui/ReadError.h"
#include "util/Clock.h"
#include "util/FileExists.h"
#include "util/PathHelpers.h"
#include "util/Text.h"

namespace vorlix {
namespace {

constexpr const char* kTitle = "Vorlix";
constexpr const char* kCrLf = "\r\n";

// No such file, as opening it would find: a dangling link is absent too.
bool IsAbsent(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) != 0 && errno == ENOENT;
}

}  // namespace

std::string ManualAddress() {
    return std::string(links::kManualFolder) + VersionString() + "/" + links::kManualFileName;
}

std::string VersionLabelText() {
    return ProductInfo::OfThisBuild().productName + ", ver." + VersionString() + ", build " +
           BuildString();
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
        services_.runDigest = [](const std::string& path, DigestSet algorithms) {
            return ComputeFileDigest(path, {}, nullptr, FileKind::RegularOrBlockDevice, algorithms);
        };
    }
}

void MainWindowModel::Changed() {
    if (view_) view_->StateChanged();
}

void MainWindowModel::Form_Load(const ParsedCommandLine& command) {
    state_.onLineHelpUrl = ManualAddress();
    state_.cmdEndProgramVisible = false;
    if (view_) view_->CentreOnScreen();
    state_.lblVersionInfo = VersionLabelText();

    // Command-line work runs for a script or the desktop, with nobody sure to
    // be there: it must never register the program on its own.
    services_.options.SetAssociationQuestionAllowed(!command.anySwitch &&
                                                    command.arguments.empty());
    const std::int32_t language = services_.options.RunStartSequence();
    services_.languages.ApplyLanguage(language);
    LoadLangPackToMainForm();

    ActOnCommandLine(command);
    if (AutoMode) RunAutomaticMode();
    Changed();
}

void MainWindowModel::ActOnCommandLine(const ParsedCommandLine& command) {
    if (command.anySwitch) {
        // Everything was read first: a line that cannot be done whole does nothing.
        if (command.error) {
            ShowUsageError(*command.error);
            EndProgram(kExitFatal);
        }
        const CommandRequest& request = command.request;
        if (request.help) {
            ShowHelpText();
            EndProgram(kExitOk);
        }
        if (request.version) {
            services_.dialogs.MessageBox(VersionLabelText(), kTitle, MessageIcon::None);
            EndProgram(kExitOk);
        }
        AutoMode = request.autoMode;
        if (request.algorithm) saveAlgorithm_ = *request.algorithm;
        if (request.checkUpdate) EndProgram(ExitStatusOf(RunUpdateCheck()));
        if (request.sourceFolder)
            EndProgram(CreateFolderChecksum(*request.sourceFolder, request.algorithm));
        if (request.sourceFile) {
            state_.txtPathAndFileName = *request.sourceFile;
            txtPathAndFileName_Change(state_.txtPathAndFileName);
        }
        if (request.expect) RunExpectedDigest(*request.expect);
        if (request.calculate) CalculateNamedItems(command.arguments);
        // Asked for by name, so each word is verified; one that is no
        // readable file is an error of its own.
        if (request.ignoreMissing) {
            int status = kExitOk;
            for (const std::string& path : command.arguments) {
                status = std::max(status, VerifyAnyChecksumFile(path, true));
            }
            EndProgram(status);
        }
        return;
    }
    // Existing files alone are checksum files handed over by the desktop or
    // a file manager: each is verified in turn, the worst outcome counts.
    if (!command.arguments.empty() &&
        std::all_of(command.arguments.begin(), command.arguments.end(),
                    [](const std::string& path) { return FileExists(path); })) {
        int status = kExitOk;
        for (const std::string& path : command.arguments) {
            status = std::max(status, VerifyAnyChecksumFile(path));
        }
        EndProgram(status);
    }
}

void MainWindowModel::CalculateNamedItems(const std::vector<std::string>& paths) {
    namespace fs = std::filesystem;
    if (paths.empty()) {
        ShowHelpText();
        EndProgram(kExitFatal);
    }
    if (paths.size() == 1) {
        const std::string& path = paths.front();
        std::error_code ignored;
        if (fs::is_directory(path, ignored)) EndProgram(CreateFolderChecksum(path));
        if (!FileExists(path)) {
            ShowFileReadError(services_.dialogs, path);
            EndProgram(kExitFatal);
        }
        // One file is shown in the window; /auto then saves it as with /sourcefile.
        if (view_ || AutoMode) {
            txtPathAndFileName_Change(path);
            services_.options.StoreLastUsedPath(path);
            if (!AutoMode) CalculateDigest();
            return;
        }
    }
    const ManyFilesOutcome outcome = DigestDroppedItems(paths);
    // Without a window the lines printed are the whole result.
    if (!view_) {
        const bool complete =
            !outcome.cancelled && outcome.counts.missing == 0 && outcome.counts.unreadable == 0;
        EndProgram(complete ? kExitOk : kExitVerificationFailed);
    }
}

void MainWindowModel::ShowUsageError(const UsageError& error) {
    const auto label = [this](std::string_view key) {
        return services_.language.GetLabel("modCommandLine", key);
    };
    const auto& names = error.switches;
    std::string reason;
    switch (error.kind) {
        case UsageError::Kind::Unknown:
            reason = label("usageUnknown") + " " + names.at(0);
            break;
        case UsageError::Kind::NoValue:
            reason = label("usageNoValue") + " " + names.at(0);
            break;
        case UsageError::Kind::NeedsValue:
            reason = label("usageNeedsValue") + " " + names.at(0);
            break;
        case UsageError::Kind::Twice:
            reason = label("usageTwice") + " " + names.at(0);
            break;
        case UsageError::Kind::Together:
            reason = label("usageTogether") + " " + names.at(0) + " " + names.at(1);
            break;
        case UsageError::Kind::UnknownDigest:
            reason = names.at(0) + " " + label("usageUnknownDigest") + " " + names.at(1);
            break;
        case UsageError::Kind::Needs:
            if (names.size() == 1) {
                reason = names[0] + " " + label("usageNeedsFiles");
                break;
            }
            reason = names.at(0) + " " + label("usageNeeds") + " " + names.at(1);
            for (std::size_t i = 2; i < names.size(); ++i) {
                reason += " " + label("usageOr") + " " + names[i];
            }
            break;
    }
    services_.dialogs.MessageBox(reason + kCrLf + label("usageMore"), label("usageCaption"),
                                 MessageIcon::Stop);
}

int MainWindowModel::VerifyAnyChecksumFile(const std::string& checksumPath, bool passOverAbsent) {
    ClassifiedChecksumFile file = ReadClassifiedChecksumFile(checksumPath);
    if (file.kind == ChecksumFileKind::Unreadable) {
        ShowFileReadError(services_.dialogs, checksumPath);
        return kExitFatal;
    }
    if (file.kind == ChecksumFileKind::Single) {
        const VerifyResult result =
            VerifyChecksumFile(checksumPath, file.file->Content(), [this](const std::string& path) {
                return services_.runDigest(path, DigestAlgorithm::Md5);
            });
        // Its one file absent, nothing was verified: said as for a list.
        if (passOverAbsent && result.messages.size() == 1 &&
            result.messages[0].kind == VerifyMessage::Kind::MissingFile &&
            IsAbsent(ResolveDataPath(checksumPath, result.messages[0].subject))) {
            ShowNoneVerified(services_.dialogs, services_.language, checksumPath);
            return kExitVerificationFailed;
        }
        ShowVerifyResult(services_.dialogs, services_.language, result);
        switch (result.outcome) {
            case VerifyOutcome::NothingDone:
            case VerifyOutcome::Passed:
                return kExitOk;
            case VerifyOutcome::Failed:
            case VerifyOutcome::Cancelled:
                return kExitVerificationFailed;
            case VerifyOutcome::ReadError:
                break;
        }
        // A data file that cannot be read ends the program after its message.
        EndProgram(kExitFatal);
    }
    const ListResult result = VerifyChecksumList(services_.runMany, checksumPath, *file.file,
                                                 file.entries, passOverAbsent);
    ShowListResult(services_.dialogs, services_.language, checksumPath, result);
    switch (result.outcome) {
        case ListOutcome::Passed:
            return kExitOk;
        case ListOutcome::Failed:
            return kExitVerificationFailed;
        case ListOutcome::NoUsableEntry:
            break;
    }
    return kExitFatal;
}

int MainWindowModel::CreateFolderChecksum(const std::string& folder,
                                          std::optional<DigestAlgorithm> algorithm) {
    const FolderResult result = CreateFolderChecksumFile(
        services_.dialogs, services_.language, services_.clock, services_.runMany, folder, AutoMode,
        algorithm.value_or(services_.options.FolderDigest));
    ShowFolderResult(services_.dialogs, services_.language, folder, result);
    switch (result.outcome) {
        case FolderOutcome::Complete:
            return kExitOk;
        case FolderOutcome::Incomplete:
        case FolderOutcome::Cancelled:
            return kExitVerificationFailed;
        case FolderOutcome::Failed:
        case FolderOutcome::NotAFolder:
            break;
    }
    return kExitFatal;
}

void MainWindowModel::RunExpectedDigest(const std::string& text) {
    const std::optional<PublishedDigest> expected = ParseDigestText(text);
    if (!expected) {
        services_.dialogs.MessageBox(
            text + " " + services_.language.GetLabel("modChecksumList", "compareBadDigest"),
            services_.language.GetLabel("modChecksumList", "compareCaption"), MessageIcon::Stop);
        EndProgram(kExitFatal);
    }
    EndUnlessTheFileIsThere();
    // A cancelled digest was compared with nothing.
    if (!CalculateDigest(expected->algorithms)) EndProgram(kExitVerificationFailed);
    // A file that is not the published one is never recorded.
    if (!ShowComparison(*expected)) EndProgram(kExitVerificationFailed);
    if (!AutoMode) EndProgram(kExitOk);
    SaveAndEnd();
}

DigestAlgorithm MainWindowModel::ComparedAlgorithm(const PublishedDigest& expected) const {
    // For 128 digits both candidates were computed: the one that matches.
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        if (expected.algorithms.Has(algorithm) &&
            SameDigest(expected.digest, TextOf(computed_, algorithm)))
            return algorithm;
    }
    return expected.algorithms.First();
}

bool MainWindowModel::ShowComparison(const PublishedDigest& expected) {
    const auto label = [this](std::string_view key) {
        return services_.language.GetLabel("modChecksumList", key);
    };
    const DigestAlgorithm algorithm = ComparedAlgorithm(expected);
    const std::string computed(algorithm == DigestAlgorithm::Md5 ? state_.txtMD5Result
                                                                 : TextOf(computed_, algorithm));
    const bool match = SameDigest(expected.digest, computed);
    // 128 digits that match neither: both digests, each with its name.
    std::string computedText = computed;
    if (!match && expected.algorithms.Size() > 1) {
        computedText.clear();
        for (DigestAlgorithm other : kDigestAlgorithms) {
            if (!expected.algorithms.Has(other)) continue;
            if (!computedText.empty()) computedText += ", ";
            computedText += std::string(TextOf(computed_, other)) + " (" +
                            std::string(DisplayName(other)) + ")";
        }
    }
    // MD5 keeps its words; another digest is named in them.
    std::string opening =
        label(algorithm == DigestAlgorithm::Md5 ? "compareText1" : "compareTextOther");
    if (const auto at = opening.find("%1"); algorithm != DigestAlgorithm::Md5 && at != opening.npos)
        opening.replace(at, 2, DisplayName(algorithm));
    const std::string text = opening + " " + PathFileName(state_.txtPathAndFileName) + " " +
                             label(match ? "compareMatch" : "compareMismatch") + kCrLf +
                             label("compareComputed") + " " + computedText + kCrLf +
                             label("comparePublished") + " " + AsciiLower(expected.digest);
    state_.digestComparison = match ? DigestComparison::Match : DigestComparison::Mismatch;
    state_.comparedAlgorithm = algorithm;
    if (algorithm != DigestAlgorithm::Md5) state_.otherDigests.Set(algorithm, computed);
    Changed();
    services_.dialogs.MessageBox(text, label("compareCaption"),
                                 match ? MessageIcon::Information : MessageIcon::Stop);
    return match;
}

void MainWindowModel::mnuFile_CompareDigest_Click() {
    const auto label = [this](std::string_view key) {
        return services_.language.GetLabel("modChecksumList", key);
    };
    // A digest of nothing compares with nothing: the file comes first.
    if (state_.txtMD5Result.empty() && !FileExists(state_.txtPathAndFileName)) {
        services_.dialogs.MessageBox(label("compareNoFile"), label("compareCaption"),
                                     MessageIcon::Information);
        return;
    }
    std::optional<PublishedDigest> expected;
    if (view_) {
        if (const auto clipboard = view_->ClipboardText())
            expected = FindPublishedDigest(*clipboard);
    }
    if (!expected) {
        if (!view_) return;
        const auto typed = view_->AskText(label("compareAsk"), label("compareCaption"));
        if (!typed || Trim(*typed).empty()) return;
        expected = FindPublishedDigest(*typed);
        if (!expected) {
            services_.dialogs.MessageBox(
                std::string(Trim(*typed)) + " " + label("compareBadDigest"),
                label("compareCaption"), MessageIcon::Stop);
            return;
        }
    }
    // Not computed yet, or not in this digest: one more read, which keeps
    // what the options ask for too.
    bool computed = !state_.txtMD5Result.empty();
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        if (expected->algorithms.Has(algorithm) && TextOf(computed_, algorithm).empty())
            computed = false;
    }
    if (!computed) {
        // Gone while the digest was asked for: a missing file must not end
        // the program here.
        if (!FileExists(state_.txtPathAndFileName)) return;
        if (!CalculateDigest(expected->algorithms)) return;  // cancelled
    }
    ShowComparison(*expected);
}

void MainWindowModel::mnuFile_FolderMD5_Click() {
    if (!view_) return;
    const auto folder =
        view_->ChooseFolder(services_.language.GetLabel("modChecksumList", "folderTitle"));
    if (!folder) return;
    CreateFolderChecksum(*folder);
}

void MainWindowModel::DropItems(const std::vector<std::string>& paths) {
    namespace fs = std::filesystem;
    if (paths.empty()) return;
    std::error_code ignored;
    if (paths.size() == 1) {
        const std::string& path = paths.front();
        if (fs::is_directory(path, ignored)) {
            CreateFolderChecksum(path);
        } else if (FileExists(path) && IsChecksumFileName(path)) {
            VerifyAnyChecksumFile(path);
        } else if (FileExists(path)) {
            txtPathAndFileName_Change(path);
            services_.options.StoreLastUsedPath(path);
            CalculateDigest();
        }
        return;
    }
    DigestDroppedItems(paths);
}

ManyFilesOutcome MainWindowModel::DigestDroppedItems(const std::vector<std::string>& paths) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    // Several at once: every file, folders with their content, into one run.
    ManyFilesJob job;
    job.kind = ManyFilesKind::Dropped;
    job.title = fs::path(paths.front()).parent_path().string();
    job.listFolder = job.title;
    for (const std::string& path : paths) {
        if (fs::is_directory(path, ignored)) {
            for (const FolderFile& file : ScanFolder(path).files) {
                job.names.push_back(file.path);
                job.paths.push_back(file.path);
            }
        } else {
            job.names.push_back(path);
            job.paths.push_back(path);
        }
    }
    return services_.runMany ? services_.runMany(job) : RunManyFiles(job);
}

void MainWindowModel::RunAutomaticMode() {
    // Without a file to digest there is nothing to save: never write ".MD5" alone.
    EndUnlessTheFileIsThere();
    // A cancelled digest leaves nothing that belongs to the file: write
    // nothing, keep an existing checksum file as it is.
    if (!CalculateDigest()) EndProgram(kExitVerificationFailed);
    SaveAndEnd();
}

void MainWindowModel::EndUnlessTheFileIsThere() {
    const std::string& path = state_.txtPathAndFileName;
    if (path.empty()) {
        ShowHelpText();
        EndProgram(kExitFatal);
    }
    if (!FileExists(path)) {
        ShowFileReadError(services_.dialogs, path);
        EndProgram(kExitFatal);
    }
}

void MainWindowModel::SaveAndEnd() {
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
    state_.digestComparison = DigestComparison::None;
    state_.comparedAlgorithm = DigestAlgorithm::Md5;
    state_.otherDigests = {};
    state_.published.reset();
    computed_ = {};
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

bool MainWindowModel::CalculateDigest(DigestSet extra) {
    const std::string path = state_.txtPathAndFileName;
    if (path.empty()) return false;

    DigestSet algorithms = DigestAlgorithm::Md5;
    algorithms.Add(services_.options.AlsoCompute).Add(extra).Add(saveAlgorithm_);
    const std::optional<PublishedBeside> beside = FindPublishedBeside(path);
    if (beside) algorithms.Add(beside->published.algorithms);

    // Whatever was shown belongs to an earlier run; it must not outlive a
    // run that is cancelled or fails.
    ClearResults();
    Changed();
    const auto start = services_.clock.Monotonic();
    const FileDigestResult result = services_.runDigest(path, algorithms);
    const auto end = services_.clock.Monotonic();
    switch (result.status) {
        case FileDigestResult::Status::Cancelled:
            return false;
        case FileDigestResult::Status::ReadError:
            ShowFileReadError(services_.dialogs, path, ReadErrorReason(result));
            EndProgram(kExitFatal);
        case FileDigestResult::Status::Ok:
            break;
    }
    state_.txtMD5Result = result.digest;
    computed_ = result.digests;
    computed_.Set(result.algorithm, result.digest);
    for (DigestAlgorithm algorithm : kAlsoComputable) {
        if (services_.options.AlsoCompute.Has(algorithm))
            state_.otherDigests.Set(algorithm, TextOf(computed_, algorithm));
    }
    if (beside) {
        MainWindowState::PublishedMark mark;
        mark.source = PathFileName(beside->checksumPath);
        mark.algorithm = ComparedAlgorithm(beside->published);
        mark.match = SameDigest(beside->published.digest, TextOf(computed_, mark.algorithm));
        if (mark.algorithm != DigestAlgorithm::Md5)
            state_.otherDigests.Set(mark.algorithm, TextOf(computed_, mark.algorithm));
        state_.published = mark;
    }
    state_.txtFileSize = std::to_string(result.size) + " bytes";
    state_.txtTimeOperate = FormatElapsedSeconds(end - start, services_.decimalSeparator) + " sec.";
    state_.cndSaveMD5FileEnabled = true;
    Changed();
    return true;
}

SaveOutcome MainWindowModel::SaveChecksumFile() {
    ChecksumSaveRequest request;
    request.dataPath = state_.txtPathAndFileName;
    request.algorithm = saveAlgorithm_;
    request.digestText = saveAlgorithm_ == DigestAlgorithm::Md5 ? state_.txtMD5Result
                                                                : TextOf(computed_, saveAlgorithm_);
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
    VerifyAnyChecksumFile(*chosen);
}

void MainWindowModel::mnuAbout_TestActualProg_Click() {
    if (!state_.mnuAbout_TestActualProgEnabled) return;
    RunUpdateCheck();
}

UpdateOutcome MainWindowModel::RunUpdateCheck() {
    UpdateProcessModel process(services_.dialogs, services_.language,
                               UpdateCheckSettingsFromEnvironment(), services_.download);
    if (view_) {
        view_->ShowUpdateProcess(process);
    } else {
        process.RunWithoutWindow();
    }
    // A file that does not list this program will not list it later in this run.
    if (process.Outcome() == UpdateOutcome::NotListed) {
        state_.mnuAbout_TestActualProgEnabled = false;
        Changed();
    }
    return process.Outcome();
}

void MainWindowModel::mnuOptions_Options_Click() {
    // A new window for every opening, gone when it closes.
    OptionsWindowModel window(OptionsWindowServices{
        services_.language, services_.languages, services_.options, services_.options.Association(),
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
    if (services_.dialogs.AskWithCaptions(text, caption, MessageIcon::Question, DefaultButton::Yes,
                                          buttons) != Answer::Yes) {
        return;
    }
    services_.languages.ApplyLanguage(identifier);
    LoadLangPackToMainForm();
}

void MainWindowModel::lblVersionInfo_Click() {
    if (view_) view_->PutOnClipboard(state_.lblVersionInfo);
}

std::string PublishedText(const MainWindowState& state) {
    if (!state.published) return {};
    const auto& mark = *state.published;
    std::string text =
        mark.match ? state.labels.lblPublishedMatch : state.labels.lblPublishedMismatch;
    // %2 first: the file's name may itself hold "%2".
    if (const auto at = text.find("%2"); at != text.npos)
        text.replace(at, 2, DisplayName(mark.algorithm));
    if (const auto at = text.find("%1"); at != text.npos) text.replace(at, 2, mark.source);
    return text;
}

void MainWindowModel::CopyDigest() {
    if (view_ && !state_.txtMD5Result.empty()) view_->PutOnClipboard(state_.txtMD5Result);
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
    labels.mnuFile_FolderMD5 = pack.GetLabel("MainMenu", "mnuFile_FolderMD5");
    labels.mnuFile_CompareDigest = pack.GetLabel("MainMenu", "mnuFile_CompareDigest");
    labels.lblPublishedMatch = pack.GetLabel("frmVorlix", "lblPublishedMatch");
    labels.lblPublishedMismatch = pack.GetLabel("frmVorlix", "lblPublishedMismatch");
    Changed();
}

std::string MainWindowModel::HelpText() const {
    const auto text = [this](const char* key) {
        return services_.language.GetLabel("modVorlix", key);
    };
    const std::string indent = "   ";
    return text("Text1") + " " + kCrLf +             //
           indent + text("Text2") + kCrLf +          //
           indent + text("Text3") + kCrLf +          //
           indent + text("Text4") + kCrLf + kCrLf +  //
           text("Text5") + kCrLf +                   //
           indent + text("Text6") + kCrLf + kCrLf +  //
           text("Text7") + kCrLf +                   //
           text("Text8") + kCrLf +                   //
           text("Text9");
}

void MainWindowModel::ShowHelpText() {
    services_.dialogs.MessageBox(HelpText(), kTitle, MessageIcon::None, MessageButtons::Ok);
}

}  // namespace vorlix
