// Stories that run the real program through its console front-end, with a
// home, settings and desktop database of their own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "digest/Hasher.h"
#include "digest/Md5.h"
#include "language/Language.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class ConsoleStory : public ::testing::Test {
  protected:
    ConsoleStory() {
        fs::create_directories(home.Path() / "work");
        program = VORLIX_BINARY;
    }

    // Installs a copy of the program with its packs in a folder of its own.
    void InstallCopy() {
        const fs::path bin = home.Path() / "bin";
        fs::create_directories(bin / "Languages");
        fs::copy_file(VORLIX_BINARY, bin / "vorlix");
        for (const char* pack : {"1027.xml", "1033.xml"})
            fs::copy_file(fs::path(VORLIX_BINARY).parent_path() / "Languages" / pack,
                          bin / "Languages" / pack);
        program = (bin / "vorlix").string();
    }

    // The shell command that runs the program (through `wrapper`, a command
    // that runs another, when one is given) with the input from `in`.
    std::string Command(const std::vector<std::string>& words, const std::string& in,
                        const std::string& wrapper = "") {
        const std::string dir = home.Path().string();
        std::string command = "cd " + Quoted(dir + "/work") + " && exec " + wrapper +
                              " env -i PATH=/usr/bin:/bin" + " LANG=C.UTF-8 " + frontEnd +
                              " HOME=" + Quoted(dir) +
                              " XDG_CONFIG_HOME=" + Quoted(dir + "/config") +
                              " XDG_DATA_HOME=" + Quoted(dir + "/data") + " " + Quoted(program);
        for (const auto& word : words) command += " " + Quoted(word);
        command +=
            " <" + Quoted(in) + " >" + Quoted(dir + "/stdout") + " 2>" + Quoted(dir + "/stderr");
        return command;
    }

    Outcome Finished(int raw) {
        Outcome run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadAll(home.Path() / "stdout");
        run.err = ReadAll(home.Path() / "stderr");
        return run;
    }

    Outcome Vorlix(const std::vector<std::string>& words, const std::string& input = "",
                   const std::string& wrapper = "") {
        const std::string in = home.Write("stdin", input);
        return Finished(std::system(Command(words, in, wrapper).c_str()));
    }

    // Starts the program and returns at once; `exec` keeps its process id.
    pid_t Start(const std::vector<std::string>& words, const std::string& in) {
        const std::string command = Command(words, in);
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return child;
    }

    // Waits for the end of a started program; one that hangs is killed.
    // `usage` gets what the program used.
    Outcome WaitFor(pid_t child, struct rusage* usage = nullptr) {
        int raw = 0;
        for (int tenth = 0; tenth < 300; ++tenth) {
            if (::wait4(child, &raw, WNOHANG, usage) == child) return Finished(raw);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ::kill(child, SIGKILL);
        ::waitpid(child, &raw, 0);
        ADD_FAILURE() << "the program did not end";
        return Finished(raw);
    }

    std::vector<std::string> FilesInWork() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(home.Path() / "work"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string Work(const std::string& name) { return (home.Path() / "work" / name).string(); }

    TempDir home;
    std::string program;
    std::string frontEnd = "VORLIX_UI=console";  // what picks the front-end
};

TEST_F(ConsoleStory, AutomaticModeSavesThenAsksBeforeOverwriting) {
    const std::string data = home.Write("work/report.pdf", "%PDF-1.4 not really");
    const std::string sums = data + ".MD5";

    Outcome first = Vorlix({"/sourcefile:" + data, "/auto"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "");
    const std::string saved = ReadAll(sums);
    EXPECT_TRUE(
        saved.starts_with("# Created Vorlix 1.0.0.22, DB.000022-28.10.2023-13.18.05_VRLX. "));
    EXPECT_NE(saved.find("\r\nFileName=report.pdf\r\n"), std::string::npos);

    // Yes overwrites.
    home.Write("work/report.pdf.MD5", "old");
    Outcome yes = Vorlix({"--sourcefile=" + data, "--auto"}, "y\n");
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_NE(yes.out.find("[y/N]"), std::string::npos) << yes.out;
    EXPECT_NE(ReadAll(sums), "old");

    // No, then no other name: the save is cancelled and nothing changes.
    home.Write("work/report.pdf.MD5", "old");
    Outcome no = Vorlix({"--sourcefile=" + data, "--auto"}, "n\n\n");
    EXPECT_EQ(no.status, 1);
    EXPECT_EQ(ReadAll(sums), "old");

    // The end of the input takes the default, which is No.
    Outcome closed = Vorlix({"--sourcefile=" + data, "--auto"});
    EXPECT_EQ(closed.status, 1);
    EXPECT_EQ(ReadAll(sums), "old");

    // A checksum file that cannot be written is an error, and the old one stays.
    fs::create_directories(home.Path() / "work" / "locked");
    const std::string lockedData = home.Write("work/locked/x.bin", "x");
    fs::create_directories(lockedData + ".MD5" + "/inside");  // a folder in the way
    Outcome failed = Vorlix({"--sourcefile=" + lockedData, "--auto"}, "y\n");
    EXPECT_EQ(failed.status, 2) << failed.out << failed.err;
    EXPECT_TRUE(fs::is_directory(lockedData + ".MD5/inside"));

    // No, then another name: saved there, still recording the data file's name.
    Outcome elsewhere =
        Vorlix({"--sourcefile=" + data, "--auto"}, "n\n" + Work("other.md5") + "\n");
    EXPECT_EQ(elsewhere.status, 0) << elsewhere.err;
    EXPECT_NE(ReadAll(Work("other.md5")).find("FileName=report.pdf\r\n"), std::string::npos);

    // The other name may be new and typed without extension; an existing one
    // is asked about again.
    Outcome again = Vorlix({"--sourcefile=" + data, "--auto"},
                           "n\n" + Work("other.md5") + "\nn\n" + Work("fresh") + "\n");
    EXPECT_EQ(again.status, 0) << again.err;
    const auto firstQuestion = again.out.find("[y/N]");
    EXPECT_NE(again.out.find("[y/N]", firstQuestion + 1), std::string::npos) << again.out;
    EXPECT_NE(again.out.find(Work("other.md5")), std::string::npos) << again.out;
    EXPECT_NE(ReadAll(Work("fresh.MD5")).find("FileName=report.pdf\r\n"), std::string::npos);
    EXPECT_EQ(ReadAll(sums), "old");
}

// True once `condition` holds, false after ten seconds.
bool Eventually(const std::function<bool()>& condition) {
    for (int tenth = 0; tenth < 100; ++tenth) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

bool HasOpen(pid_t process, const std::string& path) {
    std::error_code ignored;
    for (const auto& fd :
         fs::directory_iterator("/proc/" + std::to_string(process) + "/fd", ignored)) {
        if (fs::read_symlink(fd.path(), ignored) == path) return true;
    }
    return false;
}

TEST_F(ConsoleStory, AnInterruptDuringADigestOrSaveWritesNothingAndEndsWithOne) {
    // Sparse: no disk, but seconds of digest.
    const std::string data = Work("big.iso");
    { std::ofstream create(data); }
    fs::resize_file(data, std::uintmax_t{8} << 30);
    const std::string sums = data + ".MD5";
    const std::string noInput = home.Write("no input", "");

    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        for (const bool existing : {false, true}) {
            SCOPED_TRACE(std::to_string(signal) + (existing ? " over an old file" : ""));
            if (existing) home.Write("work/big.iso.MD5", "old");
            const pid_t run = Start({"/sourcefile:" + data, "/auto"}, noInput);
            ASSERT_TRUE(Eventually([&] { return HasOpen(run, data); }));
            ::kill(run, signal);
            const Outcome interrupted = WaitFor(run);
            EXPECT_EQ(interrupted.status, 1) << interrupted.err;
            if (existing) {
                EXPECT_EQ(ReadAll(sums), "old");
                EXPECT_EQ(FilesInWork(), (std::vector<std::string>{"big.iso", "big.iso.MD5"}));
                fs::remove(sums);
            } else {
                EXPECT_EQ(FilesInWork(), std::vector<std::string>{"big.iso"});
            }
        }
    }

    // The save waits for the answer to the overwrite question.
    fs::resize_file(data, 6);
    home.Write("work/big.iso.MD5", "old");
    const std::string question = (home.Path() / "question").string();
    ASSERT_EQ(::mkfifo(question.c_str(), 0600), 0);
    // Held open, and never written: the program waits for an answer.
    const int answer = ::open(question.c_str(), O_RDWR);
    const pid_t run = Start({"/sourcefile:" + data, "/auto"}, question);
    EXPECT_TRUE(Eventually(
        [&] { return ReadAll(home.Path() / "stdout").find("[y/N]") != std::string::npos; }));
    ::kill(run, SIGINT);
    const Outcome interrupted = WaitFor(run);
    ::close(answer);
    EXPECT_EQ(interrupted.status, 1);
    EXPECT_EQ(ReadAll(sums), "old");
    EXPECT_EQ(FilesInWork(), (std::vector<std::string>{"big.iso", "big.iso.MD5"}));
}

TEST_F(ConsoleStory, ASaveBeyondTheFileSizeLimitIsAnErrorWithItsMessage) {
    const std::string data = home.Write("work/a.txt", "hello\n");
    // The settings exist before the limit applies.
    ASSERT_EQ(Vorlix({"--help"}).status, 0);

    const std::string limit = "prlimit --fsize=100";
    Outcome fresh = Vorlix({"/sourcefile:" + data, "/auto"}, "", limit);
    EXPECT_EQ(fresh.status, 2) << fresh.err;
    // An error, so on standard error.
    EXPECT_NE(fresh.err.find(" " + std::to_string(EFBIG) + " File too large\n"), std::string::npos)
        << fresh.out << fresh.err;
    EXPECT_EQ(fresh.out, "");
    EXPECT_EQ(FilesInWork(), std::vector<std::string>{"a.txt"});

    home.Write("work/a.txt.MD5", "old");
    Outcome over = Vorlix({"/sourcefile:" + data, "/auto"}, "y\n", limit);
    EXPECT_EQ(over.status, 2) << over.err;
    EXPECT_EQ(ReadAll(data + ".MD5"), "old");
    EXPECT_EQ(FilesInWork(), (std::vector<std::string>{"a.txt", "a.txt.MD5"}));
}

TEST_F(ConsoleStory, VerifiesItsOwnAndOtherToolsChecksumFiles) {
    const std::string data = home.Write("work/a.txt", "hello\n");
    ASSERT_EQ(Vorlix({"/sourcefile:" + data, "/auto"}).status, 0);

    Outcome own = Vorlix({data + ".MD5"});
    EXPECT_EQ(own.status, 0) << own.err;
    EXPECT_NE(own.out.find("A.TXT"), std::string::npos) << own.out;

    for (const char* tool : {"md5sum", "md5sum --tag"}) {
        fs::create_directories(home.Path() / "tool");
        fs::copy_file(data, home.Path() / "tool" / "a.txt", fs::copy_options::overwrite_existing);
        const std::string command =
            "cd " + Quoted((home.Path() / "tool").string()) + " && " + tool + " a.txt > a.txt.md5";
        ASSERT_EQ(std::system(command.c_str()), 0);
        Outcome run = Vorlix({(home.Path() / "tool" / "a.txt.md5").string()});
        EXPECT_EQ(run.status, 0) << tool << run.out << run.err;
        EXPECT_EQ(run.err, "") << tool;
    }

    // One changed byte.
    home.Write("work/a.txt", "hellO\n");
    Outcome changed = Vorlix({data + ".MD5"});
    EXPECT_EQ(changed.status, 1);
    EXPECT_NE(changed.err, "");
}

// The lists that downloads ship: every tool's, in both its forms, under
// the names they come by; a damaged and a missing file are caught, and
// --ignore-missing checks the one file that was downloaded.
TEST_F(ConsoleStory, VerifiesTheListsOfEveryShaAndBlake2Tool) {
    const fs::path folder = home.Path() / "release";
    fs::create_directories(folder);
    home.Write("release/image.iso", "image");
    home.Write("release/notes.txt", "notes");
    const auto run = [&](const std::string& command) {
        return std::system(("cd " + Quoted(folder.string()) + " && " + command).c_str());
    };
    const struct {
        const char* tool;
        const char* list;
    } tools[] = {{"sha1sum", "SHA1SUMS"},     {"sha224sum", "image.sha224"},
                 {"sha256sum", "SHA256SUMS"}, {"sha384sum", "CHECKSUM.sha384"},
                 {"sha512sum", "SHA512SUMS"}, {"b2sum", "B2SUMS"}};
    for (const auto& [tool, list] : tools) {
        for (const char* form : {"", " --tag"}) {
            const std::string what = std::string(tool) + form;
            ASSERT_EQ(run(what + " image.iso notes.txt > " + list), 0) << what;
            const std::string path = (folder / list).string();
            Outcome intact = Vorlix({path});
            EXPECT_EQ(intact.status, 0) << what << intact.out << intact.err;
            EXPECT_EQ(intact.out, "image.iso: OK\nnotes.txt: OK\n") << what;

            home.Write("release/notes.txt", "Notes");
            Outcome damaged = Vorlix({path});
            EXPECT_EQ(damaged.status, 1) << what;
            EXPECT_EQ(damaged.out, "image.iso: OK\nnotes.txt: FAILED\n") << what;

            fs::remove(folder / "notes.txt");
            Outcome missing = Vorlix({path});
            EXPECT_EQ(missing.status, 1) << what;
            EXPECT_EQ(missing.out, "image.iso: OK\nnotes.txt: FAILED open or read\n") << what;
            Outcome passedOver = Vorlix({"--ignore-missing", path});
            EXPECT_EQ(passedOver.status, 0) << what << passedOver.err;
            EXPECT_EQ(passedOver.out, "image.iso: OK\n") << what;
            home.Write("release/notes.txt", "notes");
        }
    }
}

// A folder file in another digest is the sha256sum form, which sha256sum
// itself checks from the folder's parent; a file's is in the standard layout.
TEST_F(ConsoleStory, FolderAndFileChecksumFilesInAnotherDigest) {
    home.Write("work/box/a.txt", "a");
    home.Write("work/box/sub/b c.txt", "b");
    Outcome folder = Vorlix({"/sourcefolder:" + Work("box"), "/algorithm:sha256", "/auto"});
    ASSERT_EQ(folder.status, 0) << folder.err;
    const std::string check =
        "cd " + Quoted(Work("")) + " && sha256sum --strict -c box.SHA256 >/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0) << ReadAll(Work("box.SHA256"));

    const std::string data = Work("box/a.txt");
    Outcome file = Vorlix({"--algorithm=SHA512", "/sourcefile:" + data, "/auto"});
    ASSERT_EQ(file.status, 0) << file.err;
    const std::string text = ReadAll(data + ".SHA512");
    EXPECT_NE(text.find(TextDigest(DigestAlgorithm::Sha512, "a") + " *a.txt\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(Vorlix({data + ".SHA512"}).status, 0);

    Outcome unknown = Vorlix({"/sourcefolder:" + Work("box"), "/algorithm:sha3", "/auto"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("sha3"), std::string::npos) << unknown.err;
    EXPECT_FALSE(fs::exists(Work("box.MD5")));
    EXPECT_FALSE(fs::exists(Work("box.SHA3")));
}

TEST_F(ConsoleStory, BadChecksumFilesGetAMessageNeverACrash) {
    home.Write("work/a.txt", "hello\n");
    const std::pair<const char*, std::string> cases[] = {
        {"empty.md5", ""},
        {"a.txt.md5", std::string("\0\xff\xfe garbage \x01", 14)},
        {"b.md5",
         "[INI]\n[MD5FileInfo]\nFileName=missing.txt\nMD5Checksum=x\nFileLenght=1\n[EOF]\n"},
        {"c.md5",
         "[INI]\r\n[MD5FileInfo]\r\nFileLenght=lots\r\nFileName=a.txt\r\n"
         "MD5Checksum=b1946ac92492d2347c6235b4d2611184\r\n[EOF]\r\n"},
        {"d.md5", std::string(100000, '[') + "[EOF][EOF][INI]\n"},
        {"e.md5",
         "[INI]\n[MD5FileInfo]\nFileName=a.txt\nMD5Checksum=b1946ac92492d2347c6235b4d2611184\n"
         "FileLenght=99999999999999999999999 bytes\n[EOF]\n"},
    };
    for (const auto& [name, content] : cases) {
        const std::string file = home.Write(std::string("work/") + name, content);
        Outcome run = Vorlix({file});
        EXPECT_EQ(run.status, 1) << name << run.out << run.err;
        EXPECT_NE(run.out + run.err, "") << name;
    }
}

TEST_F(ConsoleStory, NamesFromChecksumFilesNeverReachTheTerminalRaw) {
    home.Write("work/a.txt", "hello\n");
    const std::string rest =
        "\nMD5Checksum=b1946ac92492d2347c6235b4d2611184\nFileLenght=6 bytes\n[EOF]\n";
    const std::pair<std::string, std::string> cases[] = {
        // Would clear the screen and print a success of its own.
        {"clear.md5", "[INI]\n[MD5FileInfo]\nFileName=a.txt\x1b[2J\x1b[H\a" + rest},
        // The system would read a.txt and the message would name a.txt<NUL>.exe.
        {"nul.md5", "[INI]\n[MD5FileInfo]\nFileName=" + std::string("a.txt\0.exe", 10) + rest},
        // The checksum file's own name is shown when it is in neither layout.
        {"title\x1b]0;owned\a.md5", "nothing here\n"},
    };
    for (const auto& [name, content] : cases) {
        const std::string file = home.Write("work/" + name, content);
        Outcome run = Vorlix({file});
        EXPECT_EQ(run.status, 1) << name << run.out << run.err;
        const std::string shown = run.out + run.err;
        EXPECT_NE(shown, "");
        for (char c : shown) {
            EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n')
                << name << ": raw byte " << int(c) << " in " << shown;
        }
    }
}

TEST_F(ConsoleStory, HelpTextIsComposedFromThePackAndUsageErrorsEndWithTwo) {
    Outcome help = Vorlix({"--help"});
    EXPECT_EQ(help.status, 0);
    std::string expected = "Vorlix: ";
    {
        test::ScriptedDialogs dialogs;
        Language czech(fs::path(VORLIX_BINARY).parent_path() / "Languages");
        czech.LoadLanguageFile(1027);
        const auto text = [&](const char* key) { return czech.GetLabel("modVorlix", key); };
        expected += text("Text1") + " \n   " + text("Text2") + "\n   " + text("Text3") + "\n   " +
                    text("Text4") + "\n\n" + text("Text5") + "\n   " + text("Text6") + "\n\n" +
                    text("Text7") + "\n" + text("Text8") + "\n" + text("Text9") + "\n";
    }
    EXPECT_EQ(help.out, expected);

    // Nothing to do on the command line: there is no window to wait in.
    Outcome nothing = Vorlix({});
    EXPECT_EQ(nothing.status, 2);
    EXPECT_EQ(nothing.out, expected);

    Outcome noFile = Vorlix({"/auto"});
    EXPECT_EQ(noFile.status, 2);
    EXPECT_FALSE(fs::exists(Work(".MD5")));

    const std::string missing = Work("missing.iso");
    Outcome missingFile = Vorlix({"/auto", "/sourcefile:" + missing});
    EXPECT_EQ(missingFile.status, 2);
    EXPECT_EQ(missingFile.err, "Error Read File: Error Reading File " + missing + "\n");
    EXPECT_FALSE(fs::exists(missing));

    Outcome version = Vorlix({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Vorlix, ver.1.0.0.22, build DB.000022-28.10.2023-13.18.05_VRLX.\n");
}

// Nobody may be there in automatic mode: a settings store that cannot be
// written is told once, and no question may register the program.
TEST_F(ConsoleStory, AutomaticModeWithABrokenSettingsStoreAsksNothing) {
    home.Write("config", "a file where the settings folder should be");
    const std::string data = home.Write("work/a.bin", "abc");

    Outcome run = Vorlix({"/sourcefile:" + data, "/auto"}, "y\ny\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Chyba konfigurace: Konfiguraci nelze načíst ani uložit (" +
                           (home.Path() / "config/Vorlix/vorlix.conf").string() +
                           ": the file cannot be read or written). Program pokračuje s "
                           "výchozím nastavením.\n");
    EXPECT_NE(ReadAll(data + ".MD5").find("MD5Checksum=900150983cd24fb0d6963f7d28e17f72"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(home.Path() / "data"));
}

TEST_F(ConsoleStory, StartUpChecksTheShippedPacks) {
    InstallCopy();
    const fs::path packs = home.Path() / "bin" / "Languages";
    const std::string czech = ReadAll(packs / "1027.xml");
    const std::string english = ReadAll(packs / "1033.xml");

    // Czech: one byte changed (its digest only); English: longer (length and
    // digest). The warnings come in the order of the checks, then the work goes on.
    std::string alteredCzech = czech;
    alteredCzech[alteredCzech.find("</Vorlix_LanguageFile>") - 1] = ' ';
    home.Write("bin/Languages/1027.xml", alteredCzech);
    std::string alteredEnglish = english + "<!-- -->";
    home.Write("bin/Languages/1033.xml", alteredEnglish);
    Outcome altered = Vorlix({"--help"});
    EXPECT_EQ(altered.status, 0);
    EXPECT_TRUE(
        altered.out.starts_with("Warning: File length 1033.XML does not match, reinstall program!\n"
                                "Warning: MD5 of file 1027.XML does not match, reinstall program!\n"
                                "Warning: MD5 of file 1033.XML does not match, reinstall program!\n"
                                "Vorlix: "))
        << altered.out;

    // A pack that is no XML at all cannot be loaded: the program ends.
    home.Write("bin/Languages/1027.xml", "not xml <");
    Outcome broken = Vorlix({"--help"});
    EXPECT_EQ(broken.status, 2);
    EXPECT_NE(broken.err.find("Chyba čtení souboru: Chyba č. -2147221504 při načítání "
                              "jazykového souboru 1027.xml\nEmergency Help: Warning text help\n"),
              std::string::npos)
        << broken.err;

    // Another root element loads, but holds no label.
    home.Write("bin/Languages/1027.xml",
               "<?xml version=\"1.0\"?><Other><modVorlix><Text1>x</Text1></modVorlix></Other>");
    Outcome otherRoot = Vorlix({"--help"});
    EXPECT_EQ(otherRoot.status, 0);

    fs::remove(packs / "1033.xml");
    Outcome missing = Vorlix({"--help"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err,
              "Error: No language pack 1033.xml found, the programme cannot continue\n");

    fs::remove(packs / "1027.xml");
    Outcome bothMissing = Vorlix({"--help"});
    EXPECT_EQ(bothMissing.status, 2);
    EXPECT_EQ(bothMissing.err,
              "Error: No language pack 1027.xml found, the programme cannot continue.\n");
}

// --- Checksum lists, folders and published digests --------------------------

// What md5sum itself says about a list, run in the list's folder.
Outcome Md5sumCheck(const fs::path& folder, const std::string& list,
                    const std::string& options = "") {
    const std::string command = "cd " + Quoted(folder.string()) + " && md5sum " + options + " -c " +
                                Quoted(list) + " >" + Quoted((folder / "md5sum.out").string()) +
                                " 2>/dev/null";
    const int raw = std::system(command.c_str());
    Outcome run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadAll(folder / "md5sum.out");
    fs::remove(folder / "md5sum.out");
    return run;
}

TEST_F(ConsoleStory, AListPrintsMd5sumLinesInItsOrderAndFailsOnAnyProblem) {
    home.Write("work/sums/intact.txt", "intact\n");
    home.Write("work/sums/damaged.txt", "damaged\n");
    const std::string list =
        home.Write("work/sums/MD5SUMS",
                   "# made by hand\n"
                   "9e1b3ed2a7a4f4a5dfa3c4dbc8c6f6b0  damaged.txt\n"  // not its digest
                   "\n"
                   "a9e7e3f6d0e0ee0f8c8e1bde9ae4fd0a *missing.txt\n"
                   "this line is no entry\n"
                   "MD5 (intact.txt) = " +
                       std::string("f0f2b3c3bd9cd1b17fdb2ad0a2b8a53c") + "\n");
    // The intact entry must hold the real digest; take it from md5sum.
    const std::string fix = "cd " + Quoted(Work("sums")) +
                            " && sed -i \"s/= .*/= $(md5sum intact.txt | cut -c1-32)/\" MD5SUMS";
    ASSERT_EQ(std::system(fix.c_str()), 0);

    Outcome run = Vorlix({list});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out,
              "damaged.txt: FAILED\n"
              "missing.txt: FAILED open or read\n"
              "intact.txt: OK\n");
    const Outcome reference = Md5sumCheck(home.Path() / "work" / "sums", "MD5SUMS");
    EXPECT_EQ(run.out, reference.out);
    EXPECT_EQ(reference.status, 1);
    // One summary, in Czech by default, with every count.
    EXPECT_NE(run.err.find(list), std::string::npos) << run.err;
    for (const char* count : {"Zkontrolované soubory: 3", "Neporušené: 1", "Poškozené: 1",
                              "Chybějící: 1", "Nečitelné: 0", "Řádky, které nejsou záznamem: 1"}) {
        EXPECT_NE(run.err.find(count), std::string::npos) << count << run.err;
    }

    // Every entry intact: status 0, and the lines still come.
    home.Write("work/sums/MD5SUMS", ReadAll(list).substr(ReadAll(list).find("MD5 (")));
    Outcome intact = Vorlix({list});
    EXPECT_EQ(intact.status, 0) << intact.err;
    EXPECT_TRUE(intact.out.starts_with("intact.txt: OK\n")) << intact.out;

    // Nothing usable in it: the unrecognised message and the fatal status.
    home.Write("work/sums/MD5SUMS", "nothing here\n");
    Outcome unusable = Vorlix({list});
    EXPECT_EQ(unusable.status, 2);
    EXPECT_EQ(unusable.out, "");
    EXPECT_NE(unusable.err.find(list), std::string::npos);
}

// Only a file the system does not find is passed over; whatever else goes
// wrong is still a line, and a list with nothing intact never passes.
TEST_F(ConsoleStory, IgnoreMissingPassesOverAbsentFilesAsMd5sumDoes) {
    home.Write("work/sums/intact.txt", "intact\n");
    home.Write("work/sums/damaged.txt", "damaged\n");
    home.Write("work/sums/plain", "a file, no folder\n");
    fs::create_directories(home.Path() / "work" / "sums" / "dir");
    fs::create_symlink("nowhere", home.Path() / "work" / "sums" / "dangling");
    const auto entry = [](const std::string& digest, const std::string& name) {
        return digest + "  " + name + "\n";
    };
    const std::string intact = entry(TextDigest("intact\n"), "intact.txt");
    const std::string damaged = entry(TextDigest("changed\n"), "damaged.txt");
    const std::string absent = entry(TextDigest("x"), "absent.txt") +
                               entry(TextDigest("x"), "nofolder/absent.txt") +
                               entry(TextDigest("x"), "dangling");
    struct Case {
        const char* what;
        std::string list;
        int status;
        std::string out;
        bool noneVerified;
        const char* missing;  // the summary's count: a name through a file is one
    };
    const Case cases[] = {
        {"one intact, the rest absent", absent + intact, 0, "intact.txt: OK\n", false,
         "Chybějící: 0"},
        {"everything absent", absent, 1, "", true, "Chybějící: 0"},
        {"damaged and absent", damaged + absent, 1, "damaged.txt: FAILED\n", true, "Chybějící: 0"},
        {"a folder and a file as a folder",
         intact + entry(TextDigest("x"), "dir") + absent + entry(TextDigest("x"), "plain/x"), 1,
         "intact.txt: OK\ndir: FAILED open or read\nplain/x: FAILED open or read\n", false,
         "Chybějící: 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string list = home.Write("work/sums/MD5SUMS", c.list);
        for (const char* form : {"--ignore-missing", "/ignoremissing"}) {
            const Outcome run = Vorlix({form, list});
            EXPECT_EQ(run.status, c.status) << run.err;
            EXPECT_EQ(run.out, c.out);
            EXPECT_EQ(run.err.find("Nebyl ověřen žádný soubor") != std::string::npos,
                      c.noneVerified)
                << run.err;
            // Passed over, never counted as missing.
            EXPECT_NE(run.err.find(c.missing), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("Přeskočené, soubor neexistuje: 3"), std::string::npos)
                << run.err;
        }
        const Outcome reference =
            Md5sumCheck(home.Path() / "work" / "sums", "MD5SUMS", "--ignore-missing");
        EXPECT_EQ(reference.out, c.out);
        EXPECT_EQ(reference.status, c.status);
    }

    // A single file's checksum file whose file is absent: nothing verified.
    const std::string single =
        home.Write("work/sums/gone.txt.md5", entry(TextDigest("x"), "gone.txt"));
    const Outcome gone = Vorlix({"--ignore-missing", single});
    EXPECT_EQ(gone.status, 1) << gone.err;
    EXPECT_EQ(gone.out, "");
    EXPECT_NE(gone.err.find("Nebyl ověřen žádný soubor"), std::string::npos) << gone.err;
    home.Write("work/sums/gone.txt", "x");
    EXPECT_EQ(Vorlix({"--ignore-missing", single}).status, 0);

    // Nothing to verify is a usage error; a list that is no file, an error.
    const Outcome alone = Vorlix({"--ignore-missing"});
    EXPECT_EQ(alone.status, 2);
    EXPECT_NE(alone.err.find("/ignoremissing"), std::string::npos) << alone.err;
    EXPECT_EQ(Vorlix({"--ignore-missing", Work("sums/NOSUCH")}).status, 2);
}

TEST_F(ConsoleStory, CalculatePrintsWhatMd5sumPrintsForTheSameFiles) {
    const std::string plain = home.Write("work/calc/žluťoučký kůň.txt", "one\n");
    const std::string odd = home.Write("work/calc/it's \"odd\"\\\nname", "two\n");
    const std::string other = home.Write("work/calc/sub/three.bin", std::string(70000, '3'));
    const std::string folder = Work("calc/sub");
    const std::string listFile = home.Path().string() + "/md5sum.out";
    const std::string reference = "md5sum -- " + Quoted(plain) + " " + Quoted(odd) + " " +
                                  Quoted(other) + " >" + Quoted(listFile);
    ASSERT_EQ(std::system(reference.c_str()), 0);

    // A folder among several gives its files, as a drop does.
    Outcome run = Vorlix({"/calculate", "--", plain, odd, folder});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, ReadAll(listFile));

    // A file that cannot be read is told apart; the others still come.
    Outcome missing = Vorlix({"/calculate", "--", Work("calc/gone"), plain});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, ReadAll(listFile).substr(0, ReadAll(listFile).find('\n') + 1));
    EXPECT_NE(missing.err.find(Work("calc/gone") + ": FAILED open or read"), std::string::npos)
        << missing.err;
}

TEST_F(ConsoleStory, AListMadeByMd5sumForAFolderVerifies) {
    home.Write("work/tree/a b.txt", "blank in the name\n");
    home.Write("work/tree/sub/deeper/c.bin", std::string(70000, 'c'));
    home.Write("work/tree/.hidden", "");
    home.Write("work/tree/back\\slash", "escaped by md5sum");
    const std::string make = "cd " + Quoted(Work("")) +
                             " && find tree -type f -print0 | sort -z | xargs -0 md5sum > tree.md5";
    ASSERT_EQ(std::system(make.c_str()), 0);

    Outcome run = Vorlix({Work("tree.md5")});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    // md5sum's lines are the whole output; the summary goes beside it, as md5sum's warnings do.
    EXPECT_EQ(run.out, Md5sumCheck(home.Path() / "work", "tree.md5").out);
    EXPECT_NE(run.err.find("tree.md5"), std::string::npos);

    // Run from another folder: names resolve against the list's folder.
    fs::create_directories(home.Path() / "elsewhere");
    Outcome fromAfar = Vorlix({Work("tree.md5")});
    EXPECT_EQ(fromAfar.status, 0);
}

TEST_F(ConsoleStory, AFolderChecksumFileIsReadByMd5sumFromTheParentFolder) {
    home.Write("work/Fotky z léta/žluťoučký kůň.jpg", "kůň");
    home.Write("work/Fotky z léta/with blank/and more.txt", "blanks");
    home.Write("work/Fotky z léta/new\nline.txt", "a line break in the name");
    home.Write("work/Fotky z léta/back\\slash.txt", "a backslash");
    home.Write("work/Fotky z léta/.hidden", "");
    fs::create_directory_symlink(home.Path() / "work", home.Path() / "work/Fotky z léta/loop");
    fs::create_symlink("with blank/and more.txt", home.Path() / "work/Fotky z léta/link.txt");
    const std::string folder = Work("Fotky z léta");

    Outcome made = Vorlix({"/sourcefolder:" + folder + "/"});
    EXPECT_EQ(made.status, 0) << made.out << made.err;
    const std::string sums = Work("Fotky z léta.MD5");
    const std::string text = ReadAll(sums);
    ASSERT_TRUE(text.starts_with("# Created Vorlix 1.0.0.22, ")) << text;
    // Byte order of the paths; the link to a file under its own name; the
    // link to a folder not followed.
    const std::vector<std::string> order = {
        "/.hidden",        "/back\\\\slash.txt",       "/link.txt",
        "/new\\nline.txt", "/with blank/and more.txt", "/ž"};
    std::size_t at = 0;
    for (const std::string& name : order) {
        const auto found = text.find(name, at);
        EXPECT_NE(found, std::string::npos) << name << "\n" << text;
        at = found == std::string::npos ? at : found;
    }
    EXPECT_EQ(text.find("loop"), std::string::npos);
    EXPECT_NE(made.out.find(sums), std::string::npos) << made.out;

    const Outcome checked = Md5sumCheck(home.Path() / "work", "Fotky z léta.MD5");
    EXPECT_EQ(checked.status, 0) << checked.out;
    EXPECT_EQ(std::count(checked.out.begin(), checked.out.end(), '\n'), 6) << checked.out;
    EXPECT_EQ(checked.out.find("FAILED"), std::string::npos) << checked.out;

    // The program reads its own folder file back the way md5sum does.
    Outcome verified = Vorlix({sums});
    EXPECT_EQ(verified.status, 0) << verified.err;
    EXPECT_EQ(verified.out.substr(0, checked.out.size()), checked.out);

    // It exists now: without /auto the question comes first, and No with no
    // other name leaves the old file.
    Outcome asked = Vorlix({"--sourcefolder=" + folder}, "n\n\n");
    EXPECT_EQ(asked.status, 1);
    EXPECT_NE(asked.out.find("[y/N]"), std::string::npos);
    EXPECT_EQ(ReadAll(sums), text);
    // With /auto it is replaced without one.
    Outcome replaced = Vorlix({"-sourcefolder:" + folder, "/auto"});
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(replaced.out.find("[y/N]"), std::string::npos);
}

TEST_F(ConsoleStory, AFolderFileLeavesOutWhatCannotBeReadAndSaysSo) {
    home.Write("work/box/kept.txt", "kept");
    ASSERT_EQ(mkfifo((home.Path() / "work/box/pipe").c_str(), 0600), 0);
    fs::create_symlink("nowhere", home.Path() / "work/box/dangling");

    Outcome run = Vorlix({"/sourcefolder:" + Work("box"), "/auto"});
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    const std::string text = ReadAll(Work("box.MD5"));
    EXPECT_NE(text.find(" *box/kept.txt\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("pipe"), std::string::npos);
    EXPECT_NE(run.err.find("box/pipe"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("box/dangling"), std::string::npos) << run.err;

    Outcome notAFolder = Vorlix({"/sourcefolder:" + Work("box/kept.txt")});
    EXPECT_EQ(notAFolder.status, 2);
    EXPECT_FALSE(fs::exists(Work("box/kept.txt.MD5")));
}

TEST_F(ConsoleStory, ExpectComparesWithAPublishedDigest) {
    const std::string data = home.Write("work/abc.iso", "abc");
    const std::string digest = "900150983cd24fb0d6963f7d28e17f72";

    Outcome match = Vorlix({"/sourcefile:" + data,
                            "/expect: " + std::string("900150983CD24FB0D6963F7D28E17F72") + " "});
    EXPECT_EQ(match.status, 0) << match.err;
    EXPECT_NE(match.out.find("abc.iso"), std::string::npos) << match.out;
    EXPECT_NE(match.out.find(digest), std::string::npos);
    EXPECT_FALSE(fs::exists(data + ".MD5"));

    const std::string other = "00000000000000000000000000000000";
    Outcome mismatch = Vorlix({"--expect=" + other, "--sourcefile=" + data, "--auto"});
    EXPECT_EQ(mismatch.status, 1);
    EXPECT_NE(mismatch.err.find(other), std::string::npos) << mismatch.err;
    EXPECT_NE(mismatch.err.find(digest), std::string::npos);
    EXPECT_FALSE(fs::exists(data + ".MD5"))
        << "a file that is not the published one is not recorded";

    Outcome saved = Vorlix({"--expect=" + digest, "--sourcefile=" + data, "--auto"});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_NE(ReadAll(data + ".MD5").find(digest), std::string::npos);

    for (const std::string& bad :
         std::vector<std::string>{"123", digest + "0", "g00150983cd24fb0d6963f7d28e17f72", ""}) {
        Outcome malformed = Vorlix({"/sourcefile:" + data, "/expect:" + bad});
        EXPECT_EQ(malformed.status, 2) << bad;
        EXPECT_NE(malformed.err, "") << bad;
    }
    Outcome noFile = Vorlix({"/expect:" + digest});
    EXPECT_EQ(noFile.status, 2);
}

// Download pages print SHA-256 and SHA-512 today: every length is compared
// in its own digest, 128 digits in both of theirs.
TEST_F(ConsoleStory, ExpectTakesADigestOfEveryLength) {
    const std::string data = home.Write("work/abc.iso", "abc");
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        const std::string digest = TextDigest(algorithm, "abc");
        const std::string name(CommandLineName(algorithm));
        for (const std::string& given :
             {digest, name + ":" + digest,
              std::string(TagName(algorithm)) + " (abc.iso) = " + digest}) {
            Outcome match = Vorlix({"/sourcefile:" + data, "/expect:" + given});
            EXPECT_EQ(match.status, 0) << given << match.err;
            EXPECT_NE(match.out.find(digest), std::string::npos) << match.out;
        }
        std::string wrong = digest;
        wrong[5] = wrong[5] == '0' ? '1' : '0';
        Outcome mismatch = Vorlix({"/sourcefile:" + data, "/expect:" + wrong, "/auto"});
        EXPECT_EQ(mismatch.status, 1) << name;
        EXPECT_NE(mismatch.err.find(digest), std::string::npos) << mismatch.err;
        EXPECT_FALSE(fs::exists(data + ".MD5"));
    }
    Outcome wrongName = Vorlix(
        {"/sourcefile:" + data, "/expect:sha512:" + TextDigest(DigestAlgorithm::Sha256, "abc")});
    EXPECT_EQ(wrongName.status, 2) << wrongName.out;
}

TEST_F(ConsoleStory, CtrlCDuringAFolderRunWritesNothingAndEndsWithOne) {
    home.Write("work/big/small.txt", "small");
    const std::string data = Work("big/big.iso");
    { std::ofstream create(data); }
    fs::resize_file(data, std::uintmax_t{8} << 30);  // sparse: seconds of digest, no disk
    const pid_t run = Start({"/sourcefolder:" + Work("big"), "/auto"}, home.Write("no input", ""));
    ASSERT_TRUE(Eventually([&] { return HasOpen(run, data); }));
    ::kill(run, SIGINT);
    const Outcome interrupted = WaitFor(run);
    EXPECT_EQ(interrupted.status, 1) << interrupted.err;
    EXPECT_EQ(FilesInWork(), std::vector<std::string>{"big"});
}

// --- Every line counts --------------------------------------------------------

TEST_F(ConsoleStory, AFolderFileWithControlCharactersInNamesChecksEveryFile) {
    home.Write("work/D/a\tb", "abc");
    home.Write(
        "work/D/e\x1b"
        "f",
        "def");
    home.Write("work/D/plain", "plain");
    ASSERT_EQ(Vorlix({"/sourcefolder:" + Work("D"), "/auto"}).status, 0);
    home.Write("work/D/a\tb", "changed");

    const Outcome run = Vorlix({Work("D.MD5")});
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_EQ(run.out, Md5sumCheck(home.Path() / "work", "D.MD5").out);
    EXPECT_NE(run.out.find("D/a\tb: FAILED\n"), std::string::npos) << run.out;
}

TEST_F(ConsoleStory, LayoutWordsAndOverLongLinesNeverChangeWhatAListMeans) {
    const std::string abc = "900150983cd24fb0d6963f7d28e17f72";
    // Six files whose names hold the words of the sectioned layout, one damaged.
    std::string list;
    for (const char* name :
         {"FileNames/[INI]", "FileNames/[MD5FileInfo]", "FileNames/FileName=readme",
          "FileNames/MD5Checksum", "FileNames/FileLenght", "FileNames/[EOF]"}) {
        home.Write(std::string("work/") + name, "abc");
        list += abc + "  " + name + "\n";
    }
    home.Write("work/FileNames/[EOF]", "damaged");
    home.Write("work/SUMS", list);
    Outcome run = Vorlix({Work("SUMS")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, Md5sumCheck(home.Path() / "work", "SUMS").out);

    // The start of a line cut at the limit would read as an entry for a.
    home.Write("work/a", "abc");
    home.Write("work/CUT", "MD5 (a) = " + abc + std::string(2 << 20, ' ') +
                               ") = " + std::string(32, '0') + "\n");
    run = Vorlix({Work("CUT")});
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_EQ(run.out, "");
}

TEST_F(ConsoleStory, AChecksumFileThatIsNoRegularFileIsAnErrorWhateverItsName) {
    for (const char* name : {"MD5SUMS", "data.md5"}) {
        ASSERT_EQ(::mkfifo(Work(name).c_str(), 0600), 0);
        const Outcome run = Vorlix({Work(name)});
        EXPECT_EQ(run.status, 2) << name << run.out << run.err;
    }
}

TEST_F(ConsoleStory, AHugeListIsVerifiedInLittleMemory) {
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps what was freed in quarantine: the bound is the product's.
    GTEST_SKIP() << "memory is measured without AddressSanitizer";
#endif
    home.Write("work/a", "abc");
    {
        // 600,000 entries, 30 MiB: the list once took twice its size in memory.
        std::ofstream list(Work("BIG"), std::ios::binary);
        const std::string line =
            "900150983cd24fb0d6963f7d28e17f72  a" + std::string(16, '/') + "\n";
        for (int i = 0; i < 600000; ++i) list << line;
    }
    struct rusage usage {};
    const Outcome run = WaitFor(Start({Work("BIG")}, home.Write("no input", "")), &usage);
    EXPECT_EQ(run.status, 1) << run.err;  // "a////…" names no file: a is no folder
    EXPECT_LT(usage.ru_maxrss, 40 * 1024) << "KiB";
}

// --- Files as the system gives them -------------------------------------------

// A wrapper command that runs the program with a shell command before it.
std::string Wrapped(const std::string& before) {
    return "sh -c " + Quoted(before + " && exec \"$@\"") + " sh";
}

TEST_F(ConsoleStory, FilesWithAWrongSizeGetTheDigestMd5sumGives) {
    // /proc/version says it is empty; the digest is that of what it holds.
    const std::string version = ReadAll("/proc/version");
    ASSERT_FALSE(version.empty());
    const std::string make =
        "cd " + Quoted(Work("")) + " && md5sum /proc/version > proc.md5" +
        " && echo 'd41d8cd98f00b204e9800998ecf8427e  /proc/version' > empty.md5";
    ASSERT_EQ(std::system(make.c_str()), 0);
    Outcome run = Vorlix({Work("proc.md5")});
    EXPECT_EQ(run.status, 0) << run.err;
    const Outcome reference = Md5sumCheck(home.Path() / "work", "proc.md5");
    EXPECT_EQ(reference.out, "/proc/version: OK\n");
    EXPECT_TRUE(run.out.starts_with(reference.out)) << run.out;
    Outcome empty = Vorlix({Work("empty.md5")});
    EXPECT_EQ(empty.status, 1);
    EXPECT_TRUE(empty.out.starts_with("/proc/version: FAILED\n")) << empty.out;

    // Through a link in a folder: the folder's file records it as md5sum reads it.
    fs::create_directories(home.Path() / "work/linked");
    fs::create_symlink("/proc/version", home.Path() / "work/linked/version");
    Outcome folder = Vorlix({"/sourcefolder:" + Work("linked"), "/auto"});
    EXPECT_EQ(folder.status, 0) << folder.err;
    const std::string sums = ReadAll(Work("linked.MD5"));
    const std::string line = ReadAll(Work("proc.md5")).substr(0, 32) + " *linked/version\r\n";
    EXPECT_NE(sums.find(line), std::string::npos) << sums;
    const Outcome checked = Md5sumCheck(home.Path() / "work", "linked.MD5");
    EXPECT_EQ(checked.status, 0) << checked.out;
}

TEST_F(ConsoleStory, ALowOpenFileLimitLeavesNoFileUnread) {
    // Longer than one read, so that every file in a lane holds its descriptor a while.
    for (int i = 0; i < 100; ++i) {
        home.Write("work/many/file" + std::to_string(i), std::string(200000 + i, 'a' + i % 26));
    }
    const std::string make = "cd " + Quoted(Work("many")) + " && md5sum file* > ../many.md5";
    ASSERT_EQ(std::system(make.c_str()), 0);
    fs::rename(Work("many.md5"), Work("many/MD5SUMS"));
    Outcome run = Vorlix({Work("many/MD5SUMS")}, "", Wrapped("ulimit -n 32"));
    EXPECT_EQ(run.status, 0) << run.err;
    std::size_t ok = 0;
    for (std::size_t at = 0; (at = run.out.find(": OK\n", at)) != std::string::npos; ++at) ++ok;
    EXPECT_EQ(ok, 100u) << run.out;
    EXPECT_EQ(run.out.find("FAILED"), std::string::npos) << run.out;
}

TEST_F(ConsoleStory, OutputThatCannotBeWrittenEndsWithTwo) {
    home.Write("work/a.txt", "abc");
    home.Write("work/MD5SUMS", "900150983cd24fb0d6963f7d28e17f72  a.txt\n");
    const std::string full = "exec >/dev/full";
    Outcome ok = Vorlix({Work("MD5SUMS")});
    EXPECT_EQ(ok.status, 0) << ok.err;
    Outcome run = Vorlix({Work("MD5SUMS")}, "", Wrapped(full));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Error: the output could not be written: No space left on device\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("could not be written"), run.err.rfind("could not be written"));
    Outcome version = Vorlix({"--version"}, "", Wrapped(full));
    EXPECT_EQ(version.status, 2);
    EXPECT_NE(version.err.find("could not be written"), std::string::npos);
}

TEST_F(ConsoleStory, AFolderTwoThousandLevelsDeepTakesLittleMemory) {
    fs::path deep = home.Path() / "work/deep";
    std::string name = "deep";
    fs::create_directory(deep);
    for (int level = 0; level < 2000; ++level) {
        deep /= "d";
        name += "/d";
        fs::create_directory(deep);
    }
    home.Write((deep / "bottom").lexically_relative(home.Path()).string(), "abc");

    struct rusage usage {};
    const Outcome run = WaitFor(
        Start({"/sourcefolder:" + Work("deep"), "/auto"}, home.Write("no input", "")), &usage);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(
        ReadAll(Work("deep.MD5")).find("900150983cd24fb0d6963f7d28e17f72 *" + name + "/bottom\r\n"),
        std::string::npos);
    // The walk once took hundreds of MiB here; the program itself needs tens.
    EXPECT_LT(usage.ru_maxrss, 100 * 1024) << "KiB";

    // From the bottom up: removing it from the top would open every level at once.
    fs::remove(deep / "bottom");
    for (; deep != home.Path() / "work"; deep = deep.parent_path()) fs::remove(deep);
}

// --- Every switch done or refused; writes only where the user named ---------

TEST_F(ConsoleStory, SwitchesThatCannotAllBeDoneAreAUsageErrorNamingThem) {
    const std::string data = home.Write("work/a.txt", "abc");
    home.Write("work/F/b.txt", "b");
    const std::string wrong = std::string(32, '0');
    struct Case {
        std::vector<std::string> words;
        std::string named;
    };
    const std::vector<Case> cases = {
        {{"/sourcefile:" + data, "/expect:" + wrong, "/sourcefolder:" + Work("F"), "/auto"},
         "/sourcefile /sourcefolder"},
        {{"/sourcefile:" + data, "/expect:" + wrong, "/checkupdate"}, "/checkupdate /sourcefile"},
        {{"/sourcefile:" + data, "/atuo"}, "/atuo"},
        {{"--sourcefile=" + data, "--sourcefile=" + Work("F/b.txt"), "--auto"}, "/sourcefile"},
        {{"/auto:yes", "/sourcefile:" + data}, "/auto"},
        {{"/version", "/auto", "/sourcefile:" + data}, "/version /auto"},
        {{"--ignore-missing", "/sourcefile:" + data, data}, "/ignoremissing /sourcefile"},
        {{"/calculate", "/ignoremissing", data}, "/ignoremissing /calculate"},
    };
    for (const Case& c : cases) {
        const Outcome run = Vorlix(c.words);
        EXPECT_EQ(run.status, 2) << c.named;
        EXPECT_EQ(run.out, "") << c.named;
        EXPECT_NE(run.err.find(" " + c.named + "\n"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("vorlix /help"), std::string::npos) << run.err;
        // Nothing was done: nothing written, nothing compared.
        EXPECT_EQ(FilesInWork(), (std::vector<std::string>{"F", "a.txt"})) << c.named;
    }
    // Alone, the version needs no pack and no window.
    EXPECT_EQ(Vorlix({"/version"}).out,
              "Vorlix, ver.1.0.0.22, build DB.000022-28.10.2023-13.18.05_VRLX.\n");
}

TEST_F(ConsoleStory, TheChecksumNeverReplacesTheDataFile) {
    const std::string data = home.Write("work/a.txt", "abc");
    home.Write("work/a.txt.MD5", "old");
    // No to the question, then the data file itself as the other name.
    const Outcome run = Vorlix({"/sourcefile:" + data, "/auto"}, "n\n" + data + "\n");
    EXPECT_EQ(run.status, 2) << run.out << run.err;
    EXPECT_EQ(ReadAll(data), "abc");
    EXPECT_EQ(ReadAll(data + ".MD5"), "old");
    EXPECT_NE(run.err.find(data + " "), std::string::npos) << run.err;
    EXPECT_EQ(FilesInWork(), (std::vector<std::string>{"a.txt", "a.txt.MD5"}));
}

TEST_F(ConsoleStory, ALinkPlantedInAFolderOpenToAllIsNotFollowed) {
    const fs::path shared = home.Path() / "work/shared";
    home.Write("work/shared/D/photo.jpg", "jpg");
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string secret = home.Write("secret", "only its owner may read this");
    ::chmod(secret.c_str(), 0600);
    const fs::path link = shared / "D.MD5";

    // The user's own link is followed, as the system would.
    fs::create_symlink(secret, link);
    const Outcome own = Vorlix({"/sourcefolder:" + (shared / "D").string(), "/auto"});
    EXPECT_EQ(own.status, 0) << own.err;
    EXPECT_NE(ReadAll(secret).find(" *D/photo.jpg\r\n"), std::string::npos);

    if (::geteuid() != 0) GTEST_SKIP() << "a link of another user needs root to be made";
    home.Write("secret", "only its owner may read this");
    ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
    const Outcome planted = Vorlix({"/sourcefolder:" + (shared / "D").string(), "/auto"});
    EXPECT_EQ(planted.status, 2) << planted.out << planted.err;
    EXPECT_EQ(ReadAll(secret), "only its owner may read this");
    EXPECT_NE(planted.err.find(link.string()), std::string::npos) << planted.err;
    EXPECT_TRUE(fs::is_symlink(link));
}

TEST_F(ConsoleStory, OneFolderHasOneNameForTheWalkTheEntriesAndTheFile) {
    home.Write("work/dir/own.txt", "own");
    home.Write("work/elsewhere/inner/far.txt", "far");
    fs::create_directory_symlink("../elsewhere/inner", home.Path() / "work/dir/sub");

    // "dir/sub/.." is "elsewhere" for the system, so it is for the program.
    const Outcome run = Vorlix({"/sourcefolder:dir/sub/..", "/auto"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_FALSE(fs::exists(Work("dir.MD5")));
    const std::string text = ReadAll(Work("elsewhere.MD5"));
    EXPECT_NE(text.find(" *elsewhere/inner/far.txt\r\n"), std::string::npos) << text;
    const Outcome checked = Md5sumCheck(home.Path() / "work", "elsewhere.MD5");
    EXPECT_EQ(checked.status, 0) << checked.out;
    EXPECT_EQ(checked.out, "elsewhere/inner/far.txt: OK\n");

    // A folder whose name leads back above itself would list its own file.
    fs::create_directory_symlink("..", home.Path() / "work/dir/up");
    const Outcome inside = Vorlix({"/sourcefolder:dir/up", "/auto"});
    EXPECT_EQ(inside.status, 2) << inside.out << inside.err;
    EXPECT_FALSE(fs::exists(Work("dir/up.MD5")));
}

TEST_F(ConsoleStory, EveryNameAFolderFileMightReplaceIsAskedAbout) {
    home.Write("work/F/x.txt", "x");
    home.Write("work/F.MD5", "old");
    const std::string other = home.Write("work/other.md5", "other");
    // No, then an existing name, No again, then no name.
    const Outcome run = Vorlix({"/sourcefolder:" + Work("F")}, "n\n" + other + "\nn\n\n");
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    const auto first = run.out.find("[y/N]");
    ASSERT_NE(first, std::string::npos) << run.out;
    EXPECT_NE(run.out.find(other + " ", first), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("[y/N]", first + 1), std::string::npos) << run.out;
    EXPECT_EQ(ReadAll(other), "other");
    EXPECT_EQ(ReadAll(Work("F.MD5")), "old");

    // Yes to the other name: written, and said once, in the summary (the
    // question names it too).
    const Outcome yes = Vorlix({"/sourcefolder:" + Work("F")}, "n\n" + other + "\ny\n");
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_NE(ReadAll(other).find(" *F/x.txt\r\n"), std::string::npos);
    std::size_t named = 0;
    for (auto at = yes.out.find(other); at != std::string::npos; at = yes.out.find(other, at + 1))
        ++named;
    EXPECT_EQ(named, 2u) << yes.out;
}

// --- The windows module --------------------------------------------------------

// A copy of the program in `bin` with its packs, and its windows module at
// `module` when one is given.
void InstallProgram(const fs::path& bin, const fs::path& module = {}) {
    const fs::path built = fs::path(VORLIX_BINARY).parent_path();
    fs::create_directories(bin / "Languages");
    fs::copy_file(VORLIX_BINARY, bin / "vorlix");
    for (const char* pack : {"1027.xml", "1033.xml"})
        fs::copy_file(built / "Languages" / pack, bin / "Languages" / pack);
    if (module.empty()) return;
    fs::create_directories(module.parent_path());
    fs::copy_file(built / "vorlix-gui.so", module);
}

TEST_F(ConsoleStory, TheWindowsComeFromTheModuleBesideOrInLibVorlix) {
    // /auto saves and ends before a window shows; the save is the module's work.
    frontEnd = "QT_QPA_PLATFORM=offscreen";
    const fs::path root = home.Path() / "usr";
    struct Layout {
        const char* name;
        fs::path module;
    };
    for (const Layout& layout : {Layout{"build folder", root / "bin" / "vorlix-gui.so"},
                                 Layout{"installed", root / "lib" / "vorlix" / "vorlix-gui.so"}}) {
        fs::remove_all(root);
        InstallProgram(root / "bin", layout.module);
        program = (root / "bin" / "vorlix").string();
        const std::string data = home.Write("work/data.bin", layout.name);
        fs::remove(data + ".MD5");
        const Outcome run = Vorlix({"/sourcefile:" + data, "/auto"});
        EXPECT_EQ(run.status, 0) << layout.name << "\n" << run.err;
        EXPECT_TRUE(fs::exists(data + ".MD5")) << layout.name;
    }
}

TEST_F(ConsoleStory, AMissingOrBrokenModuleIsOneEscapedLineAndStatusTwo) {
    frontEnd = "VORLIX_UI=window";
    // The folder's name reaches the message, in the loader's words or ours.
    const fs::path bin = home.Path() / "bin\x1b[2J\nx";
    InstallProgram(bin);
    program = (bin / "vorlix").string();
    for (const char* module : {"", "not an ELF file"}) {
        if (*module) home.Write("bin\x1b[2J\nx/vorlix-gui.so", module);
        const Outcome run = Vorlix({});
        EXPECT_EQ(run.status, 2) << module;
        EXPECT_TRUE(run.err.starts_with("\\Error: the windows cannot be loaded: ")) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("bin\\x1b[2J\\nx/vorlix-gui.so"), std::string::npos) << run.err;
        EXPECT_TRUE(FilesInWork().empty());
    }
}

}  // namespace
}  // namespace vorlix
