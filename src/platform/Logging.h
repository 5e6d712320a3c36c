#pragma once
// One logging category per room. A run without failures prints nothing; a
// failure that a library or the system reports is logged once, at warning
// level, with its reason. QT_LOGGING_RULES="gx.*.debug=true" tells the story
// of a run.
#include <QLoggingCategory>

namespace gx {

Q_DECLARE_LOGGING_CATEGORY(logPlatform) // gx.platform: threads, the single instance, resources
Q_DECLARE_LOGGING_CATEGORY(logSettings) // gx.settings: the settings file
Q_DECLARE_LOGGING_CATEGORY(logSound)    // gx.sound: the mixer, SDL and the sound device
Q_DECLARE_LOGGING_CATEGORY(logDecoder)  // gx.decoder: FFmpeg, opening and decoding files
Q_DECLARE_LOGGING_CATEGORY(logView)     // gx.view: the turntable's pictures and covers
Q_DECLARE_LOGGING_CATEGORY(logEngine)   // gx.engine: the song, its transport and the queue
Q_DECLARE_LOGGING_CATEGORY(logHandOver) // gx.handover: folders and playlists handed over
Q_DECLARE_LOGGING_CATEGORY(logBus)      // gx.bus: MPRIS on the session bus
Q_DECLARE_LOGGING_CATEGORY(logApp)      // gx.app: files, menus and start-up

} // namespace gx
