#include "app/ScriptInstaller.h"

#include "app/UserPrompts.h"
#include "platform/ResourceNames.h"
#include "platform/Resources.h"
#include "platform/StringTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace gx {

QString ScriptInstaller::scriptsFolder()
{
    return QDir::homePath() + "/Library/iTunes/Scripts";
}

QString ScriptInstaller::installedPath()
{
    return scriptsFolder() + "/" + localizedString("Play with Gramolux") + ".scpt";
}

bool ScriptInstaller::isInstalled()
{
    return QFileInfo::exists(installedPath());
}

bool ScriptInstaller::install()
{
    const QString source = QString::fromStdString(resourcePath()) + "/" + resources::iTunesScript;
    if (!QFileInfo::exists(source) || !prompts_.askToInstallScript())
        return false;
    const QString folder = scriptsFolder();
    if (!QFileInfo::exists(folder))
        QDir().mkdir(folder); // only the folder itself, never the ones above

    // Written beside its destination and renamed over it, so a failure never
    // leaves half a file or a stray temporary file behind.
    bool copied = false;
    QFile in(source);
    if (in.open(QIODevice::ReadOnly)) {
        QSaveFile out(installedPath());
        copied = out.open(QIODevice::WriteOnly) && out.write(in.readAll()) == in.size() && out.commit();
    }
    if (!copied) {
        prompts_.beep();
        return false;
    }
    prompts_.tellScriptInstalled();
    return true;
}

} // namespace gx
