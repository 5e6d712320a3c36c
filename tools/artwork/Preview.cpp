// Puts the generated images together the way the turntable view layers them,
// so the artwork can be judged as a whole.
#include "ArmGeometry.h"
#include "ArtCommon.h"
#include "Painters.h"
#include "platform/ResourceNames.h"

#include <QDir>
#include <QPainter>

namespace gx::art {

namespace {

QImage load(const QDir& dir, const QString& name)
{
    // Prefer the double-size image; its pixels are half a point each.
    QImage img(dir.filePath(name + QStringLiteral("@2x.tif")));
    if (!img.isNull()) {
        img.setDevicePixelRatio(2.0);
        return img;
    }
    return QImage(dir.filePath(name + QStringLiteral(".tif")));
}

// The image's size in points.
QSizeF pointSize(const QImage& img)
{
    return QSizeF(img.size()) / img.devicePixelRatio();
}

// View point (bottom-left corner of something `h` points high) -> top-left.
QPointF topLeft(double x, double y, double h)
{
    return {x, kViewHeight - y - h};
}

void drawFrame(QPainter& p, const QImage& strip, int frame, QSizeF frameSize, QPointF viewOrigin)
{
    if (strip.isNull())
        return;
    const double dpr = strip.devicePixelRatio();
    const QRectF source(frame * frameSize.width() * dpr, 0, frameSize.width() * dpr, frameSize.height() * dpr);
    const QRectF target(topLeft(viewOrigin.x(), viewOrigin.y(), frameSize.height()), frameSize);
    p.drawImage(target, strip, source);
}

} // namespace

QImage composePreview(const QString& resourceDir, double discAngleDeg, int armFrame, int dialFrame, bool playing)
{
    const QDir dir(resourceDir);
    const QImage bg = load(dir, QString(gx::resources::background));
    if (bg.isNull())
        return {};
    const QImage disc = load(dir, QString(gx::resources::disc));
    const QImage reflect = load(dir, QString(gx::resources::reflection));
    const QImage centre = load(dir, QString(gx::resources::centrePiece));
    const QImage dial = load(dir, QString(gx::resources::dial));
    const QImage arm = load(dir, QString(gx::resources::arm));
    const QImage button = load(dir, playing ? QString(gx::resources::playButton) : QString(gx::resources::stopButton));

    QImage shot(int(kViewWidth * 2), int(kViewHeight * 2), QImage::Format_ARGB32_Premultiplied);
    shot.setDevicePixelRatio(2.0);
    shot.fill(Qt::black);
    QPainter p(&shot);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.drawImage(QPointF(0, 0), bg);

    if (!disc.isNull()) {
        const QSizeF s = pointSize(disc);
        p.save();
        p.translate(27.5 + s.width() / 2.0, kViewHeight - (34.0 + s.height() / 2.0));
        p.rotate(-discAngleDeg); // the view turns counter-clockwise for positive angles
        p.drawImage(QPointF(-s.width() / 2.0, -s.height() / 2.0), disc);
        p.restore();
    }
    if (!reflect.isNull()) {
        p.setOpacity(0.2);
        p.drawImage(topLeft(27.5, 34.0, pointSize(reflect).height()), reflect);
        p.setOpacity(1.0);
    }
    if (!centre.isNull())
        p.drawImage(topLeft(kCentrePieceOrigin.x(), kCentrePieceOrigin.y(), pointSize(centre).height()), centre);
    drawFrame(p, arm, armFrame, QSizeF(kArmFrameWidth, kArmFrameHeight), kArmOrigin);
    drawFrame(p, dial, dialFrame, QSizeF(kDialSize, kDialSize), kDialOrigin);
    if (!button.isNull())
        p.drawImage(topLeft(kButtonOrigin.x(), kButtonOrigin.y(), pointSize(button).height()), button);
    p.end();
    return shot;
}

} // namespace gx::art
