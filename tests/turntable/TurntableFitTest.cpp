// Where the turntable stands in a view of any size.
#include "turntable/TurntableFit.h"

#include <gtest/gtest.h>

TEST(TurntableFit, ScalesToFitCentredOnWholeDevicePixelsNeitherBelowItsSizeNorBeyondItsPictures)
{
    // Width, height, device pixel ratio; scale, left, top.
    const float rows[][6] = {
        {340, 280, 1, 1, 0, 0},                                       // the default: drawn as it always was
        {900, 560, 1, 2, 110, 0}, {700, 500, 1, 500.0f / 280, 46, 0}, // 46.43 points from the side, on a whole pixel
        {1000, 900, 1, 2, 160, 170}, {500, 401, 2, 1, 80, 60.5f},     // no larger than the 2x pictures reach
    };
    for (const auto& r : rows) {
        const gx::turntable::Fit fit = gx::turntable::fitTurntable(r[0], r[1], 340, 280, r[2]);
        EXPECT_FLOAT_EQ(fit.scale, r[3]) << r[0];
        EXPECT_FLOAT_EQ(fit.x, r[4]) << r[0];
        EXPECT_FLOAT_EQ(fit.y, r[5]) << r[0];
    }
}
