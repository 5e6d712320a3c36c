// Checks the painted artwork as the turntable view will use it: sizes at both
// scales, transparency where the view relies on it, and the tone arm's and
// dial's film strips.
#include "platform/Resources.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTransform>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr double kArmFrameW = 246.0, kArmFrameH = 151.0;
constexpr int kArmFrames = 50;
constexpr double kArmStaticFrom = 233.0;

QString resourceFile(const std::string& name)
{
    return QString::fromStdString(gx::pathForResource(name));
}

// Loads a resource as straight ARGB, keeping the reader's pixel ratio.
QImage load(const std::string& name)
{
    const QString path = resourceFile(name);
    if (path.isEmpty())
        return {};
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

double luminance(QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); }

// The Compression tag (259) of a TIFF's first directory, or -1.
int tiffCompression(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray d = f.readAll();
    if (d.size() < 8)
        return -1;
    const bool little = d.startsWith("II");
    if (!little && !d.startsWith("MM"))
        return -1;
    auto u16 = [&](qsizetype at) -> unsigned {
        const auto b0 = std::uint8_t(d[at]), b1 = std::uint8_t(d[at + 1]);
        return little ? unsigned(b0 | b1 << 8) : unsigned(b1 | b0 << 8);
    };
    auto u32 = [&](qsizetype at) -> std::uint32_t {
        return little ? u16(at) | std::uint32_t(u16(at + 2)) << 16 : std::uint32_t(u16(at)) << 16 | u16(at + 2);
    };
    const std::uint32_t ifd = u32(4);
    if (qsizetype(ifd) + 2 > d.size())
        return -1;
    const unsigned entries = u16(ifd);
    for (unsigned i = 0; i < entries; ++i) {
        const qsizetype e = qsizetype(ifd) + 2 + qsizetype(i) * 12;
        if (e + 12 > d.size())
            return -1;
        if (u16(e) == 259)
            return int(u16(e + 8));
    }
    return -1;
}

// One frame of a film strip, in pixels of a strip at `scale`.
QImage frameOf(const QImage& strip, int index, double wPt, double hPt, int scale)
{
    return strip.copy(int(std::lround(index * wPt * scale)), 0, int(std::lround(wPt * scale)),
        int(std::lround(hPt * scale)));
}

struct Sized {
    const char* name;
    double w, h;
};

const Sized kImages[] = {
    {"bg", 340, 280}, {"disc", 221, 221}, {"reflect", 221, 221}, {"center", 38, 15},
    {"dial", 100, 20}, {"arm", 12300, 151}, {"play_btn", 52, 52}, {"stop_btn", 52, 52},
};

} // namespace

TEST(ArtworkFiles, EveryImageAtOneAndTwoPixelsPerPoint)
{
    for (const Sized& s : kImages) {
        SCOPED_TRACE(s.name);
        const std::string one = std::string(s.name) + ".tif", two = std::string(s.name) + "@2x.tif";
        ASSERT_FALSE(resourceFile(one).isEmpty());
        ASSERT_FALSE(resourceFile(two).isEmpty());
        const QImage a(resourceFile(one)), b(resourceFile(two));
        ASSERT_FALSE(a.isNull());
        ASSERT_FALSE(b.isNull());
        EXPECT_EQ(a.size(), QSize(int(s.w), int(s.h)));
        EXPECT_EQ(b.size(), QSize(int(s.w * 2), int(s.h * 2)));
        EXPECT_TRUE(a.hasAlphaChannel());
        EXPECT_TRUE(b.hasAlphaChannel());
        // The reader takes the pixel ratio from the name, so both cover the
        // same points.
        EXPECT_DOUBLE_EQ(b.devicePixelRatio(), 2.0);
        EXPECT_EQ(QSizeF(b.size()) / b.devicePixelRatio(), QSizeF(a.size()));
        EXPECT_EQ(tiffCompression(resourceFile(one)), 5) << "expected LZW";
        EXPECT_EQ(tiffCompression(resourceFile(two)), 5) << "expected LZW";
    }
}

TEST(DiscArtwork, RoundRecordWithOpaqueVinylAndHole)
{
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QImage disc = load(scale == 1 ? "disc.tif" : "disc@2x.tif");
        ASSERT_FALSE(disc.isNull());
        const double c = 110.5, halfPixel = 0.71 / scale;
        int outsideVisible = 0, vinylHoles = 0;
        for (int y = 0; y < disc.height(); ++y)
            for (int x = 0; x < disc.width(); ++x) {
                const double r = std::hypot((x + 0.5) / scale - c, (y + 0.5) / scale - c);
                const int a = qAlpha(disc.pixel(x, y));
                // Turning the image must never carry a visible pixel beyond
                // the record's circle.
                if (r - halfPixel > 110.5 && a != 0)
                    ++outsideVisible;
                if (r > 42.0 && r < 108.0 && a != 255)
                    ++vinylHoles;
            }
        EXPECT_EQ(outsideVisible, 0);
        EXPECT_EQ(vinylHoles, 0);
        const int mid = disc.width() / 2;
        EXPECT_LT(qAlpha(disc.pixel(mid, mid)), 128) << "the spindle hole";
        EXPECT_LT(luminance(disc.pixel(mid, int(mid - 80 * scale))), 60) << "vinyl is dark";
    }
}

TEST(DiscArtwork, OnlyTheLabelShowsTheTurning)
{
    // The grooves must look the same at every angle (the sheen is a separate,
    // unturned image), while the label's printing must not, or the spinning
    // record would look still.
    const QImage disc = load("disc@2x.tif");
    ASSERT_FALSE(disc.isNull());
    const QImage turned = disc.transformed(QTransform().rotate(90));
    ASSERT_EQ(turned.size(), disc.size());
    const double c = disc.width() / 2.0, scale = 2.0;
    double labelDiff = 0, vinylDiff = 0;
    int labelN = 0, vinylN = 0;
    for (int y = 0; y < disc.height(); ++y)
        for (int x = 0; x < disc.width(); ++x) {
            const double r = std::hypot(x + 0.5 - c, y + 0.5 - c) / scale;
            const double d = std::abs(luminance(disc.pixel(x, y)) - luminance(turned.pixel(x, y)));
            if (r > 6.0 && r < 35.0) {
                labelDiff += d;
                ++labelN;
            } else if (r > 50.0 && r < 105.0) {
                vinylDiff += d;
                ++vinylN;
            }
        }
    EXPECT_GT(labelDiff / labelN, 8.0);
    EXPECT_LT(vinylDiff / vinylN, 2.0);
}

class ArmStrip : public ::testing::TestWithParam<int> {};

TEST_P(ArmStrip, OnlyTheLeftPartChangesBetweenFrames)
{
    const int scale = GetParam();
    const QImage strip = load(scale == 1 ? "arm.tif" : "arm@2x.tif");
    ASSERT_FALSE(strip.isNull());
    const QImage first = frameOf(strip, 0, kArmFrameW, kArmFrameH, scale);
    const int staticFrom = int(kArmStaticFrom * scale);
    for (int i = 1; i < kArmFrames; ++i) {
        SCOPED_TRACE(i);
        const QImage f = frameOf(strip, i, kArmFrameW, kArmFrameH, scale);
        const QImage prev = frameOf(strip, i - 1, kArmFrameW, kArmFrameH, scale);
        // Spin redraws stop at view x 303; a moving pixel beyond would stay
        // behind as a trail.
        int changed = 0;
        for (int y = 0; y < f.height(); ++y)
            for (int x = staticFrom; x < f.width(); ++x)
                changed += f.pixel(x, y) != first.pixel(x, y);
        EXPECT_EQ(changed, 0);
        EXPECT_NE(f, prev) << "each frame moves the arm";
    }
}

TEST_P(ArmStrip, ArmStaysInsideItsFrame)
{
    const int scale = GetParam();
    const QImage strip = load(scale == 1 ? "arm.tif" : "arm@2x.tif");
    ASSERT_FALSE(strip.isNull());
    for (int i = 0; i < kArmFrames; ++i) {
        const QImage f = frameOf(strip, i, kArmFrameW, kArmFrameH, scale);
        int onEdge = 0;
        for (int x = 0; x < f.width(); ++x)
            onEdge += qAlpha(f.pixel(x, 0)) != 0 || qAlpha(f.pixel(x, f.height() - 1)) != 0;
        for (int y = 0; y < f.height(); ++y)
            onEdge += qAlpha(f.pixel(0, y)) != 0 || qAlpha(f.pixel(f.width() - 1, y)) != 0;
        EXPECT_EQ(onEdge, 0) << "frame " << i << " is cut off at its edge";
    }
}

INSTANTIATE_TEST_SUITE_P(BothScales, ArmStrip, ::testing::Values(1, 2));

namespace {

// Middle of the arm's head in view points: the solid pixels (not the
// shadow) within 14 points of the arm's leftmost solid column.
QPointF headOf(const QImage& frame, int scale)
{
    int left = frame.width();
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < left; ++x)
            if (qAlpha(frame.pixel(x, y)) > 200) {
                left = x;
                break;
            }
    double sx = 0, sy = 0, n = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = left; x < std::min(frame.width(), left + 14 * scale); ++x)
            if (qAlpha(frame.pixel(x, y)) > 200) {
                sx += x + 0.5;
                sy += y + 0.5;
                n += 1;
            }
    if (n == 0)
        return {-1, -1};
    return {70.0 + sx / n / scale, kArmFrameH - sy / n / scale};
}

} // namespace

TEST(ArmArtwork, HeadRisesWithTheFrameUnderTheDragArea)
{
    const QImage strip = load("arm.tif");
    ASSERT_FALSE(strip.isNull());
    const double cx = 138.0, cy = 144.5;
    double lastY = -1;
    for (int i = 0; i < kArmFrames; ++i) {
        SCOPED_TRACE(i);
        const QPointF head = headOf(frameOf(strip, i, kArmFrameW, kArmFrameH, 1), 1);
        ASSERT_GE(head.x(), 0) << "no arm in the frame";
        EXPECT_GT(head.y(), lastY) << "the head must rise frame by frame";
        lastY = head.y();
        const double r = std::hypot(head.x() - cx, head.y() - cy);
        if (i == 0) {
            EXPECT_GT(r, 110.5) << "the resting arm lies off the record";
            continue;
        }
        // The pointer picks the arm up in {101, 31, 60, 75} and sets its
        // value from the height: frame i answers heights 31 + 1.3 i and up.
        EXPECT_GE(head.x(), 101.0);
        EXPECT_LT(head.x(), 161.0);
        EXPECT_NEAR(head.y(), 31.0 + 1.3 * (i + 0.5), 5.0);
        EXPECT_GT(r, 40.0) << "the stylus never reaches the label";
    }
}

TEST(ButtonArtwork, PlayIsLitAndStopIsNot)
{
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const QImage play = load(scale == 1 ? "play_btn.tif" : "play_btn@2x.tif");
        const QImage stop = load(scale == 1 ? "stop_btn.tif" : "stop_btn@2x.tif");
        ASSERT_FALSE(play.isNull());
        ASSERT_FALSE(stop.isNull());
        double lp = 0, ls = 0, n = 0;
        const double c = 26.0 * scale;
        for (int y = 0; y < play.height(); ++y)
            for (int x = 0; x < play.width(); ++x)
                if (std::hypot(x + 0.5 - c, y + 0.5 - c) < 14.0 * scale) {
                    lp += luminance(play.pixel(x, y));
                    ls += luminance(stop.pixel(x, y));
                    n += 1;
                    EXPECT_EQ(qAlpha(play.pixel(x, y)), 255);
                    EXPECT_EQ(qAlpha(stop.pixel(x, y)), 255);
                }
        EXPECT_GT(lp / n, ls / n + 60.0);
        EXPECT_EQ(qAlpha(stop.pixel(0, 0)), 0);
    }
}

TEST(IconArtwork, ApplicationAndThemeIcons)
{
    const QImage app = load("icon.png");
    ASSERT_FALSE(app.isNull());
    EXPECT_EQ(app.size(), QSize(256, 256));
    const QString themeRoot = QDir(QString::fromStdString(gx::resourcePath())).absoluteFilePath("../icons/hicolor");
    for (const int n : {16, 24, 32, 48, 64, 128, 256, 512}) {
        SCOPED_TRACE(n);
        const QImage icon(QStringLiteral("%1/%2x%2/apps/gramolux.png").arg(themeRoot).arg(n));
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.size(), QSize(n, n));
        // A shape on a clear ground, with something drawn in the middle.
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(n / 2, n / 2)), 255);
    }
}

TEST(IconArtwork, ScalableIconIsTheSameIcon)
{
    const QString themeRoot = QDir(QString::fromStdString(gx::resourcePath())).absoluteFilePath("../icons/hicolor");
    const QString svg = themeRoot + "/scalable/apps/gramolux.svg";
    ASSERT_TRUE(QFile::exists(svg));
    // Drawn by the library desktops read SVG icons with, at the largest size
    // we also ship as PNG, and at a size we do not ship.
    QTemporaryDir dir;
    for (const int n : {256, 1024}) {
        SCOPED_TRACE(n);
        const QString out = dir.filePath(QStringLiteral("%1.png").arg(n));
        QProcess rsvg;
        rsvg.start("rsvg-convert", {"-w", QString::number(n), "-h", QString::number(n), "-o", out, svg});
        ASSERT_TRUE(rsvg.waitForFinished(30000) && rsvg.exitCode() == 0) << "rsvg-convert (librsvg2-bin) failed";
        const QImage drawn = QImage(out).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(drawn.size(), QSize(n, n));
        const QImage png = QImage(themeRoot + "/256x256/apps/gramolux.png")
                               .scaled(n, n, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_ARGB32);
        // Only the rim and the sheen differ a little (SVG has no conical gradient).
        EXPECT_LT(gx::test::meanDifference(drawn, png), 6.0);
        EXPECT_EQ(qAlpha(drawn.pixel(0, 0)), 0);
    }
}

namespace {

QString generator()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/gx_make_artwork");
}

int runGenerator(const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(generator(), args);
    if (!p.waitForFinished(60000))
        return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

TEST(ArtworkGenerator, RepeatsItselfExactly)
{
    ASSERT_TRUE(QFile::exists(generator()));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath("share/gramolux");
    ASSERT_EQ(runGenerator({out}), 0);
    for (const Sized& s : kImages)
        for (const QString& suffix : {QStringLiteral(".tif"), QStringLiteral("@2x.tif")}) {
            const QString name = QString::fromLatin1(s.name) + suffix;
            SCOPED_TRACE(name.toStdString());
            QFile fresh(out + "/" + name), built(resourceFile(name.toStdString()));
            ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
            ASSERT_TRUE(built.open(QIODevice::ReadOnly));
            EXPECT_TRUE(fresh.readAll() == built.readAll());
        }
    EXPECT_TRUE(QFile::exists(dir.filePath("share/icons/hicolor/16x16/apps/gramolux.png")));
}

TEST(ArtworkGenerator, RefusesAnUnusableFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A plain file where the folder should be: nothing can be written.
    const QString blocker = dir.filePath("taken");
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_NE(runGenerator({blocker + "/gramolux"}), 0);
    EXPECT_FALSE(QFile::exists(blocker + "/gramolux/bg.tif"));
    EXPECT_NE(runGenerator({}), 0) << "no folder given";
}
