#pragma once
// The songs a folder stands for: the files in it and in its subfolders whose
// extension is a playable one, in natural order, each folder's own files
// before its subfolders. Other files, hidden ones and broken links are
// passed over; an unreadable subfolder gives nothing; a folder reached again
// within one listing (a symbolic-link loop, two links to one folder) is
// listed once.
//
// Threads: one lister on one thread at a time; it is made for a worker, as
// a large tree on a slow disk takes a while.
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

namespace gx {

class FolderLister {
public:
    // Extensions without the dot, in lower case; a file's is compared in
    // lower case.
    explicit FolderLister(QStringList playableExtensions);

    // Hands each song's path to take, in order, until take answers false;
    // answers whether it went to the end.
    bool list(const QString& folder, const std::function<bool(const QString&)>& take);

private:
    bool playable(const QString& fileName) const;

    QSet<QString> extensions_;
    // Canonical paths of the folders listed so far by this list().
    QSet<QString> visited_;
};

} // namespace gx
