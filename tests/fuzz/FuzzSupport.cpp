#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "ui/EndProgram.h"

namespace vorlix::fuzz {

namespace fs = std::filesystem;

void Fail(std::string_view what) {
    std::fprintf(stderr, "invariant broken: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

Answer SilentDialogs::MessageBox(const std::string& text, const std::string& caption, MessageIcon,
                                 MessageButtons buttons, DefaultButton) {
    messages.push_back({text, caption});
    return buttons == MessageButtons::YesNo ? Answer::No : Answer::Ok;
}

std::optional<std::string> SilentDialogs::OpenFile(const FileDialogRequest&) {
    return std::nullopt;
}

void SilentDialogs::ShowEmergencyHelp(const std::string&, const std::string&) { ++emergencyHelps; }

namespace {

struct ScratchRoot {
    fs::path path;
    ScratchRoot() {
        std::string pattern = (fs::temp_directory_path() / "vorlix-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) Fail("cannot make a scratch folder");
        path = pattern;
    }
    ~ScratchRoot() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

}  // namespace

fs::path ScratchFolder(std::string_view name) {
    static ScratchRoot root;
    const fs::path folder = root.path / name;
    fs::create_directories(folder);
    return folder;
}

void CopyShippedPacks(const fs::path& folder) {
    fs::create_directories(folder / "Languages");
    for (const char* pack : {"1027.xml", "1033.xml"}) {
        fs::copy_file(fs::path(VORLIX_SOURCE_PACKS) / pack, folder / "Languages" / pack,
                      fs::copy_options::overwrite_existing);
    }
}

FolderSnapshot Snapshot(const fs::path& folder) {
    FolderSnapshot snapshot;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        std::ostringstream facts;
        const auto status = it->symlink_status();
        facts << static_cast<int>(status.type()) << ' ' << static_cast<int>(status.permissions());
        if (status.type() == fs::file_type::regular) {
            std::ifstream in(path, std::ios::binary);
            facts << ' ' << std::string(std::istreambuf_iterator<char>(in), {});
        }
        snapshot[path.string()] = facts.str();
    }
    return snapshot;
}

void InstallEndRoutine() {
    static const bool installed = [] {
        SetEndRoutine([](int status) { throw ProgramEnded{status}; });
        return true;
    }();
    (void)installed;
}

EnglishProgram::EnglishProgram(std::string_view name)
    : program(ScratchFolder(name)), language(program / "Languages") {
    InstallEndRoutine();
    CopyShippedPacks(program);
    language.LoadLanguageFile(1033);
}

}  // namespace vorlix::fuzz
