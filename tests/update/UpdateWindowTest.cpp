#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/MainWindow.h"
#include "app/ProgramFixture.h"
#include "support/LoopbackHttpServer.h"
#include "update/BackgroundDownload.h"
#include "update/UpdateFixture.h"
#include "update/UpdateProcessWindow.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using Response = test::LoopbackHttpServer::Response;
using test::Message;
using test::Shown;

// What the update window looked like while it was up.
struct Sighting {
    QString title;
    QString label;
    QColor background;
    QColor text;
    QSize size;
    int labelRight = 0;
    bool modal = false;
};

class UpdateWindowStory : public ::testing::Test {
  protected:
    UpdateWindowStory() {
        setenv("VORLIX_UPDATE_URL", ("file://" + (fixture.root / "server/update.txt")).c_str(), 1);
        setenv("XDG_CACHE_HOME", (fixture.root / "cache").c_str(), 1);
        fixture.program = std::make_unique<ProgramServices>(
            fixture.dialogs, fixture.store, fixture.location,
            std::make_unique<test::RecordingAssociationPlatform>(), DigestRunner{},
            DownloadInBackground);
        window = std::make_unique<MainWindow>(fixture.Window(), fixture.program->language,
                                              fixture.program->clock);
        fixture.Load({});
        window->show();
    }
    ~UpdateWindowStory() override {
        unsetenv("VORLIX_UPDATE_URL");
        unsetenv("XDG_CACHE_HOME");
    }

    void Publish(const std::string& plain) {
        fixture.root.Write("server/update.txt", test::EncipheredUpdateFile(plain));
    }

    // Runs the menu command; act is called once on the update window when it shows.
    std::optional<Sighting> TestActualProg(std::function<void(UpdateProcessWindow*)> act = {}) {
        std::optional<Sighting> seen;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* shown = qobject_cast<UpdateProcessWindow*>(QApplication::activeModalWidget());
            if (!shown || !shown->isVisible() || seen) return;
            seen = Sighting{shown->windowTitle(),
                            shown->lblCaption->text(),
                            shown->palette().color(QPalette::Window),
                            shown->lblCaption->palette().color(QPalette::WindowText),
                            shown->size(),
                            shown->lblCaption->geometry().right() + 1,
                            shown->isModal()};
            if (act) act(shown);
        });
        watch.start();
        window->mnuAbout_TestActualProg->trigger();
        return seen;
    }

    std::string Label(const char* section, const char* key) {
        return fixture.program->language.GetLabel(section, key);
    }
    bool CacheEmpty() { return fs::is_empty(fixture.root.Path() / "cache" / "Vorlix"); }

    test::ProgramFixture fixture;
    std::unique_ptr<MainWindow> window;
};

TEST_F(UpdateWindowStory, TheMenuCommandShowsTheWindowThenTheNotice) {
    Publish(test::UpdateFileListing("1.0.0.22"));
    const auto seen = TestActualProg();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->title, QString::fromStdString(Label("frmUpdateProcess", "Caption")));
    EXPECT_EQ(seen->label, QString::fromStdString(Label("frmUpdateProcess", "lblCaption")));
    EXPECT_EQ(seen->background, QColor(59, 84, 148));
    EXPECT_EQ(seen->text, QColor(Qt::white));
    EXPECT_EQ(seen->size.height(), 36);                         // 540 twips
    EXPECT_EQ(seen->size.width(), seen->labelRight - 32 + 80);  // the label plus 1200 twips
    EXPECT_TRUE(seen->modal);

    EXPECT_EQ(
        fixture.dialogs.Seen(),
        std::vector<Shown>{Message(Label("modAvizo_v4", "txtActualVersion"),
                                   "Nalezena aktualizace programu", MessageIcon::Information)});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window->mnuAbout_TestActualProg->isEnabled());
    EXPECT_TRUE(CacheEmpty());

    // Again, with a fresh download and the same result.
    fixture.dialogs.Clear();
    Publish(test::UpdateFileListing("1.0.0.22"));
    EXPECT_TRUE(TestActualProg());
    EXPECT_EQ(fixture.dialogs.Seen().size(), 1u);
}

TEST_F(UpdateWindowStory, AProgramNotListedDisablesTheCommandForTheRun) {
    Publish("[Update]\nProgramToUpdate=1\n[ProgramNames]\nProgram1=Another\n");
    EXPECT_TRUE(TestActualProg());
    ASSERT_EQ(fixture.dialogs.Seen().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Seen()[0].caption, Label("Generic", "CaptionInformation"));
    EXPECT_FALSE(window->mnuAbout_TestActualProg->isEnabled());
    EXPECT_TRUE(CacheEmpty());

    fixture.dialogs.Clear();
    window->mnuAbout_TestActualProg->trigger();
    EXPECT_TRUE(fixture.dialogs.Seen().empty());
}

TEST_F(UpdateWindowStory, AFailedDownloadShowsOnlyItsMessage) {
    EXPECT_FALSE(TestActualProg());  // nothing published: the window never shows
    ASSERT_EQ(fixture.dialogs.Seen().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Seen()[0].caption, "Informace");
    EXPECT_TRUE(window->mnuAbout_TestActualProg->isEnabled());
}

TEST_F(UpdateWindowStory, ClosingTheWindowEarlyLeavesNoCopyBehind) {
    Publish(test::UpdateFileListing("1.0.0.23"));
    EXPECT_TRUE(TestActualProg([](UpdateProcessWindow* shown) { shown->reject(); }));
    EXPECT_TRUE(fixture.dialogs.Seen().empty());
    EXPECT_TRUE(CacheEmpty());
}

TEST(BackgroundDownload, TheProgramKeepsPaintingWhileItWaits) {
    test::LoopbackHttpServer server;
    server.Serve("/silent", test::LoopbackHttpServer::Response::Silent());
    test::TempDir folder;
    DownloadLimits limits;
    limits.totalTimeout = limits.connectTimeout = std::chrono::seconds(1);

    int ticks = 0;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();
    EXPECT_FALSE(DownloadInBackground(server.Url("/silent"), folder / "Update.txt", limits));
    EXPECT_GT(ticks, 5);
}

}  // namespace
}  // namespace vorlix
