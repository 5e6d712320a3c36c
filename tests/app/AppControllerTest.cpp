// The files and menus around the engine, in the real window, driven as the
// user and the desktop drive them and observed where they would see it: the
// window title, the turntable's notice, the menus, the stored settings and
// the files. The engine's own tests are JukeboxTest's.
#include "settings/SettingsKeys.h"
#include "support/Player.h"
#include "view/TurntableNotice.h"
#include "view/TurntableView.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace keys = gx::keys;

namespace {

class AppControllerTest : public ::testing::Test, protected gx::test::Player {
protected:
    gx::test::ScratchDir dir;

    void SetUp() override
    {
        store().setStringList({}, keys::recentFiles);
        QDir(QDir::homePath() + "/Library").removeRecursively();
        start();
    }
    bool installOffered() const { return c->appMenu->actions().contains(c->installScriptItem); }
};

} // namespace

TEST_F(AppControllerTest, EveryOpenIsTitledRememberedAndAFileThatDoesNotPlayIsToldOnTheTurntable)
{
    QMainWindow* window = layout->mainWindow();
    window->winId(); // the native window holds the title as the desktop gets it
    for (const auto& [name, shown] : {std::pair {"Rock & Roll.wav", "Rock & Roll"}, {"07 Song [*].wav", "Song [*]"}}) {
        c->jukebox().openSong(dir.tone(name));
        EXPECT_EQ(c->recentMenu->actions().first()->iconText(), shown);
        EXPECT_TRUE(QKeySequence::mnemonic(c->recentMenu->actions().first()->text()).isEmpty());
        EXPECT_EQ(window->windowHandle()->title(), shown);
    }
    c->jukebox().openSong(dir.filePath("gone.mp3"));
    EXPECT_EQ(layout->view()->notice().text(), "Can’t play “gone.mp3”: file not found");
    EXPECT_EQ(window->windowTitle(), "gone");
    c->jukebox().openSong(dir.tone("a.wav"));
    EXPECT_TRUE(layout->view()->notice().text().isEmpty());
}

TEST_F(AppControllerTest, ARecentItemOrAPanelChoiceOpensItsOwnFileAndEmptiesTheQueue)
{
    const QString first = dir.tone("a.wav"), second = dir.tone("b.wav"), third = dir.tone("c.wav");
    c->player().open(first, gx::Player::Road::handOver);
    c->player().open(second, gx::Player::Road::handOver); // queued behind it
    c->openDialogFinished(0, third);                      // cancelled: the queue stays
    EXPECT_EQ(c->jukebox().queue(), QStringList {second});
    c->recentMenu->actions().at(0)->trigger();
    EXPECT_TRUE(c->jukebox().queue().isEmpty());
    EXPECT_EQ(c->jukebox().songPath(), first);

    c->player().open(second, gx::Player::Road::handOver);
    c->player().open(third, gx::Player::Road::handOver);
    c->openDialogFinished(1, third);
    EXPECT_TRUE(c->jukebox().queue().isEmpty());
    EXPECT_EQ(c->jukebox().songPath(), third);
    QAction* stale = c->recentMenu->actions().at(1); // no longer in the stored list
    store().setStringList({third}, keys::recentFiles);
    c->recentFileChosen(stale);
    EXPECT_EQ(c->jukebox().songPath(), third);
}

TEST_F(AppControllerTest, TheInstallItemGoesOnceTheScriptIsInPlaceAndStaysAwayAtTheNextStart)
{
    QDir().mkpath(QDir::homePath() + "/Library/iTunes");
    QTimer yes; // every alert answered with its default button: Yes, then OK
    QObject::connect(&yes, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->defaultButton()->click();
    });
    yes.start(20);
    EXPECT_TRUE(installOffered());
    c->installScript();
    EXPECT_FALSE(installOffered());
    start();
    EXPECT_FALSE(installOffered());
}
