// The tone arm's film strip: one frame per arm position, each a straight
// chrome tube with an offset headshell and finger lift, a counterweight on
// the rear stub, and a gimbal housing over the pivot that is the same in
// every frame.
#include "ArmGeometry.h"
#include "ArtCommon.h"
#include "Painters.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace gx::art {

namespace {

// The lamp is at the upper left of the image.
const QPointF kToLight(-0.7071, -0.7071);

constexpr double kTubeRadius = 3.1;
constexpr double kStubRadius = 2.2;
constexpr double kWeightRadius = 7.2;
constexpr double kWeightFront = -10.0, kWeightBack = -22.0;
constexpr double kHousingRadius = 11.0;

// Maps arm coordinates (origin at the pivot, x toward the stylus, y across
// away from the record; points) to frame image points.
QTransform armToFrame(const ArmPose& pose)
{
    const QPointF u = armAlong(pose.angleDeg), n = armAcross(pose.angleDeg);
    const QPointF o = toImage(kArmPivot, kArmOrigin, kArmFrameHeight);
    return QTransform(u.x(), -u.y(), n.x(), -n.y(), o.x(), o.y());
}

QPointF unit(QPointF v)
{
    const double len = std::hypot(v.x(), v.y());
    return len > 0 ? v / len : QPointF(1, 0);
}

// A transform whose x runs from a to b and whose y runs across, in the
// coordinates of `base`.
QTransform segmentFrame(QPointF a, QPointF b, const QTransform& base)
{
    const QPointF d = unit(b - a);
    const QTransform local(d.x(), d.y(), -d.y(), d.x(), a.x(), a.y());
    return local * base;
}

// Where across a cylinder (0 = the -y edge, 1 = the +y edge) the lamp's
// highlight falls, given the painter's transform in that cylinder's frame.
double highlightAt(const QTransform& t)
{
    const QPointF across = unit(t.map(QPointF(0, 1)) - t.map(QPointF(0, 0)));
    const double facing = across.x() * kToLight.x() + across.y() * kToLight.y();
    return std::clamp(0.5 + 0.32 * facing, 0.22, 0.78);
}

QLinearGradient chromeAcross(double radius, double hi, int darkest = 56)
{
    QLinearGradient g(0, -radius, 0, radius);
    g.setColorAt(0.0, QColor(darkest, darkest + 2, darkest + 10));
    g.setColorAt(std::max(0.05, hi - 0.2), QColor(168, 172, 182));
    g.setColorAt(hi, QColor(255, 255, 255));
    g.setColorAt(std::min(0.9, hi + 0.14), QColor(192, 196, 204));
    g.setColorAt(0.92, QColor(86, 88, 98));
    g.setColorAt(0.97, QColor(140, 142, 150));
    g.setColorAt(1.0, QColor(darkest - 10, darkest - 8, darkest));
    return g;
}

void drawCylinder(QPainter& p, const QTransform& base, QPointF a, QPointF b, double radius, double endRound = 0.35)
{
    const QTransform t = segmentFrame(a, b, base);
    p.save();
    p.setTransform(t, true);
    const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
    p.setPen(QPen(QColor(26, 26, 30, 200), 0.3));
    p.setBrush(chromeAcross(radius, highlightAt(p.transform())));
    p.drawRoundedRect(QRectF(0, -radius, len, 2 * radius), radius * endRound, radius * endRound);
    p.restore();
}

QPainterPath cylinderPath(QPointF a, QPointF b, double radius)
{
    const QPointF d = unit(b - a), n(-d.y(), d.x());
    QPainterPath path;
    path.moveTo(a + n * radius);
    path.lineTo(b + n * radius);
    path.lineTo(b - n * radius);
    path.lineTo(a - n * radius);
    path.closeSubpath();
    return path;
}

struct ArmParts {
    QPointF joint;        // where tube meets headshell, arm coordinates
    QPointF headDir;      // headshell axis, arm coordinates
    QTransform headToArm; // headshell coordinates -> arm coordinates
};

ArmParts armParts()
{
    ArmParts parts;
    parts.headDir = headshellAxis();
    parts.joint = headshellJoint();
    parts.headToArm = QTransform(
        parts.headDir.x(), parts.headDir.y(), -parts.headDir.y(), parts.headDir.x(), parts.joint.x(), parts.joint.y());
    return parts;
}

// Headshell outline in its own coordinates (x along it from the joint, y
// across toward the outside).
QPainterPath headshellPlate()
{
    QPainterPath path;
    path.moveTo(-1.0, -4.4);
    path.lineTo(19.5, -4.6);
    path.quadTo(22.0, -4.6, 22.0, -2.2);
    path.lineTo(22.0, 2.2);
    path.quadTo(22.0, 4.6, 19.5, 4.6);
    path.lineTo(-1.0, 4.4);
    path.closeSubpath();
    return path;
}

QPainterPath fingerLift()
{
    QPainterPath path;
    path.moveTo(13.0, 3.6);
    path.cubicTo(15.0, 7.0, 18.0, 8.2, 21.2, 8.6);
    return path;
}

QPainterPath movingShape(const ArmParts& parts)
{
    // Everything that turns, in arm coordinates, for the shadow.
    QPainterPath shape;
    shape.setFillRule(Qt::WindingFill);
    shape.addPath(cylinderPath(QPointF(0, 0), QPointF(kWeightBack, 0), kStubRadius));
    shape.addPath(cylinderPath(QPointF(kWeightFront, 0), QPointF(kWeightBack, 0), kWeightRadius));
    shape.addPath(cylinderPath(QPointF(0, 0), parts.joint, kTubeRadius));
    shape.addPath(parts.headToArm.map(headshellPlate()));
    QPainterPathStroker lift;
    lift.setWidth(1.8);
    lift.setCapStyle(Qt::RoundCap);
    shape.addPath(parts.headToArm.map(lift.createStroke(fingerLift())));
    return shape;
}

void paintCounterweight(QPainter& p, const QTransform& arm)
{
    drawCylinder(p, arm, QPointF(0, 0), QPointF(kWeightBack + 1.0, 0), kStubRadius);
    const QTransform t = segmentFrame(QPointF(kWeightFront, 0), QPointF(kWeightBack, 0), arm);
    p.save();
    p.setTransform(t, true);
    const double len = kWeightFront - kWeightBack;
    const QRectF body(0, -kWeightRadius, len, 2 * kWeightRadius);
    p.setPen(QPen(QColor(20, 20, 24, 220), 0.35));
    p.setBrush(chromeAcross(kWeightRadius, highlightAt(p.transform()), 40));
    p.drawRoundedRect(body, 1.6, 1.6);
    // Machined grooves round the weight and a dark setting ring.
    p.setPen(QPen(QColor(30, 30, 36, 150), 0.3));
    for (double x = 3.0; x < len - 1.0; x += 1.1)
        p.drawLine(QPointF(x, -kWeightRadius + 0.3), QPointF(x, kWeightRadius - 0.3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(22, 22, 26, 230));
    p.drawRect(QRectF(0.6, -kWeightRadius + 0.2, 1.6, 2 * kWeightRadius - 0.4));
    p.restore();
}

void paintHeadshell(QPainter& p, const QTransform& arm, const ArmParts& parts)
{
    const QTransform head = parts.headToArm * arm;
    p.save();
    p.setTransform(head, true);

    // Cartridge front showing past the plate, with its stylus guard.
    p.setPen(QPen(QColor(10, 10, 12), 0.3));
    p.setBrush(QColor(24, 24, 28));
    p.drawRoundedRect(QRectF(16.0, -3.4, 8.2, 6.8), 1.0, 1.0);
    p.setBrush(QColor(176, 30, 34));
    p.drawRoundedRect(QRectF(22.6, -1.6, 2.4, 3.2), 0.8, 0.8);

    // Brushed aluminium plate.
    const double hi = highlightAt(p.transform());
    QLinearGradient alu(0, -4.6, 0, 4.6);
    alu.setColorAt(0.0, QColor(110, 112, 120));
    alu.setColorAt(hi, QColor(238, 240, 244));
    alu.setColorAt(std::min(0.95, hi + 0.3), QColor(172, 176, 184));
    alu.setColorAt(1.0, QColor(96, 98, 106));
    const QPainterPath plate = headshellPlate();
    p.setPen(QPen(QColor(30, 30, 34, 220), 0.35));
    p.setBrush(alu);
    p.drawPath(plate);
    p.save();
    p.setClipPath(plate);
    for (int i = 0; i < 14; ++i) {
        const double y = -4.4 + i * 0.66;
        const double v = hash01(i, 3, 77u);
        p.setPen(QPen(v > 0.5 ? QColor(255, 255, 255, 40) : QColor(40, 40, 50, 34), 0.22));
        p.drawLine(QPointF(-1, y), QPointF(22, y));
    }
    p.restore();
    // Mounting slots and their screws.
    for (const double y : {-2.1, 2.1}) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 20, 24, 230));
        p.drawRoundedRect(QRectF(8.0, y - 0.55, 7.0, 1.1), 0.55, 0.55);
        QRadialGradient screw(QPointF(11.0, y), 0.9, QPointF(10.7, y - 0.3));
        screw.setColorAt(0.0, QColor(250, 250, 252));
        screw.setColorAt(1.0, QColor(90, 92, 100));
        p.setBrush(screw);
        p.drawEllipse(QPointF(11.0, y), 0.85, 0.85);
    }

    // Finger lift: a bent chrome wire with a rounded end.
    QPen wire(QColor(40, 40, 46), 1.8, Qt::SolidLine, Qt::RoundCap);
    p.setBrush(Qt::NoBrush);
    p.setPen(wire);
    p.drawPath(fingerLift());
    wire.setColor(QColor(210, 212, 220));
    wire.setWidthF(1.1);
    p.setPen(wire);
    p.drawPath(fingerLift());
    wire.setColor(QColor(255, 255, 255, 200));
    wire.setWidthF(0.4);
    p.setPen(wire);
    p.drawPath(fingerLift().translated(-0.2, -0.25));
    p.restore();

    // Collar joining headshell and tube.
    const QPointF a = parts.joint - parts.headDir * 3.2, b = parts.joint + parts.headDir * 1.6;
    drawCylinder(p, arm, a, b, 3.7, 0.2);
    const QTransform ring = segmentFrame(a, b, arm);
    p.save();
    p.setTransform(ring, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 24, 230));
    p.drawRect(QRectF(1.4, -3.7, 0.8, 7.4));
    p.restore();
}

void paintHousing(QPainter& p)
{
    // Drawn without the arm's rotation, identical in every frame.
    const QPointF c = toImage(kArmPivot, kArmOrigin, kArmFrameHeight);
    QRadialGradient body(c, kHousingRadius, c + QPointF(-3.5, -4.0));
    body.setColorAt(0.0, QColor(96, 96, 106));
    body.setColorAt(0.7, QColor(34, 34, 40));
    body.setColorAt(1.0, QColor(14, 14, 18));
    p.setPen(QPen(QColor(8, 8, 10, 230), 0.4));
    p.setBrush(body);
    p.drawEllipse(c, kHousingRadius, kHousingRadius);
    p.setPen(QPen(QColor(255, 255, 255, 60), 0.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 9.6, c.y() - 9.6, 19.2, 19.2), 100 * 16, 80 * 16);

    QConicalGradient cap(c, 135);
    cap.setColorAt(0.0, QColor(252, 252, 254));
    cap.setColorAt(0.25, QColor(96, 98, 108));
    cap.setColorAt(0.5, QColor(236, 238, 242));
    cap.setColorAt(0.75, QColor(96, 98, 108));
    cap.setColorAt(1.0, QColor(252, 252, 254));
    p.setPen(QPen(QColor(20, 20, 24, 220), 0.35));
    p.setBrush(cap);
    p.drawEllipse(c, 6.6, 6.6);
    QRadialGradient dome(c, 3.6, c + QPointF(-1.2, -1.4));
    dome.setColorAt(0.0, QColor(255, 255, 255));
    dome.setColorAt(0.6, QColor(170, 174, 184));
    dome.setColorAt(1.0, QColor(70, 72, 82));
    p.setBrush(dome);
    p.drawEllipse(c, 3.5, 3.5);
}

} // namespace

QImage renderArmFrame(int frame, int scale)
{
    QImage img = makeCanvas(kArmFrameWidth, kArmFrameHeight, scale);
    const ArmPose pose = armPose(frame);
    const ArmParts parts = armParts();
    QPainter p;
    beginPoints(p, img, scale);
    const QTransform arm = armToFrame(pose) * p.transform();

    // One soft shadow for the whole arm, thrown down and right onto the
    // record and the plinth.
    p.save();
    p.setTransform(arm);
    QPainterPath housing;
    housing.addEllipse(QPointF(0, 0), kHousingRadius, kHousingRadius);
    QPainterPath shadow = movingShape(parts);
    shadow.addPath(housing);
    const QTransform toFrame = armToFrame(pose);
    p.restore();
    drawSoftShadow(p, toFrame.map(shadow), QPointF(3.0, 3.5), 1.4, QColor(0, 0, 0, 120));

    p.save();
    p.setTransform(arm);
    paintCounterweight(p, QTransform());
    drawCylinder(p, QTransform(), QPointF(-4.0, 0), parts.joint, kTubeRadius, 0.2);
    paintHeadshell(p, QTransform(), parts);
    p.restore();

    paintHousing(p);
    p.end();
    return img;
}

QImage renderArmStrip(int scale)
{
    QImage strip = makeCanvas(kArmFrameWidth * kArmFrames, kArmFrameHeight, scale);
    QPainter p(&strip);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < kArmFrames; ++i)
        p.drawImage(QPoint(int(std::lround(i * kArmFrameWidth * scale)), 0), renderArmFrame(i, scale));
    p.end();
    return strip;
}

} // namespace gx::art
