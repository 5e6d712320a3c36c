#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "support/TestSupport.h"
#include "view/GXGramoluxView.h"
#include "view/ViewTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QPaintEvent>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

using namespace gx::test;
namespace names = gx::names;

namespace {

class SpinLoop : public ::testing::Test {
protected:
    ResourceFolder folder; // no artwork needed
    NotificationLog log;
};

int liveThreads() { return static_cast<int>(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size()); }

// Lets the loop run for a while without processing events.
void pause(int ms) { QThread::msleep(ms); }

} // namespace

TEST_F(SpinLoop, PlayTurnsTheRecordAndStopKeepsItsAngleForTheNextPlay)
{
    GXGramoluxView view;
    view.play();
    EXPECT_TRUE(view.isPlaying());
    EXPECT_TRUE(view.switchValue());
    ASSERT_TRUE(waitUntil([&] { return view.diskRotate() <= -20.0f; }, 20000));
    EXPECT_EQ(view.runningLoopCount(), 1);

    view.stop();
    EXPECT_FALSE(view.isPlaying());
    EXPECT_FALSE(view.switchValue());
    ASSERT_TRUE(waitUntil([&] { return view.runningLoopCount() == 0; }, 10000));
    const float rest = view.diskRotate();
    pause(80);
    EXPECT_EQ(view.diskRotate(), rest);
    EXPECT_TRUE(log.names().empty()); // stop itself reports nothing

    view.play();
    ASSERT_TRUE(waitUntil([&] { return view.diskRotate() <= rest - 8.0f; }, 20000));
    EXPECT_GT(view.diskRotate(), rest - 200.0f); // resumed from the angle, not from 0
    view.stop();
}

TEST_F(SpinLoop, PlayWhileRunningDownLeavesTheSwitchOff)
{
    GXGramoluxView view;
    view.setDiskSpeed(0.0f); // never reaches a turn's end
    view.play();
    view.setSwitchValue(0.0f);
    view.play();
    EXPECT_FALSE(view.switchValue());
    pause(100);
    EXPECT_TRUE(view.isPlaying());
    EXPECT_EQ(view.runningLoopCount(), 1);
    EXPECT_EQ(view.diskRotate(), 0.0f);
    EXPECT_EQ(log.count(names::recordDiskStoped), 0);
    view.stop();
    EXPECT_TRUE(waitUntil([&] { return view.runningLoopCount() == 0; }, 10000));
}

TEST_F(SpinLoop, StopFollowedAtOnceByPlayLeavesExactlyOneLoop)
{
    GXGramoluxView view;
    view.play();
    for (int i = 0; i < 20; ++i) {
        view.stop();
        view.play();
        if (i % 5 == 0)
            pause(7);
    }
    ASSERT_TRUE(waitUntil([&] { return view.runningLoopCount() == 1; }, 10000));
    pause(100);
    EXPECT_EQ(view.runningLoopCount(), 1);

    // One loop turns the record 4 degrees a tick: in 0.3 s at most 15 ticks.
    const float before = view.diskRotate();
    pause(300);
    const float turned = before - view.diskRotate();
    EXPECT_GT(turned, 0.0f);
    EXPECT_LE(turned, 16 * 4.0f);
    view.stop();
}

TEST_F(SpinLoop, SwitchOffComesToRestAtZeroAndReportsOnceFromTheSpinThread)
{
    GXGramoluxView view;
    // The controller's answer: stop, on the posting thread.
    int stopsSeen = 0;
    gx::NotificationCenter::defaultCenter().addObserver(&stopsSeen, [&](const gx::Notification& n) {
        EXPECT_EQ(n.object, &view);
        view.stop();
        ++stopsSeen;
    }, names::recordDiskStoped);

    view.setDiskSpeed(45.0f); // half a turn a tick
    view.play();
    view.setSwitchValue(0.0f);
    ASSERT_TRUE(waitUntil([&] { return view.runningLoopCount() == 0; }, 20000));
    gx::NotificationCenter::defaultCenter().removeObserver(&stopsSeen);

    EXPECT_EQ(stopsSeen, 1);
    EXPECT_EQ(view.diskRotate(), 0.0f);
    EXPECT_FALSE(view.isPlaying());
    EXPECT_FALSE(view.switchValue());
    ASSERT_EQ(log.names(), std::vector<std::string>{names::recordDiskStoped});
    EXPECT_NE(log.threads().front(), std::this_thread::get_id());
}

TEST_F(SpinLoop, PlayFromInsideTheStoppedHandlerStartsTheOnlyLoop)
{
    GXGramoluxView view;
    std::atomic<int> restarts = 0;
    gx::NotificationCenter::defaultCenter().addObserver(&restarts, [&](const gx::Notification&) {
        view.stop();
        if (restarts.fetch_add(1) == 0) {
            view.setDiskSpeed(1.0f);
            view.play(); // the next song starts on this same thread
        }
    }, names::recordDiskStoped);

    view.setDiskSpeed(45.0f);
    view.play();
    view.setSwitchValue(0.0f);
    ASSERT_TRUE(waitUntil([&] { return restarts.load() == 1 && view.isPlaying(); }, 20000));
    ASSERT_TRUE(waitUntil([&] { return view.runningLoopCount() == 1; }, 10000));
    pause(100);
    EXPECT_EQ(view.runningLoopCount(), 1);
    EXPECT_TRUE(view.switchValue());
    EXPECT_LT(view.diskRotate(), 0.0f); // turning again from the rest angle
    view.stop();
    ASSERT_TRUE(waitUntil([&] { return view.runningLoopCount() == 0; }, 10000));
    gx::NotificationCenter::defaultCenter().removeObserver(&restarts);
    EXPECT_EQ(restarts.load(), 1);
}

TEST_F(SpinLoop, DestroyingTheViewEndsAndJoinsItsLoop)
{
    // A loop asleep between ticks.
    auto* view = new GXGramoluxView;
    view->play();
    ASSERT_TRUE(waitUntil([&] { return view->diskRotate() < 0.0f; }, 20000));
    int during = liveThreads();
    delete view;
    EXPECT_EQ(liveThreads(), during - 1);

    // A loop busy in an observer of its notification when the view goes:
    // the view must wait for it to come back and end.
    view = new GXGramoluxView;
    std::atomic<bool> inside = false;
    gx::NotificationCenter::defaultCenter().addObserver(&inside, [&](const gx::Notification&) {
        inside = true;
        QThread::msleep(150);
    }, names::recordDiskStoped);
    view->setDiskSpeed(90.0f); // a full turn a tick
    view->play();
    view->setSwitchValue(0.0f);
    ASSERT_TRUE(waitUntil([&] { return inside.load(); }, 20000));
    during = liveThreads();
    delete view;
    EXPECT_EQ(liveThreads(), during - 1);
    gx::NotificationCenter::defaultCenter().removeObserver(&inside);
}

namespace {
// Records what it is asked to paint (an event filter would also see the
// loop's queued calls, which are made on the spin thread).
class PaintSpyView : public GXGramoluxView {
public:
    std::vector<QRect> rects;
    bool offMainThread = false;
    bool saw(const QRect& r) const { return std::find(rects.begin(), rects.end(), r) != rects.end(); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        rects.push_back(event->rect());
        offMainThread |= QThread::currentThread() != qApp->thread();
        GXGramoluxView::paintEvent(event);
    }
};
} // namespace

TEST_F(SpinLoop, RedrawsOfTheFadingRecordArePaintedOnTheMainThread)
{
    ResourceFolder artwork;
    artwork.write(standardArtwork());
    PaintSpyView view;
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.saw(view.rect()); }, 20000));
    view.rects.clear();
    view.play();
    // The record's square, {27.5, 34, 221, 221} with y up, in Qt's y down.
    const QRect record = view.widgetRectFromView(gx::turntable::diskRect).toAlignedRect();
    EXPECT_TRUE(waitUntil([&] {
        return std::any_of(view.rects.begin(), view.rects.end(), [&](const QRect& r) { return r.contains(record); });
    }, 5000));
    view.stop();
    EXPECT_FALSE(view.offMainThread);
}

TEST_F(SpinLoop, ATickOnTheCallingThreadComesToRestAndReports)
{
    GXGramoluxView view;
    view.setDiskSpeed(22.5f); // a quarter turn a tick
    for (int i = 0; i < 4; ++i)
        view.spinOnce();
    EXPECT_EQ(view.diskRotate(), -360.0f);
    EXPECT_TRUE(log.names().empty());
    view.spinOnce(); // switch off: the turn ends at rest
    EXPECT_EQ(view.diskRotate(), 0.0f);
    EXPECT_FALSE(view.isPlaying());
    EXPECT_EQ(log.names(), std::vector<std::string>{names::recordDiskStoped});
    EXPECT_FLOAT_EQ(view.diskFraction(), 0.05f);
}
