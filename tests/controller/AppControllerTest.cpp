// The controller with its window, view and engine, driven as the user and the
// desktop drive it, and observed where they would see it: the turntable, the
// song, the window title, the menus, the stored settings and the files.
#include "controller/AppController.h"
#include "controller/GramoluxWindowLayout.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/Resources.h"
#include "platform/StringTable.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/GXQTMusic.h"
#include "support/TestSupport.h"
#include "view/GXGramoluxView.h"
#include "view/TurntableModel.h"
#include "view/TurntableNotice.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using gx::test::waitUntil;
namespace keys = gx::keys;
namespace names = gx::names;

namespace {

int liveThreads()
{
    return static_cast<int>(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

class AppControllerTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<gx::GramoluxWindowLayout> layout;
    AppController* c = nullptr;
    gx::TurntableModel* view = nullptr;

    void SetUp() override
    {
        store().setFloat(0.8f, keys::musicVolume);
        store().setFloat(0.0f, keys::skip); // keep songs where the test puts them
        store().setFloat(0.0f, keys::noise);
        store().setFloat(0.4f, keys::distortion);
        store().setStringList({}, keys::recentFiles);
        QDir(QDir::homePath() + "/Library").removeRecursively();
        start();
    }
    void TearDown() override { layout.reset(); }
    void start()
    {
        layout.reset();
        layout = std::make_unique<gx::GramoluxWindowLayout>();
        c = layout->appController();
        view = &layout->turntable();
    }
    static gx::UserDefaults& store() { return gx::UserDefaults::standardUserDefaults(); }
    QString tone(const QString& name, double seconds = 0.3)
    {
        return gx::test::writeToneWav(dir.filePath(name), seconds);
    }
    void post(const std::string& name) { gx::NotificationCenter::defaultCenter().postNotificationName(name, view); }
    QString title() const { return layout->mainWindow()->windowTitle(); }
    float songRate() const { return c->theMusic()->movieRate(); }
    // The controller's timers that are running (the music-done check is one).
    long runningTimers() const
    {
        const auto timers = c->findChildren<QTimer*>();
        return std::count_if(timers.begin(), timers.end(), [](QTimer* t) { return t->isActive(); });
    }
    QStringList recentTitles() const
    {
        QStringList out;
        for (QAction* a : c->recentFileMenu->actions())
            out << (a->isSeparator() ? "---" : a->text() + (a->isEnabled() ? "" : " (off)"));
        return out;
    }
    bool installOffered() const { return c->gramoluxMenu->actions().contains(c->installAppleScriptMenuItem); }
};

// Answers each alert while it lives, noting its text and buttons, with the
// button named `answer` or else the default one.
struct AlertAnswerer {
    AlertAnswerer()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->defaultButton())
                return;
            QStringList texts;
            QAbstractButton* chosen = box->defaultButton();
            for (QAbstractButton* b : box->buttons()) {
                texts << b->text();
                if (b->text() == answer)
                    chosen = b;
            }
            texts.sort();
            alerts << (QStringList {box->windowTitle()} + texts);
            chosen->click();
        });
        timer.start(20);
    }
    QString answer;
    QTimer timer;
    QList<QStringList> alerts;
};

} // namespace

TEST_F(AppControllerTest, OpenStartsEverythingRapidOpensLeaveOneRunOfThreadsAndStopLeavesNothingRunning)
{
    const long timersBefore = runningTimers();
    EXPECT_FALSE(view->enable()); // asleep until the first song
    const QString song = tone("07 Walking Tone.wav", 3.0), other = tone("b.wav", 3.0);
    c->openMusic(song);
    EXPECT_EQ(title(), "Walking Tone");
    EXPECT_TRUE(view->enable());
    EXPECT_TRUE(view->isPlaying());
    EXPECT_TRUE(view->switchValue());
    EXPECT_TRUE(c->theMusic()->isPlaying());
    EXPECT_EQ(c->theMusic()->engineVolume(), 204); // 0.8 of 255
    EXPECT_GT(runningTimers(), timersBefore);
    EXPECT_LT(songRate(), 1.0f); // from 0.9 the rate glides up and the arm follows the song
    const int threadsPlaying = liveThreads();
    for (int i = 0; i < 60; ++i)
        c->openMusic(i % 2 ? song : other);
    EXPECT_TRUE(waitUntil([&] { return liveThreads() <= threadsPlaying; }, 10000));
    ASSERT_TRUE(waitUntil([&] { return songRate() > 0.95f && view->armValue() > 0.0f; }, 10000));
    store().setFloat(1.0f, keys::musicVolume);
    post(names::preferenceChanged);
    EXPECT_EQ(c->theMusic()->engineVolume(), 255);

    c->stopJukeBox();
    c->stopJukeBox(); // twice is harmless
    EXPECT_FALSE(c->isPlaying());
    EXPECT_FALSE(view->isPlaying());
    EXPECT_FALSE(c->theMusic()->isPlaying());
    EXPECT_GT(c->theMusic()->movieCrntSecond(), 0.0f); // a stop keeps the place
    EXPECT_EQ(runningTimers(), timersBefore);
    // The jukebox and hiss threads are woken, not left to finish a 4 s sleep.
    EXPECT_TRUE(waitUntil([&] { return liveThreads() <= threadsPlaying - 2; }, 3000));
}

TEST_F(AppControllerTest, TheArmLaysTheSongWhereItIsDroppedAndTheDialSetsTheRateOfThisAndTheNextStart)
{
    c->openMusic(tone("a.wav", 10.0));
    post(names::armStartDragg);
    EXPECT_FALSE(c->theMusic()->isPlaying());
    view->setArmValue(0.5f);
    post(names::armEndDragg);
    EXPECT_TRUE(c->theMusic()->isPlaying());
    EXPECT_NEAR(c->theMusic()->movieCrntSecond(), 5.0f, 0.1f);
    EXPECT_LT(songRate(), 1.0f); // restarts slow and glides back up
    view->setArmValue(1.0f);     // the very end: one second before it
    post(names::armEndDragg);
    EXPECT_NEAR(c->theMusic()->movieCrntSecond(), 9.0f, 0.1f);

    c->stopJukeBox(); // stopped, a drop only moves where the next start begins
    view->setArmValue(0.25f);
    post(names::armEndDragg);
    EXPECT_FALSE(c->theMusic()->isPlaying());
    view->setDialValue(1.2f);
    post(names::dialDragged);
    EXPECT_EQ(c->defaultRate(), 1.2f);
    view->setSwitchValue(1.0f);
    post(names::playBtnClicked);
    EXPECT_TRUE(c->isPlaying());
    EXPECT_NEAR(c->theMusic()->movieCrntSecond(), 2.5f, 0.2f);
    EXPECT_LT(songRate(), 1.2f);
    EXPECT_TRUE(waitUntil([&] { return songRate() == 1.2f; }, 10000));
}

TEST_F(AppControllerTest, SwitchedOffTheRecordRunsDownThenEverythingStops)
{
    c->openMusic(tone("a.wav", 3.0));
    const long timersPlaying = runningTimers();
    view->setSwitchValue(1.0f);
    post(names::playBtnClicked); // already running: nothing restarts
    EXPECT_TRUE(c->isPlaying());
    view->setSwitchValue(0.0f);
    post(names::playBtnClicked);
    EXPECT_TRUE(c->isPlaying()); // until the record comes to rest on the spin clock
    ASSERT_TRUE(waitUntil([&] { return !c->isPlaying(); }, 20000));
    EXPECT_TRUE(waitUntil([&] { return !c->theMusic()->isPlaying() && runningTimers() < timersPlaying; }, 10000));
}

TEST_F(AppControllerTest, FilesHandedOverTogetherQueueAndOneThatDoesNotPlayIsToldAndPassed)
{
    const QString a = tone("a.wav", 0.6), missing = dir.filePath("gone.mp3"), d = tone("02 Good Tone.wav", 3.0);
    for (const QString& path : {a, missing, d})
        EXPECT_TRUE(c->applicationOpenFile(path));
    EXPECT_EQ(title(), "a");
    EXPECT_EQ(c->reserveBox(), (QStringList {missing, d}));
    // Each song that ends hands over to the next; the missing one takes its
    // turn silently with a notice, which the next open takes away.
    EXPECT_TRUE(
        waitUntil([&] { return layout->view()->notice().text() == "Can’t play “gone.mp3”: file not found"; }, 20000));
    EXPECT_TRUE(waitUntil([&] { return title() == "Good Tone"; }, 20000));
    EXPECT_TRUE(layout->view()->notice().text().isEmpty());
    EXPECT_TRUE(c->reserveBox().isEmpty());
    EXPECT_TRUE(c->isPlaying());

    // A request half a second after the last plays at once and drops the queue.
    EXPECT_TRUE(c->checkPlayOrReserve(a));
    EXPECT_FALSE(c->checkPlayOrReserve(d));
    EXPECT_EQ(c->reserveBox(), QStringList {d});
    QThread::msleep(550);
    EXPECT_TRUE(c->checkPlayOrReserve(d));
    EXPECT_TRUE(c->reserveBox().isEmpty());
}

TEST_F(AppControllerTest, FilesThatDoNotPlayAreToldWhyAndPlaySilentlyWithTheArmAtRest)
{
    QFile text(dir.filePath("notes.wav"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is not audio\n");
    text.close();
    // Unreadable by its mode, or where that does not bind (root), a kernel
    // file that no one may read.
    const QString locked = tone("locked.wav");
    QFile::setPermissions(locked, {});
    const QString unreadable
        = ::access(locked.toLocal8Bit().constData(), R_OK) == 0 ? "/proc/sys/vm/drop_caches" : locked;
    for (const auto& [path, reason] :
        {std::pair {text.fileName(), "no sound track we can decode"}, {unreadable, "permission denied"}}) {
        c->openMusic(path);
        EXPECT_TRUE(c->isPlaying()); // the engine runs all the same
        EXPECT_EQ(layout->view()->notice().text(), "Can’t play “" + QFileInfo(path).fileName() + "”: " + reason);
        QThread::msleep(200);
        QCoreApplication::processEvents();
        EXPECT_EQ(view->armValue(), 0.0f);
    }
}

TEST_F(AppControllerTest, MissingSoundResourcesDoNotStopStartUp)
{
    setenv("GRAMOLUX_RESOURCES", dir.filePath("nothing-here").toUtf8().constData(), 1);
    start();
    unsetenv("GRAMOLUX_RESOURCES");
    c->openMusic(tone("a.wav", 1.0));
    EXPECT_TRUE(c->isPlaying());
    post(names::playBtnClicked); // plays a switch sound that is not there
}

TEST_F(AppControllerTest, TearingDownWhilePlayingTouchesNothingDestroyed)
{
    c->openMusic(tone("a.wav", 5.0));
    store().setFloat(1.0f, keys::noise); // keep the crackles busy
    QThread::msleep(100);
    layout.reset();
}

TEST_F(AppControllerTest, RecentFilesKeepTwentyNewestFirstWithoutDuplicatesAcrossRestarts)
{
    EXPECT_EQ(recentTitles(), QStringList {"Clear Menu (off)"});
    QStringList paths;
    for (int i = 0; i < 21; ++i)
        paths << tone(QString("%1 Song %1.wav").arg(i, 2, 10, QChar('0')));
    for (const QString& p : paths)
        c->addFileToRecentFileList(p);
    c->addFileToRecentFileList(paths[10]); // moves to the top
    QStringList expected = paths.mid(1);
    std::reverse(expected.begin(), expected.end());
    expected.removeAll(paths[10]);
    expected.prepend(paths[10]);
    EXPECT_EQ(store().stringListForKey(keys::recentFiles), expected);
    EXPECT_EQ(recentTitles().first(), "Song 10");
    EXPECT_EQ(recentTitles().mid(20), (QStringList {"---", "Clear Menu"}));
    store().reload();
    start();
    EXPECT_EQ(recentTitles().size(), 22);
}

TEST_F(AppControllerTest, RecentMenuDropsMissingFilesAndAClearedListStaysEmptyForTheNextStart)
{
    const QString a = tone("a.wav"), folder = dir.filePath("album");
    QDir().mkpath(folder);
    store().setStringList({a, dir.filePath("gone.wav"), folder}, keys::recentFiles);
    c->resetRecentFileMenu();
    EXPECT_EQ(store().stringListForKey(keys::recentFiles), (QStringList {a, folder}));
    EXPECT_EQ(recentTitles(), (QStringList {"a", "album", "---", "Clear Menu"}));
    c->clearRecentMenu();
    EXPECT_EQ(recentTitles(), QStringList {"Clear Menu (off)"});
    store().synchronize();
    bool ok = false;
    EXPECT_TRUE(gx::test::readListInAnotherProcess(store().fileName(), keys::recentFiles, &ok).isEmpty());
    EXPECT_TRUE(ok); // an empty list, not a missing key

    store().setFloat(3.0f, keys::recentFiles); // not a list: left alone until a file opens
    start();
    EXPECT_EQ(store().objectForKey(keys::recentFiles).toDouble(), 3.0);
    c->openMusic(a);
    EXPECT_EQ(store().stringListForKey(keys::recentFiles), QStringList {a});
}

TEST_F(AppControllerTest, ARecentItemOrAPanelChoiceOpensItsOwnFileAndEmptiesTheQueue)
{
    QDir().mkpath(dir.filePath("A"));
    QDir().mkpath(dir.filePath("B"));
    const QString first = tone("A/01 Song.wav"), second = tone("B/01 Song.wav"), third = tone("c.wav");
    c->applicationOpenFile(first);
    c->applicationOpenFile(second); // queued behind it
    c->openPanelDidEnd(0, third);   // cancelled: the queue stays
    EXPECT_EQ(c->reserveBox(), QStringList {second});
    c->addFileToRecentFileList(second);
    EXPECT_EQ(recentTitles().mid(0, 2), (QStringList {"Song", "Song"}));
    c->recentFileMenu->actions().at(1)->trigger(); // A, under the same title
    EXPECT_TRUE(c->reserveBox().isEmpty());
    EXPECT_EQ(c->currentMusicPath(), first);

    c->applicationOpenFile(second);
    c->applicationOpenFile(third);
    c->openPanelDidEnd(1, third);
    EXPECT_TRUE(c->reserveBox().isEmpty());
    EXPECT_EQ(c->currentMusicPath(), third);
    QAction* stale = c->recentFileMenu->actions().at(2); // no longer in the stored list
    store().setStringList({third}, keys::recentFiles);
    c->recentFileMenuSelected(stale);
    EXPECT_EQ(c->currentMusicPath(), third);
}

TEST_F(AppControllerTest, TitlesWithMenuAndWindowMarksShowAsTheyAre)
{
    QMainWindow* window = layout->mainWindow();
    window->winId(); // the native window holds the title as the desktop gets it
    for (const auto& [name, shown] : {std::pair {"Rock & Roll.wav", "Rock & Roll"}, {"07 Song [*].wav", "Song [*]"}}) {
        c->openMusic(tone(name));
        EXPECT_EQ(c->recentFileMenu->actions().first()->iconText(), shown);
        EXPECT_TRUE(QKeySequence::mnemonic(c->recentFileMenu->actions().first()->text()).isEmpty());
        EXPECT_EQ(window->windowHandle()->title(), shown);
    }
}

TEST_F(AppControllerTest, InstallerAsksInWordsFromTheStringTableAndCreatesOnlyTheScriptsFolder)
{
    const QString itunes = QDir::homePath() + "/Library/iTunes";
    AlertAnswerer alerts;
    c->installAppleScript(); // yes, but no iTunes folder: a beep, and nothing created
    EXPECT_FALSE(QFileInfo::exists(QDir::homePath() + "/Library"));
    QDir().mkpath(itunes);
    alerts.answer = "No";
    c->installAppleScript();
    EXPECT_TRUE(QDir(itunes).isEmpty());
    EXPECT_TRUE(installOffered());
    EXPECT_EQ(alerts.alerts.size(), 2);

    alerts.answer.clear();
    alerts.alerts.clear();
    QTemporaryDir resources;
    ASSERT_TRUE(QFile::copy(QString::fromStdString(gx::resourcePath()) + "/script_for_iTunes.scpt",
        resources.filePath("script_for_iTunes.scpt")));
    QFile table(resources.filePath("Localizable.strings"));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("\"Yes\" = \"Ja\";\n\"No\" = \"Nein\";\n\"OK\" = \"Gut\";\n"
                "\"Installation was successful.\" = \"Installiert.\";\n");
    table.close();
    setenv("GRAMOLUX_RESOURCES", resources.path().toUtf8().constData(), 1);
    gx::StringTable::reload();
    c->installAppleScript();
    unsetenv("GRAMOLUX_RESOURCES");
    gx::StringTable::reload();
    EXPECT_EQ(alerts.alerts,
        (QList<QStringList> {{"Do you want to install the script file?", "Ja", "Nein"}, {"Installiert.", "Gut"}}));
    QFile installed(itunes + "/Scripts/Play with Gramolux.scpt");
    ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(installed.readAll().contains("Gramolux"));
    EXPECT_EQ(QDir(itunes).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList {"Scripts"});
    EXPECT_FALSE(installOffered());
    start();
    EXPECT_FALSE(installOffered()); // already installed at the next start
}
