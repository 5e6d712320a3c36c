#pragma once
// Names in the order a person sorts them: "2 Song" before "10 Song", case
// and accents ignored ("élan" beside "Elan", not after "Zebra"), a name's
// extension compared after the rest ("Song.mp3" before "Song 2.mp3").
// Plain code on strings; the same order in every locale.
#include <QString>
#include <QStringList>

namespace gx {

// A key whose plain comparison gives that order between different names.
QString naturalSortKey(const QString& name);

// Names in that order; names whose keys are equal ("01" and "1", "a" and
// "A") keep a fixed order by their own characters.
void sortNaturally(QStringList& names);

} // namespace gx
