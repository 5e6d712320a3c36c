// What the view paints from its model, with artwork of solid, distinct colours.
#include "support/TestSupport.h"
#include "view/GXGramoluxView.h"
#include "view/ViewTestSupport.h"

#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

using namespace gx::test;

namespace {

class Render : public ::testing::Test {
protected:
    void SetUp() override { folder.write(standardArtwork()); }
    bool shows(GXGramoluxView& view, int x, int y, const QColor& colour, int tolerance = 2)
    {
        return near(viewPixel(renderView(view), view, x, y), colour, tolerance);
    }
    ResourceFolder folder;
};

} // namespace

TEST_F(Render, ArmDialAndButtonShowTheFramesOfTheirValues)
{
    GXGramoluxView view;
    EXPECT_EQ(view.size(), QSize(340, 280));
    EXPECT_TRUE(shows(view, 60, 200, bgColour)); // no record before the first song
    EXPECT_TRUE(shows(view, 120, 151, centerColour));
    EXPECT_TRUE(shows(view, 39, 57, stopColour));
    view.setSwitchValue(1.0f);
    EXPECT_TRUE(shows(view, 39, 57, playColour));
    for (const auto& [value, frame] :
        {std::pair {0.0f, 0}, {1.7f, 49}, {0.96f, 47}, {0.5f, 25}, {std::nanf(""), 0}, {-0.3f, 0}}) {
        view.setArmValue(value);
        // Both halves and both ends, so that a shifted source rectangle shows.
        EXPECT_TRUE(shows(view, 200, 30, armFrameColour(frame, false))) << value;
        EXPECT_TRUE(shows(view, 200, 120, armFrameColour(frame, true))) << value;
        EXPECT_TRUE(shows(view, 315, 10, armFrameColour(frame, false))) << value;
        EXPECT_TRUE(shows(view, 317, 10, bgColour)) << value;
    }
    for (const auto& [value, frame] : {std::pair {0.23f, 3}, {1.05f, 4}, {1.06f, 0}}) {
        view.setDialValue(value);
        EXPECT_TRUE(shows(view, 19, 205, dialFrameColour(frame))) << value;
        EXPECT_TRUE(shows(view, 38, 224, dialFrameColour(frame))) << value;
    }
    view.setDialValue(-0.03f); // before the strip: not drawn
    EXPECT_TRUE(shows(view, 29, 215, bgColour));
}

TEST_F(Render, RecordFadesInAndTurnsClockwiseAboutItsCentre)
{
    for (const char* covering : {"/reflect.tif", "/arm.tif"}) // keep the record uncovered
        QFile::remove(folder.path() + covering);
    GXGramoluxView view;
    view.setDiskSpeed(0.0f);
    for (int i = 0; i < 50; ++i)
        view.spinOnce();
    EXPECT_TRUE(shows(view, 60, 200, blend(discColour, 0.5, bgColour), 3)); // half faded in
    for (int i = 0; i < 51; ++i)
        view.spinOnce();
    ASSERT_EQ(view.diskFraction(), 1.0f);
    const QColor marker = discMarkerColour, disc = discColour;
    EXPECT_TRUE(shows(view, 43, 144, marker, 3)); // upright: the marker at the left edge
    EXPECT_TRUE(shows(view, 138, 240, disc, 3));
    view.setDiskSpeed(22.5f);
    view.spinOnce();
    ASSERT_EQ(view.diskRotate(), -90.0f);
    EXPECT_TRUE(shows(view, 138, 240, marker, 3)); // a quarter turn carries it to the top
    EXPECT_TRUE(shows(view, 43, 144, disc, 3));
    EXPECT_TRUE(shows(view, 156, 151, centerColour)); // the centre piece stays upright
}

TEST_F(Render, DoubleResolutionArtworkIsPreferredAndKeepsPointGeometry)
{
    ArtworkImages art2 = standardArtwork(2);
    art2.stopBtn.fill(QColor(0, 90, 90)); // tells which set is drawn
    art2.bg = QImage();                   // falls back to the 1x background
    folder.write(art2, "@2x");
    GXGramoluxView view;
    view.loadImages(2.0);
    EXPECT_EQ(view.size(), QSize(340, 280));
    view.setArmValue(0.5f);
    const QImage image = renderView(view, 2.0);
    ASSERT_EQ(image.size(), QSize(680, 560));
    EXPECT_TRUE(near(viewPixel(image, view, 39, 57), QColor(0, 90, 90)));
    EXPECT_TRUE(near(viewPixel(image, view, 315, 10), armFrameColour(25, false)));
    EXPECT_TRUE(near(viewPixel(image, view, 1, 1), bgColour));
}

TEST_F(Render, NoticeCoversNoControlAndGoesByItself)
{
    GXGramoluxView view;
    const QImage plain = renderView(view);
    view.showNotice("Can’t play “x.wma”: no sound track we can decode", std::chrono::milliseconds(50));
    const QImage told = renderView(view);
    const int dialTop = 280 - 225;
    EXPECT_GT(meanDifference(plain, told, QRect(0, 0, 340, dialTop)), 5.0);
    EXPECT_EQ(meanDifference(plain, told, QRect(0, dialTop, 340, 280 - dialTop)), 0.0);
    ASSERT_TRUE(waitUntil([&] { return view.notice().isEmpty(); }, 20000));
    EXPECT_EQ(meanDifference(plain, renderView(view)), 0.0);
}
