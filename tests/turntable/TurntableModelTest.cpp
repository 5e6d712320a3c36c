// The turntable's model without a window: the spin clock's passes, and each
// gesture as every face (pointer, menu, screen reader, media controls) makes
// it, with what it tells.
#include "turntable/TurntableModel.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "turntable/TurntableLogic.h"
#include "view/ViewTestSupport.h"

using namespace gx::test;
namespace names = gx::names;
using Names = std::vector<std::string>;
using gx::TurntableModel;

namespace {

class Model : public ::testing::Test {
protected:
    Model()
    {
        auto& h = model.hooks();
        h.changed = [this] { ++changes; };
        h.startSpinClock = [this] { ++clockStarts; };
        h.setMusicVolume = [this](float v) { stored.push_back(v); };
        h.openSong = [this](const std::string& path) { opened.push_back(path); };
    }
    // Passes of the clock until it ends, at most `limit`.
    int runClock(int limit = 1000)
    {
        int passes = 0;
        while (passes < limit && (++passes, model.clockTick())) { }
        return passes;
    }
    TurntableModel model;
    NotificationLog log;
    int changes = 0, clockStarts = 0;
    std::vector<float> stored; // the volumes handed to the player
    std::vector<std::string> opened;
};

} // namespace

TEST_F(Model, TheRecordTurnsFadesInOnceAndRestsAtZeroAfterAFullTurnWithTheSwitchOff)
{
    EXPECT_EQ(model.diskFraction(), 0.0f); // no record before the first song
    model.play();
    EXPECT_TRUE(model.switchValue());
    EXPECT_EQ(clockStarts, 1);
    ASSERT_EQ(runClock(90), 90);            // no pass ends the run
    EXPECT_EQ(model.diskRotate(), -360.0f); // the test is strict: no wrap yet
    model.clockTick();
    EXPECT_EQ(model.diskRotate(), -4.0f);
    runClock(9);
    EXPECT_LT(model.diskFraction(), 1.0f);
    model.clockTick();
    EXPECT_EQ(model.diskFraction(), 1.0f); // exactly, at the 101st tick
    EXPECT_EQ(changes, 101);

    model.setDiskSpeed(7.0f); // whatever the remainder, the rest is 0
    model.setSwitchValue(0.0f);
    model.play(); // while running down: the switch stays off
    EXPECT_FALSE(model.switchValue());
    EXPECT_EQ(clockStarts, 1);
    const int passes = runClock();
    EXPECT_EQ(model.diskRotate(), 0.0f);
    EXPECT_FALSE(model.isPlaying());
    EXPECT_EQ(passes, 12); // from -44 at 28 a tick, the 12th passes -360
    EXPECT_EQ(log.names(), Names {names::recordStopped});

    model.play(); // a second play does not fade in again
    model.clockTick();
    EXPECT_EQ(model.diskFraction(), 1.0f);
}

TEST_F(Model, AStopKeepsTheAngleAndEndsTheClockAtItsNextPassButAPlayMeanwhileTicksOn)
{
    model.play();
    runClock(5);
    model.stop();
    EXPECT_FALSE(model.switchValue());
    const int before = changes;
    EXPECT_FALSE(model.clockTick()); // ends without a turn, showing the switch off
    EXPECT_EQ(model.diskRotate(), -20.0f);
    EXPECT_EQ(changes, before + 1);

    model.play(); // resumes from the angle
    model.stop();
    EXPECT_FALSE(model.clockTick()); // a run's first pass ticks all the same
    EXPECT_EQ(model.diskRotate(), -24.0f);
    model.play();
    model.stop();
    model.play(); // a stop and a play within one sleep: one clock ticking on
    EXPECT_TRUE(model.clockTick());
    EXPECT_EQ(clockStarts, 4);

    model.setDiskSpeed(0.0f); // still: never at a turn's end, never at rest
    model.setSwitchValue(0.0f);
    EXPECT_EQ(runClock(500), 500);
    EXPECT_TRUE(log.names().empty()); // a stop itself reports nothing
}

TEST_F(Model, GesturesLiftAndLayTheArmTurnTheDialAndWorkTheSwitchOnceEnabled)
{
    model.mouseDown({39, 57}, 1);
    model.mouseDown({120, 80}, 1);
    model.mouseDragged({120, 40});
    model.mouseUp({120, 40});
    model.mouseDown({29, 215}, 2);
    EXPECT_FALSE(model.switchValue());
    EXPECT_EQ(model.armValue(), 0.0f); // asleep until the first song, and nothing told (the list at the end)

    model.setEnabled(true);
    model.mouseDown({120, 31}, 1); // the bottom of the arm's area is the record's start
    EXPECT_TRUE(model.isArmDragging());
    model.mouseDragged({400, 63.5f}); // outside the area: still followed, by height alone
    EXPECT_EQ(model.armValue(), 0.5f);
    model.mouseDragged({120, 20});
    EXPECT_EQ(model.armValue(), 0.0f);
    model.mouseDragged({120, 200});
    bool draggingSeen = true;
    gx::NotificationCenter::defaultCenter().addObserver(
        &draggingSeen, [&](const gx::Notification&) { draggingSeen = model.isArmDragging(); }, names::armDragEnded);
    model.mouseUp({120, 31}); // the release position is not used
    gx::NotificationCenter::defaultCenter().removeObserver(&draggingSeen);
    EXPECT_FALSE(draggingSeen);
    EXPECT_EQ(model.armValue(), 1.0f);
    model.mouseUp({120, 31}); // no second end

    model.mouseDown({29, 215}, 1); // nothing told until it moves
    model.mouseDragged({29, 315});
    EXPECT_FLOAT_EQ(model.dialValue(), 1.2f);
    model.mouseDragged({300, 315});      // sideways: unchanged, still told
    model.mouseDragged({29, 215 - 600}); // 0.002 a point, down to a floor of 0.2
    EXPECT_EQ(model.dialValue(), 0.2f);
    model.mouseUp({29, 0});
    EXPECT_FALSE(model.isDialDragging());
    model.mouseDown({29, 215}, 2); // a double click resets it
    EXPECT_EQ(model.dialValue(), 1.0f);

    model.turnDial(std::nanf("")); // as other faces turn it: told, unchanged
    EXPECT_EQ(model.dialValue(), 1.0f);
    model.setArmPlace(1.7f); // lifted and laid at once, held to the record
    EXPECT_EQ(model.armValue(), 1.0f);
    EXPECT_FALSE(model.isArmDragging());
    // The playing song's tick, having looked before the arm was lifted,
    // writes an older place while it is held: the arm is laid where it was held.
    gx::NotificationCenter::defaultCenter().addObserver(
        &draggingSeen, [&](const gx::Notification&) { model.setArmValue(0.1f); }, names::armDragStarted);
    model.setArmPlace(0.4f);
    gx::NotificationCenter::defaultCenter().removeObserver(&draggingSeen);
    EXPECT_EQ(model.armValue(), 0.4f);
    EXPECT_EQ(model.laidArmValue(), 0.4f);
    model.mouseDown({39, 57}, 1);
    EXPECT_TRUE(model.switchValue());
    EXPECT_EQ(log.names(),
        (Names {names::armDragStarted, names::armDragEnded, names::dialDragged, names::dialDragged, names::dialDragged,
            names::dialDragged, names::dialDragged, names::armDragStarted, names::armDragEnded, names::armDragStarted,
            names::armDragEnded, names::playButtonClicked}));
}

TEST_F(Model, DigitKeysSetTheVolumeFromTheStartAndOtherKeysDoNothing)
{
    for (const char* key : {"5", "0", "a", " ", ""})
        model.keyDown(key);
    EXPECT_EQ(stored, (std::vector<float> {0.5f, 1.0f}));
    EXPECT_TRUE(log.names().empty());
}

TEST_F(Model, ADragIsTakenByItsFirstFileWhoseTypeAppearsAnywhereInItsPath)
{
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{"/home/u/song.mp3", "/home/u/notes.txt"}, true},
        {{"/home/u/notes.txt", "/home/u/song.mp3"}, false},
        {{"/home/u/Song.Mp3"}, false}, // the types are matched case by case
        {{"/x/LOUD.AIFF"}, true},
        {{"/x/take.mpeg2"}, true},
        {{"/Music/old.mp3s/readme.txt"}, true},
        {{"/x/mp3"}, false},
        {{}, false},
    };
    for (const auto& [paths, taken] : cases) {
        const std::string what = paths.empty() ? "(none)" : paths.front();
        EXPECT_EQ(model.dragEntered(paths), taken) << what;
        EXPECT_EQ(model.isFileDragging(), taken) << what;
        model.dragExited();
        EXPECT_FALSE(model.isFileDragging());
    }
    EXPECT_TRUE(model.drop({"/a/song.wav", "/a/other.wav"})); // before the first song too
    EXPECT_FALSE(model.drop({}));
    EXPECT_EQ(opened, std::vector<std::string> {"/a/song.wav"});
}

TEST(TurntableLogic, FrameIndexOfTheArmAndDialStrips)
{
    for (const auto& [value, frame] :
        {std::pair {0.0f, 0}, {1.7f, 49}, {0.96f, 47}, {0.5f, 25}, {std::nanf(""), 0}, {-0.3f, 0}})
        EXPECT_EQ(gx::turntable::armFrameIndex(value), frame) << value;
    for (const auto& [value, frame] : {std::pair {0.23f, 3}, {1.05f, 4}, {1.06f, 0}, {-0.03f, -3}})
        EXPECT_EQ(gx::turntable::dialFrameIndex(value), frame) << value; // a negative frame is not drawn
}
