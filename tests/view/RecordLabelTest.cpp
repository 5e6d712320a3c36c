// Turning only the record's label, with the disc the build paints, must look
// like turning the whole record.
#include "view/RecordLabel.h"
#include "platform/Resources.h"
#include "support/TestSupport.h"
#include "turntable/TurntableGeometry.h"

#include <QPainter>

using gx::test::meanDifference;
using gx::turntable::labelTurnRadius;
using gx::turntable::turningLabel;

namespace {

QImage shippedDisc(const std::string& file, double scale)
{
    QImage disc = QImage(QString::fromStdString(gx::pathForResource(file)))
                      .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    disc.setDevicePixelRatio(scale);
    return disc;
}

// The record drawn turned by `degrees`: whole, or upright with only its label
// turned over it.
QImage drawTurned(const QImage& disc, const QImage* label, double degrees)
{
    QImage out(disc.size(), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(disc.devicePixelRatio());
    out.fill(Qt::black);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (label)
        p.drawImage(QPointF(0, 0), disc);
    const QImage& turning = label ? *label : disc;
    const QSizeF t = turning.deviceIndependentSize();
    p.translate(disc.deviceIndependentSize().width() / 2.0, disc.deviceIndependentSize().height() / 2.0);
    p.rotate(degrees);
    p.drawImage(QRectF(-t.width() / 2.0, -t.height() / 2.0, t.width(), t.height()), turning);
    return out;
}

} // namespace

TEST(RecordLabel, TurningTheLabelAloneLooksLikeTurningTheRecordOrTheRecordTurnsWhole)
{
    for (const auto& [file, scale] : {std::pair {"disc.tif", 1.0}, {"disc@2x.tif", 2.0}}) {
        SCOPED_TRACE(scale);
        const QImage disc = shippedDisc(file, scale);
        const QImage label = turningLabel(disc, labelTurnRadius);
        ASSERT_FALSE(label.isNull());
        EXPECT_EQ(label.devicePixelRatio(), scale);
        EXPECT_EQ(label.width() % 2, disc.width() % 2) << "centred on the record's centre";
        // About the label's rim; the grooves' grain beyond may differ a little.
        const int c = disc.width() / 2, r = static_cast<int>(45 * scale);
        const QRect middle(c - r, c - r, 2 * r, 2 * r);
        for (const double degrees : {0.0, 33.0, 90.0, 211.0})
            EXPECT_LT(
                meanDifference(drawTurned(disc, nullptr, degrees), drawTurned(disc, &label, degrees), middle), 1.0)
                << degrees;
        // And the label does show the turning.
        EXPECT_GT(meanDifference(drawTurned(disc, &label, 0.0), drawTurned(disc, &label, 90.0), middle), 4.0);
    }
    // A record whose grooves show the turning (a mark on them) turns whole.
    QImage marked = shippedDisc("disc.tif", 1.0);
    QPainter(&marked).fillRect(QRect(10, 105, 40, 10), Qt::white);
    for (const QImage& whole : {marked, QImage(), QImage(200, 100, QImage::Format_ARGB32_Premultiplied)})
        EXPECT_TRUE(turningLabel(whole, labelTurnRadius).isNull());
}
