#pragma once
// Shared pieces of the artwork generator: the turntable's fixed geometry,
// deterministic noise, soft shadows and file output.
//
// Geometry is given in view points with the origin at the bottom-left and y
// up, the way the turntable view places its images. Painting happens in image
// points (origin top-left, y down); toImage() converts between the two.
#include "turntable/TurntableGeometry.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <cstdint>

class QPainter;

namespace gx::art {

namespace tt = turntable;

// The whole window, which the background covers.
inline constexpr double kViewWidth = tt::defaultViewWidth;
inline constexpr double kViewHeight = tt::defaultViewHeight;

// The record, in view points.
inline constexpr QPointF kDiscCentre {tt::discCentre.x, tt::discCentre.y};
inline constexpr double kDiscSize = tt::diskRect.width;
inline constexpr double kDiscRadius = kDiscSize / 2.0;
inline constexpr double kLabelRadius = tt::labelRadius;
inline constexpr double kOuterGrooveRadius = 107.5;
inline constexpr double kInnerGrooveRadius = 48.5;
inline constexpr double kPlatterRadius = 114.0;

// Fixed controls, in view points (bottom-left corners and sizes).
inline constexpr QPointF kCentrePieceOrigin {tt::centrePieceOrigin.x, tt::centrePieceOrigin.y};
inline constexpr double kCentrePieceWidth = tt::centrePieceWidth;
inline constexpr double kCentrePieceHeight = tt::centrePieceHeight;
inline constexpr QPointF kDialOrigin {tt::dialDraggRect.x, tt::dialDraggRect.y};
inline constexpr double kDialSize = tt::dialDraggRect.width;
inline constexpr int kDialFrames = tt::dialFrameCount;
inline constexpr QPointF kButtonOrigin {tt::playBtnRect.x, tt::playBtnRect.y};
inline constexpr double kButtonSize = tt::playBtnRect.width;

// Converts a view point to image points in an image of the given height
// (in points) whose bottom-left corner lies at the view point origin.
inline QPointF toImage(QPointF view, QPointF origin, double imageHeight)
{
    return {view.x() - origin.x(), imageHeight - (view.y() - origin.y())};
}

// Transparent premultiplied canvas of size (w, h) points at the given scale.
QImage makeCanvas(double widthPt, double heightPt, int scale);

// Starts painting on a canvas in points: antialiased, scaled by `scale`.
void beginPoints(QPainter& p, QImage& canvas, int scale);

// --- Deterministic noise -------------------------------------------------

// A hash of integer lattice coordinates and a seed, uniform in [0, 1).
double hash01(std::int64_t x, std::int64_t y, std::uint32_t seed);
// Smooth value noise in [0, 1).
double valueNoise(double x, double y, std::uint32_t seed);
// Fractal sum of value noise, normalised to [0, 1).
double fbm(double x, double y, int octaves, std::uint32_t seed);

inline double clamp01(double v)
{
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}
inline double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}
double smoothstep(double e0, double e1, double x);

// Blends two colours; t = 0 gives a.
QColor mixColor(const QColor& a, const QColor& b, double t);

// --- Shadows and blur ----------------------------------------------------

// Box-blurs an Alpha8 image three times, close to a Gaussian of `sigmaPx`.
void blurAlpha(QImage& alpha8, double sigmaPx);

// Paints a soft shadow of `shape` (in the painter's current coordinates),
// moved by `offset` and blurred by `blur` (both in those coordinates too).
void drawSoftShadow(QPainter& p, const QPainterPath& shape, QPointF offset, double blur, const QColor& color);

// --- Output --------------------------------------------------------------

// Writes an LZW-compressed TIFF with straight (non-premultiplied) alpha,
// replacing any earlier file only once the new one is complete. The stated
// resolution is 72 dpi per point of scale, fixed so the bytes never depend
// on the machine's screen.
bool writeTiff(const QString& path, const QImage& image, int scale, QString* error);
bool writePng(const QString& path, const QImage& image, QString* error);

} // namespace gx::art
