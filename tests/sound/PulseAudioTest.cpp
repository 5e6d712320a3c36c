// The audio engine on a real sound server: a private PulseAudio with a null
// sink, started by the suite on a runtime folder of its own, whose monitor is
// recorded with parec. Its own executable, because the process's one engine
// keeps the SDL driver it starts with. Without pulseaudio (or where it cannot
// start) the tests say so and skip.
#include "SoundFixtures.h"
#include "sound/AudioEngine.h"
#include "sound/LoudnessGain.h"
#include "sound/LoudnessMeter.h"
#include "sound/Sound.h"
#include "sound/SoundNames.h"

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ebur128.h>
#include <iostream>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace gx;
using namespace gx::test;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;

// A program started in the background, known by the pid the shell wrote.
bool startInBackground(const QString& command, const QString& pidFile)
{
    return runShell(command + " & echo $! > " + shellQuoted(pidFile));
}

void endProgram(const QString& pidFile, const char* signal)
{
    const QString pid = "$(cat " + shellQuoted(pidFile) + ")";
    runShell(QString("kill -") + signal + " " + pid);
    waitUntil([&] { return !runShell("kill -0 " + pid); }, 10000);
}

// The private server and what its sink plays.
class PulseServer {
public:
    ~PulseServer() { kill(); }
    // Starts the server and a recorder of its sink's monitor, which runs as
    // long as the server. The first client to play after the recorder comes
    // is held for about 1.3 s (pacat too), so a tenth of a second of silence
    // goes first, on a socket of its own; the server then appears at the
    // player's address at once, by a rename. Without that warm-up the
    // player's new stream is the one held, as after a real restart.
    bool start(bool warmUp = true)
    {
        const QString d = dir_.path(), q = shellQuoted(d), next = d + "/native.next";
        const QString env = "XDG_RUNTIME_DIR=" + q + " PULSE_RUNTIME_PATH=" + q + " HOME=" + q;
        const QString at = "PULSE_SERVER=" + shellQuoted("unix:" + next) + " ";
        startInBackground(env + " pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes"
                + " -L " + shellQuoted("module-native-protocol-unix auth-anonymous=1 socket=" + next)
                + " -L 'module-null-sink sink_name=gxnull rate=44100' > " + shellQuoted(d + "/server.log") + " 2>&1",
            d + "/server.pid");
        // Should this process die first, the server (and so the recorder)
        // goes a second later.
        runShell(QString("(while kill -0 %1; do sleep 1; done; kill -9 $(cat %2)) &")
                     .arg(::getpid())
                     .arg(shellQuoted(d + "/server.pid")));
        return waitUntil([&] { return runShell(at + "pactl info"); }, 15000)
            && startInBackground(at + "parec -d gxnull.monitor --raw --format=float32le --rate=44100 --channels=1"
                    + " --latency-msec=20 >> " + shellQuoted(recording()),
                d + "/parec.pid")
            && waitUntil([&] { return runShell(at + "pactl list short source-outputs | grep -q ."); }, 15000)
            && (!warmUp
                || runShell("head -c 8820 /dev/zero | " + at + "pacat --raw --format=s16le --channels=1 --rate=44100"))
            && std::rename(QFile::encodeName(next).constData(), QFile::encodeName(d + "/native").constData()) == 0;
    }
    void kill()
    {
        endProgram(dir_.path() + "/server.pid", "KILL");
        endProgram(dir_.path() + "/parec.pid", "TERM");
    }
    QString address() const { return "unix:" + dir_.path() + "/native"; }

    // What the sink played (both channels mixed) since startRecording().
    void startRecording() { from_ = QFileInfo(recording()).size() / 4 * 4; }
    std::vector<float> recorded() const
    {
        QFile file(recording());
        const QByteArray raw = file.open(QIODevice::ReadOnly) && file.seek(from_) ? file.readAll() : QByteArray();
        const auto* samples = reinterpret_cast<const float*>(raw.constData());
        return {samples, samples + raw.size() / 4};
    }

private:
    QString recording() const { return dir_.path() + "/monitor.raw"; }
    QTemporaryDir dir_;
    qsizetype from_ = 0;
};

bool loud(float s)
{
    return std::abs(s) > 0.05f;
}

// From the first loud sample to the last.
std::vector<float> soundingPart(const std::vector<float>& all)
{
    const auto first = std::find_if(all.begin(), all.end(), loud);
    const auto last = std::find_if(all.rbegin(), all.rend(), loud).base();
    return first < last ? std::vector<float>(first, last) : std::vector<float> {};
}

// The longest stretch without a gap of 10 ms.
std::vector<float> longestUnbroken(const std::vector<float>& s)
{
    size_t bestFrom = 0, bestTo = 0, from = 0;
    int quiet = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        quiet = std::abs(s[i]) < 0.02f ? quiet + 1 : 0;
        if (quiet > kRate / 100)
            from = i + 1;
        else if (i + 1 - from > bestTo - bestFrom)
            std::tie(bestFrom, bestTo) = std::pair(from, i + 1);
    }
    return {s.begin() + static_cast<std::ptrdiff_t>(bestFrom), s.begin() + static_cast<std::ptrdiff_t>(bestTo)};
}

// Integrated loudness (LUFS) of a mono recording.
double integratedLoudness(const std::vector<float>& mono)
{
    ebur128_state* state = ebur128_init(1, kRate, EBUR128_MODE_I);
    double lufs = -HUGE_VAL;
    ebur128_add_frames_float(state, mono.data(), mono.size());
    ebur128_loudness_global(state, &lufs);
    ebur128_destroy(&state);
    return lufs;
}

class RealServer : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = new PulseServer;
        qputenv("PULSE_SERVER", server->address().toUtf8());
        qputenv("SDL_AUDIODRIVER", "pulseaudio");
        if (!runShell("command -v pulseaudio && command -v parec") || !server->start())
            return;
        running = AudioEngine::shared().hasDevice();
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override
    {
        if (!running)
            GTEST_SKIP() << "no private PulseAudio server could be started (is pulseaudio installed?)";
    }
    static std::string sine() { return fixture(format("Wav"), "sine1000", toneSignal(20.0, 1000.0)); }

    static inline PulseServer* server = nullptr;
    static inline bool running = false;
};

} // namespace

TEST_F(RealServer, TheSineArrivesAtItsPitchWithoutAGap)
{
    for (const auto& [name, rate, busyCores, hertz] : {std::tuple {"dial 1.0", 1.0f, 0, 1000.0},
             {"dial 1.0, both cores busy", 1.0f, 2, 1000.0}, {"dial 0.5", 0.5f, 0, 500.0}}) {
        SCOPED_TRACE(name);
        auto music = gx::Sound::open(sine());
        music->setVolume(1.0f);
        music->setRate(rate);
        std::vector<std::jthread> busy; // spin until the case ends
        for (int i = 0; i < busyCores; ++i)
            busy.emplace_back([](const std::stop_token& stop) {
                while (!stop.stop_requested()) { }
            });
        server->startRecording();
        music->play();
        // Waits on what the sink played, whatever the delays on the way.
        std::vector<float> heard;
        ASSERT_TRUE(waitUntil([&] { return (heard = soundingPart(server->recorded())).size() > kRate; }, 30000));
        music->stop();
        EXPECT_NEAR(frequency(heard, kRate), hertz, 0.5);
        EXPECT_EQ(longestUnbroken(heard).size(), heard.size()); // no gap of 10 ms
    }
}

TEST_F(RealServer, TheStopSoundIsHeard)
{
    auto stopSound = gx::Sound::openResource(sounds::stop);
    server->startRecording();
    stopSound->play();
    // Waits on what the sink played, whatever its latency.
    EXPECT_TRUE(waitUntil([&] { return soundingPart(server->recorded()).size() > size_t {kRate / 10}; }, 30000));
}

// The server restarts under a playing song (an update, a crash): the song's
// clock runs on with the wall clock, silently and through the new stream's
// start, and the sound comes back from where it stands.
TEST_F(RealServer, AfterTheServerRestartsTheSineIsHeardAgainAndThePositionDoesNotJump)
{
    auto music = gx::Sound::open(sine());
    music->setVolume(1.0f);
    music->play();
    ASSERT_TRUE(waitUntil([&] { return music->positionSeconds() > 0.5f; }, 30000));

    // Each step of the position against the time that passed.
    float lastPosition = music->positionSeconds();
    auto lastTime = std::chrono::steady_clock::now();
    double worstLead = -1.0;
    // How far the song runs behind the wall clock since the kill.
    const auto [killedAt, killTime] = std::pair(lastPosition, lastTime);
    double worstBehind = 0.0;
    const auto seconds = [](auto duration) { return std::chrono::duration<double>(duration).count(); };
    const auto watch = [&] {
        const float now = music->positionSeconds();
        const auto at = std::chrono::steady_clock::now();
        worstBehind = std::max(worstBehind, seconds(at - killTime) - static_cast<double>(now - killedAt));
        worstLead = std::max(worstLead, static_cast<double>(now - lastPosition) - seconds(at - lastTime));
        EXPECT_GE(now, lastPosition);
        lastPosition = now;
        lastTime = at;
    };
    std::atomic<int> toldNoOutput {0};
    AudioEngine::shared().whenNoOutput([&] { ++toldNoOutput; });
    server->kill();
    ASSERT_TRUE(waitUntil([&] { return watch(), !AudioEngine::shared().hasDevice(); }, 30000));
    const float lostAt = music->positionSeconds();
    EXPECT_TRUE(waitUntil([&] { return watch(), music->positionSeconds() > lostAt + 0.5f; }, 30000))
        << "the song's clock stopped with the server";
    // A try to open the output fails while the server is away, and is told.
    EXPECT_TRUE(waitUntil([&] { return watch(), toldNoOutput.load() > 0; }, 30000));

    ASSERT_TRUE(server->start(false));
    const auto back = std::chrono::steady_clock::now();
    server->startRecording();
    const auto heardFor = [&](long samples) {
        return waitUntil(
            [&] {
                watch();
                const std::vector<float> r = server->recorded();
                return std::count_if(r.begin(), r.end(), loud) > samples;
            },
            30000);
    };
    ASSERT_TRUE(heardFor(kRate / 100));
    const double after = seconds(std::chrono::steady_clock::now() - back);
    RecordProperty("secondsUntilHeardAgain", std::to_string(after));
    std::cout << "heard again " << after << " s after the server was back\n";
    ASSERT_TRUE(heardFor(kRate));
    // At its own pitch, not hurried through queued sound (a sink that runs
    // dry a moment as the device starts again is not the point here).
    EXPECT_NEAR(frequency(longestUnbroken(soundingPart(server->recorded())), kRate), 1000.0, 0.5);
    EXPECT_LT(worstLead, 0.15) << "the position jumped ahead of the time";
    EXPECT_LT(worstBehind, 0.2) << "the song fell behind the wall clock";
    AudioEngine::shared().whenNoOutput({});
    EXPECT_EQ(toldNoOutput.load(), 1) << "told once, however many tries failed";
    EXPECT_TRUE(AudioEngine::shared().hasDevice());
}

// Two untagged songs, one 20 dB louder than the other. Each starts at unity,
// is measured while it plays and glides to its gain: levelled (Track) they
// reach the sink within 1 LU of each other; left alone (Off), 20 LU apart.
TEST_F(RealServer, TrackModeBringsTwoSongs20DbApartToOneLoudness)
{
    const Signal loud = toneSignal(8.0, 440.0);
    Signal quiet = loud;
    std::ranges::for_each(quiet.samples, [](std::int16_t& s) { s = static_cast<std::int16_t>(s / 10); });
    std::vector<double> heard; // track loud, track quiet, off loud, off quiet
    for (const LoudnessMode mode : {LoudnessMode::track, LoudnessMode::off})
        for (const auto& [name, signal] : {std::pair {"level-loud", loud}, std::pair {"level-quiet", quiet}}) {
            const std::string song = fixture(format("Wav"), name, signal);
            auto music = gx::Sound::open(song);
            music->setVolume(1.0f);
            music->play();
            music->setLoudnessGain(loudnessGain(mode, LoudnessMeter::find(song, std::atomic<bool> {false}).value()));
            QThread::msleep(700); // the glide, and the sink's latency
            server->startRecording();
            std::vector<float> recorded;
            ASSERT_TRUE(
                waitUntil([&] { return (recorded = server->recorded()).size() > size_t {kRate * 3 / 2}; }, 30000));
            heard.push_back(integratedLoudness(recorded));
        }
    ASSERT_EQ(heard.size(), 4u);
    EXPECT_NEAR(heard[0], heard[1], 1.0);
    EXPECT_NEAR(heard[2] - heard[3], 20.0, 1.0);
}
