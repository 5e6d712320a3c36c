#include "turntable/TurntableFit.h"

#include <algorithm>
#include <cmath>

namespace gx::turntable {

Fit fitTurntable(float widgetWidth, float widgetHeight, float tableWidth, float tableHeight, float devicePixelRatio)
{
    if (!(tableWidth > 0.0f) || !(tableHeight > 0.0f) || !(devicePixelRatio > 0.0f))
        return {};
    // The largest pictures we make are twice the turntable's points: it grows
    // no further than they reach on this screen, so no picture is blown up.
    const float largest = std::max(1.0f, 2.0f / devicePixelRatio);
    Fit fit;
    fit.scale = std::clamp(std::min(widgetWidth / tableWidth, widgetHeight / tableHeight), 1.0f, largest);
    // On whole device pixels, so the pictures' pixels meet the screen's.
    const auto centred = [devicePixelRatio](float room) {
        return std::max(0.0f, std::floor(room / 2.0f * devicePixelRatio) / devicePixelRatio);
    };
    fit.x = centred(widgetWidth - tableWidth * fit.scale);
    fit.y = centred(widgetHeight - tableHeight * fit.scale);
    return fit;
}

} // namespace gx::turntable
