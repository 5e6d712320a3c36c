#include "app/RecentFiles.h"

#include "platform/StringTable.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/TrackTitle.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace gx {

RecentFiles::RecentFiles(QObject* context, std::function<void(QAction*)> chosen)
    : context_(context)
    , chosen_(std::move(chosen))
{
}

QStringList RecentFiles::paths() const
{
    return UserDefaults::standardUserDefaults().stringListForKey(keys::recentFiles);
}

void RecentFiles::add(const QString& path)
{
    QStringList list = paths();
    list.removeAll(path);
    list.prepend(path);
    if (list.size() > kMaxFiles)
        list.removeLast();
    UserDefaults::standardUserDefaults().setStringList(list, keys::recentFiles);
    rebuildMenu();
}

void RecentFiles::rebuildMenu()
{
    QStringList list = paths();
    bool changed = false;
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        if (!QFileInfo::exists(list[i])) {
            list.removeAt(i);
            changed = true;
        }
    }
    if (menu_) {
        // The chosen item may be the one being delivered: let it go later.
        for (QAction* old : menu_->actions()) {
            menu_->removeAction(old);
            old->deleteLater();
        }
        for (const QString& path : list) {
            QAction* item = menu_->addAction(menuItemText(trackTitleOfPath(path)));
            QObject::connect(item, &QAction::triggered, context_, [this, item] { chosen_(item); });
        }
        const QString clearTitle = localizedString("Clear Menu");
        if (!list.isEmpty()) {
            menu_->addSeparator();
            QAction* clearItem = menu_->addAction(clearTitle);
            QObject::connect(clearItem, &QAction::triggered, context_, [this] { clear(); });
        } else {
            menu_->addAction(clearTitle)->setEnabled(false);
        }
    }
    if (changed)
        UserDefaults::standardUserDefaults().setStringList(list, keys::recentFiles);
}

QString RecentFiles::pathFor(QAction* item) const
{
    if (!menu_)
        return {};
    const qsizetype position = menu_->actions().indexOf(item);
    const QStringList list = paths();
    if (position < 0 || position >= list.size())
        return {};
    return list[position];
}

void RecentFiles::clear()
{
    UserDefaults::standardUserDefaults().setStringList(QStringList(), keys::recentFiles);
    rebuildMenu();
}

} // namespace gx
