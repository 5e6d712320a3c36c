#include "view/RecordLabel.h"
#include "support/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

using gx::test::meanDifference;
using gx::turntable::turningLabel;

namespace {

// A record of `side` pixels: grooves in rings, and a label with a mark that
// shows the turning; `vinylMark` puts a mark on the grooves too.
QImage record(int side, double scale, bool vinylMark)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(side / 2.0, side / 2.0);
    const double r = side / 2.0;
    for (double ring = r; ring > 0.2 * r; ring -= 0.03 * r) {
        p.setBrush(QColor::fromHsv(0, 0, 20 + static_cast<int>(ring / r * 30)));
        p.setPen(Qt::NoPen);
        p.drawEllipse(c, ring, ring);
    }
    p.setBrush(QColor(200, 30, 30));
    p.drawEllipse(c, 0.15 * r, 0.15 * r);
    p.setBrush(QColor(250, 240, 60));
    p.drawRect(QRectF(c.x() - 0.14 * r, c.y() - 0.04 * r, 0.13 * r, 0.08 * r));
    if (vinylMark)
        p.drawRect(QRectF(c.x() - 0.9 * r, c.y() - 0.02 * r, 0.2 * r, 0.04 * r));
    p.end();
    image.setDevicePixelRatio(scale);
    return image;
}

// The record drawn turned by `degrees`: whole, or upright with only its label
// turned over it.
QImage drawTurned(const QImage& disc, const QImage* label, double degrees)
{
    const QSizeF size = disc.deviceIndependentSize();
    QImage out(disc.size(), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(disc.devicePixelRatio());
    out.fill(Qt::black);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (label)
        p.drawImage(QPointF(0, 0), disc);
    const QImage& turning = label ? *label : disc;
    const QSizeF t = turning.deviceIndependentSize();
    p.translate(size.width() / 2.0, size.height() / 2.0);
    p.rotate(degrees);
    p.drawImage(QRectF(-t.width() / 2.0, -t.height() / 2.0, t.width(), t.height()), turning);
    return out;
}

} // namespace

TEST(RecordLabel, TurningTheLabelAloneLooksLikeTurningTheRecord)
{
    for (const auto& [side, scale] : {std::pair {221, 1.0}, {442, 2.0}}) {
        SCOPED_TRACE(scale);
        const QImage disc = record(side, scale, false);
        const QImage label = turningLabel(disc, 0.18 * side / 2.0 / scale);
        ASSERT_FALSE(label.isNull());
        EXPECT_EQ(label.devicePixelRatio(), scale);
        EXPECT_EQ(label.width() % 2, side % 2) << "centred on the record's centre";
        for (const double degrees : {0.0, 33.0, 90.0, 211.0}) {
            const QImage whole = drawTurned(disc, nullptr, degrees);
            EXPECT_LT(meanDifference(whole, drawTurned(disc, &label, degrees)), 0.6) << degrees;
        }
        // And the mark does move.
        EXPECT_GT(meanDifference(drawTurned(disc, &label, 0.0), drawTurned(disc, &label, 90.0)), 0.2);
    }
}

TEST(RecordLabel, RecordsWhoseGroovesShowTheTurningAreTurnedWhole)
{
    EXPECT_TRUE(turningLabel(record(221, 1.0, true), 20.0).isNull());
    EXPECT_TRUE(turningLabel(QImage(), 20.0).isNull());
    EXPECT_TRUE(turningLabel(QImage(200, 100, QImage::Format_ARGB32_Premultiplied), 20.0).isNull());
}
