// The player as desktop clients we did not write see it: playerctl and gdbus
// on a private session bus of the test's own.
#include "mpris/MprisService.h"
#include "settings/PreferenceController.h"
#include "settings/SettingsKeys.h"
#include "sound/Sound.h"
#include "support/Player.h"
#include "turntable/TurntableModel.h"

#include <QMainWindow>
#include <QProcess>
#include <QSlider>
#include <QStandardPaths>
#include <QUrl>

using gx::MprisService;

using gx::test::shellQuoted;
using gx::test::waitUntil;
namespace keys = gx::keys;

namespace {

// A program that runs beside the test until the object goes; its standard
// output so far.
class Background {
public:
    explicit Background(const QString& command) { process_.start("sh", {"-c", "exec " + command}); }
    ~Background()
    {
        process_.kill();
        process_.waitForFinished();
    }
    QString text() { return QString::fromUtf8(output_ += process_.readAllStandardOutput()); }
    int count(const QString& what) { return static_cast<int>(text().count(what)); }

private:
    QProcess process_;
    QByteArray output_;
};

// Every signal the player sends, as gdbus monitor prints them.
struct Monitor : Background {
    Monitor()
        : Background("gdbus monitor --session --dest " + MprisService::serviceName)
    {
        // It names the owner after its subscription is in place.
        waitUntil([&] { return text().contains("is owned by"); }, 10000);
    }
};

// Runs a shell command while the event loop goes on serving the bus (the
// client's calls come back to this very process); answers its trimmed output.
QString run(const QString& command)
{
    return gx::test::runProgram("sh", {"-c", command}, {.mergeOutput = true, .timeoutMs = 30000}).out.trimmed();
}

QString gdbus(const QString& arguments)
{
    return run("gdbus call --session --dest " + MprisService::serviceName + " --object-path " + MprisService::objectPath
        + " " + arguments);
}

QString property(const QString& name, const QString& interface = "org.mpris.MediaPlayer2.Player")
{
    return gdbus("--method org.freedesktop.DBus.Properties.Get " + interface + " " + name);
}

class Mpris : public ::testing::Test, protected gx::test::Player {
protected:
    static void SetUpTestSuite()
    {
        for (const char* tool : {"dbus-daemon", "playerctl", "gdbus"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                return; // no bus: every test skips
        // A private session bus of our own, so the test never meets the
        // user's. Qt connects to the session bus once per process: one bus
        // for all.
        bus = new Background("dbus-daemon --session --nofork --print-address=1 --address=unix:tmpdir=/tmp");
        waitUntil([] { return bus->text().contains('\n'); }, 10000);
        cache = new QTemporaryDir;
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus->text().section('\n', 0, 0).toUtf8());
        qputenv("XDG_CACHE_HOME", cache->path().toUtf8());
    }
    static void TearDownTestSuite()
    {
        delete bus;
        delete cache;
    }

    void SetUp() override
    {
        if (!bus)
            GTEST_SKIP() << "needs dbus-daemon, playerctl and gdbus";
        // Keep songs where the test puts them.
        for (const auto& [key, value] :
            {std::pair {keys::musicVolume, 0.8f}, {keys::skip, 0.0f}, {keys::noise, 0.0f}, {keys::distortion, 0.0f}})
            store().setFloat(value, key);
        start();
        view = &layout->turntable();
        mpris = std::make_unique<MprisService>(c->player(), *layout->handOver(), *layout->mainWindow());
        ASSERT_TRUE(mpris->registerOnSessionBus());
    }

    static QString playerctl(const QString& arguments) { return run("playerctl --player=gramolux " + arguments); }
    static double positionSeconds() { return playerctl("position").toDouble(); }
    // A file's address as the bus gives it.
    static QString url(const QString& path)
    {
        return "file://" + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
    }

    static inline Background* bus = nullptr;
    static inline QTemporaryDir* cache = nullptr;
    gx::test::ScratchDir dir;
    std::unique_ptr<MprisService> mpris; // goes before the layout it serves
    gx::TurntableModel* view = nullptr;
};

} // namespace

// Quit is RealPlayer's.
TEST_F(Mpris, RootSaysWhoItIsWithTheDesktopEntrysTypes)
{
    EXPECT_EQ(property("Identity", "org.mpris.MediaPlayer2"), "(<'Gramolux'>,)");
    EXPECT_EQ(property("DesktopEntry", "org.mpris.MediaPlayer2"), "(<'gramolux'>,)");
    EXPECT_EQ(property("SupportedUriSchemes", "org.mpris.MediaPlayer2"), "(<['file']>,)");

    // The types come from the desktop entry, as the desktop knows them.
    const QString types = property("SupportedMimeTypes", "org.mpris.MediaPlayer2");
    for (const char* type : {"'audio/mpeg'", "'audio/flac'", "'audio/x-mpegurl'", "'inode/directory'"})
        EXPECT_TRUE(types.contains(type)) << type;
}

TEST_F(Mpris, StatusAndMetadataFollowTheTurntable)
{
    GX_SKIP_WITHOUT_FFMPEG();
    EXPECT_EQ(playerctl("status"), "Stopped");

    // A tagged MP3 with a cover, under a name that must be percent-encoded.
    const QString song
        = gx::test::encode("-f lavfi -i sine=frequency=440:duration=8 -f lavfi -i color=c=red:s=32x32:d=0.04"
                           " -map 0:a -map 1:v -c:a libmp3lame -c:v mjpeg -disposition:v attached_pic -id3v2_version 3"
                           " -metadata title='Real Title' -metadata artist='Ann Example' -metadata album='Tests & "
                           "Tones' -metadata album_artist='Various'"
                           " -metadata track=4/9",
            dir.filePath("05 Cover Song #1 ü.mp3"));
    ASSERT_FALSE(song.isEmpty());
    c->jukebox().openSong(song);
    EXPECT_EQ(playerctl("status"), "Playing");
    // The tags come as the record's label reads them, the cover's file after.
    ASSERT_TRUE(waitUntil([&] { return property("Metadata").contains("mpris:artUrl"); }, 20000));
    // The applets' title is the tag's; the window's stays the file's.
    const std::pair<const char*, QString> fields[] = {{"title", "Real Title"}, {"artist", "Ann Example"},
        {"album", "Tests & Tones"}, {"albumArtist", "Various"}, {"trackNumber", "4"}, {"url", url(song)}};
    for (const auto& [field, value] : fields)
        EXPECT_EQ(playerctl(QString("metadata xesam:") + field), value);
    EXPECT_EQ(layout->mainWindow()->windowTitle(), "Cover Song #1 ü");
    EXPECT_NEAR(playerctl("metadata mpris:length").toLongLong(), 8000000, 60000);
    const QUrl art(playerctl("metadata mpris:artUrl"));
    ASSERT_TRUE(art.isLocalFile());
    EXPECT_TRUE(art.toLocalFile().startsWith(cache->path()));
    QFile cover(art.toLocalFile());
    ASSERT_TRUE(cover.open(QIODevice::ReadOnly));
    EXPECT_TRUE(cover.readAll().startsWith("\xFF\xD8")); // the JPEG as embedded

    // Pause works the switch as the button does: the record runs down.
    playerctl("pause");
    EXPECT_FALSE(view->switchValue());
    ASSERT_TRUE(waitUntil([&] { return !c->jukebox().isPlaying(); }, 10000));
    EXPECT_EQ(playerctl("status"), "Paused");
    playerctl("play-pause");
    EXPECT_TRUE(view->switchValue());
    EXPECT_EQ(playerctl("status"), "Playing");
    playerctl("play"); // already on: nothing changes
    EXPECT_TRUE(view->switchValue());

    // Played out with nothing queued: stopped, while the record turns on.
    ASSERT_TRUE(waitUntil([&] { return playerctl("status") == "Stopped"; }, 30000));
    EXPECT_TRUE(c->jukebox().isPlaying());
    playerctl("play"); // from the beginning again
    EXPECT_EQ(playerctl("status"), "Playing");
    EXPECT_LT(positionSeconds(), 4.0); // well short of the 8 s end, even on a busy machine

    // A file that does not open: stopped, and the reason as on the window.
    c->jukebox().openSong(dir.filePath("gone.wav"));
    EXPECT_EQ(playerctl("status"), "Stopped");
    // (playerctl shows no metadata of a stopped player.)
    EXPECT_TRUE(property("Metadata").contains("'xesam:comment': <['Can’t play “gone.wav”: file not found']>"));
    EXPECT_EQ(property("CanPlay"), "(<false>,)");
}

TEST_F(Mpris, EveryThreadOfOursGoesByItsName)
{
    c->jukebox().openSong(dir.tone("a.wav", 20));
    const auto comm = [](const QString& task) { return QString(gx::test::readFile(task + "/comm")).trimmed(); };
    QStringList names;
    EXPECT_TRUE(waitUntil(
        [&] {
            names.clear();
            for (const QString& id : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                names << comm("/proc/self/task/" + id);
            // None but the main thread goes by the program's name.
            return names.contains("gx-jukebox") && names.contains("gx-hiss") && names.contains("gx-settings")
                && names.contains("gx-cover") && names.count(comm("/proc/self")) == 1;
        },
        20000))
        << names.join(' ').toStdString();
}

TEST_F(Mpris, OpenUriQueuesAsTheDesktopDoesAndNextPlaysTheQueuedFile)
{
    const QString a = dir.tone("01 A.wav", 20.0), b = dir.tone("02 B.wav", 20.0);
    EXPECT_EQ(property("CanGoNext"), "(<false>,)");
    Monitor monitor;
    playerctl("open " + shellQuoted(QUrl::fromLocalFile(a).toString(QUrl::FullyEncoded)));
    mpris->openUri(QUrl::fromLocalFile(b).toString()); // right after the one before: queued
    EXPECT_EQ(c->jukebox().queue(), QStringList {b});
    // Announced; RealPlayer reads it back.
    EXPECT_TRUE(waitUntil([&] { return monitor.text().contains("'CanGoNext': <true>"); }, 10000));
    playerctl("next");
    EXPECT_EQ(playerctl("metadata xesam:title"), "B");
    EXPECT_TRUE(c->jukebox().queue().isEmpty());
    const QString refused = gdbus("--method org.mpris.MediaPlayer2.Player.OpenUri 'https://example.org/a.mp3'");
    EXPECT_TRUE(refused.contains("NotSupported")) << refused.toStdString();
    EXPECT_EQ(c->jukebox().songPath(), b);

    // A playlist stands for its songs, as a folder does.
    const QString list = gx::test::writeFile(dir.filePath("list.m3u"), "02 B.wav\n01 A.wav\n");
    QThread::msleep(550);
    playerctl("open " + shellQuoted(QUrl::fromLocalFile(list).toString(QUrl::FullyEncoded)));
    EXPECT_TRUE(waitUntil([&] { return c->jukebox().queue() == QStringList {a}; }, 10000));
    EXPECT_EQ(c->jukebox().songPath(), b);
}

TEST_F(Mpris, PositionIsSetAndSoughtAsTheArmIsLaidAndJumpsAreSignalled)
{
    c->jukebox().openSong(dir.tone("Long Tone.wav", 30.0));
    Monitor monitor;
    playerctl("position 12");
    const double set = positionSeconds();
    EXPECT_GE(set, 12.0);
    EXPECT_LT(set, 16.0);
    EXPECT_NEAR(view->armValue(), 12.0 / 30.0, 0.05);
    EXPECT_TRUE(waitUntil([&] { return monitor.count("Seeked") == 1; }, 10000));

    playerctl("position 5+");
    EXPECT_GE(positionSeconds(), 17.0);
    playerctl("position 100+"); // past the end with nothing queued: no move
    EXPECT_LT(positionSeconds(), 25.0);
    playerctl("previous"); // back to the start, as the arm laid at 0
    EXPECT_LT(positionSeconds(), 4.0);
    EXPECT_TRUE(waitUntil([&] { return monitor.count("Seeked") == 3; }, 10000));

    // The arm laid down by hand.
    view->mouseDown({130.0f, 60.0f}, 1);
    view->mouseUp({130.0f, 60.0f});
    EXPECT_TRUE(waitUntil([&] { return monitor.count("Seeked") == 4; }, 10000));
    EXPECT_NEAR(positionSeconds(), view->armValue() * 30.0, 3.0);

    // Stopped, the position is where the arm rests, and moves with it.
    c->jukebox().stop();
    playerctl("position 6");
    EXPECT_NEAR(positionSeconds(), 6.0, 0.05);
    EXPECT_EQ(playerctl("status"), "Paused");
}

TEST_F(Mpris, VolumeAndRateAreTheSliderAndTheDial)
{
    c->jukebox().openSong(dir.tone("Tone.wav", 10.0));
    layout->preferenceController()->showPanel();
    Monitor monitor;

    playerctl("volume 0.357"); // in whole hundredths, as the slider sets it
    EXPECT_FLOAT_EQ(store().floatForKey(keys::musicVolume), 0.36f);
    EXPECT_EQ(c->jukebox().song()->engineVolume(), 91); // 0.36 * 255
    EXPECT_EQ(layout->preferenceController()->musicVolSlider->value(), 36);
    // A digit key and the slider are announced as well.
    view->keyDown("7");
    EXPECT_NEAR(playerctl("volume").toDouble(), 0.7, 1e-6);
    layout->preferenceController()->musicVolSlider->setValue(20);
    EXPECT_TRUE(waitUntil([&] { return monitor.count("'Volume': <") == 3; }, 10000));
    EXPECT_NEAR(playerctl("volume").toDouble(), 0.2, 1e-6);

    EXPECT_EQ(property("MinimumRate"), "(<0.20000000000000001>,)");
    EXPECT_EQ(property("MaximumRate"), "(<4.0>,)");
    gdbus("--method org.freedesktop.DBus.Properties.Set org.mpris.MediaPlayer2.Player Rate '<1.5>'");
    EXPECT_FLOAT_EQ(view->dialValue(), 1.5f);
    EXPECT_FLOAT_EQ(c->jukebox().defaultRate(), 1.5f);
    EXPECT_EQ(property("Rate"), "(<1.5>,)");
    gdbus("--method org.freedesktop.DBus.Properties.Set org.mpris.MediaPlayer2.Player Rate '<9.0>'");
    EXPECT_FLOAT_EQ(c->jukebox().defaultRate(), 4.0f);
    EXPECT_TRUE(waitUntil([&] { return monitor.count("'Rate': <") == 2; }, 10000));
}

namespace {

// The real program on the test's bus, with the test's home and runtime folder.
class RealPlayer : public Mpris {
protected:
    void SetUp() override
    {
        if (!bus)
            GTEST_SKIP() << "needs dbus-daemon, playerctl and gdbus";
    }
};

} // namespace

TEST_F(RealPlayer, AFolderOnTheCommandLinePlaysItsFirstSongAndNextReachesTheSecond)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("Album/Bonus"));
    const QString first = dir.tone("Album/2 Beta.wav", 30.0), second = dir.tone("Album/10 Alpha.wav", 30.0);
    dir.tone("Album/Bonus/1 Gamma.wav", 1.0);
    gx::test::writeFile(dir.filePath("Album/cover.jpg"), "not a song");
    QProcess player;
    player.start(GX_GRAMOLUX_BINARY, {"--", dir.filePath("Album") + "/"});
    EXPECT_TRUE(waitUntil([&] { return playerctl("metadata xesam:url") == url(first); }, 60000));
    EXPECT_EQ(playerctl("status"), "Playing");
    EXPECT_EQ(property("CanGoNext"), "(<true>,)");
    playerctl("next");
    EXPECT_TRUE(waitUntil([&] { return playerctl("metadata xesam:url") == url(second); }, 30000));
    gdbus("--method org.mpris.MediaPlayer2.Quit");
    ASSERT_TRUE(waitUntil([&] { return player.state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(player.exitCode(), 0) << player.readAllStandardError().toStdString();
}
