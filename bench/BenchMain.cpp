// Shared entry of the benchmark programs: a headless Qt application, no
// sound from them on a developer's machine, and a settings folder of their
// own, so the user's settings are never touched.
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QTemporaryDir config(QDir::tempPath() + "/gramolux-bench-XXXXXX");
    setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
