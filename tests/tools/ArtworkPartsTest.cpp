// The artwork generator's building blocks: the tone arm's poses, the stroke
// lettering, noise, blur, shadows and file output.
#include "ArmGeometry.h"
#include "ArtCommon.h"
#include "StrokeFont.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

double radiusFromRecord(QPointF p)
{
    return std::hypot(p.x() - art::kDiscCentre.x(), p.y() - art::kDiscCentre.y());
}

// Alpha-weighted centre of an image, in pixels.
QPointF alphaCentre(const QImage& img, double* mass = nullptr)
{
    const QImage a = img.convertToFormat(QImage::Format_ARGB32);
    double sx = 0, sy = 0, sm = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const double m = qAlpha(a.pixel(x, y));
            sx += (x + 0.5) * m;
            sy += (y + 0.5) * m;
            sm += m;
        }
    if (mass)
        *mass = sm;
    return sm > 0 ? QPointF(sx / sm, sy / sm) : QPointF(-1, -1);
}

} // namespace

TEST(ArmPoses, FingerLiftFollowsThePointerBands)
{
    double lastAngle = 1e9;
    for (int i = 0; i < art::kArmFrames; ++i) {
        SCOPED_TRACE(i);
        const art::ArmPose pose = art::armPose(i);
        EXPECT_NEAR(pose.finger.y(), art::fingerHeightForFrame(i), 0.01);
        // One swing direction only: the arm never turns back.
        EXPECT_LT(pose.angleDeg, lastAngle);
        lastAngle = pose.angleDeg;
        // The stylus is a fixed length from the pivot.
        EXPECT_NEAR(std::hypot(pose.stylus.x() - art::kArmPivot.x(), pose.stylus.y() - art::kArmPivot.y()),
            art::kArmEffectiveLength, 1e-6);
    }
    // Bands of 65 / 50 points from y 31: frame 1 answers 32.3 to 33.6.
    EXPECT_NEAR(art::fingerHeightForFrame(1), 32.95, 1e-9);
    EXPECT_NEAR(art::fingerHeightForFrame(49), 95.35, 1e-9);
    EXPECT_LT(art::fingerHeightForFrame(0), art::fingerHeightForFrame(1));
    // Out-of-range frames are held at the ends, as the view clamps them.
    EXPECT_DOUBLE_EQ(art::armPose(-3).angleDeg, art::armPose(0).angleDeg);
    EXPECT_DOUBLE_EQ(art::armPose(80).angleDeg, art::armPose(49).angleDeg);
}

TEST(ArmPoses, StylusTravelsFromLeadInToRunOut)
{
    EXPECT_GT(radiusFromRecord(art::armPose(0).stylus), art::kDiscRadius + 1.0) << "rest is off the record";
    const double first = radiusFromRecord(art::armPose(1).stylus);
    EXPECT_LE(first, art::kDiscRadius - 1.0);
    EXPECT_GE(first, art::kOuterGrooveRadius - 2.0);
    double last = first;
    for (int i = 2; i < art::kArmFrames; ++i) {
        const double r = radiusFromRecord(art::armPose(i).stylus);
        EXPECT_LT(r, last) << "frame " << i << " must move inward";
        last = r;
    }
    EXPECT_GT(last, art::kLabelRadius + 4.0) << "the last frame stays off the label";
    EXPECT_LT(last, art::kInnerGrooveRadius + 2.0);
}

TEST(ArmPoses, ArmToViewUsesThePivotFrame)
{
    const art::ArmPose pose = art::armPose(20);
    EXPECT_EQ(art::armToView(pose, QPointF(0, 0)), art::kArmPivot);
    const QPointF s = art::armToView(pose, QPointF(art::kArmEffectiveLength, 0));
    EXPECT_NEAR(s.x(), pose.stylus.x(), 1e-9);
    EXPECT_NEAR(s.y(), pose.stylus.y(), 1e-9);
    // +y across the arm is away from the record.
    const QPointF out = art::armToView(pose, QPointF(60, 5)), in = art::armToView(pose, QPointF(60, -5));
    EXPECT_GT(radiusFromRecord(out), radiusFromRecord(in));
    // The headshell joint lies a headshell's length behind the stylus.
    const QPointF j = art::headshellJoint();
    EXPECT_NEAR(std::hypot(art::kArmEffectiveLength - j.x(), j.y()), art::kHeadshellToStylus, 1e-9);
    EXPECT_GT(j.y(), 0.0) << "the tube runs outside the pivot-stylus line";
}

TEST(StrokeLettering, GlyphsStayInTheirCells)
{
    // Letters drawn beyond their advance would run into their neighbours.
    const QString letters = QStringLiteral("ADEGILMOPRSUX345-");
    for (const QChar c : letters) {
        SCOPED_TRACE(QString(c).toStdString());
        const QString s(c);
        const QRectF box = art::strokeText(s, 10.0, 0.0).boundingRect();
        const double advance = art::strokeTextWidth(s, 10.0, 0.0);
        EXPECT_GE(box.left(), -0.05);
        EXPECT_LE(box.right(), advance + 0.05);
        EXPECT_GE(box.top(), -0.6);
        EXPECT_LE(box.bottom(), 10.6);
        EXPECT_GT(std::max(box.width(), box.height()), 3.0) << "the glyph is defined";
    }
    // Undefined characters and spaces leave a gap but draw nothing.
    EXPECT_TRUE(art::strokeText(QStringLiteral("?"), 10.0).isEmpty());
    EXPECT_GT(art::strokeTextWidth(QStringLiteral("A A"), 10.0), art::strokeTextWidth(QStringLiteral("AA"), 10.0));
    EXPECT_DOUBLE_EQ(art::strokeTextWidth(QString(), 10.0), 0.0);
    // Width grows with height.
    EXPECT_NEAR(art::strokeTextWidth(QStringLiteral("GRAMOLUX"), 20.0),
        2.0 * art::strokeTextWidth(QStringLiteral("GRAMOLUX"), 10.0), 1e-9);
}

TEST(StrokeLettering, ArcTextSitsWhereItIsAimed)
{
    const QPointF c(100, 100);
    // At 12 o'clock: centred above, standing on the circle.
    const QRectF top = art::strokeTextOnArc(QStringLiteral("MOM"), 5.0, c, 25.0, 0.0).boundingRect();
    EXPECT_NEAR(top.center().x(), c.x(), 0.5);
    EXPECT_LT(top.bottom(), c.y() - 24.0);
    EXPECT_GT(top.top(), c.y() - 25.0 - 5.0 - 0.5);
    // At 3 o'clock (90 degrees clockwise): to the right.
    const QRectF right = art::strokeTextOnArc(QStringLiteral("MOM"), 5.0, c, 25.0, 90.0).boundingRect();
    EXPECT_NEAR(right.center().y(), c.y(), 0.5);
    EXPECT_GT(right.left(), c.x() + 24.0);
    // Reading clockwise: the first letter is left of the last at the top.
    const QRectF first = art::strokeTextOnArc(QStringLiteral("L"), 5.0, c, 25.0, -20.0).boundingRect();
    const QRectF last = art::strokeTextOnArc(QStringLiteral("L"), 5.0, c, 25.0, 20.0).boundingRect();
    EXPECT_LT(first.center().x(), last.center().x());
}

TEST(Noise, DeterministicBoundedAndSmooth)
{
    EXPECT_EQ(art::hash01(3, -7, 11u), art::hash01(3, -7, 11u));
    EXPECT_NE(art::hash01(3, -7, 11u), art::hash01(3, -7, 12u));
    EXPECT_NE(art::hash01(3, -7, 11u), art::hash01(-7, 3, 11u));
    double lo = 1, hi = 0, sum = 0;
    const int n = 4000;
    for (int i = 0; i < n; ++i) {
        const double h = art::hash01(i, i * 31, 5u);
        lo = std::min(lo, h);
        hi = std::max(hi, h);
        sum += h;
    }
    EXPECT_GE(lo, 0.0);
    EXPECT_LT(hi, 1.0);
    EXPECT_NEAR(sum / n, 0.5, 0.03) << "roughly uniform";

    // Value noise passes through the lattice values and has no steps.
    EXPECT_DOUBLE_EQ(art::valueNoise(4.0, 9.0, 2u), art::hash01(4, 9, 2u));
    for (double x = -3.0; x < 3.0; x += 0.173) {
        const double a = art::valueNoise(x, 1.3, 2u), b = art::valueNoise(x + 1e-4, 1.3, 2u);
        EXPECT_LT(std::abs(a - b), 1e-3) << x;
        const double f = art::fbm(x, 0.7, 4, 9u);
        EXPECT_GE(f, 0.0);
        EXPECT_LT(f, 1.0);
    }
}

TEST(SoftShadow, BlurSpreadsWithoutLosingOrMovingInk)
{
    QImage dot(41, 41, QImage::Format_Alpha8);
    dot.fill(0);
    for (int y = 19; y <= 21; ++y)
        for (int x = 19; x <= 21; ++x)
            dot.bits()[y * dot.bytesPerLine() + x] = 255;
    double before = 0;
    const QPointF c0 = alphaCentre(dot, &before);
    art::blurAlpha(dot, 3.0);
    double after = 0;
    const QPointF c1 = alphaCentre(dot, &after);
    EXPECT_NEAR(after, before, before * 0.03);
    EXPECT_NEAR(c1.x(), c0.x(), 0.05);
    EXPECT_NEAR(c1.y(), c0.y(), 0.05);
    const auto at = [&](int x, int y) { return int(dot.constBits()[y * dot.bytesPerLine() + x]); };
    EXPECT_LT(at(20, 20), 255);
    EXPECT_GT(at(26, 20), 0) << "spread two sigma out";
    EXPECT_EQ(at(26, 20), at(14, 20));
    EXPECT_EQ(at(20, 26), at(20, 14));

    QImage untouched = dot.copy();
    art::blurAlpha(untouched, 0.1);
    EXPECT_EQ(untouched, dot) << "a tiny radius leaves the image alone";
}

TEST(SoftShadow, FallsByTheOffsetInPaintCoordinates)
{
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        QImage canvas = art::makeCanvas(60, 60, scale);
        EXPECT_EQ(canvas.size(), QSize(60 * scale, 60 * scale));
        QPainter p;
        art::beginPoints(p, canvas, scale);
        QPainterPath square;
        square.addRect(QRectF(20, 20, 10, 10));
        art::drawSoftShadow(p, square, QPointF(6, 4), 1.5, QColor(0, 0, 0, 200));
        p.end();
        const QPointF c = alphaCentre(canvas);
        EXPECT_NEAR(c.x() / scale, 25.0 + 6.0, 0.2);
        EXPECT_NEAR(c.y() / scale, 25.0 + 4.0, 0.2);
        const QImage a = canvas.convertToFormat(QImage::Format_ARGB32);
        EXPECT_NEAR(qAlpha(a.pixel(31 * scale, 29 * scale)), 200, 6) << "solid in the middle";
        EXPECT_EQ(qAlpha(a.pixel(2, 2)), 0);
    }
}

TEST(ArtworkOutput, TiffKeepsStraightAlphaAndFailsCleanly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage img(8, 4, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    img.setPixel(1, 1, qRgba(200, 100, 50, 255));
    img.setPixel(2, 1, qPremultiply(qRgba(240, 120, 60, 128)));
    QString error;
    const QString path = dir.filePath("x.tif");
    ASSERT_TRUE(art::writeTiff(path, img, 2, &error)) << error.toStdString();
    const QImage back = QImage(path).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(back.size(), img.size());
    EXPECT_EQ(back.pixel(1, 1), qRgba(200, 100, 50, 255));
    const QRgb half = back.pixel(2, 1);
    EXPECT_EQ(qAlpha(half), 128);
    EXPECT_NEAR(qRed(half), 240, 2);
    EXPECT_EQ(qAlpha(back.pixel(0, 0)), 0);
    EXPECT_EQ(back.dotsPerMeterX(), 5669) << "144 dpi for two pixels a point";

    // Into a folder that does not exist: false, a reason, and no file.
    const QString missing = dir.filePath("none/y.tif");
    error.clear();
    EXPECT_FALSE(art::writeTiff(missing, img, 1, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(missing));

    // Onto a folder's name: refused, the folder left as it was.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.png"));
    EXPECT_FALSE(art::writePng(dir.filePath("taken.png"), img, &error));
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.png")).isDir());
}
