#pragma once
// The five levels (floats 0.0 to 1.0), the Loudness choice and the
// recent-files list, as keys of the user-defaults store.
#include <QString>

namespace gx::keys {

inline const QString musicVolume = QStringLiteral("musicVolume");
inline const QString effectsVolume = QStringLiteral("effectsVolume");
inline const QString distortion = QStringLiteral("distortion");
inline const QString skip = QStringLiteral("skip");
inline const QString noise = QStringLiteral("noise");
inline const QString recentFiles = QStringLiteral("recentFiles");
// "off", "track" or "album": how songs' loudness is levelled.
inline const QString loudness = QStringLiteral("loudness");
// The main window's size and place (QWidget::saveGeometry, in base64).
inline const QString windowGeometry = QStringLiteral("windowGeometry");

// Registers the levels' defaults with the standard store (once per process).
void registerDefaults();

} // namespace gx::keys
