#pragma once
// A small single-stroke lettering, so that printed and engraved words need no
// installed font. Only the characters the artwork uses are defined; others
// leave a gap of one letter.
#include <QPainterPath>
#include <QString>

namespace gx::art {

// The centre line of `text` in image coordinates (y down): capital height
// `height`, top at y = 0, starting at x = 0. Stroke it with a round pen of
// about height / 8.
QPainterPath strokeText(const QString& text, double height, double tracking = 0.18);

// Width of strokeText(text, height, tracking), without the pen.
double strokeTextWidth(const QString& text, double height, double tracking = 0.18);

// The text set along a circle of radius `radius` round `centre`, reading
// clockwise with the letters' tops outward; `midAngleDeg` (clockwise from
// 12 o'clock) is where the middle of the text sits.
QPainterPath strokeTextOnArc(
    const QString& text, double height, QPointF centre, double radius, double midAngleDeg, double tracking = 0.18);

} // namespace gx::art
