#include "view/TurntablePictures.h"

#include "platform/ResourceNames.h"
#include "platform/Resources.h"
#include "view/RecordLabel.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tt = gx::turntable;

namespace {

bool opaque(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

QImage loadImage(const std::string& base, bool preferDouble)
{
    auto load = [](const std::string& name) -> QImage {
        const std::string path = gx::pathForResource(name);
        if (path.empty())
            return {};
        QImage image(QString::fromStdString(path));
        if (image.isNull())
            return {};
        // Premultiplied once here, so that painting never converts; and an
        // image that is opaque throughout is copied, not blended, and lets
        // the view paint without its window's background under it.
        // In place: the arm's strip alone is 7 MB at 1x and 30 MB at 2x.
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        // Opaque premultiplied pixels are RGB32 pixels already.
        if (image.hasAlphaChannel() && opaque(image))
            image.reinterpretAsFormat(QImage::Format_RGB32);
        return image;
    };
    if (preferDouble) {
        QImage image = load(base + "@2x.tif");
        if (!image.isNull()) {
            image.setDevicePixelRatio(2.0);
            return image;
        }
    }
    return load(base + ".tif");
}

// Points from the image's centre to the farthest corner of a pixel that
// shows: what the image can cover when turned about its centre.
float reachOf(const QImage& image)
{
    if (image.isNull())
        return 0.0f;
    const double cx = image.width() / 2.0;
    const double cy = image.height() / 2.0;
    const auto farthest = [](int i, double c) { return std::max(std::fabs(i - c), std::fabs(i + 1 - c)); };
    double reach = 0.0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (!image.hasAlphaChannel() || qAlpha(line[x]) != 0)
                reach = std::max(reach, std::hypot(farthest(x, cx), farthest(y, cy)));
    }
    return static_cast<float>(reach / image.devicePixelRatio());
}

// Points from the image's centre to the nearest point of a pixel that shows:
// inside it the image is clear.
float clearRadiusOf(const QImage& image)
{
    if (image.isNull() || !image.hasAlphaChannel())
        return 0.0f;
    const double cx = image.width() / 2.0;
    const double cy = image.height() / 2.0;
    const auto nearest = [](int i, double c) { return std::max({0.0, i - c, c - (i + 1)}); };
    double clear = std::hypot(cx, cy);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 0)
                clear = std::min(clear, std::hypot(nearest(x, cx), nearest(y, cy)));
    }
    return static_cast<float>(clear / image.devicePixelRatio());
}

} // namespace

namespace gx {

void TurntablePictures::load(qreal wantedScale)
{
    const bool preferDouble = wantedScale > 1.0;
    namespace names = gx::resources;
    background = loadImage(names::background, preferDouble);
    disc = loadImage(names::disc, preferDouble);
    label = tt::turningLabel(disc, tt::labelTurnRadius);
    discReach = reachOf(disc);
    labelReach = reachOf(label);
    coveredDisc_ = {};
    coveredLabel_ = {};
    reflection = loadImage(names::reflection, preferDouble);
    reflectionClear = clearRadiusOf(reflection);
    centrePiece = loadImage(names::centrePiece, preferDouble);
    dial = loadImage(names::dial, preferDouble);
    armFrames = cutArmFrames(loadImage(names::arm, preferDouble));
    playButton = loadImage(names::playButton, preferDouble);
    stopButton = loadImage(names::stopButton, preferDouble);
    scale_ = preferDouble ? 2.0 : 1.0;
    const QSizeF size = background.isNull() ? QSizeF(tt::defaultViewWidth, tt::defaultViewHeight)
                                            : background.deviceIndependentSize();
    width_ = static_cast<float>(std::ceil(size.width()));
    height_ = static_cast<float>(std::ceil(size.height()));
}

bool TurntablePictures::setCover(const QImage& coveredDisc, const QImage& coveredLabel)
{
    if (coveredDisc.isNull() && coveredDisc_.isNull())
        return false;
    coveredDisc_ = coveredDisc;
    coveredLabel_ = coveredLabel;
    return true;
}

// The strip's frames, each cut down to the part of it that shows: a frame is
// mostly clear, and the whole strip would hold several megabytes for one
// frame on screen at a time. A part of a frame outside the strip is clear.
std::vector<TurntablePictures::ArmFrame> TurntablePictures::cutArmFrames(const QImage& strip)
{
    std::vector<ArmFrame> frames(tt::armFrameCount);
    if (strip.isNull())
        return frames;
    const double s = strip.devicePixelRatio();
    const int w = static_cast<int>(std::lround(tt::armFrameWidth * s));
    const int h = static_cast<int>(std::lround(tt::armFrameHeight * s));
    for (int i = 0; i < tt::armFrameCount; ++i) {
        // Frames stand on the strip's bottom edge.
        const QRect cell = QRect(i * w, strip.height() - h, w, h) & strip.rect();
        int left = cell.right() + 1, right = cell.left() - 1, top = cell.bottom() + 1, bottom = cell.top() - 1;
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
            for (int x = cell.left(); x <= cell.right(); ++x) {
                if (strip.hasAlphaChannel() && qAlpha(line[x]) == 0)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        if (left > right)
            continue;
        ArmFrame& frame = frames[static_cast<std::size_t>(i)];
        frame.image = strip.copy(QRect(QPoint(left, top), QPoint(right, bottom)));
        frame.image.setDevicePixelRatio(s);
        // Points from the frame's bottom-left corner, y up.
        frame.offset = {static_cast<float>((left - i * w) / s), static_cast<float>((strip.height() - 1 - bottom) / s)};
    }
    return frames;
}

const QImage& TurntablePictures::turning(bool labelOnly) const
{
    const bool covered = !coveredDisc_.isNull() && (!labelOnly || !coveredLabel_.isNull());
    return labelOnly ? (covered ? coveredLabel_ : label) : (covered ? coveredDisc_ : disc);
}

} // namespace gx
