#include "ArmGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gx::art {

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

QPointF fingerAt(double angleDeg)
{
    const QPointF u = armAlong(angleDeg), n = armAcross(angleDeg);
    return kArmPivot + u * (kArmEffectiveLength + kFingerAlong) + n * kFingerAcross;
}

} // namespace

QPointF armAlong(double angleDeg)
{
    return {std::cos(angleDeg * kDeg), std::sin(angleDeg * kDeg)};
}

QPointF armAcross(double angleDeg)
{
    // The along-vector turned by +90 degrees: with the arm pointing left this
    // is downward, away from the record on the arm's other side.
    const QPointF u = armAlong(angleDeg);
    return {-u.y(), u.x()};
}

QPointF headshellAxis()
{
    // Turned inward, toward -y, so the stylus sits on the pivot-stylus line
    // while the tube runs a little outside it.
    const double beta = kHeadshellOffsetDeg * kDeg;
    return {std::cos(beta), -std::sin(beta)};
}

QPointF headshellJoint()
{
    return QPointF(kArmEffectiveLength, 0) - headshellAxis() * kHeadshellToStylus;
}

QPointF armToView(const ArmPose& pose, QPointF local)
{
    return kArmPivot + armAlong(pose.angleDeg) * local.x() + armAcross(pose.angleDeg) * local.y();
}

double fingerHeightForFrame(int frame)
{
    if (frame <= 0)
        return kRestFingerY;
    const double band = kArmDragSpan / kArmFrames;
    return kArmDragBottom + band * (frame + 0.5);
}

ArmPose armPose(int frame)
{
    frame = std::clamp(frame, 0, kArmFrames - 1);
    const double target = fingerHeightForFrame(frame);
    // Between these angles the finger height falls steadily as the angle
    // grows (the arm points left and swings downward), so bisection finds
    // the one angle with the wanted height.
    double lo = 140.0, hi = 215.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (fingerAt(mid).y() > target)
            lo = mid;
        else
            hi = mid;
    }
    ArmPose pose;
    pose.angleDeg = 0.5 * (lo + hi);
    pose.stylus = kArmPivot + armAlong(pose.angleDeg) * kArmEffectiveLength;
    pose.finger = fingerAt(pose.angleDeg);
    return pose;
}

} // namespace gx::art
