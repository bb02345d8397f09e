#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "settings/XdgAssociationPlatform.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace vorlix {
namespace {

using test::ReadAll;

// Every test gets its own desktop: the developer's own must never be touched.
class XdgAssociationPlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", (home.Path() / "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home.Path() / "config").c_str(), 1);
        setenv("HOME", home.Path().c_str(), 1);
        // xdg-mime would ask a desktop's own tools instead of the files.
        for (const char* variable : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                     "GNOME_DESKTOP_SESSION_ID", "XDG_DATA_DIRS"}) {
            unsetenv(variable);
        }
    }

    std::string MimeApps() { return ReadAll(home.Path() / "config/mimeapps.list"); }

    test::TempDir home;
    XdgAssociationPlatform platform;
};

TEST_F(XdgAssociationPlatformTest, RegisterWritesTypeEntryIconAndDefault) {
    platform.Register("md5", "/opt/vorlix/vorlix", "vorlix");

    const auto data = home.Path() / "data";
    EXPECT_EQ(XdgAssociationPlatform::MimeTypeName("vorlix", "md5"), "application/x-vorlix-md5");
    const std::string package = ReadAll(data / "mime/packages/vorlix-filetype-vorlix.xml");
    EXPECT_NE(package.find("<mime-type type=\"application/x-vorlix-md5\">"), std::string::npos);
    EXPECT_NE(package.find("<glob pattern=\"*.md5\"/>"), std::string::npos);

    EXPECT_EQ(ReadAll(data / "applications/vorlix-filetype-vorlix.desktop"),
              "[Desktop Entry]\nType=Application\nName=vorlix\nExec=\"/opt/vorlix/vorlix\" %f\n"
              "Icon=vorlix-filetype-vorlix\nMimeType=application/x-vorlix-md5;\n"
              "Terminal=false\nNoDisplay=true\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(
        data / "icons/hicolor/scalable/apps/vorlix-filetype-vorlix.svg"));

    EXPECT_EQ(MimeApps(),
              "[Default Applications]\napplication/x-vorlix-md5=vorlix-filetype-vorlix.desktop;\n");
    EXPECT_EQ(platform.OpenCommandProgram("vorlix"), "/opt/vorlix/vorlix");
    EXPECT_EQ(platform.OpenCommandProgram("Other"), std::nullopt);
}

TEST_F(XdgAssociationPlatformTest, ProgramPathsSurviveQuotingAndEscaping) {
    for (const std::string path :
         {"/opt/My Tools/vorlix", "/opt/a\"b/vorlix", "/opt/back\\slash/vorlix",
          "/opt/$HOME/`x`/vorlix", "/opt/100%/vorlix", "/opt/Čeština;#=/vorlix",
          "/opt/tab\there/vorlix"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ProgramOfDesktopExec(DesktopExecValue(path)), path);
        platform.Register("md5", path, "vorlix");
        EXPECT_EQ(platform.OpenCommandProgram("vorlix"), path);
    }
    // Exec quoting first, then the key file's own escape of the backslash.
    platform.Register("md5", "/a b/$x%\\v", "vorlix");
    EXPECT_NE(ReadAll(home.Path() / "data/applications/vorlix-filetype-vorlix.desktop")
                  .find("\nExec=\"/a b/\\\\$x%%\\\\\\\\v\" %f\n"),
              std::string::npos);
    // Entries written by hand are read as the desktop would run them.
    EXPECT_EQ(ProgramOfDesktopExec("/usr/bin/vorlix %f"), "/usr/bin/vorlix");
    EXPECT_EQ(ProgramOfDesktopExec("\"/usr/bin/unterminated %f"), "");
}

// The user's own list keeps its other groups, comments and defaults. The
// desktop's key-file writer puts a blank line between groups, also between
// a comment and the group below it; nothing else of the user's changes.
TEST_F(XdgAssociationPlatformTest, TheUsersListKeepsEverythingElse) {
    home.Write("config/mimeapps.list",
               "# kept\n[Added Associations]\ntext/plain=editor.desktop;\n\n"
               "[Default Applications]\n# chosen by hand\ntext/plain=editor.desktop;\n"
               "application/x-vorlix-md5=someone-else.desktop;\nimage/png=viewer.desktop;\n\n"
               "[Removed Associations]\nimage/png=viewer.desktop;\n");
    EXPECT_TRUE(platform.Register("md5", "/opt/vorlix/vorlix", "vorlix").empty());
    EXPECT_EQ(MimeApps(),
              "# kept\n\n[Added Associations]\ntext/plain=editor.desktop;\n\n"
              "[Default Applications]\n# chosen by hand\ntext/plain=editor.desktop;\n"
              "application/x-vorlix-md5=vorlix-filetype-vorlix.desktop;\n"
              "image/png=viewer.desktop;\n\n"
              "[Removed Associations]\nimage/png=viewer.desktop;\n");

    EXPECT_TRUE(platform.Unregister("md5", "vorlix").empty());
    EXPECT_EQ(MimeApps(),
              "# kept\n\n[Added Associations]\ntext/plain=editor.desktop;\n\n"
              "[Default Applications]\n# chosen by hand\ntext/plain=editor.desktop;\n"
              "image/png=viewer.desktop;\n\n"
              "[Removed Associations]\nimage/png=viewer.desktop;\n");
}

// A list that is no key file is the user's to mend: it is left as it is.
TEST_F(XdgAssociationPlatformTest, AListThatCannotBeReadIsReportedAndLeftAlone) {
    const std::string broken = "[Default Applications]\nnot a key line\n";
    home.Write("config/mimeapps.list", broken);
    for (const auto& failures : {platform.Register("md5", "/opt/vorlix/vorlix", "vorlix"),
                                 platform.Unregister("md5", "vorlix")}) {
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].what, (home.Path() / "config/mimeapps.list").string());
        EXPECT_FALSE(failures[0].reason.empty());
        EXPECT_EQ(MimeApps(), broken);
    }
}

// Folders the user may not write: every file that could not be written or
// removed is named with the system's reason, and the others are still tried.
TEST_F(XdgAssociationPlatformTest, WhatCouldNotBeWrittenIsReported) {
    platform.Register("md5", "/old/vorlix", "vorlix");
    const std::string list = MimeApps();
    const std::vector<std::string> files{
        "data/mime/packages/vorlix-filetype-vorlix.xml",
        "data/icons/hicolor/scalable/apps/vorlix-filetype-vorlix.svg",
        "data/applications/vorlix-filetype-vorlix.desktop", "config/mimeapps.list"};
    for (const auto& file : files) ::chmod((home.Path() / file).c_str(), 0444);
    const std::vector<std::string> folders{"data/mime/packages", "data/icons/hicolor/scalable/apps",
                                           "data/applications", "config"};
    for (const auto& folder : folders) ::chmod((home.Path() / folder).c_str(), 0555);
    ::chmod(home.Path().c_str(), 0755);

    const auto reported = test::RunWithoutPrivileges([&] {
        // Without the database tools, whose own failures would come on top.
        setenv("PATH", (home.Path() / "no-tools").c_str(), 1);
        std::string out;
        for (const auto& failures : {platform.Register("md5", "/opt/vorlix/vorlix", "vorlix"),
                                     platform.Unregister("md5", "vorlix")}) {
            for (const auto& failure : failures) {
                out +=
                    std::filesystem::path(failure.what).lexically_relative(home.Path()).string() +
                    " " + failure.error.message() + "\n";
            }
            out += "--\n";
        }
        return out;
    });
    for (const auto& folder : folders) ::chmod((home.Path() / folder).c_str(), 0755);
    if (!reported) GTEST_SKIP() << "root cannot run a process as nobody here";

    // Our default is in the list already, so Register has no need to write it.
    const std::string denied = " " + std::make_error_code(std::errc::permission_denied).message();
    EXPECT_EQ(*reported, files[0] + denied + "\n" + files[1] + denied + "\n" + files[2] + denied +
                             "\n--\n" + files[2] + denied + "\n" + files[0] + denied + "\n" +
                             files[1] + denied + "\n" + files[3] + denied + "\n--\n");
    EXPECT_EQ(MimeApps(), list);
    EXPECT_EQ(platform.OpenCommandProgram("vorlix"), "/old/vorlix");
}

// A list kept elsewhere and linked stays linked, and keeps its permissions.
TEST_F(XdgAssociationPlatformTest, LinkedListIsWrittenWhereTheLinkPoints) {
    const auto kept = home.Path() / "dotfiles/mimeapps.list";
    home.Write("dotfiles/mimeapps.list", "[Added Associations]\ntext/plain=editor.desktop;\n");
    std::filesystem::permissions(
        kept, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_directories(home.Path() / "config");
    std::filesystem::create_symlink("../dotfiles/mimeapps.list",
                                    home.Path() / "config/mimeapps.list");

    platform.Register("md5", "/opt/vorlix/vorlix", "vorlix");
    EXPECT_TRUE(std::filesystem::is_symlink(home.Path() / "config/mimeapps.list"));
    EXPECT_EQ(ReadAll(kept),
              "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
              "application/x-vorlix-md5=vorlix-filetype-vorlix.desktop;\n");
    EXPECT_EQ(std::filesystem::status(kept).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    platform.Unregister("md5", "vorlix");
    EXPECT_TRUE(std::filesystem::is_symlink(home.Path() / "config/mimeapps.list"));
    EXPECT_EQ(ReadAll(kept),
              "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.Path() / "dotfiles"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(XdgAssociationPlatformTest, DefaultGroupIsAddedAfterOtherGroups) {
    home.Write("config/mimeapps.list", "[Added Associations]\ntext/plain=editor.desktop;\n");
    platform.Register("md5", "/opt/vorlix/vorlix", "vorlix");
    EXPECT_EQ(MimeApps(),
              "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
              "application/x-vorlix-md5=vorlix-filetype-vorlix.desktop;\n");
}

TEST_F(XdgAssociationPlatformTest, RemovalTakesOnlyWhatThisProgramWrote) {
    const std::string otherPackage =
        "<?xml version=\"1.0\"?>\n<mime-info "
        "xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "<mime-type type=\"text/x-other-md5\"><glob pattern=\"*.md5\"/></mime-type>\n"
        "</mime-info>\n";
    home.Write("data/mime/packages/other.xml", otherPackage);
    home.Write("data/applications/other.desktop", "[Desktop Entry]\nExec=other %f\n");
    platform.Register("md5", "/opt/vorlix/vorlix", "vorlix");
    platform.Register("md5", "/opt/tools/Other", "Other");
    // The user picked a different default for our type in the meantime.
    home.Write("config/mimeapps.list",
               "[Default Applications]\ntext/x-other-md5=other.desktop;\n"
               "application/x-vorlix-md5=mine.desktop;vorlix-filetype-vorlix.desktop;\n"
               "application/x-other-md5=vorlix-filetype-Other.desktop;\n");

    platform.Unregister("md5", "vorlix");

    const auto data = home.Path() / "data";
    EXPECT_FALSE(std::filesystem::exists(data / "applications/vorlix-filetype-vorlix.desktop"));
    EXPECT_FALSE(std::filesystem::exists(data / "mime/packages/vorlix-filetype-vorlix.xml"));
    EXPECT_FALSE(
        std::filesystem::exists(data / "icons/hicolor/scalable/apps/vorlix-filetype-vorlix.svg"));
    EXPECT_EQ(ReadAll(data / "mime/packages/other.xml"), otherPackage);
    EXPECT_TRUE(std::filesystem::exists(data / "applications/other.desktop"));
    EXPECT_EQ(platform.OpenCommandProgram("Other"), "/opt/tools/Other");
    EXPECT_EQ(MimeApps(),
              "[Default Applications]\ntext/x-other-md5=other.desktop;\n"
              "application/x-vorlix-md5=mine.desktop;\n"
              "application/x-other-md5=vorlix-filetype-Other.desktop;\n");
    EXPECT_EQ(platform.OpenCommandProgram("vorlix"), std::nullopt);

    // Nothing registered: nothing to do, nothing broken.
    platform.Unregister("md5", "vorlix");
    EXPECT_EQ(ReadAll(data / "mime/packages/other.xml"), otherPackage);
}

// A copy of the program installed system-wide: its entry in XDG_DATA_DIRS runs
// "vorlix" from PATH, as the package's entry does.
class InstalledProgramTest : public XdgAssociationPlatformTest {
  protected:
    void SetUp() override {
        XdgAssociationPlatformTest::SetUp();
        setenv("XDG_DATA_DIRS", (home.Path() / "system").c_str(), 1);
        const char* path = std::getenv("PATH");
        savedPath = path ? path : "";
        setenv("PATH", ((home.Path() / "usr/bin").string() + ":" + savedPath).c_str(), 1);
        program = home.Write("usr/bin/vorlix", "#!/bin/sh\n");
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        program = std::filesystem::canonical(program).string();
        entry =
            home.Write("system/applications/" + XdgAssociationPlatform::InstalledDesktopFileId(),
                       "[Desktop Entry]\nType=Application\nName=Vorlix\nExec=vorlix %f\n"
                       "MimeType=application/x-vorlix-md5;\n");
    }
    void TearDown() override {
        setenv("PATH", savedPath.c_str(), 1);
        unsetenv("XDG_DATA_DIRS");
    }

    std::string savedPath;
    std::string program;
    std::string entry;
};

TEST_F(InstalledProgramTest, TheInstalledEntryIsRecognisedAndNotDuplicated) {
    const auto data = home.Path() / "data";
    EXPECT_EQ(XdgAssociationPlatform::InstalledDesktopEntryPath(), entry);
    // Not chosen by the user yet: the system's entry alone is no association.
    EXPECT_EQ(platform.OpenCommandProgram("vorlix"), std::nullopt);

    // A copy in a build folder registered earlier; the installed one takes over.
    platform.Register("md5", "/home/u/build/vorlix", "vorlix");
    EXPECT_EQ(platform.OpenCommandProgram("vorlix"), "/home/u/build/vorlix");
    platform.Register("md5", program, "vorlix");
    EXPECT_FALSE(std::filesystem::exists(data / "applications/vorlix-filetype-vorlix.desktop"));
    EXPECT_FALSE(std::filesystem::exists(data / "mime/packages/vorlix-filetype-vorlix.xml"));
    EXPECT_FALSE(
        std::filesystem::exists(data / "icons/hicolor/scalable/apps/vorlix-filetype-vorlix.svg"));
    EXPECT_EQ(MimeApps(), "[Default Applications]\napplication/x-vorlix-md5=" +
                              XdgAssociationPlatform::InstalledDesktopFileId() + ";\n");
    EXPECT_EQ(platform.OpenCommandProgram("vorlix"), program);

    // Removal takes back the user's choice and leaves the installed entry alone.
    const std::string installed = ReadAll(entry);
    platform.Unregister("md5", "vorlix");
    EXPECT_EQ(MimeApps(), "[Default Applications]\n");
    EXPECT_EQ(platform.OpenCommandProgram("vorlix"), std::nullopt);
    EXPECT_EQ(ReadAll(entry), installed);
}

TEST_F(InstalledProgramTest, AnEntryThatRunsAnotherCopyIsNotOurs) {
    // Another copy, in a folder of its own: it registers its own entry.
    platform.Register("md5", "/opt/vorlix/vorlix", "vorlix");
    EXPECT_TRUE(
        std::filesystem::exists(home.Path() / "data/applications/vorlix-filetype-vorlix.desktop"));
    EXPECT_EQ(platform.OpenCommandProgram("vorlix"), "/opt/vorlix/vorlix");

    // An installed entry for another type, or whose program is not on PATH.
    platform.Unregister("md5", "vorlix");
    home.Write("system/applications/" + XdgAssociationPlatform::InstalledDesktopFileId(),
               "[Desktop Entry]\nExec=vorlix %f\nMimeType=text/plain;\n");
    platform.Register("md5", program, "vorlix");
    EXPECT_TRUE(
        std::filesystem::exists(home.Path() / "data/applications/vorlix-filetype-vorlix.desktop"));
    platform.Unregister("md5", "vorlix");
    home.Write("system/applications/" + XdgAssociationPlatform::InstalledDesktopFileId(),
               "[Desktop Entry]\nExec=not-installed %f\nMimeType=application/x-vorlix-md5;\n");
    platform.Register("md5", program, "vorlix");
    EXPECT_EQ(platform.OpenCommandProgram("vorlix"), program);
    EXPECT_TRUE(
        std::filesystem::exists(home.Path() / "data/applications/vorlix-filetype-vorlix.desktop"));
}

std::string Shell(const std::string& command) {
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return output;
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe.get())) output += buffer.data();
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    return output;
}

// The desktop's own query tool finds our registration from the files alone.
TEST_F(XdgAssociationPlatformTest, DesktopToolsSeeTheRegistration) {
    if (Shell("command -v xdg-mime").empty() || Shell("command -v update-mime-database").empty()) {
        GTEST_SKIP() << "xdg-mime or update-mime-database not installed";
    }
    const std::string file = home.Write("Archive.MD5", "d41d8cd98f00b204e9800998ecf8427e *x\n");
    platform.Register("md5", "/opt/vorlix/vorlix", "vorlix");
    EXPECT_EQ(Shell("xdg-mime query filetype '" + file + "' 2>/dev/null"),
              "application/x-vorlix-md5");
    EXPECT_EQ(Shell("xdg-mime query default application/x-vorlix-md5 2>/dev/null"),
              "vorlix-filetype-vorlix.desktop");

    platform.Unregister("md5", "vorlix");
    EXPECT_NE(Shell("xdg-mime query filetype '" + file + "' 2>/dev/null"),
              "application/x-vorlix-md5");
    EXPECT_EQ(Shell("xdg-mime query default application/x-vorlix-md5 2>/dev/null"), "");
}

}  // namespace
}  // namespace vorlix
