#pragma once
// The turning record costs one smooth rotation of the whole disc image per
// frame, by far the dearest part of drawing the turntable. Grooves look the
// same at every angle, so once the record is fully shown only its label needs
// turning: the disc is drawn upright and the label, cut out here, turned over
// it.
#include <QImage>

namespace gx::turntable {

// The round middle of a premultiplied disc image, `radius` points across from
// its centre with a soft rim, in a square image of the disc's pixel ratio; a
// null image when the disc outside that circle does not look the same turned
// a quarter (then the whole disc must be turned).
QImage turningLabel(const QImage& disc, double radius);

} // namespace gx::turntable
