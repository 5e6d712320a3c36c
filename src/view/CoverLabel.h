#pragma once
// A song's cover printed on the record's label: the picture cut to the
// label's circle, the centre hole left open and a thin printed rim round it,
// so that it still reads as a label and turns exactly as ours does. Pure work
// on values, safe on any thread; slow enough (decoding a large JPEG takes tens
// of milliseconds) to belong on a worker, never on the audio threads.
#include <QByteArray>
#include <QImage>
#include <QtGlobal>

namespace gx::cover {

// Points from the record's centre to the picture's edge: inside the label's
// paper (38 points), whose last point stays as a border, and inside the part
// of the label that the view turns at full strength.
inline constexpr double kPictureRadius = 37.0;
// Pictures with more pixels than this (5,000 x 5,000) are not decoded at
// all: a PNG that size takes a second and 100 MB for a label 150 pixels
// across, and Qt's own limit (128 MB) would still let one through.
inline constexpr qint64 kMaxPicturePixels = 5000LL * 5000LL;

// The middle square of the picture in `bytes`, `sidePixels` across and
// premultiplied; null when the bytes are not a picture Qt reads, when it is
// larger than kMaxPicturePixels (told by its header, before any decoding),
// or when it is cut short (a truncated JPEG would read with a grey tail).
QImage readPicture(const QByteArray& bytes, int sidePixels);

// `record` (the disc, or the label cut from it, at its pixel ratio) with
// `picture` (a square, as readPicture gives it) printed about its centre,
// filling the label's circle. A null picture leaves the record as it is.
QImage printOnLabel(const QImage& record, const QImage& picture);

// The disc and its turning label with the cover printed on both, at their
// pixel ratio; both null when the bytes hold no picture we show. The label
// stays null when it is (a record that turns whole carries the cover on its
// disc).
struct CoveredRecord {
    QImage disc;
    QImage label;
};
CoveredRecord coveredRecord(const QByteArray& bytes, const QImage& disc, const QImage& label);

} // namespace gx::cover
