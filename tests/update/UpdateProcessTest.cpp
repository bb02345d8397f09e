#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "language/Language.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "update/UpdateFixture.h"
#include "update/UpdateProcess.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using test::Message;
using test::Shown;

const Shown kDownloadFailed = Message(
    "Funkce Test aktualizací není nedostupná, zkontrolujte prosím připojení k internetu, nebo "
    "nastavení Firewallu.",
    "Informace", MessageIcon::Stop);

// A download that writes what a server would have sent, or fails.
struct FakeServer {
    bool Download(const std::string& address, const std::string& path,
                  const DownloadLimits& limits) {
        addresses.push_back(address);
        timeout = limits.totalTimeout;
        oldCopyGone = !fs::exists(path);
        if (!body) return false;
        std::ofstream(path, std::ios::binary) << *body;
        return true;
    }
    std::optional<std::string> body;
    std::vector<std::string> addresses;
    std::chrono::milliseconds timeout{};
    bool oldCopyGone = false;
};

class UpdateProcessTest : public ::testing::Test {
  protected:
    UpdateProcessTest() : language(VORLIX_SOURCE_PACKS) {
        language.LoadLanguageFile(1027);
        settings.address = "https://mirror.example/update.txt";
        settings.updateFilePath = (cache.Path() / "Vorlix" / "Update.txt").string();
        settings.limits.totalTimeout = std::chrono::seconds(7);
    }
    UpdateProcessModel Process() {
        return UpdateProcessModel(
            dialogs, language, settings,
            [this](const std::string& a, const std::string& p, const DownloadLimits& l) {
                return server.Download(a, p, l);
            });
    }
    bool CacheEmpty() { return fs::is_empty(cache.Path() / "Vorlix"); }

    test::ScriptedDialogs dialogs;
    Language language;
    test::TempDir cache;
    UpdateCheckSettings settings;
    FakeServer server;
};

TEST_F(UpdateProcessTest, ASuccessfulCheckShowsTheNoticeAndCloses) {
    server.body = test::EncipheredUpdateFile(test::UpdateFileListing("1.0.0.22"));
    auto process = Process();
    process.Form_Load();
    EXPECT_EQ(process.Caption(), language.GetLabel("frmUpdateProcess", "Caption"));
    EXPECT_EQ(process.lblCaption(), language.GetLabel("frmUpdateProcess", "lblCaption"));
    EXPECT_EQ(server.addresses, std::vector<std::string>{"https://mirror.example/update.txt"});
    EXPECT_EQ(server.timeout, std::chrono::seconds(7));
    EXPECT_TRUE(process.TimerEnabled());
    EXPECT_EQ(process.TimerInterval(), 100);
    EXPECT_FALSE(process.Unloaded());
    EXPECT_TRUE(dialogs.Seen().empty());
    // The folder is the user's alone.
    struct stat info {};
    ASSERT_EQ(stat((cache.Path() / "Vorlix").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    process.tmrCheckUpdates_Timer();
    EXPECT_EQ(dialogs.Seen(), std::vector<Shown>{Message(
                                  language.GetLabel("modAvizo_v4", "txtActualVersion"),
                                  "Nalezena aktualizace programu", MessageIcon::Information)});
    EXPECT_TRUE(process.Unloaded());
    EXPECT_FALSE(process.TimerEnabled());
    EXPECT_EQ(process.Outcome(), UpdateOutcome::UpToDate);
    EXPECT_TRUE(CacheEmpty());
}

TEST_F(UpdateProcessTest, AFailedDownloadIsTheOnlyMessage) {
    auto process = Process();
    EXPECT_EQ(process.RunWithoutWindow(), UpdateOutcome::DownloadFailed);
    EXPECT_EQ(dialogs.Seen(), std::vector<Shown>{kDownloadFailed});
    EXPECT_TRUE(process.Unloaded());
    EXPECT_FALSE(process.TimerEnabled());
    EXPECT_TRUE(CacheEmpty());
}

TEST_F(UpdateProcessTest, EveryCheckDownloadsAfreshAndLeavesNothingBehind) {
    fs::create_directories(cache.Path() / "Vorlix");
    cache.Write("Vorlix/Update.txt", "left by a check that never finished");
    server.body = test::EncipheredUpdateFile(test::UpdateFileListing("1.0.0.23"));
    for (int check = 0; check < 2; ++check) {
        dialogs.Clear();
        auto process = Process();
        EXPECT_EQ(process.RunWithoutWindow(), UpdateOutcome::NewerPublished);
        EXPECT_TRUE(server.oldCopyGone);
        EXPECT_EQ(dialogs.Seen().size(), 1u);
        EXPECT_TRUE(CacheEmpty());
    }
    EXPECT_EQ(server.addresses.size(), 2u);
}

TEST_F(UpdateProcessTest, ACopyThatVanishedLeavesTheWindowOpenWithoutAMessage) {
    server.body = test::EncipheredUpdateFile(test::UpdateFileListing("1.0.0.22"));
    auto process = Process();
    process.Form_Load();
    fs::remove(settings.updateFilePath);
    process.tmrCheckUpdates_Timer();
    EXPECT_FALSE(process.Unloaded());
    EXPECT_TRUE(dialogs.Seen().empty());
    EXPECT_EQ(process.Outcome(), UpdateOutcome::Unfinished);
}

TEST_F(UpdateProcessTest, AWindowClosedBeforeItsTimerTakesTheCopyAlong) {
    server.body = test::EncipheredUpdateFile(test::UpdateFileListing("1.0.0.22"));
    {
        auto process = Process();
        process.Form_Load();
        EXPECT_FALSE(CacheEmpty());
        process.Form_Unload();
        EXPECT_TRUE(CacheEmpty());
        process.tmrCheckUpdates_Timer();  // a tick that was already queued
        EXPECT_TRUE(dialogs.Seen().empty());
    }
}

// Restores an environment variable when the test is over.
struct ScopedEnvironment {
    ScopedEnvironment(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (previous)
            setenv(name, previous->c_str(), 1);
        else
            unsetenv(name);
    }
    const char* name;
    std::optional<std::string> previous;
};

TEST(UpdateCheckSettings, AddressCacheAndTimeOutsComeFromTheEnvironment) {
    {
        ScopedEnvironment url("VORLIX_UPDATE_URL", nullptr);
        ScopedEnvironment cache("XDG_CACHE_HOME", "/tmp/cache-of-u");
        ScopedEnvironment timeout("VORLIX_UPDATE_TIMEOUT", nullptr);
        const UpdateCheckSettings settings = UpdateCheckSettingsFromEnvironment();
        EXPECT_EQ(settings.address, "https://www.vorlix.net/update.txt");
        EXPECT_EQ(settings.updateFilePath, "/tmp/cache-of-u/Vorlix/Update.txt");
        EXPECT_EQ(settings.limits.connectTimeout, std::chrono::seconds(15));
        EXPECT_EQ(settings.limits.totalTimeout, std::chrono::seconds(60));
        EXPECT_EQ(settings.limits.maxBytes, 1024u * 1024u);
        EXPECT_EQ(settings.limits.maxRedirects, 5);
    }
    {
        ScopedEnvironment url("VORLIX_UPDATE_URL", "http://127.0.0.1:8080/update.txt");
        ScopedEnvironment cache("XDG_CACHE_HOME", "relative/cache");
        ScopedEnvironment home("HOME", "/home/u");
        ScopedEnvironment timeout("VORLIX_UPDATE_TIMEOUT", "1");
        const UpdateCheckSettings settings = UpdateCheckSettingsFromEnvironment();
        EXPECT_EQ(settings.address, "http://127.0.0.1:8080/update.txt");
        EXPECT_EQ(settings.updateFilePath, "/home/u/.cache/Vorlix/Update.txt");
        EXPECT_EQ(settings.limits.connectTimeout, std::chrono::seconds(1));
        EXPECT_EQ(settings.limits.totalTimeout, std::chrono::seconds(1));
    }
    for (const char* unusable : {"0", "61", "-5", "1s", "", "999999999999"}) {
        ScopedEnvironment timeout("VORLIX_UPDATE_TIMEOUT", unusable);
        EXPECT_EQ(UpdateCheckSettingsFromEnvironment().limits.totalTimeout,
                  std::chrono::seconds(60))
            << unusable;
    }
}

}  // namespace
}  // namespace vorlix
