#include "sound/TrackTitle.h"

#include "sound/Sound.h"

#include <QFileInfo>

namespace gx {

QString trackTitle(const QString& displayName, const QStringList& types)
{
    qsizetype start = 0;
    while (start < displayName.size()) {
        const QChar c = displayName[start];
        if ((c >= u'0' && c <= u'9') || c == u'-') {
            ++start;
            continue;
        }
        if (c == u' ')
            ++start;
        break;
    }
    const QString name = displayName.mid(start);
    for (const QString& t : types) {
        const qsizetype at = name.indexOf(QLatin1Char('.') + t, 0, Qt::CaseSensitive);
        if (at >= 0)
            return name.left(at);
    }
    return name;
}

QString menuItemText(const QString& title)
{
    return QString(title).replace('&', QLatin1String("&&"));
}

QString windowTitleText(const QString& title)
{
    return QString(title).replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

QStringList titleTypes()
{
    QStringList types;
    for (const std::string& t : Sound::acceptedTypes())
        types << QString::fromStdString(t);
    types << "flac"
          << "FLAC"
          << "ogg"
          << "OGG"
          << "opus"
          << "OPUS";
    return types;
}

QString trackTitleOfPath(const QString& path)
{
    return trackTitle(QFileInfo(path).fileName(), titleTypes());
}

QString joinedNames(const std::vector<std::string>& names)
{
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list.join(QStringLiteral(", "));
}

} // namespace gx
