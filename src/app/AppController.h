#pragma once
// The application's one controller: the files and menus around the engine.
// It opens files (the open panel and the system's open requests), keeps the
// recent-files menu (gx::RecentFiles), installs the iTunes script
// (gx::ScriptInstaller) and shows About; the engine itself is gx::Jukebox,
// made by setUp, to which the engine's operations forward. Main
// thread only.
#include "app/RecentFiles.h"
#include "engine/Jukebox.h"

#include <QObject>
#include <QString>
#include <memory>

class QAction;
class QMainWindow;
class QMenu;
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
    // the window is built meanwhile; the next setUp takes them.
    static void preloadEffectSounds();
    // Starts the song preopened from the command line as the engine's start
    // would (from its beginning, at the music volume and 0.1 below the
    // dial's rate), before any window exists: sound need not wait for the
    // toolkit. The engine's start then finds it playing and leaves its place.
    static void startPreopenedSong();

    explicit AppController(QObject* parent = nullptr);
    ~AppController() override;

    // Outlets, connected by the window layout before setUp.
    QMainWindow* mainWindow = nullptr;
    QWidget* aboutPanel = nullptr;
    QMenu* recentMenu = nullptr;
    gx::TurntableModel* turntable = nullptr;
    QAction* installScriptItem = nullptr;
    QMenu* appMenu = nullptr;

    // Makes the engine, which from now on answers the turntable.
    void setUp();
    // The engine, from setUp on.
    gx::Jukebox& jukebox() { return *jukebox_; }
    const gx::Jukebox& jukebox() const { return *jukebox_; }

    // The engine's operations, as the files and menus reach them.
    void openSong(const QString& path) { jukebox_->openSong(path); }
    void stop() { jukebox_->stop(); }
    bool openOrQueue(const QString& path) { return jukebox_->openOrQueue(path); }
    void clearQueue() { jukebox_->clearQueue(); }

    // Track title.
    static QString songTitle(const QString& path);

    // Opening files.
    void showOpenDialog();
    void openDialogFinished(int returnCode, const QString& fileName);
    bool openHandedFile(const QString& path);

    // Recent files.
    void addRecentFile(const QString& path);
    void rebuildRecentMenu();
    void recentFileChosen(QAction* item);

    // iTunes script and About.
    void installScript();
    void hideInstallItemIfInstalled();
    void showAbout();

signals:
    // The song or the engine's state changed (for the desktop's media controls).
    void playbackChanged();
    // A file was opened; `notice` says why it gives no sound, or is empty.
    void songNoticeChanged(const QString& notice);

private:
    void songOpened(const QString& path, const QString& notice);
    gx::RecentFiles& recentFiles();
    gx::UserPrompts& prompts();

    gx::RecentFiles recentFiles_;
    std::unique_ptr<gx::UserPrompts> prompts_;
    std::unique_ptr<gx::Jukebox> jukebox_;
};
