// The files-and-menus side of the controller: track titles, the open panel
// and the system's open requests, and the About panel; the recent-files menu
// (RecentFiles) and the iTunes script installer (ScriptInstaller) are small
// classes of their own that it forwards to.
#include "controller/AppController.h"

#include "controller/ScriptInstaller.h"
#include "controller/TrackTitle.h"
#include "controller/UserPrompts.h"
#include "platform/StringTable.h"
#include "sound/GXQTMusic.h"

#include <QAction>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>

using gx::localizedString;

QString AppController::musicName(const QString& path)
{
    return gx::trackTitleOfPath(path);
}

// Opening files.

void AppController::selectMusicFile()
{
    if (isPlaying_)
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

void AppController::reserveFiles(const QStringList& paths)
{
    reserveBox_.append(paths);
    // A long listing never splits its burst: each batch counts as a request.
    lastPlayTime_ = std::chrono::steady_clock::now();
    emit playbackChanged();
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
