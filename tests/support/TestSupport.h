#pragma once
// Small helpers shared by the tests: audio files they make themselves,
// programs they start, images they compare, waiting on the event loop. It
// brings the test framework and the file and folder types every suite uses.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace gx::test {

// A generated signal as 16-bit frames.
struct Signal {
    int sampleRate = 44100;
    int channels = 2;
    std::vector<std::int16_t> samples; // interleaved
    std::int64_t frames() const { return static_cast<std::int64_t>(samples.size()) / channels; }
};

// A sine tone (left and right a little apart, so channel mix-ups show).
Signal toneSignal(double seconds, double frequency, int sampleRate = 44100, int channels = 2);

// Writes the signal as a 16-bit PCM WAV under a temporary name and renames
// it, so test processes running side by side may share the file.
bool writeWav(const std::string& path, const Signal& signal);
// A 440 Hz tone as a WAV; answers the path, or an empty string.
QString writeToneWav(const QString& path, double seconds);

// Writes the bytes to a file; answers its path, or an empty string when it
// could not.
QString writeFile(const QString& path, const QByteArray& bytes);
// The whole of a file, or nothing when it cannot be read.
QByteArray readFile(const QString& path);

// A fresh empty folder for the files a test makes and breaks itself.
struct ScratchDir : QTemporaryDir {
    // A 440 Hz tone of that name in it, as a WAV; its path, or an empty string.
    QString tone(const QString& name, double seconds = 0.3) const { return writeToneWav(filePath(name), seconds); }
    std::string file(const std::string& name) const { return filePath(QString::fromStdString(name)).toStdString(); }
};

// Runs a shell command with its output thrown away and waits for it;
// answers whether it exited with 0. Tests start programs this way rather than
// with QProcess, after whose way of starting children ThreadSanitizer loses
// track of the test's own threads.
bool runShell(const QString& command);
// The argument quoted for the shell, whatever it holds.
QString shellQuoted(const QString& argument);

// What a program run to its end did; exitCode is -1 where it did not run,
// crashed or ran out of time, and err then says so.
struct Outcome {
    int exitCode = -1;
    QString out; // with mergeOutput, standard output and error together
    QString err;
};
struct RunOptions {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString workingDir {};
    bool mergeOutput = false;
    int timeoutMs = 60000;
};
// Runs a program while the event loop goes on, so the test's own objects can
// answer it (a player it hands files to, a bus it calls back over). Not for
// suites run under ThreadSanitizer (see runShell).
Outcome runProgram(const QString& program, const QStringList& arguments, const RunOptions& options = {});

// Whether the ffmpeg command-line tool runs here.
bool haveFfmpeg();
// Runs ffmpeg quietly with `arguments` (its inputs and options) to write
// `out`; answers `out`, or an empty string where ffmpeg is missing or fails.
QString encode(const QString& arguments, const QString& out);

// A hang is a failure: while a watchdog lives, the whole test process ends
// with `message` and exit status 3 once `seconds` have passed. One at a time.
class Watchdog {
public:
    Watchdog(unsigned seconds, const char* message);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
};

// Reads a list from a settings file in another process, as the next start
// would (this process may be answered from Qt's cache); ok tells whether the
// key held a list. Uses gx_defaults_probe beside the test executable.
QStringList readListInAnotherProcess(const QString& settingsFile, const QString& key, bool* ok);

// Mean difference per colour channel (0 to 255) of two same-sized images
// over a rectangle of them, or over all of them.
double meanDifference(const QImage& a, const QImage& b, QRect area = {});

// Runs the event loop until pred() holds or the time runs out; answers pred().
template <typename Pred> bool waitUntil(Pred pred, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs)
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

} // namespace gx::test

#define GX_SKIP_WITHOUT_FFMPEG()                                                                                       \
    if (!gx::test::haveFfmpeg())                                                                                       \
    GTEST_SKIP() << "ffmpeg is not installed"
