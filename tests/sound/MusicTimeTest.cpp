#include "sound/MusicTime.h"

#include "support/TestSupport.h"
#include <limits>
#include <tuple>

using namespace gx;

TEST(MusicTime, TimeValuesTruncateTheSinglePrecisionProductAndClamp)
{
    constexpr auto maxI = std::numeric_limits<std::int32_t>::max(), minI = std::numeric_limits<std::int32_t>::min();
    const std::tuple<float, std::int32_t, std::int32_t> cases[]
        = {{2.5f, 600, 1500}, {5.99f, 10, 59}, {-1.5f, 10, -15}, {0.29f, 100, 29}, // 28.99999917 as float: 29
            {1e30f, 44100, maxI}, {-1e30f, 44100, minI}, {std::nanf(""), 44100, 0}};
    for (const auto& [seconds, scale, value] : cases)
        EXPECT_EQ(timeValueFromSeconds(seconds, scale), value) << seconds << " x " << scale;
    EXPECT_EQ(truncateToInt32(2147483520.0f), 2147483520); // the largest float below 2^31
    EXPECT_EQ(secondsFromTimeValue(1500, 600), 2.5f);
    EXPECT_EQ(secondsFromTimeValue(100, 0), 0.0f);             // no sound
    EXPECT_EQ(secondsFromTimeValue(16777217, 1), 16777216.0f); // the nearest floats are divided
}

TEST(MusicTime, EngineVolumeIsEightDotEightAndGainItsQuotientBy256)
{
    const std::pair<float, std::int16_t> volumes[]
        = {{1.0f, 255}, {0.8f, 204}, {0.5f, 127}, {0.999f, 254}, {-1.0f, -255}, {std::nanf(""), 0},
            {200.0f, static_cast<std::int16_t>(51000 - 65536)}, // only the low 16 bits are kept
            {1e30f, -1}};
    for (const auto& [fraction, volume] : volumes)
        EXPECT_EQ(engineVolumeFromFraction(fraction), volume) << fraction;
    const std::pair<std::int16_t, float> gains[] = {{256, 1.0f}, {255, 255.0f / 256.0f}, {128, 0.5f}, {-255, 0.0f}};
    for (const auto& [volume, gain] : gains)
        EXPECT_EQ(gainFromEngineVolume(volume), gain) << volume;
}
