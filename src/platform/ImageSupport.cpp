#include "platform/ImageSupport.h"

#include "platform/ResourceNames.h"
#include "platform/Resources.h"
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
    // Reading the background's header loads only the TIFF plug-in, which the
    // view needs next anyway; listing every format would load every plug-in
    // (some 13 ms at start-up), so that is asked only when the artwork does
    // not read. Missing artwork is not this check's business.
    const std::string background = pathForResource(std::string(resources::background) + ".tif");
    if (background.empty() || QImageReader(QString::fromStdString(background)).canRead())
        return true;
    const QString problem = missingImageSupport(QImageReader::supportedImageFormats());
    if (problem.isEmpty())
        return true;
    std::fprintf(stderr, "gramolux: %s\n", qPrintable(problem));
    QMessageBox::critical(nullptr, localizedString("Gramolux"), problem);
    return false;
}

} // namespace gx
