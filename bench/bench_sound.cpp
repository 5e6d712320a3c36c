// Costs of the sound engine: mixing a turntable's worth of voices, opening a
// song, reading its tags, reading the position, and memory while streaming a long song. The
// songs are generated at start into /tmp (a WAV written here, encoded with the
// ffmpeg command-line tool) and kept for later runs.
#include "sound/Decoder.h"
#include "sound/LoudnessMeter.h"
#include "sound/MemoryVoice.h"
#include "sound/Mixer.h"
#include "sound/Sound.h"
#include "sound/StreamVoice.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string kDir = "/tmp/gramolux-bench";

void put16(std::ofstream& out, std::uint16_t v)
{
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out.write(b, 2);
}

void put32(std::ofstream& out, std::uint32_t v)
{
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

// A stereo WAV of music-like noise: a wandering tone with a little noise, so
// that a VBR encoder has something to vary on. Written in blocks.
bool writeSongWav(const std::string& path, double seconds)
{
    const int rate = 44100;
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    std::ofstream out(path + ".tmp", std::ios::binary);
    out.write("RIFF", 4);
    put32(out, 36 + frames * 4);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, 2);
    put32(out, rate);
    put32(out, rate * 4);
    put16(out, 4);
    put16(out, 16);
    out.write("data", 4);
    put32(out, frames * 4);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> noise(-600, 600);
    double phase = 0.0;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        phase += 2.0 * M_PI * (330.0 + 200.0 * std::sin(t * 0.7)) / rate;
        const int s = static_cast<int>(9000.0 * std::sin(phase)) + noise(rng);
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(s)));
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(-s)));
    }
    out.close();
    std::error_code ec;
    fs::rename(path + ".tmp", path, ec);
    return out.good() && !ec;
}

bool run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// The cached file, made on first use; empty when it cannot be made.
std::string songFile(const std::string& name)
{
    std::error_code ec;
    fs::create_directories(kDir, ec);
    const std::string path = kDir + "/" + name;
    if (fs::exists(path, ec))
        return path;
    const std::string wav = kDir + "/five-minutes.wav";
    if (!fs::exists(wav, ec) && !writeSongWav(wav, 300.0))
        return {};
    std::string command;
    if (name == "five-minutes.mp3")
        command = "ffmpeg -nostdin -y -i " + wav + " -c:a libmp3lame -b:a 192k -f mp3 " + path + ".tmp";
    else if (name == "five-minutes-vbr-noheader.mp3")
        command = "ffmpeg -nostdin -y -i " + wav + " -c:a libmp3lame -q:a 2 -write_xing 0 -f mp3 " + path + ".tmp";
    else if (name == "sixty-minutes.mp3")
        command = "ffmpeg -nostdin -y -stream_loop 11 -i " + songFile("five-minutes.mp3") + " -c copy -f mp3 " + path
            + ".tmp";
    else if (name == "five-minutes.wav")
        return wav;
    if (command.empty() || !run(command))
        return {};
    fs::rename(path + ".tmp", path, ec);
    return ec ? std::string() : path;
}

// A short effect sound in memory, as the player loads its hiss and crackles.
std::shared_ptr<gx::MemoryVoice> effectVoice(double seconds, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> dist(-6553, 6553);
    std::vector<float> frames(static_cast<size_t>(seconds * 44100) * 2);
    for (float& x : frames)
        x = static_cast<float>(dist(rng)) / 32768.0f; // 16-bit, as our sounds
    gx::MemoryVoice::Samples samples;
    samples.append(frames.data(), frames.size());
    return std::make_shared<gx::MemoryVoice>(44100, std::move(samples));
}

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

void waitForBuffer(const gx::StreamVoice& voice, std::int64_t frames)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (voice.bufferedAhead() < frames && !voice.endKnown() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
}

} // namespace

// One second of output: the song, the looping hiss and three crackles, all
// at rate 1.03 (resampled, as while the speed wanders).
static void BM_MixOneSecondSongHissThreeCrackles(benchmark::State& state)
{
    const std::string path = songFile("five-minutes.mp3");
    if (path.empty()) {
        state.SkipWithError("could not make the song (is ffmpeg installed?)");
        return;
    }
    gx::Mixer mixer(44100);
    auto song = std::make_shared<gx::StreamVoice>(gx::Decoder::open(path));
    auto hiss = effectVoice(8.0, 1);
    hiss->setLoop(true);
    std::vector<std::shared_ptr<gx::Voice>> voices
        = {song, hiss, effectVoice(1.0, 2), effectVoice(1.5, 3), effectVoice(2.0, 4)};
    for (auto& v : voices) {
        v->setLoop(true);
        v->setRate(1.03f);
        v->setEngineVolume(200);
        mixer.add(v);
        v->play();
    }
    std::vector<float> out(1024 * 2);
    for (auto _ : state) {
        state.PauseTiming();
        waitForBuffer(*song, 48000); // the decoder's work is not the mixer's
        state.ResumeTiming();
        for (int done = 0; done < 44100; done += 1024)
            mixer.render(out.data(), std::min(1024, 44100 - done));
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_MixOneSecondSongHissThreeCrackles)->Unit(benchmark::kMillisecond)->Iterations(40);

// From opening a 5-minute MP3 to the first audible block rendered.
static void BM_OpenToFirstAudio(benchmark::State& state, const char* name)
{
    const std::string path = songFile(name);
    if (path.empty()) {
        state.SkipWithError("could not make the song (is ffmpeg installed?)");
        return;
    }
    auto mixer = std::make_shared<gx::Mixer>(44100);
    std::vector<float> out(256 * 2);
    for (auto _ : state) {
        auto music = gx::Sound::open(path, mixer);
        music->play();
        mixer->render(out.data(), 256);
        if (out[511] == 0.0f && out[510] == 0.0f)
            state.SkipWithError("no audio in the first block");
        state.PauseTiming();
        music.reset();
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(BM_OpenToFirstAudio, mp3_cbr_with_header, "five-minutes.mp3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenToFirstAudio, mp3_vbr_no_header, "five-minutes-vbr-noheader.mp3")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenToFirstAudio, wav, "five-minutes.wav")->Unit(benchmark::kMillisecond);

// Reading a song's tags, as the cover reader and MPRIS do for every song shown.
static void BM_ReadTags(benchmark::State& state, const char* name)
{
    const std::string path = songFile(name);
    if (path.empty()) {
        state.SkipWithError("could not make the song (is ffmpeg installed?)");
        return;
    }
    for (auto _ : state) {
        const auto tags = gx::Decoder::readTags(path);
        if (!tags)
            state.SkipWithError("no tags read");
        benchmark::DoNotOptimize(tags);
    }
}
BENCHMARK_CAPTURE(BM_ReadTags, mp3_cbr_with_header, "five-minutes.mp3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTags, mp3_vbr_no_header, "five-minutes-vbr-noheader.mp3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTags, wav, "five-minutes.wav")->Unit(benchmark::kMillisecond);

// Reading the position of a song that the audio engine is mixing.
static void BM_SoundPosition(benchmark::State& state)
{
    const std::string path = songFile("five-minutes.mp3");
    if (path.empty()) {
        state.SkipWithError("could not make the song (is ffmpeg installed?)");
        return;
    }
    auto music = gx::Sound::open(path);
    music->setVolume(0.0f);
    music->play();
    std::this_thread::sleep_for(100ms);
    for (auto _ : state)
        benchmark::DoNotOptimize(music->positionSeconds());
    music->stop();
}
BENCHMARK(BM_SoundPosition)->Unit(benchmark::kNanosecond);

// Measuring the loudness of an untagged 5-minute MP3 (decoding it whole,
// integrated loudness and true peak) on the calling thread: the target is
// under a thirtieth of its length, 10 s. `of_length` is the time over the
// song's length.
static void BM_MeasureLoudnessFiveMinuteMp3(benchmark::State& state)
{
    const std::string path = songFile("five-minutes.mp3");
    if (path.empty()) {
        state.SkipWithError("could not make the song (is ffmpeg installed?)");
        return;
    }
    const std::atomic<bool> cancel {false};
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto found = gx::LoudnessMeter::find(path, cancel);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!found || !found->trackGainDb)
            state.SkipWithError("no loudness measured");
    }
    state.counters["of_length"] = seconds / static_cast<double>(state.iterations()) / 300.0;
}
BENCHMARK(BM_MeasureLoudnessFiveMinuteMp3)->Unit(benchmark::kMillisecond)->Iterations(3);

// Resident memory above idle while a 60-minute song streams: two minutes of
// it rendered offline, at double speed, with a jump to near its end.
static void BM_StreamSixtyMinutesMemory(benchmark::State& state)
{
    const std::string path = songFile("sixty-minutes.mp3");
    if (path.empty()) {
        state.SkipWithError("could not make the song (is ffmpeg installed?)");
        return;
    }
    for (auto _ : state) {
        const long idle = residentKiB();
        long peak = idle;
        {
            gx::Mixer mixer(44100);
            auto song = std::make_shared<gx::StreamVoice>(gx::Decoder::open(path));
            mixer.add(song);
            song->setRate(2.0f);
            song->play();
            std::vector<float> out(4410 * 2);
            for (int block = 0; block < 1200; ++block) {
                if (block == 600)
                    song->seek(song->lengthFrames() - 44100 * 120);
                waitForBuffer(*song, 8820 * 2);
                mixer.render(out.data(), 4410);
                if (block % 50 == 0)
                    peak = std::max(peak, residentKiB());
            }
            peak = std::max(peak, residentKiB());
            mixer.remove(song.get());
        }
        state.counters["rss_growth_MiB"] = static_cast<double>(peak - idle) / 1024.0;
    }
}
BENCHMARK(BM_StreamSixtyMinutesMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
