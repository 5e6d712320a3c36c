// Starts the real gramolux binary in a virtual X display with a fresh home
// that holds only a damaged settings file, and uses it as a user would:
// watches the record, clicks the switch, hands over files from a second
// launch, presses a key and closes the window.
// Screenshots are kept in GX_E2E_ARTEFACTS.
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <xcb/xcb.h>

using gx::test::meanDifference;
using gx::test::waitUntil;

namespace {

QString xdotool(const QStringList& args)
{
    const gx::test::Outcome o = gx::test::runProgram("xdotool", args, {.timeoutMs = 20000});
    return o.exitCode == -1 ? QString() : o.out.trimmed();
}

// Asks the window to close as a window manager's close button would.
void requestClose(xcb_window_t window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11->connection();
    const auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, strlen(name), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t {XCB_ATOM_NONE};
        free(r);
        return a;
    };
    const xcb_client_message_event_t event {.response_type = XCB_CLIENT_MESSAGE,
        .format = 32,
        .sequence = 0,
        .window = window,
        .type = atom("WM_PROTOCOLS"),
        .data = {.data32 = {atom("WM_DELETE_WINDOW"), XCB_CURRENT_TIME}}};
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable("xdotool").isEmpty())
            GTEST_SKIP() << "no virtual display or no xdotool";
        ASSERT_TRUE(home.isValid());
        QDir().mkpath(artefacts);
        for (const auto& [name, value] : {std::pair<const char*, QString> {"HOME", home.path()},
                 {"XDG_CONFIG_HOME", home.filePath(".config")}, {"XDG_RUNTIME_DIR", home.path()},
                 {"QT_QPA_PLATFORM", "xcb"}, {"SDL_AUDIODRIVER", "dummy"}, {"DBUS_SESSION_BUS_ADDRESS", "disabled:"}})
            env.insert(name, value);
    }

    void launch(QProcess& p, const QStringList& files)
    {
        p.setProcessEnvironment(env);
        p.start(GX_GRAMOLUX_BINARY, files);
        ASSERT_TRUE(p.waitForStarted(5000));
    }
    // Launches the player and waits for its window.
    void launchWindow(QProcess& player, const QStringList& files)
    {
        launch(player, files);
        window = xdotool({"search", "--sync", "--onlyvisible", "--name", "Gramolux"}).section('\n', 0, 0).toUInt();
        ASSERT_NE(window, 0u) << "no window appeared";
    }
    // The player ends well, as `how` asked it to.
    static void expectCleanQuit(QProcess& player, const char* how)
    {
        ASSERT_TRUE(player.waitForFinished(30000)) << "the player did not quit " << how;
        EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(player.exitCode(), 0);
    }
    QString settingsFile() const { return home.filePath(".config/Gramolux/Gramolux.conf"); }
    QVariant stored(const QString& key) const { return QSettings(settingsFile(), QSettings::IniFormat).value(key); }

    // The turntable's own top-left in a window shot: the view sits under the
    // menu bar and is 340 x 280.
    QImage shot(const QString& name)
    {
        QImage image
            = QGuiApplication::primaryScreen()->grabWindow(window).toImage().convertToFormat(QImage::Format_RGB32);
        image.save(artefacts + "/" + name + ".png");
        return image;
    }
    // Takes shots until one differs from `from` by more than `least` in
    // `area` or the time runs out; answers the last. Waiting on what is seen,
    // not on the clock, keeps the test true on a busy machine.
    QImage shotChanged(const QString& name, const QImage& from, QRect area, double least, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        QImage image = shot(name);
        while (meanDifference(from, image, area) <= least && clock.elapsed() < timeoutMs) {
            QThread::msleep(50);
            image = shot(name);
        }
        EXPECT_GT(meanDifference(from, image, area), least) << name.toStdString();
        return image;
    }
    QRect inView(const QImage& window, QRect viewRect) const { return viewRect.translated(0, window.height() - 280); }
    QString title() const { return xdotool({"getwindowname", QString::number(window)}); }

    QTemporaryDir home {QDir::tempPath() + "/gramolux-e2e-XXXXXX"};
    QString artefacts = GX_E2E_ARTEFACTS;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    xcb_window_t window = 0;
};

} // namespace

TEST_F(EndToEnd, PlaysTheDemoAndAnswersTheUserThenQuitsCleanly)
{
    // A damaged settings file: a level of the wrong type, lines that are no
    // settings at all, a cut-off value, and a key of the user's own.
    QDir().mkpath(home.filePath(".config/Gramolux"));
    ASSERT_FALSE(gx::test::writeFile(settingsFile(),
        "[General]\nmusicVolume=loud\n%%%% \x01\x02 not a setting\nmyOwnKey=keep\nnoise=@Variant(\\0\\0\\0")
                     .isEmpty());

    QProcess player;
    ASSERT_NO_FATAL_FAILURE(launchWindow(player, {GX_DEMO_SONG}));

    // The record fades in, the arm follows the song, and the record turns.
    const QImage early = shot("01-first");
    const QRect record = inView(early, {45, 40, 90, 90}); // upper left of the record, clear of the arm
    const QRect armHead = inView(early, {125, 220, 80, 45});
    shotChanged("02-faded-in", early, record, 4.0, 30000);
    const QImage moved = shotChanged("03-arm-moved", early, armHead, 12.0, 60000);
    const QImage turned = shotChanged("04-turned", moved, record, 0.5, 10000);
    EXPECT_EQ(title(), "Gramolux Serenade");

    // The switch: a click turns it off, and its light with it.
    const QRect button = inView(turned, {13, 197, 52, 52});
    const QPoint press(39, turned.height() - 280 + 223);
    xdotool({"mousemove", "--window", QString::number(window), QString::number(press.x()), QString::number(press.y()),
        "click", "1"});
    shotChanged("05-after-click", turned, button, 10.0, 10000);

    // A second launch hands over an album folder: its first song plays at
    // once, the second after it.
    ASSERT_TRUE(QDir(home.path()).mkpath("Album"));
    gx::test::writeToneWav(home.filePath("Album/02 Second Tone.wav"), 1.5);
    gx::test::writeToneWav(home.filePath("Album/01 First Tone.wav"), 1.5);
    QProcess handOver;
    launch(handOver, {home.filePath("Album")});
    ASSERT_TRUE(handOver.waitForFinished(5000));
    EXPECT_EQ(handOver.exitCode(), 0);
    EXPECT_TRUE(waitUntil([&] { return title() == "First Tone"; }, 20000)) << title().toStdString();
    EXPECT_TRUE(waitUntil([&] { return title() == "Second Tone"; }, 30000)) << title().toStdString();
    shot("06-second-song");

    // A digit sets the song's volume, and the store writes it by itself.
    xdotool({"key", "--window", QString::number(window), "3"});
    EXPECT_TRUE(waitUntil([&] { return gx::test::readFile(settingsFile()).contains("musicVolume=0.3"); }, 20000))
        << "the volume was not written while the player ran";

    requestClose(window);
    ASSERT_NO_FATAL_FAILURE(expectCleanQuit(player, "after its window was closed"));
    const QString errors = QString::fromUtf8(player.readAllStandardError());
    EXPECT_FALSE(errors.contains("Sanitizer") || errors.contains("runtime error:")) << errors.toStdString();

    EXPECT_NEAR(stored("musicVolume").toDouble(), 0.3, 1e-6);
    EXPECT_EQ(stored("myOwnKey").toString(), "keep");
}

// A session that logs out sends SIGTERM: the level set a moment before is
// written, the socket goes, and the player says all went well.
TEST_F(EndToEnd, ASignalQuitsAsQuitDoes)
{
    ASSERT_TRUE(QDir(home.path()).mkpath(".config/Gramolux"));
    QProcess player;
    ASSERT_NO_FATAL_FAILURE(launchWindow(player, {}));
    ASSERT_TRUE(QFile::exists(home.filePath("gramolux.socket")));
    xdotool({"key", "--window", QString::number(window), "7"});
    // Time for the key to come before the signal, not for the store, which
    // waits 250 ms to gather changes.
    QThread::msleep(50);
    player.terminate(); // SIGTERM
    ASSERT_NO_FATAL_FAILURE(expectCleanQuit(player, "on SIGTERM"));
    EXPECT_NEAR(stored("musicVolume").toDouble(), 0.7, 1e-6);
    EXPECT_FALSE(QFile::exists(home.filePath("gramolux.socket")));
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // A display of our own, never the user's: Xvfb picks a free number and
    // tells it. Without Xvfb the test skips.
    unsetenv("DISPLAY");
    QProcess xvfb;
    xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
    if (xvfb.waitForStarted(5000) && xvfb.waitForReadyRead(10000)) {
        const QString display = QString::fromUtf8(xvfb.readLine()).trimmed();
        setenv("DISPLAY", (":" + display).toUtf8().constData(), 1);
    }
    setenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb", 1);
    int status = 0;
    {
        QGuiApplication app(argc, argv);
        status = RUN_ALL_TESTS();
    }
    xvfb.kill();
    xvfb.waitForFinished(2000);
    return status;
}
