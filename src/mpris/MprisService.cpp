#include "mpris/MprisService.h"

#include "engine/Player.h"
#include "handover/HandOver.h"
#include "mpris/CoverCache.h"
#include "mpris/DesktopMimeTypes.h"
#include "mpris/MprisPlayerAdaptor.h"
#include "mpris/MprisRootAdaptor.h"
#include "platform/HandedPath.h"
#include "platform/Logging.h"
#include "sound/Decoder.h"
#include "sound/Sound.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace gx {

struct MprisService::Song {
    std::weak_ptr<Sound> music;
    QDBusObjectPath trackId;
};

namespace {

constexpr double kMicroseconds = 1e6;

QStringList stringList(const std::vector<std::string>& list)
{
    QStringList out;
    for (const std::string& n : list)
        out << QString::fromStdString(n);
    return out;
}

} // namespace

MprisService::MprisService(Player& player, HandOver& handOver, QWidget& window, QObject* parent)
    : QObject(parent)
    , player_(player)
    , handOver_(handOver)
    , window_(window)
    , exported_(new MprisObject(this))
    , covers_(std::make_unique<CoverCache>())
{
    new MprisRootAdaptor(exported_, *this);
    auto* adaptor = new MprisPlayerAdaptor(exported_, *this);
    connect(this, &MprisService::seeked, adaptor, &MprisPlayerAdaptor::Seeked);
    // The player says what changed; nothing here looks again and again.
    connect(&player_, &Player::stateChanged, this, &MprisService::announceChanges);
    connect(&player_, &Player::musicVolumeChanged, this, &MprisService::announceChanges);
    connect(&player_, &Player::speedChanged, this, &MprisService::announceChanges);
    connect(&player_, &Player::positionJumped, this, [this] {
        announceChanges();
        if (registered_)
            emit seeked(position());
    });
    // The tags the record's label was read with: the file is opened once.
    connect(&player_, &Player::tagsRead, this, &MprisService::takeTags);
}

MprisService::~MprisService()
{
    if (registered_) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(objectPath);
        bus.unregisterService(serviceName);
    }
}

bool MprisService::registerOnSessionBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const auto fail = [&bus](const char* what) {
        qCWarning(logBus).noquote() << what << "-" << bus.lastError().message();
        return false;
    };
    if (!bus.isConnected())
        return fail("No session bus");
    if (!bus.registerObject(objectPath, exported_, QDBusConnection::ExportAdaptors))
        return fail("Cannot register the player's object on the session bus");
    registered_ = bus.registerService(serviceName);
    if (!registered_) {
        fail("Cannot take the player's name on the session bus");
        bus.unregisterObject(objectPath);
    }
    lastProperties_ = playerProperties();
    return registered_;
}

QStringList MprisService::supportedMimeTypes()
{
    QStringList types;
    for (const char* type : gx::desktopMimeTypes)
        types << QString::fromUtf8(type);
    return types;
}

const MprisService::Song* MprisService::currentSong() const
{
    const auto music = player_.song();
    if (!music) {
        song_.reset();
        return nullptr;
    }
    if (!song_ || song_->music.lock() != music) {
        song_ = std::make_unique<Song>();
        song_->music = music;
        song_->trackId = QDBusObjectPath("/org/gramolux/track/" + QString::number(++track_));
    }
    return song_.get();
}

void MprisService::takeTags(const QString& path, const TrackTags& tags)
{
    taggedPath_ = path;
    tagEntries_.clear();
    // Applets show the song by its tag where it has one; the window keeps the file's title.
    if (const QString title = QString::fromStdString(tags.title).trimmed(); !title.isEmpty())
        tagEntries_.insert("xesam:title", title);
    if (!tags.artists.empty())
        tagEntries_.insert("xesam:artist", stringList(tags.artists));
    if (!tags.album.empty())
        tagEntries_.insert("xesam:album", QString::fromStdString(tags.album));
    if (!tags.albumArtists.empty())
        tagEntries_.insert("xesam:albumArtist", stringList(tags.albumArtists));
    if (tags.trackNumber > 0)
        tagEntries_.insert("xesam:trackNumber", tags.trackNumber);
    const std::uint64_t tagged = ++tagged_;
    if (!tags.cover.empty()) {
        // Written on the cache's thread; the URL joins the tags on this one,
        // unless other tags came meanwhile.
        covers_->store(tags.cover, tags.coverExtension, [this, tagged](const std::string& file) {
            if (!file.empty())
                QMetaObject::invokeMethod(this, [this, tagged, file] {
                    if (tagged != tagged_)
                        return;
                    tagEntries_.insert(
                        "mpris:artUrl", QUrl::fromLocalFile(QString::fromStdString(file)).toString(QUrl::FullyEncoded));
                    announceChanges();
                });
        });
    }
    announceChanges();
}

QString MprisService::playbackStatus() const
{
    if (!canPlay() || player_.playedOut())
        return QStringLiteral("Stopped");
    return player_.isRunning() ? QStringLiteral("Playing") : QStringLiteral("Paused");
}

QVariantMap MprisService::metadata() const
{
    const Song* song = currentSong();
    if (!song)
        return {{"mpris:trackid", QVariant::fromValue(QDBusObjectPath("/org/mpris/MediaPlayer2/TrackList/NoTrack"))}};
    const QString path = player_.songPath();
    QVariantMap meta;
    if (path == taggedPath_ && player_.song()->isOpen())
        meta = tagEntries_;
    meta.insert("mpris:trackid", QVariant::fromValue(song->trackId));
    meta.insert("mpris:length", lengthMicroseconds());
    if (!meta.contains("xesam:title"))
        meta.insert("xesam:title", player_.songTitle());
    meta.insert("xesam:url", QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    if (!player_.failureNotice().isEmpty())
        meta.insert("xesam:comment", QStringList {player_.failureNotice()});
    return meta;
}

qlonglong MprisService::lengthMicroseconds() const
{
    return static_cast<qlonglong>(player_.lengthSeconds() * kMicroseconds);
}

qlonglong MprisService::position() const
{
    return static_cast<qlonglong>(player_.positionSeconds() * kMicroseconds);
}

double MprisService::rate() const
{
    return player_.speed();
}

double MprisService::volume() const
{
    return player_.musicVolume();
}

bool MprisService::canGoNext() const
{
    return !player_.queue().isEmpty();
}

bool MprisService::canGoPrevious() const
{
    return player_.canGoPrevious();
}

bool MprisService::canPlay() const
{
    return player_.canPlay();
}

void MprisService::play()
{
    player_.play();
    announceChanges();
}

void MprisService::pause()
{
    player_.pause();
    announceChanges();
}

void MprisService::playPause()
{
    player_.playPause();
    announceChanges();
}

void MprisService::next()
{
    player_.next();
    announceChanges();
}

void MprisService::previous()
{
    player_.previous();
    announceChanges();
}

void MprisService::seek(qlonglong offset)
{
    player_.seekBy(static_cast<double>(offset) / kMicroseconds);
    announceChanges();
}

void MprisService::setPosition(const QDBusObjectPath& track, qlonglong position)
{
    const Song* song = currentSong();
    if (!canPlay() || !song || track != song->trackId || position < 0 || position > lengthMicroseconds())
        return;
    player_.seekTo(static_cast<double>(position) / kMicroseconds);
    announceChanges();
}

void MprisService::setRate(double rate)
{
    if (!std::isfinite(rate))
        return;
    // A rate of 0 is how a client asks for a pause.
    if (rate <= 0.0) {
        pause();
        return;
    }
    player_.setSpeed(static_cast<float>(std::clamp(rate, minimumRate, maximumRate)));
}

void MprisService::setVolume(double volume)
{
    if (std::isnan(volume))
        return;
    // As a move of the music slider, in its whole hundredths.
    const double hundredths = std::round(std::clamp(volume, 0.0, 1.0) * 100.0);
    player_.setMusicVolume(static_cast<float>(hundredths / 100.0));
}

bool MprisService::openUri(const QString& uri)
{
    const QString path = localPathOfFileUri(uri);
    if (path.isEmpty())
        return false;
    handOver_.open({path});
    announceChanges();
    return true;
}

void MprisService::raise()
{
    if (window_.isMinimized())
        window_.showNormal();
    window_.raise();
    window_.activateWindow();
}

void MprisService::quit()
{
    window_.close();
}

QVariantMap MprisService::playerProperties() const
{
    // Position is left out: clients follow it from Rate and Seeked.
    return {
        {"PlaybackStatus", playbackStatus()},
        {"Metadata", metadata()},
        {"Rate", rate()},
        {"Volume", volume()},
        {"CanGoNext", canGoNext()},
        {"CanGoPrevious", canGoPrevious()},
        {"CanPlay", canPlay()},
        {"CanPause", canPlay()},
        {"CanSeek", canPlay()},
    };
}

void MprisService::announceChanges()
{
    if (!registered_)
        return;
    const QVariantMap now = playerProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (lastProperties_.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    lastProperties_ = now;
    if (!changed.isEmpty()) {
        QDBusMessage signal
            = QDBusMessage::createSignal(objectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged");
        signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
        QDBusConnection::sessionBus().send(signal);
    }
}

} // namespace gx
