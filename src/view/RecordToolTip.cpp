#include "view/RecordToolTip.h"

#include "platform/StringTable.h"

namespace gx {

QString recordToolTip(const QString& artist, const QString& title, const QString& album, const QString& fileTitle)
{
    const QString a = artist.trimmed();
    const QString b = album.trimmed();
    const QString t = title.trimmed().isEmpty() ? fileTitle : title.trimmed();
    if (t.isEmpty())
        return {};
    if (!a.isEmpty() && !b.isEmpty())
        return localizedString("%1 — %2 (%3)").arg(a, t, b);
    if (!a.isEmpty())
        return localizedString("%1 — %2").arg(a, t);
    if (!b.isEmpty())
        return localizedString("%1 (%2)").arg(t, b);
    return t;
}

} // namespace gx
