// The jukebox side of the controller: the engine and its threads, the answers
// to turntable gestures and the play queue.
#include "controller/AppController.h"

#include "controller/EffectSounds.h"
#include "controller/UserPrompts.h"

#include "controller/JukeboxSongEnvironment.h"
#include "controller/TrackTitle.h"
#include "platform/StepInDouble.h"
#include "platform/StringTable.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/GXQTMusic.h"
#include "view/TurntableModel.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QTimer>
#include <utility>

using gx::UserDefaults;
namespace keys = gx::keys;
using namespace std::chrono_literals;

namespace {

QString cantPlayNotice(const QString& path, gx::OpenFailure why)
{
    QString reason;
    switch (why) {
    case gx::OpenFailure::none:
        return {};
    case gx::OpenFailure::notFound:
        reason = gx::localizedString("file not found");
        break;
    case gx::OpenFailure::permissionDenied:
        reason = gx::localizedString("permission denied");
        break;
    case gx::OpenFailure::noSound:
        reason = gx::localizedString("no sound track we can decode");
        break;
    }
    return gx::localizedString("Can’t play “%1”: %2").arg(QFileInfo(path).fileName(), reason);
}

} // namespace

void AppController::openMusic(const QString& path)
{
    if (isPlaying_)
        stopJukeBox();
    // The old run's threads leave the song before it is destroyed.
    joinWorkers();
    {
        std::lock_guard lock(songMutex_);
        theMusic_.reset();
    }
    std::shared_ptr<GXQTMusic> song = GXQTMusic::initWithFilePath(path.toStdString());
    failureNotice_ = cantPlayNotice(path, song->openFailure());
    {
        std::lock_guard lock(songMutex_);
        theMusic_ = std::move(song);
    }
    currentPath_ = path;
    addFileToRecentFileList(path);
    turntable->setEnable(true);
    turntable->setArmValue(0.0f);
    if (mainWindow)
        mainWindow->setWindowTitle(gx::windowTitleText(musicName(path)));
    ++positionJumps_;
    // Told, not asked: a dialog would hold up a queue behind this file.
    if (!failureNotice_.isEmpty())
        prompts().beep();
    emit musicOpened(failureNotice_);
    startJukeBox();
    emit playbackChanged();
}

void AppController::startJukeBox()
{
    const auto song = theMusic();
    if (!song || isPlaying_)
        return;
    // The loops of the last run were told to stop; they leave the song first.
    joinWorkers();

    // Only a song started before the window (startPreopenedSong) plays
    // here already; it goes on from where it is.
    if (!song->isPlaying())
        song->setMovieCrntSecond(turntable->armValue() * song->movieTotalSeconds());
    song->setVolume(UserDefaults::standardUserDefaults().floatForKey(keys::musicVolume));
    const float defaultRate = rates_.defaultRate;
    rates_.targetRate = defaultRate;
    rates_.crntRate = gx::startingRate(defaultRate);

    song->play();
    if (sounds_->hiss)
        sounds_->hiss->play();
    song->setMovieRate(rates_.crntRate);
    turntable->play();

    isPlaying_ = true;
    startJukeBoxLoop(song);
    if (sounds_->hiss)
        startHissLoop();

    // The loops' first ticks come before the end-of-song check can run.
    std::this_thread::sleep_for(30ms);
    scheduleMusicDoneTimer();
    emit playbackChanged();
}

void AppController::stopJukeBox()
{
    isPlaying_ = false;
    // The loops leave at once, from their sleeps or after the tick at hand.
    jukeBoxLoop_.requestStop();
    hissLoop_.requestStop();
    if (const auto song = theMusic())
        song->pause();
    if (sounds_->hiss)
        sounds_->hiss->stop();
    turntable->stop();
    dropMusicDoneTimer();
    emit playbackChanged();
}

void AppController::joinWorkers()
{
    jukeBoxLoop_.join();
    hissLoop_.join();
}

// The ticks run on the jukebox thread.
void AppController::startJukeBoxLoop(std::shared_ptr<GXQTMusic> song)
{
    // The run's own environment and tick, kept by the loop for its life.
    using gx::JukeboxSongEnvironment;
    struct Run {
        Run(AppController& c, std::shared_ptr<GXQTMusic> song)
            : env(*c.turntable, std::move(song), c.sounds_->skip.get(), c.sounds_->noises, &c.positionJumps_)
            , tick(env, c.rates_)
        {
        }
        JukeboxSongEnvironment env;
        gx::JukeboxTick tick;
    };
    auto state = std::make_shared<Run>(*this, std::move(song));
    jukeBoxLoop_.start(
        [this, state, first = true]() mutable {
            if (std::exchange(first, false))
                state->tick.begin();
            if (!isPlaying_)
                return gx::TickLoop::Next::stop();
            state->tick.tick();
            return gx::TickLoop::Next::period();
        },
        30ms);
}

// The ticks run on the hiss thread.
void AppController::startHissLoop()
{
    hissLoop_.start(
        [this, first = true]() mutable {
            if (std::exchange(first, false))
                sounds_->hiss->play();
            if (!isPlaying_)
                return gx::TickLoop::Next::stop();
            if (turntable->isArmDragging()) {
                // While the arm is held the hiss is left alone; look again
                // shortly instead of spinning a core.
                return gx::TickLoop::Next::after(10ms);
            }
            sounds_->hiss->setMovieCrntSecond(0.5f);
            return gx::TickLoop::Next::period();
        },
        4000ms);
}

void AppController::scheduleMusicDoneTimer()
{
    dropMusicDoneTimer();
    musicDoneTimer_ = new QTimer(this);
    connect(musicDoneTimer_, &QTimer::timeout, this, &AppController::checkMusicDone);
    musicDoneTimer_->start(1s);
}

void AppController::dropMusicDoneTimer()
{
    if (!musicDoneTimer_)
        return;
    musicDoneTimer_->stop();
    // It may be the timer whose signal is being delivered right now.
    musicDoneTimer_->deleteLater();
    musicDoneTimer_ = nullptr;
}

// Turntable event handlers.

void AppController::palyBtnClicked()
{
    if (sounds_->switchSound)
        sounds_->switchSound->stop();
    if (turntable->switchValue() && !isPlaying_)
        startJukeBox();
    if (sounds_->switchSound)
        sounds_->switchSound->play();
}

void AppController::armStartDragg()
{
    if (const auto song = theMusic())
        song->pause();
    if (sounds_->hiss)
        sounds_->hiss->stop();
}

void AppController::armEndDragg()
{
    // Stopped, the arm is where the song will resume: a jump all the same.
    ++positionJumps_;
    const auto song = theMusic();
    if (!isPlaying_ || !song)
        return;
    const float length = song->movieTotalSeconds();
    float position = turntable->armValue() * length;
    if (position >= length)
        position = length - 1.0f;
    const float defaultRate = rates_.defaultRate;
    rates_.targetRate = defaultRate;
    rates_.crntRate = gx::startingRate(defaultRate);
    turntable->setDiskSpeed(rates_.crntRate);
    song->setMovieCrntSecond(position);
    song->play();
    if (sounds_->hiss)
        sounds_->hiss->play();
    song->setMovieRate(rates_.crntRate);
}

// The record has come to rest on the spin clock's tick.
void AppController::recordDiskStopped()
{
    stopJukeBox();
    if (sounds_->stop)
        sounds_->stop->play();
}

void AppController::dialDragged()
{
    const float d = turntable->dialValue();
    rates_.defaultRate = d;
    rates_.targetRate = d;
    rates_.crntRate = gx::stepInDouble(d, 0.02);
}

// Play queue.

bool AppController::checkPlayOrReserve(const QString& path)
{
    const auto now = std::chrono::steady_clock::now();
    bool opened = false;
    if (lastPlayTime_ && now - *lastPlayTime_ < 500ms) {
        reserveBox_.append(path);
        emit playbackChanged();
    } else {
        clearResrveBox();
        openMusic(path);
        opened = true;
    }
    lastPlayTime_ = std::chrono::steady_clock::now();
    return opened;
}

void AppController::clearResrveBox()
{
    reserveBox_ = QStringList();
}

void AppController::checkMusicDone()
{
    if (reserveBox_.isEmpty())
        return;
    const auto song = theMusic();
    if (!song || song->movieTotalSeconds() != song->movieCrntSecond())
        return;
    openNextInQueue();
}

void AppController::openNextInQueue()
{
    if (reserveBox_.isEmpty())
        return;
    const QString next = reserveBox_.first();
    openMusic(next);
    if (!reserveBox_.isEmpty())
        reserveBox_.removeFirst();
    // The open announced the queue with this file still in it.
    emit playbackChanged();
}
