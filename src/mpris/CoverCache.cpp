#include "mpris/CoverCache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace gx {

CoverCache::CoverCache(const QString& folder, std::size_t maxFiles)
    : folder_(
        (folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/gramolux/covers"
                          : folder)
            .toStdString())
    , maxFiles_(maxFiles)
{
}

CoverCache::~CoverCache()
{
    loop_.requestStop();
    loop_.join();
}

void CoverCache::store(std::string bytes, std::string extension, Done done)
{
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({std::move(bytes), std::move(extension), std::move(done)});
    }
    if (!loop_.startOrWake([this] { return tick(); })) {
        // No thread to be had: the song goes without its cover's URL.
        std::lock_guard lock(mutex_);
        jobs_.clear();
    }
}

TickLoop::Next CoverCache::tick()
{
    std::optional<Job> job;
    {
        std::lock_guard lock(mutex_);
        if (jobs_.empty())
            return TickLoop::Next::whenWoken();
        job = std::move(jobs_.front());
        jobs_.pop_front();
    }
    const std::string path = keep(*job);
    job->done(path);
    return TickLoop::Next::period();
}

std::string CoverCache::keep(const Job& job)
{
    const QString folder = QString::fromStdString(folder_);
    QDir dir(folder);
    if (!order_) // oldest first, as the files' dates tell
        order_ = dir.entryList(QDir::Files, QDir::Time | QDir::Reversed);
    const QByteArray bytes = QByteArray::fromStdString(job.bytes);
    const QString name = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex() + "."
        + QString::fromStdString(job.extension);
    const QString path = dir.filePath(name);
    order_->removeAll(name);
    QFile kept(path);
    if (kept.exists()) {
        // Used again: the newest now, in this run and the next.
        if (kept.open(QIODevice::Append))
            kept.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
    } else {
        QSaveFile file(path);
        if (!dir.mkpath(".") || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            return {};
    }
    order_->append(name);
    while (static_cast<std::size_t>(order_->size()) > maxFiles_)
        QFile::remove(dir.filePath(order_->takeFirst()));
    return path.toStdString();
}

} // namespace gx
