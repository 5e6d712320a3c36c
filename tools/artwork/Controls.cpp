// The speed dial's film strip and the play/stop button.
#include "ArtCommon.h"
#include "Painters.h"

#include <QConicalGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace gx::art {

namespace {

constexpr double kPi = std::numbers::pi;

// --- Dial --------------------------------------------------------------------

constexpr int kKnurlTeeth = 16;
constexpr double kKnobRadius = 8.6;
constexpr double kKnurlInner = 5.7;
constexpr double kCapRadius = 5.3;

struct Vec3 {
    double x, y, z;
};

Vec3 normalised(Vec3 v)
{
    const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}

double dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Lamp at the upper left, above; the viewer straight above.
const Vec3 kLamp = normalised({-0.5, -0.6, 0.75});

// Colour (0..1 grey levels) of the knob's surface at (x, y) points from its
// centre, image coordinates, turned by `turn` radians.
double knobShade(double x, double y, double turn)
{
    const double r = std::hypot(x, y);
    const double phi = std::atan2(y, x);
    const Vec3 radial {x / std::max(r, 1e-9), y / std::max(r, 1e-9), 0};
    const Vec3 tangent {-radial.y, radial.x, 0};

    if (r >= kKnurlInner) {
        // Knurled skirt: teeth modelled as a sine ridge round the rim; the
        // slope tilts the surface along the tangent.
        const double phase = (phi - turn) * kKnurlTeeth / (2.0 * kPi);
        const double wave = std::sin(2.0 * kPi * phase);
        const double slope = std::cos(2.0 * kPi * phase);
        const double edge = smoothstep(kKnobRadius - 0.6, kKnobRadius, r);
        const Vec3 n = normalised({radial.x * (0.3 + 1.6 * edge) + tangent.x * slope * 0.9,
            radial.y * (0.3 + 1.6 * edge) + tangent.y * slope * 0.9, 1.0});
        const double diffuse = std::max(0.0, dot(n, kLamp));
        const Vec3 half = normalised({kLamp.x, kLamp.y, kLamp.z + 1.0});
        const double gloss = std::pow(std::max(0.0, dot(n, half)), 12.0);
        const double valley = 0.7 + 0.3 * (wave + 1.0) / 2.0;
        return clamp01((0.12 + 0.6 * diffuse) * valley + 0.55 * gloss);
    }
    if (r >= kCapRadius) // groove between skirt and cap
        return 0.08;
    // Turned aluminium cap: fine rings, and the lamp caught twice across it
    // where the rings run square to the light.
    const double rings = hash01(std::int64_t(std::floor(r * 7.0)), 1, 61u) - 0.5;
    const double toLamp = std::atan2(kLamp.y, kLamp.x);
    const double aniso = std::pow(std::abs(std::sin(phi - toLamp)), 10.0);
    const double dome = 1.0 - 0.25 * (r / kCapRadius) * (r / kCapRadius);
    return clamp01(0.46 * dome + 0.42 * aniso + rings * 0.07);
}

QImage renderDialFrame(int frame, int scale)
{
    QImage img = makeCanvas(kDialSize, kDialSize, scale);
    QPainter p;
    beginPoints(p, img, scale);
    const QPointF c(kDialSize / 2.0, kDialSize / 2.0);
    QPainterPath disc;
    disc.addEllipse(c, kKnobRadius, kKnobRadius);
    drawSoftShadow(p, disc, QPointF(0.8, 1.0), 0.7, QColor(0, 0, 0, 170));
    p.end();

    // Each frame turns the knob on by a fifth of a tooth, so five frames
    // make one tooth and the strip repeats seamlessly.
    const double turn = frame * (2.0 * kPi / kKnurlTeeth) / kDialFrames;
    const int sub = scale == 1 ? 4 : 3;
    QImage knob(img.size(), QImage::Format_ARGB32_Premultiplied);
    for (int py = 0; py < img.height(); ++py) {
        auto* line = reinterpret_cast<QRgb*>(knob.scanLine(py));
        for (int px = 0; px < img.width(); ++px) {
            double sum = 0.0, cover = 0.0;
            for (int sy = 0; sy < sub; ++sy)
                for (int sx = 0; sx < sub; ++sx) {
                    const double x = (px + (sx + 0.5) / sub) / scale - c.x();
                    const double y = (py + (sy + 0.5) / sub) / scale - c.y();
                    if (std::hypot(x, y) >= kKnobRadius)
                        continue;
                    sum += knobShade(x, y, turn);
                    cover += 1.0;
                }
            const double a = cover / (sub * sub);
            const double v = cover > 0 ? sum / cover : 0.0;
            // Slightly warm nickel.
            line[px] = qRgba(int(v * a * 250), int(v * a * 246), int(v * a * 238), int(a * 255));
        }
    }
    p.begin(&img);
    p.drawImage(0, 0, knob);
    p.end();
    return img;
}

// --- Button ------------------------------------------------------------------

constexpr double kBezelRadius = 21.0;
constexpr double kJewelRadius = 16.6;

QPainterPath playMark(QPointF c, double size)
{
    // Optical centre of a triangle lies left of its box's centre.
    QPainterPath tri;
    tri.moveTo(c + QPointF(-size * 0.42, -size * 0.55));
    tri.lineTo(c + QPointF(size * 0.62, 0));
    tri.lineTo(c + QPointF(-size * 0.42, size * 0.55));
    tri.closeSubpath();
    return tri;
}

} // namespace

QImage renderDialStrip(int scale)
{
    QImage strip = makeCanvas(kDialSize * kDialFrames, kDialSize, scale);
    QPainter p(&strip);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < kDialFrames; ++i)
        p.drawImage(QPoint(int(std::lround(i * kDialSize * scale)), 0), renderDialFrame(i, scale));
    p.end();
    return strip;
}

QImage renderButton(bool lit, int scale)
{
    QImage img = makeCanvas(kButtonSize, kButtonSize, scale);
    QPainter p;
    beginPoints(p, img, scale);
    const QPointF c(kButtonSize / 2.0, kButtonSize / 2.0);

    if (lit) {
        // Warm light spilling round the bezel.
        QRadialGradient halo(c, kButtonSize / 2.0);
        halo.setColorAt(0.0, QColor(255, 150, 50, 150));
        halo.setColorAt(0.72, QColor(255, 140, 40, 110));
        halo.setColorAt(0.86, QColor(255, 120, 30, 40));
        halo.setColorAt(1.0, QColor(255, 110, 20, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(c, kButtonSize / 2.0, kButtonSize / 2.0);
    }

    QPainterPath bezel;
    bezel.addEllipse(c, kBezelRadius, kBezelRadius);
    drawSoftShadow(p, bezel, QPointF(1.4, 1.8), 1.2, QColor(0, 0, 0, 170));

    QConicalGradient metal(c, 135);
    metal.setColorAt(0.0, QColor(252, 252, 254));
    metal.setColorAt(0.13, QColor(150, 152, 160));
    metal.setColorAt(0.25, QColor(84, 86, 96));
    metal.setColorAt(0.5, QColor(236, 238, 242));
    metal.setColorAt(0.63, QColor(140, 142, 150));
    metal.setColorAt(0.75, QColor(80, 82, 92));
    metal.setColorAt(1.0, QColor(252, 252, 254));
    p.setPen(QPen(QColor(20, 20, 24, 220), 0.5));
    p.setBrush(metal);
    p.drawPath(bezel);
    // A bright edge where the bezel rolls over, and its inner lip.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 120), 0.6));
    p.drawEllipse(c, kBezelRadius - 1.0, kBezelRadius - 1.0);
    p.setPen(QPen(QColor(14, 12, 12, 230), 1.2));
    p.drawEllipse(c, kJewelRadius + 0.6, kJewelRadius + 0.6);

    // The glass jewel, lit from inside or dark.
    QRadialGradient glass(c + QPointF(0.8, 1.2), kJewelRadius + 1.0, c + QPointF(1.2, 1.8));
    if (lit) {
        glass.setColorAt(0.0, QColor(255, 244, 196));
        glass.setColorAt(0.3, QColor(255, 190, 84));
        glass.setColorAt(0.7, QColor(232, 112, 28));
        glass.setColorAt(1.0, QColor(140, 46, 10));
    } else {
        glass.setColorAt(0.0, QColor(104, 40, 16));
        glass.setColorAt(0.55, QColor(66, 22, 10));
        glass.setColorAt(1.0, QColor(26, 8, 4));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawEllipse(c, kJewelRadius, kJewelRadius);

    // Facets pressed into the glass: fine rings catching the light.
    for (double r = 4.0; r < kJewelRadius - 1.0; r += 2.2) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(lit ? QColor(255, 240, 200, 46) : QColor(255, 200, 160, 18), 0.4));
        p.drawEllipse(c, r, r);
    }

    const QPainterPath mark = playMark(c, 8.0);
    if (lit) {
        p.setPen(Qt::NoPen);
        drawSoftShadow(p, mark, QPointF(0, 0), 1.4, QColor(255, 255, 230, 200));
        p.setBrush(QColor(255, 252, 236, 240));
        p.drawPath(mark);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 200, 150, 40));
        p.drawPath(mark.translated(0.3, 0.4));
        p.setBrush(QColor(20, 6, 2, 170));
        p.drawPath(mark);
    }

    // Lamp reflected in the dome of the glass.
    p.save();
    p.translate(c + QPointF(-6.0, -6.5));
    p.rotate(-45);
    QRadialGradient spot(QPointF(0, 0), 7.0);
    spot.setColorAt(0.0, QColor(255, 255, 255, lit ? 190 : 150));
    spot.setColorAt(0.5, QColor(255, 255, 255, lit ? 70 : 50));
    spot.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(spot);
    p.scale(1.0, 0.55);
    p.drawEllipse(QPointF(0, 0), 7.0, 7.0);
    p.restore();
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(c + QPointF(-6.6, -7.0), 1.1, 1.1);
    // Light bounced back on the lower right of the glass.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 230, 190, lit ? 120 : 50), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(c.x() - 14.2, c.y() - 14.2, 28.4, 28.4), -10 * 16, -70 * 16);
    p.end();
    return img;
}

} // namespace gx::art
