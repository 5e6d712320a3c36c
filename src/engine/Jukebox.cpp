#include "engine/Jukebox.h"

#include "engine/EffectSounds.h"
#include "engine/JukeboxSongEnvironment.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/StepInDouble.h"
#include "platform/StringTable.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/LoudnessGain.h"
#include "sound/LoudnessLeveller.h"
#include "sound/Sound.h"
#include "turntable/TurntableModel.h"

#include <QFileInfo>
#include <QTimer>
#include <cmath>
#include <utility>

using namespace std::chrono_literals;

namespace gx {

namespace {

QString cantPlayNotice(const QString& path, OpenFailure why)
{
    QString reason;
    switch (why) {
    case OpenFailure::none:
        return {};
    case OpenFailure::notFound:
        reason = localizedString("file not found");
        break;
    case OpenFailure::permissionDenied:
        reason = localizedString("permission denied");
        break;
    case OpenFailure::noSound:
        reason = localizedString("no sound track we can decode");
        break;
    }
    return localizedString("Can’t play “%1”: %2").arg(QFileInfo(path).fileName(), reason);
}

} // namespace

std::shared_ptr<Sound> Jukebox::openSongFile(const QString& path)
{
    return Sound::open(path.toStdString());
}

Jukebox::Jukebox(TurntableModel& turntable, std::shared_ptr<EffectSounds> sounds, UserDefaults& store,
    NotificationCenter& centre, Clock clock, SongOpener openSong, QObject* parent)
    : QObject(parent)
    , turntable_(turntable)
    , store_(store)
    , centre_(centre)
    , clock_(std::move(clock))
    , openSong_(std::move(openSong))
    , sounds_(sounds ? std::move(sounds) : std::make_shared<EffectSounds>())
{
    const auto subscribe = [&](const std::string& name, void (Jukebox::*handler)()) {
        centre_.addObserver(
            this, [this, handler](const Notification&) { (this->*handler)(); }, name);
    };
    subscribe(names::playButtonClicked, &Jukebox::playButtonClicked);
    subscribe(names::armDragStarted, &Jukebox::armDragStarted);
    subscribe(names::armDragEnded, &Jukebox::armDragEnded);
    subscribe(names::recordStopped, &Jukebox::recordStopped);
    subscribe(names::dialDragged, &Jukebox::dialDragged);
    subscribe(names::preferenceChanged, &Jukebox::applyVolumes);
    rates_.defaultRate = 1.0f;
    applyVolumes();
}

Jukebox::~Jukebox()
{
    // No answer to the turntable's notifications once the engine goes.
    centre_.removeObserver(this);
    if (isPlaying_)
        stop();
    // Every loop leaves before any sound it plays is destroyed.
    joinWorkers();
    leveller_.reset();
    stopSongEndTimer();
}

void Jukebox::applyVolumes()
{
    if (song_)
        song_->setVolume(store_.floatForKey(keys::musicVolume));
    const float effects = store_.floatForKey(keys::effectsVolume);
    for (const auto& noise : sounds_->noises)
        noise->setVolume(effects);
    for (Sound* sound : {sounds_->hiss.get(), sounds_->skip.get(), sounds_->stop.get(), sounds_->switchSound.get()})
        if (sound)
            sound->setVolume(effects);
    if (levelLoudness())
        emit playbackChanged();
}

bool Jukebox::levelLoudness()
{
    if (!song_)
        return false;
    const LoudnessMode mode = loudnessModeFromName(store_.objectForKey(keys::loudness).toString().toStdString());
    if (mode != LoudnessMode::off && !loudness_) {
        if (!leveller_)
            leveller_ = std::make_unique<LoudnessLeveller>([this](const std::string& path, const SongLoudness& found) {
                QMetaObject::invokeMethod(
                    this,
                    [this, path, found] {
                        if (path != currentPath_.toStdString())
                            return; // the song has changed since
                        loudness_ = found;
                        if (levelLoudness())
                            emit playbackChanged();
                    },
                    Qt::QueuedConnection);
            });
        const std::string path = currentPath_.toStdString();
        loudness_ = leveller_->known(path);
        if (!loudness_)
            leveller_->request(path);
    }
    const float gain = loudnessGain(mode, loudness_.value_or(SongLoudness {}));
    song_->setLoudnessGain(gain);
    const std::optional<double> gainDb = mode != LoudnessMode::off && loudness_ && loudness_->hasGain()
        ? std::optional(20.0 * std::log10(static_cast<double>(gain)))
        : std::nullopt;
    return std::exchange(loudnessGainDb_, gainDb) != gainDb;
}

void Jukebox::openSong(const QString& path)
{
    if (isPlaying_)
        stop();
    // The old run's loops leave the song before it is destroyed.
    joinWorkers();
    // Let go before the next opens, so two songs' decoders never run at once.
    song_.reset();
    song_ = openSong_(path);
    failureNotice_ = cantPlayNotice(path, song_->openFailure());
    currentPath_ = path;
    loudness_.reset();
    levelLoudness();
    turntable_.setEnabled(true);
    turntable_.setArmValue(0.0f);
    emit songOpened(path, failureNotice_);
    emit positionJumped();
    start();
    emit playbackChanged();
}

void Jukebox::start()
{
    const auto song = song_;
    if (!song || isPlaying_)
        return;
    // The loops of the last run were told to stop; they leave the song first.
    joinWorkers();

    // Only a song started before the window (the preopened one) plays here
    // already; it goes on from where it is.
    if (!song->isPlaying())
        song->setPositionSeconds(turntable_.armValue() * song->lengthSeconds());
    song->setVolume(store_.floatForKey(keys::musicVolume));
    const float defaultRate = rates_.defaultRate;
    rates_.targetRate = defaultRate;
    rates_.currentRate = startingRate(defaultRate);

    song->play();
    if (sounds_->hiss)
        sounds_->hiss->play();
    song->setRate(rates_.currentRate);
    turntable_.play();

    isPlaying_ = true;
    // The end-of-song check is scheduled once the jukebox loop has ticked.
    startJukeboxLoop(song);
    if (sounds_->hiss)
        startHissLoop();
    emit playbackChanged();
}

void Jukebox::stop()
{
    isPlaying_ = false;
    // The loops leave at once, from their sleeps or after the tick at hand.
    jukeboxLoop_.requestStop();
    hissLoop_.requestStop();
    if (song_)
        song_->pause();
    if (sounds_->hiss)
        sounds_->hiss->stop();
    turntable_.stop();
    stopSongEndTimer();
    emit playbackChanged();
}

void Jukebox::joinWorkers()
{
    jukeboxLoop_.join();
    hissLoop_.join();
}

// The ticks run on the jukebox thread; what they tell is posted to the main
// thread, for the run that is still under way.
void Jukebox::startJukeboxLoop(std::shared_ptr<Sound> song)
{
    const std::uint64_t run = ++runs_;
    const auto post = [this, run](void (Jukebox::*told)()) {
        QMetaObject::invokeMethod(this, [this, run, told] {
            if (run == runs_ && isPlaying_)
                (this->*told)();
        });
    };
    // The run's own environment and tick, kept by the loop for its life.
    struct Run {
        Run(Jukebox& j, std::shared_ptr<Sound> song, std::function<void()> fellBack)
            : env(
                j.turntable_, std::move(song), j.sounds_->skip.get(), j.sounds_->noises, j.store_, std::move(fellBack))
            , tick(env, j.rates_)
        {
        }
        JukeboxSongEnvironment env;
        JukeboxTick tick;
        bool ended = false;
    };
    auto state = std::make_shared<Run>(*this, song, [post] { post(&Jukebox::positionJumped); });
    jukeboxLoop_.start(
        [this, state, song, post, first = true]() mutable {
            if (std::exchange(first, false)) {
                state->tick.begin();
                post(&Jukebox::startSongEndTimer);
            }
            if (!isPlaying_)
                return TickLoop::Next::stop();
            state->tick.tick();
            const bool ended = song->isOpen() && song->positionSeconds() >= song->lengthSeconds();
            if (ended && !std::exchange(state->ended, true))
                post(&Jukebox::songEnded);
            state->ended = ended;
            return TickLoop::Next::period();
        },
        30ms);
}

// The ticks run on the hiss thread.
void Jukebox::startHissLoop()
{
    hissLoop_.start(
        [this, first = true]() mutable {
            if (std::exchange(first, false))
                sounds_->hiss->play();
            if (!isPlaying_)
                return TickLoop::Next::stop();
            if (turntable_.isArmDragging()) {
                // While the arm is held the hiss is left alone; look again
                // shortly instead of spinning a core.
                return TickLoop::Next::after(10ms);
            }
            sounds_->hiss->setPositionSeconds(0.5f);
            return TickLoop::Next::period();
        },
        4000ms);
}

void Jukebox::startSongEndTimer()
{
    stopSongEndTimer();
    songEndTimer_ = new QTimer(this);
    connect(songEndTimer_, &QTimer::timeout, this, &Jukebox::checkSongEnd);
    songEndTimer_->start(1s);
}

void Jukebox::stopSongEndTimer()
{
    if (!songEndTimer_)
        return;
    songEndTimer_->stop();
    // It may be the timer whose signal is being delivered right now.
    songEndTimer_->deleteLater();
    songEndTimer_ = nullptr;
}

// The answers to the turntable's gestures.

void Jukebox::playButtonClicked()
{
    if (sounds_->switchSound)
        sounds_->switchSound->stop();
    if (turntable_.switchValue() && !isPlaying_)
        start();
    if (sounds_->switchSound)
        sounds_->switchSound->play();
}

void Jukebox::armDragStarted()
{
    if (song_)
        song_->pause();
    if (sounds_->hiss)
        sounds_->hiss->stop();
}

void Jukebox::armDragEnded()
{
    // Stopped, the arm is where the song will resume: a jump all the same.
    emit positionJumped();
    const auto song = song_;
    if (!isPlaying_ || !song)
        return;
    const float length = song->lengthSeconds();
    float position = turntable_.laidArmValue() * length;
    if (position >= length)
        position = length - 1.0f;
    const float defaultRate = rates_.defaultRate;
    rates_.targetRate = defaultRate;
    rates_.currentRate = startingRate(defaultRate);
    turntable_.setDiskSpeed(rates_.currentRate);
    song->setPositionSeconds(position);
    song->play();
    if (sounds_->hiss)
        sounds_->hiss->play();
    song->setRate(rates_.currentRate);
}

// The record has come to rest on the spin clock's tick.
void Jukebox::recordStopped()
{
    stop();
    if (sounds_->stop)
        sounds_->stop->play();
}

void Jukebox::dialDragged()
{
    const float d = turntable_.dialValue();
    rates_.defaultRate = d;
    rates_.targetRate = d;
    rates_.currentRate = stepInDouble(d, 0.02);
}

// The play queue.

bool Jukebox::openOrQueue(const QString& path)
{
    bool opened = false;
    if (lastPlayTime_ && clock_() - *lastPlayTime_ < 500ms) {
        queue_.append(path);
        emit playbackChanged();
    } else {
        clearQueue();
        openSong(path);
        opened = true;
    }
    lastPlayTime_ = clock_();
    return opened;
}

void Jukebox::clearQueue()
{
    queue_ = QStringList();
}

void Jukebox::setQueue(const QStringList& paths)
{
    queue_ = paths;
    emit playbackChanged();
}

void Jukebox::queueFiles(const QStringList& paths)
{
    queue_.append(paths);
    // A long listing never splits its burst: each batch counts as a request.
    lastPlayTime_ = clock_();
    emit playbackChanged();
}

void Jukebox::checkSongEnd()
{
    if (queue_.isEmpty() || !song_ || song_->lengthSeconds() != song_->positionSeconds())
        return;
    playNext();
}

void Jukebox::playNext()
{
    if (queue_.isEmpty())
        return;
    const QString next = queue_.first();
    openSong(next);
    if (!queue_.isEmpty())
        queue_.removeFirst();
    // The open announced the queue with this file still in it.
    emit playbackChanged();
}

} // namespace gx
