#pragma once
// The application's one controller. Its jukebox side (AppControllerJukebox.cpp)
// couples the turntable's model to the current song: start-up, the engine and
// its threads, the vinyl effects, the answers to turntable gestures and the
// play queue. Its files-and-menus side (AppControllerFiles.cpp) opens files
// and shows About, and forwards the recent-files menu to gx::RecentFiles and
// the iTunes script to gx::ScriptInstaller.
//
// Threads: everything public runs on the main thread, the answers to the
// turntable's notifications included. The jukebox and hiss loops
// (gx::TickLoop) read the rates, the flag and the effect sounds; the fields
// say what guards them.
#include "controller/JukeboxTick.h"
#include "controller/RecentFiles.h"
#include "platform/TickLoop.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class GXQTMusic;
class QAction;
class QMainWindow;
class QMenu;
class QTimer;
class QWidget;
namespace gx {
struct EffectSounds;
class TurntableModel;
class UserPrompts;
}

class AppController : public QObject {
    Q_OBJECT
public:
    // Registers the setting defaults and starts the sound engine; runs once,
    // before the first controller exists.
    static void initialize();
    // Starts decoding the eleven effect sounds on a worker thread, so that
    // the window is built meanwhile; the next awakeFromNib takes them.
    static void preloadEffectSounds();
    // Hands the next awakeFromNib these sounds instead: whoever provides them
    // can hear what the controller does with them.
    static void provideEffectSounds(std::shared_ptr<gx::EffectSounds> sounds);
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
    gx::TurntableModel* turntable = nullptr;
    QAction* installAppleScriptMenuItem = nullptr;
    QMenu* gramoluxMenu = nullptr;

    void awakeFromNib();
    void setVolumeToPreference();

    // Jukebox engine.
    // A file that does not open still becomes the song (of length 0, so a
    // queue moves past it); the user hears the beep and reads why on the
    // turntable.
    void openMusic(const QString& path);
    void startJukeBox();
    // Never waits for a loop: the loops are told to stop, and joined by the
    // next start or open.
    void stopJukeBox();

    // Play queue.
    bool checkPlayOrReserve(const QString& path);
    void clearResrveBox();
    void checkMusicDone();
    // Opens the first queued file as the end-of-song check does.
    void openNextInQueue();
    // Puts songs at the end of the queue as part of the burst under way:
    // the songs after the first of a folder or playlist handed over.
    void reserveFiles(const QStringList& paths);

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

    // State, for the menus and the desktop's media controls.
    bool isPlaying() const { return isPlaying_.load(); }
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

signals:
    // The song or the engine's state changed (for the desktop's media controls).
    void playbackChanged();
    // A file was opened; `notice` says why it gives no sound, or is empty.
    void musicOpened(const QString& notice);

private:
    // Turntable event handlers.
    void palyBtnClicked();
    void armStartDragg();
    void armEndDragg();
    void recordDiskStopped();
    void dialDragged();
    void preferenceChanged();

    // The jukebox loop (jukeBoxTask): every 0.03 s the arm follows the song,
    // the rate glides and the effects may sound.
    void startJukeBoxLoop(std::shared_ptr<GXQTMusic> song);
    // The hiss loop (loopHissNoiseTask): every 4 s the hiss starts over.
    void startHissLoop();
    void joinWorkers();
    void dropMusicDoneTimer();
    void scheduleMusicDoneTimer();
    gx::RecentFiles& recentFiles();
    gx::UserPrompts& prompts();

    // Shared with the jukebox and hiss loops, which end once it is false;
    // written on the main thread only.
    std::atomic<bool> isPlaying_ {false};
    gx::JukeboxRates rates_;
    std::atomic<std::uint64_t> positionJumps_ {0};

    mutable std::mutex songMutex_;
    std::shared_ptr<GXQTMusic> theMusic_;
    // Set once in awakeFromNib, before any thread runs; never null.
    std::shared_ptr<gx::EffectSounds> sounds_;

    // Started, told to stop and joined on the main thread.
    gx::TickLoop jukeBoxLoop_ {"gx-jukebox"};
    gx::TickLoop hissLoop_ {"gx-hiss"};

    // Main thread only.
    gx::RecentFiles recentFiles_;
    std::unique_ptr<gx::UserPrompts> prompts_;
    QStringList reserveBox_;
    QString currentPath_;
    QString failureNotice_;
    // Empty until the first open request: start-up is not a request, so the
    // first file handed over at launch plays at once.
    std::optional<std::chrono::steady_clock::time_point> lastPlayTime_;
    QTimer* musicDoneTimer_ = nullptr;
};
