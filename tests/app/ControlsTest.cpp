// The Controls menu's keyboard items, Previous Song and the feedback over the
// turntable, in the real window with the real engine.
#include "app/AppController.h"
#include "app/ControlsMenu.h"
#include "app/GramoluxWindowLayout.h"
#include "support/TestSupport.h"
#include "turntable/TurntableModel.h"
#include "view/TurntableNotice.h"
#include "view/TurntableView.h"

#include <QAction>
#include <functional>
#include <tuple>

namespace {

class ControlsTest : public ::testing::Test {
protected:
    gx::test::ScratchDir dir;
    gx::GramoluxWindowLayout layout;
    gx::Player& player = layout.appController()->player();
    gx::TurntableModel& model = layout.turntable();
    double arm() const { return model.armValue() * player.lengthSeconds(); }
};

} // namespace

TEST_F(ControlsTest, EachItemIsEnabledOnlyWhileItCanActAndTakesItsRoad)
{
    for (const char* item : {"Previous Song", "Forward 10 Seconds", "Back 10 Seconds", "Faster", "Normal Speed"})
        EXPECT_FALSE(layout.controlsMenu()->item(item)->isEnabled()) << item << " with no song";
    layout.appController()->jukebox().openSong(dir.tone("a.wav", 30.0));
    // The item; what comes before it, whether it is enabled then, and what holds after it.
    const std::tuple<const char*, std::function<void()>, bool, std::function<bool()>> rows[] = {
        {"Louder", [&] { player.setMusicVolume(0.7f); }, true, [&] { return player.musicVolume() == 0.8f; }},
        {"Louder", [&] { player.setMusicVolume(1.0f); }, false, [&] { return player.musicVolume() == 1.0f; }},
        {"Quieter", [&] { player.setMusicVolume(0.35f); }, true, [&] { return player.musicVolume() == 0.3f; }},
        {"Quieter", [&] { player.setMusicVolume(0.0f); }, false, [&] { return player.musicVolume() == 0.0f; }},
        {"Faster", [&] { model.turnDial(1.0f); }, true, [&] { return model.dialValue() == 1.05f; }},
        {"Faster", [&] { model.turnDial(4.0f); }, false, [&] { return model.dialValue() == 4.0f; }},
        {"Slower", [&] { model.turnDial(0.23f); }, true, [&] { return model.dialValue() == 0.2f; }},
        {"Slower", [&] { model.turnDial(4.5f); }, true, [&] { return model.dialValue() == 4.45f; }},
        {"Slower", [&] { model.turnDial(0.2f); }, false, [&] { return model.dialValue() == 0.2f; }},
        {"Normal Speed", [&] { model.turnDial(1.5f); }, true, [&] { return model.dialValue() == 1.0f; }},
        {"Normal Speed", [&] { model.turnDial(1.0f); }, false, [&] { return model.dialValue() == 1.0f; }},
        {"Forward 10 Seconds", [&] { player.seekTo(5.0); }, true, [&] { return std::abs(arm() - 15.0) < 0.5; }},
        {"Back 10 Seconds", [&] { player.seekTo(5.0); }, true, [&] { return arm() < 0.5; }},
    };
    for (const auto& [item, before, enabled, after] : rows) {
        before();
        QAction* action = layout.controlsMenu()->item(item);
        EXPECT_EQ(action->isEnabled(), enabled) << item;
        action->trigger();
        EXPECT_TRUE(after()) << item;
    }
}

// The queue's own operations are QueueWindowTest's.
TEST_F(ControlsTest, PreviousGoesBackOnlyWithinThreeSecondsAndQueuesTheSongItLeaves)
{
    const QString a = dir.tone("a.wav", 30.0), b = dir.tone("b.wav", 30.0);
    gx::Jukebox& jukebox = layout.appController()->jukebox();
    jukebox.openSong(a);
    player.seekTo(10.0);
    player.previous(); // nothing before: the start of this one
    EXPECT_EQ(player.songPath(), a);
    EXPECT_LT(arm(), 0.5);
    jukebox.openSong(b);
    player.seekTo(10.0);
    player.previous(); // too far in: the start again
    EXPECT_EQ(player.songPath(), b);
    player.previous(); // at its start: the song before, this one queued next
    EXPECT_EQ(player.songPath(), a);
    EXPECT_EQ(jukebox.queue(), QStringList {b});
}

TEST_F(ControlsTest, EveryRoadOfTheVolumeAndTheSpeedShowsItsFeedbackBesideANotice)
{
    EXPECT_EQ(layout.view()->hint().text(), "Drop a song here, or choose File ▸ Open…");
    layout.appController()->jukebox().openSong(dir.filePath("gone.wav"));
    EXPECT_TRUE(layout.view()->hint().text().isEmpty());
    layout.appController()->jukebox().openSong(dir.tone("a.wav", 30.0));
    const std::pair<std::function<void()>, const char*> roads[] = {
        {[&] { model.keyDown("7"); }, "Volume 70 %"},
        {[&] { player.setMusicVolume(0.25f); }, "Volume 25 %"}, // preferences and MPRIS
        {[&] { model.turnDial(1.1f); }, "Speed 1.10×"},         // the dial and the screen reader
        {[&] { layout.controlsMenu()->item("Slower")->trigger(); }, "Speed 1.05×"},
    };
    layout.view()->notice().show("Can’t play");
    for (const auto& [road, shown] : roads) {
        road();
        EXPECT_EQ(layout.view()->feedback().text(), QString::fromUtf8(shown));
        EXPECT_EQ(layout.view()->accessibleDescription(), QString::fromUtf8(shown));
        EXPECT_EQ(layout.view()->notice().text(), "Can’t play");
    }
    EXPECT_TRUE(gx::test::waitUntil([&] { return layout.view()->feedback().text().isEmpty(); }, 10000));
}
