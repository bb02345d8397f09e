#include "settings/XdgAssociationPlatform.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "util/Text.h"

extern char** environ;

namespace vorlix {

namespace {

// Our entries carry this prefix so that they can never be taken for another
// program's, and removal can never touch one.
constexpr const char* kIdPrefix = "vorlix-filetype-";
constexpr const char* kDefaultGroup = "[Default Applications]";

std::string Sanitized(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        out += plain ? c : '_';
    }
    return out.empty() ? std::string("_") : out;
}

std::filesystem::path XdgFolder(const char* variable, const char* fallbackBelowHome) {
    const char* value = std::getenv(variable);
    // Relative values are invalid by the base-directory rules and must be ignored.
    if (value && *value == '/') return value;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/") / fallbackBelowHome;
}

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Where a chain of symbolic links ends. Users keep mimeapps.list in a dotfiles
// folder and link to it; renaming over the link would cut that tie.
std::filesystem::path LinkTarget(std::filesystem::path file) {
    std::error_code error;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(file, error); ++hops) {
        const std::filesystem::path target = std::filesystem::read_symlink(file, error);
        if (error) break;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return file;
}

// Written beside and renamed over, so that a reader never sees half a file.
void WriteText(const std::filesystem::path& link, const std::string& text) {
    const std::filesystem::path file = LinkTarget(link);
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    const std::filesystem::path temporary = file.string() + ".vorlix-new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            std::filesystem::remove(temporary, ignored);
            return;
        }
    }
    // A list the user keeps private stays private.
    const auto existing = std::filesystem::status(file, ignored);
    if (std::filesystem::is_regular_file(existing)) {
        std::filesystem::permissions(temporary, existing.permissions(), ignored);
    }
    std::filesystem::rename(temporary, file, ignored);
    if (ignored) std::filesystem::remove(temporary, ignored);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
}

std::string EscapedXml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Runs a desktop database tool when it is installed; its absence is no error,
// the files are then picked up by the next tool run of the desktop itself.
void RunToolIfPresent(const char* tool, const std::filesystem::path& folder) {
    const std::string argument = folder.string();
    char* argv[] = {const_cast<char*>(tool), const_cast<char*>(argument.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    if (posix_spawnp(&child, tool, &actions, nullptr, argv, environ) == 0) {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}

void RefreshDatabases() {
    RunToolIfPresent("update-mime-database", XdgAssociationPlatform::DataHome() / "mime");
    RunToolIfPresent("update-desktop-database",
                     XdgAssociationPlatform::DataHome() / "applications");
}

// mimeapps.list with our default for one MIME type set (desktopId) or taken
// out (empty desktopId); every other line stays as it was.
std::string WithDefaultApplication(const std::string& text, const std::string& mimeType,
                                   const std::string& ourId, bool set) {
    std::vector<std::string> lines = Lines(text);
    const std::string prefix = mimeType + "=";
    bool inDefaults = false;
    bool sawDefaults = false;
    bool written = false;
    std::vector<std::string> out;
    auto insertOurs = [&] {
        if (set && !written) out.push_back(prefix + ourId + ";");
        written = true;
    };
    for (const auto& line : lines) {
        const std::string_view trimmed = Trim(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            if (inDefaults) insertOurs();
            inDefaults = trimmed == kDefaultGroup;
            sawDefaults = sawDefaults || inDefaults;
            out.push_back(line);
            continue;
        }
        if (inDefaults && line.rfind(prefix, 0) == 0) {
            if (set) {
                insertOurs();
                continue;
            }
            // Only our own id leaves the list; a default the user chose stays.
            std::string kept;
            std::istringstream ids(line.substr(prefix.size()));
            for (std::string id; std::getline(ids, id, ';');) {
                if (!id.empty() && id != ourId) kept += id + ";";
            }
            if (!kept.empty()) out.push_back(prefix + kept);
            continue;
        }
        out.push_back(line);
    }
    if (inDefaults) insertOurs();
    if (set && !sawDefaults) {
        if (!out.empty() && !out.back().empty()) out.push_back("");
        out.push_back(kDefaultGroup);
        out.push_back(prefix + ourId + ";");
    }
    return Joined(out);
}

// The value of a key in the [Desktop Entry] group, exactly as stored.
std::optional<std::string> DesktopEntryValue(const std::string& text, const std::string& key) {
    bool inEntry = false;
    for (const auto& line : Lines(text)) {
        const std::string_view trimmed = Trim(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            inEntry = trimmed == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        if (Trim(std::string_view(line).substr(0, equals)) == key) {
            return std::string(Trim(std::string_view(line).substr(equals + 1)));
        }
    }
    return std::nullopt;
}

std::vector<std::string> ListValue(const std::string& value) {
    std::vector<std::string> items;
    std::istringstream in(value);
    for (std::string item; std::getline(in, item, ';');) {
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

// The first application that the user's mimeapps.list names as the default
// for a MIME type.
std::string UserDefaultFor(const std::string& mimeType) {
    bool inDefaults = false;
    for (const auto& line : Lines(ReadText(XdgAssociationPlatform::MimeAppsListPath()))) {
        const std::string_view trimmed = Trim(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            inDefaults = trimmed == kDefaultGroup;
            continue;
        }
        if (inDefaults && line.rfind(mimeType + "=", 0) == 0) {
            const auto ids = ListValue(line.substr(mimeType.size() + 1));
            return ids.empty() ? std::string() : ids.front();
        }
    }
    return {};
}

// The full path of the program an Exec= value runs, looked up on PATH as the
// desktop would when it names no folder; empty when it cannot be found.
std::filesystem::path ResolvedProgram(const std::string& program) {
    std::error_code error;
    if (program.empty()) return {};
    std::filesystem::path found;
    if (program.find('/') != std::string::npos) {
        found = program;
    } else {
        const char* path = std::getenv("PATH");
        std::istringstream folders(path ? path : "");
        for (std::string folder; std::getline(folders, folder, ':');) {
            const std::filesystem::path candidate = std::filesystem::path(folder) / program;
            if (!folder.empty() && std::filesystem::is_regular_file(candidate, error) &&
                access(candidate.c_str(), X_OK) == 0) {
                found = candidate;
                break;
            }
        }
        if (found.empty()) return {};
    }
    // The running program knows itself by its path with links resolved.
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(found, error);
    return error ? found : canonical;
}

// The installed desktop entry when it runs target and opens mimeType.
std::optional<std::filesystem::path> InstalledEntryOf(const std::string& target,
                                                      const std::string& mimeType) {
    const auto entry = XdgAssociationPlatform::InstalledDesktopEntryPath();
    if (!entry) return std::nullopt;
    const std::string text = ReadText(*entry);
    const auto exec = DesktopEntryValue(text, "Exec");
    const auto types = ListValue(DesktopEntryValue(text, "MimeType").value_or(""));
    if (!exec || std::find(types.begin(), types.end(), mimeType) == types.end()) {
        return std::nullopt;
    }
    const auto program = ResolvedProgram(ProgramOfDesktopExec(*exec));
    if (program.empty() || program != ResolvedProgram(target)) return std::nullopt;
    return entry;
}

void RemoveOwnFiles(const std::string& typeName) {
    std::error_code ignored;
    std::filesystem::remove(XdgAssociationPlatform::DesktopEntryPath(typeName), ignored);
    std::filesystem::remove(XdgAssociationPlatform::MimePackagePath(typeName), ignored);
    std::filesystem::remove(XdgAssociationPlatform::IconPath(typeName), ignored);
}

constexpr const char* kIconSvg =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <path d="M14 4h26l12 12v44H14z" fill="#f4f6fa" stroke="#3b5494" stroke-width="3"/>
  <path d="M40 4v12h12" fill="none" stroke="#3b5494" stroke-width="3"/>
  <text x="33" y="34" font-family="sans-serif" font-size="13" font-weight="bold"
        text-anchor="middle" fill="#3b5494">MD5</text>
  <path d="M22 44l7 7 13-14" fill="none" stroke="#2e9d4f" stroke-width="5"
        stroke-linecap="round" stroke-linejoin="round"/>
</svg>
)";

}  // namespace

static std::string KeyFileEscaped(const std::string& value) {
    std::string stored;
    for (char c : value) {
        switch (c) {
            case '\\':
                stored += "\\\\";
                break;
            case '\n':
                stored += "\\n";
                break;
            case '\t':
                stored += "\\t";
                break;
            case '\r':
                stored += "\\r";
                break;
            default:
                stored += c;
        }
    }
    return stored;
}

std::string DesktopExecValue(const std::string& program) {
    // Quoting rules of Exec first, then the escapes of every string value.
    std::string quoted = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';
        quoted += c;
    }
    quoted += "\" %f";
    return KeyFileEscaped(quoted);
}

std::string ProgramOfDesktopExec(const std::string& storedValue) {
    std::string value;
    for (std::size_t i = 0; i < storedValue.size(); ++i) {
        char c = storedValue[i];
        if (c == '\\' && i + 1 < storedValue.size()) {
            const char next = storedValue[++i];
            c = next == 'n'   ? '\n'
                : next == 't' ? '\t'
                : next == 'r' ? '\r'
                : next == 's' ? ' '
                              : next;
        }
        value += c;
    }
    std::string program;
    std::size_t i = 0;
    if (!value.empty() && value[0] == '"') {
        for (i = 1; i < value.size() && value[i] != '"'; ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) ++i;
            program += value[i];
        }
        if (i >= value.size()) return {};
    } else {
        for (; i < value.size() && value[i] != ' ' && value[i] != '\t'; ++i) program += value[i];
    }
    std::string unescaped;
    for (std::size_t k = 0; k < program.size(); ++k) {
        unescaped += program[k];
        if (program[k] == '%' && k + 1 < program.size() && program[k + 1] == '%') ++k;
    }
    return unescaped;
}

std::filesystem::path XdgAssociationPlatform::DataHome() {
    return XdgFolder("XDG_DATA_HOME", ".local/share");
}

std::filesystem::path XdgAssociationPlatform::ConfigHome() {
    return XdgFolder("XDG_CONFIG_HOME", ".config");
}

std::string XdgAssociationPlatform::MimeTypeName(const std::string& typeName,
                                                 const std::string& extension) {
    return "application/x-" + AsciiLower(Sanitized(typeName)) + "-" +
           AsciiLower(Sanitized(extension));
}

std::string XdgAssociationPlatform::DesktopFileId(const std::string& typeName) {
    return kIdPrefix + Sanitized(typeName) + ".desktop";
}

std::filesystem::path XdgAssociationPlatform::DesktopEntryPath(const std::string& typeName) {
    return DataHome() / "applications" / DesktopFileId(typeName);
}

std::filesystem::path XdgAssociationPlatform::MimePackagePath(const std::string& typeName) {
    return DataHome() / "mime" / "packages" / (kIdPrefix + Sanitized(typeName) + ".xml");
}

std::filesystem::path XdgAssociationPlatform::IconPath(const std::string& typeName) {
    return DataHome() / "icons" / "hicolor" / "scalable" / "apps" /
           (kIdPrefix + Sanitized(typeName) + ".svg");
}

std::filesystem::path XdgAssociationPlatform::MimeAppsListPath() {
    return ConfigHome() / "mimeapps.list";
}

std::string XdgAssociationPlatform::InstalledDesktopFileId() { return VORLIX_DESKTOP_ID; }

std::optional<std::filesystem::path> XdgAssociationPlatform::InstalledDesktopEntryPath() {
    std::vector<std::filesystem::path> folders{DataHome()};
    const char* value = std::getenv("XDG_DATA_DIRS");
    std::istringstream dirs(value && *value ? value : "/usr/local/share:/usr/share");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        if (!dir.empty() && dir.front() == '/') folders.emplace_back(dir);
    }
    std::error_code error;
    for (const auto& folder : folders) {
        const auto entry = folder / "applications" / InstalledDesktopFileId();
        if (std::filesystem::is_regular_file(entry, error)) return entry;
    }
    return std::nullopt;
}

void XdgAssociationPlatform::Register(const std::string& extension, const std::string& target,
                                      const std::string& typeName) {
    const std::string mimeType = MimeTypeName(typeName, extension);
    const std::string iconName = kIdPrefix + Sanitized(typeName);
    const auto list = MimeAppsListPath();

    if (InstalledEntryOf(target, mimeType)) {
        // Files of ours beside the installed entry would list the program twice.
        RemoveOwnFiles(typeName);
        WriteText(list,
                  WithDefaultApplication(ReadText(list), mimeType, InstalledDesktopFileId(), true));
        RefreshDatabases();
        return;
    }

    WriteText(MimePackagePath(typeName),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
              "  <mime-type type=\"" +
                  mimeType +
                  "\">\n"
                  "    <comment>" +
                  EscapedXml(typeName) +
                  " MD5 checksum file</comment>\n"
                  "    <sub-class-of type=\"text/plain\"/>\n"
                  "    <icon name=\"" +
                  iconName +
                  "\"/>\n"
                  "    <glob pattern=\"*." +
                  EscapedXml(extension) +
                  "\"/>\n"
                  "  </mime-type>\n"
                  "</mime-info>\n");

    WriteText(IconPath(typeName), kIconSvg);

    WriteText(DesktopEntryPath(typeName),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=" +
                  KeyFileEscaped(typeName) +
                  "\n"
                  "Exec=" +
                  DesktopExecValue(target) +
                  "\n"
                  "Icon=" +
                  iconName +
                  "\n"
                  "MimeType=" +
                  mimeType +
                  ";\n"
                  "Terminal=false\n"
                  "NoDisplay=true\n");

    WriteText(list,
              WithDefaultApplication(ReadText(list), mimeType, DesktopFileId(typeName), true));

    RefreshDatabases();
}

void XdgAssociationPlatform::Unregister(const std::string& extension, const std::string& typeName) {
    std::error_code ignored;
    RemoveOwnFiles(typeName);

    const auto list = MimeAppsListPath();
    if (std::filesystem::exists(list, ignored)) {
        const std::string before = ReadText(list);
        const std::string mimeType = MimeTypeName(typeName, extension);
        // The installed entry stays installed; only the user's choice of it goes.
        const std::string after = WithDefaultApplication(
            WithDefaultApplication(before, mimeType, DesktopFileId(typeName), false), mimeType,
            InstalledDesktopFileId(), false);
        if (after != before) WriteText(list, after);
    }

    RefreshDatabases();
}

std::optional<std::string> XdgAssociationPlatform::OpenCommandProgram(const std::string& typeName) {
    std::error_code ignored;
    const auto entry = DesktopEntryPath(typeName);
    if (std::filesystem::is_regular_file(entry, ignored)) {
        const auto exec = DesktopEntryValue(ReadText(entry), "Exec");
        if (!exec) return std::nullopt;
        return ProgramOfDesktopExec(*exec);
    }
    // The installed entry opens the type once the user's default names it.
    const auto installed = InstalledDesktopEntryPath();
    if (!installed) return std::nullopt;
    const std::string text = ReadText(*installed);
    const auto exec = DesktopEntryValue(text, "Exec");
    if (!exec) return std::nullopt;
    for (const auto& mimeType : ListValue(DesktopEntryValue(text, "MimeType").value_or(""))) {
        if (UserDefaultFor(mimeType) == InstalledDesktopFileId()) {
            const auto program = ResolvedProgram(ProgramOfDesktopExec(*exec));
            if (!program.empty()) return program.string();
        }
    }
    return std::nullopt;
}

std::unique_ptr<AssociationPlatform> MakeAssociationPlatform(const ProgramLocation&) {
    return std::make_unique<XdgAssociationPlatform>();
}

}  // namespace vorlix
