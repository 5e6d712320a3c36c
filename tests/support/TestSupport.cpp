#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QtEndian>
#include <cmath>
#include <cstdlib>

namespace gx::test {

QString writeToneWav(const QString& path, double seconds, int sampleRate, int channels, double frequency)
{
    const auto frames = static_cast<quint32>(seconds * sampleRate);
    const quint32 dataBytes = frames * static_cast<quint32>(channels) * 2;
    QByteArray out;
    auto put32 = [&](quint32 v) { out.append(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 4); };
    auto put16 = [&](quint16 v) { out.append(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 2); };
    out.append("RIFF");
    put32(36 + dataBytes);
    out.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(static_cast<quint16>(channels));
    put32(static_cast<quint32>(sampleRate));
    put32(static_cast<quint32>(sampleRate * channels * 2));
    put16(static_cast<quint16>(channels * 2));
    put16(16);
    out.append("data");
    put32(dataBytes);
    for (quint32 i = 0; i < frames; ++i) {
        const auto s = static_cast<qint16>(std::lround(12000.0 * std::sin(2.0 * M_PI * frequency * i / sampleRate)));
        for (int c = 0; c < channels; ++c)
            put16(static_cast<quint16>(s));
    }
    return writeFile(path, out);
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
