#include "platform/QuitSignals.h"

#include "support/TestSupport.h"

#include <csignal>

using gx::QuitSignals;
using gx::test::waitUntil;

// Each signal arrives on the event loop once, and a second one of the same
// kind would be the default's again (so a quit that hangs can still be
// ended); gone with the object, the default is back.
TEST(QuitSignals, EachQuitSignalReachesTheEventLoopOnceThenTheDefaultIsBack)
{
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(number);
        QuitSignals quitSignals;
        ASSERT_TRUE(quitSignals.catching());
        std::vector<int> got;
        QObject::connect(&quitSignals, &QuitSignals::quitRequested, [&](int n) { got.push_back(n); });
        ASSERT_EQ(::raise(number), 0);
        ASSERT_TRUE(waitUntil([&] { return !got.empty(); }, 10000));
        QCoreApplication::processEvents();
        EXPECT_EQ(got, std::vector<int> {number});
        struct sigaction now { };
        sigaction(number, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_DFL);
    }
    // A signal ignored before (nohup) stays ignored.
    std::signal(SIGHUP, SIG_IGN);
    {
        QuitSignals quitSignals;
        int got = 0;
        QObject::connect(&quitSignals, &QuitSignals::quitRequested, [&] { ++got; });
        ASSERT_EQ(::raise(SIGHUP), 0);
        QThread::msleep(50);
        QCoreApplication::processEvents();
        EXPECT_EQ(got, 0);
    }
    std::signal(SIGHUP, SIG_DFL);
}
