#include "settings/XdgAssociationPlatform.h"

#include <fcntl.h>
#include <glib.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <sstream>
#include <system_error>
#include <vector>

#include "util/ReplaceFileContent.h"
#include "util/Text.h"

extern char** environ;

namespace vorlix {

namespace {

// Our entries carry this prefix so that they can never be taken for another
// program's, and removal can never touch one.
constexpr const char* kIdPrefix = "vorlix-filetype-";
constexpr const char* kDefaultGroup = "Default Applications";
constexpr const char* kEntryGroup = "Desktop Entry";

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

void Free(gchar* text) { g_free(text); }
void Free(gchar** list) { g_strfreev(list); }
void Free(GError* error) { g_error_free(error); }

// Owns what GLib hands out, freeing it the way GLib wants.
template <typename T>
struct GLibOwned {
    GLibOwned() = default;
    GLibOwned(const GLibOwned&) = delete;
    GLibOwned& operator=(const GLibOwned&) = delete;
    ~GLibOwned() {
        if (value) Free(value);
    }
    T value = nullptr;
};

using KeyFile = std::unique_ptr<GKeyFile, void (*)(GKeyFile*)>;

KeyFile NewKeyFile() { return KeyFile(g_key_file_new(), g_key_file_free); }

std::optional<std::string> StringValue(GKeyFile* file, const char* group, const char* key) {
    GLibOwned<gchar*> value;
    value.value = g_key_file_get_string(file, group, key, nullptr);
    if (!value.value) return std::nullopt;
    return std::string(value.value);
}

// A list value without its empty items; empty when the key is not there.
std::vector<std::string> ListValue(GKeyFile* file, const char* group, const std::string& key) {
    GLibOwned<gchar**> items;
    items.value = g_key_file_get_string_list(file, group, key.c_str(), nullptr, nullptr);
    std::vector<std::string> list;
    for (gchar** item = items.value; item && *item; ++item) {
        if (**item) list.emplace_back(*item);
    }
    return list;
}

void SetListValue(GKeyFile* file, const char* group, const std::string& key,
                  const std::vector<std::string>& list) {
    std::vector<const gchar*> items;
    for (const auto& item : list) items.push_back(item.c_str());
    g_key_file_set_string_list(file, group, key.c_str(), items.data(), items.size());
}

std::string KeyFileText(GKeyFile* file) {
    GLibOwned<gchar*> text;
    text.value = g_key_file_to_data(file, nullptr, nullptr);
    return text.value ? text.value : "";
}

// The key file at `file`, its comments and translations kept so that writing
// it back changes only what was set; a file that is not there reads as an
// empty one. Nothing when it cannot be read or is no key file (`why` says).
KeyFile LoadKeyFile(const std::filesystem::path& file, std::string& why) {
    KeyFile keys = NewKeyFile();
    GLibOwned<gchar*> text;
    gsize length = 0;
    GLibOwned<GError*> error;
    if (!g_file_get_contents(file.c_str(), &text.value, &length, &error.value)) {
        if (g_error_matches(error.value, G_FILE_ERROR, G_FILE_ERROR_NOENT)) return keys;
        why = error.value->message;
        return KeyFile(nullptr, g_key_file_free);
    }
    const auto flags =
        static_cast<GKeyFileFlags>(G_KEY_FILE_KEEP_COMMENTS | G_KEY_FILE_KEEP_TRANSLATIONS);
    if (!g_key_file_load_from_data(keys.get(), text.value, length, flags, &error.value)) {
        why = error.value->message;
        return KeyFile(nullptr, g_key_file_free);
    }
    return keys;
}

// Written through ReplaceFileContent: a reader never sees half a file, a
// linked file (users keep mimeapps.list in a dotfiles folder) is written
// where the link points and stays linked, and a private file stays private.
void WriteText(AssociationFailures& failures, const std::filesystem::path& file,
               const std::string& text) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (!error) error = ReplaceFileContent(file.string(), text);
    if (error) failures.push_back({file.string(), error, {}});
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

// Runs a desktop database tool on a folder that is there, when the tool is
// installed; its absence is no error, the files are then picked up by the
// next tool run of the desktop itself.
void RunToolIfPresent(AssociationFailures& failures, const char* tool,
                      const std::filesystem::path& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) return;
    const std::string argument = folder.string();
    char* argv[] = {const_cast<char*>(tool), const_cast<char*>(argument.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, tool, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned == ENOENT) return;
    if (spawned != 0) {
        failures.push_back({tool, std::error_code(spawned, std::generic_category()), {}});
        return;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
    failures.push_back({tool,
                        {},
                        WIFEXITED(status)
                            ? "exited with status " + std::to_string(WEXITSTATUS(status))
                            : "ended by signal " + std::to_string(WTERMSIG(status))});
}

void RefreshDatabases(AssociationFailures& failures) {
    const auto data = XdgAssociationPlatform::DataHome();
    RunToolIfPresent(failures, "update-mime-database", data / "mime");
    RunToolIfPresent(failures, "update-desktop-database", data / "applications");
}

// Makes ourId the one default application of mimeType (set), or takes it out
// of the defaults; a default the user chose besides it stays. True when the
// list changed.
bool EditDefault(GKeyFile* list, const std::string& mimeType, const std::string& ourId, bool set) {
    const std::vector<std::string> before = ListValue(list, kDefaultGroup, mimeType);
    std::vector<std::string> after;
    if (set) {
        after.push_back(ourId);
    } else {
        std::copy_if(before.begin(), before.end(), std::back_inserter(after),
                     [&](const std::string& id) { return id != ourId; });
    }
    if (after == before) return false;
    if (after.empty()) {
        g_key_file_remove_key(list, kDefaultGroup, mimeType.c_str(), nullptr);
    } else {
        SetListValue(list, kDefaultGroup, mimeType, after);
    }
    return true;
}

// Applies edit to the user's mimeapps.list and writes it back when edit
// changed it. A list that cannot be read is left alone: writing it would
// lose the user's other defaults.
void EditMimeAppsList(AssociationFailures& failures, const std::function<bool(GKeyFile*)>& edit) {
    const auto path = XdgAssociationPlatform::MimeAppsListPath();
    std::string why;
    const KeyFile list = LoadKeyFile(path, why);
    if (!list) {
        failures.push_back({path.string(), {}, why});
        return;
    }
    if (edit(list.get())) WriteText(failures, path, KeyFileText(list.get()));
}

// The first application that the user's mimeapps.list names as the default
// for a MIME type.
std::string UserDefaultFor(const std::string& mimeType) {
    std::string why;
    const KeyFile list = LoadKeyFile(XdgAssociationPlatform::MimeAppsListPath(), why);
    if (!list) return {};
    const auto ids = ListValue(list.get(), kDefaultGroup, mimeType);
    return ids.empty() ? std::string() : ids.front();
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

// A desktop entry's program and MIME types; nothing when the entry cannot be
// read or has no Exec= key.
struct DesktopEntry {
    std::string program;
    std::vector<std::string> mimeTypes;
};

std::optional<DesktopEntry> ReadDesktopEntry(const std::filesystem::path& file) {
    std::string why;
    const KeyFile keys = LoadKeyFile(file, why);
    if (!keys) return std::nullopt;
    const auto exec = StringValue(keys.get(), kEntryGroup, "Exec");
    if (!exec) return std::nullopt;
    return DesktopEntry{ProgramOfDesktopExec(*exec),
                        ListValue(keys.get(), kEntryGroup, "MimeType")};
}

// The installed desktop entry when it runs target and opens mimeType.
std::optional<std::filesystem::path> InstalledEntryOf(const std::string& target,
                                                      const std::string& mimeType) {
    const auto path = XdgAssociationPlatform::InstalledDesktopEntryPath();
    if (!path) return std::nullopt;
    const auto entry = ReadDesktopEntry(*path);
    if (!entry || std::find(entry->mimeTypes.begin(), entry->mimeTypes.end(), mimeType) ==
                      entry->mimeTypes.end()) {
        return std::nullopt;
    }
    const auto program = ResolvedProgram(entry->program);
    if (program.empty() || program != ResolvedProgram(target)) return std::nullopt;
    return path;
}

void RemoveOwnFiles(AssociationFailures& failures, const std::string& typeName) {
    for (const auto& file : {XdgAssociationPlatform::DesktopEntryPath(typeName),
                             XdgAssociationPlatform::MimePackagePath(typeName),
                             XdgAssociationPlatform::IconPath(typeName)}) {
        std::error_code error;
        std::filesystem::remove(file, error);
        if (error) failures.push_back({file.string(), error, {}});
    }
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

std::string DesktopExecValue(const std::string& program) {
    std::string quoted = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';
        quoted += c;
    }
    quoted += "\" %f";
    return quoted;
}

std::string ProgramOfDesktopExec(const std::string& value) {
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

AssociationFailures XdgAssociationPlatform::Register(const std::string& extension,
                                                     const std::string& target,
                                                     const std::string& typeName) {
    AssociationFailures failures;
    const std::string mimeType = MimeTypeName(typeName, extension);
    const std::string iconName = kIdPrefix + Sanitized(typeName);
    auto makeDefault = [&](const std::string& desktopId) {
        EditMimeAppsList(
            failures, [&](GKeyFile* list) { return EditDefault(list, mimeType, desktopId, true); });
    };

    if (InstalledEntryOf(target, mimeType)) {
        // Files of ours beside the installed entry would list the program twice.
        RemoveOwnFiles(failures, typeName);
        makeDefault(InstalledDesktopFileId());
        RefreshDatabases(failures);
        return failures;
    }

    WriteText(failures, MimePackagePath(typeName),
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

    WriteText(failures, IconPath(typeName), kIconSvg);

    const KeyFile entry = NewKeyFile();
    g_key_file_set_string(entry.get(), kEntryGroup, "Type", "Application");
    g_key_file_set_string(entry.get(), kEntryGroup, "Name", typeName.c_str());
    g_key_file_set_string(entry.get(), kEntryGroup, "Exec", DesktopExecValue(target).c_str());
    g_key_file_set_string(entry.get(), kEntryGroup, "Icon", iconName.c_str());
    SetListValue(entry.get(), kEntryGroup, "MimeType", {mimeType});
    g_key_file_set_boolean(entry.get(), kEntryGroup, "Terminal", FALSE);
    g_key_file_set_boolean(entry.get(), kEntryGroup, "NoDisplay", TRUE);
    WriteText(failures, DesktopEntryPath(typeName), KeyFileText(entry.get()));

    makeDefault(DesktopFileId(typeName));
    RefreshDatabases(failures);
    return failures;
}

AssociationFailures XdgAssociationPlatform::Unregister(const std::string& extension,
                                                       const std::string& typeName) {
    AssociationFailures failures;
    RemoveOwnFiles(failures, typeName);
    const std::string mimeType = MimeTypeName(typeName, extension);
    EditMimeAppsList(failures, [&](GKeyFile* list) {
        // The installed entry stays installed; only the user's choice of it goes.
        const bool ours = EditDefault(list, mimeType, DesktopFileId(typeName), false);
        const bool installed = EditDefault(list, mimeType, InstalledDesktopFileId(), false);
        return ours || installed;
    });
    RefreshDatabases(failures);
    return failures;
}

std::optional<std::string> XdgAssociationPlatform::OpenCommandProgram(const std::string& typeName) {
    std::error_code ignored;
    const auto own = DesktopEntryPath(typeName);
    if (std::filesystem::is_regular_file(own, ignored)) {
        const auto entry = ReadDesktopEntry(own);
        if (!entry) return std::nullopt;
        return entry->program;
    }
    // The installed entry opens the type once the user's default names it.
    const auto installed = InstalledDesktopEntryPath();
    if (!installed) return std::nullopt;
    const auto entry = ReadDesktopEntry(*installed);
    if (!entry) return std::nullopt;
    for (const auto& mimeType : entry->mimeTypes) {
        if (UserDefaultFor(mimeType) == InstalledDesktopFileId()) {
            const auto program = ResolvedProgram(entry->program);
            if (!program.empty()) return program.string();
        }
    }
    return std::nullopt;
}

std::unique_ptr<AssociationPlatform> MakeAssociationPlatform(const ProgramLocation&) {
    return std::make_unique<XdgAssociationPlatform>();
}

}  // namespace vorlix
