// Shared entry of every test executable: a headless Qt application and a
// private, empty home and config folder, so no test reads or writes the
// user's real settings.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home(QDir::tempPath() + "/gramolux-test-XXXXXX");
    if (!home.isValid())
        return 2;
    setenv("HOME", home.path().toUtf8().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8().constData(), 1);
    setenv("XDG_RUNTIME_DIR", home.path().toUtf8().constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // The texts the tests expect are English, whatever the desktop's language.
    setenv("LANGUAGE", "en", 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
