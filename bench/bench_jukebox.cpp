// Cost of one jukebox tick in the running program: a real song, the real
// turntable model, the effect sounds and the settings store.
#include "engine/JukeboxSongEnvironment.h"
#include "engine/JukeboxTick.h"
#include "platform/Resources.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/Sound.h"
#include "turntable/TurntableModel.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

using gx::JukeboxSongEnvironment;

static void BM_JukeboxTick(benchmark::State& state)
{
    gx::Sound::initialize();
    gx::keys::registerDefaults();
    gx::TurntableModel turntable;
    std::shared_ptr<gx::Sound> song = gx::Sound::open(gx::pathForSoundResource("01 Gramolux Serenade"));
    std::vector<std::unique_ptr<gx::Sound>> noises;
    for (int i = 1; i <= 7; ++i)
        noises.push_back(gx::Sound::openResource("noise" + std::to_string(i)));
    auto skip = gx::Sound::openResource("skip");
    song->play();
    JukeboxSongEnvironment env(turntable, song, skip.get(), noises, gx::UserDefaults::standardUserDefaults());
    gx::JukeboxRates rates;
    rates.defaultRate = 1.0f;
    rates.targetRate = 1.0f;
    rates.currentRate = 0.9f;
    gx::JukeboxTick tick(env, rates);
    tick.begin();
    for (auto _ : state)
        tick.tick();
    song->stop();
}
BENCHMARK(BM_JukeboxTick)->Unit(benchmark::kMicrosecond);
