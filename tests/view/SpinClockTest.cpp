// The spin clock: the main thread's 0.02 s timer turns the record, also while
// a modal dialog runs its own event loop, and the rest is told on that thread.
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "view/ViewTestSupport.h"

#include <QDialog>
#include <QTimer>
#include <thread>

using namespace gx::test;

TEST(SpinClock, TurnsOnTheMainThreadUnderAModalDialogAndTellsTheRestThere)
{
    ResourceFolder folder; // no artwork needed
    Turntable turntable;
    gx::TurntableModel& model = turntable.model;
    std::thread::id reporter; // of the record's stop, whose rest at 0 is the model's test
    gx::NotificationCenter::defaultCenter().addObserver(
        &reporter, [&](const gx::Notification&) { reporter = std::this_thread::get_id(); }, gx::names::recordStopped);

    model.play();
    ASSERT_TRUE(waitUntil([&] { return model.diskRotate() <= -20.0f; }, 20000));
    QDialog dialog;
    float atOpen = 1.0f;
    QTimer::singleShot(0, &dialog, [&] { atOpen = model.diskRotate(); });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &dialog, [&] {
        if (model.diskRotate() <= atOpen - 40.0f)
            dialog.accept();
    });
    watch.start(10);
    QTimer::singleShot(20000, &dialog, &QDialog::reject); // never hang
    EXPECT_EQ(dialog.exec(), QDialog::Accepted) << "the record stood still under the dialog";
    watch.stop();

    model.setSwitchValue(0.0f);
    model.setDiskSpeed(45.0f); // half a turn a tick
    ASSERT_TRUE(waitUntil([&] { return !model.isPlaying(); }, 20000));
    gx::NotificationCenter::defaultCenter().removeObserver(&reporter);
    EXPECT_EQ(reporter, std::this_thread::get_id());
}
