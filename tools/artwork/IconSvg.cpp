// The application icon as SVG, for the scalable icon theme folder: the same
// record, plinth and tone arm as renderIcon on its 256-unit square, written
// as vector elements. SVG has no conical gradient, so the platter rim and the
// groove sheen are approximated with linear ones; everything else is exact.
#include "ArtCommon.h"
#include "Painters.h"

#include <QFile>
#include <QPointF>
#include <QTextStream>
#include <cmath>
#include <numbers>

namespace gx::art {

namespace {

QString num(double v)
{
    return QString::number(v, 'g', 6);
}
QString pt(QPointF p)
{
    return num(p.x()) + ',' + num(p.y());
}

// An annular sector around c between radii r0 and r1, from a0 to a1 degrees
// (counter-clockwise on screen, 0 at three o'clock).
QString sectorPath(QPointF c, double r0, double r1, double a0, double a1)
{
    auto at = [c](double r, double deg) {
        const double a = deg * std::numbers::pi / 180.0;
        return QPointF(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
    };
    return QStringLiteral("M%1 L%2 A%3,%3 0 0,0 %4 L%5 A%6,%6 0 0,1 %7 Z")
        .arg(pt(at(r0, a0)), pt(at(r1, a0)), num(r1), pt(at(r1, a1)), pt(at(r0, a1)), num(r0), pt(at(r0, a0)));
}

} // namespace

QString renderIconSvg()
{
    const QPointF c(110, 134);
    const QPointF pivot(204, 66), head(150, 186);
    const QPointF dir = (head - pivot) / std::hypot(head.x() - pivot.x(), head.y() - pivot.y());
    const QPointF rear = pivot - dir * 26;
    const double headAngle = std::atan2(dir.y(), dir.x()) * 180.0 / std::numbers::pi + 24.0;

    QString svg;
    QTextStream s(&svg);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
         "<defs>\n"
         "<linearGradient id=\"wood\" gradientUnits=\"userSpaceOnUse\" x1=\"18\" y1=\"34\" x2=\"238\" y2=\"230\">"
         "<stop offset=\"0\" stop-color=\"#ce8a4c\"/><stop offset=\"0.55\" stop-color=\"#a05e2e\"/>"
         "<stop offset=\"1\" stop-color=\"#703c1c\"/></linearGradient>\n";
    // The rim is bright towards upper left and lower right, dark across.
    s << "<linearGradient id=\"rim\" gradientUnits=\"userSpaceOnUse\" x1=\"" << num(c.x() + 62) << "\" y1=\""
      << num(c.y() - 62) << "\" x2=\"" << num(c.x() - 62) << "\" y2=\"" << num(c.y() + 62) << "\">"
      << "<stop offset=\"0\" stop-color=\"#6e7078\"/><stop offset=\"0.5\" stop-color=\"#f6f6f8\"/>"
         "<stop offset=\"1\" stop-color=\"#6e7078\"/></linearGradient>\n";
    s << "<radialGradient id=\"label\" gradientUnits=\"userSpaceOnUse\" cx=\"" << num(c.x()) << "\" cy=\"" << num(c.y())
      << "\" r=\"30\"><stop offset=\"0\" stop-color=\"#c4242c\"/>"
      << "<stop offset=\"1\" stop-color=\"#80101a\"/></radialGradient>\n";
    s << "<radialGradient id=\"base\" gradientUnits=\"userSpaceOnUse\" cx=\"" << num(pivot.x()) << "\" cy=\""
      << num(pivot.y()) << "\" r=\"22\" fx=\"" << num(pivot.x() - 6) << "\" fy=\"" << num(pivot.y() - 6) << "\">"
      << "<stop offset=\"0\" stop-color=\"#787882\"/><stop offset=\"1\" stop-color=\"#1c1c20\"/></radialGradient>\n";
    s << "<radialGradient id=\"cap\" gradientUnits=\"userSpaceOnUse\" cx=\"" << num(pivot.x()) << "\" cy=\""
      << num(pivot.y()) << "\" r=\"10\" fx=\"" << num(pivot.x() - 3) << "\" fy=\"" << num(pivot.y() - 3) << "\">"
      << "<stop offset=\"0\" stop-color=\"#ffffff\"/><stop offset=\"1\" stop-color=\"#6e707a\"/></radialGradient>\n";
    // Sheen: each highlight fades out to both sides of its middle.
    for (const int side : {0, 1}) {
        const double a = (side == 0 ? 135.0 : 315.0) * std::numbers::pi / 180.0;
        const QPointF across(-std::sin(a) * 30, -std::cos(a) * 30);
        const QPointF mid(c.x() + 57 * std::cos(a), c.y() - 57 * std::sin(a));
        const int alpha = side == 0 ? 120 : 70;
        s << "<linearGradient id=\"sheen" << side << "\" gradientUnits=\"userSpaceOnUse\" x1=\""
          << num((mid - across).x()) << "\" y1=\"" << num((mid - across).y()) << "\" x2=\"" << num((mid + across).x())
          << "\" y2=\"" << num((mid + across).y()) << "\">"
          << "<stop offset=\"0\" stop-color=\"#fff\" stop-opacity=\"0\"/>"
          << "<stop offset=\"0.5\" stop-color=\"#fff\" stop-opacity=\"" << num(alpha / 255.0) << "\"/>"
          << "<stop offset=\"1\" stop-color=\"#fff\" stop-opacity=\"0\"/></linearGradient>\n";
    }
    for (const int blur : {6, 4})
        s << "<filter id=\"soft" << blur << "\" x=\"-20%\" y=\"-20%\" width=\"140%\" height=\"140%\">"
          << "<feGaussianBlur stdDeviation=\"" << blur << "\"/></filter>\n";
    s << "<clipPath id=\"plinth\"><rect x=\"18\" y=\"34\" width=\"220\" height=\"196\" rx=\"26\"/></clipPath>\n"
         "</defs>\n";

    // Plinth with its shadow and grain.
    s << "<rect x=\"18\" y=\"39\" width=\"220\" height=\"196\" rx=\"26\" fill=\"#000\" fill-opacity=\""
      << num(110 / 255.0) << "\" filter=\"url(#soft6)\"/>\n"
      << "<rect x=\"18\" y=\"34\" width=\"220\" height=\"196\" rx=\"26\" fill=\"url(#wood)\" stroke=\"#46220a\" "
         "stroke-width=\"2.5\"/>\n<g clip-path=\"url(#plinth)\" fill=\"none\" stroke-width=\"1.2\">\n";
    for (int i = 0; i < 22; ++i) {
        const double y = 40 + i * 9.0 + 3.0 * hash01(i, 0, 5u);
        QString points = pt(QPointF(10, y));
        for (int k = 1; k <= 8; ++k)
            points += ' ' + pt(QPointF(10 + k * 30.0, y + 4.0 * (valueNoise(k * 0.6, i * 0.7, 6u) - 0.5)));
        s << "<polyline points=\"" << points << "\" stroke=\"#5a2c10\" stroke-opacity=\""
          << num((40 + int(40 * hash01(i, 1, 7u))) / 255.0) << "\"/>\n";
    }
    s << "</g>\n";

    // Platter rim, record and grooves.
    s << "<circle cx=\"" << num(c.x()) << "\" cy=\"" << num(c.y()) << "\" r=\"88\" fill=\"url(#rim)\"/>\n"
      << "<circle cx=\"" << num(c.x()) << "\" cy=\"" << num(c.y()) << "\" r=\"83\" fill=\"#121214\"/>\n"
      << "<g fill=\"none\">\n";
    for (double r = 38; r < 80; r += 3.2)
        s << "<circle cx=\"" << num(c.x()) << "\" cy=\"" << num(c.y()) << "\" r=\"" << num(r)
          << "\" stroke=\"#3c3c42\" stroke-opacity=\"" << num(110 / 255.0) << "\" stroke-width=\"0.9\"/>\n";
    for (const double r : {52.0, 66.0})
        s << "<circle cx=\"" << num(c.x()) << "\" cy=\"" << num(c.y()) << "\" r=\"" << num(r)
          << "\" stroke=\"#060608\" stroke-width=\"2\"/>\n";
    s << "</g>\n";
    s << "<path d=\"" << sectorPath(c, 32, 82, 135 - 21.6, 135 + 21.6) << "\" fill=\"url(#sheen0)\"/>\n"
      << "<path d=\"" << sectorPath(c, 32, 82, 315 - 21.6, 315 + 21.6) << "\" fill=\"url(#sheen1)\"/>\n";

    // Label.
    s << "<circle cx=\"" << num(c.x()) << "\" cy=\"" << num(c.y()) << "\" r=\"30\" fill=\"url(#label)\"/>\n"
      << "<circle cx=\"" << num(c.x()) << "\" cy=\"" << num(c.y())
      << "\" r=\"25\" fill=\"none\" stroke=\"#f4e4c4\" "
         "stroke-width=\"2\"/>\n"
      << "<g stroke=\"#f4e4c4\" stroke-width=\"2.2\" stroke-linecap=\"round\">"
      << "<line x1=\"" << num(c.x() - 14) << "\" y1=\"" << num(c.y() - 9) << "\" x2=\"" << num(c.x() + 14) << "\" y2=\""
      << num(c.y() - 9) << "\"/><line x1=\"" << num(c.x() - 9) << "\" y1=\"" << num(c.y() + 10) << "\" x2=\""
      << num(c.x() + 9) << "\" y2=\"" << num(c.y() + 10) << "\"/></g>\n"
      << "<circle cx=\"" << num(c.x()) << "\" cy=\"" << num(c.y()) << "\" r=\"4\" fill=\"#dcdee4\"/>\n";

    // Tone arm: shadow, base, counterweight, tube, headshell, cap.
    auto line = [&s](QPointF a, QPointF b, const char* colour, double width, const char* cap, const char* extra = "") {
        s << "<line x1=\"" << num(a.x()) << "\" y1=\"" << num(a.y()) << "\" x2=\"" << num(b.x()) << "\" y2=\""
          << num(b.y()) << "\" stroke=\"" << colour << "\" stroke-width=\"" << num(width) << "\" stroke-linecap=\""
          << cap << "\"" << extra << "/>\n";
    };
    line(rear + QPointF(5, 6), head + QPointF(5, 6), "#000", 10, "round",
        QStringLiteral(" stroke-opacity=\"%1\" filter=\"url(#soft4)\"").arg(num(120 / 255.0)).toUtf8().constData());
    s << "<circle cx=\"" << num(pivot.x()) << "\" cy=\"" << num(pivot.y())
      << "\" r=\"21\" fill=\"url(#base)\" stroke=\"#0a0a0c\" stroke-width=\"1.5\"/>\n";
    line(pivot - dir * 12, rear, "#28282e", 20, "butt");
    line(pivot - dir * 13, rear + dir * 1, "#c4c6ce", 16, "butt");
    line(pivot, head, "#28282e", 10, "round");
    line(pivot, head, "#d6d8e0", 7, "round");
    line(pivot + QPointF(-2, -1), head + QPointF(-2, -1), "#fff", 2, "round",
        QStringLiteral(" stroke-opacity=\"%1\"").arg(num(230 / 255.0)).toUtf8().constData());
    s << "<g transform=\"translate(" << pt(head) << ") rotate(" << num(headAngle) << ")\" stroke=\"#1e1e22\" "
      << "stroke-width=\"1.5\"><rect x=\"-6\" y=\"-9\" width=\"30\" height=\"18\" rx=\"4\" fill=\"#e8eaf0\"/>"
      << "<rect x=\"14\" y=\"-6\" width=\"12\" height=\"12\" fill=\"#1e1e22\"/></g>\n";
    s << "<circle cx=\"" << num(pivot.x()) << "\" cy=\"" << num(pivot.y())
      << "\" r=\"10\" fill=\"url(#cap)\" stroke=\"#141418\" stroke-width=\"1.2\"/>\n";
    s << "</svg>\n";
    return svg;
}

bool writeText(const QString& path, const QString& text, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

} // namespace gx::art
