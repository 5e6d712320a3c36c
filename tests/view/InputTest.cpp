// Pointer, keys and drops as the view receives them from Qt.
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "view/GXGramoluxView.h"
#include "view/MusicOpener.h"
#include "view/ViewTestSupport.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

using namespace gx::test;
namespace names = gx::names;
using Names = std::vector<std::string>;

namespace {

class Input : public ::testing::Test {
protected:
    void SetUp() override { view.setEnable(true); }
    ResourceFolder folder; // empty: the view works without artwork
    GXGramoluxView view;
    NotificationLog log;
};

class RecordingOpener : public gx::MusicOpener {
public:
    void openMusic(const QString& path) override { opened.append(path); }
    QStringList opened;
};

float volume()
{
    return gx::UserDefaults::standardUserDefaults().floatForKey(gx::keys::musicVolume);
}

// Whether the view is framed, just inside its edge, in the palette's colour.
bool framed(GXGramoluxView& view)
{
    const QImage image = renderView(view);
    const QColor colour = view.palette().color(QPalette::Highlight);
    return near(viewPixel(image, view, 0, 0), colour) && near(viewPixel(image, view, 1, 140), colour)
        && near(viewPixel(image, view, 338, 278), colour) && !near(viewPixel(image, view, 2, 2), colour);
}

// Enter, move and drop as a file manager sends them; answers whether the drop
// was taken, and whether the view was highlighted while hovering.
std::pair<bool, bool> drop(GXGramoluxView& view, const QMimeData* mime, Qt::DropActions offered)
{
    QDragEnterEvent enter(QPoint(150, 150), offered, mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&view, &enter);
    QDragMoveEvent move(QPoint(160, 150), offered, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &move);
    const bool highlighted = framed(view);
    QDropEvent event(QPointF(160, 150), offered, mime, Qt::LeftButton, Qt::NoModifier);
    event.setAccepted(false);
    QCoreApplication::sendEvent(&view, &event);
    EXPECT_FALSE(view.isFileDragging());
    EXPECT_TRUE(!event.isAccepted() || event.dropAction() == Qt::CopyAction); // never a move
    return {event.isAccepted(), highlighted};
}

} // namespace

TEST_F(Input, ArmDragReportsStartAndEndAndFollowsOnlyThePointersHeight)
{
    pressAt(view, 120, 31);
    EXPECT_TRUE(view.isArmDragging());
    dragTo(view, 400, 63.5f); // outside the region and the view: still followed
    EXPECT_EQ(view.armValue(), 0.5f);
    dragTo(view, 120, 200);
    bool draggingSeen = true; // observers of the end see the drag over
    gx::NotificationCenter::defaultCenter().addObserver(
        &draggingSeen, [&](const gx::Notification&) { draggingSeen = view.isArmDragging(); }, names::armEndDragg);
    releaseAt(view, 120, 31);
    gx::NotificationCenter::defaultCenter().removeObserver(&draggingSeen);
    EXPECT_FALSE(draggingSeen);
    EXPECT_EQ(view.armValue(), 1.0f); // the release position is not used
    dragTo(view, 120, 40);
    EXPECT_EQ(view.armValue(), 1.0f);
    EXPECT_EQ(log.names(), (Names {names::armStartDragg, names::armEndDragg}));
}

TEST_F(Input, DialTurnsWithEachMoveAndADoubleClickResetsIt)
{
    pressAt(view, 29, 215);
    EXPECT_TRUE(log.names().empty()); // nothing until it moves
    dragTo(view, 29, 315);
    EXPECT_FLOAT_EQ(view.dialValue(), 1.2f);
    dragTo(view, 300, 315); // sideways: unchanged, still reported
    releaseAt(view, 29, 315);
    EXPECT_EQ(log.names(), (Names {names::dialDragged, names::dialDragged}));
    pressAt(view, 29, 215);
    dragTo(view, 29, 215 - 600); // 0.002 a point, down to a floor of 0.2 and no further
    releaseAt(view, 29, 0);
    EXPECT_EQ(view.dialValue(), 0.2f);
    doubleClickAt(view, 29, 215);
    releaseAt(view, 29, 215);
    EXPECT_EQ(view.dialValue(), 1.0f);
    EXPECT_FALSE(view.isDialDragging());
    EXPECT_EQ(log.names(), Names(4, names::dialDragged));
}

TEST_F(Input, ButtonTogglesOnPrimaryPressesAndNothingWorksBeforeTheFirstFile)
{
    pressAt(view, 39, 57);
    releaseAt(view, 39, 57);
    EXPECT_TRUE(view.switchValue());
    pressAt(view, 39, 57, Qt::RightButton);
    EXPECT_TRUE(view.switchValue());
    EXPECT_EQ(log.names(), Names {names::playBtnClicked});

    log.clear();
    view.setEnable(false);
    pressAt(view, 39, 57);
    pressAt(view, 120, 80);
    dragTo(view, 120, 40);
    releaseAt(view, 120, 40);
    doubleClickAt(view, 29, 215);
    EXPECT_TRUE(view.switchValue());
    EXPECT_EQ(view.armValue(), 0.0f);
    EXPECT_TRUE(log.names().empty());
    EXPECT_TRUE(typeKey(view, Qt::Key_3, "3")); // the digits work at once
    EXPECT_EQ(volume(), 0.3f);
}

TEST_F(Input, DigitKeysSetTheStoredVolumeBeforeTellingAndOtherKeysDoNothing)
{
    float seen = -1.0f;
    gx::NotificationCenter::defaultCenter().addObserver(
        &seen, [&](const gx::Notification&) { seen = volume(); }, names::preferenceChanged);
    EXPECT_TRUE(typeKey(view, Qt::Key_5, "5"));
    gx::NotificationCenter::defaultCenter().removeObserver(&seen);
    EXPECT_EQ(seen, 0.5f);
    EXPECT_EQ(log.names(), (Names {names::preferenceChanged, names::musicVolChanged}));
    typeKey(view, Qt::Key_7, "7", Qt::KeypadModifier);
    EXPECT_EQ(volume(), 0.7f);
    log.clear();
    for (const auto& [key, text] : {std::pair {Qt::Key_A, "a"}, {Qt::Key_Space, " "}, {Qt::Key_Shift, ""}})
        EXPECT_TRUE(typeKey(view, key, text)); // swallowed
    EXPECT_EQ(volume(), 0.7f);
    EXPECT_TRUE(log.names().empty());
}

TEST_F(Input, DropHighlightsAndOpensTheFirstFileWhenItIsAcceptableAndLocalAndCopied)
{
    RecordingOpener opener;
    view.setAppController(&opener);
    const struct {
        QStringList urls;
        Qt::DropActions offered;
        bool taken;
    } cases[] = {
        {{"/home/u/song.mp3", "/home/u/notes.txt"}, Qt::CopyAction | Qt::MoveAction, true},
        {{"/home/u/notes.txt", "/home/u/song.mp3"}, Qt::CopyAction, false},
        {{"/home/u/Song.Mp3"}, Qt::CopyAction, false}, // the types are matched case by case
        {{"/x/LOUD.AIFF"}, Qt::CopyAction, true},
        {{"/Music/old.mp3s/readme.txt"}, Qt::CopyAction, true}, // a dot and a type anywhere in the path
        {{"/x/mp3"}, Qt::CopyAction, false},
        {{"https://example.org/song.mp3"}, Qt::CopyAction, false},
        {{"/home/u/song.wav"}, Qt::MoveAction, false},
    };
    for (const auto& c : cases) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& u : c.urls)
            urls << (u.startsWith('/') ? QUrl::fromLocalFile(u) : QUrl(u));
        mime.setUrls(urls);
        const auto [taken, highlighted] = drop(view, &mime, c.offered);
        EXPECT_EQ(taken, c.taken) << c.urls.join(',').toStdString();
        EXPECT_EQ(highlighted, c.taken) << c.urls.join(',').toStdString();
    }
    QMimeData text;
    text.setText("/home/u/song.mp3");
    EXPECT_FALSE(drop(view, &text, Qt::CopyAction).first);
    EXPECT_EQ(opener.opened, (QStringList {"/home/u/song.mp3", "/x/LOUD.AIFF", "/Music/old.mp3s/readme.txt"}));
}
