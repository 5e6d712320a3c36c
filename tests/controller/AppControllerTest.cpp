#include "controller/AppController.h"
#include "controller/EffectSounds.h"
#include "controller/GramoluxWindowLayout.h"
#include "controller/PromptsStandIn.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/AudioEngine.h"
#include "sound/GXQTMusic.h"
#include "sound/Mixer.h"
#include "support/TestSupport.h"
#include "view/GXGramoluxView.h"

#include <QDir>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>

using gx::GramoluxWindowLayout;

using gx::test::waitUntil;
using gx::test::writeToneWav;
namespace keys = gx::keys;
namespace names = gx::names;

namespace {

class AppControllerTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<GramoluxWindowLayout> layout;
    AppController* c = nullptr;
    GXGramoluxView* view = nullptr;
    // The controller's effect sounds, shared with it to hear what it plays.
    std::shared_ptr<gx::EffectSounds> fx;

    void SetUp() override
    {
        auto& store = gx::UserDefaults::standardUserDefaults();
        store.setFloat(0.8f, keys::musicVolume);
        store.setFloat(0.6f, keys::effectsVolume);
        store.setFloat(0.0f, keys::skip); // keep songs where the test puts them
        store.setFloat(0.0f, keys::noise);
        store.setFloat(0.4f, keys::distortion);
        fx = gx::EffectSounds::load();
        AppController::provideEffectSounds(fx);
        layout = std::make_unique<GramoluxWindowLayout>();
        c = layout->appController();
        view = layout->view();
    }
    void TearDown() override { layout.reset(); }

    QString tone(const QString& name, double seconds) { return writeToneWav(dir.filePath(name), seconds); }
    void post(const std::string& name) { gx::NotificationCenter::defaultCenter().postNotificationName(name, view); }
    // The 1-second end-of-song check is scheduled.
    bool doneTimerRunning() const
    {
        for (const QTimer* timer : c->findChildren<QTimer*>())
            if (timer->isActive() && timer->interval() == 1000)
                return true;
        return false;
    }
};

int liveThreads() { return static_cast<int>(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size()); }

} // namespace

TEST_F(AppControllerTest, StartUpLoadsTheElevenSoundsAndMapsTheVolumes)
{
    ASSERT_EQ(fx->noises.size(), 7u);
    std::vector<GXQTMusic*> effects{fx->hiss.get(), fx->skip.get(), fx->stop.get(), fx->switchSound.get()};
    for (const auto& n : fx->noises)
        effects.push_back(n.get());
    for (GXQTMusic* s : effects) {
        ASSERT_NE(s, nullptr);
        EXPECT_TRUE(s->hasMovie());
        EXPECT_EQ(s->engineVolume(), 153); // 0.6 * 255
    }
    EXPECT_FALSE(c->isPlaying());
    EXPECT_EQ(c->defaultRate(), 1.0f);
    EXPECT_FALSE(doneTimerRunning());
    EXPECT_FALSE(view->enable());

    // Before any song: music volume reaches nothing, effects volume all eleven.
    auto& store = gx::UserDefaults::standardUserDefaults();
    store.setFloat(0.2f, keys::musicVolume);
    store.setFloat(0.5f, keys::effectsVolume);
    post(names::preferenceChanged);
    for (GXQTMusic* s : effects)
        EXPECT_EQ(s->engineVolume(), 127);

    c->openMusic(tone("01 Tone.wav", 2.0));
    ASSERT_TRUE(c->theMusic());
    EXPECT_EQ(c->theMusic()->engineVolume(), 51); // 0.2 * 255
    store.setFloat(1.0f, keys::musicVolume);
    post(names::preferenceChanged);
    EXPECT_EQ(c->theMusic()->engineVolume(), 255);
    EXPECT_EQ(fx->hiss->engineVolume(), 127);
}

TEST_F(AppControllerTest, MissingSoundResourcesDoNotStopStartUp)
{
    layout.reset();
    setenv("GRAMOLUX_RESOURCES", dir.filePath("nothing-here").toUtf8().constData(), 1);
    fx = gx::EffectSounds::load();
    AppController::provideEffectSounds(fx);
    layout = std::make_unique<GramoluxWindowLayout>();
    unsetenv("GRAMOLUX_RESOURCES");
    c = layout->appController();
    view = layout->view();
    EXPECT_FALSE(fx->hiss->hasMovie());
    c->openMusic(tone("a.wav", 1.0));
    EXPECT_TRUE(c->isPlaying());
    post(names::playBtnClicked); // plays a sound that is not there
}

TEST_F(AppControllerTest, OpenStartsTheEngineAndStopLeavesNothingRunning)
{
    const int idleThreads = liveThreads();
    const QString path = tone("07 Walking Tone.wav", 3.0);
    c->openMusic(path);
    EXPECT_EQ(layout->mainWindow()->windowTitle(), "Walking Tone");
    EXPECT_TRUE(view->enable());
    EXPECT_TRUE(view->isPlaying());
    EXPECT_TRUE(view->switchValue());
    EXPECT_TRUE(c->isPlaying());
    EXPECT_TRUE(doneTimerRunning());
    EXPECT_TRUE(c->theMusic()->isPlaying());
    EXPECT_TRUE(fx->hiss->isPlaying());

    // The arm follows the song and the rate glides up from 0.9.
    ASSERT_TRUE(waitUntil([&] { return view->armValue() > 0.0f; }, 10000));
    ASSERT_TRUE(waitUntil([&] { return view->diskSpeed() > 0.95f; }, 10000));

    c->stopJukeBox();
    c->stopJukeBox(); // twice is harmless
    EXPECT_FALSE(c->isPlaying());
    EXPECT_FALSE(doneTimerRunning());
    EXPECT_FALSE(c->theMusic()->isPlaying());
    EXPECT_FALSE(fx->hiss->isPlaying());
    EXPECT_EQ(fx->hiss->movieCrntSecond(), 0.0f);
    EXPECT_GT(c->theMusic()->movieCrntSecond(), 0.0f); // a stop keeps the place
    EXPECT_FALSE(view->isPlaying());
    // The jukebox, hiss and spin threads end, the hiss woken rather than
    // left to its 4 s sleep; the song's decoder stays with the song.
    EXPECT_TRUE(waitUntil([&] { return liveThreads() <= idleThreads + 1; }, 3000));
}

TEST_F(AppControllerTest, StartResumesWhereTheArmRests)
{
    c->openMusic(tone("a.wav", 4.0));
    c->stopJukeBox();
    view->setArmValue(0.5f);
    view->setSwitchValue(1.0f);
    post(names::playBtnClicked);
    EXPECT_TRUE(c->isPlaying());
    EXPECT_NEAR(c->theMusic()->movieCrntSecond(), 2.0f, 0.2f);
}

TEST_F(AppControllerTest, SwitchHandlerStartsOnlyWhenOnAndStopped)
{
    c->openMusic(tone("a.wav", 3.0));
    const float before = c->theMusic()->movieCrntSecond();
    view->setSwitchValue(1.0f);
    post(names::playBtnClicked); // already running: nothing restarts
    EXPECT_TRUE(c->isPlaying());
    EXPECT_GE(c->theMusic()->movieCrntSecond(), before);
    EXPECT_TRUE(fx->switchSound->isPlaying());

    view->setSwitchValue(0.0f);
    post(names::playBtnClicked); // off: the record runs down by itself
    EXPECT_TRUE(c->isPlaying());
    // The disc comes to rest within a turn, then the engine stops (on the
    // spin thread: the flag drops just before the song pauses) and the stop
    // sound plays.
    ASSERT_TRUE(waitUntil([&] { return !c->isPlaying(); }, 20000));
    EXPECT_TRUE(waitUntil([&] { return !c->theMusic()->isPlaying(); }, 10000));
    EXPECT_TRUE(waitUntil([&] { return !doneTimerRunning(); }, 10000));
    EXPECT_TRUE(waitUntil([&] { return fx->stop->isPlaying() || fx->stop->movieCrntSecond() > 0.0f; }, 10000));
}

TEST_F(AppControllerTest, ArmLiftPausesAndDropSeeksToTheNeedle)
{
    c->openMusic(tone("a.wav", 10.0));
    post(names::armStartDragg);
    EXPECT_FALSE(c->theMusic()->isPlaying());
    EXPECT_FALSE(fx->hiss->isPlaying());

    view->setArmValue(0.5f);
    post(names::armEndDragg);
    EXPECT_TRUE(c->theMusic()->isPlaying());
    EXPECT_TRUE(fx->hiss->isPlaying());
    EXPECT_NEAR(c->theMusic()->movieCrntSecond(), 5.0f, 0.1f);
    EXPECT_LT(view->diskSpeed(), 1.0f); // restarts slow and glides back up

    view->setArmValue(1.0f); // the very end: one second before it
    post(names::armEndDragg);
    EXPECT_NEAR(c->theMusic()->movieCrntSecond(), 9.0f, 0.1f);

    c->stopJukeBox(); // while stopped, a drop only moves where the next start begins
    view->setArmValue(0.25f);
    post(names::armEndDragg);
    EXPECT_FALSE(c->theMusic()->isPlaying());
}

TEST_F(AppControllerTest, DialSetsTheRatesAndHoldsForTheNextStart)
{
    // No wow, so that the rate settles on the dial's.
    gx::UserDefaults::standardUserDefaults().setFloat(0.0f, keys::distortion);
    c->openMusic(tone("a.wav", 10.0));
    c->stopJukeBox();
    view->setDialValue(1.2f);
    post(names::dialDragged);
    EXPECT_EQ(c->defaultRate(), 1.2f);
    view->setSwitchValue(1.0f);
    post(names::playBtnClicked);
    // From 0.1 below the dial up to it, and no further.
    EXPECT_LT(c->theMusic()->movieRate(), 1.2f);
    ASSERT_TRUE(waitUntil([&] { return view->diskSpeed() > 1.19f; }, 10000));
    EXPECT_LE(view->diskSpeed(), 1.2f);
}

TEST_F(AppControllerTest, BurstAtLaunchPlaysTheFirstAndQueuesTheRest)
{
    const QString a = tone("a.wav", 0.6), b = tone("b.wav", 0.6), missing = dir.filePath("gone.wav"),
                  d = tone("d.wav", 3.0);
    EXPECT_TRUE(c->applicationOpenFile(a));
    EXPECT_TRUE(c->applicationOpenFile(b));
    EXPECT_TRUE(c->applicationOpenFile(missing));
    EXPECT_TRUE(c->applicationOpenFile(d));
    EXPECT_TRUE(c->isPlaying());
    EXPECT_EQ(layout->mainWindow()->windowTitle(), "a");
    EXPECT_EQ(c->reserveBox(), (QStringList{b, missing, d}));

    // Each song that ends hands over to the next; a file that fails to open
    // is passed over.
    EXPECT_TRUE(waitUntil([&] { return layout->mainWindow()->windowTitle() == "b"; }, 20000));
    EXPECT_TRUE(waitUntil([&] { return layout->mainWindow()->windowTitle() == "d"; }, 6000));
    EXPECT_TRUE(c->reserveBox().isEmpty());
    EXPECT_TRUE(c->isPlaying());
}

TEST_F(AppControllerTest, LoneRequestDropsTheQueueAndPlaysAtOnce)
{
    const QString a = tone("a.wav", 5.0), b = tone("b.wav", 1.0), e = tone("e.wav", 1.0);
    c->applicationOpenFile(a);
    EXPECT_FALSE(c->checkPlayOrReserve(b));
    EXPECT_EQ(c->reserveBox().size(), 1);
    QThread::msleep(550);
    EXPECT_TRUE(c->checkPlayOrReserve(e));
    EXPECT_TRUE(c->reserveBox().isEmpty());
    EXPECT_EQ(layout->mainWindow()->windowTitle(), "e");

    // A dropped file plays at once and leaves the queue as it was.
    QThread::msleep(10);
    c->checkPlayOrReserve(b); // within 0.5 s: queued
    c->openMusic(a);
    EXPECT_EQ(c->reserveBox(), QStringList{b});
}

TEST_F(AppControllerTest, UnplayableSongKeepsTheArmAtZero)
{
    QFile text(dir.filePath("notes.wav"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is not audio\n");
    text.close();
    c->openMusic(text.fileName());
    EXPECT_TRUE(c->isPlaying()); // the engine runs all the same
    EXPECT_TRUE(view->enable());
    QThread::msleep(200);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->armValue(), 0.0f);
    EXPECT_EQ(c->theMusic()->movieTotalSeconds(), 0.0f);
    EXPECT_EQ(view->notice(), "Can’t play “notes.wav”: no sound track we can decode");
}

TEST_F(AppControllerTest, AFileThatDoesNotPlayIsToldAndTheQueueMovesPastIt)
{
    auto standIn = std::make_unique<gx::test::PromptsStandIn>();
    const int& beeps = standIn->beeps;
    c->setUserPrompts(std::move(standIn));
    const QString good = tone("02 Good Tone.wav", 1.0);
    // Handed over together: the missing file opens, the good one waits.
    c->checkPlayOrReserve(dir.filePath("gone.mp3"));
    c->checkPlayOrReserve(good);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(view->notice(), "Can’t play “gone.mp3”: file not found");
    EXPECT_EQ(c->failureNotice(), view->notice());
    EXPECT_TRUE(c->isPlaying());
    // Its length is 0, so it has ended at once; the next open takes the
    // notice away.
    ASSERT_TRUE(waitUntil([&] { return c->currentMusicPath() == good; }, 20000));
    EXPECT_TRUE(view->notice().isEmpty());
    EXPECT_TRUE(c->failureNotice().isEmpty());
    EXPECT_EQ(beeps, 1);
}

TEST_F(AppControllerTest, EveryJumpOfThePositionIsCounted)
{
    const std::uint64_t before = c->positionJumps();
    c->openMusic(tone("Jumpy.wav", 4.0));
    EXPECT_EQ(c->positionJumps(), before + 1); // a new song
    c->layArmDown(0.5f);
    EXPECT_EQ(c->positionJumps(), before + 2); // the arm laid down
    EXPECT_NEAR(c->theMusic()->movieCrntSecond(), 2.0f, 0.1f);
    // The needle falls back, on the jukebox thread.
    gx::UserDefaults::standardUserDefaults().setFloat(1.0f, keys::skip);
    EXPECT_TRUE(waitUntil([&] { return c->positionJumps() > before + 2; }, 10000));
}

TEST_F(AppControllerTest, RapidOpensWhilePlayingLeaveOneRunOfThreads)
{
    const QString a = tone("a.wav", 5.0), b = tone("b.wav", 5.0);
    c->openMusic(a);
    const int oneRun = liveThreads();
    for (int i = 0; i < 60; ++i)
        c->openMusic(i % 2 ? a : b);
    // The old runs' threads have all left, or are on their way out.
    EXPECT_TRUE(waitUntil([&] { return liveThreads() <= oneRun; }, 10000));
    EXPECT_TRUE(c->isPlaying());
}

TEST_F(AppControllerTest, OpeningAsTheRecordComesToRestNeverStrandsTheEngine)
{
    // Both cores kept busy, as on a loaded machine, where the spin thread's
    // notice can come late.
    std::atomic<bool> busy{true};
    std::vector<std::thread> burners;
    for (int i = 0; i < 2; ++i)
        burners.emplace_back([&] {
            volatile unsigned sink = 0;
            while (busy.load(std::memory_order_relaxed))
                sink = sink + 1;
        });
    const QString a = tone("a.wav", 30.0), b = tone("b.wav", 30.0);
    for (int round = 0; round < 16; ++round) {
        c->openMusic(round % 2 ? a : b);
        // The record comes to rest: its loop stops itself, then tells the
        // controller on its own thread, here a little late, while a file is
        // being opened.
        view->stop();
        std::thread spin([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(round * 4));
            post(names::recordDiskStoped);
        });
        c->openMusic(round % 2 ? b : a);
        spin.join();
        QCoreApplication::processEvents();
        // The open wins: its song plays and the record turns.
        ASSERT_TRUE(c->isPlaying()) << "round " << round;
        EXPECT_TRUE(c->theMusic()->isPlaying()) << "round " << round;
        EXPECT_TRUE(view->isPlaying()) << "round " << round;
        EXPECT_TRUE(view->switchValue()) << "round " << round;
        EXPECT_TRUE(doneTimerRunning()) << "round " << round;
    }
    busy = false;
    for (auto& t : burners)
        t.join();
}

TEST_F(AppControllerTest, TearingDownWhilePlayingTouchesNothingDestroyed)
{
    c->openMusic(tone("a.wav", 5.0));
    gx::UserDefaults::standardUserDefaults().setFloat(1.0f, keys::noise); // keep the crackles busy
    QThread::msleep(100);
    std::thread spin([&] {
        for (int i = 0; i < 20; ++i)
            post(names::recordDiskStoped);
    });
    layout.reset();
    spin.join();
}

TEST(AppControllerStartUp, EffectSoundsDecodedAheadAreTakenByTheController)
{
    // As the program starts: the sounds decode while the window is built.
    const auto& mixer = gx::AudioEngine::shared().mixer();
    const std::size_t before = mixer->voiceCount();
    AppController::preloadEffectSounds();
    GramoluxWindowLayout layout;
    // All eleven decoded and held by the controller.
    EXPECT_EQ(mixer->voiceCount(), before + 11);
}
