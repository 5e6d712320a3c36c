// The queue window's operations against the engine's queue, in the real
// window with the real engine.
#include "app/QueueWindow.h"
#include "engine/Jukebox.h"
#include "engine/Player.h"
#include "support/Player.h"

#include <QAbstractItemModel>
#include <QListWidget>
#include <functional>
#include <tuple>

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
    jukebox.openSong(a);
    c->player().enqueue({b, d, e}); // as a hand-over queues them
    gx::TrackTags tags;
    tags.artists = {"Ann", "Bo"};
    tags.album = "Tones";
    emit c->player().tagsRead(a, tags); // as the record's label reads them
    EXPECT_EQ(window()->list()->item(0)->text(), "Alpha\nAnn, Bo — Tones");
    // What is done; the engine's queue after it and the rows shown, the song playing first.
    const std::tuple<const char*, std::function<void()>, QStringList, const char*> steps[] = {
        {"drag", [&] { window()->list()->model()->moveRow({}, 1, {}, 4); }, {d, e, b}, "Alpha Delta Echo Bravo"},
        {"above the song playing", [&] { window()->moveRow(3, 0); }, {b, d, e}, "Alpha Bravo Delta Echo"},
        {"the song playing stays", [&] { window()->removeRow(0); }, {b, d, e}, "Alpha Bravo Delta Echo"},
        {"delete", [&] { window()->removeRow(2); }, {b, e}, "Alpha Bravo Echo"},
        {"double-click", [&] { window()->playRow(2); }, {b}, "Echo Bravo"},
        {"clear", [&] { window()->clear(); }, {}, "Echo"},
    };
    for (const auto& [what, act, queue, shown] : steps) {
        act();
        EXPECT_TRUE(gx::test::waitUntil([&] { return jukebox.queue() == queue; }, 5000)) << what;
        EXPECT_EQ(rows().join(' '), shown) << what;
    }
}
