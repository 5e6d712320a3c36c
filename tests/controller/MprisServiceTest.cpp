#include "controller/AppController.h"
#include "controller/GramoluxWindowLayout.h"
#include "controller/MprisService.h"
#include "support/TestSupport.h"
#include "view/GXGramoluxView.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

using gx::test::waitUntil;

namespace {

// A private session bus of our own, so the test never meets the user's.
class PrivateBus {
public:
    PrivateBus()
    {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            return;
        const QString socket = dir_.filePath("bus");
        const QString pidFile = dir_.filePath("pid");
        if (!gx::test::runShell("dbus-daemon --session --fork --address=" + gx::test::shellQuoted("unix:path=" + socket)
                                + " --print-pid=1 > " + gx::test::shellQuoted(pidFile)))
            return;
        QFile pid(pidFile);
        if (pid.open(QIODevice::ReadOnly))
            pid_ = QString::fromUtf8(pid.readAll()).trimmed().toInt();
        if (pid_ > 0)
            address_ = "unix:path=" + socket;
    }
    ~PrivateBus()
    {
        if (pid_ > 0)
            ::kill(pid_, SIGTERM);
    }
    QString address() const { return address_; }

private:
    QTemporaryDir dir_;
    pid_t pid_ = 0;
    QString address_;
};

QVariant property(QDBusConnection& bus, const QString& name)
{
    QDBusMessage get = QDBusMessage::createMethodCall(MprisService::serviceName, MprisService::objectPath,
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QStringLiteral("org.mpris.MediaPlayer2.Player") << name;
    QDBusPendingCall pending = bus.asyncCall(get);
    waitUntil([&] { return pending.isFinished(); }, 3000);
    QDBusPendingReply<QDBusVariant> reply = pending;
    return reply.isValid() ? reply.value().variant() : QVariant();
}

void call(QDBusConnection& bus, const QString& method)
{
    QDBusMessage m = QDBusMessage::createMethodCall(MprisService::serviceName, MprisService::objectPath,
                                                    "org.mpris.MediaPlayer2.Player", method);
    QDBusPendingCall pending = bus.asyncCall(m);
    waitUntil([&] { return pending.isFinished(); }, 3000);
}

} // namespace

TEST(MprisService, MediaKeysWorkTheSwitchAndTheSongIsShown)
{
    PrivateBus bus;
    if (bus.address().isEmpty())
        GTEST_SKIP() << "no dbus-daemon on this machine";
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    QTemporaryDir dir;
    GramoluxWindowLayout layout;
    MprisService mpris(layout);
    ASSERT_TRUE(mpris.registerOnSessionBus());
    QDBusConnection client = QDBusConnection::connectToBus(bus.address(), "mpris-test-client");
    ASSERT_TRUE(client.isConnected());

    EXPECT_EQ(property(client, "PlaybackStatus").toString(), "Stopped");
    const QString song = gx::test::writeToneWav(dir.filePath("03 Night Tone.wav"), 4.0);
    layout.appController()->openMusic(song);
    EXPECT_EQ(property(client, "PlaybackStatus").toString(), "Playing");
    QVariantMap meta;
    property(client, "Metadata").value<QDBusArgument>() >> meta;
    EXPECT_EQ(meta.value("xesam:title").toString(), "Night Tone");
    EXPECT_NEAR(meta.value("mpris:length").toLongLong(), 4000000, 1000);

    // Pause works the switch as the button does: the record runs down.
    call(client, "Pause");
    EXPECT_FALSE(layout.view()->switchValue());
    ASSERT_TRUE(waitUntil([&] { return !layout.appController()->isPlaying(); }, 4000));
    EXPECT_EQ(property(client, "PlaybackStatus").toString(), "Paused");
    call(client, "PlayPause");
    EXPECT_TRUE(layout.view()->switchValue());
    EXPECT_TRUE(layout.appController()->isPlaying());
    call(client, "Play"); // already on: nothing changes
    EXPECT_TRUE(layout.view()->switchValue());
    QDBusConnection::disconnectFromBus("mpris-test-client");
}
