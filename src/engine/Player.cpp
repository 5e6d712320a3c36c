#include "engine/Player.h"

#include "engine/Jukebox.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/Sound.h"
#include "sound/TrackTitle.h"
#include "turntable/TurntableModel.h"

#include <algorithm>
#include <cmath>

namespace gx {

Player::Player(Jukebox& jukebox, TurntableModel& turntable, UserDefaults& store, QObject* parent)
    : QObject(parent)
    , jukebox_(jukebox)
    , turntable_(turntable)
    , store_(store)
{
    turntable_.hooks().openSong = [this](const std::string& path) { open(QString::fromStdString(path), Road::drop); };
    turntable_.hooks().setMusicVolume = [this](float volume) { setMusicVolume(volume); };
    connect(&jukebox_, &Jukebox::songOpened, this, &Player::songOpened);
    connect(&jukebox_, &Jukebox::playbackChanged, this, &Player::stateChanged);
    connect(&jukebox_, &Jukebox::songEnded, this, &Player::stateChanged);
    connect(&jukebox_, &Jukebox::positionJumped, this, &Player::positionJumped);
    // The dial, by the hand, a screen reader or us.
    NotificationCenter::defaultCenter().addObserver(
        this, [this](const Notification&) { emit speedChanged(speed()); }, names::dialDragged);
}

Player::~Player()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    turntable_.hooks().openSong = nullptr;
    turntable_.hooks().setMusicVolume = nullptr;
}

void Player::open(const QString& path, Road road)
{
    switch (road) {
    case Road::drop:
        // The queue plays on after a dropped song.
        jukebox_.openSong(path);
        break;
    case Road::openDialog:
    case Road::recentMenu:
        // A song chosen by name plays alone.
        jukebox_.clearQueue();
        jukebox_.openSong(path);
        break;
    case Road::handOver:
        // Within half a second of the last it queues; alone it plays.
        jukebox_.openOrQueue(path);
        break;
    }
}

void Player::enqueue(const QStringList& paths)
{
    jukebox_.queueFiles(paths);
}

void Player::next()
{
    jukebox_.playNext();
}

void Player::previous()
{
    if (canPlay())
        turntable_.setArmPlace(0.0f);
}

void Player::pressSwitch()
{
    turntable_.pressSwitch();
}

void Player::play()
{
    if (!canPlay())
        return;
    if (playedOut())
        turntable_.setArmPlace(0.0f);
    if (!turntable_.switchValue())
        turntable_.pressSwitch();
}

void Player::pause()
{
    if (turntable_.switchValue())
        turntable_.pressSwitch();
}

void Player::playPause()
{
    if (turntable_.switchValue() && !playedOut())
        pause();
    else
        play();
}

void Player::seekTo(double seconds)
{
    const double length = lengthSeconds();
    if (!canPlay() || length <= 0.0)
        return;
    turntable_.setArmPlace(static_cast<float>(std::clamp(seconds, 0.0, length) / length));
}

void Player::seekBy(double seconds)
{
    if (!canPlay())
        return;
    const double target = std::max(positionSeconds() + seconds, 0.0);
    if (target > lengthSeconds())
        next();
    else
        seekTo(target);
}

float Player::musicVolume() const
{
    return store_.floatForKey(keys::musicVolume);
}

void Player::setMusicVolume(float volume)
{
    store_.setFloat(volume, keys::musicVolume);
    jukebox_.applyVolumes();
    emit musicVolumeChanged(volume);
}

float Player::speed() const
{
    return jukebox_.defaultRate();
}

void Player::setSpeed(float rate)
{
    turntable_.turnDial(rate);
}

bool Player::canPlay() const
{
    const auto music = jukebox_.song();
    return turntable_.isEnabled() && music && music->isOpen();
}

bool Player::isRunning() const
{
    return jukebox_.isPlaying();
}

bool Player::playedOut() const
{
    const auto music = jukebox_.song();
    return music && music->isOpen() && positionSeconds() >= music->lengthSeconds();
}

std::shared_ptr<Sound> Player::song() const
{
    return jukebox_.song();
}

QString Player::songPath() const
{
    return jukebox_.songPath();
}

QString Player::songTitle() const
{
    return trackTitleOfPath(songPath());
}

QString Player::failureNotice() const
{
    return jukebox_.failureNotice();
}

double Player::lengthSeconds() const
{
    const auto music = jukebox_.song();
    return music ? music->lengthSeconds() : 0.0;
}

double Player::positionSeconds() const
{
    const auto music = jukebox_.song();
    if (!music)
        return 0.0;
    // Stopped, the arm shows where the song will resume.
    return jukebox_.isPlaying() ? music->positionSeconds() : turntable_.armValue() * music->lengthSeconds();
}

QStringList Player::queue() const
{
    return jukebox_.queue();
}

} // namespace gx
