#pragma once
// Where everything on the turntable is, in view points (origin bottom-left,
// y up): one list for the view, which places and hit-tests the images, and
// for the artwork generator in tools/, which paints them to fit. No toolkit.
namespace gx::turntable {

struct PointF {
    float x = 0.0f;
    float y = 0.0f;
};

// x, y is the bottom-left corner.
struct RectF {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

// The size the view takes when its background image is missing, and the size
// the background is painted at.
inline constexpr float defaultViewWidth = 340.0f;
inline constexpr float defaultViewHeight = 280.0f;

inline constexpr RectF diskRect {27.5f, 34.0f, 221.0f, 221.0f};
inline constexpr PointF discCentre {diskRect.x + diskRect.width / 2.0f, diskRect.y + diskRect.height / 2.0f};
// The label's printing reaches this far from the centre.
inline constexpr float labelRadius = 38.0f;
// The view turns the label alone out to a point beyond its printing, so that
// the smoothed edge of the print turns with it.
inline constexpr float labelTurnRadius = labelRadius + 1.0f;

inline constexpr RectF diskAndArmRect {13.0f, 0.0f, 290.0f, 260.0f};
inline constexpr RectF armDraggRect {101.0f, 31.0f, 60.0f, 75.0f};
inline constexpr RectF dialDraggRect {19.0f, 205.0f, 20.0f, 20.0f};
inline constexpr int dialFrameCount = 5;
inline constexpr RectF playBtnRect {13.0f, 31.0f, 52.0f, 52.0f};

// Where the unrotated layers go.
inline constexpr PointF reflectOrigin {diskRect.x, diskRect.y};
inline constexpr PointF centrePieceOrigin {119.0f, 137.0f};
inline constexpr float centrePieceWidth = 38.0f;
inline constexpr float centrePieceHeight = 15.0f;
inline constexpr PointF armOrigin {70.0f, 0.0f};
inline constexpr float armFrameWidth = 246.0f;
inline constexpr float armFrameHeight = 151.0f;
inline constexpr int armFrameCount = 50;
inline constexpr float highlightWidth = 2.0f;

// The arm follows the pointer's height over its travel from the bottom of
// the drag area; the top 10 points of the area hold it at the end.
inline constexpr float armTravel = armDraggRect.height - 10.0f;

} // namespace gx::turntable
