#include "turntable/TurntableLogic.h"

#include "platform/StepInDouble.h"

#include <cctype>
#include <climits>
#include <cmath>

namespace gx::turntable {

bool pointInRect(PointF p, RectF r)
{
    return p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height;
}

SpinTickResult spinTick(SpinState state, float diskSpeed, bool switchValue)
{
    // Each step is taken in double precision from the stored floats and
    // stored back as a float; the comparisons are made on what is stored.
    SpinTickResult result {state, false};
    float rotate = gx::stepInDouble(state.diskRotate, -(static_cast<double>(diskSpeed) * 4.0));
    if (rotate < -360.0f) {
        rotate = gx::stepInDouble(rotate, 360.0);
        if (!switchValue) {
            rotate = 0.0f;
            result.stopped = true;
        }
    }
    result.state.diskRotate = rotate;

    if (state.diskFraction < 1.0f) {
        float fraction = gx::stepInDouble(state.diskFraction, 0.01);
        if (fraction >= 1.0f)
            fraction = 1.0f;
        result.state.diskFraction = fraction;
    }
    return result;
}

int armFrameIndex(float armValue)
{
    const double frame = std::trunc(static_cast<double>(armValue) * armFrameCount);
    if (!(frame > 0.0)) // also NaN
        return 0;
    if (frame > armFrameCount - 1)
        return armFrameCount - 1;
    return static_cast<int>(frame);
}

int dialFrameIndex(float dialValue)
{
    // The product is rounded to a float before truncation, so a value stored
    // just below a hundredth stays on the lower frame.
    const float product = dialValue * 100.0f;
    if (!std::isfinite(product))
        return 0;
    // fmod keeps the sign of the dividend, as the integer remainder does,
    // and stays defined for products beyond the int range.
    return static_cast<int>(std::fmod(std::trunc(static_cast<double>(product)), 5.0));
}

float armValueForPoint(PointF p)
{
    float value = (p.y - armDraggRect.y) / armTravel;
    if (value < 0.0f)
        value = 0.0f;
    if (value > 1.0f)
        value = 1.0f;
    return value;
}

float dialValueForDrag(float dialValueBeforeDrag, PointF dragStartPoint, PointF p)
{
    const float rise = dragStartPoint.y - p.y;
    float value = gx::stepInDouble(dialValueBeforeDrag, -(static_cast<double>(rise) * dialRatePerPoint));
    if (static_cast<double>(value) < lowestDialRate)
        value = minimumDialValue;
    return value;
}

int leadingIntValue(const std::string& s)
{
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n && std::isspace(static_cast<unsigned char>(s[i])))
        ++i;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < n; ++i) {
        const char c = s[i];
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // saturate, keep scanning
    }
    if (negative)
        return value > INT_MAX ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::optional<float> musicVolumeForKeyText(const std::string& text)
{
    const int n = leadingIntValue(text);
    if (n != 0)
        return static_cast<float>(n / 10.0);
    if (text == "0")
        return 1.0f;
    return std::nullopt;
}

bool acceptsFiles(const std::vector<std::string>& paths, const std::vector<std::string>& fileTypes)
{
    if (paths.empty())
        return false;
    const std::string& first = paths.front();
    for (const std::string& type : fileTypes)
        if (first.find('.' + type) != std::string::npos)
            return true;
    return false;
}

} // namespace gx::turntable
