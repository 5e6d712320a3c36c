// Where the turntable stands in a view of any size, and the points mapped
// through it.
#include "turntable/TurntableFit.h"

#include <gtest/gtest.h>

namespace tt = gx::turntable;

TEST(TurntableFit, ScalesToFitCentredOnWholeDevicePixelsNeverBelowItsSize)
{
    struct Row {
        float width, height, ratio;
        tt::Fit fit;
    };
    const Row rows[] = {
        {340, 280, 1, {1, 0, 0}},               // the default: drawn as it always was
        {300, 200, 1, {1, 0, 0}},               // never smaller
        {680, 560, 1, {2, 0, 0}},               // twice
        {900, 560, 1, {2, 110, 0}},             // wider: centred across
        {500, 400, 2, {400.0f / 280, 7.0f, 0}}, // 7.14 points from the side, on a half point
        {500, 400, 1, {400.0f / 280, 7.0f, 0}},
    };
    for (const Row& row : rows) {
        const tt::Fit fit = tt::fitTurntable(row.width, row.height, 340, 280, row.ratio);
        EXPECT_FLOAT_EQ(fit.scale, row.fit.scale) << row.width << "×" << row.height;
        EXPECT_FLOAT_EQ(fit.x, row.fit.x) << row.width << "×" << row.height;
        EXPECT_FLOAT_EQ(fit.y, row.fit.y) << row.width << "×" << row.height;
        const tt::PointF back = fit.toTable(fit.toWidget(tt::PointF {39.0f, 223.0f}));
        EXPECT_NEAR(back.x, 39.0f, 1e-4f);
        EXPECT_NEAR(back.y, 223.0f, 1e-4f);
    }
}
