#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language/Language.h"
#include "ui/Dialogs.h"

namespace vorlix::fuzz {

// Stops the target with a message on standard error; libFuzzer then keeps the
// input that broke the invariant.
[[noreturn]] void Fail(std::string_view what);

// Dialogs without a person: every message is recorded, every question is
// answered No and every file dialog is cancelled.
class SilentDialogs final : public Dialogs {
  public:
    struct Message {
        std::string text;
        std::string caption;
    };

    Answer MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                      MessageButtons buttons, DefaultButton defaultButton) override;
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
    void ShowEmergencyHelp(const std::string& caption, const std::string& text) override;

    std::vector<Message> messages;
    int emergencyHelps = 0;
};

// A folder of the target's own under the system's temporary folder, removed
// when the process ends normally.
std::filesystem::path ScratchFolder(std::string_view name);

// The shipped language packs, copied into "<folder>/Languages".
void CopyShippedPacks(const std::filesystem::path& folder);

// Names, sizes, modification times and contents of every file below a folder:
// equal snapshots mean nothing there was created, removed or changed.
using FolderSnapshot = std::map<std::string, std::string>;
FolderSnapshot Snapshot(const std::filesystem::path& folder);

// Installs the end routine that throws ProgramEnded, once.
void InstallEndRoutine();

// A program folder with the shipped packs, the English one loaded, and
// dialogs that record what was shown.
struct EnglishProgram {
    explicit EnglishProgram(std::string_view name);

    std::filesystem::path program;
    SilentDialogs dialogs;
    Language language;
};

}  // namespace vorlix::fuzz
