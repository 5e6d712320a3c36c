#include "view/GXGramoluxView.h"
#include "view/ViewTestSupport.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>
#include <limits>

using namespace gx::test;

namespace {

class Render : public ::testing::Test {
protected:
    void SetUp() override { folder.write(standardArtwork()); }

    // Ticks on this thread: the fade grows 0.01 a tick, the angle by speed x 4.
    static void spin(GXGramoluxView& view, int n, float speed)
    {
        view.setDiskSpeed(speed);
        for (int i = 0; i < n; ++i)
            view.spinOnce();
    }

    ResourceFolder folder;
};

// Lower and upper colours of the arm frame shown, sampled away from the
// other layers, and at both ends of the frame so that a shifted source
// rectangle shows up.
void expectArmFrame(GXGramoluxView& view, int frame)
{
    const QImage image = renderView(view);
    EXPECT_TRUE(near(viewPixel(image, view, 200, 30), armFrameColour(frame, false))) << "frame " << frame;
    EXPECT_TRUE(near(viewPixel(image, view, 200, 120), armFrameColour(frame, true))) << "frame " << frame;
    EXPECT_TRUE(near(viewPixel(image, view, 70, 10), armFrameColour(frame, false))) << "frame " << frame;
    EXPECT_TRUE(near(viewPixel(image, view, 315, 10), armFrameColour(frame, false))) << "frame " << frame;
    EXPECT_TRUE(near(viewPixel(image, view, 317, 10), bgColour)) << "frame " << frame;
}

void expectDialFrame(GXGramoluxView& view, int frame)
{
    const QImage image = renderView(view);
    for (auto [x, y] : {std::pair{19, 205}, {29, 215}, {38, 224}})
        EXPECT_TRUE(near(viewPixel(image, view, x, y), dialFrameColour(frame))) << "frame " << frame;
    EXPECT_TRUE(near(viewPixel(image, view, 39, 215), bgColour));
    EXPECT_TRUE(near(viewPixel(image, view, 29, 225), bgColour));
}

QMimeData* filesMime(const QStringList& paths)
{
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    mime->setUrls(urls);
    return mime;
}

} // namespace

TEST_F(Render, NewViewShowsBackgroundCentreArmAndDialAtZeroAndStopButtonButNoRecord)
{
    GXGramoluxView view;
    EXPECT_EQ(view.size(), QSize(340, 280));
    EXPECT_EQ(view.diskFraction(), 0.0f);
    const QImage image = renderView(view);
    EXPECT_TRUE(near(viewPixel(image, view, 1, 1), bgColour));
    EXPECT_TRUE(near(viewPixel(image, view, 60, 200), bgColour)); // where the record would be
    EXPECT_TRUE(near(viewPixel(image, view, 120, 151), centerColour)); // the arm covers the rest
    EXPECT_TRUE(near(viewPixel(image, view, 39, 57), stopColour));
    expectArmFrame(view, 0);
    expectDialFrame(view, 0);
}

TEST_F(Render, ArmFrameIsClampedTruncatedProduct)
{
    GXGramoluxView view;
    const std::pair<float, int> cases[] = {{1.0f, 49}, {1.7f, 49}, {-0.3f, 0}, {0.96f, 47}, {0.5f, 25},
                                           {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (auto [value, frame] : cases) {
        view.setArmValue(value);
        expectArmFrame(view, frame);
    }
}

TEST_F(Render, DialFrameStepsPerHundredth)
{
    GXGramoluxView view;
    const std::pair<float, int> cases[] = {{0.2f, 0}, {0.23f, 3}, {0.25f, 0}, {1.05f, 4}, {1.06f, 0}, {1.01f, 1}};
    for (auto [value, frame] : cases) {
        view.setDialValue(value);
        expectDialFrame(view, frame);
    }
    // A negative value points before the strip: the dial is not drawn.
    view.setDialValue(-0.03f);
    EXPECT_TRUE(near(viewPixel(renderView(view), view, 29, 215), bgColour));
}

TEST_F(Render, ButtonFollowsTheSwitch)
{
    GXGramoluxView view;
    view.setSwitchValue(1.0f);
    EXPECT_TRUE(near(viewPixel(renderView(view), view, 39, 57), playColour));
    view.setSwitchValue(0.5f);
    EXPECT_FALSE(view.switchValue());
    EXPECT_TRUE(near(viewPixel(renderView(view), view, 39, 57), stopColour));
    view.setSwitchValue(-2.0f);
    EXPECT_TRUE(view.switchValue());
}

TEST(RenderRotation, RecordTurnsClockwiseForNegativeAnglesAboutItsCentre)
{
    ResourceFolder folder;
    ArtworkImages art = standardArtwork();
    art.reflect = art.arm = QImage(); // keep the record uncovered
    folder.write(art);
    GXGramoluxView view;
    view.setDiskSpeed(0.0f);
    for (int i = 0; i < 101; ++i)
        view.spinOnce();
    ASSERT_EQ(view.diskFraction(), 1.0f);

    // Upright: the marker is at the left edge, halfway up.
    QImage image = renderView(view);
    EXPECT_TRUE(near(viewPixel(image, view, 43, 144), discMarkerColour));
    EXPECT_TRUE(near(viewPixel(image, view, 138, 240), discColour));
    EXPECT_TRUE(near(viewPixel(image, view, 30, 100), discColour));
    EXPECT_TRUE(near(viewPixel(image, view, 25, 100), bgColour));
    EXPECT_TRUE(near(viewPixel(image, view, 100, 257), bgColour));

    // A quarter turn clockwise carries the left edge to the top.
    view.setDiskSpeed(22.5f);
    view.spinOnce();
    ASSERT_EQ(view.diskRotate(), -90.0f);
    image = renderView(view);
    EXPECT_TRUE(near(viewPixel(image, view, 138, 240), discMarkerColour));
    EXPECT_TRUE(near(viewPixel(image, view, 43, 144), discColour));
    EXPECT_TRUE(near(viewPixel(image, view, 138, 49), discColour));
    // The centre piece stays upright over it.
    EXPECT_TRUE(near(viewPixel(image, view, 120, 140), centerColour));
    EXPECT_TRUE(near(viewPixel(image, view, 156, 151), centerColour));
}

TEST_F(Render, RecordAndReflectionFadeWithTheFraction)
{
    GXGramoluxView view;
    spin(view, 50, 0.0f);
    ASSERT_NEAR(view.diskFraction(), 0.5f, 1e-5f);
    // Record at 0.5 over the background, then the reflection at 0.1.
    const QColor half = blend(reflectColour, 0.1, blend(discColour, 0.5, bgColour));
    EXPECT_TRUE(near(viewPixel(renderView(view), view, 60, 200), half, 3));

    spin(view, 51, 0.0f);
    ASSERT_EQ(view.diskFraction(), 1.0f);
    const QColor full = blend(reflectColour, 0.2, discColour);
    EXPECT_TRUE(near(viewPixel(renderView(view), view, 60, 200), full, 3));
}

TEST_F(Render, HighlightFramesTheBoundsTwoPointsWideInThePaletteColour)
{
    GXGramoluxView view;
    QPalette palette = view.palette();
    palette.setColor(QPalette::Highlight, QColor(255, 0, 255));
    view.setPalette(palette);
    const QColor magenta(255, 0, 255);

    std::unique_ptr<QMimeData> mime(filesMime({"/tmp/song.mp3"}));
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &enter);
    ASSERT_TRUE(view.isFileDragging());

    QImage image = renderView(view);
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {339, 279}, {338, 140}, {170, 278}, {0, 140}})
        EXPECT_TRUE(near(viewPixel(image, view, x, y), magenta)) << x << "," << y;
    for (auto [x, y] : {std::pair{2, 2}, {337, 140}, {170, 277}})
        EXPECT_TRUE(near(viewPixel(image, view, x, y), bgColour)) << x << "," << y;

    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(&view, &leave);
    EXPECT_FALSE(view.isFileDragging());
    image = renderView(view);
    EXPECT_TRUE(near(viewPixel(image, view, 0, 0), bgColour));
}

TEST_F(Render, PartialRedrawPaintsOnlyInsideTheRectangle)
{
    GXGramoluxView view;
    // The spin loop's rectangle {13, 0, 290, 260} in Qt's coordinates.
    const QImage image = renderView(view, QRect(13, 20, 290, 260));
    EXPECT_TRUE(near(viewPixel(image, view, 13, 0), bgColour));
    EXPECT_TRUE(near(viewPixel(image, view, 302, 0), armFrameColour(0, false)));
    EXPECT_TRUE(near(viewPixel(image, view, 20, 259), bgColour));
    EXPECT_TRUE(near(viewPixel(image, view, 20, 261), QColor(1, 2, 3)));
    EXPECT_TRUE(near(viewPixel(image, view, 12, 100), QColor(1, 2, 3)));
    EXPECT_TRUE(near(viewPixel(image, view, 304, 100), QColor(1, 2, 3)));
}

TEST(RenderImages, MissingOrUnreadableArtworkDrawsNothingAndKeepsTheDefaultSize)
{
    ResourceFolder folder;
    folder.writeRaw("disc.tif", "not an image at all");
    folder.writeRaw("bg.tif", QByteArray("II*\0", 4) + QByteArray(10, '\x7f')); // truncated TIFF
    GXGramoluxView view;
    EXPECT_EQ(view.size(), QSize(340, 280));
    view.setDiskSpeed(0.0f);
    for (int i = 0; i < 101; ++i)
        view.spinOnce();
    const QImage image = renderView(view);
    EXPECT_TRUE(near(viewPixel(image, view, 60, 200), QColor(1, 2, 3)));
    EXPECT_TRUE(near(viewPixel(image, view, 200, 30), QColor(1, 2, 3)));
}

TEST(RenderImages, ViewTakesTheBackgroundsSize)
{
    ResourceFolder folder;
    ArtworkImages art;
    art.bg = QImage(300, 200, QImage::Format_RGB32);
    art.bg.fill(bgColour);
    folder.write(art);
    GXGramoluxView view;
    EXPECT_EQ(view.size(), QSize(300, 200));
    EXPECT_EQ(view.boundsHeight(), 200.0f);
}

TEST(RenderImages, DoubleResolutionArtworkIsPreferredAboveScaleOneAndKeepsPointGeometry)
{
    ResourceFolder folder;
    folder.write(standardArtwork(1));
    // The @2x set differs in its stop button, to tell which one is drawn.
    ArtworkImages art2 = standardArtwork(2);
    art2.stopBtn.fill(QColor(0, 90, 90));
    art2.bg = QImage(); // falls back to the 1x background
    folder.write(art2, "@2x");

    GXGramoluxView view;
    view.loadImages(2.0);
    EXPECT_EQ(view.imageScale(), 2.0);
    EXPECT_EQ(view.size(), QSize(340, 280));
    view.setArmValue(0.5f);
    view.setDialValue(0.23f);
    const QImage image = renderView(view, {}, 2.0);
    ASSERT_EQ(image.size(), QSize(680, 560));
    EXPECT_TRUE(near(viewPixel(image, view, 39, 57), QColor(0, 90, 90)));
    EXPECT_TRUE(near(viewPixel(image, view, 200, 30), armFrameColour(25, false)));
    EXPECT_TRUE(near(viewPixel(image, view, 200, 120), armFrameColour(25, true)));
    EXPECT_TRUE(near(viewPixel(image, view, 315, 10), armFrameColour(25, false)));
    EXPECT_TRUE(near(viewPixel(image, view, 29, 215), dialFrameColour(3)));
    EXPECT_TRUE(near(viewPixel(image, view, 1, 1), bgColour));

    view.loadImages(1.0);
    EXPECT_TRUE(near(viewPixel(renderView(view), view, 39, 57), stopColour));
}

TEST_F(Render, NoticeIsDrawnAboveTheControlsAndGoesByItself)
{
    GXGramoluxView view;
    const QImage plain = renderView(view);
    view.showNotice("Can’t play “x.wma”: no sound track we can decode", std::chrono::milliseconds(50));
    const QImage told = renderView(view);
    // Above the dial's top edge, nothing of the controls is covered.
    const int dialTop = 280 - 225;
    EXPECT_GT(meanDifference(plain, told, QRect(0, 0, 340, dialTop)), 5.0);
    EXPECT_EQ(meanDifference(plain, told, QRect(0, dialTop, 340, 280 - dialTop)), 0.0);
    ASSERT_TRUE(waitUntil([&] { return view.notice().isEmpty(); }, 20000));
    EXPECT_EQ(meanDifference(plain, renderView(view)), 0.0);
}
