#pragma once
// The recent-files list and its menu. The list lives in the settings under
// recentFiles, newest first, at most 20 paths; the menu shows each file's
// track title, then "Clear Menu". Main thread only.
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QObject;

namespace gx {

class RecentFiles {
public:
    static constexpr int kMaxFiles = 20;

    // `chosen` runs when the item of a file is triggered; the connections
    // live as long as `context`.
    RecentFiles(QObject* context, std::function<void(QAction*)> chosen);

    // The menu to keep; null keeps none.
    void setMenu(QMenu* menu) { menu_ = menu; }

    QStringList paths() const;
    // Puts the path first (once) and rebuilds the menu.
    void add(const QString& path);
    // Rebuilds the menu, dropping files that are gone from the list too.
    void rebuildMenu();
    // The file behind a menu item; empty for any other action.
    QString pathFor(QAction* item) const;
    // Empties the list and the menu.
    void clear();

private:
    QObject* context_;
    std::function<void(QAction*)> chosen_;
    QMenu* menu_ = nullptr;
};

} // namespace gx
