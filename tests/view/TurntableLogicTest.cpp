#include "sound/GXQTMusic.h"
#include "view/TurntableLogic.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace gx::turntable;

namespace {
SpinTickResult ticks(SpinState s, int n, float speed, bool switchOn)
{
    SpinTickResult r{s, false};
    for (int i = 0; i < n; ++i) {
        r = spinTick(r.state, speed, switchOn);
        if (r.stopped)
            break;
    }
    return r;
}
} // namespace

TEST(SpinTick, FullTurnIsNinetyTicksAndTheWrapTestIsStrict)
{
    const SpinTickResult after90 = ticks({}, 90, 1.0f, true);
    EXPECT_EQ(after90.state.diskRotate, -360.0f);
    EXPECT_FALSE(after90.stopped);

    const SpinTickResult on = spinTick(after90.state, 1.0f, true);
    EXPECT_EQ(on.state.diskRotate, -4.0f);
    EXPECT_FALSE(on.stopped);

    // At -360 the switch is not yet looked at; one tick later it is.
    const SpinTickResult off90 = ticks({}, 90, 1.0f, false);
    EXPECT_FALSE(off90.stopped);
    const SpinTickResult off = spinTick(off90.state, 1.0f, false);
    EXPECT_TRUE(off.stopped);
    EXPECT_EQ(off.state.diskRotate, 0.0f);
}

TEST(SpinTick, SwitchOffRestsAtExactlyZeroWhateverTheRemainder)
{
    const SpinTickResult r = spinTick({-359.0f, 1.0f}, 1.3f, false);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.state.diskRotate, 0.0f);

    // Mid-turn the switch is ignored.
    const SpinTickResult mid = spinTick({-100.0f, 1.0f}, 1.3f, false);
    EXPECT_FALSE(mid.stopped);
    EXPECT_FLOAT_EQ(mid.state.diskRotate, -105.2f);
}

TEST(SpinTick, FadeReachesExactlyOneAtTick101AndStays)
{
    SpinState s;
    for (int i = 0; i < 100; ++i)
        s = spinTick(s, 1.0f, true).state;
    EXPECT_LT(s.diskFraction, 1.0f);
    EXPECT_GT(s.diskFraction, 1.0f - 1e-6f);
    s = spinTick(s, 1.0f, true).state;
    EXPECT_EQ(s.diskFraction, 1.0f);
    s = spinTick(s, 1.0f, true).state;
    EXPECT_EQ(s.diskFraction, 1.0f);
}

TEST(SpinTick, SpeedZeroNeverTurnsNorComesToRest)
{
    const SpinTickResult r = ticks({-123.0f, 0.0f}, 1000, 0.0f, false);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.state.diskRotate, -123.0f);
    EXPECT_EQ(r.state.diskFraction, 1.0f);
}

TEST(FrameIndex, ArmTruncatesTheDoubleProductAndClamps)
{
    EXPECT_EQ(armFrameIndex(0.0f), 0);
    EXPECT_EQ(armFrameIndex(0.5f), 25);
    EXPECT_EQ(armFrameIndex(0.96f), 47); // stored just below 0.96
    EXPECT_EQ(armFrameIndex(0.98f), 49);
    EXPECT_EQ(armFrameIndex(1.0f), 49);
    EXPECT_EQ(armFrameIndex(1.7f), 49);
    EXPECT_EQ(armFrameIndex(-0.3f), 0);
    EXPECT_EQ(armFrameIndex(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(armFrameIndex(std::numeric_limits<float>::infinity()), 49);
    EXPECT_EQ(armFrameIndex(-std::numeric_limits<float>::infinity()), 0);
}

TEST(FrameIndex, DialStepsPerHundredthFromTheFloatProduct)
{
    EXPECT_EQ(dialFrameIndex(1.0f), 0);
    EXPECT_EQ(dialFrameIndex(1.01f), 1);
    EXPECT_EQ(dialFrameIndex(1.04f), 4);
    EXPECT_EQ(dialFrameIndex(1.10f), 0);
    EXPECT_EQ(dialFrameIndex(0.2f), 0);
    EXPECT_EQ(dialFrameIndex(0.23f), 3);
    EXPECT_EQ(dialFrameIndex(0.25f), 0);
    EXPECT_EQ(dialFrameIndex(1.05f), 4); // product just below 105
    EXPECT_EQ(dialFrameIndex(1.06f), 0);
    EXPECT_EQ(dialFrameIndex(-0.03f), -3); // outside the strip: nothing drawn
    EXPECT_EQ(dialFrameIndex(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(dialFrameIndex(std::numeric_limits<float>::infinity()), 0);
}

TEST(Pointer, HitTestIncludesMinimumEdgesOnly)
{
    const RectF r{101, 31, 60, 75};
    EXPECT_TRUE(pointInRect({101, 31}, r));
    EXPECT_TRUE(pointInRect({160.9f, 105.9f}, r));
    EXPECT_FALSE(pointInRect({161, 50}, r));
    EXPECT_FALSE(pointInRect({120, 106}, r));
    EXPECT_FALSE(pointInRect({100.9f, 50}, r));
    EXPECT_FALSE(pointInRect({120, 30.9f}, r));
}

TEST(Pointer, ArmFollowsHeightWithinLimits)
{
    EXPECT_EQ(armValueForPoint({120, 31}), 0.0f);
    EXPECT_EQ(armValueForPoint({0, 63.5f}), 0.5f);
    EXPECT_EQ(armValueForPoint({120, 96}), 1.0f);
    EXPECT_EQ(armValueForPoint({120, 105}), 1.0f);
    EXPECT_EQ(armValueForPoint({120, 20}), 0.0f);
    EXPECT_EQ(armValueForPoint({120, 200}), 1.0f);
}

TEST(Pointer, DialDragRisesWithHeightAndHasOnlyALowerLimit)
{
    EXPECT_FLOAT_EQ(dialValueForDrag(1.0f, {29, 215}, {29, 315}), 1.2f);
    EXPECT_FLOAT_EQ(dialValueForDrag(1.0f, {29, 215}, {500, 215}), 1.0f);
    EXPECT_EQ(dialValueForDrag(1.0f, {29, 215}, {29, -285}), 0.2f);
    EXPECT_FLOAT_EQ(dialValueForDrag(1.0f, {29, 215}, {29, 2215}), 5.0f);
    EXPECT_FLOAT_EQ(dialValueForDrag(0.5f, {29, 215}, {29, 115}), 0.3f);
}

TEST(Keyboard, LeadingIntegerIsReadLikeIntValue)
{
    EXPECT_EQ(leadingIntValue("7"), 7);
    EXPECT_EQ(leadingIntValue("  \t42x"), 42);
    EXPECT_EQ(leadingIntValue("+3"), 3);
    EXPECT_EQ(leadingIntValue("-2"), -2);
    EXPECT_EQ(leadingIntValue("a1"), 0);
    EXPECT_EQ(leadingIntValue(""), 0);
    EXPECT_EQ(leadingIntValue("-"), 0);
    EXPECT_EQ(leadingIntValue("99999999999"), INT_MAX);
    EXPECT_EQ(leadingIntValue("-99999999999"), INT_MIN);
}

TEST(Keyboard, OnlyDigitsSetTheVolume)
{
    EXPECT_EQ(musicVolumeForKeyText("5"), 0.5f);
    EXPECT_EQ(musicVolumeForKeyText("1"), 0.1f);
    EXPECT_EQ(musicVolumeForKeyText("9"), 0.9f);
    EXPECT_EQ(musicVolumeForKeyText("0"), 1.0f);
    EXPECT_FALSE(musicVolumeForKeyText("00").has_value());
    EXPECT_FALSE(musicVolumeForKeyText(" ").has_value());
    EXPECT_FALSE(musicVolumeForKeyText("a").has_value());
    EXPECT_FALSE(musicVolumeForKeyText("").has_value());
}

TEST(FileDrop, FirstPathMustContainADotAndAnAcceptedTypeCaseSensitively)
{
    const auto types = GXQTMusic::musicFileType();
    EXPECT_TRUE(acceptableObject({"/home/u/song.mp3", "/home/u/notes.txt"}, types));
    EXPECT_FALSE(acceptableObject({"/home/u/notes.txt", "/home/u/song.mp3"}, types));
    EXPECT_FALSE(acceptableObject({"/home/u/Song.Mp3"}, types));
    EXPECT_TRUE(acceptableObject({"/home/u/take.mpeg2"}, types));
    EXPECT_TRUE(acceptableObject({"/Music/old.mp3s/readme.txt"}, types));
    EXPECT_TRUE(acceptableObject({"/x/LOUD.AIFF"}, types));
    EXPECT_FALSE(acceptableObject({"/x/mp3"}, types));
    EXPECT_FALSE(acceptableObject({}, types));
}
