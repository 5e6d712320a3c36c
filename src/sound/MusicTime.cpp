#include "sound/MusicTime.h"

#include <cmath>
#include <limits>

namespace gx {

std::int32_t truncateToInt32(float value)
{
    if (std::isnan(value))
        return 0;
    // 2^31 is exactly representable; anything at or above it would overflow.
    constexpr float kLimit = 2147483648.0f;
    if (value >= kLimit)
        return std::numeric_limits<std::int32_t>::max();
    if (value < -kLimit)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

float secondsFromTimeValue(std::int32_t timeValue, std::int32_t timeScale)
{
    if (timeScale == 0)
        return 0.0f;
    const float value = static_cast<float>(timeValue);
    const float scale = static_cast<float>(timeScale);
    return value / scale;
}

std::int32_t timeValueFromSeconds(float seconds, std::int32_t timeScale)
{
    const float product = seconds * static_cast<float>(timeScale);
    return truncateToInt32(product);
}

std::int16_t engineVolumeFromFraction(float fraction)
{
    const float product = fraction * 255.0f;
    const auto low = static_cast<std::uint16_t>(static_cast<std::uint32_t>(truncateToInt32(product)) & 0xFFFFu);
    return static_cast<std::int16_t>(low);
}

float gainFromEngineVolume(std::int16_t volume)
{
    return volume <= 0 ? 0.0f : static_cast<float>(volume) / 256.0f;
}

} // namespace gx
