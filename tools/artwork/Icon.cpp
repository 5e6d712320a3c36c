// The application icon: a record on a wooden plinth with the tone arm laid
// on it. Drawn as vectors on a 256-unit square at every size, with strokes
// kept at least a pixel or so wide so the small sizes stay legible.
#include "ArtCommon.h"
#include "Painters.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace gx::art {

QImage renderIcon(int pixels)
{
    QImage img(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double unit = pixels / 256.0;
    p.scale(unit, unit);
    // Width in icon units, but never thinner than `minPx` device pixels.
    auto W = [&](double w, double minPx) { return std::max(w, minPx / unit); };
    const bool detailed = pixels >= 48;

    // Plinth.
    const QRectF plinth(18, 34, 220, 196);
    QPainterPath plinthPath;
    plinthPath.addRoundedRect(plinth, 26, 26);
    if (pixels >= 24)
        drawSoftShadow(p, plinthPath, QPointF(0, 5), 6, QColor(0, 0, 0, 110));
    QLinearGradient wood(plinth.topLeft(), plinth.bottomRight());
    wood.setColorAt(0.0, QColor(206, 138, 76));
    wood.setColorAt(0.55, QColor(160, 94, 46));
    wood.setColorAt(1.0, QColor(112, 60, 28));
    p.setPen(QPen(QColor(70, 34, 10), W(2.5, 0.8)));
    p.setBrush(wood);
    p.drawPath(plinthPath);
    if (detailed) {
        p.save();
        p.setClipPath(plinthPath);
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 22; ++i) {
            const double y = 40 + i * 9.0 + 3.0 * hash01(i, 0, 5u);
            QPainterPath grain;
            grain.moveTo(10, y);
            for (int k = 1; k <= 8; ++k)
                grain.lineTo(10 + k * 30.0, y + 4.0 * (valueNoise(k * 0.6, i * 0.7, 6u) - 0.5));
            p.setPen(QPen(QColor(90, 44, 16, 40 + int(40 * hash01(i, 1, 7u))), 1.2));
            p.drawPath(grain);
        }
        p.restore();
    }

    // Platter rim and record.
    const QPointF c(110, 134);
    QConicalGradient rim(c, 135);
    rim.setColorAt(0.0, QColor(250, 250, 252));
    rim.setColorAt(0.25, QColor(110, 112, 120));
    rim.setColorAt(0.5, QColor(236, 238, 242));
    rim.setColorAt(0.75, QColor(110, 112, 120));
    rim.setColorAt(1.0, QColor(250, 250, 252));
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(c, 88, 88);
    p.setBrush(QColor(18, 18, 20));
    p.drawEllipse(c, 83, 83);
    if (detailed) {
        p.setBrush(Qt::NoBrush);
        for (double r = 38; r < 80; r += 3.2) {
            p.setPen(QPen(QColor(60, 60, 66, 110), 0.9));
            p.drawEllipse(c, r, r);
        }
        p.setPen(QPen(QColor(6, 6, 8), 2.0));
        for (const double r : {52.0, 66.0})
            p.drawEllipse(c, r, r);
    }
    // Groove sheen.
    QConicalGradient sheen(c, 135);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 120));
    sheen.setColorAt(0.06, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.44, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 70));
    sheen.setColorAt(0.56, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.94, QColor(255, 255, 255, 0));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 120));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    QPainterPath vinyl;
    vinyl.addEllipse(c, 82, 82);
    QPainterPath labelHole;
    labelHole.addEllipse(c, 32, 32);
    p.drawPath(vinyl.subtracted(labelHole));

    QRadialGradient label(c, 30);
    label.setColorAt(0.0, QColor(196, 36, 44));
    label.setColorAt(1.0, QColor(128, 16, 26));
    p.setBrush(label);
    p.drawEllipse(c, 30, 30);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(244, 228, 196), W(2.0, 0.7)));
    p.drawEllipse(c, 25, 25);
    if (detailed) {
        p.setPen(QPen(QColor(244, 228, 196), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-14, -9), c + QPointF(14, -9));
        p.drawLine(c + QPointF(-9, 10), c + QPointF(9, 10));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 222, 228));
    p.drawEllipse(c, W(4.0, 1.0), W(4.0, 1.0));

    // Tone arm, pivot at the upper right, head on the record.
    const QPointF pivot(204, 66), head(150, 186);
    const QPointF dir = (head - pivot) / std::hypot(head.x() - pivot.x(), head.y() - pivot.y());
    const QPointF rear = pivot - dir * 26;
    QPainterPath armShape;
    armShape.moveTo(rear);
    armShape.lineTo(head);
    if (pixels >= 24) {
        QPainterPathStroker st;
        st.setWidth(10);
        st.setCapStyle(Qt::RoundCap);
        drawSoftShadow(p, st.createStroke(armShape), QPointF(5, 6), 4, QColor(0, 0, 0, 120));
    }
    QRadialGradient base(pivot, 22, pivot + QPointF(-6, -6));
    base.setColorAt(0.0, QColor(120, 120, 130));
    base.setColorAt(1.0, QColor(28, 28, 32));
    p.setBrush(base);
    p.setPen(QPen(QColor(10, 10, 12), W(1.5, 0.6)));
    p.drawEllipse(pivot, 21, 21);
    // Counterweight behind the pivot.
    p.setPen(QPen(QColor(40, 40, 46), W(20, 2.5), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(pivot - dir * 12, rear);
    p.setPen(QPen(QColor(196, 198, 206), W(16, 1.8), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(pivot - dir * 13, rear + dir * 1);
    // Tube: dark outline, bright core, thin highlight.
    p.setPen(QPen(QColor(40, 40, 46), W(10, 2.0), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(pivot, head);
    p.setPen(QPen(QColor(214, 216, 224), W(7, 1.2), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(pivot, head);
    if (detailed) {
        p.setPen(QPen(QColor(255, 255, 255, 230), 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(pivot + QPointF(-2, -1), head + QPointF(-2, -1));
    }
    // Headshell, turned a little inward.
    p.save();
    p.translate(head);
    p.rotate(std::atan2(dir.y(), dir.x()) * 180.0 / std::numbers::pi + 24.0);
    p.setPen(QPen(QColor(30, 30, 34), W(1.5, 0.6)));
    p.setBrush(QColor(232, 234, 240));
    p.drawRoundedRect(QRectF(-6, -9, 30, 18), 4, 4);
    p.setBrush(QColor(30, 30, 34));
    p.drawRect(QRectF(14, -6, 12, 12));
    p.restore();
    // Pivot cap.
    QRadialGradient cap(pivot, 10, pivot + QPointF(-3, -3));
    cap.setColorAt(0.0, QColor(255, 255, 255));
    cap.setColorAt(1.0, QColor(110, 112, 122));
    p.setPen(QPen(QColor(20, 20, 24), W(1.2, 0.5)));
    p.setBrush(cap);
    p.drawEllipse(pivot, 10, 10);
    p.end();
    return img;
}

} // namespace gx::art
