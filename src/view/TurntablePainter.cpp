#include "view/TurntablePainter.h"

#include "turntable/TurntableLogic.h"
#include "turntable/TurntableModel.h"
#include "view/TurntablePictures.h"

#include <QColor>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace gx {

namespace tt = turntable;

namespace {

// The reflection over a fully shown record.
constexpr qreal kReflectionOpacity = 0.2;

} // namespace

TurntablePainter::TurntablePainter(const TurntableModel& model, const TurntablePictures& pictures)
    : model_(model)
    , pictures_(pictures)
{
}

void TurntablePainter::picturesLoaded()
{
    labelTurn_ = turningArea(pictures_.labelReach);
    discTurn_ = turningArea(pictures_.discReach);
    stillUnderLabel_ = {};
    // The reflection lies over the record, about its centre. Where the
    // turned label reaches (half a pixel more for the smoothing) and the
    // reflection is clear, one is never under the other: the reflection is
    // painted once into the still picture instead of over every turn.
    const QSizeF discSize = pictures_.disc.deviceIndependentSize();
    reflectionUnderLabel_ = !pictures_.reflection.isNull() && !pictures_.label.isNull()
        && pictures_.reflection.deviceIndependentSize() == discSize
        && pictures_.reflectionClear > pictures_.labelReach + 0.5f / static_cast<float>(pictures_.scale());
}

QRectF TurntablePainter::widgetRectFromView(RectF r) const
{
    return {r.x, pictures_.height() - r.y - r.height, r.width, r.height};
}

TurntablePainter::RectF TurntablePainter::viewRectFromWidget(QRectF r) const
{
    return {static_cast<float>(r.x()), static_cast<float>(pictures_.height() - r.y() - r.height()),
        static_cast<float>(r.width()), static_cast<float>(r.height())};
}

TurntablePainter::TurningArea TurntablePainter::turningArea(float reach) const
{
    if (pictures_.disc.isNull())
        return {};
    const QSizeF size = pictures_.disc.deviceIndependentSize();
    TurningArea area;
    area.pivot = {size.width() / 2.0 + tt::diskRect.x, pictures_.height() - (size.height() / 2.0 + tt::diskRect.y)};
    // A point more for the smoothing, which reaches into the next pixel.
    const double r = static_cast<double>(reach) + 1.0;
    area.box = QRectF(area.pivot.x() - r, area.pivot.y() - r, 2.0 * r, 2.0 * r).toAlignedRect();
    // Turned in bands of rows: Qt hands a turned image of more rows than a
    // band to its worker threads, and waking them costs more than the work.
    const int band = std::max(1, static_cast<int>(64.0 / pictures_.scale()));
    for (int y = area.box.top(); y <= area.box.bottom(); y += band)
        area.bands.push_back(QRect(area.box.left(), y, area.box.width(), band) & area.box);
    return area;
}

bool TurntablePainter::labelTurnsAlone() const
{
    // Fully shown, the grooves are drawn upright and only the label turns;
    // while fading, the label must not show through twice.
    return model_.diskFraction() >= 1.0f && !pictures_.label.isNull();
}

void TurntablePainter::drawImagePart(
    QPainter& painter, const QImage& image, RectF source, PointF at, qreal opacity) const
{
    if (image.isNull())
        return;
    // Source and destination are in points with y up; the part of the source
    // outside the image draws nothing.
    const QSizeF size = image.deviceIndependentSize();
    const double x0 = std::max<double>(source.x, 0.0);
    const double y0 = std::max<double>(source.y, 0.0);
    const double x1 = std::min<double>(static_cast<double>(source.x) + source.width, size.width());
    const double y1 = std::min<double>(static_cast<double>(source.y) + source.height, size.height());
    if (!(x1 > x0) || !(y1 > y0))
        return;
    const double w = x1 - x0;
    const double h = y1 - y0;
    const double dx = at.x + (x0 - source.x);
    const double dy = at.y + (y0 - source.y);
    // Placed on the window's pixels as Qt rounds a position in the view
    // (halves up), also when painted into a picture of a part of the view,
    // where the position may fall below zero and would round the other way.
    const double d = deviceScale_;
    const auto onPixel = [d](double v) { return std::floor(v * d + 0.5) / d; };
    const QRectF target(onPixel(dx), onPixel(pictures_.height() - dy - h), w, h);
    const double s = image.devicePixelRatio();
    const QRectF pixels(x0 * s, (size.height() - y1) * s, w * s, h * s);
    painter.setOpacity(opacity);
    painter.drawImage(target, image, pixels);
}
void TurntablePainter::drawWholeImage(QPainter& painter, const QImage& image, PointF at, qreal opacity) const
{
    if (image.isNull())
        return;
    const QSizeF size = image.deviceIndependentSize();
    drawImagePart(
        painter, image, {0.0f, 0.0f, static_cast<float>(size.width()), static_cast<float>(size.height())}, at, opacity);
}

void TurntablePainter::drawTurning(
    QPainter& painter, bool labelOnly, float angle, qreal opacity, const QRegion& dirty) const
{
    const QImage& image = pictures_.turning(labelOnly);
    if (image.isNull())
        return;
    const TurningArea& area = labelOnly ? labelTurn_ : discTurn_;
    QTransform turn = QTransform::fromTranslate(area.pivot.x(), area.pivot.y());
    // Counter-clockwise degrees with y up are clockwise ones with Qt's y down.
    if (std::isfinite(angle))
        turn.rotate(-static_cast<double>(angle));
    // The extent is symmetric about the pivot, so flipping y leaves it where
    // it was.
    const QSizeF size = image.deviceIndependentSize();
    const QRectF target(-size.width() / 2.0, -size.height() / 2.0, size.width(), size.height());
    // Under the view's own scale, when it shows the turntable larger.
    const QTransform base = painter.transform();
    painter.save();
    painter.setOpacity(opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const QRect& band : area.bands) {
        if (!dirty.intersects(band))
            continue;
        painter.setTransform(base);
        painter.setClipRect(band);
        painter.setTransform(turn * base);
        painter.drawImage(target, image);
    }
    painter.restore();
}

const QImage& TurntablePainter::stillUnderLabel()
{
    const qreal scale = deviceScale_;
    if (!stillUnderLabel_.isNull() && stillUnderLabel_.devicePixelRatio() == scale)
        return stillUnderLabel_;
    const QRect& box = labelTurn_.box;
    const QImage& bg = pictures_.background;
    stillUnderLabel_ = QImage((QSizeF(box.size()) * scale).toSize(),
        !bg.isNull() && !bg.hasAlphaChannel() ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    stillUnderLabel_.setDevicePixelRatio(scale);
    stillUnderLabel_.fill(Qt::transparent);
    QPainter painter(&stillUnderLabel_);
    painter.translate(-box.topLeft());
    const RectF part = viewRectFromWidget(box);
    drawImagePart(painter, bg, part, {part.x, part.y}, 1.0);
    drawWholeImage(painter, pictures_.disc, {tt::diskRect.x, tt::diskRect.y}, 1.0);
    if (reflectionUnderLabel_)
        drawWholeImage(painter, pictures_.reflection, tt::reflectOrigin, static_cast<float>(kReflectionOpacity));
    return stillUnderLabel_;
}

void TurntablePainter::paint(QPainter& painter, const QRegion& dirty, qreal deviceScale, const QColor& highlight)
{
    deviceScale_ = deviceScale;
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const float fraction = model_.diskFraction();
    const bool showsDisc = fraction > 0.0f && !pictures_.disc.isNull();
    const bool labelOnly = showsDisc && labelTurnsAlone();

    // Under a label that turns alone, the background and the still record
    // are copied as one picture, made once: on whole pixels only, where the
    // copy falls on the window's pixels.
    QRegion layered = dirty;
    bool reflectionShown = false;
    if (labelOnly && deviceScale == std::round(deviceScale) && layered.intersects(labelTurn_.box)) {
        reflectionShown = reflectionUnderLabel_;
        painter.setClipRect(labelTurn_.box);
        painter.drawImage(labelTurn_.box.topLeft(), stillUnderLabel());
        painter.setClipping(false);
        layered -= labelTurn_.box;
    }
    if (!layered.isEmpty()) {
        painter.setClipRegion(layered);
        // Only the part of the background being redrawn; it is pinned to the
        // view's origin.
        const RectF part = viewRectFromWidget(layered.boundingRect());
        drawImagePart(painter, pictures_.background, part, {part.x, part.y}, 1.0);
        if (labelOnly)
            drawWholeImage(painter, pictures_.disc, {tt::diskRect.x, tt::diskRect.y}, 1.0);
        painter.setClipping(false);
    }

    if (fraction > 0.0f) {
        // Turned straight onto the window, only where it meets the redraw.
        if (showsDisc)
            drawTurning(painter, labelOnly, model_.diskRotate(), fraction, dirty);
        // The still picture copied in showed it already.
        if (reflectionShown)
            painter.setClipRegion(layered);
        const float reflectOpacity = static_cast<float>(static_cast<double>(fraction) * kReflectionOpacity);
        if (!reflectionShown || !layered.isEmpty())
            drawWholeImage(painter, pictures_.reflection, tt::reflectOrigin, reflectOpacity);
        painter.setClipping(false);
    }

    drawWholeImage(painter, pictures_.centrePiece, tt::centrePieceOrigin, 1.0);

    const int arm = tt::armFrameIndex(model_.armValue());
    if (arm >= 0 && arm < static_cast<int>(pictures_.armFrames.size())) {
        const gx::TurntablePictures::ArmFrame& frame = pictures_.armFrames[static_cast<std::size_t>(arm)];
        drawWholeImage(painter, frame.image, {tt::armOrigin.x + frame.offset.x, tt::armOrigin.y + frame.offset.y}, 1.0);
    }

    const int dial = tt::dialFrameIndex(model_.dialValue());
    const RectF& d = tt::dialDraggRect;
    drawImagePart(painter, pictures_.dial, {dial * d.width, 0.0f, d.width, d.height}, {d.x, d.y}, 1.0);

    drawWholeImage(painter, model_.switchValue() ? pictures_.playButton : pictures_.stopButton,
        {tt::playBtnRect.x, tt::playBtnRect.y}, 1.0);

    if (model_.isFileDragging()) {
        // A frame inside the bounds.
        painter.setOpacity(1.0);
        const qreal W = pictures_.width();
        const qreal H = pictures_.height();
        const qreal t = tt::highlightWidth;
        painter.fillRect(QRectF(0, 0, W, t), highlight);
        painter.fillRect(QRectF(0, H - t, W, t), highlight);
        painter.fillRect(QRectF(0, t, t, H - 2 * t), highlight);
        painter.fillRect(QRectF(W - t, t, t, H - 2 * t), highlight);
    }
}

} // namespace gx
