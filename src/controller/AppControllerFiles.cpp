// The files-and-menus side of the controller: track titles, the open panel
// and the system's open requests, the recent-files menu, the iTunes script
// installer and the About panel.
#include "controller/AppController.h"

#include "controller/TrackTitle.h"
#include "platform/Resources.h"
#include "platform/StringTable.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/GXQTMusic.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>

using gx::localizedString;
using gx::UserDefaults;
namespace keys = gx::keys;

namespace {

QStringList musicTypes()
{
    QStringList types;
    for (const std::string& t : GXQTMusic::musicFileType())
        types << QString::fromStdString(t);
    return types;
}

QStringList storedRecentFiles()
{
    return UserDefaults::standardUserDefaults().stringListForKey(keys::recentFiles);
}

// A modal alert whose buttons, like its texts, come from the string table;
// answers the index of the button pressed, the first being the default.
int runAlert(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& message,
             const QStringList& buttons)
{
    QMessageBox box(icon, localizedString(title), localizedString(message), QMessageBox::NoButton, parent);
    QList<QAbstractButton*> made;
    for (const QString& text : buttons)
        made << box.addButton(localizedString(text),
                              made.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    box.setDefaultButton(qobject_cast<QPushButton*>(made.value(0)));
    box.exec();
    return static_cast<int>(made.indexOf(box.clickedButton()));
}

} // namespace

QString AppController::musicName(const QString& path)
{
    return gx::trackTitle(QFileInfo(path).fileName(), musicTypes());
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
    for (const QString& t : musicTypes())
        patterns << "*." + t;
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

void AppController::addFileToRecentFileList(const QString& path)
{
    QStringList list = storedRecentFiles();
    list.removeAll(path);
    list.prepend(path);
    if (list.size() > 20)
        list.removeLast();
    UserDefaults::standardUserDefaults().setStringList(list, keys::recentFiles);
    resetRecentFileMenu();
}

void AppController::resetRecentFileMenu()
{
    QStringList list = storedRecentFiles();
    bool changed = false;
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        if (!QFileInfo::exists(list[i])) {
            list.removeAt(i);
            changed = true;
        }
    }
    if (recentFileMenu) {
        // The chosen item may be the one being delivered: let it go later.
        for (QAction* old : recentFileMenu->actions()) {
            recentFileMenu->removeAction(old);
            old->deleteLater();
        }
        for (const QString& path : list) {
            QAction* item = recentFileMenu->addAction(gx::menuItemText(musicName(path)));
            connect(item, &QAction::triggered, this, [this, item] { recentFileMenuSelected(item); });
        }
        const QString clearTitle = localizedString("Clear Menu");
        if (!list.isEmpty()) {
            recentFileMenu->addSeparator();
            QAction* clear = recentFileMenu->addAction(clearTitle);
            connect(clear, &QAction::triggered, this, [this] { clearRecentMenu(); });
        } else {
            recentFileMenu->addAction(clearTitle)->setEnabled(false);
        }
    }
    if (changed)
        UserDefaults::standardUserDefaults().setStringList(list, keys::recentFiles);
}

void AppController::recentFileMenuSelected(QAction* item)
{
    if (!recentFileMenu)
        return;
    const qsizetype position = recentFileMenu->actions().indexOf(item);
    const QStringList list = storedRecentFiles();
    if (position < 0 || position >= list.size())
        return;
    clearResrveBox();
    openMusic(list[position]);
}

void AppController::clearRecentMenu()
{
    UserDefaults::standardUserDefaults().setStringList(QStringList(), keys::recentFiles);
    resetRecentFileMenu();
}

// iTunes script and About.

QString AppController::pathForScriptsFolder()
{
    return QDir::homePath() + "/Library/iTunes/Scripts";
}

QString AppController::pathForAppleScript()
{
    return pathForScriptsFolder() + "/" + localizedString("Play with Gramolux") + ".scpt";
}

void AppController::installAppleScript()
{
    const QString source = QString::fromStdString(gx::resourcePath()) + "/script_for_iTunes.scpt";
    if (!QFileInfo::exists(source))
        return;
    const bool yes = askToInstallScript
                         ? askToInstallScript()
                         : runAlert(mainWindow, QMessageBox::Question, "Do you want to install the script file?",
                                    "An AppleScript file will be created in your ~/Library/iTunes/Scripts directory.",
                                    {"Yes", "No"}) == 0;
    if (!yes)
        return;
    const QString folder = pathForScriptsFolder();
    if (!QFileInfo::exists(folder))
        QDir().mkdir(folder); // only the folder itself, never the ones above

    // Written beside its destination and renamed over it, so a failure never
    // leaves half a file or a stray temporary file behind.
    bool copied = false;
    QFile in(source);
    if (in.open(QIODevice::ReadOnly)) {
        QSaveFile out(pathForAppleScript());
        copied = out.open(QIODevice::WriteOnly) && out.write(in.readAll()) == in.size() && out.commit();
    }
    if (!copied) {
        beep ? beep() : QApplication::beep();
        return;
    }
    if (tellScriptInstalled)
        tellScriptInstalled();
    else
        runAlert(mainWindow, QMessageBox::Information, "Installation was successful.",
                 "If iTunes is running, please relaunch it.", {"OK"});
    removeInstallAppleScriptMenuItemIfAlreladyInstalled();
}

void AppController::removeInstallAppleScriptMenuItemIfAlreladyInstalled()
{
    if (gramoluxMenu && installAppleScriptMenuItem && QFileInfo::exists(pathForAppleScript()))
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
