#pragma once
// Every notification of the turntable's gestures, the record's stop and the
// preferences, in order (main thread). Header-only, as the end-to-end test
// builds the shared support without the player's code.
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

namespace gx::test {

class NotificationLog {
public:
    NotificationLog()
    {
        for (const std::string* name : {&names::playButtonClicked, &names::armDragStarted, &names::armDragEnded,
                 &names::recordStopped, &names::dialDragged, &names::preferenceChanged})
            NotificationCenter::defaultCenter().addObserver(
                this, [this](const Notification& n) { names_.push_back(n.name); }, *name);
    }
    ~NotificationLog() { NotificationCenter::defaultCenter().removeObserver(this); }
    std::vector<std::string> names() const { return names_; }

private:
    std::vector<std::string> names_;
};

} // namespace gx::test
