#include "view/RecordLabel.h"

#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace gx::turntable {

namespace {

// The share of the ring outside `inner` pixels from the centre that differs
// plainly from the disc turned a quarter: a scratch or a mark on the grooves
// counts, the grain of the grooves does not.
double ringShareChangedByTurning(const QImage& disc, double inner)
{
    const QImage turned = disc.transformed(QTransform().rotate(90));
    const double c = disc.width() / 2.0;
    long changed = 0;
    long n = 0;
    for (int y = 0; y < disc.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(disc.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(turned.constScanLine(y));
        for (int x = 0; x < disc.width(); ++x) {
            const double r = std::hypot(x + 0.5 - c, y + 0.5 - c);
            if (r < inner || r > c)
                continue;
            const int d = std::max({std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                std::abs(qBlue(a[x]) - qBlue(b[x])), std::abs(qAlpha(a[x]) - qAlpha(b[x]))});
            changed += d > 40 ? 1 : 0;
            ++n;
        }
    }
    return n > 0 ? static_cast<double>(changed) / static_cast<double>(n) : 0.0;
}

} // namespace

QImage turningLabel(const QImage& disc, double radius)
{
    if (disc.isNull() || disc.width() != disc.height() || disc.format() != QImage::Format_ARGB32_Premultiplied)
        return {};
    const double scale = disc.devicePixelRatio();
    const double r = radius * scale;
    // Same parity as the disc, so the cut-out's centre is the disc's.
    int side = 2 * static_cast<int>(std::ceil(r)) + (disc.width() % 2);
    side = std::min(side, disc.width());
    if (side <= 0 || ringShareChangedByTurning(disc, r - 2.0) > 0.001)
        return {};
    const int origin = (disc.width() - side) / 2;
    QImage label = disc.copy(origin, origin, side, side);
    const double c = side / 2.0;
    constexpr double rim = 1.5; // pixels of soft edge
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(label.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const double m = std::clamp((r - std::hypot(x + 0.5 - c, y + 0.5 - c)) / rim, 0.0, 1.0);
            const QRgb p = line[x];
            const auto f = [m](int v) { return static_cast<int>(std::lround(v * m)); };
            line[x] = qRgba(f(qRed(p)), f(qGreen(p)), f(qBlue(p)), f(qAlpha(p)));
        }
    }
    label.setDevicePixelRatio(scale);
    return label;
}

} // namespace gx::turntable
