#include "view/SongCover.h"

#include "sound/TrackTitle.h"
#include "view/CoverReader.h"
#include "view/RecordToolTip.h"

#include <QStringList>
#include <QTextDocument>

namespace gx {

SongCover::SongCover(std::function<void(const QImage&, const QImage&)> found, QObject* parent)
    : QObject(parent)
    , found_(std::move(found))
{
}

// The reader posts to this object; it ends first.
SongCover::~SongCover() = default;

void SongCover::read(const QString& path, const QImage& disc, const QImage& label)
{
    ++ticket_; // whatever is on its way is stale now
    if (path != path_) {
        path_ = path;
        artist_.clear();
        title_.clear();
        album_.clear();
    }
    if (path_.isEmpty() || disc.isNull())
        return;
    if (!reader_) {
        // On the reader's thread: only a call by name is posted; take() then
        // passes the reader's lock before reading anything.
        reader_
            = std::make_unique<CoverReader>([this] { QMetaObject::invokeMethod(this, "take", Qt::QueuedConnection); });
    }
    reader_->request(ticket_, path_, disc, label);
}

void SongCover::take()
{
    if (!reader_)
        return;
    std::optional<CoverReader::Result> result = reader_->take();
    if (!result || result->ticket != ticket_)
        return;
    artist_ = joinedNames(result->tags.artists);
    title_ = QString::fromStdString(result->tags.title);
    album_ = QString::fromStdString(result->tags.album);
    found_(result->record.disc, result->record.label);
    emit tagsRead(path_, result->tags);
}

QString SongCover::toolTip(const QString& fallbackTitle) const
{
    const QString text = recordToolTip(artist_, title_, album_, fallbackTitle);
    // Tags are plain text; a tooltip would take "<b>…" for markup.
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap) : text;
}

} // namespace gx
