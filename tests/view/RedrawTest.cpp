// The turntable repaints only what changed; what the window shows must still
// be what a full redraw of the model gives. Run once as it is and once with
// QT_SCALE_FACTOR=2, for the @2x artwork.
#include "support/TestSupport.h"
#include "view/GXGramoluxView.h"
#include "view/ViewTestSupport.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QMimeData>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>

using namespace gx::test;

namespace {

void sendDrag(GXGramoluxView& view, bool enter)
{
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/music/song.mp3")});
    QDragEnterEvent enterEvent(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QDragLeaveEvent leaveEvent;
    QCoreApplication::sendEvent(&view, enter ? static_cast<QEvent*>(&enterEvent) : &leaveEvent);
}

// A change to the model, made the way the player makes it.
struct Step {
    const char* what;
    std::function<void(GXGramoluxView&)> act;
};

// The jukebox moves the arm; the next spin tick asks for the redraw.
void moveArm(GXGramoluxView& view, float value)
{
    view.setArmValue(value);
    view.spinOnce();
}

std::vector<Step> steps()
{
    std::vector<Step> s;
    s.push_back({"new view", [](GXGramoluxView&) {}});
    for (int i = 0; i < 5; ++i)
        s.push_back({"fading in", [](GXGramoluxView& v) { spin(v, 1.0f, 20); }});
    s.push_back({"fully shown", [](GXGramoluxView& v) { spin(v, 1.0f, 1); }});
    for (float speed : {0.37f, 1.0f, 1.03f, 5.5f, 22.5f, 0.0f})
        s.push_back({"turning", [speed](GXGramoluxView& v) { spin(v, speed, 3); }});
    for (float arm : {0.02f, 0.5f, 0.51f, 0.96f, 1.0f, 0.0f})
        s.push_back({"arm frame, record still", [arm](GXGramoluxView& v) { moveArm(v, arm); }});
    s.push_back({"arm frame while turning", [](GXGramoluxView& v) {
                     v.setDiskSpeed(1.0f);
                     moveArm(v, 0.33f);
                 }});
    s.push_back({"dial pressed", [](GXGramoluxView& v) { mouse(v, press, 29, 215); }});
    for (int i = 1; i <= 6; ++i)
        s.push_back({"dial frame", [i](GXGramoluxView& v) { mouse(v, drag, 29, 215 + 5.0f * i); }});
    s.push_back({"dial released", [](GXGramoluxView& v) { mouse(v, release, 29, 245); }});
    s.push_back({"dial reset", [](GXGramoluxView& v) { mouse(v, doubleClick, 29, 215); }});
    s.push_back({"button on", [](GXGramoluxView& v) { mouse(v, press, 39, 57); }});
    s.push_back({"button off", [](GXGramoluxView& v) { mouse(v, press, 39, 57); }});
    s.push_back({"arm dragged", [](GXGramoluxView& v) {
                     mouse(v, press, 130, 40);
                     mouse(v, drag, 130, 90);
                     mouse(v, release, 130, 90);
                 }});
    s.push_back({"drop highlight on", [](GXGramoluxView& v) { sendDrag(v, true); }});
    s.push_back({"turning under the highlight", [](GXGramoluxView& v) { spin(v, 1.0f, 2); }});
    s.push_back({"drop highlight off", [](GXGramoluxView& v) { sendDrag(v, false); }});
    s.push_back({"running down to rest", [](GXGramoluxView& v) {
                     v.setSwitchValue(0.0f);
                     spin(v, 1.0f, 91);
                 }});
    return s;
}

void expectEveryStepMatchesAFullRedraw()
{
    GXGramoluxView view;
    ASSERT_TRUE(showOnScreen(view));
    ASSERT_EQ(view.imageScale(), expectedScale());
    view.setEnable(true);
    for (const Step& step : steps()) {
        step.act(view);
        EXPECT_LE(windowDifference(view), 2)
            << step.what << " (angle " << view.diskRotate() << ", fraction " << view.diskFraction() << ")";
    }
}

} // namespace

// Our own artwork: once shown, the record turns only its label.
TEST(Redraw, WindowMatchesAFullRedrawWithOurArtwork)
{
    expectEveryStepMatchesAFullRedraw();
}

// Square solid artwork: the record turns whole and sweeps past its square.
TEST(Redraw, WindowMatchesAFullRedrawWithARecordTurnedWhole)
{
    ResourceFolder folder;
    folder.write(standardArtwork());
    folder.write(standardArtwork(2), "@2x");
    expectEveryStepMatchesAFullRedraw();
}

// While the full record plays, a turn of its label alone is painted every
// other tick; whatever is painted is a whole frame of the model. Switched
// off and running down to rest, every tick is painted, the last one too.
TEST(Redraw, PlayingPaintsEveryOtherLabelTurnAndARunDownEveryTick)
{
    GXGramoluxView view;
    ASSERT_TRUE(showOnScreen(view));
    view.setSwitchValue(1.0f);
    spin(view, 1.0f, 120);
    ASSERT_EQ(view.diskFraction(), 1.0f);
    int stale = 0;
    for (int i = 0; i < 10; ++i) {
        view.spinOnce();
        stale += windowDifference(view) > 2;
    }
    EXPECT_EQ(stale, 5);
    view.setSwitchValue(0.0f);
    for (int i = 0; i < 100 && view.diskRotate() != 0.0f; ++i) {
        view.spinOnce();
        EXPECT_LE(windowDifference(view), 2) << "angle " << view.diskRotate();
    }
    EXPECT_EQ(view.diskRotate(), 0.0f);
}
