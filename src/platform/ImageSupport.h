#pragma once
// The turntable's artwork is TIFF, which Qt reads only through a plug-in
// that Debian ships apart from Qt itself. Without it every image loads null
// and the window would open blank and grey; the program says instead which
// package to install.
#include <QByteArray>
#include <QList>
#include <QString>

namespace gx {

// The Debian package that holds Qt's TIFF plug-in.
inline constexpr const char* kImagePluginPackage = "qt6-image-formats-plugins";

// What the user is told when `formats` (as QImageReader lists them) cannot
// read the artwork, or an empty string when they can.
QString missingImageSupport(const QList<QByteArray>& formats);

// Checks that this Qt reads the artwork; when it cannot, says which package
// is missing on standard error and in an alert and answers false. Needs the
// application.
bool reportMissingImageSupport();

} // namespace gx
