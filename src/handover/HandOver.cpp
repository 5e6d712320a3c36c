#include "handover/HandOver.h"

#include "handover/HandOverExpander.h"
#include "platform/HandedPath.h"
#include "platform/Logging.h"
#include "platform/StringTable.h"
#include "sound/Sound.h"

#include <chrono>
#include <utility>

using namespace std::chrono_literals;

namespace gx {

namespace {

// The worker passes songs on in batches rather than one event each: at most
// this many, and at least this often while a slow disk is read.
constexpr qsizetype kBatchSongs = 1000;
constexpr auto kBatchInterval = 100ms;

} // namespace

HandOver::HandOver(Receiver receiver, int maxSongs, QObject* parent)
    : QObject(parent)
    , receiver_(std::move(receiver))
    , maxSongs_(maxSongs)
    , extensions_(playableExtensions())
{
}

HandOver::~HandOver()
{
    stopping_ = true;
    loop_.requestStop();
    loop_.join();
}

QStringList HandOver::playableExtensions()
{
    QStringList extensions {"flac", "ogg", "oga", "opus"};
    for (const std::string& type : Sound::acceptedTypes()) {
        const QString ext = QString::fromStdString(type).toLower();
        if (!extensions.contains(ext))
            extensions << ext;
    }
    return extensions;
}

int HandOver::defaultMaxSongs()
{
    return HandOverExpander::kMaxSongs;
}

QString HandOver::noticeText(const HandOverReport& report, int maxSongs)
{
    QStringList lines;
    for (const auto& [name, count] : report.missing)
        lines << (count == 1 ? localizedString("1 song of “%1” is missing").arg(name)
                             : localizedString("%1 songs of “%2” are missing").arg(count).arg(name));
    for (const QString& name : report.empty)
        lines << localizedString("No songs to play in “%1”").arg(name);
    if (report.capped)
        lines << localizedString("Only the first %1 songs were taken; the rest were left out").arg(maxSongs);
    return lines.join(u'\n');
}

void HandOver::open(const QStringList& handed)
{
    // "Album/" is the folder "Album", and a song's name never ends empty; a
    // name no file can have is not passed on.
    QStringList paths;
    for (const QString& path : handed)
        if (const QString clean = handedPath(path); !clean.isEmpty())
            paths << clean;
    if (jobsUnderWay_ == 0)
        runStarted_ = false;
    // While nothing is being listed, plain files at the front go on at once,
    // as they always did: the song named first may be playing already.
    qsizetype plain = 0;
    if (jobsUnderWay_ == 0)
        while (plain < paths.size() && plain < maxSongs_ && !HandOverExpander::isCollection(paths[plain]))
            ++plain;
    pass(paths.first(plain));
    if (plain == paths.size())
        return;

    ++jobsUnderWay_;
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({paths.sliced(plain), maxSongs_ - static_cast<int>(plain)});
    }
    if (!loop_.startOrWake([this] { return tick(); })) {
        // No thread to be had (logged): the loop never ran, so this hand-over
        // is the only one waiting, and it is dropped.
        --jobsUnderWay_;
        std::lock_guard lock(mutex_);
        jobs_.clear();
    }
}

void HandOver::pass(QStringList songs)
{
    if (songs.isEmpty())
        return;
    if (!runStarted_) {
        runStarted_ = true;
        receiver_.open(songs.takeFirst());
    }
    if (!songs.isEmpty())
        receiver_.queue(songs);
}

void HandOver::finishJob(const HandOverReport& report, int maxSongs)
{
    --jobsUnderWay_;
    const QString notice = noticeText(report, maxSongs);
    if (!notice.isEmpty())
        receiver_.tell(notice);
}

// Runs on the loop: one hand-over a tick, then sleeps until the next.
TickLoop::Next HandOver::tick()
{
    Job job;
    {
        std::lock_guard lock(mutex_);
        if (jobs_.empty())
            return TickLoop::Next::whenWoken();
        job = std::move(jobs_.front());
        jobs_.pop_front();
    }
    runJob(job);
    return TickLoop::Next::after({});
}

// Runs on the loop.
void HandOver::runJob(const Job& job)
{
    const auto post = [this](QStringList songs) {
        QMetaObject::invokeMethod(
            this, [this, songs = std::move(songs)]() mutable { pass(std::move(songs)); }, Qt::QueuedConnection);
    };
    QStringList batch;
    int listed = 0;
    bool firstPosted = false;
    auto lastPost = std::chrono::steady_clock::now();
    HandOverExpander expander(extensions_, job.maxSongs, [this] { return stopping_.load(); });
    const HandOverReport report = expander.expand(job.paths, [&](const QString& song) {
        batch << song;
        ++listed;
        const auto now = std::chrono::steady_clock::now();
        // The first song goes alone: it plays while the rest is listed.
        if (!firstPosted || batch.size() >= kBatchSongs || now - lastPost >= kBatchInterval) {
            post(std::exchange(batch, {}));
            firstPosted = true;
            lastPost = now;
        }
    });
    post(batch);
    qCDebug(logHandOver) << "Listed" << listed << "songs from" << job.paths.size() << "paths handed over";
    QMetaObject::invokeMethod(
        this, [this, report, maxSongs = maxSongs_] { finishJob(report, maxSongs); }, Qt::QueuedConnection);
}

} // namespace gx
