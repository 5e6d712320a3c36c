#include "turntable/TurntableModel.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "sound/Sound.h"
#include "turntable/TurntableLogic.h"

#include <algorithm>
#include <cmath>

namespace tt = gx::turntable;

namespace gx {

void TurntableModel::setSwitchValue(float value)
{
    // Truncation toward zero is non-zero exactly when |value| >= 1.
    switchValue_.store(std::fabs(value) >= 1.0f);
}

void TurntableModel::post(const std::string& name) const
{
    NotificationCenter::defaultCenter().postNotificationName(name, this);
}

void TurntableModel::changed() const
{
    if (hooks_.changed)
        hooks_.changed();
}

// --- The record turning ------------------------------------------------------

void TurntableModel::play()
{
    if (isPlaying_.load())
        return;
    isPlaying_.store(true);
    switchValue_.store(true);
    firstTickDue_ = true;
    if (hooks_.startSpinClock)
        hooks_.startSpinClock();
}

void TurntableModel::stop()
{
    switchValue_.store(false);
    isPlaying_.store(false);
}

bool TurntableModel::clockTick()
{
    if (!firstTickDue_ && !isPlaying_.load()) {
        // Stopped between two passes: the last tick's turn and the switch
        // turned off are shown now.
        changed();
        return false;
    }
    firstTickDue_ = false;
    spinOnce();
    return isPlaying_.load();
}

void TurntableModel::spinOnce()
{
    const tt::SpinTickResult tick
        = tt::spinTick({diskRotate_.load(), diskFraction_.load()}, diskSpeed_.load(), switchValue_.load());
    diskRotate_.store(tick.state.diskRotate);
    if (tick.stopped) {
        stop();
        // The controller stops the engine and plays the stop sound here; it
        // may also start the next song, which plays the record anew.
        post(names::recordStopped);
    }
    diskFraction_.store(tick.state.diskFraction);
    changed();
}

// --- Gestures ----------------------------------------------------------------

void TurntableModel::pressSwitch()
{
    if (!enabled_.load())
        return;
    switchValue_.store(!switchValue_.load());
    changed();
    post(names::playButtonClicked);
}

void TurntableModel::liftArm(float armValue)
{
    if (!enabled_.load())
        return;
    heldArmValue_ = std::clamp(armValue, 0.0f, 1.0f);
    armValue_.store(heldArmValue_);
    changed();
    isArmDragging_.store(true);
    post(names::armDragStarted);
}

void TurntableModel::moveArm(float armValue)
{
    if (!enabled_.load() || !isArmDragging_.load())
        return;
    heldArmValue_ = std::clamp(armValue, 0.0f, 1.0f);
    armValue_.store(heldArmValue_);
    changed();
}

void TurntableModel::layArm()
{
    if (!enabled_.load() || !isArmDragging_.load())
        return;
    // Observers of the end already see the arm down, where it was held.
    armValue_.store(heldArmValue_);
    isArmDragging_.store(false);
    post(names::armDragEnded);
}

void TurntableModel::setArmPlace(float armValue)
{
    liftArm(armValue);
    layArm();
}

void TurntableModel::turnDial(float value)
{
    if (!enabled_.load())
        return;
    dialValue_.store(std::isnan(value) ? dialValue_.load() : std::max(value, tt::minimumDialValue));
    changed();
    post(names::dialDragged);
}

void TurntableModel::resetDial()
{
    turnDial(1.0f);
}

void TurntableModel::keyDown(const std::string& characters)
{
    const std::optional<float> volume = tt::musicVolumeForKeyText(characters);
    if (!volume)
        return;
    if (hooks_.setMusicVolume)
        hooks_.setMusicVolume(*volume);
}

bool TurntableModel::acceptsFiles(const std::vector<std::string>& paths)
{
    return tt::acceptsFiles(paths, Sound::acceptedTypes());
}

bool TurntableModel::dragEntered(const std::vector<std::string>& paths)
{
    if (!acceptsFiles(paths))
        return false;
    isFileDragging_ = true;
    changed();
    return true;
}

void TurntableModel::dragExited()
{
    isFileDragging_ = false;
    changed();
}

bool TurntableModel::drop(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return false;
    // The controller opens and starts the file before the drop completes.
    if (hooks_.openSong)
        hooks_.openSong(paths.front());
    return true;
}

// --- The pointer -------------------------------------------------------------

void TurntableModel::mouseDown(PointF p, int clickCount)
{
    if (!enabled_.load())
        return;
    if (tt::pointInRect(p, tt::armDraggRect))
        liftArm(tt::armValueForPoint(p));
    if (tt::pointInRect(p, tt::dialDraggRect)) {
        if (clickCount > 1) {
            resetDial();
        } else {
            // Nothing is told until the dial moves.
            dragStartPoint_ = p;
            isDialDragging_ = true;
            dialValueBeforeDrag_ = dialValue_.load();
        }
    }
    if (tt::pointInRect(p, tt::playBtnRect))
        pressSwitch();
}

void TurntableModel::mouseDragged(PointF p)
{
    if (!enabled_.load())
        return;
    if (isArmDragging_.load())
        moveArm(tt::armValueForPoint(p));
    // Told on every move while the dial is held, changed or not.
    if (isDialDragging_)
        turnDial(tt::dialValueForDrag(dialValueBeforeDrag_, dragStartPoint_, p));
}

void TurntableModel::mouseUp(PointF)
{
    if (!enabled_.load())
        return;
    layArm();
    isDialDragging_ = false;
}

} // namespace gx
