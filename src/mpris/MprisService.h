#pragma once
// The player on the session bus as org.mpris.MediaPlayer2.gramolux, so media
// keys and the desktop's sound applets can work the turntable and show the
// song. Every action goes the road a gesture on the turntable goes (the
// switch, the arm, the dial, the music volume, an open request), so the two
// never disagree. Without a session bus nothing is registered and the player
// runs as before. Main thread only.
#include "turntable/TurntableLogic.h"

#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <cstdint>
#include <memory>

class QWidget;

namespace gx {

class CoverCache;
class HandOver;
class Player;
struct TrackTags;
class MprisObject;

class MprisService : public QObject {
    Q_OBJECT
public:
    static inline const QString serviceName = QStringLiteral("org.mpris.MediaPlayer2.gramolux");
    static inline const QString objectPath = QStringLiteral("/org/mpris/MediaPlayer2");
    // The dial's range as the turntable offers it.
    static constexpr double minimumRate = turntable::lowestDialRate;
    static constexpr double maximumRate = turntable::highestOfferedDialRate;

    // Works the player, opens URIs through the hand-over, raises and closes
    // the window.
    MprisService(Player& player, HandOver& handOver, QWidget& window, QObject* parent = nullptr);
    ~MprisService() override;

    // Registers on the session bus; false when there is none.
    bool registerOnSessionBus();

    // The desktop entry's MimeType list.
    static QStringList supportedMimeTypes();

    // What the adaptors answer. Position and lengths are in microseconds.
    QString playbackStatus() const;
    QVariantMap metadata() const;
    qlonglong position() const;
    double rate() const;
    double volume() const;
    bool canGoNext() const;
    bool canGoPrevious() const;
    // A song that plays is on the turntable: play, pause, seek, previous.
    bool canPlay() const;

    // What the adaptors do.
    void play();
    void pause();
    void playPause();
    void next();
    void previous();
    void seek(qlonglong offset);
    void setPosition(const QDBusObjectPath& track, qlonglong position);
    void setRate(double rate);
    void setVolume(double volume);
    // False, doing nothing, for anything but a file URI. A folder or a
    // playlist stands for its songs, as on the command line.
    bool openUri(const QString& uri);
    void raise();
    void quit();

signals:
    // The position jumped rather than ran; relayed as the Seeked signal.
    void seeked(qlonglong position);

private:
    struct Song;

    // The tags of the song at `path`, as the record's label was read.
    void takeTags(const QString& path, const TrackTags& tags);
    void announceChanges();
    QVariantMap playerProperties() const;
    const Song* currentSong() const;
    qlonglong lengthMicroseconds() const;

    Player& player_;
    HandOver& handOver_;
    QWidget& window_;
    MprisObject* exported_;
    bool registered_ = false;
    QVariantMap lastProperties_;
    // The current song and its track id, made when first asked for.
    mutable std::unique_ptr<Song> song_;
    mutable quint64 track_ = 0;
    // The file's own tags and the cover's URL as Metadata entries, for the
    // song at taggedPath_; tagged_ counts the songs tagged.
    QString taggedPath_;
    QVariantMap tagEntries_;
    std::uint64_t tagged_ = 0;
    std::unique_ptr<CoverCache> covers_; // last: its thread posts to this object
};

} // namespace gx
