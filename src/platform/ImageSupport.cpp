#include "platform/ImageSupport.h"

#include "platform/StringTable.h"

#include <QImageReader>
#include <QMessageBox>
#include <cstdio>

namespace gx {

QString missingImageSupport(const QList<QByteArray>& formats)
{
    if (formats.contains(QByteArrayLiteral("tiff")))
        return {};
    return localizedString("Gramolux cannot draw its turntable: the TIFF image plug-in of Qt is missing. "
                           "Please install the package %1 and start Gramolux again.")
        .arg(QLatin1String(kImagePluginPackage));
}

bool reportMissingImageSupport()
{
    const QString problem = missingImageSupport(QImageReader::supportedImageFormats());
    if (problem.isEmpty())
        return true;
    std::fprintf(stderr, "gramolux: %s\n", qPrintable(problem));
    QMessageBox::critical(nullptr, localizedString("Gramolux"), problem);
    return false;
}

} // namespace gx
