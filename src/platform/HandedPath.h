#pragma once
// Paths and file: URIs that come from outside (a playlist's entries, MPRIS,
// a second launch, the command line), made into paths we can trust before
// they are checked, shown or stored. Qt Core only; any thread.
#include <QString>

namespace gx {

// The local path a `file:` URI names, or empty when it names none: another
// scheme, another host than localhost, a relative or empty path, or one that
// decodes to a NUL or to bytes that are not UTF-8 (the name checked would
// not be the file opened).
QString localPathOfFileUri(const QString& uri);

// Absolute and clean by text alone: relative to `base`, "." and ".." and
// doubled slashes gone, and no ".." left above the root ("/../x" is "/x").
// Empty for a path holding a NUL, which no file can have.
QString cleanAbsolutePath(const QString& path, const QString& base);

// As cleanAbsolutePath, but where the file exists its name as the file
// system resolves it, so a ".." after a symbolic link goes where the system
// goes. `base` empty is the current folder.
QString handedPath(const QString& path, const QString& base = {});

} // namespace gx
