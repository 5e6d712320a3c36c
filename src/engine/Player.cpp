#include "engine/Player.h"

#include "engine/Jukebox.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/Sound.h"
#include "sound/TrackTitle.h"
#include "turntable/TurntableLogic.h"
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
    connect(&jukebox_, &Jukebox::songOpened, this, [this](const QString& path) {
        constexpr qsizetype kHistory = 100;
        if (!goingBack_ && !current_.isEmpty() && current_ != path) {
            history_.append(current_);
            if (history_.size() > kHistory)
                history_.removeFirst();
        }
        current_ = path;
    });
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
    if (history_.isEmpty() || (canPlay() && positionSeconds() >= kRestartSeconds)) {
        if (canPlay())
            turntable_.setArmPlace(0.0f);
        return;
    }
    QStringList queue = jukebox_.queue();
    if (!current_.isEmpty())
        queue.prepend(current_);
    goingBack_ = true;
    jukebox_.openSong(history_.takeLast());
    goingBack_ = false;
    jukebox_.setQueue(queue);
}

bool Player::canGoPrevious() const
{
    return canPlay() || !history_.isEmpty();
}

void Player::playQueued(int index)
{
    QStringList queue = jukebox_.queue();
    if (index < 0 || index >= queue.size())
        return;
    const QString path = queue.takeAt(index);
    jukebox_.setQueue(queue);
    jukebox_.openSong(path);
}

void Player::removeQueued(int index)
{
    QStringList queue = jukebox_.queue();
    if (index < 0 || index >= queue.size())
        return;
    queue.removeAt(index);
    jukebox_.setQueue(queue);
}

void Player::moveQueued(int from, int to)
{
    QStringList queue = jukebox_.queue();
    if (from < 0 || from >= queue.size() || to < 0 || to >= queue.size() || from == to)
        return;
    queue.move(from, to);
    jukebox_.setQueue(queue);
}

void Player::clearQueue()
{
    if (!jukebox_.queue().isEmpty())
        jukebox_.setQueue({});
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

float Player::steppedMusicVolume(int tenths) const
{
    const float tenth = std::round(musicVolume() * 10.0f) + static_cast<float>(tenths);
    return std::clamp(tenth, 0.0f, 10.0f) / 10.0f;
}

void Player::stepMusicVolume(int tenths)
{
    if (canStepMusicVolume(tenths))
        setMusicVolume(steppedMusicVolume(tenths));
}

bool Player::canStepMusicVolume(int tenths) const
{
    return steppedMusicVolume(tenths) != musicVolume();
}

float Player::steppedSpeed(int steps) const
{
    constexpr double kStep = 0.05;
    const double dial = turntable_.dialValue();
    double rate = std::round((dial + kStep * steps) * 100.0) / 100.0;
    // A hand turned past the offered top is never pushed further, nor
    // pulled up to it.
    if (steps > 0)
        rate = std::min(rate, std::max(turntable::highestOfferedDialRate, dial));
    return static_cast<float>(std::max(rate, turntable::lowestDialRate));
}

void Player::stepSpeed(int steps)
{
    if (canStepSpeed(steps))
        setSpeed(steppedSpeed(steps));
}

bool Player::canStepSpeed(int steps) const
{
    return turntable_.isEnabled() && std::abs(steppedSpeed(steps) - turntable_.dialValue()) > 1e-4f;
}

void Player::normalSpeed()
{
    turntable_.resetDial();
}

bool Player::canNormalSpeed() const
{
    return turntable_.isEnabled() && turntable_.dialValue() != 1.0f;
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

std::optional<double> Player::loudnessGainDb() const
{
    return jukebox_.loudnessGainDb();
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
