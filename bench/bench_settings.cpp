// Cost of a preferences slider drag: the main thread's CPU time for a drag
// across the whole range (100 steps, each stored and announced), and the
// longest level read on another thread meanwhile and while the drag is
// written, as the jukebox thread reads three levels every tick.
#include "platform/UserDefaults.h"
#include "settings/PreferenceController.h"
#include "settings/SettingsKeys.h"

#include <QSlider>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <sys/resource.h>
#include <thread>

namespace {

double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

long involuntarySwitches()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nivcsw;
}

} // namespace

static void BM_PreferenceSliderDrag(benchmark::State& state)
{
    gx::keys::registerDefaults();
    auto& store = gx::UserDefaults::standardUserDefaults();
    PreferenceController prefs([&store](float volume) { store.setFloat(volume, gx::keys::musicVolume); });
    std::atomic<bool> reading {true};
    std::atomic<bool> dragging {false};
    std::atomic<double> longestReadUs {0.0};
    std::thread jukebox([&] {
        double longest = 0.0;
        while (reading.load(std::memory_order_relaxed)) {
            for (const QString& key : {gx::keys::distortion, gx::keys::skip, gx::keys::noise}) {
                const long preemptedBefore = involuntarySwitches();
                const auto t0 = std::chrono::steady_clock::now();
                benchmark::DoNotOptimize(store.floatForKey(key));
                const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - t0;
                // A read during which the scheduler took the core away says
                // nothing about the store; waiting on a lock is a voluntary
                // switch and is counted.
                if (dragging.load(std::memory_order_relaxed) && involuntarySwitches() == preemptedBefore)
                    longest = std::max(longest, took.count());
            }
        }
        longestReadUs = longest;
    });
    double mainMs = 0.0;
    int drags = 0;
    for (auto _ : state) {
        const bool up = drags % 2 == 0;
        dragging = true;
        const double before = threadCpuMs();
        for (int step = 0; step <= 100; ++step)
            prefs.musicVolSlider->setValue(up ? step : 100 - step);
        mainMs += threadCpuMs() - before;
        // The store writes the drag a moment later: reads go on being
        // measured through that write.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        dragging = false;
        ++drags;
    }
    store.synchronize();
    reading = false;
    jukebox.join();
    state.counters["main_ms_per_drag"] = mainMs / drags;
    state.counters["longest_read_us"] = longestReadUs.load();
    state.counters["stored_level"] = store.floatForKey(gx::keys::musicVolume); // the drag's last step
}
BENCHMARK(BM_PreferenceSliderDrag)->Unit(benchmark::kMillisecond)->Iterations(10);
