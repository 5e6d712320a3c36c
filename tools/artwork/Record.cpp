// The record, the sheen over it and the spindle cap.
//
// The record image turns, so everything on the vinyl is round-symmetric and
// all light that should stay put (the groove sheen) lives in the separate,
// unrotated reflection image. Only the label's printing shows the turning.
#include "ArtCommon.h"
#include "Painters.h"
#include "StrokeFont.h"

#include <QPainter>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <numbers>

namespace gx::art {

namespace {

constexpr double kCentre = kDiscSize / 2.0; // in image points
constexpr double kHoleRadius = 2.7;
constexpr double kLabelShoulder = 40.5;
// Silent bands between tracks.
constexpr std::array<double, 4> kTrackGaps {97.0, 86.5, 74.0, 62.5};
constexpr double kGapHalfWidth = 0.65;

double gapAmount(double r)
{
    double g = 0.0;
    for (const double gap : kTrackGaps)
        g = std::max(g, 1.0 - smoothstep(kGapHalfWidth * 0.6, kGapHalfWidth, std::abs(r - gap)));
    return g;
}

// Brightness of the bare vinyl at radius r (points), 0..255.
double vinylLevel(double r)
{
    if (r > 109.3) // the rounded rim catches some light all round
        return mix(21.0, 34.0, smoothstep(109.3, 110.2, r));
    if (r > kOuterGrooveRadius) // smooth lead-in
        return 19.0;
    if (r > kInnerGrooveRadius) {
        // Fine grooves: a ring-by-ring shimmer, with slower swells where the
        // music is loud or quiet.
        const double fine = hash01(std::int64_t(std::floor(r * 4.0)), 3, 11u) - 0.5;
        const double swell = valueNoise(r * 0.45, 0.5, 12u) - 0.5;
        const double level = 18.0 + fine * 5.0 + swell * 7.0;
        const double gap = gapAmount(r);
        return mix(level, 13.0, gap);
    }
    if (r > kLabelShoulder) {
        // Glossy run-out with the locked groove and the last turns of spiral.
        double level = 14.0;
        for (const double ring : {47.2, 46.0, 43.2})
            level += 9.0 * (1.0 - smoothstep(0.0, 0.22, std::abs(r - ring)));
        return level;
    }
    // Raised shoulder round the label.
    return 22.0;
}

QColor labelPaper(double r, double x, double y)
{
    const QColor inner(176, 28, 36), outer(122, 14, 24);
    QColor c = mixColor(inner, outer, smoothstep(4.0, kLabelRadius, r));
    const double grain = fbm(x * 1.7, y * 1.7, 3, 21u) - 0.5;
    const double f = 1.0 + grain * 0.12;
    return QColor::fromRgbF(
        float(clamp01(c.redF() * f)), float(clamp01(c.greenF() * f)), float(clamp01(c.blueF() * f)));
}

void paintLabelPrint(QPainter& p)
{
    const QPointF c(kCentre, kCentre);
    const QColor ink(242, 228, 196, 235);
    p.save();
    p.setBrush(Qt::NoBrush);

    p.setPen(QPen(ink, 0.55));
    p.drawEllipse(c, 35.6, 35.6);
    p.setPen(QPen(ink, 0.25));
    p.drawEllipse(c, 34.5, 34.5);

    // Maker's name round the top.
    QPen letters(ink, 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(letters);
    p.drawPath(strokeTextOnArc(QStringLiteral("GRAMOLUX"), 5.4, c, 25.5, 0.0, 0.26));

    // A small lozenge under the name.
    QPainterPath lozenge;
    lozenge.moveTo(c + QPointF(0, -19.5));
    lozenge.lineTo(c + QPointF(2.4, -16.5));
    lozenge.lineTo(c + QPointF(0, -13.5));
    lozenge.lineTo(c + QPointF(-2.4, -16.5));
    lozenge.closeSubpath();
    p.fillPath(lozenge, ink);

    // Double rule across, broken by the spindle.
    p.setPen(QPen(ink, 0.45));
    for (const double dy : {-8.6, -7.4}) {
        p.drawLine(c + QPointF(-32.5, dy), c + QPointF(-9.0, dy));
        p.drawLine(c + QPointF(9.0, dy), c + QPointF(32.5, dy));
    }

    // Speed to the left of the spindle, its unit to the right.
    QPen small(ink, 0.55, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(small);
    const double h = 3.6;
    p.drawPath(strokeText(QStringLiteral("33"), h).translated(c + QPointF(-25.0, -1.8)));
    p.drawPath(strokeText(QStringLiteral("RPM"), h).translated(c + QPointF(10.5, -1.8)));

    // Lines of small print below: title, artist and the fine print.
    const std::array<std::array<double, 4>, 4> words {{
        {9.0, 6.0, 11.0, 0.0},
        {7.0, 10.0, 0.0, 0.0},
        {4.0, 3.5, 5.0, 4.0},
        {6.0, 5.0, 0.0, 0.0},
    }};
    const std::array<double, 4> rowY {9.0, 14.0, 19.5, 23.5};
    const std::array<double, 4> rowH {1.6, 1.2, 0.7, 0.7};
    for (std::size_t row = 0; row < words.size(); ++row) {
        double total = 0.0;
        int count = 0;
        for (const double w : words[row])
            if (w > 0) {
                total += w;
                ++count;
            }
        const double space = 1.6;
        total += space * (count - 1);
        double x = -total / 2.0;
        for (const double w : words[row]) {
            if (w <= 0)
                continue;
            p.fillRect(QRectF(c.x() + x, c.y() + rowY[row], w, rowH[row]), ink);
            x += w + space;
        }
    }
    p.restore();
}

} // namespace

QImage renderDisc(int scale)
{
    QImage img = makeCanvas(kDiscSize, kDiscSize, scale);
    const int n = img.width();
    const double inv = 1.0 / scale;
    // Four samples per pixel keep the fine rings from aliasing into moire.
    constexpr std::array<QPointF, 4> kSub {{{0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}, {0.75, 0.75}}};
    for (int py = 0; py < n; ++py) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(py));
        for (int px = 0; px < n; ++px) {
            double rr = 0, gg = 0, bb = 0, aa = 0;
            for (const QPointF& s : kSub) {
                const double x = (px + s.x()) * inv, y = (py + s.y()) * inv;
                const double r = std::hypot(x - kCentre, y - kCentre);
                if (r >= kDiscRadius || r < kHoleRadius)
                    continue;
                if (r < kLabelRadius) {
                    const QColor c = labelPaper(r, x, y);
                    rr += c.redF() * 255;
                    gg += c.greenF() * 255;
                    bb += c.blueF() * 255;
                } else {
                    const double v = vinylLevel(r);
                    rr += v;
                    gg += v;
                    bb += v * 1.08;
                }
                aa += 1.0;
            }
            if (aa == 0.0) {
                line[px] = 0;
                continue;
            }
            // Premultiplied: the colour sums already carry the coverage.
            const double k = 1.0 / kSub.size();
            line[px] = qRgba(int(std::lround(rr * k)), int(std::lround(gg * k)),
                int(std::lround(std::min(bb * k, aa * k * 255))), int(std::lround(aa * k * 255)));
        }
    }

    QPainter p;
    beginPoints(p, img, scale);
    QPainterPath label;
    label.addEllipse(QPointF(kCentre, kCentre), kLabelRadius - 0.3, kLabelRadius - 0.3);
    QPainterPath hole;
    hole.addEllipse(QPointF(kCentre, kCentre), kHoleRadius + 0.6, kHoleRadius + 0.6);
    p.setClipPath(label.subtracted(hole));
    paintLabelPrint(p);
    p.end();
    return img;
}

QImage renderReflection(int scale)
{
    QImage img = makeCanvas(kDiscSize, kDiscSize, scale);
    const int n = img.width();
    const double inv = 1.0 / scale;
    constexpr double kPi = std::numbers::pi;
    // Light from the upper left: the grooves light up along the diagonal
    // through the centre, brighter on the side toward the lamp.
    const double lampSide = 135.0 * kPi / 180.0;
    for (int py = 0; py < n; ++py) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(py));
        for (int px = 0; px < n; ++px) {
            const double x = (px + 0.5) * inv - kCentre, y = kCentre - (py + 0.5) * inv;
            const double r = std::hypot(x, y);
            const double radial = smoothstep(41.0, 47.0, r) * (1.0 - smoothstep(108.0, 110.2, r));
            if (radial <= 0.0) {
                line[px] = 0;
                continue;
            }
            const double phi = std::atan2(y, x);
            auto angularDistance = [&](double to) {
                double d = std::fmod(std::abs(phi - to), 2.0 * kPi);
                return d > kPi ? 2.0 * kPi - d : d;
            };
            const double dNear = angularDistance(lampSide);
            const double dFar = angularDistance(lampSide - kPi);
            // The streak is narrower far out and fans toward the middle.
            const double width = (7.0 + 9.0 * (1.0 - r / kDiscRadius)) * kPi / 180.0;
            const double streak
                = std::exp(-std::pow(dNear / width, 2.0)) + 0.6 * std::exp(-std::pow(dFar / width, 2.0));
            const double glow = 0.22 * std::exp(-std::pow(dNear / (40.0 * kPi / 180.0), 2.0))
                + 0.12 * std::exp(-std::pow(dFar / (40.0 * kPi / 180.0), 2.0));
            const double wash = 0.10;
            // Silent bands are smooth and mirror less of the streak.
            const double grooved = r < kOuterGrooveRadius && r > kInnerGrooveRadius ? 1.0 - 0.55 * gapAmount(r) : 0.7;
            const double a = clamp01((streak * grooved + glow + wash) * radial) * 0.92;
            const int al = int(std::lround(a * 255));
            line[px] = qRgba(al, al * 250 / 255, al * 238 / 255, al);
        }
    }
    return img;
}

QImage renderCentrePiece(int scale)
{
    QImage img = makeCanvas(kCentrePieceWidth, kCentrePieceHeight, scale);
    QPainter p;
    beginPoints(p, img, scale);
    const QPointF c(kCentrePieceWidth / 2.0, kCentrePieceHeight / 2.0);
    const double rOuter = 5.0;

    QPainterPath cap;
    cap.addEllipse(c, rOuter, rOuter);
    drawSoftShadow(p, cap, QPointF(0.7, 0.8), 0.55, QColor(0, 0, 0, 150));

    // Turned collar: a ring whose light swings round it like polished metal.
    QConicalGradient collar(c, 135);
    collar.setColorAt(0.0, QColor(250, 250, 252));
    collar.setColorAt(0.18, QColor(140, 144, 152));
    collar.setColorAt(0.36, QColor(70, 72, 80));
    collar.setColorAt(0.5, QColor(215, 218, 224));
    collar.setColorAt(0.68, QColor(90, 93, 100));
    collar.setColorAt(0.85, QColor(160, 164, 172));
    collar.setColorAt(1.0, QColor(250, 250, 252));
    p.setPen(QPen(QColor(30, 30, 34, 200), 0.3));
    p.setBrush(collar);
    p.drawEllipse(c, rOuter, rOuter);

    // Domed cap.
    QRadialGradient dome(c, 4.0, c + QPointF(-1.4, -1.6));
    dome.setColorAt(0.0, QColor(255, 255, 255));
    dome.setColorAt(0.35, QColor(208, 212, 218));
    dome.setColorAt(0.8, QColor(110, 114, 122));
    dome.setColorAt(1.0, QColor(64, 66, 72));
    p.setPen(QPen(QColor(40, 40, 46, 180), 0.25));
    p.setBrush(dome);
    p.drawEllipse(c, 3.9, 3.9);

    // Spindle tip standing out of the cap.
    QRadialGradient tip(c, 1.4, c + QPointF(-0.5, -0.5));
    tip.setColorAt(0.0, QColor(255, 255, 255));
    tip.setColorAt(0.6, QColor(170, 174, 182));
    tip.setColorAt(1.0, QColor(80, 82, 90));
    p.setPen(QPen(QColor(30, 30, 34, 200), 0.2));
    p.setBrush(tip);
    p.drawEllipse(c, 1.35, 1.35);

    // Light thrown back from the plinth onto the lower right rim.
    p.setPen(QPen(QColor(255, 236, 210, 110), 0.35));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 3.5, c.y() - 3.5, 7.0, 7.0), -20 * 16, -60 * 16);
    p.end();
    return img;
}

} // namespace gx::art
