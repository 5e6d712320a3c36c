// The queue window's operations against the engine's queue, in the real
// window with the real engine.
#include "app/QueueWindow.h"
#include "engine/Jukebox.h"
#include "engine/Player.h"
#include "sound/TrackTitle.h"
#include "support/Player.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QListWidget>
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

class QueueWindowTest : public ::testing::Test, protected gx::test::Player {
protected:
    gx::test::ScratchDir dir;
    void SetUp() override { start(); }
    QStringList rows() const
    {
        QStringList texts;
        for (int i = 0; i < window()->list()->count(); ++i)
            texts << window()->list()->item(i)->text().section('\n', 0, 0);
        return texts;
    }
    gx::QueueWindow* window() const { return layout->queueWindow(); }
};

} // namespace

TEST_F(QueueWindowTest, EachOperationChangesTheEnginesQueueAndTheListFollowsAtOnce)
{
    gx::Jukebox& jukebox = c->jukebox();
    const QString a = dir.tone("01 Alpha.wav", 30.0), b = dir.tone("02 Bravo.wav"), d = dir.tone("03 Delta.flac");
    const QString e = dir.tone("Echo.wav");
    EXPECT_TRUE(rows().isEmpty());
    jukebox.openSong(a);
    c->player().enqueue({b, d, e}); // as a hand-over queues them
    EXPECT_EQ(rows(), (QStringList {"Alpha", "Bravo", "Delta", "Echo"}));
    gx::TrackTags tags;
    tags.artists = {"Ann", "Bo"};
    tags.album = "Tones";
    emit c->player().tagsRead(a, tags); // as the record's label reads them
    EXPECT_EQ(window()->list()->item(0)->text(), "Alpha\nAnn, Bo — Tones");
    struct Row {
        const char* what;
        std::function<void()> act;
        QStringList queue;
        QString playing;
    };
    const Row steps[] = {
        {"drag Bravo below Echo", [&] { window()->list()->model()->moveRow({}, 1, {}, 4); }, {d, e, b}, a},
        {"drag Bravo above the song playing", [&] { window()->moveRow(3, 0); }, {b, d, e}, a},
        {"the song playing stays", [&] { window()->removeRow(0); }, {b, d, e}, a},
        {"delete Delta", [&] { window()->removeRow(2); }, {b, e}, a},
        {"double-click Echo", [&] { window()->playRow(2); }, {b}, e},
        {"the song playing plays on", [&] { window()->playRow(0); }, {b}, e},
        {"clear", [&] { window()->clear(); }, {}, e},
    };
    for (const Row& step : steps) {
        step.act();
        EXPECT_TRUE(gx::test::waitUntil([&] { return jukebox.queue() == step.queue; }, 5000)) << step.what;
        EXPECT_EQ(c->player().songPath(), step.playing) << step.what;
        QStringList titles {gx::trackTitleOfPath(step.playing)};
        for (const QString& path : step.queue)
            titles << gx::trackTitleOfPath(path);
        EXPECT_EQ(rows(), titles) << step.what;
    }
}

TEST_F(QueueWindowTest, ClosingTheMainWindowQuitsWithTheQueueWindowOpen)
{
    layout->show();
    window()->showBeside(*layout->mainWindow());
    bool lastClosed = false;
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, window(), [&] { lastClosed = true; });
    QTimer::singleShot(0, layout->mainWindow(), [this] { layout->mainWindow()->close(); });
    QTimer::singleShot(10000, qApp, &QCoreApplication::quit); // the test ends even where it would not
    QApplication::exec();
    EXPECT_TRUE(lastClosed);
}
