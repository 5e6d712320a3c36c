// The painted artwork as the turntable view relies on it: sizes at both
// scales, a record that can turn without trails, an arm whose frames move only
// where the view redraws. The icons are checked where they are installed.
#include "platform/Resources.h"

#include "support/TestSupport.h"

#include <tuple>

namespace {

QImage load(const std::string& name)
{
    const QString path = QString::fromStdString(gx::pathForResource(name));
    return path.isEmpty() ? QImage() : QImage(path).convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(Artwork, EveryImageAtOneAndTwoPixelsPerPoint)
{
    const std::tuple<std::string, int, int> images[] = {{"bg", 340, 280}, {"disc", 221, 221}, {"reflect", 221, 221},
        {"center", 38, 15}, {"dial", 100, 20}, {"arm", 12300, 151}, {"play_btn", 52, 52}, {"stop_btn", 52, 52}};
    for (const auto& [name, w, h] : images) {
        SCOPED_TRACE(name);
        const QImage a = load(name + ".tif"), b = load(name + "@2x.tif");
        EXPECT_EQ(a.size(), QSize(w, h));
        EXPECT_EQ(b.size(), QSize(w * 2, h * 2));
        EXPECT_DOUBLE_EQ(b.devicePixelRatio(), 2.0); // taken from the name by the reader
        EXPECT_TRUE(a.hasAlphaChannel());
    }
}

// Whether only its label shows the turning is the view's test of the record.
TEST(Artwork, RecordIsRoundWithoutHolesAndArmFramesMoveOnlyWhereTheViewRedraws)
{
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QImage disc = load(scale == 1 ? "disc.tif" : "disc@2x.tif");
        const QImage strip = load(scale == 1 ? "arm.tif" : "arm@2x.tif");
        ASSERT_FALSE(disc.isNull() || strip.isNull());
        int outsideVisible = 0, vinylHoles = 0;
        for (int y = 0; y < disc.height(); ++y)
            for (int x = 0; x < disc.width(); ++x) {
                const double r = std::hypot((x + 0.5) / scale - 110.5, (y + 0.5) / scale - 110.5);
                const int a = qAlpha(disc.pixel(x, y));
                // A visible pixel beyond the circle would be carried round as
                // the record turns.
                outsideVisible += r - 0.71 / scale > 110.5 && a != 0;
                vinylHoles += r > 42.0 && r < 108.0 && a != 255;
            }
        EXPECT_EQ(outsideVisible, 0);
        EXPECT_EQ(vinylHoles, 0);

        const int w = 246 * scale, h = 151 * scale, staticFrom = 233 * scale;
        const QImage first = strip.copy(0, 0, w, h);
        QImage previous = first;
        for (int i = 1; i < 50; ++i) {
            const QImage f = strip.copy(i * w, 0, w, h);
            // Redraws of the arm stop at view x 303: a pixel moving beyond
            // would stay behind as a trail.
            const QRect beyond(staticFrom, 0, w - staticFrom, h);
            EXPECT_TRUE(f.copy(beyond) == first.copy(beyond)) << "frame " << i;
            int onEdge = 0;
            for (int x = 0; x < w; ++x)
                onEdge += qAlpha(f.pixel(x, 0)) != 0 || qAlpha(f.pixel(x, h - 1)) != 0;
            for (int y = 0; y < h; ++y)
                onEdge += qAlpha(f.pixel(0, y)) != 0;
            EXPECT_EQ(onEdge, 0) << "frame " << i << " is cut off";
            EXPECT_NE(f, previous) << "frame " << i << " does not move the arm";
            previous = f;
        }
    }
}
