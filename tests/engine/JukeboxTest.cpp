// The engine with a turntable model, its own settings store and a clock the
// test steps, driven by the model's gestures and observed where a listener
// would notice: the song, the record, the queue.
#include "engine/Jukebox.h"
#include "engine/EffectSounds.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/Sound.h"
#include "support/TestSupport.h"
#include "turntable/TurntableModel.h"

#include <QTimer>
#include <unistd.h>

using gx::test::waitUntil;
using namespace std::chrono_literals;
namespace keys = gx::keys;
namespace names = gx::names;

namespace {

class JukeboxTest : public ::testing::Test {
protected:
    gx::test::ScratchDir dir;
    gx::UserDefaults store {dir.filePath("settings.conf")};
    gx::TurntableModel model;
    std::chrono::steady_clock::time_point now {1h};
    std::unique_ptr<gx::Jukebox> jukebox;

    void SetUp() override
    {
        gx::Sound::initialize();
        for (const auto& [key, value] : {std::pair {keys::musicVolume, 0.8f}, {keys::effectsVolume, 0.5f},
                 {keys::skip, 0.0f}, {keys::noise, 0.0f}, {keys::distortion, 0.4f}})
            store.setFloat(value, key); // no skips: songs stay where the test puts them
        make(sounds());
    }
    void make(std::shared_ptr<gx::EffectSounds> effects)
    {
        jukebox.reset();
        jukebox = std::make_unique<gx::Jukebox>(
            model, std::move(effects), store, gx::NotificationCenter::defaultCenter(), [this] { return now; });
    }
    // Decoded once for every test; never destroyed, as the program's own.
    static std::shared_ptr<gx::EffectSounds> sounds()
    {
        static auto* loaded = new std::shared_ptr<gx::EffectSounds>(gx::EffectSounds::load());
        return *loaded;
    }
    gx::Sound& song() const { return *jukebox->song(); }
    long runningTimers() const { return std::ranges::count_if(jukebox->findChildren<QTimer*>(), &QTimer::isActive); }
    static auto liveThreads() { return QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(); }
};

} // namespace

TEST_F(JukeboxTest, AnOpenStartsSongRecordAndLoopsRapidOpensLeaveOneRunAndAStopEndsItKeepingThePlace)
{
    EXPECT_FALSE(model.isEnabled()); // asleep until the first song
    const QString a = dir.tone("a.wav", 3.0), b = dir.tone("b.wav", 3.0);
    jukebox->openSong(a); // told as the queue's test checks
    EXPECT_TRUE(model.isEnabled() && model.isPlaying() && model.switchValue());
    EXPECT_TRUE(song().isPlaying());
    EXPECT_EQ(song().engineVolume(), 204); // 0.8 of 255
    // The end-of-song check, once the jukebox loop has ticked.
    EXPECT_TRUE(waitUntil([&] { return runningTimers() == 1; }, 10000));
    EXPECT_LT(song().rate(), 1.0f); // from 0.9 the rate glides up and the arm follows the song
    const auto threadsPlaying = liveThreads();
    for (int i = 0; i < 60; ++i)
        jukebox->openSong(i % 2 ? a : b);
    EXPECT_TRUE(waitUntil([&] { return liveThreads() <= threadsPlaying; }, 10000));
    ASSERT_TRUE(waitUntil([&] { return song().rate() > 0.95f && model.armValue() > 0.0f; }, 10000));
    store.setFloat(1.0f, keys::musicVolume);
    gx::NotificationCenter::defaultCenter().postNotificationName(names::preferenceChanged, nullptr);
    EXPECT_EQ(song().engineVolume(), 255);

    jukebox->stop();
    jukebox->stop(); // twice is harmless
    EXPECT_FALSE(jukebox->isPlaying() || model.isPlaying() || song().isPlaying());
    EXPECT_GT(song().positionSeconds(), 0.0f);
    EXPECT_EQ(runningTimers(), 0);
    // The jukebox and hiss threads are woken, not left to finish a 4 s sleep.
    EXPECT_TRUE(waitUntil([&] { return liveThreads() <= threadsPlaying - 2; }, 3000));
}

TEST_F(JukeboxTest, TheArmLaysTheSongWhereItIsDroppedAndTheDialSetsTheRateOfThisAndTheNextStart)
{
    jukebox->openSong(dir.tone("a.wav", 10.0));
    model.liftArm(0.5f);
    EXPECT_FALSE(song().isPlaying());
    model.layArm();
    EXPECT_TRUE(song().isPlaying());
    EXPECT_NEAR(song().positionSeconds(), 5.0f, 0.3f);
    EXPECT_LT(song().rate(), 1.0f); // restarts slow and glides back up
    model.setArmPlace(1.0f);        // the very end: one second before it
    EXPECT_NEAR(song().positionSeconds(), 9.0f, 0.3f);

    jukebox->stop(); // stopped, a drop only moves where the next start begins
    model.setArmPlace(0.25f);
    EXPECT_FALSE(song().isPlaying());
    model.turnDial(1.2f);
    EXPECT_EQ(jukebox->defaultRate(), 1.2f);
    model.pressSwitch();
    EXPECT_TRUE(jukebox->isPlaying());
    EXPECT_NEAR(song().positionSeconds(), 2.5f, 0.5f);
    EXPECT_LT(song().rate(), 1.2f);
    EXPECT_TRUE(waitUntil([&] { return song().rate() == 1.2f; }, 10000));
}

TEST_F(JukeboxTest, SwitchedOffTheRecordRunsDownOnTheSpinClockThenEverythingStops)
{
    jukebox->openSong(dir.tone("a.wav", 3.0));
    model.pressSwitch();
    EXPECT_TRUE(jukebox->isPlaying()); // until the record comes to rest
    int ticks = 0;
    while (model.clockTick() && ticks < 1000)
        ++ticks;
    EXPECT_LT(ticks, 1000);
    EXPECT_FALSE(jukebox->isPlaying() || song().isPlaying());
    EXPECT_EQ(runningTimers(), 0);
}

TEST_F(JukeboxTest, RequestsWithinHalfASecondQueueAndEachSongThatEndsOrCannotPlayHandsOverToTheNext)
{
    // Unreadable by its mode, or where that does not bind (root), a kernel
    // file that no one may read.
    const QString locked = dir.tone("locked.wav");
    QFile::setPermissions(locked, {});
    const QString unreadable
        = ::access(locked.toLocal8Bit().constData(), R_OK) == 0 ? "/proc/sys/vm/drop_caches" : locked;
    const QString a = dir.tone("a.wav", 0.6), missing = dir.filePath("gone.mp3"), d = dir.tone("d.wav", 3.0),
                  text = gx::test::writeFile(dir.filePath("notes.wav"), "this is not audio\n");
    QStringList told;
    QObject::connect(jukebox.get(), &gx::Jukebox::songOpened,
        [&](const QString& path, const QString& notice) { told << QFileInfo(path).fileName() + ": " + notice; });
    EXPECT_TRUE(jukebox->openOrQueue(a));
    for (const QString& path : {missing, unreadable, text, d}) {
        now += 490ms; // each request counts from the one before
        EXPECT_FALSE(jukebox->openOrQueue(path));
    }
    EXPECT_EQ(jukebox->queue(), (QStringList {missing, unreadable, text, d}));
    // The ones that cannot play take their turns silently with a notice,
    // which the next open takes away.
    EXPECT_TRUE(waitUntil([&] { return jukebox->songPath() == d; }, 30000));
    const QString name = QFileInfo(unreadable).fileName();
    EXPECT_EQ(told,
        (QStringList {"a.wav: ", "gone.mp3: Can’t play “gone.mp3”: file not found",
            name + ": Can’t play “" + name + "”: permission denied",
            "notes.wav: Can’t play “notes.wav”: no sound track we can decode", "d.wav: "}));
    EXPECT_TRUE(jukebox->queue().isEmpty());
    EXPECT_TRUE(jukebox->isPlaying());

    // A request half a second after the last plays at once and drops the queue;
    // a listing's batch counts as a request.
    now += 500ms;
    jukebox->queueFiles({a});
    now += 499ms;
    EXPECT_FALSE(jukebox->openOrQueue(d));
    EXPECT_EQ(jukebox->queue(), (QStringList {a, d}));
    now += 500ms;
    EXPECT_TRUE(jukebox->openOrQueue(d));
    EXPECT_TRUE(jukebox->queue().isEmpty());
    // Next Song takes the first queued file, and nothing when none waits.
    jukebox->queueFiles({a});
    jukebox->playNext();
    jukebox->playNext();
    EXPECT_EQ(jukebox->songPath(), a);
    EXPECT_TRUE(jukebox->queue().isEmpty());
}

TEST_F(JukeboxTest, EffectSoundsMissingOrBusyNeitherStopTheEngineNorOutliveIt)
{
    setenv("GRAMOLUX_RESOURCES", dir.filePath("nothing-here").toUtf8().constData(), 1);
    make(gx::EffectSounds::load());
    unsetenv("GRAMOLUX_RESOURCES");
    jukebox->openSong(dir.tone("a.wav", 1.0));
    EXPECT_TRUE(jukebox->isPlaying());
    model.pressSwitch(); // clicks a switch sound that is not there

    make(sounds());
    store.setFloat(1.0f, keys::noise); // keep the crackles and skips busy
    store.setFloat(1.0f, keys::skip);
    jukebox->openSong(dir.tone("b.wav", 5.0));
    QThread::msleep(100);
    jukebox.reset();
}

TEST_F(JukeboxTest, WithLoudnessOnASongPlaysAtItsTaggedGainAndOffLeavesItAlone)
{
    GX_SKIP_WITHOUT_FFMPEG();
    const QString tagged = gx::test::encode(
        "-f lavfi -i sine=duration=2 -metadata REPLAYGAIN_TRACK_GAIN='-6.20 dB' -c:a flac", dir.filePath("rg.flac"));
    jukebox->openSong(tagged);
    EXPECT_FALSE(jukebox->loudnessGainDb()); // off by default
    const auto choose = [&](const QString& mode) {
        store.setString(mode, keys::loudness);
        gx::NotificationCenter::defaultCenter().postNotificationName(names::preferenceChanged, this);
    };
    choose("track");
    EXPECT_TRUE(waitUntil([&] { return jukebox->loudnessGainDb().has_value(); }, 20000));
    EXPECT_NEAR(jukebox->loudnessGainDb().value_or(0.0), -6.2, 0.01);
    choose("off");
    EXPECT_FALSE(jukebox->loudnessGainDb());
}
