#pragma once
// The application's one controller. Its jukebox side (AppControllerJukebox.cpp)
// couples the turntable view to the current song: start-up, the engine and
// its threads, the vinyl effects, the answers to turntable gestures and the
// play queue. Its files-and-menus side (AppControllerFiles.cpp) opens files,
// keeps the recent-files menu, installs the iTunes script and shows About.
#include "controller/JukeboxTick.h"
#include "view/GXMusicOpener.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class GXGramoluxView;
class GXQTMusic;
class QAction;
class QMainWindow;
class QMenu;
class QTimer;
class QWidget;

class AppController : public QObject, public GXMusicOpener {
    Q_OBJECT
public:
    // Registers the setting defaults and starts the sound engine; runs once,
    // before the first controller exists.
    static void initialize();
    // Starts decoding the eleven effect sounds on a worker thread, so that
    // the window is built meanwhile; the next awakeFromNib takes them.
    static void preloadEffectSounds();
    // Starts the song preopened from the command line as the engine's start
    // would (from its beginning, at the music volume and 0.1 below the
    // dial's rate), before any window exists: sound need not wait for the
    // toolkit. The engine's start then finds it playing and leaves its place.
    static void startPreopenedSong();

    explicit AppController(QObject* parent = nullptr);
    ~AppController() override;

    // Outlets, connected by the window layout before awakeFromNib.
    QMainWindow* mainWindow = nullptr;
    QWidget* aboutPanel = nullptr;
    QMenu* recentFileMenu = nullptr;
    GXGramoluxView* gramoluxView = nullptr;
    QAction* installAppleScriptMenuItem = nullptr;
    QMenu* gramoluxMenu = nullptr;

    void awakeFromNib();
    void setVolumeToPreference();

    // Jukebox engine.
    // A file that does not open still becomes the song (of length 0, so a
    // queue moves past it); the user hears the beep and reads why on the
    // turntable.
    void openMusic(const QString& path) override;
    void startJukeBox();
    void stopJukeBox();
    // Lays the arm down at armValue (0 to 1) as a drop of the arm does: a
    // running song restarts slowly from there, a stopped one resumes there.
    void layArmDown(float armValue);

    // Play queue.
    bool checkPlayOrReserve(const QString& path);
    void clearResrveBox();
    void checkMusicDone();
    // Opens the first queued file as the end-of-song check does.
    void openNextInQueue();

    // Track title.
    static QString musicName(const QString& path);

    // Opening files.
    void selectMusicFile();
    void openPanelDidEnd(int returnCode, const QString& fileName);
    bool applicationOpenFile(const QString& path);

    // Recent files.
    void addFileToRecentFileList(const QString& path);
    void resetRecentFileMenu();
    void recentFileMenuSelected(QAction* item);
    void clearRecentMenu();

    // iTunes script and About.
    static QString pathForScriptsFolder();
    static QString pathForAppleScript();
    void installAppleScript();
    void removeInstallAppleScriptMenuItemIfAlreladyInstalled();
    void showAboutPanel();
    // How the installer talks to the user; tests replace them.
    std::function<bool()> askToInstallScript;
    std::function<void()> tellScriptInstalled;
    std::function<void()> beep;

    // State, for the menus and for tests.
    bool isPlaying() const { return isPlaying_.load(); }
    float crntRate() const { return rates_.crntRate.load(); }
    float targetRate() const { return rates_.targetRate.load(); }
    float defaultRate() const { return rates_.defaultRate.load(); }
    QStringList reserveBox() const { return reserveBox_; }
    std::shared_ptr<GXQTMusic> theMusic() const;
    QString currentMusicPath() const { return currentPath_; }
    // Why the current song gave no sound, as the turntable said it; empty
    // when it plays.
    QString failureNotice() const { return failureNotice_; }
    // Counts the times the song's position jumped rather than ran: a new
    // song, the arm laid down, the needle falling back. Read on any thread.
    std::uint64_t positionJumps() const { return positionJumps_.load(); }
    GXQTMusic* hissNoise() const { return hissNoise_.get(); }
    GXQTMusic* skipNoise() const { return skipNoise_.get(); }
    GXQTMusic* stopSound() const { return stopSound_.get(); }
    GXQTMusic* switchSound() const { return switchSound_.get(); }
    const std::vector<std::unique_ptr<GXQTMusic>>& noiseSounds() const { return noiseSounds_; }
    bool hasMusicDoneTimer() const { return musicDoneTimer_ != nullptr; }
    int liveWorkerThreads() const { return liveWorkers_.load(); }

signals:
    // The song or the engine's state changed (for the desktop's media controls).
    void playbackChanged();

private:
    // Turntable event handlers.
    void palyBtnClicked();
    void armStartDragg();
    void armEndDragg();
    void recordDiskStopped();
    void dialDragged();
    void preferenceChanged();
    void dropArmAt(float armValue);

    void jukeBoxTask(std::uint64_t run, std::shared_ptr<GXQTMusic> song);
    void loopHissNoiseTask(std::uint64_t run);
    void stopJukeBoxLocked();
    bool running(std::uint64_t run) const;
    // Sleeps, waking early when the run stops; answers whether it still runs.
    bool sleepWhileRunning(std::chrono::milliseconds span, std::uint64_t run);
    void joinWorkers();
    void dropMusicDoneTimer();
    void scheduleMusicDoneTimer(std::uint64_t run);

    // Makes a start and a stop exclusive of each other, so that a stop
    // arriving from the spin thread never lands inside a start.
    std::mutex transportMutex_;

    // Shared with the worker, hiss and spin threads.
    std::atomic<bool> isPlaying_{false};
    gx::JukeboxRates rates_;
    std::atomic<std::uint64_t> runGeneration_{0};
    std::atomic<int> liveWorkers_{0};
    std::atomic<std::uint64_t> positionJumps_{0};
    std::mutex runMutex_;
    std::condition_variable wake_;

    mutable std::mutex songMutex_;
    std::shared_ptr<GXQTMusic> theMusic_;
    std::unique_ptr<GXQTMusic> hissNoise_;
    std::unique_ptr<GXQTMusic> skipNoise_;
    std::unique_ptr<GXQTMusic> stopSound_;
    std::unique_ptr<GXQTMusic> switchSound_;
    std::vector<std::unique_ptr<GXQTMusic>> noiseSounds_;

    // Main thread only.
    std::thread jukeBoxThread_;
    std::thread hissThread_;
    QStringList reserveBox_;
    QString currentPath_;
    QString failureNotice_;
    // Empty until the first open request: start-up is not a request, so the
    // first file handed over at launch plays at once.
    std::optional<std::chrono::steady_clock::time_point> lastPlayTime_;
    QTimer* musicDoneTimer_ = nullptr;
    std::uint64_t musicDoneTimerRun_ = 0;
};
