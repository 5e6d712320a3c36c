// The spin loop on its own thread: one loop at a time, at rest only at a
// turn's end, reporting from its thread, painting only on the main thread.
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

using namespace gx::test;
namespace names = gx::names;

namespace {

class SpinLoop : public ::testing::Test {
protected:
    // Runs `f` on the posting thread each time the record comes to rest.
    void onStop(std::function<void()> f)
    {
        gx::NotificationCenter::defaultCenter().addObserver(
            this, [f](const gx::Notification&) { f(); }, names::recordDiskStoped);
    }
    void TearDown() override { gx::NotificationCenter::defaultCenter().removeObserver(this); }
    ResourceFolder folder; // no artwork needed
    NotificationLog log;
};

int liveThreads()
{
    return static_cast<int>(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// Records what it is asked to paint, and from which thread.
class PaintSpyView : public GXGramoluxView {
public:
    std::vector<QRect> rects;
    bool offMainThread = false;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        rects.push_back(event->rect());
        offMainThread |= QThread::currentThread() != qApp->thread();
        GXGramoluxView::paintEvent(event);
    }
};

} // namespace

TEST_F(SpinLoop, StopKeepsTheAngleAndStopPlayBurstsLeaveExactlyOneLoop)
{
    GXGramoluxView view;
    view.play();
    ASSERT_TRUE(waitUntil([&] { return view.diskRotate() <= -20.0f; }, 20000));
    view.stop();
    ASSERT_TRUE(waitUntil([&] { return view.runningLoopCount() == 0; }, 10000));
    const float rest = view.diskRotate();
    EXPECT_TRUE(log.names().empty()); // a stop itself reports nothing
    for (int i = 0; i < 20; ++i) {
        view.play();
        view.stop();
    }
    view.play();
    ASSERT_TRUE(waitUntil([&] { return view.diskRotate() <= rest - 8.0f; }, 20000));
    EXPECT_GT(view.diskRotate(), rest - 200.0f); // resumed from the angle, not from 0
    EXPECT_TRUE(waitUntil([&] { return view.runningLoopCount() == 1; }, 10000));
    view.stop();
}

TEST_F(SpinLoop, SwitchedOffItRestsAtZeroAndReportsOnceFromItsThreadWhereAPlayMayStartTheNextLoop)
{
    GXGramoluxView view;
    std::atomic<int> stops = 0;
    std::thread::id reporter;
    onStop([&] {
        view.stop(); // the controller's answer, on the posting thread
        if (stops.load() == 0) {
            reporter = std::this_thread::get_id();
            view.setDiskSpeed(1.0f);
            view.play(); // the next song starts on this same thread
        }
        ++stops;
    });
    view.setDiskSpeed(0.0f); // never at a turn's end until the check is made
    view.play();
    view.setSwitchValue(0.0f);
    view.play(); // while running down: the switch stays off
    EXPECT_FALSE(view.switchValue());
    view.setDiskSpeed(45.0f); // half a turn a tick
    ASSERT_TRUE(waitUntil([&] { return stops.load() == 1 && view.isPlaying(); }, 20000));
    ASSERT_TRUE(waitUntil([&] { return view.runningLoopCount() == 1; }, 10000));
    EXPECT_TRUE(view.switchValue());
    EXPECT_EQ(log.names(), std::vector<std::string> {names::recordDiskStoped});
    EXPECT_TRUE(reporter != std::this_thread::get_id()) << "reported from the main thread";
    view.stop();
    ASSERT_TRUE(waitUntil([&] { return view.runningLoopCount() == 0; }, 10000));
    EXPECT_EQ(stops.load(), 1);
}

TEST_F(SpinLoop, DestroyingTheViewJoinsItsLoopEvenWhileItReports)
{
    auto* view = new GXGramoluxView;
    std::atomic<bool> inside = false;
    onStop([&] {
        inside = true;
        QThread::msleep(150);
    });
    view->setDiskSpeed(90.0f); // a full turn a tick
    view->play();
    view->setSwitchValue(0.0f);
    ASSERT_TRUE(waitUntil([&] { return inside.load(); }, 20000));
    const int during = liveThreads();
    delete view;
    EXPECT_EQ(liveThreads(), during - 1);
}

TEST_F(SpinLoop, RedrawsOfTheFadingRecordArePaintedOnTheMainThread)
{
    folder.write(standardArtwork());
    PaintSpyView view;
    view.show();
    ASSERT_TRUE(waitUntil([&] { return !view.rects.empty(); }, 20000));
    view.play();
    const QRect record = view.widgetRectFromView(gx::turntable::diskRect).toAlignedRect();
    const auto painted = [&] {
        return std::any_of(view.rects.begin(), view.rects.end(), [&](const QRect& r) { return r.contains(record); });
    };
    EXPECT_TRUE(waitUntil(painted, 10000));
    view.stop();
    EXPECT_FALSE(view.offMainThread);
}
