#pragma once
// The names that travel through the notification centre.
#include <string>

namespace gx::names {

inline const std::string playButtonClicked = "GXPlayButtonClickedNotification";
inline const std::string armDragStarted = "GXArmDragStartedNotification";
inline const std::string armDragEnded = "GXArmDragEndedNotification";
inline const std::string recordStopped = "GXRecordStoppedNotification";
inline const std::string dialDragged = "GXDialDraggedNotification";
inline const std::string preferenceChanged = "GXPreferenceChangedNotification";

} // namespace gx::names
