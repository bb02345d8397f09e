// Stories that run the real program through its console front-end, with a
// home, settings and desktop database of their own.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
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
                              " env -i PATH=/usr/bin:/bin" +
                              " LANG=C.UTF-8 VORLIX_UI=console HOME=" + Quoted(dir) +
                              " XDG_CONFIG_HOME=" + Quoted(dir + "/config") +
                              " XDG_DATA_HOME=" + Quoted(dir + "/data") + " " + Quoted(program);
        for (const auto& word : words) command += " " + Quoted(word);
        command += " <" + Quoted(in) + " >" + Quoted(dir + "/stdout") + " 2>" +
                   Quoted(dir + "/stderr");
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
    Outcome WaitFor(pid_t child) {
        int raw = 0;
        for (int tenth = 0; tenth < 300; ++tenth) {
            if (::waitpid(child, &raw, WNOHANG) == child) return Finished(raw);
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
};

TEST_F(ConsoleStory, AutomaticModeSavesThenAsksBeforeOverwriting) {
    const std::string data = home.Write("work/report.pdf", "%PDF-1.4 not really");
    const std::string sums = data + ".MD5";

    Outcome first = Vorlix({"/sourcefile:" + data, "/auto"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "");
    const std::string saved = ReadAll(sums);
    EXPECT_TRUE(saved.starts_with("# Created Vorlix 1.0.0.22, DB.000022-28.10.2023-13.18.05_VRLX. "));
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
    Outcome elsewhere = Vorlix({"--sourcefile=" + data, "--auto"}, "n\n" + Work("other.md5") + "\n");
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
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(process) + "/fd", ignored)) {
        if (fs::read_symlink(fd.path(), ignored) == path) return true;
    }
    return false;
}

TEST_F(ConsoleStory, CtrlCOrSigtermDuringADigestOrSaveWritesNothingAndEndsWithOne) {
    // Sparse: no disk, but seconds of digest.
    const std::string data = Work("big.iso");
    { std::ofstream create(data); }
    fs::resize_file(data, std::uintmax_t{8} << 30);
    const std::string sums = data + ".MD5";
    const std::string noInput = home.Write("no input", "");

    for (const int signal : {SIGINT, SIGTERM}) {
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
    EXPECT_TRUE(Eventually([&] { return ReadAll(home.Path() / "stdout").find("[y/N]") != std::string::npos; }));
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
    EXPECT_NE(fresh.out.find(" " + std::to_string(EFBIG) + " File too large\n"), std::string::npos)
        << fresh.out << fresh.err;
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
        const std::string command = "cd " + Quoted((home.Path() / "tool").string()) + " && " +
                                    tool + " a.txt > a.txt.md5";
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

TEST_F(ConsoleStory, BadChecksumFilesGetAMessageNeverACrash) {
    home.Write("work/a.txt", "hello\n");
    const std::pair<const char*, std::string> cases[] = {
        {"empty.md5", ""},
        {"a.txt.md5", std::string("\0\xff\xfe garbage \x01", 14)},
        {"b.md5", "[INI]\n[MD5FileInfo]\nFileName=missing.txt\nMD5Checksum=x\nFileLenght=1\n[EOF]\n"},
        {"c.md5", "[INI]\r\n[MD5FileInfo]\r\nFileLenght=lots\r\nFileName=a.txt\r\n"
                  "MD5Checksum=b1946ac92492d2347c6235b4d2611184\r\n[EOF]\r\n"},
        {"d.md5", std::string(100000, '[') + "[EOF][EOF][INI]\n"},
        {"e.md5", "[INI]\n[MD5FileInfo]\nFileName=a.txt\nMD5Checksum=b1946ac92492d2347c6235b4d2611184\n"
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
        Language czech(dialogs, fs::path(VORLIX_BINARY).parent_path() / "Languages");
        czech.LoadLanguageFile(1027);
        const auto text = [&](const char* key) { return czech.GetLabel("modVorlix", key); };
        expected += text("Text1") + " \n   " + text("Text2") + "\n   " + text("Text3") +
                    "\n   " + text("Text4") + "\n\n" + text("Text5") + "\n   " + text("Text6") +
                    "\n\n" + text("Text7") + "\n" + text("Text8") + "\n" + text("Text9") + "\n";
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
    EXPECT_TRUE(altered.out.starts_with(
        "Warning: File length 1033.XML does not match, reinstall program!\n"
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
    home.Write("bin/Languages/1027.xml", "<?xml version=\"1.0\"?><Other><modVorlix><Text1>x</Text1></modVorlix></Other>");
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

}  // namespace
}  // namespace vorlix
