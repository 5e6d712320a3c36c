#pragma once
// libasound and SDL write their complaints to standard error themselves, the
// same lines at every try to open a device: eight lines a second while a song
// plays with no device. Routed here instead, each distinct line is logged
// once, as a warning under gx.sound.
#include <QString>

namespace gx {

// Takes libasound's and SDL's messages from now on. Call before SDL's audio
// starts; any thread.
void routeSoundLibraryMessages();

// Logs the message under gx.sound unless it was logged before. Any thread.
void logSoundOnce(const QString& message);

} // namespace gx
