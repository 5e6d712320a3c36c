// Cost of one jukebox tick in the running program: a real song, the real
// turntable model, the effect sounds and the settings store.
#include "controller/JukeboxSongEnvironment.h"
#include "controller/JukeboxTick.h"
#include "platform/Resources.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/GXQTMusic.h"
#include "view/TurntableModel.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

using gx::JukeboxSongEnvironment;

static void BM_JukeboxTick(benchmark::State& state)
{
    GXQTMusic::initialize();
    gx::keys::registerDefaults();
    gx::TurntableModel turntable;
    std::shared_ptr<GXQTMusic> song = GXQTMusic::initWithFilePath(gx::pathForSoundResource("01 Gramolux Serenade"));
    std::vector<std::unique_ptr<GXQTMusic>> noises;
    for (int i = 1; i <= 7; ++i)
        noises.push_back(GXQTMusic::initWithResourceFile("noise" + std::to_string(i)));
    auto skip = GXQTMusic::initWithResourceFile("skip");
    song->play();
    JukeboxSongEnvironment env(turntable, song, skip.get(), noises, gx::UserDefaults::standardUserDefaults());
    gx::JukeboxRates rates;
    rates.defaultRate = 1.0f;
    rates.targetRate = 1.0f;
    rates.crntRate = 0.9f;
    gx::JukeboxTick tick(env, rates);
    tick.begin();
    for (auto _ : state)
        tick.tick();
    song->stop();
}
BENCHMARK(BM_JukeboxTick)->Unit(benchmark::kMicrosecond);
