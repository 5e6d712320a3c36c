#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "view/GXGramoluxView.h"
#include "view/ViewTestSupport.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
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

float volume() { return gx::UserDefaults::standardUserDefaults().floatForKey(gx::keys::musicVolume); }
void setVolume(float v) { gx::UserDefaults::standardUserDefaults().setFloat(v, gx::keys::musicVolume); }

std::unique_ptr<QMimeData> filesMime(const QStringList& paths)
{
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << (p.startsWith('/') ? QUrl::fromLocalFile(p) : QUrl(p));
    mime->setUrls(urls);
    return mime;
}

// Enter, move and drop as a file manager sends them; answers whether the
// drop was accepted.
struct DropOutcome {
    bool enterAccepted = false;
    bool highlightWhileHovering = false;
    bool dropAccepted = false;
    Qt::DropAction dropAction = Qt::IgnoreAction;
};

DropOutcome dropFiles(GXGramoluxView& view, const QMimeData* mime, Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction)
{
    DropOutcome out;
    QDragEnterEvent enter(QPoint(150, 150), offered, mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&view, &enter);
    out.enterAccepted = enter.isAccepted();
    QDragMoveEvent move(QPoint(160, 150), offered, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &move);
    out.highlightWhileHovering = view.isFileDragging();
    QDropEvent drop(QPointF(160, 150), offered, mime, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QCoreApplication::sendEvent(&view, &drop);
    out.dropAccepted = drop.isAccepted();
    out.dropAction = drop.dropAction();
    return out;
}

} // namespace

TEST_F(Input, ArmFollowsThePointersHeightWithinLimitsAndReportsStartAndEnd)
{
    pressAt(view, 120, 31);
    EXPECT_EQ(view.armValue(), 0.0f);
    EXPECT_TRUE(view.isArmDragging());
    EXPECT_EQ(log.names(), Names{names::armStartDragg});

    dragTo(view, 120, 20);
    EXPECT_EQ(view.armValue(), 0.0f);
    dragTo(view, 400, 63.5f); // outside the region and the view: still followed
    EXPECT_EQ(view.armValue(), 0.5f);
    dragTo(view, 120, 200);
    EXPECT_EQ(view.armValue(), 1.0f);

    // Observers of the end already see the drag over.
    bool draggingSeen = true;
    gx::NotificationCenter::defaultCenter().addObserver(
        &draggingSeen, [&](const gx::Notification&) { draggingSeen = view.isArmDragging(); }, names::armEndDragg);
    releaseAt(view, 120, 31);
    gx::NotificationCenter::defaultCenter().removeObserver(&draggingSeen);
    EXPECT_FALSE(draggingSeen);
    EXPECT_FALSE(view.isArmDragging());
    EXPECT_EQ(view.armValue(), 1.0f); // the release position is not used
    EXPECT_EQ(log.names(), (Names{names::armStartDragg, names::armEndDragg}));

    dragTo(view, 120, 40);
    EXPECT_EQ(view.armValue(), 1.0f);
}

TEST_F(Input, RegionsHaveTheirMinimumEdgesInsideAndMaximumEdgesOutside)
{
    pressAt(view, 161, 50); // right of the arm region
    pressAt(view, 120, 106); // above it
    pressAt(view, 65, 40); // right of the button
    pressAt(view, 30, 225); // above the dial
    releaseAt(view, 0, 0);
    EXPECT_TRUE(log.names().empty());
    EXPECT_FALSE(view.switchValue());

    pressAt(view, 101, 105.5f);
    EXPECT_EQ(view.armValue(), 1.0f);
    releaseAt(view, 0, 0);
    pressAt(view, 13, 31);
    EXPECT_TRUE(view.switchValue());
}

TEST_F(Input, DialTurnsWithVerticalMovementDownToALowerLimit)
{
    pressAt(view, 29, 215);
    EXPECT_TRUE(view.isDialDragging());
    EXPECT_TRUE(log.names().empty()); // nothing until it moves
    dragTo(view, 29, 315);
    EXPECT_FLOAT_EQ(view.dialValue(), 1.2f);
    dragTo(view, 300, 315); // sideways: unchanged, still reported
    EXPECT_FLOAT_EQ(view.dialValue(), 1.2f);
    EXPECT_EQ(log.count(names::dialDragged), 2);
    releaseAt(view, 29, 315);
    EXPECT_FALSE(view.isDialDragging());
    EXPECT_EQ(log.names().size(), 2u);

    // 500 points down from 1.0 stops at 0.2, not 0.
    view.setDialValue(1.0f);
    pressAt(view, 29, 215);
    dragTo(view, 29, -285);
    EXPECT_EQ(view.dialValue(), 0.2f);
    dragTo(view, 29, -1000);
    EXPECT_EQ(view.dialValue(), 0.2f);
    releaseAt(view, 29, 0);
}

TEST_F(Input, DoubleClickOnTheDialResetsItAndReportsOnce)
{
    view.setDialValue(1.37f);
    pressAt(view, 29, 215);
    releaseAt(view, 29, 215);
    doubleClickAt(view, 29, 215);
    releaseAt(view, 29, 215);
    EXPECT_EQ(view.dialValue(), 1.0f);
    EXPECT_FALSE(view.isDialDragging());
    EXPECT_EQ(log.names(), Names{names::dialDragged});
}

TEST_F(Input, ButtonTogglesTheSwitchOnEachPressOnly)
{
    pressAt(view, 39, 57);
    EXPECT_TRUE(view.switchValue());
    releaseAt(view, 39, 57);
    pressAt(view, 39, 57);
    EXPECT_FALSE(view.switchValue());
    releaseAt(view, 39, 57);
    EXPECT_EQ(log.names(), (Names{names::playBtnClicked, names::playBtnClicked}));
    // Other buttons than the primary one are not clicks.
    pressAt(view, 39, 57, Qt::RightButton);
    releaseAt(view, 39, 57, Qt::RightButton);
    EXPECT_FALSE(view.switchValue());
    EXPECT_EQ(log.names().size(), 2u);
}

TEST_F(Input, PointerDoesNothingBeforeTheFirstFileIsOpened)
{
    view.setEnable(false);
    view.setDialValue(1.3f);
    view.setArmValue(0.4f);
    pressAt(view, 120, 80);
    dragTo(view, 120, 40);
    releaseAt(view, 120, 40);
    pressAt(view, 29, 215);
    dragTo(view, 29, 300);
    doubleClickAt(view, 29, 215);
    releaseAt(view, 29, 215);
    pressAt(view, 39, 57);
    EXPECT_EQ(view.armValue(), 0.4f);
    EXPECT_EQ(view.dialValue(), 1.3f);
    EXPECT_FALSE(view.switchValue());
    EXPECT_FALSE(view.isArmDragging());
    EXPECT_FALSE(view.isDialDragging());
    EXPECT_TRUE(log.names().empty());

    // Digits already work.
    typeKey(view, Qt::Key_3, "3");
    EXPECT_EQ(volume(), 0.3f);
}

TEST_F(Input, DigitKeysSetTheMusicVolumeAndReportInOrder)
{
    setVolume(0.77f);
    // Observers of the preference change already find the new value.
    float seen = -1.0f;
    gx::NotificationCenter::defaultCenter().addObserver(
        &seen, [&](const gx::Notification&) { seen = volume(); }, names::preferenceChanged);
    EXPECT_TRUE(typeKey(view, Qt::Key_5, "5"));
    gx::NotificationCenter::defaultCenter().removeObserver(&seen);
    EXPECT_EQ(seen, 0.5f);
    EXPECT_EQ(volume(), 0.5f);
    EXPECT_EQ(log.names(), (Names{names::preferenceChanged, names::musicVolChanged}));

    log.clear();
    typeKey(view, Qt::Key_0, "0");
    EXPECT_EQ(volume(), 1.0f);
    typeKey(view, Qt::Key_7, "7", Qt::KeypadModifier);
    EXPECT_EQ(volume(), 0.7f);
    EXPECT_EQ(log.names().size(), 4u);
}

TEST_F(Input, OtherKeysAreSwallowedWithoutEffect)
{
    setVolume(0.44f);
    EXPECT_TRUE(typeKey(view, Qt::Key_A, "a"));
    EXPECT_TRUE(typeKey(view, Qt::Key_Space, " "));
    EXPECT_TRUE(typeKey(view, Qt::Key_Shift, ""));
    EXPECT_EQ(volume(), 0.44f);
    EXPECT_TRUE(log.names().empty());
}

TEST_F(Input, DropOfAnAcceptableFirstFileOpensOnlyThatFile)
{
    RecordingOpener opener;
    view.setAppController(&opener);
    auto mime = filesMime({"/home/u/song.mp3", "/home/u/notes.txt"});
    const DropOutcome out = dropFiles(view, mime.get());
    EXPECT_TRUE(out.enterAccepted);
    EXPECT_TRUE(out.highlightWhileHovering);
    EXPECT_TRUE(out.dropAccepted);
    EXPECT_EQ(out.dropAction, Qt::CopyAction); // never a move
    EXPECT_FALSE(view.isFileDragging());
    EXPECT_EQ(opener.opened, QStringList{"/home/u/song.mp3"});
}

TEST_F(Input, DropIsJudgedByTheFirstFileAlone)
{
    RecordingOpener opener;
    view.setAppController(&opener);
    for (const QStringList& paths : {QStringList{"/home/u/notes.txt", "/home/u/song.mp3"}, QStringList{"/home/u/Song.Mp3"}}) {
        auto mime = filesMime(paths);
        const DropOutcome out = dropFiles(view, mime.get());
        EXPECT_FALSE(out.enterAccepted) << paths.join(',').toStdString();
        EXPECT_FALSE(out.highlightWhileHovering);
        EXPECT_FALSE(out.dropAccepted);
    }
    for (const QString& path : {QString("/home/u/take.mpeg2"), QString("/Music/old.mp3s/readme.txt")}) {
        auto mime = filesMime({path});
        EXPECT_TRUE(dropFiles(view, mime.get()).dropAccepted) << path.toStdString();
    }
    EXPECT_EQ(opener.opened, (QStringList{"/home/u/take.mpeg2", "/Music/old.mp3s/readme.txt"}));
}

TEST_F(Input, DragsWithoutLocalFilesAreRefused)
{
    RecordingOpener opener;
    view.setAppController(&opener);
    auto remote = filesMime({"https://example.org/song.mp3"});
    EXPECT_FALSE(dropFiles(view, remote.get()).dropAccepted);
    QMimeData text;
    text.setText("/home/u/song.mp3");
    EXPECT_FALSE(dropFiles(view, &text).enterAccepted);
    EXPECT_FALSE(view.prepareForDragOperation(nullptr));
    EXPECT_FALSE(view.performDragOperation(&text));
    EXPECT_TRUE(opener.opened.isEmpty());
}

TEST_F(Input, AMoveOnlyDragIsRefusedAndLeavesNoHighlight)
{
    RecordingOpener opener;
    view.setAppController(&opener);
    auto mime = filesMime({"/home/u/song.mp3"});
    const DropOutcome out = dropFiles(view, mime.get(), Qt::MoveAction);
    EXPECT_FALSE(out.enterAccepted);
    EXPECT_FALSE(out.dropAccepted);
    EXPECT_FALSE(view.isFileDragging());
    EXPECT_TRUE(opener.opened.isEmpty());
}

TEST_F(Input, DragOperationsAnswerTheToolkitValues)
{
    auto good = filesMime({"/home/u/song.wav"});
    auto bad = filesMime({"/home/u/song.ogg"});
    EXPECT_EQ(view.draggingEntered(bad.get()), GXGramoluxView::DragOperationNone);
    EXPECT_FALSE(view.isFileDragging());
    EXPECT_EQ(view.draggingUpdated(bad.get()), GXGramoluxView::DragOperationGeneric);
    EXPECT_EQ(view.draggingEntered(good.get()), GXGramoluxView::DragOperationGeneric);
    EXPECT_TRUE(view.isFileDragging());
    view.draggingExited(good.get());
    EXPECT_FALSE(view.isFileDragging());
    // Without a controller the drop still completes.
    EXPECT_TRUE(view.performDragOperation(good.get()));
}
