// The turntable repaints only what changed; what the window shows must still
// be what a full redraw of the model gives. Run once as it is and once with
// QT_SCALE_FACTOR=2, for the @2x artwork.
#include "view/TurntableView.h"
#include "view/ViewTestSupport.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QMimeData>
#include <QUrl>
#include <functional>

using namespace gx::test;

namespace {

void sendDrag(gx::TurntableView& view, bool enter)
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
    std::function<void(Turntable&)> act;
};

// The jukebox moves the arm; the next spin tick asks for the redraw.
void moveArm(Turntable& t, float value)
{
    t.model.setArmValue(value);
    t.model.spinOnce();
}

std::vector<Step> steps()
{
    std::vector<Step> s;
    s.push_back({"new view", [](Turntable&) {}});
    for (int i = 0; i < 5; ++i)
        s.push_back({"fading in", [](Turntable& t) { spin(t.model, 1.0f, 20); }});
    s.push_back({"fully shown", [](Turntable& t) { spin(t.model, 1.0f, 1); }});
    for (float speed : {0.37f, 1.0f, 1.03f, 5.5f, 22.5f, 0.0f})
        s.push_back({"turning", [speed](Turntable& t) { spin(t.model, speed, 3); }});
    for (float arm : {0.02f, 0.5f, 0.51f, 0.96f, 1.0f, 0.0f})
        s.push_back({"arm frame, record still", [arm](Turntable& t) { moveArm(t, arm); }});
    s.push_back({"arm frame while turning", [](Turntable& t) {
                     t.model.setDiskSpeed(1.0f);
                     moveArm(t, 0.33f);
                 }});
    s.push_back({"dial pressed", [](Turntable& t) { mouse(t.view, press, 29, 215); }});
    for (int i = 1; i <= 6; ++i)
        s.push_back({"dial frame", [i](Turntable& t) { mouse(t.view, drag, 29, 215 + 5.0f * i); }});
    s.push_back({"dial released", [](Turntable& t) { mouse(t.view, release, 29, 245); }});
    s.push_back({"dial reset", [](Turntable& t) { mouse(t.view, doubleClick, 29, 215); }});
    s.push_back({"button on", [](Turntable& t) { mouse(t.view, press, 39, 57); }});
    s.push_back({"button off", [](Turntable& t) { mouse(t.view, press, 39, 57); }});
    s.push_back({"arm dragged", [](Turntable& t) {
                     mouse(t.view, press, 130, 40);
                     mouse(t.view, drag, 130, 90);
                     mouse(t.view, release, 130, 90);
                 }});
    s.push_back({"drop highlight on", [](Turntable& t) { sendDrag(t.view, true); }});
    s.push_back({"turning under the highlight", [](Turntable& t) { spin(t.model, 1.0f, 2); }});
    s.push_back({"drop highlight off", [](Turntable& t) { sendDrag(t.view, false); }});
    s.push_back({"running down to rest", [](Turntable& t) {
                     t.model.setSwitchValue(0.0f);
                     spin(t.model, 1.0f, 91);
                 }});
    return s;
}

void expectEveryStepMatchesAFullRedraw()
{
    Turntable t;
    ASSERT_TRUE(showOnScreen(t.view));
    ASSERT_EQ(t.view.imageScale(), expectedScale());
    t.model.setEnabled(true);
    for (const Step& step : steps()) {
        step.act(t);
        EXPECT_LE(windowDifference(t.view), 2)
            << step.what << " (angle " << t.model.diskRotate() << ", fraction " << t.model.diskFraction() << ")";
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
    Turntable t;
    ASSERT_TRUE(showOnScreen(t.view));
    t.model.setSwitchValue(1.0f);
    spin(t.model, 1.0f, 120);
    ASSERT_EQ(t.model.diskFraction(), 1.0f);
    int stale = 0;
    for (int i = 0; i < 10; ++i) {
        t.model.spinOnce();
        stale += windowDifference(t.view) > 2;
    }
    EXPECT_EQ(stale, 5);
    t.model.setSwitchValue(0.0f);
    for (int i = 0; i < 100 && t.model.diskRotate() != 0.0f; ++i) {
        t.model.spinOnce();
        EXPECT_LE(windowDifference(t.view), 2) << "angle " << t.model.diskRotate();
    }
    EXPECT_EQ(t.model.diskRotate(), 0.0f);
}
