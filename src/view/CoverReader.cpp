#include "view/CoverReader.h"

#include "sound/Decoder.h"

#include <QStringList>
#include <string>
#include <system_error>
#include <vector>

namespace gx {

namespace {

QString joined(const std::vector<std::string>& names)
{
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list.join(QStringLiteral(", "));
}

} // namespace

CoverReader::CoverReader(std::function<void()> ready)
    : ready_(std::move(ready))
{
}

CoverReader::~CoverReader()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        pending_.reset();
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void CoverReader::request(std::uint64_t ticket, const QString& path, const QImage& disc, const QImage& label)
{
    {
        std::lock_guard lock(mutex_);
        pending_ = Request {ticket, path, disc, label};
        result_.reset();
    }
    wake_.notify_all();
    if (thread_.joinable())
        return;
    try {
        thread_ = std::thread(&CoverReader::run, this);
    } catch (const std::system_error&) {
        // No thread to be had: the record keeps our label and the window's
        // title names it.
        std::lock_guard lock(mutex_);
        pending_.reset();
    }
}

std::optional<CoverReader::Result> CoverReader::take()
{
    std::lock_guard lock(mutex_);
    std::optional<Result> result = std::move(result_);
    result_.reset();
    return result;
}

CoverReader::Result CoverReader::read(const Request& request)
{
    Result result;
    result.ticket = request.ticket;
    const std::optional<TrackTags> tags = Decoder::readTags(request.path.toStdString());
    if (!tags)
        return result;
    result.artist = joined(tags->artists);
    result.title = QString::fromStdString(tags->title);
    result.album = QString::fromStdString(tags->album);
    if (!tags->cover.empty())
        result.record = cover::coveredRecord(QByteArray::fromStdString(tags->cover), request.disc, request.label);
    return result;
}

void CoverReader::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
        if (stopping_)
            return;
        const Request request = std::move(*pending_);
        pending_.reset();
        lock.unlock();
        Result result = read(request);
        lock.lock();
        // A newer request makes this answer stale before anyone sees it.
        if (stopping_ || pending_)
            continue;
        result_ = std::move(result);
        ready_();
    }
}

} // namespace gx
