#pragma once
// The turntable's pictures: the eight images at 1x or 2x, the arm's strip cut
// into its frames, how far the disc and its label reach from the centre, and
// the song's cover printed on the label. Main thread only.
#include "turntable/TurntableGeometry.h"

#include <QImage>
#include <QRect>
#include <vector>

namespace gx {

class TurntablePictures {
public:
    struct ArmFrame {
        QImage image;             // null when the frame shows nothing
        turntable::PointF offset; // of its bottom-left corner within the frame, in points
    };

    // (Re)loads the images, preferring the "@2x" files when scale > 1.
    // Missing images are held null and their layers are not drawn. The cover
    // printed at the old scale goes.
    void load(qreal scale);
    qreal scale() const { return scale_; }

    // The view's size in points: the background's, or the default without one.
    float width() const { return width_; }
    float height() const { return height_; }

    QImage background, disc, reflection, centrePiece, dial, playButton, stopButton;
    // The label cut out of the disc, turned alone once the record is fully
    // shown; null when the whole disc must turn.
    QImage label;
    std::vector<ArmFrame> armFrames;
    // Points from the record's centre to the farthest pixel that shows, of
    // the disc and of the label.
    float discReach = 0.0f;
    float labelReach = 0.0f;
    // Points from the reflection's centre to its nearest pixel that shows.
    float reflectionClear = 0.0f;

    // The song's cover printed on the disc and its label; null images for our
    // own label. Answers whether what the record shows changed.
    bool setCover(const QImage& coveredDisc, const QImage& coveredLabel);
    bool showsCover() const { return !coveredDisc_.isNull(); }

    // What turns: the label alone or the whole disc, with the song's cover
    // printed on it when there is one.
    const QImage& turning(bool labelOnly) const;

private:
    static std::vector<ArmFrame> cutArmFrames(const QImage& strip);

    qreal scale_ = 1.0;
    float width_ = turntable::defaultViewWidth;
    float height_ = turntable::defaultViewHeight;
    QImage coveredDisc_;
    QImage coveredLabel_;
};

} // namespace gx
