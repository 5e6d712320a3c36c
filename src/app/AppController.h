#pragma once
// The application's one controller: the files and menus around the engine.
// It opens files (the open panel and the system's open requests), keeps the
// recent-files menu (gx::RecentFiles), installs the iTunes script
// (gx::ScriptInstaller) and shows About; the engine itself is gx::Jukebox,
// made by setUp, to which the engine's operations forward. Main
// thread only.
#include "app/RecentFiles.h"
#include "engine/Jukebox.h"
#include "engine/Player.h"

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

    // Makes the engine and the player, which from now on answer the turntable.
    void setUp();
    // The engine and the player, from setUp on.
    gx::Jukebox& jukebox() { return *jukebox_; }
    gx::Player& player() { return *player_; }

    // Opening files.
    void showOpenDialog();
    void openDialogFinished(int returnCode, const QString& fileName);

    // Recent files.
    void addRecentFile(const QString& path);
    void rebuildRecentMenu();
    void recentFileChosen(QAction* item);

    // iTunes script and About.
    void installScript();
    void hideInstallItemIfInstalled();
    void showAbout();

signals:
    // A file was opened; `notice` says why it gives no sound, or is empty.
    void songNoticeChanged(const QString& notice);

private:
    void songOpened(const QString& path, const QString& notice);
    gx::RecentFiles& recentFiles();
    gx::UserPrompts& prompts();

    gx::RecentFiles recentFiles_;
    std::unique_ptr<gx::UserPrompts> prompts_;
    std::unique_ptr<gx::Jukebox> jukebox_;
    std::unique_ptr<gx::Player> player_;
};
