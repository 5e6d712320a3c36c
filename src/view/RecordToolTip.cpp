#include "view/RecordToolTip.h"

#include "platform/StringTable.h"

#include <algorithm>
#include <cmath>

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

QString minutesAndSeconds(double seconds)
{
    const auto whole = static_cast<long long>(std::max(0.0, seconds));
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString gainText(double db)
{
    const QString number = QString::number(std::abs(db), 'f', 1);
    // A true minus sign, and none on a gain that rounds to nothing.
    if (number == "0.0")
        return "0.0 dB";
    return (db < 0.0 ? QString(u'\u2212') : QString("+")) + number + " dB";
}

QString songTimeText(double elapsed, double total)
{
    return localizedString("%1 / %2").arg(minutesAndSeconds(elapsed), minutesAndSeconds(total));
}

} // namespace gx
