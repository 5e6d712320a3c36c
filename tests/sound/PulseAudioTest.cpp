// The audio engine on a real sound server: a private PulseAudio with a null
// sink, started by the suite on a runtime folder of its own, whose monitor is
// recorded with parec. Its own executable, because the process's one engine
// keeps the SDL driver it starts with. Without pulseaudio (or where it cannot
// start) the tests say so and skip.
#include "SoundFixtures.h"
#include "sound/AudioEngine.h"
#include "sound/GXQTMusic.h"
#include "sound/SoundNames.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <iostream>
#include <thread>

using namespace gx;
using namespace gx::test;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;

QString quoted(const QString& s)
{
    return shellQuoted(s);
}

// A program started in the background, known by the pid the shell wrote.
bool startInBackground(const QString& command, const QString& pidFile)
{
    return runShell(command + " & echo $! > " + quoted(pidFile));
}

bool stillRuns(const QString& pidFile)
{
    return runShell("kill -0 $(cat " + quoted(pidFile) + ")");
}

void endProgram(const QString& pidFile, const char* signal)
{
    runShell(QString("kill -%1 $(cat %2)").arg(signal, quoted(pidFile)));
    waitUntil([&] { return !stillRuns(pidFile); }, 10000);
}

// The private server and what its sink plays.
class PulseServer {
public:
    // Starts the server and a recorder of its sink's monitor. The recorder
    // runs as long as the server: a client asking for 20 ms keeps the null
    // sink waking as a sound card would, where alone it sleeps up to 2 s.
    bool start()
    {
        const QString d = dir_.path();
        const QString env = "XDG_RUNTIME_DIR=" + quoted(d) + " PULSE_RUNTIME_PATH=" + quoted(d) + " HOME=" + quoted(d);
        startInBackground(env + " pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes"
                + " -L " + quoted("module-native-protocol-unix auth-anonymous=1 socket=" + d + "/native")
                + " -L 'module-null-sink sink_name=gxnull rate=44100' > " + quoted(d + "/server.log") + " 2>&1",
            d + "/server.pid");
        return waitUntil([] { return runShell("pactl info"); }, 15000)
            && startInBackground("parec -d gxnull.monitor --raw --format=float32le --rate=44100 --channels=2"
                                 " --latency-msec=20 >> "
                    + quoted(recording()),
                d + "/parec.pid")
            && waitUntil([] { return runShell("pactl list short source-outputs | grep -q ."); }, 15000);
    }
    void kill()
    {
        endProgram(dir_.path() + "/server.pid", "KILL");
        endProgram(dir_.path() + "/parec.pid", "TERM");
    }
    QString address() const { return "unix:" + dir_.path() + "/native"; }

    // What the sink played (left channel) since startRecording().
    void startRecording() { from_ = QFileInfo(recording()).size() / 8 * 8; }
    std::vector<float> recorded() const
    {
        QFile file(recording());
        if (!file.open(QIODevice::ReadOnly) || !file.seek(from_))
            return {};
        const QByteArray raw = file.readAll();
        std::vector<float> left(static_cast<size_t>(raw.size() / 8));
        for (size_t i = 0; i < left.size(); ++i)
            std::memcpy(&left[i], raw.constData() + 8 * i, sizeof(float));
        return left;
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

// Rising zero crossings, placed between samples, over the whole stretch.
double frequency(const std::vector<float>& s)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (size_t i = 1; i < s.size(); ++i)
        if (s[i - 1] < 0.0f && s[i] >= 0.0f) {
            const double at = static_cast<double>(i - 1) + s[i - 1] / (s[i - 1] - s[i]);
            (first < 0.0 ? first : last) = at;
            ++crossings;
        }
    return crossings > 2 ? (crossings - 1) * kRate / (last - first) : 0.0;
}

// The longest run of near-silence, in samples.
int longestGap(const std::vector<float>& s)
{
    int longest = 0, run = 0;
    for (const float x : s) {
        run = std::abs(x) < 0.02f ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

class BusyCores {
public:
    explicit BusyCores(int count)
    {
        for (int i = 0; i < count; ++i)
            threads_.emplace_back([this] {
                while (!stop_.load(std::memory_order_relaxed)) { }
            });
    }
    ~BusyCores()
    {
        stop_ = true;
        for (std::thread& t : threads_)
            t.join();
    }

private:
    std::atomic<bool> stop_ {false};
    std::vector<std::thread> threads_;
};

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
    struct Case {
        const char* name;
        float rate;
        int busyCores;
        double hertz;
    };
    for (const Case& c : {Case {"dial 1.0", 1.0f, 0, 1000.0}, Case {"dial 1.0, both cores busy", 1.0f, 2, 1000.0},
             Case {"dial 0.5", 0.5f, 0, 500.0}}) {
        SCOPED_TRACE(c.name);
        auto music = GXQTMusic::initWithFilePath(sine());
        music->setVolume(1.0f);
        music->setMovieRate(c.rate);
        const BusyCores busy(c.busyCores);
        server->startRecording();
        music->play();
        ASSERT_TRUE(waitUntil([&] { return music->movieCrntSecond() > 1.2f * c.rate; }, 30000));
        const std::vector<float> heard = soundingPart(server->recorded());
        music->stop();
        ASSERT_GT(heard.size(), size_t {kRate / 2});
        EXPECT_NEAR(frequency(heard), c.hertz, 0.5);
        EXPECT_LE(longestGap(heard), kRate / 100); // 10 ms
    }
}

TEST_F(RealServer, TheStopSoundIsHeard)
{
    auto stopSound = GXQTMusic::initWithResourceFile(sounds::stop);
    ASSERT_TRUE(stopSound->hasMovie());
    server->startRecording();
    stopSound->play();
    ASSERT_TRUE(waitUntil([&] { return !stopSound->isPlaying(); }, 30000));
    QThread::msleep(300); // the sink's own latency
    const std::vector<float> heard = soundingPart(server->recorded());
    EXPECT_GT(heard.size(), size_t {kRate / 10});
}

// The server restarts under a playing song (an update, a crash): the song's
// clock runs on silently and the sound comes back from where it stands.
TEST_F(RealServer, AfterTheServerRestartsTheSineIsHeardAgainAndThePositionDoesNotJump)
{
    auto music = GXQTMusic::initWithFilePath(sine());
    music->setVolume(1.0f);
    music->play();
    ASSERT_TRUE(waitUntil([&] { return music->movieCrntSecond() > 0.5f; }, 30000));

    // Each step of the position against the time that passed.
    float lastPosition = music->movieCrntSecond();
    auto lastTime = std::chrono::steady_clock::now();
    double worstLead = -1.0;
    const auto watch = [&] {
        const float now = music->movieCrntSecond();
        const auto at = std::chrono::steady_clock::now();
        worstLead = std::max(
            worstLead, static_cast<double>(now - lastPosition) - std::chrono::duration<double>(at - lastTime).count());
        EXPECT_GE(now, lastPosition);
        lastPosition = now;
        lastTime = at;
    };
    server->kill();
    ASSERT_TRUE(waitUntil([&] { return watch(), !AudioEngine::shared().hasDevice(); }, 30000));
    const float lostAt = music->movieCrntSecond();
    EXPECT_TRUE(waitUntil([&] { return watch(), music->movieCrntSecond() > lostAt + 0.5f; }, 30000))
        << "the song's clock stopped with the server";

    ASSERT_TRUE(server->start());
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
    const double after = std::chrono::duration<double>(std::chrono::steady_clock::now() - back).count();
    RecordProperty("secondsUntilHeardAgain", std::to_string(after));
    std::cout << "heard again " << after << " s after the server was back\n";
    ASSERT_TRUE(heardFor(kRate));
    const std::vector<float> heard = soundingPart(server->recorded());
    EXPECT_NEAR(frequency(heard), 1000.0, 0.5);
    EXPECT_LE(longestGap(heard), kRate / 100);
    EXPECT_LT(worstLead, 0.15) << "the position jumped ahead of the time";
    EXPECT_TRUE(AudioEngine::shared().hasDevice());
}
