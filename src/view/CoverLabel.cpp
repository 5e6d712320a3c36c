#include "view/CoverLabel.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace gx::cover {

namespace {

// Points from the centre to the edge of the spindle's hole, as the artwork
// punches it; the spindle cap drawn over the record covers it.
constexpr double kHoleRadius = 3.3;
// The printed rim: a ring of the label's ink just inside the picture's edge.
constexpr double kRimRadius = kPictureRadius - 0.55;
constexpr double kRimWidth = 0.7;
const QColor kRimInk(242, 228, 196, 235);

// libjpeg reads a JPEG that stops early to its end, filling the rest grey,
// and Qt calls that a success. A whole JPEG ends its last scan with an
// end-of-image marker; inside a scan 0xFF is always followed by 0x00 or a
// restart marker, so neither marker can be mistaken there.
bool jpegCutShort(const QByteArray& bytes)
{
    if (!bytes.startsWith("\xFF\xD8"))
        return false;
    const qsizetype lastScan = bytes.lastIndexOf(QByteArrayLiteral("\xFF\xDA"));
    const qsizetype end = bytes.lastIndexOf(QByteArrayLiteral("\xFF\xD9"));
    return lastScan < 0 || end < lastScan;
}

} // namespace

QImage readPicture(const QByteArray& bytes, int sidePixels)
{
    if (bytes.isEmpty() || sidePixels <= 0 || jpegCutShort(bytes))
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    // Only the header is read here: the size decides before any decoding.
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()
        || static_cast<qint64>(size.width()) * static_cast<qint64>(size.height()) > kMaxPicturePixels)
        return {};
    const int shorter = std::min(size.width(), size.height());
    if (shorter > sidePixels) {
        const double f = static_cast<double>(sidePixels) / shorter;
        reader.setScaledSize(QSize(std::max(1, static_cast<int>(std::lround(size.width() * f))),
                                   std::max(1, static_cast<int>(std::lround(size.height() * f)))));
    }
    QImage picture;
    if (!reader.read(&picture) || picture.isNull())
        return {};
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage printOnLabel(const QImage& record, const QImage& picture)
{
    if (record.isNull() || picture.isNull())
        return record;
    const double scale = record.devicePixelRatio();
    const QSizeF size = record.deviceIndependentSize();
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const double r = kPictureRadius;

    // The picture on a layer of its own, cut by an antialiased circle (a clip
    // path would cut with hard steps) and the hole, then laid on the record.
    const auto blank = [&] {
        QImage image(record.size(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::transparent);
        return image;
    };
    QImage shape = blank();
    {
        QPainterPath printed;
        printed.addEllipse(centre, r, r);
        QPainterPath hole;
        hole.addEllipse(centre, kHoleRadius, kHoleRadius);
        QPainter p(&shape);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(printed.subtracted(hole), Qt::black);
    }
    QImage layer = blank();
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // Filling the circle's square: the middle of a picture that is not square.
    const double side = std::min(picture.width(), picture.height());
    const QRectF source((picture.width() - side) / 2.0, (picture.height() - side) / 2.0, side, side);
    p.drawImage(QRectF(centre.x() - r, centre.y() - r, 2.0 * r, 2.0 * r), picture, source);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.drawImage(QPointF(0.0, 0.0), shape);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(QPen(kRimInk, kRimWidth));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, kRimRadius, kRimRadius);
    p.end();

    QImage out = record.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    out.detach();
    QPainter onRecord(&out);
    onRecord.drawImage(QPointF(0.0, 0.0), layer);
    onRecord.end();
    return out;
}

CoveredRecord coveredRecord(const QByteArray& bytes, const QImage& disc, const QImage& label)
{
    if (disc.isNull())
        return {};
    const auto side = static_cast<int>(std::ceil(2.0 * kPictureRadius * disc.devicePixelRatio()));
    const QImage picture = readPicture(bytes, side);
    if (picture.isNull())
        return {};
    return {printOnLabel(disc, picture), printOnLabel(label, picture)};
}

} // namespace gx::cover
