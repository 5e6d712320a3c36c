// The turntable's background: a veneered wooden plinth with a bevelled edge,
// the platter with its rubber mat, the tone arm's base and rest, the dial's
// scale, the button's well, a 45 adapter in its recess and the maker's plate.
#include "ArmGeometry.h"
#include "ArtCommon.h"
#include "Painters.h"
#include "StrokeFont.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace gx::art {

namespace {

// View point -> background image point.
QPointF V(double x, double y)
{
    return toImage({x, y}, {0.0, 0.0}, kViewHeight);
}
QPointF V(QPointF p)
{
    return V(p.x(), p.y());
}

constexpr QPointF kDialCentre {kDialOrigin.x() + kDialSize / 2, kDialOrigin.y() + kDialSize / 2};
constexpr QPointF kButtonCentre {kButtonOrigin.x() + kButtonSize / 2, kButtonOrigin.y() + kButtonSize / 2};
constexpr QPointF kAdapterCentre {300.0, 160.0};
constexpr double kBevel = 6.0;

QRgb woodAt(double x, double y)
{
    // Flat-cut veneer: growth rings run along x, pushed about by two scales
    // of noise; fibres and pores are noise stretched along the grain.
    const double warpA = fbm(x * 0.010, y * 0.03, 4, 101u) - 0.5;
    const double warpB = fbm(x * 0.0032, y * 0.011, 3, 102u) - 0.5;
    const double t = y * 0.30 + warpA * 4.5 + warpB * 22.0;
    const double ring = t - std::floor(t);
    const double late = smoothstep(0.50, 0.90, ring) * (1.0 - smoothstep(0.90, 1.0, ring));
    const double figure = fbm(x * 0.018, y * 0.16, 3, 103u);
    const double fibre = fbm(x * 0.30, y * 3.2, 2, 104u) - 0.5;
    const double pore = smoothstep(0.80, 0.93, valueNoise(x * 0.16, y * 2.4, 105u));

    const QColor light(196, 126, 68), mid(150, 86, 42), dark(92, 48, 22);
    QColor c = mixColor(light, mid, clamp01(figure * 1.1 - 0.1));
    c = mixColor(c, dark, clamp01(late * 0.5 + pore * 0.45));
    const double f = 1.0 + fibre * 0.16;
    return qRgb(
        int(clamp01(c.redF() * f) * 255), int(clamp01(c.greenF() * f) * 255), int(clamp01(c.blueF() * f) * 255));
}

void paintWood(QImage& img, int scale)
{
    const double inv = 1.0 / scale;
    for (int py = 0; py < img.height(); ++py) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(py));
        for (int px = 0; px < img.width(); ++px)
            line[px] = woodAt((px + 0.5) * inv, (py + 0.5) * inv);
    }
}

void paintVarnishAndEdge(QPainter& p)
{
    const QRectF all(0, 0, kViewWidth, kViewHeight);
    // Lacquer sheen from the lamp at the upper left, and a soft fall-off
    // toward the far corner.
    QLinearGradient sheen(0, 0, kViewWidth, kViewHeight);
    sheen.setColorAt(0.0, QColor(255, 240, 215, 60));
    sheen.setColorAt(0.45, QColor(255, 240, 215, 0));
    sheen.setColorAt(1.0, QColor(30, 10, 0, 70));
    p.fillRect(all, sheen);

    // Bevelled rim: lit top and left, shaded bottom and right.
    const double w = kViewWidth, h = kViewHeight, b = kBevel;
    auto quad = [&](QPointF a, QPointF bb, QPointF c, QPointF d, const QColor& col) {
        QPainterPath path;
        path.moveTo(a);
        path.lineTo(bb);
        path.lineTo(c);
        path.lineTo(d);
        path.closeSubpath();
        p.fillPath(path, col);
    };
    quad({0, 0}, {w, 0}, {w - b, b}, {b, b}, QColor(255, 232, 200, 70));
    quad({0, 0}, {b, b}, {b, h - b}, {0, h}, QColor(255, 232, 200, 40));
    quad({0, h}, {b, h - b}, {w - b, h - b}, {w, h}, QColor(20, 6, 0, 110));
    quad({w, 0}, {w, h}, {w - b, h - b}, {w - b, b}, QColor(20, 6, 0, 80));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 12, 2, 200), 1.0));
    p.drawRect(all.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setPen(QPen(QColor(40, 16, 4, 90), 0.5));
    p.drawRect(all.adjusted(b, b, -b, -b));

    // Brass inlay line just inside the bevel.
    const QRectF inlay = all.adjusted(b + 2.5, b + 2.5, -b - 2.5, -b - 2.5);
    p.setPen(QPen(QColor(40, 18, 4, 120), 0.5));
    p.drawRoundedRect(inlay.translated(0.35, 0.35), 3, 3);
    p.setPen(QPen(QColor(218, 178, 104, 210), 0.55));
    p.drawRoundedRect(inlay, 3, 3);
}

QConicalGradient turnedMetal(QPointF c, int bright = 250, int dim = 96)
{
    // Polished turned metal: light gathers where the machining rings face
    // the lamp, twice round.
    QConicalGradient g(c, 135);
    const QColor hi(bright, bright, bright + 2 > 255 ? 255 : bright + 2);
    const QColor lo(dim, dim + 2, dim + 8);
    const QColor midC((bright + dim) / 2, (bright + dim) / 2 + 1, (bright + dim) / 2 + 5);
    g.setColorAt(0.0, hi);
    g.setColorAt(0.12, midC);
    g.setColorAt(0.25, lo);
    g.setColorAt(0.5, hi);
    g.setColorAt(0.62, midC);
    g.setColorAt(0.75, lo);
    g.setColorAt(1.0, hi);
    return g;
}

QPainterPath circle(QPointF c, double r)
{
    QPainterPath path;
    path.addEllipse(c, r, r);
    return path;
}

void paintScrew(QPainter& p, QPointF c, double r, double slotDeg)
{
    QRadialGradient g(c, r, c + QPointF(-r * 0.4, -r * 0.4));
    g.setColorAt(0.0, QColor(250, 250, 250));
    g.setColorAt(0.6, QColor(150, 152, 158));
    g.setColorAt(1.0, QColor(70, 72, 78));
    p.setPen(QPen(QColor(20, 20, 22, 180), 0.25));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    const double a = slotDeg * std::numbers::pi / 180.0;
    const QPointF d(std::cos(a) * r * 0.8, std::sin(a) * r * 0.8);
    p.setPen(QPen(QColor(30, 30, 34, 220), r * 0.28, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c - d, c + d);
}

void paintPlatter(QPainter& p)
{
    const QPointF c = V(kDiscCentre);
    drawSoftShadow(p, circle(c, kPlatterRadius + 0.5), QPointF(2.5, 3.5), 3.0, QColor(20, 6, 0, 170));

    // Rim.
    p.setPen(Qt::NoPen);
    p.setBrush(turnedMetal(c, 245, 110));
    p.drawEllipse(c, kPlatterRadius, kPlatterRadius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 30, 34, 200), 0.5));
    p.drawEllipse(c, kPlatterRadius - 0.25, kPlatterRadius - 0.25);

    // Stroboscope dots round the rim.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(36, 36, 42, 200));
    for (int i = 0; i < 180; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 2.0);
        p.drawRect(QRectF(-0.45, -kPlatterRadius + 0.9, 0.9, 1.7));
        p.restore();
    }

    // Rubber mat: a step down from the rim, ribbed in rings.
    const double mat = kDiscRadius - 0.6;
    p.setPen(QPen(QColor(10, 10, 12, 220), 0.8));
    QRadialGradient rubber(c, mat);
    rubber.setColorAt(0.0, QColor(40, 40, 44));
    rubber.setColorAt(0.4, QColor(31, 31, 35));
    rubber.setColorAt(1.0, QColor(22, 22, 25));
    p.setBrush(rubber);
    p.drawEllipse(c, mat, mat);
    p.setBrush(Qt::NoBrush);
    for (double r = 44.0; r < mat - 2.0; r += 2.6) {
        p.setPen(QPen(QColor(70, 70, 76, 120), 0.45));
        p.drawEllipse(c, r, r);
        p.setPen(QPen(QColor(6, 6, 8, 150), 0.45));
        p.drawEllipse(c, r + 0.7, r + 0.7);
    }
    p.setPen(QPen(QColor(80, 80, 86, 140), 0.6));
    p.drawEllipse(c, 40.0, 40.0);
    // Dull sheen on the rubber.
    QConicalGradient sheen(c, 135);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 34));
    sheen.setColorAt(0.08, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.42, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 20));
    sheen.setColorAt(0.58, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.92, QColor(255, 255, 255, 0));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 34));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawEllipse(c, mat - 0.5, mat - 0.5);
}

void paintArmBase(QPainter& p)
{
    const QPointF c = V(kArmPivot);
    drawSoftShadow(p, circle(c, 21.0), QPointF(2.0, 2.6), 2.6, QColor(20, 6, 0, 170));
    p.setPen(QPen(QColor(20, 20, 24, 200), 0.4));
    p.setBrush(turnedMetal(c));
    p.drawEllipse(c, 21.0, 21.0);
    QRadialGradient satin(c, 18.5, c + QPointF(-5, -6));
    satin.setColorAt(0.0, QColor(70, 70, 78));
    satin.setColorAt(1.0, QColor(26, 26, 30));
    p.setBrush(satin);
    p.setPen(QPen(QColor(12, 12, 14, 220), 0.5));
    p.drawEllipse(c, 18.5, 18.5);
    for (int i = 0; i < 3; ++i) {
        const double a = (40.0 + i * 120.0) * std::numbers::pi / 180.0;
        paintScrew(p, c + QPointF(std::cos(a), std::sin(a)) * 15.4, 1.5, 30.0 + i * 50.0);
    }

    // Cueing lever beside the base.
    const QPointF lever = V(294.0, 40.0);
    drawSoftShadow(p, circle(lever, 4.2), QPointF(1.2, 1.5), 1.2, QColor(20, 6, 0, 150));
    p.setPen(QPen(QColor(20, 20, 24, 200), 0.3));
    p.setBrush(turnedMetal(lever));
    p.drawEllipse(lever, 4.2, 4.2);
    QPainterPath handle;
    handle.moveTo(lever + QPointF(-1.1, 0));
    handle.lineTo(lever + QPointF(9.5, 6.5));
    handle.lineTo(lever + QPointF(10.5, 5.0));
    handle.lineTo(lever + QPointF(1.1, -1.2));
    handle.closeSubpath();
    drawSoftShadow(p, handle, QPointF(1.2, 1.6), 1.0, QColor(20, 6, 0, 140));
    QLinearGradient hg(lever + QPointF(0, -1.5), lever + QPointF(0, 6));
    hg.setColorAt(0.0, QColor(240, 240, 244));
    hg.setColorAt(1.0, QColor(110, 112, 120));
    p.setBrush(hg);
    p.drawPath(handle);
    QRadialGradient knob(lever + QPointF(10.4, 6.4), 2.4, lever + QPointF(9.6, 5.6));
    knob.setColorAt(0.0, QColor(90, 90, 96));
    knob.setColorAt(1.0, QColor(8, 8, 10));
    p.setBrush(knob);
    p.drawEllipse(lever + QPointF(10.4, 6.4), 2.3, 2.3);
    paintScrew(p, lever, 1.6, 60.0);

    // Rest post that the arm lies on when lifted off.
    const ArmPose rest = armPose(0);
    const QPointF joint = headshellJoint();
    const QPointF post = V(armToView(rest, joint * (50.0 / joint.x())));
    drawSoftShadow(p, circle(post, 4.6), QPointF(1.8, 2.2), 1.6, QColor(20, 6, 0, 160));
    p.setPen(QPen(QColor(20, 20, 24, 200), 0.3));
    p.setBrush(turnedMetal(post));
    p.drawEllipse(post, 4.6, 4.6);
    QRadialGradient pad(post, 3.2, post + QPointF(-1, -1));
    pad.setColorAt(0.0, QColor(60, 60, 66));
    pad.setColorAt(1.0, QColor(12, 12, 14));
    p.setBrush(pad);
    p.drawEllipse(post, 3.1, 3.1);
}

void paintEngraved(QPainter& p, const QPainterPath& text, double pen, const QColor& ink)
{
    // Cut into the surface: a lit lower edge under a dark groove.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 240, 210, 90), pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(text.translated(0.35, 0.4));
    p.setPen(QPen(ink, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(text);
}

void paintDialScale(QPainter& p)
{
    const QPointF c = V(kDialCentre);
    drawSoftShadow(p, circle(c, 14.0), QPointF(1.2, 1.6), 1.6, QColor(20, 6, 0, 150));
    p.setPen(QPen(QColor(20, 20, 24, 200), 0.35));
    p.setBrush(turnedMetal(c, 235, 120));
    p.drawEllipse(c, 14.0, 14.0);
    p.setPen(QPen(QColor(20, 20, 24, 230), 0.5));
    p.setBrush(QColor(24, 24, 28));
    p.drawEllipse(c, 10.6, 10.6);
    p.setPen(QPen(QColor(30, 30, 36, 230), 0.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i <= 10; ++i) {
        const double a = (-135.0 + i * 27.0 - 90.0) * std::numbers::pi / 180.0;
        const QPointF d(std::cos(a), std::sin(a));
        const double outer = (i % 5 == 0) ? 13.6 : 13.0;
        p.drawLine(c + d * 11.6, c + d * outer);
    }
    const QString word = QStringLiteral("SPEED");
    const double h = 4.0;
    const double width = strokeTextWidth(word, h);
    paintEngraved(
        p, strokeText(word, h).translated(c.x() - width / 2.0, c.y() - 14.0 - 3.0 - h), 0.6, QColor(48, 22, 6, 220));
}

void paintButtonWell(QPainter& p)
{
    const QPointF c = V(kButtonCentre);
    // A recess in the wood: shadowed on the lamp side, lit on the other.
    QRadialGradient well(c, 24.0);
    well.setColorAt(0.80, QColor(20, 8, 0, 170));
    well.setColorAt(0.93, QColor(20, 8, 0, 90));
    well.setColorAt(1.0, QColor(20, 8, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(well);
    p.drawEllipse(c, 24.0, 24.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 8, 0, 140), 0.8));
    p.drawArc(QRectF(c.x() - 22.5, c.y() - 22.5, 45, 45), 45 * 16, 180 * 16);
    p.setPen(QPen(QColor(255, 236, 200, 110), 0.8));
    p.drawArc(QRectF(c.x() - 22.5, c.y() - 22.5, 45, 45), 225 * 16, 180 * 16);
}

void paintAdapter(QPainter& p)
{
    // A 45 adapter kept in its recess.
    const QPointF c = V(kAdapterCentre);
    p.setPen(Qt::NoPen);
    QRadialGradient recess(c, 15.0, c + QPointF(3, 3));
    recess.setColorAt(0.0, QColor(40, 16, 2, 170));
    recess.setColorAt(0.85, QColor(30, 10, 0, 200));
    recess.setColorAt(1.0, QColor(30, 10, 0, 60));
    p.setBrush(recess);
    p.drawEllipse(c, 15.0, 15.0);
    p.setPen(QPen(QColor(255, 236, 200, 100), 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 14.6, c.y() - 14.6, 29.2, 29.2), 225 * 16, 180 * 16);

    drawSoftShadow(p, circle(c, 12.0), QPointF(1.0, 1.3), 1.2, QColor(10, 4, 0, 180));
    p.setPen(QPen(QColor(20, 20, 24, 200), 0.35));
    p.setBrush(turnedMetal(c, 240, 100));
    p.drawEllipse(c, 12.0, 12.0);
    // Three raised spokes.
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 120.0 + 10.0);
        QLinearGradient sg(-1.6, 0, 1.6, 0);
        sg.setColorAt(0.0, QColor(120, 122, 130));
        sg.setColorAt(0.5, QColor(252, 252, 254));
        sg.setColorAt(1.0, QColor(100, 102, 110));
        p.setPen(QPen(QColor(40, 40, 46, 160), 0.25));
        p.setBrush(sg);
        p.drawRoundedRect(QRectF(-1.5, -11.0, 3.0, 7.0), 1.2, 1.2);
        p.restore();
    }
    p.setBrush(turnedMetal(c, 250, 130));
    p.setPen(QPen(QColor(30, 30, 34, 200), 0.3));
    p.drawEllipse(c, 4.6, 4.6);
    p.setBrush(QColor(14, 10, 8));
    p.drawEllipse(c, 2.7, 2.7);
}

void paintMakersPlate(QPainter& p, int scale)
{
    const QRectF plate(256.0, 16.0, 70.0, 22.0);
    QPainterPath shape;
    shape.addRoundedRect(plate, 3.0, 3.0);
    drawSoftShadow(p, shape, QPointF(1.0, 1.4), 1.2, QColor(20, 6, 0, 170));

    QLinearGradient brass(plate.topLeft(), plate.bottomRight());
    brass.setColorAt(0.0, QColor(246, 222, 160));
    brass.setColorAt(0.45, QColor(204, 164, 92));
    brass.setColorAt(0.55, QColor(226, 192, 120));
    brass.setColorAt(1.0, QColor(150, 112, 52));
    p.setPen(QPen(QColor(90, 60, 20, 230), 0.5));
    p.setBrush(brass);
    p.drawPath(shape);
    // Brushed finish: faint streaks along the plate, one per pixel row.
    p.save();
    p.setClipPath(shape);
    const double rowH = 1.0 / scale;
    for (int i = 0; i < int(plate.height() * scale); ++i) {
        const double v = hash01(i, 7, 41u);
        const int a = int(28 * std::abs(v - 0.5) * 2);
        p.fillRect(QRectF(plate.left(), plate.top() + i * rowH, plate.width(), rowH),
            v > 0.5 ? QColor(255, 250, 230, a) : QColor(90, 60, 20, a));
    }
    p.restore();
    p.setPen(QPen(QColor(255, 246, 214, 160), 0.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(plate.adjusted(1.2, 1.2, -1.2, -1.2), 2.2, 2.2);

    const QString name = QStringLiteral("GRAMOLUX");
    const double h = 8.0;
    const double width = strokeTextWidth(name, h, 0.22);
    const QPainterPath text
        = strokeText(name, h, 0.22).translated(plate.center().x() - width / 2.0, plate.center().y() - h / 2.0);
    p.setPen(QPen(QColor(255, 248, 220, 170), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(text.translated(0.3, 0.4));
    p.setPen(QPen(QColor(52, 30, 8), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(text);

    paintScrew(p, QPointF(plate.left() + 4.2, plate.center().y()), 1.5, 20.0);
    paintScrew(p, QPointF(plate.right() - 4.2, plate.center().y()), 1.5, 110.0);
}

} // namespace

QImage renderBackground(int scale)
{
    QImage img = makeCanvas(kViewWidth, kViewHeight, scale);
    paintWood(img, scale);
    QPainter p;
    beginPoints(p, img, scale);
    paintVarnishAndEdge(p);
    paintButtonWell(p);
    paintDialScale(p);
    paintAdapter(p);
    paintMakersPlate(p, scale);
    paintPlatter(p);
    paintArmBase(p);
    p.end();
    return img;
}

} // namespace gx::art
