#pragma once
// The title under which a song is shown: its display name with a leading
// track number ("01 ", "2-03 ") taken off and a known music extension cut.
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace gx {

// The rule on a display name, with the known extensions in the order to try.
QString trackTitle(const QString& displayName, const QStringList& types);

// The extensions a title loses: the types the drop and the Open dialog take,
// then the ones only a hand-over brings (FLAC, Ogg, Opus). The later ones come
// last so a name that holds both keeps the cut it always had.
QStringList titleTypes();

// The title of a file's path, after titleTypes().
QString trackTitleOfPath(const QString& path);

// A title as a menu item's text: a menu takes "&" as the mark of a shortcut.
QString menuItemText(const QString& title);
// A title as a window's title: a window takes "[*]" as the mark of unsaved
// changes.
QString windowTitleText(const QString& title);

// Names from a song's tags (its artists, say) as one line: "A, B".
QString joinedNames(const std::vector<std::string>& names);

} // namespace gx
