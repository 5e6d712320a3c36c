#include "view/CoverLabel.h"

#include <QBuffer>
#include <QColor>
#include <QImageReader>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace gx::cover {

namespace {

// Points from the centre to the edge of the spindle's hole, as the artwork
// punches it; the spindle cap drawn over the record covers it.
constexpr double kHoleRadius = 3.3;
// The printed rim: a ring of the label's ink just inside the picture's edge.
constexpr double kRimRadius = kPictureRadius - 0.55;
constexpr double kRimWidth = 0.7;
const QColor kRimInk(242, 228, 196, 235);

// How much of the span [d - 0.5, d + 0.5] lies in [from, to]: the share of
// a pixel d from the centre that a ring covers, across the ring.
double overlap(double d, double from, double to)
{
    return std::max(0.0, std::min(d + 0.5, to) - std::max(d - 0.5, from));
}

// Premultiplied `top` at `share` of its strength over `under`.
QRgb over(QRgb top, double share, QRgb under)
{
    const double a = qAlpha(top) / 255.0 * share;
    const auto mix = [&](int t, int u) { return static_cast<int>(std::lround(t * share + u * (1.0 - a))); };
    return qRgba(mix(qRed(top), qRed(under)), mix(qGreen(top), qGreen(under)), mix(qBlue(top), qBlue(under)),
        mix(qAlpha(top), qAlpha(under)));
}

// A premultiplied image's colour at pixel position (u, v), blended from the
// four nearest pixels; positions beyond the edge take the edge's.
QRgb sample(const QImage& image, double u, double v)
{
    const double fu = std::clamp(u, 0.0, image.width() - 1.0);
    const double fv = std::clamp(v, 0.0, image.height() - 1.0);
    const int x = std::min(static_cast<int>(fu), image.width() - 2 < 0 ? 0 : image.width() - 2);
    const int y = std::min(static_cast<int>(fv), image.height() - 2 < 0 ? 0 : image.height() - 2);
    const int x1 = std::min(x + 1, image.width() - 1);
    const int y1 = std::min(y + 1, image.height() - 1);
    const double tx = fu - x;
    const double ty = fv - y;
    const auto* a = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const auto* b = reinterpret_cast<const QRgb*>(image.constScanLine(y1));
    const auto mix = [&](int (*channel)(QRgb)) {
        const double top = channel(a[x]) * (1.0 - tx) + channel(a[x1]) * tx;
        const double low = channel(b[x]) * (1.0 - tx) + channel(b[x1]) * tx;
        return static_cast<int>(std::lround(top * (1.0 - ty) + low * ty));
    };
    return qRgba(mix(qRed), mix(qGreen), mix(qBlue), mix(qAlpha));
}

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

// One row of any image as premultiplied ARGB. Our own loops do all the
// work with whole images: Qt's converters and painters hand an image of any
// size to Qt's own worker threads, which this thread need not wake.
class RowReader {
public:
    explicit RowReader(const QImage& image)
        : image_(image)
    {
    }
    const QRgb* row(int y)
    {
        const QImage::Format f = image_.format();
        if (f == QImage::Format_ARGB32_Premultiplied || f == QImage::Format_RGB32)
            return reinterpret_cast<const QRgb*>(image_.constScanLine(y));
        line_ = image_.copy(0, y, image_.width(), 1).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        return reinterpret_cast<const QRgb*>(line_.constScanLine(0));
    }

private:
    const QImage& image_;
    QImage line_;
};

// The picture's middle square, `side` pixels across: each pixel the mean of
// the pixels it covers, or, for a picture smaller than that, blended from the
// nearest four.
QImage middleSquare(const QImage& picture, int side)
{
    const int whole = std::min(picture.width(), picture.height());
    const int x0 = (picture.width() - whole) / 2;
    const int y0 = (picture.height() - whole) / 2;
    QImage out(side, side, QImage::Format_ARGB32_Premultiplied);
    RowReader rows(picture);
    if (whole < side) {
        QImage crop(whole, whole, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < whole; ++y)
            std::copy_n(rows.row(y0 + y) + x0, whole, reinterpret_cast<QRgb*>(crop.scanLine(y)));
        const double step = static_cast<double>(whole) / side;
        for (int y = 0; y < side; ++y) {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < side; ++x)
                line[x] = sample(crop, (x + 0.5) * step - 0.5, (y + 0.5) * step - 0.5);
        }
        return out;
    }
    std::vector<std::array<std::uint64_t, 5>> sums(static_cast<std::size_t>(side)); // a, r, g, b, count
    int row = 0;
    const auto flush = [&] {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(row));
        for (int x = 0; x < side; ++x) {
            auto& c = sums[static_cast<std::size_t>(x)];
            const std::uint64_t n = std::max<std::uint64_t>(c[4], 1);
            line[x] = qRgba(static_cast<int>(c[1] / n), static_cast<int>(c[2] / n), static_cast<int>(c[3] / n),
                static_cast<int>(c[0] / n));
            c = {};
        }
    };
    for (int y = 0; y < whole; ++y) {
        const int target = static_cast<int>(static_cast<qint64>(y) * side / whole);
        if (target != row) {
            flush();
            row = target;
        }
        const QRgb* line = rows.row(y0 + y) + x0;
        for (int x = 0; x < whole; ++x) {
            auto& c = sums[static_cast<std::size_t>(static_cast<qint64>(x) * side / whole)];
            const QRgb p = line[x];
            c[0] += static_cast<std::uint64_t>(qAlpha(p));
            c[1] += static_cast<std::uint64_t>(qRed(p));
            c[2] += static_cast<std::uint64_t>(qGreen(p));
            c[3] += static_cast<std::uint64_t>(qBlue(p));
            ++c[4];
        }
    }
    flush();
    return out;
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
    // libjpeg decodes at 1/8, 1/4 or 1/2 of the size for little more than
    // the smaller picture costs. Asked for exactly the size it gives, Qt hands
    // it on as it is (any other size it would smooth on its own workers).
    if (reader.format() == "jpeg") {
        for (const int d : {8, 4, 2}) {
            const int w = (size.width() + d - 1) / d;
            const int h = (size.height() + d - 1) / d;
            const auto exact = [d](int whole, int part) { return whole / part >= d && whole / part < 2 * d; };
            if (std::min(w, h) >= sidePixels && exact(size.width(), w) && exact(size.height(), h)) {
                reader.setScaledSize(QSize(w, h));
                break;
            }
        }
    }
    QImage picture;
    if (!reader.read(&picture) || picture.isNull())
        return {};
    return middleSquare(picture, sidePixels);
}

QImage printOnLabel(const QImage& record, const QImage& picture)
{
    if (record.isNull() || picture.isNull())
        return record;
    QImage out(record.size(), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(record.devicePixelRatio());
    {
        RowReader rows(record);
        for (int y = 0; y < record.height(); ++y)
            std::copy_n(rows.row(y), record.width(), reinterpret_cast<QRgb*>(out.scanLine(y)));
    }
    // In pixels, about the pixel grid's centre, which is the record's.
    const double s = record.devicePixelRatio();
    const double cx = out.width() / 2.0;
    const double cy = out.height() / 2.0;
    const double radius = kPictureRadius * s;
    const double hole = kHoleRadius * s;
    const double rim = kRimRadius * s;
    const double rimHalf = kRimWidth * s / 2.0;
    // The picture spans the circle's square.
    const double perPixel = picture.width() / (2.0 * radius);
    const QRgb ink = qPremultiply(kRimInk.rgba());
    const int top = std::max(0, static_cast<int>(std::floor(cy - radius - 1.0)));
    const int bottom = std::min(out.height() - 1, static_cast<int>(std::ceil(cy + radius + 1.0)));
    const int left = std::max(0, static_cast<int>(std::floor(cx - radius - 1.0)));
    const int right = std::min(out.width() - 1, static_cast<int>(std::ceil(cx + radius + 1.0)));
    for (int y = top; y <= bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = left; x <= right; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double printed = overlap(d, hole, radius);
            if (printed <= 0.0)
                continue;
            const QRgb p = sample(
                picture, (x + 0.5 - (cx - radius)) * perPixel - 0.5, (y + 0.5 - (cy - radius)) * perPixel - 0.5);
            QRgb q = over(p, printed, line[x]);
            q = over(ink, overlap(d, rim - rimHalf, rim + rimHalf), q);
            line[x] = q;
        }
    }
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
