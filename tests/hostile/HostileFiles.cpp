#include "hostile/HostileFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <sys/stat.h>

namespace gx::test {

namespace {

QString writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return path;
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

QString encodeWithFfmpeg(const QString& wav, const QString& out, const QStringList& args)
{
    if (QStandardPaths::findExecutable("ffmpeg").isEmpty())
        return {};
    QString command = "ffmpeg -nostdin -loglevel error -y -i " + shellQuoted(wav);
    for (const QString& a : args)
        command += " " + shellQuoted(a);
    return runShell(command + " " + shellQuoted(out)) ? out : QString();
}

std::vector<HostileFile> makeHostileFiles(const QString& dir, const QString& good)
{
    std::vector<HostileFile> files;
    const auto add = [&](const QString& name, const QString& path) {
        if (!path.isEmpty())
            files.push_back({name, path});
    };
    const QDir d(dir);
    const QByteArray wav = readBytes(good);

    add("zero bytes", writeBytes(d.filePath("empty.mp3"), {}));
    add("truncated wav header", writeBytes(d.filePath("header.wav"), wav.left(30)));
    add("truncated wav data", writeBytes(d.filePath("cut.wav"), wav.left(wav.size() / 3 + 1)));
    QByteArray noise(64 * 1024, 0);
    QRandomGenerator rng(1234);
    for (char& c : noise)
        c = static_cast<char>(rng.bounded(256));
    add("random bytes named mp3", writeBytes(d.filePath("random.mp3"), noise));
    add("text named wav", writeBytes(d.filePath("notes.wav"), "These are my notes, not a song.\n"));

    QByteArray huge = wav;
    const quint32 claim = 0xFFFFFFF0u; // the header claims about 4 GB of samples
    std::memcpy(huge.data() + 4, &claim, 4);
    std::memcpy(huge.data() + 40, &claim, 4);
    add("wav claiming 4 GB", writeBytes(d.filePath("huge.wav"), huge));

    if (const QString mp3 = encodeWithFfmpeg(good, d.filePath("ok.mp3")); !mp3.isEmpty()) {
        const QByteArray m = readBytes(mp3);
        add("truncated mp3", writeBytes(d.filePath("cut.mp3"), m.left(m.size() / 2)));
        // An ID3v2 tag whose header claims 256 MB (synchsafe), then the song.
        QByteArray tag("ID3\x04\x00\x00\x7f\x7f\x7f\x7f", 10);
        add("mp3 with a huge ID3 tag", writeBytes(d.filePath("tagged.mp3"), tag + QByteArray(4096, 0) + m));
    }
    if (const QString m4a = encodeWithFfmpeg(good, d.filePath("ok.m4a"), {"-c:a", "aac"}); !m4a.isEmpty()) {
        const QByteArray m = readBytes(m4a);
        add("truncated m4a", writeBytes(d.filePath("cut.m4a"), m.left(m.size() / 2)));
    }

    d.mkpath("song.mp3");
    add("directory named song.mp3", d.filePath("song.mp3"));
    const QString locked = writeBytes(d.filePath("locked.wav"), wav);
    ::chmod(locked.toLocal8Bit().constData(), 0);
    add("file without read permission", locked);
    add("missing file", d.filePath("never-there.wav"));
    add("odd path", writeBytes(d.filePath(QString::fromUtf8("01 \"Qu'oted\" Ünï 曲\nline.wav")), wav));
    const QString fifo = d.filePath("pipe.wav");
    if (::mkfifo(fifo.toLocal8Bit().constData(), 0600) == 0)
        add("fifo named wav", fifo);
    return files;
}

} // namespace gx::test
