#include "controller/AppController.h"

#include "controller/EffectSounds.h"
#include "controller/ScriptInstaller.h"
#include "controller/TrackTitle.h"
#include "controller/UserPrompts.h"
#include "platform/NotificationCenter.h"
#include "platform/StringTable.h"
#include "platform/ThreadName.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/GXQTMusic.h"

#include <QAction>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <future>
#include <mutex>
#include <system_error>
#include <utility>

using gx::localizedString;
using gx::NotificationCenter;
using gx::UserDefaults;
namespace keys = gx::keys;

namespace {

using gx::EffectSounds;

// Guards the preload's future.
std::mutex preloadMutex;
// Never destroyed: sounds still held at exit must not outlive the engine.
std::future<std::shared_ptr<EffectSounds>>& preloaded()
{
    static auto* future = new std::future<std::shared_ptr<EffectSounds>>();
    return *future;
}

std::shared_ptr<EffectSounds> takeEffectSounds()
{
    std::lock_guard lock(preloadMutex);
    return preloaded().valid() ? preloaded().get() : EffectSounds::load();
}

} // namespace

void AppController::preloadEffectSounds()
{
    std::lock_guard lock(preloadMutex);
    if (preloaded().valid())
        return;
    try {
        preloaded() = std::async(std::launch::async, [] {
            gx::nameThisThread("gx-preload");
            return EffectSounds::load();
        });
    } catch (const std::system_error&) {
        // No thread to be had: awakeFromNib loads them itself.
    }
}

void AppController::startPreopenedSong()
{
    // The dial's rate is 1.0 until the engine exists, as the engine starts it.
    GXQTMusic::playPreopened(
        UserDefaults::standardUserDefaults().floatForKey(keys::musicVolume), gx::startingRate(1.0f));
}

void AppController::initialize()
{
    keys::registerDefaults();
    GXQTMusic::initialize();
}

AppController::AppController(QObject* parent)
    : QObject(parent)
    , recentFiles_(this, [this](QAction* item) { recentFileMenuSelected(item); })
{
    initialize();
}

// The engine goes first: it stops, and its loops end while the model and
// the sounds they drive still exist.
AppController::~AppController() = default;

void AppController::awakeFromNib()
{
    resetRecentFileMenu();
    jukebox_ = std::make_unique<gx::Jukebox>(
        *turntable, takeEffectSounds(), UserDefaults::standardUserDefaults(), NotificationCenter::defaultCenter());
    connect(jukebox_.get(), &gx::Jukebox::songOpened, this, &AppController::songOpened);
    connect(jukebox_.get(), &gx::Jukebox::playbackChanged, this, &AppController::playbackChanged);
    removeInstallAppleScriptMenuItemIfAlreladyInstalled();
}

// Every open, by whatever road, is told here first.
void AppController::songOpened(const QString& path, const QString& notice)
{
    addFileToRecentFileList(path);
    if (mainWindow)
        mainWindow->setWindowTitle(gx::windowTitleText(musicName(path)));
    // Told, not asked: a dialog would hold up a queue behind this file.
    if (!notice.isEmpty())
        prompts().beep();
    emit musicOpened(notice);
}

QString AppController::musicName(const QString& path)
{
    return gx::trackTitleOfPath(path);
}

// Opening files.

void AppController::selectMusicFile()
{
    if (jukebox_->isPlaying())
        stopJukeBox();
    auto* panel = new QFileDialog(mainWindow);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    panel->setFileMode(QFileDialog::ExistingFile);
    QStringList patterns;
    for (const std::string& t : GXQTMusic::musicFileType())
        patterns << "*." + QString::fromStdString(t);
    panel->setNameFilter(localizedString("Music Files") + " (" + patterns.join(' ') + ")");
    connect(panel, &QFileDialog::finished, this, [this, panel](int result) {
        openPanelDidEnd(result == QDialog::Accepted ? 1 : 0, panel->selectedFiles().value(0));
    });
    panel->open();
}

void AppController::openPanelDidEnd(int returnCode, const QString& fileName)
{
    if (returnCode != 1 || fileName.isEmpty())
        return;
    clearResrveBox();
    openMusic(fileName);
}

bool AppController::applicationOpenFile(const QString& path)
{
    checkPlayOrReserve(path);
    return true;
}

// Recent files.

gx::RecentFiles& AppController::recentFiles()
{
    // The layout may set the outlet at any time before it is used.
    recentFiles_.setMenu(recentFileMenu);
    return recentFiles_;
}

void AppController::addFileToRecentFileList(const QString& path)
{
    recentFiles().add(path);
}

void AppController::resetRecentFileMenu()
{
    recentFiles().rebuildMenu();
}

void AppController::recentFileMenuSelected(QAction* item)
{
    const QString path = recentFiles().pathFor(item);
    if (path.isEmpty())
        return;
    clearResrveBox();
    openMusic(path);
}

void AppController::clearRecentMenu()
{
    recentFiles().clear();
}

// iTunes script and About.

gx::UserPrompts& AppController::prompts()
{
    if (!prompts_)
        prompts_ = std::make_unique<gx::DialogPrompts>(mainWindow);
    return *prompts_;
}

QString AppController::pathForScriptsFolder()
{
    return gx::ScriptInstaller::scriptsFolder();
}

QString AppController::pathForAppleScript()
{
    return gx::ScriptInstaller::installedPath();
}

void AppController::installAppleScript()
{
    if (gx::ScriptInstaller(prompts()).install())
        removeInstallAppleScriptMenuItemIfAlreladyInstalled();
}

void AppController::removeInstallAppleScriptMenuItemIfAlreladyInstalled()
{
    if (gramoluxMenu && installAppleScriptMenuItem && gx::ScriptInstaller::isInstalled())
        gramoluxMenu->removeAction(installAppleScriptMenuItem);
}

void AppController::showAboutPanel()
{
    if (!aboutPanel)
        return;
    aboutPanel->show();
    aboutPanel->raise();
    aboutPanel->activateWindow();
}
