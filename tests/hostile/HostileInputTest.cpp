#include "controller/AppController.h"
#include "controller/GramoluxWindowLayout.h"
#include "hostile/HostileFiles.h"
#include "sound/GXQTMusic.h"
#include "support/TestSupport.h"
#include "view/GXGramoluxView.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

using gx::GramoluxWindowLayout;

using gx::test::HostileFile;
using gx::test::waitUntil;

namespace {

// A hang is a failure: the whole test process ends after 10 s of one case.
void watchdogFired(int)
{
    static const char msg[] = "watchdog: a hostile input hung for 10 s\n";
    [[maybe_unused]] auto n = ::write(2, msg, sizeof msg - 1);
    ::_exit(3);
}

struct Watchdog {
    Watchdog()
    {
        std::signal(SIGALRM, watchdogFired);
        ::alarm(10);
    }
    ~Watchdog() { ::alarm(0); }
};

QStringList listing(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class HostileInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        GXQTMusic::initialize();
        good = gx::test::writeToneWav(work.filePath("good.wav"), 1.5);
        files = gx::test::makeHostileFiles(work.path(), good);
        before = listing(work.path());
    }
    QTemporaryDir work;
    QString good;
    std::vector<HostileFile> files;
    QStringList before;
};

} // namespace

TEST_F(HostileInput, MusicObjectAnswersCalmlyAndWritesNothing)
{
    ASSERT_GE(files.size(), 12u);
    for (const HostileFile& f : files) {
        SCOPED_TRACE(f.name.toStdString());
        Watchdog dog;
        auto music = GXQTMusic::initWithFilePath(f.path.toStdString());
        const float length = music->movieTotalSeconds();
        EXPECT_TRUE(std::isfinite(length));
        EXPECT_GE(length, 0.0f);
        music->setVolume(1.0f);
        music->play();
        QThread::msleep(50);
        EXPECT_TRUE(std::isfinite(music->movieCrntSecond()));
        music->setMovieCrntSecond(1e9f);
        music->setMovieCrntSecond(-5.0f);
        music->setMovieRate(-1.0f);
        music->setMovieRate(2.0f);
        music->setVolume(1000.0f);
        music->play();
        music->pause();
        music->stop();
        if (!music->hasMovie()) {
            EXPECT_EQ(music->movieTotalSeconds(), 0.0f);
            EXPECT_EQ(music->movieCrntSecond(), 0.0f); // so a queue passes over it
        }
        music.reset();
        EXPECT_FALSE(AppController::musicName(f.path).isNull());
    }
    EXPECT_EQ(listing(work.path()), before);
}

TEST_F(HostileInput, PlayerKeepsWorkingForTheNextGoodFile)
{
    GramoluxWindowLayout layout;
    AppController* c = layout.appController();
    for (const HostileFile& f : files) {
        SCOPED_TRACE(f.name.toStdString());
        Watchdog dog;
        c->openMusic(f.path);
        EXPECT_TRUE(c->isPlaying());
        c->openMusic(good);
        ASSERT_TRUE(c->theMusic()->hasMovie());
        EXPECT_NEAR(c->theMusic()->movieTotalSeconds(), 1.5f, 0.01f);
        EXPECT_TRUE(waitUntil([&] { return c->theMusic()->movieCrntSecond() > 0.0f; }, 10000));
    }
    EXPECT_EQ(listing(work.path()), before);
}

TEST_F(HostileInput, FileDeletedOrCutWhilePlayingEndsCalmly)
{
    for (const bool cut : {false, true}) {
        Watchdog dog;
        const QString path = gx::test::writeToneWav(work.filePath("victim.wav"), 30.0);
        auto music = GXQTMusic::initWithFilePath(path.toStdString());
        ASSERT_TRUE(music->hasMovie());
        music->play();
        QThread::msleep(100);
        if (cut)
            QFile::resize(path, 2000);
        else
            QFile::remove(path);
        music->setMovieCrntSecond(20.0f); // forces a read of what is no longer there
        QThread::msleep(300);
        EXPECT_TRUE(std::isfinite(music->movieCrntSecond()));
        music.reset();
        QFile::remove(path);
    }
}
