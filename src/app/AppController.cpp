#include "app/AppController.h"

#include "platform/Logging.h"

#include "app/ScriptInstaller.h"
#include "app/UserPrompts.h"
#include "engine/EffectSounds.h"
#include "platform/NotificationCenter.h"
#include "platform/StringTable.h"
#include "platform/ThreadName.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/Sound.h"
#include "sound/TrackTitle.h"

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
    std::future<std::shared_ptr<EffectSounds>> preload;
    {
        std::lock_guard lock(preloadMutex);
        preload = std::move(preloaded());
    }
    // Waited for, or loaded here, with the lock let go.
    return preload.valid() ? preload.get() : EffectSounds::load();
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
    } catch (const std::system_error& e) {
        // No thread to be had: setUp loads them itself.
        qCWarning(gx::logApp) << "Thread gx-preload cannot start:" << e.what();
    }
}

void AppController::startPreopenedSong()
{
    // The dial's rate is 1.0 until the engine exists, as the engine starts it.
    gx::Sound::playPreopened(
        UserDefaults::standardUserDefaults().floatForKey(keys::musicVolume), gx::startingRate(1.0f));
}

void AppController::initialize()
{
    keys::registerDefaults();
    gx::Sound::initialize();
}

AppController::AppController(QObject* parent)
    : QObject(parent)
    , recentFiles_(this, [this](QAction* item) { recentFileChosen(item); })
{
    initialize();
}

// The player and the engine go first: the engine stops, and its loops end
// while the model and the sounds they drive still exist.
AppController::~AppController()
{
    player_.reset();
    jukebox_.reset();
}

void AppController::setUp()
{
    rebuildRecentMenu();
    jukebox_ = std::make_unique<gx::Jukebox>(
        *turntable, takeEffectSounds(), UserDefaults::standardUserDefaults(), NotificationCenter::defaultCenter());
    player_ = std::make_unique<gx::Player>(*jukebox_, *turntable, UserDefaults::standardUserDefaults());
    connect(player_.get(), &gx::Player::songOpened, this, &AppController::songOpened);
    hideInstallItemIfInstalled();
}

// Every open, by whatever road, is told here first.
void AppController::songOpened(const QString& path, const QString& notice)
{
    addRecentFile(path);
    if (mainWindow)
        mainWindow->setWindowTitle(gx::windowTitleText(gx::trackTitleOfPath(path)));
    // Told, not asked: a dialog would hold up a queue behind this file.
    if (!notice.isEmpty())
        prompts().beep();
    emit songNoticeChanged(notice);
}

// Opening files.

void AppController::showOpenDialog()
{
    if (jukebox_->isPlaying())
        jukebox_->stop();
    auto* panel = new QFileDialog(mainWindow);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    panel->setFileMode(QFileDialog::ExistingFile);
    QStringList patterns;
    for (const std::string& t : gx::Sound::acceptedTypes())
        patterns << "*." + QString::fromStdString(t);
    panel->setNameFilter(localizedString("Music Files") + " (" + patterns.join(' ') + ")");
    connect(panel, &QFileDialog::finished, this, [this, panel](int result) {
        openDialogFinished(result == QDialog::Accepted ? 1 : 0, panel->selectedFiles().value(0));
    });
    panel->open();
}

void AppController::openDialogFinished(int returnCode, const QString& fileName)
{
    if (returnCode != 1 || fileName.isEmpty())
        return;
    player_->open(fileName, gx::Player::Road::openDialog);
}

// Recent files.

gx::RecentFiles& AppController::recentFiles()
{
    // The layout may set the outlet at any time before it is used.
    recentFiles_.setMenu(recentMenu);
    return recentFiles_;
}

void AppController::addRecentFile(const QString& path)
{
    recentFiles().add(path);
}

void AppController::rebuildRecentMenu()
{
    recentFiles().rebuildMenu();
}

void AppController::recentFileChosen(QAction* item)
{
    const QString path = recentFiles().pathFor(item);
    if (path.isEmpty())
        return;
    player_->open(path, gx::Player::Road::recentMenu);
}

// iTunes script and About.

gx::UserPrompts& AppController::prompts()
{
    if (!prompts_)
        prompts_ = std::make_unique<gx::DialogPrompts>(mainWindow);
    return *prompts_;
}

void AppController::installScript()
{
    if (gx::ScriptInstaller(prompts()).install())
        hideInstallItemIfInstalled();
}

void AppController::hideInstallItemIfInstalled()
{
    if (appMenu && installScriptItem && gx::ScriptInstaller::isInstalled())
        appMenu->removeAction(installScriptItem);
}

void AppController::showAbout()
{
    if (!aboutPanel)
        return;
    aboutPanel->show();
    aboutPanel->raise();
    aboutPanel->activateWindow();
}
