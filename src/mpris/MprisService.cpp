#include "mpris/MprisService.h"

#include "app/AppController.h"
#include "app/GramoluxWindowLayout.h"
#include "handover/HandOver.h"
#include "mpris/CoverCache.h"
#include "mpris/DesktopMimeTypes.h"
#include "mpris/MprisPlayerAdaptor.h"
#include "mpris/MprisRootAdaptor.h"
#include "platform/HandedPath.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/Decoder.h"
#include "sound/Sound.h"
#include "turntable/TurntableLogic.h"
#include "turntable/TurntableModel.h"
#include "view/TurntableView.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMainWindow>
#include <QTimer>
#include <QUrl>
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

MprisService::MprisService(GramoluxWindowLayout& layout, QObject* parent)
    : QObject(parent)
    , layout_(layout)
    , exported_(new MprisObject(this))
    , watch_(new QTimer(this))
    , covers_(std::make_unique<CoverCache>())
{
    new MprisRootAdaptor(exported_, *this);
    auto* player = new MprisPlayerAdaptor(exported_, *this);
    connect(this, &MprisService::seeked, player, &MprisPlayerAdaptor::Seeked);
    connect(layout_.appController(), &AppController::playbackChanged, this, &MprisService::announceChanges);
    // The tags the record's label was read with: the file is opened once.
    connect(layout_.view(), &TurntableView::songTagsRead, this, &MprisService::takeTags);
    // While the engine runs, the song can play out and the needle fall back
    // with no event to tell; look a few times a second.
    watch_->setInterval(250);
    connect(watch_, &QTimer::timeout, this, &MprisService::announceChanges);
    // Volume and dial changes by any road: slider, digit keys, the dial, us.
    for (const std::string& name : {names::preferenceChanged, names::musicVolumeChanged, names::dialDragged})
        NotificationCenter::defaultCenter().addObserver(
            this, [this](const gx::Notification&) { QMetaObject::invokeMethod(this, [this] { announceChanges(); }); },
            name);
}

MprisService::~MprisService()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (registered_) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(objectPath);
        bus.unregisterService(serviceName);
    }
}

bool MprisService::registerOnSessionBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(objectPath, exported_, QDBusConnection::ExportAdaptors))
        return false;
    registered_ = bus.registerService(serviceName);
    if (!registered_)
        bus.unregisterObject(objectPath);
    lastProperties_ = playerProperties();
    lastJumps_ = jukebox().positionJumps();
    return registered_;
}

QStringList MprisService::supportedMimeTypes()
{
    QStringList types;
    for (const char* type : gx::desktopMimeTypes)
        types << QString::fromUtf8(type);
    return types;
}

Jukebox& MprisService::jukebox() const
{
    return layout_.appController()->jukebox();
}

const MprisService::Song* MprisService::currentSong() const
{
    const auto music = jukebox().song();
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
    if (!canPlay() || playedOut())
        return QStringLiteral("Stopped");
    return jukebox().isPlaying() ? QStringLiteral("Playing") : QStringLiteral("Paused");
}

QVariantMap MprisService::metadata() const
{
    const Song* song = currentSong();
    if (!song)
        return {{"mpris:trackid", QVariant::fromValue(QDBusObjectPath("/org/mpris/MediaPlayer2/TrackList/NoTrack"))}};
    const Jukebox& c = jukebox();
    const QString path = c.songPath();
    QVariantMap meta;
    if (path == taggedPath_ && c.song()->isOpen())
        meta = tagEntries_;
    meta.insert("mpris:trackid", QVariant::fromValue(song->trackId));
    meta.insert("mpris:length", static_cast<qlonglong>(static_cast<double>(c.song()->lengthSeconds()) * kMicroseconds));
    meta.insert("xesam:title", AppController::songTitle(path));
    meta.insert("xesam:url", QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    if (!c.failureNotice().isEmpty())
        meta.insert("xesam:comment", QStringList {c.failureNotice()});
    return meta;
}

float MprisService::positionSeconds() const
{
    const Jukebox& c = jukebox();
    const auto music = c.song();
    if (!music)
        return 0.0f;
    // Stopped, the arm shows where the song will resume; a stop keeps it
    // there, and a drop of the arm moves it.
    return c.isPlaying() ? music->positionSeconds() : layout_.turntable().armValue() * music->lengthSeconds();
}

qlonglong MprisService::position() const
{
    return static_cast<qlonglong>(static_cast<double>(positionSeconds()) * kMicroseconds);
}

bool MprisService::playedOut() const
{
    const auto music = jukebox().song();
    return music && music->isOpen() && positionSeconds() >= music->lengthSeconds();
}

double MprisService::rate() const
{
    return jukebox().defaultRate();
}

double MprisService::volume() const
{
    return UserDefaults::standardUserDefaults().floatForKey(gx::keys::musicVolume);
}

bool MprisService::canGoNext() const
{
    return !jukebox().queue().isEmpty();
}

bool MprisService::canPlay() const
{
    const auto music = jukebox().song();
    return layout_.turntable().isEnabled() && music && music->isOpen();
}

void MprisService::play()
{
    if (!canPlay())
        return;
    // A song that has played out starts again from its beginning.
    if (playedOut())
        layout_.turntable().setArmPlace(0.0f);
    if (!layout_.turntable().switchValue())
        layout_.turntable().pressSwitch();
    announceChanges();
}

void MprisService::pause()
{
    // The record runs down as after a click on the button.
    if (layout_.turntable().switchValue())
        layout_.turntable().pressSwitch();
    announceChanges();
}

void MprisService::playPause()
{
    if (layout_.turntable().switchValue() && !playedOut())
        pause();
    else
        play();
}

void MprisService::next()
{
    jukebox().playNext();
    announceChanges();
}

void MprisService::previous()
{
    if (!canPlay())
        return;
    layout_.turntable().setArmPlace(0.0f);
    announceChanges();
}

void MprisService::moveTo(qlonglong position)
{
    const double length = static_cast<double>(jukebox().song()->lengthSeconds()) * kMicroseconds;
    layout_.turntable().setArmPlace(static_cast<float>(static_cast<double>(position) / length));
    announceChanges();
}

void MprisService::seek(qlonglong offset)
{
    if (!canPlay())
        return;
    const qlonglong length = metadata().value("mpris:length").toLongLong();
    const qlonglong target = std::max<qlonglong>(position() + offset, 0);
    if (target > length)
        next();
    else
        moveTo(target);
}

void MprisService::setPosition(const QDBusObjectPath& track, qlonglong position)
{
    const Song* song = currentSong();
    if (!canPlay() || !song || track != song->trackId || position < 0
        || position > metadata().value("mpris:length").toLongLong())
        return;
    moveTo(position);
}

void MprisService::setRate(double rate)
{
    if (!std::isfinite(rate) || !layout_.turntable().isEnabled())
        return;
    // A rate of 0 is how a client asks for a pause.
    if (rate <= 0.0) {
        pause();
        return;
    }
    // As a turn of the dial by the hand.
    layout_.turntable().turnDial(static_cast<float>(std::clamp(rate, minimumRate, maximumRate)));
}

void MprisService::setVolume(double volume)
{
    if (std::isnan(volume))
        return;
    // As a move of the music slider, in its whole hundredths; the open panel
    // follows as it does after a digit key.
    const double hundredths = std::round(std::clamp(volume, 0.0, 1.0) * 100.0);
    UserDefaults::standardUserDefaults().setFloat(static_cast<float>(hundredths / 100.0), gx::keys::musicVolume);
    NotificationCenter::defaultCenter().postNotificationName(names::preferenceChanged, this);
    NotificationCenter::defaultCenter().postNotificationName(names::musicVolumeChanged, this);
}

bool MprisService::openUri(const QString& uri)
{
    const QString path = localPathOfFileUri(uri);
    if (path.isEmpty())
        return false;
    layout_.handOver()->open({path});
    announceChanges();
    return true;
}

void MprisService::raise()
{
    QMainWindow* window = layout_.mainWindow();
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

void MprisService::quit()
{
    layout_.mainWindow()->close();
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
        {"CanGoPrevious", canPlay()},
        {"CanPlay", canPlay()},
        {"CanPause", canPlay()},
        {"CanSeek", canPlay()},
    };
}

void MprisService::announceChanges()
{
    if (!registered_)
        return;
    const Jukebox& c = jukebox();
    if (c.isPlaying())
        watch_->start();
    else
        watch_->stop();
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
    if (const std::uint64_t jumps = c.positionJumps(); jumps != lastJumps_) {
        lastJumps_ = jumps;
        emit seeked(position());
    }
}

} // namespace gx
