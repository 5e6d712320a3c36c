#include "view/TurntableChangeTracker.h"

#include "turntable/TurntableLogic.h"
#include "turntable/TurntableModel.h"

#include <cmath>

namespace gx {

TurntableLook TurntableLook::of(const TurntableModel& model, double songSeconds, std::string title)
{
    const double arm = static_cast<double>(model.armValue()) * songSeconds;
    const double dial = static_cast<double>(model.dialValue()) * 100.0;
    return {model.diskRotate(), model.diskFraction(), turntable::armFrameIndex(model.armValue()),
        turntable::dialFrameIndex(model.dialValue()), model.switchValue(), model.isFileDragging(), model.isEnabled(),
        std::isfinite(arm) ? std::llround(std::floor(arm)) : 0, std::isfinite(dial) ? std::llround(dial) : 0,
        std::move(title)};
}

bool TurntableChanges::any() const
{
    return turned || !onlyTurned();
}

bool TurntableChanges::onlyTurned() const
{
    return !(faded || arm || dial || switchOn || highlight || enable || armSecond || dialValue || title);
}

TurntableChanges TurntableChangeTracker::compare(const TurntableLook& now) const
{
    TurntableChanges c;
    c.faded = now.diskFraction != shown_.diskFraction;
    // A record that does not show has no angle to see.
    c.turned = now.diskFraction > 0.0f && !(now.diskRotate == shown_.diskRotate);
    c.arm = now.armFrame != shown_.armFrame;
    c.dial = now.dialFrame != shown_.dialFrame;
    c.switchOn = now.switchOn != shown_.switchOn;
    c.highlight = now.fileDragging != shown_.fileDragging;
    c.enable = now.enable != shown_.enable;
    c.armSecond = now.armSecond != shown_.armSecond;
    c.dialValue = now.dialHundredths != shown_.dialHundredths;
    c.title = now.title != shown_.title;
    return c;
}

} // namespace gx
