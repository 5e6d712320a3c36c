#include "platform/HandedPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>

namespace gx {

QString localPathOfFileUri(const QString& uri)
{
    const QUrl url(uri);
    if (!url.isValid() || !url.isLocalFile())
        return {};
    if (!url.host().isEmpty() && url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return {};
    // Decoded by hand: QUrl makes undecodable bytes U+FFFD and keeps a NUL.
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString path = utf8(bytes);
    if (utf8.hasError() || bytes.contains('\0') || !path.startsWith(u'/'))
        return {};
    return path;
}

QString cleanAbsolutePath(const QString& path, const QString& base)
{
    if (path.isEmpty() || path.contains(QChar(u'\0')))
        return {};
    QString clean = QDir::cleanPath(QDir::isAbsolutePath(path) ? path : base + u'/' + path);
    // cleanPath keeps the ".." that climb above the root; the root is its own parent.
    while (clean == QLatin1String("/..") || clean.startsWith(QLatin1String("/../")))
        clean.remove(0, 3);
    return clean.isEmpty() ? QStringLiteral("/") : clean;
}

QString handedPath(const QString& path, const QString& base)
{
    const QString from = base.isEmpty() ? QDir::currentPath() : base;
    const QString clean = cleanAbsolutePath(path, from);
    if (clean.isEmpty())
        return {};
    // Of the path as given: the system takes a ".." after a link from where the link leads.
    const QString canonical = QFileInfo(QDir(from), path).canonicalFilePath();
    return canonical.isEmpty() ? clean : canonical;
}

} // namespace gx
