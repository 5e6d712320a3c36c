#include "support/TestSupport.h"

#include <QProcess>
#include <QUrl>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace gx::test {

Signal toneSignal(double seconds, double frequency, int sampleRate, int channels)
{
    Signal s {sampleRate, channels, {}};
    for (std::int64_t i = 0; i < std::llround(seconds * sampleRate); ++i)
        for (int c = 0; c < channels; ++c)
            s.samples.push_back(static_cast<std::int16_t>(std::lround(
                12000.0 * std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / sampleRate + c * 0.5))));
    return s;
}

bool writeWav(const std::string& path, const Signal& signal)
{
    // The canonical 44-byte header; this machine is little-endian, as WAV is.
    const auto dataBytes = static_cast<std::uint32_t>(signal.samples.size() * 2);
    const auto rate = static_cast<std::uint32_t>(signal.sampleRate),
               channels = static_cast<std::uint32_t>(signal.channels);
    const std::uint32_t header[11]
        = {0x46464952 /* RIFF */, 36 + dataBytes, 0x45564157 /* WAVE */, 0x20746d66 /* fmt */, 16, 1 | channels << 16,
            rate, rate * channels * 2, channels * 2 | 16 << 16, 0x61746164 /* data */, dataBytes};
    static std::atomic<int> counter {0};
    const std::string temp = path + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary);
        file.write(reinterpret_cast<const char*>(header), sizeof header);
        if (!file.write(reinterpret_cast<const char*>(signal.samples.data()), dataBytes))
            return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

QString writeToneWav(const QString& path, double seconds)
{
    return writeWav(path.toStdString(), toneSignal(seconds, 440.0)) ? path : QString();
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool runShell(const QString& command)
{
    return std::system(("(" + command + ") >/dev/null 2>&1").toLocal8Bit().constData()) == 0;
}

Outcome runProgram(const QString& program, const QStringList& arguments, const RunOptions& options)
{
    QProcess p;
    p.setProcessEnvironment(options.env);
    p.setWorkingDirectory(options.workingDir);
    if (options.mergeOutput)
        p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    const bool ended = waitUntil([&] { return p.state() == QProcess::NotRunning; }, options.timeoutMs);
    if (!ended || p.error() == QProcess::FailedToStart || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        p.waitForFinished();
        const QString why = program + " did not run to its end (is its package installed?)";
        return {-1, why, why};
    }
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

bool haveFfmpeg()
{
    static const bool have = runShell("ffmpeg -hide_banner -version");
    return have;
}

QString encode(const QString& arguments, const QString& out)
{
    return runShell("ffmpeg -nostdin -v error -y " + arguments + " " + shellQuoted(out)) ? out : QString();
}

namespace {

const char* watchdogMessage = "";

void watchdogFired(int)
{
    [[maybe_unused]] auto n = ::write(2, watchdogMessage, std::strlen(watchdogMessage));
    ::_exit(3);
}

} // namespace

Watchdog::Watchdog(unsigned seconds, const char* message)
{
    watchdogMessage = message;
    std::signal(SIGALRM, watchdogFired);
    ::alarm(seconds);
}

Watchdog::~Watchdog()
{
    ::alarm(0);
}

QStringList readListInAnotherProcess(const QString& settingsFile, const QString& key, bool* ok)
{
    *ok = false;
    QTemporaryDir dir;
    const QString out = dir.filePath("list.txt");
    const QString probe = QCoreApplication::applicationDirPath() + "/gx_defaults_probe";
    if (!runShell(
            shellQuoted(probe) + " " + shellQuoted(settingsFile) + " " + shellQuoted(key) + " > " + shellQuoted(out)))
        return {};
    QList<QByteArray> lines = readFile(out).split('\n');
    lines.removeLast(); // after the last newline
    *ok = !lines.isEmpty() && lines.takeFirst() == "ok=1";
    QStringList list;
    for (const QByteArray& line : lines)
        list << QUrl::fromPercentEncoding(line);
    return list;
}

double meanDifference(const QImage& a, const QImage& b, QRect area)
{
    const QRect r = area.isNull() ? a.rect() : area;
    double sum = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * r.width() * r.height());
}

QString shellQuoted(const QString& argument)
{
    QString quoted = argument;
    quoted.replace("'", "'\\''");
    return "'" + quoted + "'";
}

} // namespace gx::test
