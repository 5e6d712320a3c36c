#include "sound/MusicTime.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

using namespace gx;

TEST(MusicTime, TimeValueFromSecondsTruncatesInSinglePrecision)
{
    EXPECT_EQ(timeValueFromSeconds(2.5f, 600), 1500);
    EXPECT_EQ(timeValueFromSeconds(5.99f, 10), 59);
    EXPECT_EQ(timeValueFromSeconds(-1.5f, 10), -15); // toward zero, not down
    // The product is rounded to single precision before truncating: 0.29f
    // times 100 is 28.99999917 exactly, which rounds to 29.0f (double would
    // truncate to 28).
    EXPECT_EQ(timeValueFromSeconds(0.29f, 100), 29);
}

TEST(MusicTime, HugeAndNanSecondsClampInsteadOfOverflowing)
{
    const auto maxI = std::numeric_limits<std::int32_t>::max();
    const auto minI = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(timeValueFromSeconds(1e30f, 44100), maxI);
    EXPECT_EQ(timeValueFromSeconds(-1e30f, 44100), minI);
    EXPECT_EQ(timeValueFromSeconds(std::numeric_limits<float>::infinity(), 10), maxI);
    EXPECT_EQ(timeValueFromSeconds(std::nanf(""), 44100), 0);
    EXPECT_EQ(truncateToInt32(2147483648.0f), maxI);
    EXPECT_EQ(truncateToInt32(2147483520.0f), 2147483520); // largest float below 2^31
    EXPECT_EQ(truncateToInt32(-2147483648.0f), minI);
}

TEST(MusicTime, SecondsDivideTheNearestFloats)
{
    EXPECT_EQ(secondsFromTimeValue(1500, 600), 2.5f);
    EXPECT_EQ(secondsFromTimeValue(0, 44100), 0.0f);
    EXPECT_EQ(secondsFromTimeValue(100, 0), 0.0f); // no movie
    // 16777217 has no float; it becomes 16777216 before the division.
    EXPECT_EQ(secondsFromTimeValue(16777217, 1), 16777216.0f);
    const float expected = static_cast<float>(13230000) / static_cast<float>(44100);
    const float got = secondsFromTimeValue(13230000, 44100);
    EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0);
}

TEST(MusicTime, EngineVolumeIsEightDotEightOfTheFraction)
{
    EXPECT_EQ(engineVolumeFromFraction(1.0f), 255);
    EXPECT_EQ(engineVolumeFromFraction(0.8f), 204);
    EXPECT_EQ(engineVolumeFromFraction(0.5f), 127);
    EXPECT_EQ(engineVolumeFromFraction(0.0f), 0);
    EXPECT_EQ(engineVolumeFromFraction(0.999f), 254);
    // Only the low 16 bits are kept: 200 * 255 = 51000 wraps negative.
    EXPECT_EQ(engineVolumeFromFraction(200.0f), static_cast<std::int16_t>(51000 - 65536));
    EXPECT_EQ(engineVolumeFromFraction(-1.0f), -255);
    EXPECT_EQ(engineVolumeFromFraction(std::nanf("")), 0);
    EXPECT_EQ(engineVolumeFromFraction(1e30f), -1); // clamped to INT32_MAX, low bits all set
}

TEST(MusicTime, GainIsVolumeOver256AndNegativeIsSilent)
{
    EXPECT_EQ(gainFromEngineVolume(kFullEngineVolume), 1.0f);
    EXPECT_EQ(gainFromEngineVolume(255), 255.0f / 256.0f);
    EXPECT_EQ(gainFromEngineVolume(128), 0.5f);
    EXPECT_EQ(gainFromEngineVolume(0), 0.0f);
    EXPECT_EQ(gainFromEngineVolume(-255), 0.0f);
    EXPECT_EQ(gainFromEngineVolume(512), 2.0f);
}
