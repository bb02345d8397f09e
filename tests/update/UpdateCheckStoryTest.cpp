// The update check of the real program, run from the command line in the
// console front-end against servers on this machine.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "language/Language.h"
#include "support/LoopbackHttpServer.h"
#include "support/ScriptedDialogs.h"
#include "support/SelfSignedHttpsServer.h"
#include "support/TempDir.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using Response = test::LoopbackHttpServer::Response;
using test::ReadAll;

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int Status(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class UpdateCheckStory : public ::testing::Test {
  protected:
    UpdateCheckStory() : czech(VORLIX_SOURCE_PACKS) { czech.LoadLanguageFile(1027); }

    // The publisher makes the file with its tool.
    std::string UpdateFile(const std::string& version, const std::string& name = "Vorlix") {
        const std::string plain =
            home.Write("plain.txt",
                       "[Update]\nProgramToUpdate=2\n[ProgramNames]\nProgram1=Jiný program\n"
                       "Program2=" +
                           name +
                           "\n[UpdateVersionProgram]\nVersionFile1=3.1.0.5\n"
                           "VersionFile2=" +
                           version + "\n");
        const std::string made = home.Path() / "update.txt";
        const std::string command =
            Quoted(VORLIX_UPDATE_TOOL) + " encipher <" + Quoted(plain) + " >" + Quoted(made);
        EXPECT_EQ(Status(std::system(command.c_str())), 0);
        return ReadAll(made);
    }

    std::string Command(const std::string& address, int timeoutSeconds = 1) {
        const std::string dir = home.Path().string();
        return "cd " + Quoted(dir) +
               " && exec env -i PATH=/usr/bin:/bin LANG=C.UTF-8 VORLIX_UI=console HOME=" +
               Quoted(dir) + " XDG_CONFIG_HOME=" + Quoted(dir + "/config") +
               " XDG_CACHE_HOME=" + Quoted(dir + "/cache") +
               " VORLIX_UPDATE_TIMEOUT=" + std::to_string(timeoutSeconds) +
               " VORLIX_UPDATE_URL=" + Quoted(address) + " " + Quoted(VORLIX_BINARY) +
               " /checkupdate </dev/null >" + Quoted(dir + "/stdout") + " 2>" +
               Quoted(dir + "/stderr");
    }

    Outcome CheckUpdate(const std::string& address) {
        Outcome run;
        run.status = Status(std::system(Command(address).c_str()));
        run.out = ReadAll(home.Path() / "stdout");
        run.err = ReadAll(home.Path() / "stderr");
        // Whatever happened, the local copy is gone.
        EXPECT_TRUE(fs::is_empty(home.Path() / "cache" / "Vorlix")) << address;
        return run;
    }

    std::string Label(const char* key) { return czech.GetLabel("modAvizo_v4", key); }

    test::TempDir home;
    test::ScriptedDialogs dialogs;
    Language czech;
    test::LoopbackHttpServer server;
    const std::string notice = "Nalezena aktualizace programu: ";
    const std::string downloadFailed =
        "Informace: Funkce Test aktualizací není nedostupná, zkontrolujte prosím připojení k "
        "internetu, nebo nastavení Firewallu.\n";
};

TEST_F(UpdateCheckStory, ReportsEachOutcomeWithItsMessageAndStatus) {
    server.Serve("/current.txt", Response::Body(UpdateFile("1.0.0.22")));
    server.Serve("/build.txt", Response::Body(UpdateFile("1.0.0.23")));
    server.Serve("/minor.txt", Response::Body(UpdateFile("1.1.0.0")));
    server.Serve("/older.txt", Response::Body(UpdateFile("1.0.0.21")));
    server.Serve("/unlisted.txt", Response::Body(UpdateFile("9.0.0.0", "Vorlix Pro")));
    server.Serve("/big.txt", Response::Body(std::string(1024 * 1024 + 16, '0')));
    server.Serve("/silent.txt", Response::Silent());
    const std::string newer = Label("txtNewVersionAvailable");
    struct Case {
        std::string path;
        int status;
        std::string out;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"/current.txt", 0, notice + Label("txtActualVersion") + "\n", ""},
        {"/build.txt", 1, notice + newer + " 1.0.0.23 - " + Label("txtCriticalUpdate") + "\n", ""},
        {"/minor.txt", 1, notice + newer + " 1.1.0.0 - " + Label("txtMainUpgrade") + "\n", ""},
        {"/older.txt", 0, "",
         "Neshoda verzí: Zachycena neshoda ve vezích programů, hodnota Build je vyšší než veřejně "
         "publikovaná na Webu. Program je testovací ALFA verze a může obsahovat chyby.\nProsím "
         "stáhněte si Stable verzi programu na Webu https://www.vorlix.net/\n"},
        {"/unlisted.txt", 2, "",
         czech.GetLabel("Generic", "CaptionInformation") + ": " + Label("txtRecordNotFound1") +
             " Vorlix " + Label("txtRecordNotFound2") + "\n"},
        {"/missing.txt", 2, "", downloadFailed},
        {"/big.txt", 2, "", downloadFailed},
        {"/silent.txt", 2, "", downloadFailed},
    };
    for (const Case& c : cases) {
        const Outcome run = CheckUpdate(server.Url(c.path));
        EXPECT_EQ(run.status, c.status) << c.path;
        EXPECT_EQ(run.out, c.out) << c.path;
        EXPECT_EQ(run.err, c.err) << c.path;
    }
}

TEST_F(UpdateCheckStory, AnInterruptDuringTheDownloadLeavesNoFileBehind) {
    server.Serve("/silent.txt", Response::Silent());
    const std::string command = Command(server.Url("/silent.txt"), 30);
    int requests = 0;
    // A closed terminal and Ctrl+\ as well as a shutdown.
    for (const int signal : {SIGTERM, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        const pid_t child = fork();
        if (child == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_GT(child, 0);
        for (int wait = 0; wait < 400 && server.Requests() == requests; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        EXPECT_EQ(server.Requests(), ++requests);
        // The temporary file of the download is there now.
        EXPECT_FALSE(fs::is_empty(home.Path() / "cache" / "Vorlix"));
        kill(child, signal);
        int raw = 0;
        waitpid(child, &raw, 0);
        EXPECT_EQ(Status(raw), 1);
        EXPECT_TRUE(fs::is_empty(home.Path() / "cache" / "Vorlix"));
    }
}

TEST_F(UpdateCheckStory, ALocalSourceThatIsNoRegularFileFailsAtOnce) {
    const std::string fifo = (home.Path() / "update.fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& address : {"file://" + fifo, std::string("file:///dev/zero")}) {
        const Outcome run = CheckUpdate(address);
        EXPECT_EQ(run.status, 2) << address;
        EXPECT_EQ(run.err, downloadFailed) << address;
    }
    // Well within the one second of time-out that would not have ended it.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(UpdateCheckStory, RefusesAServerWhoseCertificateNobodySigned) {
    test::SelfSignedHttpsServer https;
    ASSERT_TRUE(https.Running()) << "openssl s_server did not start";
    https.Write("update.txt", UpdateFile("1.0.0.23"));
    const Outcome run = CheckUpdate(https.Url("/update.txt"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, downloadFailed);
}

}  // namespace
}  // namespace vorlix
