#pragma once
// The turntable's images. Each function draws one image at `scale` pixels
// per point (1 or 2); the sizes in points never change with the scale.
#include <QImage>
#include <QString>

namespace gx::art {

QImage renderBackground(int scale);  // 340 x 280: plinth, platter, arm base
QImage renderDisc(int scale);        // 221 x 221: the record
QImage renderReflection(int scale);  // 221 x 221: sheen laid over the record
QImage renderCentrePiece(int scale); // 38 x 15: spindle cap
QImage renderDialStrip(int scale);   // 5 frames of 20 x 20
QImage renderArmStrip(int scale);    // 50 frames of 246 x 151
QImage renderArmFrame(int frame, int scale);
QImage renderButton(bool lit, int scale); // 52 x 52
QImage renderIcon(int pixels);            // square application icon
QString renderIconSvg();                  // the same icon as SVG, 256 units square
bool writeText(const QString& path, const QString& text, QString* error);

// The turntable as the view would show it, for looking at the artwork.
// Draws the images found in `resourceDir` (at 2x when available).
QImage composePreview(const QString& resourceDir, double discAngleDeg, int armFrame, int dialFrame, bool playing);

} // namespace gx::art
