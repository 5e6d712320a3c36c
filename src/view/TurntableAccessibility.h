#pragma once
// What the turntable tells assistive technology. The view is one widget that
// draws its controls itself, so each control is described here as a part of
// it: the switch as a toggle button with its state, the tone arm as a slider
// whose value is the song's position in seconds, the speed dial as a slider
// whose value is the rate, and the record as an image named after the song.
// A control set through assistive technology takes the model's gesture, as
// the pointer does. Names come from the string table.
class QAccessibleEvent;
class QString;

namespace gx {

class TurntableView;

class TurntableAnnouncer;
struct TurntableChanges;

// Installs the interfaces (once per process) and answers the view's
// announcer, a child of the view.
TurntableAnnouncer* makeTurntableAccessible(TurntableView* view);
// Tells listening assistive technology what the view has just shown changed;
// the view calls it on the main thread.
void announceTurntableChanges(TurntableAnnouncer* announcer, const TurntableChanges& changes);
// Says a passing change ("Volume 70 %") as the view's description.
void announceTurntableFeedback(TurntableView* view, const QString& text);

// Where the change events go: to Qt, which passes them on only while
// assistive technology listens, or, once set, to a test's recorder (then
// they are made whether anything listens or not). nullptr gives them back
// to Qt.
using TurntableEventSink = void (*)(QAccessibleEvent* event);
void setTurntableEventSink(TurntableEventSink sink);

} // namespace gx
