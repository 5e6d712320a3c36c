#pragma once
// The turntable's model: where the record, the arm, the dial and the switch
// stand, the spin tick that turns the record, and every gesture on them. Each
// gesture is written here once and posts its notification once; the widget
// (gx::TurntableView) turns pointer, key and drop events into these calls, and
// the menus, assistive technology and the desktop's media controls call the
// same ones. No toolkit: what the model needs of the program around it comes
// through TurntableHooks.
//
// Threads: everything runs on the main thread, the spin clock included, but
// for the accessors the controller's jukebox thread calls (armValue,
// setArmValue, setDiskSpeed, isArmDragging). The model fields are single
// atomic values; the rest is the main thread's.
#include "turntable/TurntableGeometry.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace gx {

// What the model asks of the program around it; any may be left empty.
struct TurntableHooks {
    // Something shown may have changed: redraw what differs.
    std::function<void()> changed;
    // play() began a run: call clockTick() every 0.02 s until it answers false.
    std::function<void()> startSpinClock;
    // A digit key's music volume, for the player to set.
    std::function<void(float)> setMusicVolume;
    // A file dropped on the turntable, to be opened and played at once.
    std::function<void(const std::string&)> openSong;
};

class TurntableModel {
public:
    using PointF = turntable::PointF;

    TurntableHooks& hooks() { return hooks_; }

    // Plain accessors: none notifies, none clamps.
    float armValue() const { return armValue_.load(); }
    void setArmValue(float value) { armValue_.store(value); }
    bool isEnabled() const { return enabled_.load(); }
    void setEnabled(bool value) { enabled_.store(value); }
    float diskSpeed() const { return diskSpeed_.load(); }
    void setDiskSpeed(float value) { diskSpeed_.store(value); }
    float dialValue() const { return dialValue_.load(); }
    void setDialValue(float value) { dialValue_.store(value); }
    bool switchValue() const { return switchValue_.load(); }
    // Truncates toward zero: values strictly between -1 and 1 (and NaN) turn
    // the switch off, anything else turns it on.
    void setSwitchValue(float value);
    bool isPlaying() const { return isPlaying_.load(); }
    bool isArmDragging() const { return isArmDragging_.load(); }
    bool isDialDragging() const { return isDialDragging_; }
    bool isFileDragging() const { return isFileDragging_; }
    float diskRotate() const { return diskRotate_.load(); }
    float diskFraction() const { return diskFraction_.load(); }

    // --- The record turning
    // Starts a run of the spin clock unless one runs, and turns the switch on.
    void play();
    // Turns the switch off; the clock ends at its next pass. Tells nobody.
    void stop();
    // One pass of the spin clock: the tick, unless the record was stopped
    // since the last pass (the first pass of a run always ticks). Answers
    // whether the clock goes on.
    bool clockTick();
    // The tick's work: turn, maybe come to rest (stop, and post the
    // disc-stopped notification), fade in, then say that it changed.
    void spinOnce();

    // --- Gestures. Those of the controls do nothing until enabled.
    void pressSwitch();
    // Lifts the arm to a place on the record (0 to 1, held there), moves it
    // while lifted, lays it down where it is.
    void liftArm(float armValue);
    void moveArm(float armValue);
    void layArm();
    // Lifts the arm and lays it down at once: a jump to that place.
    void setArmPlace(float armValue);
    // Where the last gesture laid the arm. The jukebox thread's tick may
    // still write a position read just before the arm was lifted; the place
    // the song jumps to comes from here instead.
    float laidArmValue() const { return heldArmValue_; }
    // Turns the dial to a rate, never below its floor.
    void turnDial(float value);
    // Back to normal speed.
    void resetDial();
    // The digit keys' music volume; works from the start.
    void keyDown(const std::string& characters);
    // Whether a drag of these files may be dropped: the first path holds "."
    // and one of the accepted types, anywhere, case by case.
    static bool acceptsFiles(const std::vector<std::string>& paths);
    // A drag of these files hovers over the turntable: answers whether it may
    // be dropped (the highlight is on while it may).
    bool dragEntered(const std::vector<std::string>& paths);
    void dragExited();
    // Hands the first file to be opened; answers false for an empty list.
    bool drop(const std::vector<std::string>& paths);

    // --- The pointer, in view points (origin bottom-left, y up)
    void mouseDown(PointF p, int clickCount);
    void mouseDragged(PointF p);
    void mouseUp(PointF p);

private:
    void post(const std::string& name) const;
    void changed() const;

    TurntableHooks hooks_;

    // --- any thread, each field atomic
    std::atomic<float> diskRotate_ {0.0f};
    std::atomic<float> diskFraction_ {0.0f};
    std::atomic<float> diskSpeed_ {1.0f};
    std::atomic<float> armValue_ {0.0f};
    std::atomic<float> dialValue_ {1.0f};
    std::atomic<bool> enabled_ {false};
    std::atomic<bool> isPlaying_ {false};
    std::atomic<bool> switchValue_ {false};
    std::atomic<bool> isArmDragging_ {false};

    // --- main thread only
    float heldArmValue_ = 0.0f;
    bool isDialDragging_ = false;
    bool isFileDragging_ = false;
    bool firstTickDue_ = false; // a run's first pass ticks whatever happened since play
    float dialValueBeforeDrag_ = 0.0f;
    PointF dragStartPoint_;
};

} // namespace gx
