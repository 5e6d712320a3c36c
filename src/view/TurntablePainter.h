#pragma once
// Paints the turntable's model with its pictures, back to front: the
// background, the record (once it is fully shown only its label turns, over
// a still picture of what lies under it, made once), the reflection, the
// centre piece, the arm, the dial, the switch and the drop highlight. The
// widget (gx::TurntableView) says what to paint and where; this class knows
// how.
//
// The pictures are placed in the view's points (origin bottom-left, y up)
// and painted in Qt's top-left coordinates. Main thread only.
#include "turntable/TurntableGeometry.h"

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <vector>

class QColor;
class QPainter;

namespace gx {

class TurntableModel;
class TurntablePictures;

class TurntablePainter {
public:
    using PointF = turntable::PointF;
    using RectF = turntable::RectF;

    // Both outlive the painter.
    TurntablePainter(const TurntableModel& model, const TurntablePictures& pictures);

    // Measures the pictures anew; after every load.
    void picturesLoaded();
    // Paints the part `dirty` of the view onto a device of that pixel scale.
    void paint(QPainter& painter, const QRegion& dirty, qreal deviceScale, const QColor& highlight);

    // Fully shown, the grooves are drawn upright and only the label turns.
    bool labelTurnsAlone() const;
    // The square about the record's centre that the label (or the whole
    // record) may paint into, turned to any angle.
    QRect turningBox(bool labelOnly) const { return (labelOnly ? labelTurn_ : discTurn_).box; }

    // Between the view's points and Qt's widget coordinates.
    QRectF widgetRectFromView(RectF r) const;
    RectF viewRectFromWidget(QRectF r) const;

private:
    // The turning square, cut into bands of rows.
    struct TurningArea {
        QRect box;
        QPointF pivot;
        std::vector<QRect> bands;
    };
    TurningArea turningArea(float reach) const;
    // The label (or the whole disc) turned to the angle, where it meets `dirty`.
    void drawTurning(QPainter& painter, bool labelOnly, float angle, qreal opacity, const QRegion& dirty) const;
    // The background and the still record under the label's square, as one
    // picture: what a label turning alone is painted on. It holds the
    // reflection as well where that never meets the turned label.
    const QImage& stillUnderLabel();
    void drawImagePart(QPainter& painter, const QImage& image, RectF source, PointF at, qreal opacity) const;
    void drawWholeImage(QPainter& painter, const QImage& image, PointF at, qreal opacity) const;

    const TurntableModel& model_;
    const TurntablePictures& pictures_;
    TurningArea labelTurn_;
    TurningArea discTurn_;
    qreal deviceScale_ = 1.0;           // of the paint under way
    QImage stillUnderLabel_;            // made when first painted, for the pictures loaded
    bool reflectionUnderLabel_ = false; // the still picture holds the reflection too
};

} // namespace gx
