#pragma once
// The song on the record as its file tells it: its tags for the tooltip and
// its cover printed on the label, both read on the cover reader's thread so
// that the main thread never waits for the file. Main thread only.
#include "sound/Decoder.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace gx {

class CoverReader;

class SongCover : public QObject {
    Q_OBJECT
public:
    // `found` runs on the main thread when a song's tags and cover are read:
    // the record printed with its cover, or null images for our own label.
    explicit SongCover(std::function<void(const QImage& disc, const QImage& label)> found, QObject* parent = nullptr);
    ~SongCover() override;

    // Reads the song at `path` for printing on `disc` and `label`; an empty
    // path takes the song off. Whatever was on its way for another song is
    // dropped.
    void read(const QString& path, const QImage& disc, const QImage& label);
    QString path() const { return path_; }
    // "Artist — Title (Album)" from the tags, or `fallbackTitle` without them.
    QString toolTip(const QString& fallbackTitle) const;

signals:
    // The tags (and the cover's bytes) of the song at `path`, as read for the
    // label, so that others need not open the file again.
    void tagsRead(const QString& path, const gx::TrackTags& tags);

private slots:
    // Takes what the reader found, if it is still about this song.
    void take();

private:
    std::function<void(const QImage&, const QImage&)> found_;
    QString path_;
    QString artist_, title_, album_; // for the tooltip
    std::uint64_t ticket_ = 0;
    std::unique_ptr<CoverReader> reader_; // started with the first song
};

} // namespace gx
