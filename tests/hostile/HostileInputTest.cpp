// Broken, mislabelled and hostile files, made at test time, through the music
// object and the whole player.
#include "app/AppController.h"
#include "app/GramoluxWindowLayout.h"
#include "sound/Sound.h"
#include "sound/TrackTitle.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>
#include <sys/stat.h>

using gx::GramoluxWindowLayout;

using namespace gx::test;

namespace {

// What a file stands for (for messages), and its path.
using HostileFile = std::pair<QString, QString>;

// Broken, mislabelled and hostile files, made in dir; `good` is a playable
// WAV used as raw material.
std::vector<HostileFile> makeHostileFiles(const QString& dir, const QString& good)
{
    std::vector<HostileFile> files;
    const auto add = [&](const QString& name, const QString& path) {
        if (!path.isEmpty())
            files.push_back({name, path});
    };
    const QDir d(dir);
    const QByteArray wav = readFile(good);

    add("zero bytes", writeFile(d.filePath("empty.mp3"), {}));
    add("truncated wav header", writeFile(d.filePath("header.wav"), wav.left(30)));
    add("truncated wav data", writeFile(d.filePath("cut.wav"), wav.left(wav.size() / 3 + 1)));
    QByteArray noise(64 * 1024, 0);
    QRandomGenerator(1234).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    add("random bytes named mp3", writeFile(d.filePath("random.mp3"), noise));
    add("text named wav", writeFile(d.filePath("notes.wav"), "These are my notes, not a song.\n"));

    QByteArray huge = wav;
    const quint32 claim = 0xFFFFFFF0u; // the header claims about 4 GB of samples
    std::memcpy(huge.data() + 4, &claim, 4);
    std::memcpy(huge.data() + 40, &claim, 4);
    add("wav claiming 4 GB", writeFile(d.filePath("huge.wav"), huge));

    if (const QString mp3 = encode("-i " + shellQuoted(good), d.filePath("ok.mp3")); !mp3.isEmpty()) {
        const QByteArray m = readFile(mp3);
        add("truncated mp3", writeFile(d.filePath("cut.mp3"), m.left(m.size() / 2)));
        // An ID3v2 tag whose header claims 256 MB (synchsafe), then the song.
        QByteArray tag("ID3\x04\x00\x00\x7f\x7f\x7f\x7f", 10);
        add("mp3 with a huge ID3 tag", writeFile(d.filePath("tagged.mp3"), tag + QByteArray(4096, 0) + m));
    }
    if (const QString m4a = encode("-i " + shellQuoted(good) + " -c:a aac", d.filePath("ok.m4a")); !m4a.isEmpty()) {
        const QByteArray m = readFile(m4a);
        add("truncated m4a", writeFile(d.filePath("cut.m4a"), m.left(m.size() / 2)));
    }

    d.mkpath("song.mp3");
    add("directory named song.mp3", d.filePath("song.mp3"));
    const QString locked = writeFile(d.filePath("locked.wav"), wav);
    ::chmod(locked.toLocal8Bit().constData(), 0);
    add("file without read permission", locked);
    add("missing file", d.filePath("never-there.wav"));
    add("odd path", writeFile(d.filePath(QString::fromUtf8("01 \"Qu'oted\" Ünï 曲\nline.wav")), wav));
    const QString fifo = d.filePath("pipe.wav");
    if (::mkfifo(fifo.toLocal8Bit().constData(), 0600) == 0)
        add("fifo named wav", fifo);
    return files;
}

// A hang is a failure: the whole test process ends after 10 s of one case.
const char* const kHung = "watchdog: a hostile input hung for 10 s\n";

QStringList listing(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class HostileInput : public ::testing::Test {
protected:
    HostileInput() { gx::Sound::initialize(); }
    ScratchDir work;
    QString good = work.tone("good.wav", 1.5);
    std::vector<HostileFile> files = makeHostileFiles(work.path(), good);
    QStringList before = listing(work.path());
};

} // namespace

TEST_F(HostileInput, MusicObjectAnswersCalmlyAndWritesNothing)
{
    ASSERT_GE(files.size(), 12u);
    for (const auto& [name, path] : files) {
        SCOPED_TRACE(name.toStdString());
        Watchdog dog(10, kHung);
        auto music = gx::Sound::open(path.toStdString());
        const float length = music->lengthSeconds();
        EXPECT_TRUE(std::isfinite(length));
        EXPECT_GE(length, 0.0f);
        music->setVolume(1.0f);
        music->play();
        QThread::msleep(50);
        EXPECT_TRUE(std::isfinite(music->positionSeconds()));
        music->setPositionSeconds(1e9f);
        music->setPositionSeconds(-5.0f);
        music->setRate(-1.0f);
        music->setRate(2.0f);
        music->setVolume(1000.0f);
        music->play();
        music->pause();
        music->stop();
        if (!music->isOpen()) {
            EXPECT_EQ(music->lengthSeconds(), 0.0f);
            EXPECT_EQ(music->positionSeconds(), 0.0f); // so a queue passes over it
        }
        music.reset();
        EXPECT_FALSE(gx::trackTitleOfPath(path).isNull());
    }
    EXPECT_EQ(listing(work.path()), before);
}

TEST_F(HostileInput, PlayerKeepsWorkingForTheNextGoodFile)
{
    GramoluxWindowLayout layout;
    AppController* c = layout.appController();
    for (const auto& [name, path] : files) {
        SCOPED_TRACE(name.toStdString());
        Watchdog dog(10, kHung);
        c->jukebox().openSong(path);
        EXPECT_TRUE(c->jukebox().isPlaying());
        c->jukebox().openSong(good);
        ASSERT_TRUE(c->jukebox().song()->isOpen());
        EXPECT_NEAR(c->jukebox().song()->lengthSeconds(), 1.5f, 0.01f);
        EXPECT_TRUE(waitUntil([&] { return c->jukebox().song()->positionSeconds() > 0.0f; }, 10000));
    }
    EXPECT_EQ(listing(work.path()), before);
}

TEST_F(HostileInput, FileDeletedOrCutWhilePlayingEndsCalmly)
{
    for (const bool cut : {false, true}) {
        Watchdog dog(10, kHung);
        const QString path = work.tone("victim.wav", 30.0);
        auto music = gx::Sound::open(path.toStdString());
        ASSERT_TRUE(music->isOpen());
        music->play();
        QThread::msleep(100);
        cut ? QFile::resize(path, 2000) : QFile::remove(path);
        music->setPositionSeconds(20.0f); // forces a read of what is no longer there
        QThread::msleep(300);
        EXPECT_TRUE(std::isfinite(music->positionSeconds()));
        music.reset();
        QFile::remove(path);
    }
}
