#include "view/TurntableLogic.h"

#include "platform/StepInDouble.h"

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
    if (static_cast<double>(value) < 0.2)
        value = 0.2f;
    return value;
}

int leadingIntValue(const QString& s)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < n && (s.at(i) == u'+' || s.at(i) == u'-')) {
        negative = s.at(i) == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < n; ++i) {
        const char16_t c = s.at(i).unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // saturate, keep scanning
    }
    if (negative)
        return value > INT_MAX ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::optional<float> musicVolumeForKeyText(const QString& text)
{
    const int n = leadingIntValue(text);
    if (n != 0)
        return static_cast<float>(n / 10.0);
    if (text == QStringLiteral("0"))
        return 1.0f;
    return std::nullopt;
}

bool acceptableObject(const QStringList& paths, const std::vector<std::string>& fileTypes)
{
    if (paths.isEmpty())
        return false;
    const QString& first = paths.first();
    for (const std::string& type : fileTypes)
        if (first.contains(QLatin1Char('.') + QString::fromStdString(type), Qt::CaseSensitive))
            return true;
    return false;
}

} // namespace gx::turntable
