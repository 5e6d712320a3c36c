// Listing an album folder handed over: a folder of 20,000 files (empty
// WAVs, with a few other files between them) made here once. The first song
// is what decides when the record starts; the whole listing how long the
// hand-over thread works. A hand-over takes at most 10,000 songs.
#include "handover/HandOver.h"
#include "handover/HandOverExpander.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kFiles = 20000;

const QString& bigFolder()
{
    static QTemporaryDir dir(QDir::tempPath() + "/gramolux-bench-album-XXXXXX");
    static const bool made = [] {
        for (int i = 1; i <= kFiles; ++i) {
            QFile song(dir.filePath(QStringLiteral("%1 Song.wav").arg(i)));
            if (!song.open(QIODevice::WriteOnly))
                return false;
            if (i % 100 == 0)
                (void)QFile(dir.filePath(QStringLiteral("notes %1.txt").arg(i))).open(QIODevice::WriteOnly);
        }
        return true;
    }();
    static const QString path = made ? dir.path() : QString();
    return path;
}

void listFolder(benchmark::State& state, int maxSongs)
{
    const QString folder = bigFolder();
    if (folder.isEmpty()) {
        state.SkipWithError("could not make the folder");
        return;
    }
    const QStringList extensions = gx::HandOver::playableExtensions();
    int songs = 0;
    for (auto _ : state) {
        songs = 0;
        gx::HandOverExpander expander(extensions, maxSongs);
        expander.expand({folder}, [&](const QString&) { ++songs; });
    }
    state.counters["songs"] = songs;
}

} // namespace

static void BM_AlbumFolder20000FirstSong(benchmark::State& state)
{
    listFolder(state, 1);
}
BENCHMARK(BM_AlbumFolder20000FirstSong)->Unit(benchmark::kMillisecond);

static void BM_AlbumFolder20000WholeHandOver(benchmark::State& state)
{
    listFolder(state, gx::HandOver::defaultMaxSongs());
}
BENCHMARK(BM_AlbumFolder20000WholeHandOver)->Unit(benchmark::kMillisecond);
