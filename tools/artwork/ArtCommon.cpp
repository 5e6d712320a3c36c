#include "ArtCommon.h"

#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <vector>

namespace gx::art {

QImage makeCanvas(double widthPt, double heightPt, int scale)
{
    QImage img(
        int(std::lround(widthPt * scale)), int(std::lround(heightPt * scale)), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void beginPoints(QPainter& p, QImage& canvas, int scale)
{
    p.begin(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.scale(scale, scale);
}

// --- Noise -----------------------------------------------------------------

double hash01(std::int64_t x, std::int64_t y, std::uint32_t seed)
{
    // splitmix64 finaliser over the packed coordinates: cheap, well mixed and
    // the same on every platform, unlike the standard distributions.
    std::uint64_t h = std::uint64_t(x) * 0x9E3779B97F4A7C15ull
        ^ (std::uint64_t(y) + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full ^ (std::uint64_t(seed) << 32 | seed);
    h ^= h >> 30;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 27;
    h *= 0x94D049BB133111EBull;
    h ^= h >> 31;
    return double(h >> 11) * (1.0 / 9007199254740992.0);
}

double valueNoise(double x, double y, std::uint32_t seed)
{
    const double fx = std::floor(x), fy = std::floor(y);
    const auto ix = std::int64_t(fx), iy = std::int64_t(fy);
    const double tx = x - fx, ty = y - fy;
    // Quintic fade keeps the gradient continuous across lattice cells.
    const double u = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
    const double v = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
    const double a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
    const double c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
    return mix(mix(a, b, u), mix(c, d, u), v);
}

double fbm(double x, double y, int octaves, std::uint32_t seed)
{
    double sum = 0.0, amp = 1.0, norm = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, seed + std::uint32_t(i) * 7919u);
        norm += amp;
        amp *= 0.5;
        x = x * 2.03 + 17.1;
        y = y * 2.03 - 9.7;
    }
    return sum / norm;
}

double smoothstep(double e0, double e1, double x)
{
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

QColor mixColor(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(mix(a.redF(), b.redF(), t)), float(mix(a.greenF(), b.greenF(), t)),
        float(mix(a.blueF(), b.blueF(), t)), float(mix(a.alphaF(), b.alphaF(), t)));
}

// --- Blur and shadows ------------------------------------------------------

namespace {

// One box pass over `n` samples spaced `stride` apart; outside is zero, so a
// shadow fades out instead of smearing its edge pixels.
void boxPass(std::uint8_t* data, int n, int stride, int radius, std::vector<int>& tmp)
{
    tmp.resize(std::size_t(n));
    for (int i = 0; i < n; ++i)
        tmp[std::size_t(i)] = data[i * stride];
    const int width = 2 * radius + 1;
    int sum = 0;
    for (int i = 0; i < std::min(radius, n); ++i)
        sum += tmp[std::size_t(i)];
    for (int i = 0; i < n; ++i) {
        if (i + radius < n)
            sum += tmp[std::size_t(i + radius)];
        if (i - radius - 1 >= 0)
            sum -= tmp[std::size_t(i - radius - 1)];
        data[i * stride] = std::uint8_t((sum + width / 2) / width);
    }
}

} // namespace

void blurAlpha(QImage& img, double sigmaPx)
{
    if (img.isNull() || img.format() != QImage::Format_Alpha8 || sigmaPx < 0.3)
        return;
    // Three box passes of this width have the variance of the Gaussian.
    const double ideal = std::sqrt(4.0 * sigmaPx * sigmaPx + 1.0);
    const int radius = std::max(1, int(std::lround((ideal - 1.0) / 2.0)));
    std::vector<int> tmp;
    const int w = img.width(), h = img.height();
    const int bpl = int(img.bytesPerLine());
    std::uint8_t* bits = img.bits();
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            boxPass(bits + std::ptrdiff_t(y) * bpl, w, 1, radius, tmp);
        for (int x = 0; x < w; ++x)
            boxPass(bits + x, h, bpl, radius, tmp);
    }
}

void drawSoftShadow(QPainter& p, const QPainterPath& shape, QPointF offset, double blur, const QColor& color)
{
    const QTransform t = p.transform();
    const QPainterPath moved = shape.translated(offset);
    const double scale = std::sqrt(std::abs(t.determinant()));
    const double sigma = blur * scale;
    const int margin = int(std::ceil(3.0 * sigma)) + 2;
    QRect box = t.map(moved).boundingRect().toAlignedRect().adjusted(-margin, -margin, margin, margin);
    if (p.device())
        box &= QRect(0, 0, p.device()->width(), p.device()->height());
    if (box.isEmpty())
        return;

    QImage mask(box.size(), QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter q(&mask);
        q.setRenderHint(QPainter::Antialiasing, true);
        q.setTransform(t * QTransform::fromTranslate(-box.x(), -box.y()));
        q.fillPath(moved, QColor(0, 0, 0, 255));
    }
    blurAlpha(mask, sigma);

    QImage tinted(box.size(), QImage::Format_ARGB32_Premultiplied);
    const int r = color.red(), g = color.green(), b = color.blue(), a = color.alpha();
    for (int y = 0; y < box.height(); ++y) {
        const std::uint8_t* src = mask.constScanLine(y);
        auto* dst = reinterpret_cast<QRgb*>(tinted.scanLine(y));
        for (int x = 0; x < box.width(); ++x) {
            const int al = src[x] * a / 255;
            dst[x] = qRgba(r * al / 255, g * al / 255, b * al / 255, al);
        }
    }
    p.save();
    p.resetTransform();
    p.drawImage(box.topLeft(), tinted);
    p.restore();
}

// --- Output ----------------------------------------------------------------

namespace {

bool writeWith(
    const QString& path, const QImage& source, const char* format, int compression, int scale, QString* error)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int dotsPerMetre = int(std::lround(72.0 / 0.0254 * scale));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    QImageWriter writer(&file, format);
    if (compression >= 0)
        writer.setCompression(compression);
    if (!writer.write(image)) {
        if (error)
            *error = QStringLiteral("cannot encode %1: %2").arg(path, writer.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("cannot finish %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

bool writeTiff(const QString& path, const QImage& image, int scale, QString* error)
{
    // The TIFF plug-in reads compression 1 as LZW.
    return writeWith(path, image, "tiff", 1, scale, error);
}

bool writePng(const QString& path, const QImage& image, QString* error)
{
    return writeWith(path, image, "png", -1, 1, error);
}

} // namespace gx::art
