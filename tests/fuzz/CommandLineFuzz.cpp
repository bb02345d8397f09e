// Any command line, through the split and the whole load step of the main
// window with dialogs that answer No. Paths are kept inside a scratch data
// folder (so a device or a huge file is never named); nothing may be written
// anywhere else, neither in the working folder nor in the home folders.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "app/ProgramServices.h"
#include "fuzz/FuzzSupport.h"
#include "settings/AssociationPlatform.h"
#include "settings/SettingsStore.h"
#include "ui/EndProgram.h"
#include "util/ProgramLocation.h"

namespace fs = std::filesystem;
using namespace vorlix;

namespace {

class MemoryAssociationPlatform final : public AssociationPlatform {
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

struct Fixture {
    fs::path program = fuzz::ScratchFolder("cli-program");
    fs::path data = fuzz::ScratchFolder("cli-data");
    fs::path home = fuzz::ScratchFolder("cli-home");
    fs::path work = fuzz::ScratchFolder("cli-work");
    fs::path cache = fuzz::ScratchFolder("cli-cache");
    ProgramLocation location = ProgramLocation::FromExecutable(program / "vorlix");

    Fixture() {
        fuzz::InstallEndRoutine();
        fuzz::CopyShippedPacks(program);
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        setenv("XDG_CACHE_HOME", cache.c_str(), 1);
        // An update check reads a file that is not there: no network, a quick failure.
        setenv("VORLIX_UPDATE_URL", ("file://" + (cache / "none" / "update.txt").string()).c_str(),
               1);
        fs::current_path(work);
        std::ofstream(data / "a.txt") << "The quick brown fox";
        std::ofstream(data / "a.txt.MD5") << "# Created\r\n"
                                             "a2004f37730b9445670a738fa0fc9ee5 *a.txt\r\n";
        std::ofstream(data / "empty");
    }

    // Keeps a path inside the data folder: only its last name counts.
    std::string Confine(std::string_view path) const {
        const auto slash = path.find_last_of('/');
        std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
        if (name.empty() || name == "." || name == "..") name = "a.txt";
        return (data / name).string();
    }
};

std::vector<std::string> Words(std::string_view input) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= input.size() && words.size() < 16) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        words.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static Fixture fixture;
    const std::string_view input(reinterpret_cast<const char*>(bytes), size);

    // The split on its own, with the words as they come.
    const std::vector<std::string> raw = Words(input);
    const CommandLine split = SplitCommandLine(raw);
    if (split.arguments.size() + split.switches.size() > raw.size()) {
        fuzz::Fail("the split made words out of nothing");
    }

    // The load step, with every path kept in the data folder.
    std::vector<std::string> words;
    for (const std::string& word : raw) {
        if (const auto parsed = ParseSwitch(word)) {
            words.push_back(parsed->hasValue
                                ? "/" + parsed->name + ":" + fixture.Confine(parsed->value)
                                : "/" + parsed->name);
        } else if (!word.empty()) {
            words.push_back(fixture.Confine(word));
        }
    }

    const fuzz::FolderSnapshot home = fuzz::Snapshot(fixture.home);
    const fuzz::FolderSnapshot work = fuzz::Snapshot(fixture.work);
    const fuzz::FolderSnapshot program = fuzz::Snapshot(fixture.program);
    {
        fuzz::SilentDialogs dialogs;
        MemorySettingsStore store;
        ProgramServices services(dialogs, store, fixture.location,
                                 std::make_unique<MemoryAssociationPlatform>(), DigestRunner{});
        try {
            services.mainWindow.Form_Load(ParseCommandLine(words));
        } catch (const ProgramEnded& ended) {
            if (ended.status < kExitOk || ended.status > kExitFatal) {
                fuzz::Fail("an exit status outside 0, 1 and 2");
            }
        }
    }
    if (fuzz::Snapshot(fixture.home) != home || fuzz::Snapshot(fixture.work) != work ||
        fuzz::Snapshot(fixture.program) != program) {
        fuzz::Fail("the command line wrote outside the data folder");
    }
    for (const auto& entry : fs::recursive_directory_iterator(fixture.cache)) {
        if (!entry.is_directory()) fuzz::Fail("a file was left in the cache folder");
    }
    // What /auto wrote belongs to the user; the next input starts afresh.
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(fixture.data)) {
        const std::string name = entry.path().filename().string();
        if (name != "a.txt" && name != "a.txt.MD5" && name != "empty")
            fs::remove_all(entry, ignored);
    }
    std::ofstream(fixture.data / "a.txt.MD5", std::ios::trunc)
        << "# Created\r\na2004f37730b9445670a738fa0fc9ee5 *a.txt\r\n";
    return 0;
}
