#pragma once
// The three exact conversion rules between seconds, time values and the 8.8
// engine volume. Positions and lengths are handed out as 32-bit time values of
// a per-sound time scale, and every caller must compute seconds the same way,
// so these are done in single precision exactly as stated and nowhere else.
#include <cstdint>

namespace gx {

// Truncates toward zero into the int32 range: values beyond it are clamped and
// NaN gives 0, so no input is undefined behaviour.
std::int32_t truncateToInt32(float value);

// Seconds of a time value: both converted to the nearest float, then divided
// in single precision. A time scale of 0 (no sound) answers 0.0.
float secondsFromTimeValue(std::int32_t timeValue, std::int32_t timeScale);

// Time value of seconds: seconds times the time scale in single precision,
// truncated toward zero (5.99 s at scale 10 is 59, not 60).
std::int32_t timeValueFromSeconds(float seconds, std::int32_t timeScale);

// Engine volume of a fraction: fraction * 255 in single precision, truncated,
// low 16 bits as a signed value (1.0 gives 255, 1/256 short of full).
std::int16_t engineVolumeFromFraction(float fraction);

// Linear gain of an engine volume: v / 256 (8.8 fixed point); negative is
// silent.
float gainFromEngineVolume(std::int16_t volume);

// The engine volume of a fresh sound: its own full volume, 1.0 in 8.8.
inline constexpr std::int16_t kFullEngineVolume = 256;

} // namespace gx
