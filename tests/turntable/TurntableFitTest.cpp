// Where the turntable stands in a view of any size.
#include "turntable/TurntableFit.h"

#include <gtest/gtest.h>

TEST(TurntableFit, ScalesToFitCentredOnWholeDevicePixelsNeverBelowItsSize)
{
    // Width, height, device pixel ratio; scale, left, top.
    const float rows[][6] = {
        {340, 280, 1, 1, 0, 0},                                      // the default: drawn as it always was
        {900, 560, 1, 2, 110, 0}, {500, 400, 2, 400.0f / 280, 7, 0}, // 7.14 points from the side, on a half point
    };
    for (const auto& r : rows) {
        const gx::turntable::Fit fit = gx::turntable::fitTurntable(r[0], r[1], 340, 280, r[2]);
        EXPECT_FLOAT_EQ(fit.scale, r[3]) << r[0];
        EXPECT_FLOAT_EQ(fit.x, r[4]) << r[0];
        EXPECT_FLOAT_EQ(fit.y, r[5]) << r[0];
    }
}
