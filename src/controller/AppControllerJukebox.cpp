// The jukebox side of the controller: the engine and its threads, the answers
// to turntable gestures and the play queue.
#include "controller/AppController.h"

#include "controller/JukeboxSongEnvironment.h"
#include "controller/TrackTitle.h"
#include "platform/StringTable.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/GXQTMusic.h"
#include "view/GXGramoluxView.h"

#include <QApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QThread>
#include <QTimer>

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
        beep ? beep() : QApplication::beep();
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
    rates_.crntRate = static_cast<float>(static_cast<double>(defaultRate) - 0.1);

    song->play();
    if (hissNoise_)
        hissNoise_->play();
    song->setMovieRate(rates_.crntRate);
    gramoluxView->play();

    std::uint64_t run = 0;
    {
        std::lock_guard lock(runMutex_);
        run = ++runGeneration_;
        isPlaying_ = true;
    }
    liveWorkers_ += 2;
    jukeBoxThread_ = std::thread(&AppController::jukeBoxTask, this, run, song);
    hissThread_ = std::thread(&AppController::loopHissNoiseTask, this, run);

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
    wake_.notify_all();
    if (const auto song = theMusic())
        song->pause();
    if (hissNoise_)
        hissNoise_->stop();
    gramoluxView->stop();
    // The timer belongs to the main thread; from the spin thread its
    // cancelling is handed over there, and only for the run stopped here.
    if (QThread::currentThread() == thread()) {
        dropMusicDoneTimer();
    } else {
        QMetaObject::invokeMethod(this, [this, run] {
            if (musicDoneTimer_ && musicDoneTimerRun_ == run)
                dropMusicDoneTimer();
            emit playbackChanged();
        }, Qt::QueuedConnection);
    }
}

bool AppController::running(std::uint64_t run) const
{
    return isPlaying_ && runGeneration_ == run;
}

bool AppController::sleepWhileRunning(std::chrono::milliseconds span, std::uint64_t run)
{
    std::unique_lock lock(runMutex_);
    wake_.wait_for(lock, span, [&] { return !running(run); });
    return running(run);
}

void AppController::joinWorkers()
{
    if (jukeBoxThread_.joinable())
        jukeBoxThread_.join();
    if (hissThread_.joinable())
        hissThread_.join();
}

void AppController::jukeBoxTask(std::uint64_t run, std::shared_ptr<GXQTMusic> song)
{
    JukeboxSongEnvironment env(*gramoluxView, std::move(song), skipNoise_.get(), noiseSounds_, &positionJumps_);
    gx::JukeboxTick tick(env, rates_);
    tick.begin();
    if (running(run)) {
        do
            tick.tick();
        while (sleepWhileRunning(30ms, run));
    }
    --liveWorkers_;
}

void AppController::loopHissNoiseTask(std::uint64_t run)
{
    if (hissNoise_) {
        hissNoise_->play();
        while (running(run)) {
            if (!gramoluxView->isArmDragging()) {
                hissNoise_->setMovieCrntSecond(0.5f);
                sleepWhileRunning(4000ms, run);
            } else {
                // While the arm is held the hiss is left alone; look again
                // shortly instead of spinning a core.
                sleepWhileRunning(10ms, run);
            }
        }
    }
    --liveWorkers_;
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
    if (switchSound_)
        switchSound_->stop();
    if (gramoluxView->switchValue() && !isPlaying_)
        startJukeBox();
    if (switchSound_)
        switchSound_->play();
}

void AppController::armStartDragg()
{
    if (const auto song = theMusic())
        song->pause();
    if (hissNoise_)
        hissNoise_->stop();
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
    rates_.crntRate = static_cast<float>(static_cast<double>(defaultRate) - 0.1);
    gramoluxView->setDiskSpeed(rates_.crntRate);
    song->setMovieCrntSecond(position);
    song->play();
    if (hissNoise_)
        hissNoise_->play();
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
    if (stopSound_)
        stopSound_->play();
}

void AppController::dialDragged()
{
    const float d = gramoluxView->dialValue();
    rates_.defaultRate = d;
    rates_.targetRate = d;
    rates_.crntRate = static_cast<float>(static_cast<double>(d) + 0.02);
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
}
