#pragma once
// What the turntable showed last, and what differs now: the one record of it
// that both the redraw (which layers to paint again) and what assistive
// technology is told (which controls changed) read. No toolkit.
#include <string>
#include <utility>

namespace gx {

class TurntableModel;

// What a person sees or hears of the turntable, at the grain at which it
// shows: the arm by its frame and, for a screen reader, by the second.
struct TurntableLook {
    float diskRotate = 0.0f;
    float diskFraction = 0.0f;
    int armFrame = 0;
    int dialFrame = 0;
    bool switchOn = false;
    bool fileDragging = false;
    bool enable = false;
    long long armSecond = 0;
    long long dialHundredths = 100;
    std::string title; // the record's name, UTF-8

    // The model's look, with the song's length and title known to the widget.
    static TurntableLook of(const TurntableModel& model, double songSeconds, std::string title);
};

struct TurntableChanges {
    bool faded = false;  // the record's opacity: the whole record and its reflection
    bool turned = false; // the angle of a record that shows
    bool arm = false;
    bool dial = false;
    bool switchOn = false;
    bool highlight = false;
    bool enable = false;
    bool armSecond = false;
    bool dialValue = false;
    bool title = false;

    bool any() const;
    // Only the record turned: nothing else that shows changed.
    bool onlyTurned() const;
};

class TurntableChangeTracker {
public:
    explicit TurntableChangeTracker(TurntableLook shown = {})
        : shown_(std::move(shown))
    {
    }
    // What differs between the look last shown and this one.
    TurntableChanges compare(const TurntableLook& now) const;
    // This look is shown from now on.
    void show(TurntableLook now) { shown_ = std::move(now); }

private:
    TurntableLook shown_;
};

} // namespace gx
