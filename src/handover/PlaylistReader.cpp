#include "handover/PlaylistReader.h"

#include "platform/HandedPath.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <map>

namespace gx {

namespace {

// Every line end (CR LF, a lone CR, LF) as LF.
QString withLineFeeds(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
}

QString decoded(QByteArray text)
{
    // UTF-16 only with its byte-order mark, which the decoder drops.
    if (text.startsWith("\xFF\xFE") || text.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(text.startsWith("\xFF") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return withLineFeeds(utf16(text));
    }
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    text.replace("\r\n", "\n").replace('\r', '\n');
    // M3U8 is UTF-8; older M3U files are often Latin-1, which any byte is.
    // Line by line, so that one odd line leaves the others as they are.
    QStringList lines;
    for (const QByteArray& line : text.split('\n')) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decodedLine = utf8(line);
        lines << (utf8.hasError() ? QString::fromLatin1(line) : decodedLine);
    }
    return lines.join(u'\n');
}

// An entry as a path, or empty when it names no local file.
QString resolved(const QString& entry, const QString& folder)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (entry.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return cleanAbsolutePath(localPathOfFileUri(entry), folder);
    if (!entry.startsWith(u'/') && scheme.match(entry).hasMatch())
        return {};
    return cleanAbsolutePath(entry, folder);
}

QStringList entryTexts(const QString& text, PlaylistKind kind)
{
    QStringList entries;
    if (kind == PlaylistKind::m3u) {
        for (QStringView line : QStringView(text).split(u'\n')) {
            line = line.trimmed();
            if (!line.isEmpty() && !line.startsWith(u'#'))
                entries << line.toString();
        }
        return entries;
    }
    // PLS: an INI section whose FileN keys may come in any order.
    static const QRegularExpression fileKey(QStringLiteral("^\\s*file(\\d+)\\s*=(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    std::multimap<qulonglong, QString> numbered;
    for (auto m = fileKey.globalMatch(text); m.hasNext();) {
        const QRegularExpressionMatch match = m.next();
        const QString value = match.captured(2).trimmed();
        if (!value.isEmpty())
            numbered.emplace(match.captured(1).toULongLong(), value);
    }
    for (const auto& [number, value] : numbered)
        entries << value;
    return entries;
}

} // namespace

PlaylistKind playlistKindOf(const QString& path)
{
    const QString name = path.section(u'/', -1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return PlaylistKind::none;
    const QString ext = name.sliced(dot + 1).toLower();
    if (ext == QLatin1String("m3u") || ext == QLatin1String("m3u8"))
        return PlaylistKind::m3u;
    if (ext == QLatin1String("pls"))
        return PlaylistKind::pls;
    return PlaylistKind::none;
}

PlaylistEntries readPlaylist(const QByteArray& text, PlaylistKind kind, const QString& folder)
{
    PlaylistEntries result;
    if (kind == PlaylistKind::none)
        return result;
    for (const QString& entry : entryTexts(decoded(text), kind)) {
        const QString path = resolved(entry, folder);
        if (path.isEmpty())
            ++result.unusable;
        else
            result.paths << path;
    }
    return result;
}

} // namespace gx
