#pragma once
// The title under which a song is shown: its display name with a leading
// track number ("01 ", "2-03 ") taken off and a known music extension cut.
#include <QString>
#include <QStringList>

namespace gx {

// The rule on a display name, with the known extensions in the order to try.
QString trackTitle(const QString& displayName, const QStringList& types);

} // namespace gx
