#include "handover/FolderLister.h"

#include "handover/NaturalOrder.h"

#include <QDir>
#include <QFileInfo>
#include <vector>

namespace gx {

FolderLister::FolderLister(QStringList playableExtensions)
    : extensions_(playableExtensions.begin(), playableExtensions.end())
{
}

bool FolderLister::playable(const QString& fileName) const
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot > 0 && extensions_.contains(fileName.sliced(dot + 1).toLower());
}

bool FolderLister::list(const QString& folder, const std::function<bool(const QString&)>& take)
{
    // Depth first, without recursion: a deep tree cannot exhaust the stack.
    // Subfolders go on in reverse, so the first comes off first.
    visited_.clear();
    std::vector<QString> pending {QDir::cleanPath(folder)};
    while (!pending.empty()) {
        const QString dir = std::move(pending.back());
        pending.pop_back();
        const QString canonical = QFileInfo(dir).canonicalFilePath();
        if (canonical.isEmpty() || visited_.contains(canonical))
            continue;
        visited_.insert(canonical);

        QStringList files;
        QStringList folders;
        // Unreadable, the folder lists as empty. Types come from the listing
        // itself where the file system tells them, so most entries cost no
        // further look at the disk.
        const QDir listing(dir, QString(), QDir::NoSort, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QFileInfo& entry : listing.entryInfoList()) {
            if (entry.isDir())
                folders << entry.fileName();
            else if (playable(entry.fileName()))
                files << entry.fileName();
        }
        const QString prefix = dir.endsWith(u'/') ? dir : dir + u'/'; // the root ends with one
        sortNaturally(files);
        for (const QString& name : files)
            if (!take(prefix + name))
                return false;
        sortNaturally(folders);
        for (auto it = folders.crbegin(); it != folders.crend(); ++it)
            pending.push_back(prefix + *it);
    }
    return true;
}

} // namespace gx
