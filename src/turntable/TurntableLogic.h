#pragma once
// The turntable's arithmetic, free of any toolkit so that it can be driven
// step by step: hit tests in view coordinates (origin bottom-left, y up; the
// places themselves are in TurntableGeometry.h), the spin tick, the frame
// choice of the arm and dial strips, and the small parsing and matching rules
// of the keyboard and file drops. Texts are UTF-8.
#include "turntable/TurntableGeometry.h"

#include <optional>
#include <string>
#include <vector>

namespace gx::turntable {

// Minimum edges inside, maximum edges outside.
bool pointInRect(PointF p, RectF r);

struct SpinState {
    float diskRotate = 0.0f;
    float diskFraction = 0.0f;
};

struct SpinTickResult {
    SpinState state;
    // The record came to rest at angle 0 because the switch was off when it
    // completed a turn; the loop must stop and say so.
    bool stopped = false;
};

// One turn step and fade step of the spinning record; 4 degrees per tick at
// speed 1.0. The switch is looked at only when a full turn completes.
SpinTickResult spinTick(SpinState state, float diskSpeed, bool switchValue);

// Frame of the 50-frame arm strip for an arm value; out of range and NaN
// values are held to the first or last frame.
int armFrameIndex(float armValue);

// Frame of the 5-frame dial strip: one frame per hundredth, repeating. A
// negative dial value gives a negative frame, which lies outside the strip
// and so draws nothing.
int dialFrameIndex(float dialValue);

// The arm value for the pointer's height over the arm's travel, held to 0..1.
float armValueForPoint(PointF p);

// The dial's floor, which no road passes, and the highest rate that the faces
// setting a number (the desktop's media controls, assistive technology) offer;
// by hand the dial turns higher. As decimals for those faces; the model keeps
// floats.
inline constexpr double lowestDialRate = 0.2;
inline constexpr double highestOfferedDialRate = 4.0;
inline constexpr float minimumDialValue = static_cast<float>(lowestDialRate);

// Dial value while dragging: 0.002 per point above the press, never below 0.2.
inline constexpr double dialRatePerPoint = 0.002;
float dialValueForDrag(float dialValueBeforeDrag, PointF dragStartPoint, PointF p);

// The integer at the start of a string: leading white space, an optional
// sign, then decimal digits; 0 when there are none. Saturates at the int range.
int leadingIntValue(const std::string& s);

// The music volume a typed key sets: digits 1 to 9 give tenths, "0" gives
// full volume; any other text sets nothing.
std::optional<float> musicVolumeForKeyText(const std::string& text);

// Whether a drag of these paths may be dropped: the first path must contain
// "." followed by one of the types, compared literally and case-sensitively
// anywhere in the path. An empty list is refused.
bool acceptsFiles(const std::vector<std::string>& paths, const std::vector<std::string>& fileTypes);

} // namespace gx::turntable
