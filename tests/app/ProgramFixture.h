#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ProgramServices.h"
#include "settings/AssociationPlatform.h"
#include "settings/SettingsStore.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "ui/EndProgram.h"

namespace vorlix::test {

// Remembers registrations instead of touching the desktop.
class RecordingAssociationPlatform final : public AssociationPlatform {
  public:
    AssociationFailures Register(const std::string&, const std::string& target,
                                 const std::string&) override {
        program = target;
        return {};
    }
    AssociationFailures Unregister(const std::string&, const std::string&) override {
        program.reset();
        return {};
    }
    std::optional<std::string> OpenCommandProgram(const std::string&) override { return program; }
    std::optional<std::string> program;
};

// A program installed in a temporary folder with the shipped packs, a store
// in memory and scripted dialogs: one run of Vorlix, ready for its load step.
struct ProgramFixture {
    ProgramFixture() {
        std::filesystem::create_directories(root.Path() / "bin" / "Languages");
        for (const char* pack : {"1027.xml", "1033.xml"}) {
            std::filesystem::copy_file(std::filesystem::path(VORLIX_SOURCE_PACKS) / pack,
                                       root.Path() / "bin" / "Languages" / pack);
        }
        location = ProgramLocation::FromExecutable(root.Path() / "bin" / "vorlix");
    }

    ProgramServices& Start(ManyFilesRunner runMany = {}) {
        program = std::make_unique<ProgramServices>(
            dialogs, store, location, std::make_unique<RecordingAssociationPlatform>(),
            [this](const std::string& path, DigestSet algorithms) {
                digested.push_back(path);
                return runDigest ? runDigest(path)
                                 : ComputeFileDigest(path, {}, nullptr,
                                                     FileKind::RegularOrBlockDevice, algorithms);
            },
            Downloader{}, std::move(runMany));
        return *program;
    }

    MainWindowModel& Window() { return program->mainWindow; }

    // Runs the load step and returns the exit status if the program ended.
    std::optional<int> Load(const std::vector<std::string>& words) {
        try {
            Window().Form_Load(ParseCommandLine(words));
            return std::nullopt;
        } catch (const ProgramEnded& ended) {
            return ended.status;
        }
    }

    TempDir root;
    ProgramLocation location;
    ScriptedDialogs dialogs;
    MemorySettingsStore store;
    std::unique_ptr<ProgramServices> program;
    std::function<FileDigestResult(const std::string& path)>
        runDigest;                      // empty: the real digest on this thread
    std::vector<std::string> digested;  // every path the window had digested
};

// A digest that the user cancels.
inline FileDigestResult CancelledDigest(const std::string&) {
    FileDigestResult result;
    result.status = FileDigestResult::Status::Cancelled;
    return result;
}

}  // namespace vorlix::test
