// Draws the turntable's images, the application icon and the themed icons
// (PNG sizes and a scalable SVG) into a resource folder. Everything is painted here from code; the output is
// the same on every run.
//
//   gx_make_artwork <resource-folder>
//   gx_make_artwork --preview <resource-folder> <out.png> [disc-angle] [arm-frame]
#include "platform/ResourceNames.h"

#include "ArtCommon.h"
#include "Painters.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <functional>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "gx_make_artwork: %s\n", qPrintable(message));
    return 1;
}

bool writeBoth(const QDir& dir, const QString& name, const std::function<QImage(int)>& render, QString* error)
{
    // name.tif at one pixel per point and name@2x.tif at two.
    return gx::art::writeTiff(dir.filePath(name + ".tif"), render(1), 1, error)
        && gx::art::writeTiff(dir.filePath(name + "@2x.tif"), render(2), 2, error);
}

int generate(const QString& target)
{
    QDir dir(target);
    if (!dir.mkpath(QStringLiteral(".")))
        return fail(QStringLiteral("cannot create %1").arg(target));
    const QString iconRoot = QDir::cleanPath(dir.absoluteFilePath(QStringLiteral("../icons/hicolor")));

    QString error;
    const bool ok = writeBoth(dir, QString(gx::resources::background), gx::art::renderBackground, &error)
        && writeBoth(dir, QString(gx::resources::disc), gx::art::renderDisc, &error)
        && writeBoth(dir, QString(gx::resources::reflection), gx::art::renderReflection, &error)
        && writeBoth(dir, QString(gx::resources::centrePiece), gx::art::renderCentrePiece, &error)
        && writeBoth(dir, QString(gx::resources::dial), gx::art::renderDialStrip, &error)
        && writeBoth(dir, QString(gx::resources::arm), gx::art::renderArmStrip, &error)
        && writeBoth(
            dir, QString(gx::resources::playButton), [](int s) { return gx::art::renderButton(true, s); }, &error)
        && writeBoth(
            dir, QString(gx::resources::stopButton), [](int s) { return gx::art::renderButton(false, s); }, &error)
        && gx::art::writePng(dir.filePath(QStringLiteral("icon.png")), gx::art::renderIcon(256), &error);
    if (!ok)
        return fail(error);

    for (const int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(iconRoot).arg(size);
        if (!QDir().mkpath(folder))
            return fail(QStringLiteral("cannot create %1").arg(folder));
        if (!gx::art::writePng(folder + QStringLiteral("/gramolux.png"), gx::art::renderIcon(size), &error))
            return fail(error);
    }
    const QString scalable = iconRoot + QStringLiteral("/scalable/apps");
    if (!QDir().mkpath(scalable))
        return fail(QStringLiteral("cannot create %1").arg(scalable));
    if (!gx::art::writeText(scalable + QStringLiteral("/gramolux.svg"), gx::art::renderIconSvg(), &error))
        return fail(error);
    return 0;
}

int preview(const QStringList& args)
{
    // args: --preview <resource-folder> <out.png> [disc-angle] [arm-frame]
    if (args.size() < 4)
        return fail(QStringLiteral("usage: gx_make_artwork --preview <resource-folder> <out.png> [angle] [frame]"));
    const double angle = args.size() > 4 ? args[4].toDouble() : -30.0;
    const int frame = args.size() > 5 ? args[5].toInt() : 20;
    const QImage shot = gx::art::composePreview(args[2], angle, frame, 0, true);
    if (shot.isNull())
        return fail(QStringLiteral("no artwork in %1").arg(args[2]));
    QString error;
    return gx::art::writePng(args[3], shot, &error) ? 0 : fail(error);
}

} // namespace

int main(int argc, char** argv)
{
    // Only images are painted, no text and no window, so no display is
    // needed; the image plug-ins are found through the core application.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 2 && args[1] == QLatin1String("--preview"))
        return preview(args);
    if (args.size() != 2 || args[1].isEmpty())
        return fail(QStringLiteral("usage: gx_make_artwork <resource-folder>"));
    return generate(args[1]);
}
