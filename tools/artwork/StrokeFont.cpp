#include "StrokeFont.h"

#include <QTransform>
#include <cmath>
#include <numbers>

namespace gx::art {

namespace {

// Glyphs live in a cell one unit high (y down, baseline at 1); `advance` is
// the cell width.
struct Glyph {
    QPainterPath path;
    double advance = 0.7;
};

void line(QPainterPath& p, std::initializer_list<QPointF> pts)
{
    auto it = pts.begin();
    p.moveTo(*it);
    for (++it; it != pts.end(); ++it)
        p.lineTo(*it);
}

Glyph glyphFor(QChar c)
{
    Glyph g;
    QPainterPath& p = g.path;
    switch (c.toUpper().unicode()) {
    case 'A':
        line(p, {{0, 1}, {0.34, 0}, {0.68, 1}});
        line(p, {{0.12, 0.64}, {0.56, 0.64}});
        g.advance = 0.68;
        break;
    case 'D':
        p.moveTo(0, 0);
        p.lineTo(0.22, 0);
        p.arcTo(QRectF(-0.28, 0, 1.0, 1.0), 90, -180);
        p.lineTo(0, 1);
        p.closeSubpath();
        g.advance = 0.72;
        break;
    case 'E':
        line(p, {{0.58, 0}, {0, 0}, {0, 1}, {0.58, 1}});
        line(p, {{0, 0.5}, {0.46, 0.5}});
        g.advance = 0.58;
        break;
    case 'G': {
        const QRectF r(0, 0, 0.76, 1);
        p.arcMoveTo(r, 48);
        p.arcTo(r, 48, 282);
        p.lineTo(0.76, 0.58);
        p.lineTo(0.44, 0.58);
        g.advance = 0.76;
        break;
    }
    case 'I':
        line(p, {{0, 0}, {0, 1}});
        g.advance = 0.0;
        break;
    case 'L':
        line(p, {{0, 0}, {0, 1}, {0.54, 1}});
        g.advance = 0.54;
        break;
    case 'M':
        line(p, {{0, 1}, {0, 0}, {0.4, 0.72}, {0.8, 0}, {0.8, 1}});
        g.advance = 0.8;
        break;
    case 'O':
        p.addEllipse(QRectF(0, 0, 0.8, 1));
        g.advance = 0.8;
        break;
    case 'P':
        p.moveTo(0, 1);
        p.lineTo(0, 0);
        p.lineTo(0.34, 0);
        p.arcTo(QRectF(0.09, 0, 0.5, 0.54), 90, -180);
        p.lineTo(0, 0.54);
        g.advance = 0.6;
        break;
    case 'R':
        p.moveTo(0, 1);
        p.lineTo(0, 0);
        p.lineTo(0.34, 0);
        p.arcTo(QRectF(0.09, 0, 0.5, 0.54), 90, -180);
        p.lineTo(0, 0.54);
        line(p, {{0.3, 0.54}, {0.62, 1}});
        g.advance = 0.62;
        break;
    case 'S':
        p.moveTo(0.6, 0.14);
        p.cubicTo(0.5, -0.04, 0.02, -0.06, 0.03, 0.25);
        p.cubicTo(0.04, 0.5, 0.62, 0.46, 0.63, 0.74);
        p.cubicTo(0.64, 1.06, 0.1, 1.06, 0.0, 0.84);
        g.advance = 0.63;
        break;
    case 'U':
        p.moveTo(0, 0);
        p.lineTo(0, 0.66);
        p.arcTo(QRectF(0, 0.32, 0.7, 0.68), 180, 180);
        p.lineTo(0.7, 0);
        g.advance = 0.7;
        break;
    case 'X':
        line(p, {{0, 0}, {0.68, 1}});
        line(p, {{0.68, 0}, {0, 1}});
        g.advance = 0.68;
        break;
    case '3':
        p.moveTo(0.04, 0.12);
        p.cubicTo(0.2, -0.05, 0.6, -0.04, 0.6, 0.24);
        p.cubicTo(0.6, 0.42, 0.42, 0.47, 0.24, 0.47);
        p.cubicTo(0.5, 0.47, 0.64, 0.56, 0.64, 0.74);
        p.cubicTo(0.64, 1.05, 0.16, 1.06, 0.0, 0.86);
        g.advance = 0.64;
        break;
    case '4':
        line(p, {{0.48, 1}, {0.48, 0}, {0, 0.7}, {0.66, 0.7}});
        g.advance = 0.66;
        break;
    case '5':
        p.moveTo(0.58, 0);
        p.lineTo(0.1, 0);
        p.lineTo(0.05, 0.44);
        p.cubicTo(0.3, 0.34, 0.64, 0.4, 0.64, 0.7);
        p.cubicTo(0.64, 1.04, 0.16, 1.06, 0.0, 0.86);
        g.advance = 0.64;
        break;
    case '-':
        line(p, {{0, 0.55}, {0.4, 0.55}});
        g.advance = 0.4;
        break;
    default:
        break; // space and anything undefined: an empty cell
    }
    return g;
}

} // namespace

QPainterPath strokeText(const QString& text, double height, double tracking)
{
    QPainterPath out;
    double x = 0.0;
    for (const QChar c : text) {
        const Glyph g = glyphFor(c);
        QTransform t;
        t.translate(x, 0);
        t.scale(height, height);
        out.addPath(t.map(g.path));
        x += (g.advance + tracking) * height;
        if (c == QLatin1Char(' '))
            x += 0.3 * height;
    }
    return out;
}

double strokeTextWidth(const QString& text, double height, double tracking)
{
    double x = 0.0;
    for (const QChar c : text) {
        x += (glyphFor(c).advance + tracking) * height;
        if (c == QLatin1Char(' '))
            x += 0.3 * height;
    }
    return text.isEmpty() ? 0.0 : x - tracking * height;
}

QPainterPath strokeTextOnArc(
    const QString& text, double height, QPointF centre, double radius, double midAngleDeg, double tracking)
{
    // Letters are placed one by one at their own angle; the baseline is the
    // circle, so each letter stands upright on it.
    const double total = strokeTextWidth(text, height, tracking);
    const double degPerPt = 180.0 / (std::numbers::pi * radius);
    double along = -total / 2.0;
    QPainterPath out;
    for (const QChar c : text) {
        const Glyph g = glyphFor(c);
        const double w = g.advance * height;
        const double angle = midAngleDeg + (along + w / 2.0) * degPerPt;
        QTransform t;
        t.translate(centre.x(), centre.y());
        t.rotate(angle);
        t.translate(-w / 2.0, -radius - height);
        t.scale(height, height);
        out.addPath(t.map(g.path));
        along += w + tracking * height;
        if (c == QLatin1Char(' '))
            along += 0.3 * height;
    }
    return out;
}

} // namespace gx::art
