#pragma once
// Where the tone arm is in each frame of its film strip.
//
// The arm turns about a fixed pivot right of the record. The user drags it by
// the finger lift, and the view maps the pointer height linearly onto the arm
// value (31 points up to 96), so each frame is posed with the finger lift at
// the height that selects that frame. Frame 0 is the arm at rest, off the
// record.
#include "turntable/TurntableGeometry.h"

#include <QPointF>

namespace gx::art {

inline constexpr int kArmFrames = gx::turntable::armFrameCount;
inline constexpr double kArmFrameWidth = gx::turntable::armFrameWidth;
inline constexpr double kArmFrameHeight = gx::turntable::armFrameHeight;
// Bottom-left corner of every frame in the view.
inline constexpr QPointF kArmOrigin {gx::turntable::armOrigin.x, gx::turntable::armOrigin.y};
// Frame columns from here on are not refreshed while the record spins, so
// nothing that moves may reach them.
inline constexpr double kArmStaticFromX = 233.0;

inline constexpr QPointF kArmPivot {268.0, 68.0};
// Pivot to stylus tip.
inline constexpr double kArmEffectiveLength = 121.0;
// Finger lift relative to the stylus, along the pivot-stylus line and across
// it (positive: away from the record's centre).
inline constexpr double kFingerAlong = 4.0;
inline constexpr double kFingerAcross = 4.0;
// The headshell is turned inward by this much against the pivot-stylus line;
// it meets the tube this far before the stylus.
inline constexpr double kHeadshellOffsetDeg = 22.0;
inline constexpr double kHeadshellToStylus = 17.0;

// The pointer heights that the view maps onto arm values 0 and 1.
inline constexpr double kArmDragBottom = gx::turntable::armDraggRect.y;
inline constexpr double kArmDragSpan = gx::turntable::armTravel;
// Finger-lift height of the resting arm.
inline constexpr double kRestFingerY = 22.0;

struct ArmPose {
    double angleDeg = 0.0; // direction pivot -> stylus, counter-clockwise, view coordinates
    QPointF stylus;        // view points
    QPointF finger;        // view points
};

// Unit vectors of a pose: along the arm, and across it away from the record.
QPointF armAlong(double angleDeg);
QPointF armAcross(double angleDeg);

// Arm coordinates: origin at the pivot, x toward the stylus, y across away
// from the record. The tube runs straight from the pivot to this joint.
QPointF headshellJoint();
// Direction of the headshell's axis, in arm coordinates.
QPointF headshellAxis();
// An arm-coordinate point of `pose` in view points.
QPointF armToView(const ArmPose& pose, QPointF local);

// Finger-lift height that selects `frame`: the middle of the pointer band
// that the view turns into this frame index.
double fingerHeightForFrame(int frame);

// The pose of `frame` (clamped to 0..kArmFrames-1).
ArmPose armPose(int frame);

} // namespace gx::art
