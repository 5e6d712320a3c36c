// The song's cover on the record's label, with our artwork. Run once as it is
// and once with QT_SCALE_FACTOR=2; the screenshots of a covered and an
// uncovered record at each scale are kept in the build tree's
// cover-artefacts folder.
#include "view/CoverLabel.h"
#include "view/RecordToolTip.h"
#include "view/TurntableView.h"
#include "view/ViewTestSupport.h"

#include <QBuffer>
#include <QPainter>
#include <array>
#include <numbers>
#include <tuple>

using namespace gx::test;

namespace {

// The cover: four quadrants, so that its turning shows.
const std::array<QColor, 4> kQuadrants {{
    {40, 200, 60},  // upper right
    {220, 30, 30},  // upper left
    {30, 60, 220},  // lower left
    {240, 220, 20}, // lower right
}};

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

QByteArray quadrantPicture(const char* format, int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    QPainter p(&image);
    const int h = side / 2;
    p.fillRect(h, 0, side - h, h, kQuadrants[0]);
    p.fillRect(0, 0, h, h, kQuadrants[1]);
    p.fillRect(0, h, h, side - h, kQuadrants[2]);
    p.fillRect(h, h, side - h, side - h, kQuadrants[3]);
    p.end();
    return encoded(image, format);
}

// A whole, valid PNG of one-bit pixels: small to store however large.
QByteArray hugePng(int side)
{
    QImage image(side, side, QImage::Format_Mono);
    image.fill(0);
    return encoded(image, "PNG");
}

// A second of tone encoded by ffmpeg, tagged, with `picture` as its cover
// when given.
QString taggedSong(const QString& path, const QString& picture)
{
    QString arguments = "-f lavfi -i sine=frequency=440:duration=1";
    if (!picture.isEmpty())
        arguments += " -i " + shellQuoted(picture) + " -map 0:a -map 1:v -c:v copy -disposition:v attached_pic";
    arguments += path.endsWith(".mp3") ? " -c:a libmp3lame -id3v2_version 3" : " -c:a aac";
    return encode(
        arguments + " -metadata artist='Ann Example' -metadata title='Blue Tone' -metadata album='Test Pressings'",
        path);
}

// The pixel under the view point at `radius` points from the record's centre,
// `degrees` counter-clockwise from the right.
QColor pixelAt(const QImage& image, double radius, double degrees)
{
    const double a = degrees * std::numbers::pi / 180.0;
    const double s = image.devicePixelRatio();
    const double x = gx::turntable::discCentre.x + radius * std::cos(a);
    const double y = gx::turntable::discCentre.y + radius * std::sin(a);
    return image.pixelColor(static_cast<int>(std::floor(x * s)), static_cast<int>(std::floor((280.0 - y) * s)));
}

// What the view draws, at its own scale, once the redraws asked for ran.
QImage shot(gx::TurntableView& view)
{
    settle();
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class Cover : public ::testing::Test {
protected:
    void SetUp() override
    {
        GX_SKIP_WITHOUT_FFMPEG();
        for (Turntable* t : {&coveredTurntable, &plainTurntable}) {
            ASSERT_TRUE(showOnScreen(t->view));
            ASSERT_EQ(t->view.imageScale(), expectedScale());
            t->view.describeRecord("Song", 1.0);
            spin(t->model, 0.0f, 101); // fully shown, upright
        }
    }

    static void keep(const QString& name, const QImage& image)
    {
        QDir().mkpath(GX_COVER_ARTEFACTS);
        image.save(QString(GX_COVER_ARTEFACTS "/%1-%2x.png").arg(name).arg(expectedScale()));
    }

    QTemporaryDir dir;
    Turntable coveredTurntable, plainTurntable;
    gx::TurntableView& covered = coveredTurntable.view;
    gx::TurntableView& plain = plainTurntable.view;
};

} // namespace

// Inside the picture's circle the cover, turned as the record turns; outside
// it, pixel for pixel what our own label draws.
TEST_F(Cover, LabelShowsTheSongsCoverTurningWithTheRecord)
{
    const QString png = writeFile(dir.filePath("cover.png"), quadrantPicture("PNG", 300));
    const QString jpeg = writeFile(dir.filePath("cover.jpg"), quadrantPicture("JPG", 600));
    for (const auto& [file, picture] : {std::pair {"song.mp3", png}, {"song.m4a", jpeg}}) {
        SCOPED_TRACE(file);
        const QString song = taggedSong(dir.filePath(file), picture);
        ASSERT_FALSE(song.isEmpty());
        covered.showSong(song);
        ASSERT_TRUE(waitUntil([&] { return covered.labelShowsCover(); }, 20000));
        EXPECT_EQ(covered.toolTip(), "Ann Example — Blue Tone (Test Pressings)");

        // The cover came while the record was shown: the window was redrawn
        // where it needed to be.
        EXPECT_LE(windowDifference(covered), 2);

        for (const float speed : {0.0f, 11.25f, 22.5f, 7.5f}) {
            spin(coveredTurntable.model, speed, 1);
            spin(plainTurntable.model, speed, 1);
            const float angle = coveredTurntable.model.diskRotate();
            SCOPED_TRACE(angle);
            const QImage a = shot(covered);
            const QImage b = shot(plain);
            // The middle of each quadrant of the picture, turned with the
            // record; and our label's rim and the grooves beyond it.
            for (int k = 0; k < 4; ++k)
                for (const double radius : {20.0, 33.0})
                    EXPECT_TRUE(near(pixelAt(a, radius, angle + 45.0 + 90.0 * k), kQuadrants[k], 48)) << radius;
            for (int k = 0; k < 8; ++k)
                for (const double radius : {38.7, 45.0, 80.0, 105.0})
                    EXPECT_TRUE(near(pixelAt(a, radius, 22.5 + 45.0 * k), pixelAt(b, radius, 22.5 + 45.0 * k)))
                        << radius << " at " << 22.5 + 45.0 * k;
            if (speed == 7.5f && QString(file).endsWith(".mp3")) {
                keep("covered", a);
                keep("uncovered", b);
            }
        }
    }

    // Fading in, the record carries the cover too, not our label under it.
    Turntable fading;
    fading.view.showSong(dir.filePath("song.mp3"));
    ASSERT_TRUE(waitUntil([&] { return fading.view.labelShowsCover(); }, 20000));
    spin(fading.model, 0.0f, 50);
    const QColor half = pixelAt(shot(fading.view), 20.0, 135.0); // red, over the background
    EXPECT_GT(half.red(), half.green() + 40);
    EXPECT_GT(half.red(), half.blue() + 40);
}

// What is no picture we show is refused before it reaches the label.
TEST(CoverPicture, ReadsTheMiddleSquareAndRefusesHugeCutOrFalsePictures)
{
    const QByteArray jpeg = quadrantPicture("JPG", 400);
    const QImage read = gx::cover::readPicture(jpeg, 100);
    ASSERT_EQ(read.size(), QSize(100, 100));
    for (const auto& [x, y, k] : {std::tuple {75, 25, 0}, {25, 25, 1}, {25, 75, 2}, {75, 75, 3}})
        EXPECT_TRUE(near(read.pixelColor(x, y), kQuadrants[k], 8)) << k;
    const std::pair<const char*, QByteArray> refused[] = {{"nothing", {}}, {"10,000 x 10,000 PNG", hugePng(10000)},
        // Small enough for Qt's own limit; a second of decoding all the same.
        {"5,600 x 5,600 PNG", hugePng(5600)},
        {"JPEG cut short", jpeg.left(jpeg.size() / 2) + QByteArray(jpeg.size() - jpeg.size() / 2, '\0')},
        {"not a picture", QByteArray("These are not the pictures you are looking for. ").repeated(300)}};
    for (const auto& [what, bytes] : refused)
        EXPECT_TRUE(gx::cover::readPicture(bytes, 100).isNull()) << what;
}

// A song with no cover, or one too large to show, gets our label exactly as a
// record that never had a cover: also after a covered song.
TEST_F(Cover, WithoutAShownPictureTheLabelIsOurs)
{
    const QString withCover
        = taggedSong(dir.filePath("covered.mp3"), writeFile(dir.filePath("c.png"), quadrantPicture("PNG", 64)));
    ASSERT_FALSE(withCover.isEmpty());
    spin(coveredTurntable.model, 5.5f, 3);
    spin(plainTurntable.model, 5.5f, 3);
    const QImage ours = shot(plain);
    for (const QByteArray& picture : {QByteArray(), hugePng(10000)}) {
        covered.showSong(withCover);
        ASSERT_TRUE(waitUntil([&] { return covered.labelShowsCover(); }, 20000));
        const QString song = dir.filePath(QString("plain-%1.mp3").arg(picture.size()));
        ASSERT_FALSE(taggedSong(song, picture.isEmpty() ? QString() : writeFile(song + ".png", picture)).isEmpty());
        covered.showSong(song);
        EXPECT_FALSE(covered.labelShowsCover()) << "the last song's cover stays";
        // Read once the tags show.
        ASSERT_TRUE(waitUntil([&] { return covered.toolTip() != "Song"; }, 20000));
        EXPECT_FALSE(covered.labelShowsCover());
        EXPECT_EQ(meanDifference(shot(covered), ours), 0.0);
    }
}

TEST(RecordToolTip, NamesTheSongByTheTagsItHas)
{
    // Artist, title, album, the file's title, and the tip.
    const std::array<QString, 5> cases[] = {
        {"Ann", "Blue", "Pressings", "01 blue", "Ann — Blue (Pressings)"},
        {"Ann", "", "Pressings", "blue", "Ann — blue (Pressings)"},
        {"Ann", "Blue", "", "blue", "Ann — Blue"},
        {"", "Blue", "Pressings", "blue", "Blue (Pressings)"},
        {"", "Blue", "", "blue", "Blue"},
        {"", "", "", "blue", "blue"},
        {"  ", " ", " ", "blue", "blue"},
        {"%2", "%1", "%3", "x", "%2 — %1 (%3)"},
        {"", "", "", "", ""},
    };
    for (const auto& [artist, title, album, fileTitle, expected] : cases)
        EXPECT_EQ(gx::recordToolTip(artist, title, album, fileTitle), expected) << expected.toStdString();
    // The loudness gain beside the time: signed, to a tenth.
    for (const auto& [db, expected] : {std::pair {-6.2, "\u22126.2 dB"}, {1.46, "+1.5 dB"}, {-0.04, "0.0 dB"}})
        EXPECT_EQ(gx::gainText(db), QString::fromUtf8(expected));
}
