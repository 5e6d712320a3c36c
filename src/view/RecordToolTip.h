#pragma once
// What hovering the record says: the song as its tags name it.
#include <QString>

namespace gx {

// "Artist — Title (Album)" with the parts the tags give, the title from the
// tags or else `fileTitle` (the title the window shows); only that title when
// the tags name neither artist nor album. Empty with no song. The joining
// texts come from the string table.
QString recordToolTip(const QString& artist, const QString& title, const QString& album, const QString& fileTitle);

// "1:23 / 4:56": where the song stands and its length.
QString songTimeText(double elapsed, double total);
// "−6.2 dB", "+1.5 dB": a gain to a tenth of a decibel, signed.
QString gainText(double db);
// "4:56", whole seconds.
QString minutesAndSeconds(double seconds);

} // namespace gx
