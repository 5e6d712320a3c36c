#pragma once
// The names that travel through the notification centre.
#include <string>

namespace gx::names {

inline const std::string playBtnClicked = "GXPlayBtnClickedNotification";
inline const std::string armStartDragg = "GXArmStartDraggNotification";
inline const std::string armEndDragg = "GXArmEndDraggNotification";
inline const std::string recordDiskStoped = "GXRecordDiskStopedNotification";
inline const std::string dialDragged = "GXDialDraggedNotification";
inline const std::string preferenceChanged = "GXPreferenceChangedNotification";
inline const std::string musicVolChanged = "GXMusicVolChanged";

} // namespace gx::names
