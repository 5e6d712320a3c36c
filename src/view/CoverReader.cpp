#include "view/CoverReader.h"

namespace gx {

CoverReader::CoverReader(std::function<void()> ready)
    : ready_(std::move(ready))
{
}

CoverReader::~CoverReader()
{
    {
        std::lock_guard lock(mutex_);
        pending_.reset();
    }
    loop_.requestStop();
    loop_.join();
}

void CoverReader::request(std::uint64_t ticket, const QString& path, const QImage& disc, const QImage& label)
{
    {
        std::lock_guard lock(mutex_);
        pending_ = Request {ticket, path, disc, label};
        result_.reset();
    }
    if (!loop_.startOrWake([this] { return tick(); })) {
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
    std::optional<TrackTags> tags = Decoder::readTags(request.path.toStdString());
    if (!tags)
        return result;
    result.tags = std::move(*tags);
    if (!result.tags.cover.empty())
        result.record = cover::coveredRecord(QByteArray::fromStdString(result.tags.cover), request.disc, request.label);
    return result;
}

TickLoop::Next CoverReader::tick()
{
    std::optional<Request> request;
    {
        std::lock_guard lock(mutex_);
        request.swap(pending_);
    }
    if (!request)
        return TickLoop::Next::whenWoken();
    Result result = read(*request);
    {
        std::lock_guard lock(mutex_);
        // A newer request makes this answer stale before anyone sees it.
        if (pending_)
            return TickLoop::Next::period();
        result_ = std::move(result);
    }
    ready_();
    return TickLoop::Next::whenWoken();
}

} // namespace gx
