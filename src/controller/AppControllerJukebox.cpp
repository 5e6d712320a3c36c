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
#include "view/GXGramoluxView.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QThread>
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
    gramoluxView->setEnable(true);
    gramoluxView->setArmValue(0.0f);
    if (mainWindow)
        mainWindow->setWindowTitle(gx::windowTitleText(musicName(path)));
    ++positionJumps_;
    if (failureNotice_.isEmpty()) {
        gramoluxView->clearNotice();
    } else {
        // Told, not asked: a dialog would hold up a queue behind this file.
        prompts().beep();
        gramoluxView->showNotice(failureNotice_);
    }
    startJukeBox();
    emit playbackChanged();
}

// Runs on the main thread.
void AppController::startJukeBox()
{
    std::unique_lock transport(transportMutex_);
    const auto song = theMusic();
    if (!song || isPlaying_)
        return;
    // Threads of a run stopped from the spin thread may not have left yet.
    joinWorkers();

    // Only a song started before the window (startPreopenedSong) plays
    // here already; it goes on from where it is.
    if (!song->isPlaying())
        song->setMovieCrntSecond(gramoluxView->armValue() * song->movieTotalSeconds());
    song->setVolume(UserDefaults::standardUserDefaults().floatForKey(keys::musicVolume));
    const float defaultRate = rates_.defaultRate;
    rates_.targetRate = defaultRate;
    rates_.crntRate = gx::startingRate(defaultRate);

    song->play();
    if (sounds_->hiss)
        sounds_->hiss->play();
    song->setMovieRate(rates_.crntRate);
    gramoluxView->play();

    std::uint64_t run = 0;
    {
        std::lock_guard lock(runMutex_);
        run = ++runGeneration_;
        isPlaying_ = true;
    }
    startJukeBoxLoop(run, song);
    if (sounds_->hiss)
        startHissLoop(run);

    std::this_thread::sleep_for(30ms);
    scheduleMusicDoneTimer(run);
    // Listeners may start or stop in turn.
    transport.unlock();
    emit playbackChanged();
}

// Runs on the main thread.
void AppController::stopJukeBox()
{
    {
        std::lock_guard transport(transportMutex_);
        stopJukeBoxLocked();
    }
    if (QThread::currentThread() == thread())
        emit playbackChanged();
}

// Called with transportMutex_ held, on the main thread or on the spin thread
// when the disc stops.
void AppController::stopJukeBoxLocked()
{
    std::uint64_t run = 0;
    {
        std::lock_guard lock(runMutex_);
        isPlaying_ = false;
        run = runGeneration_;
    }
    // The loops leave at once, from their sleeps or after the tick at hand.
    jukeBoxLoop_.requestStop();
    hissLoop_.requestStop();
    if (const auto song = theMusic())
        song->pause();
    if (sounds_->hiss)
        sounds_->hiss->stop();
    gramoluxView->stop();
    // The timer belongs to the main thread; from the spin thread its
    // cancelling is handed over there, and only for the run stopped here.
    if (QThread::currentThread() == thread()) {
        dropMusicDoneTimer();
    } else {
        QMetaObject::invokeMethod(
            this,
            [this, run] {
                if (musicDoneTimer_ && musicDoneTimerRun_ == run)
                    dropMusicDoneTimer();
                emit playbackChanged();
            },
            Qt::QueuedConnection);
    }
}

bool AppController::running(std::uint64_t run) const
{
    return isPlaying_ && runGeneration_ == run;
}

void AppController::joinWorkers()
{
    jukeBoxLoop_.join();
    hissLoop_.join();
}

// Runs on the main thread; the ticks run on the jukebox thread.
void AppController::startJukeBoxLoop(std::uint64_t run, std::shared_ptr<GXQTMusic> song)
{
    // The run's own environment and tick, kept by the loop for its life.
    using gx::JukeboxSongEnvironment;
    struct Run {
        Run(AppController& c, std::shared_ptr<GXQTMusic> song)
            : env(*c.gramoluxView, std::move(song), c.sounds_->skip.get(), c.sounds_->noises, &c.positionJumps_)
            , tick(env, c.rates_)
        {
        }
        JukeboxSongEnvironment env;
        gx::JukeboxTick tick;
    };
    auto state = std::make_shared<Run>(*this, std::move(song));
    jukeBoxLoop_.start(
        [this, run, state, first = true]() mutable {
            if (std::exchange(first, false))
                state->tick.begin();
            if (!running(run))
                return gx::TickLoop::Next::stop();
            state->tick.tick();
            return gx::TickLoop::Next::period();
        },
        30ms);
}

// Runs on the main thread; the ticks run on the hiss thread.
void AppController::startHissLoop(std::uint64_t run)
{
    hissLoop_.start(
        [this, run, first = true]() mutable {
            if (std::exchange(first, false))
                sounds_->hiss->play();
            if (!running(run))
                return gx::TickLoop::Next::stop();
            if (gramoluxView->isArmDragging()) {
                // While the arm is held the hiss is left alone; look again
                // shortly instead of spinning a core.
                return gx::TickLoop::Next::after(10ms);
            }
            sounds_->hiss->setMovieCrntSecond(0.5f);
            return gx::TickLoop::Next::period();
        },
        4000ms);
}

void AppController::scheduleMusicDoneTimer(std::uint64_t run)
{
    dropMusicDoneTimer();
    if (!running(run))
        return; // stopped while starting: no timer for a dead run
    musicDoneTimer_ = new QTimer(this);
    musicDoneTimerRun_ = run;
    connect(musicDoneTimer_, &QTimer::timeout, this, [this, run] {
        if (running(run))
            checkMusicDone();
    });
    musicDoneTimer_->start(1000);
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
    if (gramoluxView->switchValue() && !isPlaying_)
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
    dropArmAt(gramoluxView->armValue());
}

void AppController::layArmDown(float armValue)
{
    gramoluxView->setArmValue(armValue);
    gramoluxView->update();
    dropArmAt(armValue);
}

void AppController::dropArmAt(float armValue)
{
    // Stopped, the arm is where the song will resume: a jump all the same.
    ++positionJumps_;
    const auto song = theMusic();
    if (!isPlaying_ || !song)
        return;
    const float length = song->movieTotalSeconds();
    float position = armValue * length;
    if (position >= length)
        position = length - 1.0f;
    const float defaultRate = rates_.defaultRate;
    rates_.targetRate = defaultRate;
    rates_.crntRate = gx::startingRate(defaultRate);
    gramoluxView->setDiskSpeed(rates_.crntRate);
    song->setMovieCrntSecond(position);
    song->play();
    if (sounds_->hiss)
        sounds_->hiss->play();
    song->setMovieRate(rates_.crntRate);
}

// Runs on the spin thread whose record has just come to rest.
void AppController::recordDiskStopped()
{
    {
        std::lock_guard transport(transportMutex_);
        // The loop stopped itself before telling us; if the record turns
        // again, a newer start has begun a run of its own (a file opened
        // meanwhile), and this stop is not for it.
        if (gramoluxView->isPlaying())
            return;
        stopJukeBoxLocked();
    }
    if (QThread::currentThread() == thread())
        emit playbackChanged();
    if (sounds_->stop)
        sounds_->stop->play();
}

void AppController::dialDragged()
{
    const float d = gramoluxView->dialValue();
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
