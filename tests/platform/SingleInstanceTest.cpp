#include "platform/SingleInstance.h"
#include "support/TestSupport.h"

#include <QEventLoop>
#include <QFileInfo>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using gx::SingleInstance;
using gx::test::waitUntil;

namespace {

// A second launch, on its own thread so the running one keeps serving events.
bool launchAgain(const QString& socket, const QStringList& files)
{
    auto second = std::async(std::launch::async, [&] { return SingleInstance(socket).forwardOrListen(files); });
    waitUntil([&] { return second.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 15000);
    return second.get();
}

} // namespace

// A socket left by a crashed player does not stop a new start, and later
// launches hand their files to the running one, in order and intact.
TEST(SingleInstance, LaterLaunchesHandTheirFilesToTheRunningOneEvenAfterACrash)
{
    QTemporaryDir dir;
    const QString socket = dir.filePath("player.socket");
    // A bound socket whose owner is gone: the file stays, nobody listens.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    const QByteArray path = socket.toLocal8Bit();
    std::memcpy(addr.sun_path, path.constData(), static_cast<size_t>(path.size()) + 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(socket));

    SingleInstance first(socket);
    std::vector<QStringList> received;
    QObject::connect(&first, &SingleInstance::filesReceived, [&](const QStringList& f) { received.push_back(f); });
    ASSERT_FALSE(first.forwardOrListen({"/ignored.mp3"}));
    ASSERT_TRUE(first.isListening());
    const QStringList odd {"/m/with space.mp3", "/m/\"quotes\" 'and' more.wav", QString::fromUtf8("/m/Ünïcødé 曲.m4a"),
        "/m/new\nline.aif"};
    EXPECT_TRUE(launchAgain(socket, odd));
    EXPECT_TRUE(launchAgain(socket, {"/m/next.mp3"}));
    ASSERT_TRUE(waitUntil([&] { return received.size() == 2; }, 10000));
    EXPECT_EQ(received, (std::vector<QStringList> {odd, {"/m/next.mp3"}}));
}

TEST(SingleInstance, TwoLaunchesAtOnceEndWithOnePlayer)
{
    QTemporaryDir dir;
    const QString socket = dir.filePath("player.socket");
    for (int round = 0; round < 5; ++round) {
        std::atomic<int> forwarded {0}, listening {0}, finished {0};
        // Plain threads, each with an event loop of its own: the listening
        // one needs Qt's event dispatcher.
        std::vector<std::thread> launches;
        for (int i = 0; i < 2; ++i)
            launches.emplace_back([&] {
                QEventLoop loop;
                SingleInstance instance(socket);
                (instance.forwardOrListen({"/m/x.mp3"}) ? forwarded : listening)++;
                ++finished;
                // The listening one serves the other's hand-over from here.
                while (finished.load() < 2)
                    loop.processEvents(QEventLoop::AllEvents, 5);
            });
        for (auto& t : launches)
            t.join();
        EXPECT_EQ(listening.load(), 1);
        EXPECT_EQ(forwarded.load(), 1);
    }
}
