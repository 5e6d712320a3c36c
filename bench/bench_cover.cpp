// The song's cover on the label: reading it from the song's tags and
// preparing it from a 3000 x 3000 JPEG (on the cover reader's thread, once per
// song), refusing a picture too large or cut short, and the paint cost of the
// turning label with the cover against our own (they should stay within 10 %
// of each other).
//
// Uses the artwork in the resource folder; the song with the cover is made
// with the ffmpeg tool from a picture drawn here.
#include "platform/Resources.h"
#include "sound/Decoder.h"
#include "turntable/TurntableModel.h"
#include "view/CoverLabel.h"
#include "view/RecordLabel.h"
#include "view/TurntableView.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// A busy 3000 x 3000 picture, so that the JPEG is as dear to decode as a
// real cover of that size.
QByteArray bigCoverJpeg()
{
    static const QByteArray bytes = [] {
        QImage image(3000, 3000, QImage::Format_RGB32);
        QPainter p(&image);
        QLinearGradient sky(0, 0, 3000, 3000);
        sky.setColorAt(0.0, QColor(30, 60, 160));
        sky.setColorAt(1.0, QColor(240, 140, 40));
        p.fillRect(image.rect(), sky);
        p.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 400; ++i) {
            QRadialGradient spot((i * 7919) % 3000, (i * 104729) % 3000, 40 + i % 160);
            spot.setColorAt(0.0, QColor::fromHsv((i * 37) % 360, 200, 240));
            spot.setColorAt(1.0, Qt::transparent);
            p.setBrush(spot);
            p.setPen(Qt::NoPen);
            p.drawEllipse(spot.center(), spot.radius(), spot.radius());
        }
        p.end();
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 90);
        return out;
    }();
    return bytes;
}

QImage disc(qreal scale)
{
    QImage image(QString::fromStdString(gx::pathForResource(scale > 1.0 ? "disc@2x.tif" : "disc.tif")));
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    return image;
}

// The whole preparation the cover reader does once per song: decode the
// picture scaled, print it on the disc and on its turning label.
void BM_PrepareCoverLabel3000Jpeg(benchmark::State& state)
{
    const qreal scale = static_cast<qreal>(state.range(0));
    const QImage record = disc(scale);
    if (record.isNull()) {
        state.SkipWithError("no disc artwork");
        return;
    }
    const QImage label = gx::turntable::turningLabel(record, 39.0);
    const QByteArray jpeg = bigCoverJpeg();
    for (auto _ : state) {
        const gx::cover::CoveredRecord covered = gx::cover::coveredRecord(jpeg, record, label);
        if (covered.label.isNull())
            state.SkipWithError("the cover did not print");
        benchmark::DoNotOptimize(covered.label.constBits());
    }
    state.SetLabel(scale > 1.0 ? "@2x" : "1x");
}
BENCHMARK(BM_PrepareCoverLabel3000Jpeg)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

QByteArray pngChunk(const char* type, const QByteArray& data)
{
    const QByteArray typed = QByteArray(type) + data;
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : typed) {
        crc ^= static_cast<quint8>(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    QByteArray chunk;
    for (const quint32 v : {static_cast<quint32>(data.size()), crc}) {
        if (v == crc)
            chunk += typed;
        for (int shift : {24, 16, 8, 0})
            chunk += static_cast<char>((v >> shift) & 0xFF);
    }
    return chunk;
}

// A picture that must be refused: what it costs to find out.
void BM_RefuseBrokenPicture(benchmark::State& state)
{
    QByteArray bytes = bigCoverJpeg();
    if (state.range(0) == 0) {
        bytes = bytes.left(bytes.size() / 2);
        state.SetLabel("3000 x 3000 JPEG cut in half");
    } else {
        // A 10,000 x 10,000 PNG, its data left out: the size alone refuses it.
        bytes = QByteArray("\x89PNG\r\n\x1a\n", 8)
            + pngChunk("IHDR", QByteArray("\0\0\x27\x10\0\0\x27\x10\x08\x02\0\0\0", 13))
            + pngChunk("IDAT", QByteArray(1 << 20, '\0'));
        state.SetLabel("10,000 x 10,000 PNG");
    }
    for (auto _ : state) {
        const QImage picture = gx::cover::readPicture(bytes, 148);
        if (!picture.isNull())
            state.SkipWithError("the picture was not refused");
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_RefuseBrokenPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

std::unique_ptr<QTemporaryDir> scratch;

// A second of MP3 carrying the 3000 x 3000 JPEG as its cover; empty without
// the ffmpeg tool.
QString songWithCover()
{
    if (!scratch) {
        scratch = std::make_unique<QTemporaryDir>();
        QFile picture(scratch->filePath("cover.jpg"));
        if (!picture.open(QIODevice::WriteOnly) || picture.write(bigCoverJpeg()) != bigCoverJpeg().size())
            return {};
        picture.close();
        const QString command = "ffmpeg -nostdin -v error -y -f lavfi -i sine=duration=1 -i '" + picture.fileName()
            + "' -map 0:a -map 1:v -c:a libmp3lame -c:v copy -disposition:v attached_pic "
              "-id3v2_version 3 '"
            + scratch->filePath("song.mp3") + "' >/dev/null 2>&1";
        if (std::system(command.toLocal8Bit().constData()) != 0)
            return {};
    }
    return scratch->filePath("song.mp3");
}

// Reading the tags and the 3000 x 3000 cover of a song, once per song shown.
void BM_ReadTagsWithCover(benchmark::State& state)
{
    const QString song = songWithCover();
    if (song.isEmpty()) {
        state.SkipWithError("no song with a cover (is ffmpeg installed?)");
        return;
    }
    for (auto _ : state) {
        const auto tags = gx::Decoder::readTags(song.toStdString());
        if (!tags || tags->cover.empty())
            state.SkipWithError("the cover was not read");
        benchmark::DoNotOptimize(tags);
    }
}
BENCHMARK(BM_ReadTagsWithCover)->Unit(benchmark::kMicrosecond);

// One redraw of the square the turning label covers, the record fully shown
// and turning: with the song's cover on the label (1) or our own (0).
void BM_PaintTurningLabel(benchmark::State& state)
{
    const bool covered = state.range(0) != 0;
    const qreal scale = static_cast<qreal>(state.range(1));
    gx::TurntableModel model;
    gx::TurntableView view(model);
    view.loadImages(scale);
    if (covered) {
        const QString song = songWithCover();
        if (song.isEmpty()) {
            state.SkipWithError("no song with a cover (is ffmpeg installed?)");
            return;
        }
        view.showSong(song);
        QElapsedTimer waited;
        waited.start();
        while (!view.labelShowsCover() && waited.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
        if (!view.labelShowsCover()) {
            state.SkipWithError("the cover did not come");
            return;
        }
    }
    model.setDiskSpeed(0.37f);
    for (int i = 0; i < 120; ++i)
        model.spinOnce(); // fully faded in, at an odd angle
    QImage target(view.size() * scale, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(scale);
    target.fill(Qt::black);
    // The label's square about the record's centre (138, 144.5), y up.
    const QRect rect = view.widgetRectFromView({97.0f, 103.5f, 82.0f, 82.0f}).toAlignedRect();
    const QRegion region(rect);
    for (auto _ : state) {
        model.spinOnce();
        view.render(&target, rect.topLeft(), region, QWidget::DrawChildren);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(std::string(covered ? "covered" : "our") + " label, " + (scale > 1.0 ? "@2x" : "1x"));
}
BENCHMARK(BM_PaintTurningLabel)->Args({0, 1})->Args({1, 1})->Args({0, 2})->Args({1, 2})->Unit(benchmark::kMicrosecond);

} // namespace
