// The turntable view with artwork of solid, distinct colours: what it paints
// from its model, and what the pointer, keys, drops and a screen reader do
// to it.
#include "view/TurntableView.h"
#include "platform/NotificationNames.h"
#include "platform/StringTable.h"
#include "view/TurntableAccessibility.h"
#include "view/TurntableNotice.h"
#include "view/ViewTestSupport.h"

#include <QAccessible>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>
#include <tuple>

using namespace gx::test;
namespace names = gx::names;
using Names = std::vector<std::string>;

namespace {

// What a click on the switch, the arm lifted and laid, and two turns of the dial tell.
const Names kGestures {
    names::playButtonClicked, names::armDragStarted, names::armDragEnded, names::dialDragged, names::dialDragged};

class Turntable : public ::testing::Test {
protected:
    Turntable()
    {
        folder.write(standardArtwork());
        view.loadImages(1.0);
        model.hooks().setMusicVolume = [this](float v) { volume = v; };
        model.hooks().openSong = [this](const std::string& path) { opened.append(QString::fromStdString(path)); };
    }
    bool shows(int x, int y, const QColor& colour, int tolerance = 2)
    {
        return near(viewPixel(renderView(view), view, x, y), colour, tolerance);
    }
    QAccessibleInterface* part(int index) { return QAccessible::queryAccessibleInterface(&view)->child(index); }
    ResourceFolder folder;
    gx::test::Turntable turntable;
    gx::TurntableModel& model = turntable.model;
    gx::TurntableView& view = turntable.view;
    NotificationLog log;
    QStringList opened;
    float volume = 0.0f; // as handed to the player
};
using Render = Turntable;
using Accessibility = Turntable;

class Input : public Turntable {
protected:
    void SetUp() override { model.setEnabled(true); }
};

// Whether the view is framed, just inside its edge, in the palette's colour.
bool framed(gx::TurntableView& view)
{
    const QImage image = renderView(view);
    const QColor colour = view.palette().color(QPalette::Highlight);
    return near(viewPixel(image, view, 0, 0), colour) && near(viewPixel(image, view, 1, 140), colour)
        && near(viewPixel(image, view, 338, 278), colour) && !near(viewPixel(image, view, 2, 2), colour);
}

// Enter, move and drop as a file manager sends them; answers whether the drop
// was taken, and whether the view was highlighted while hovering.
std::pair<bool, bool> drop(gx::TurntableView& view, const QMimeData* mime, Qt::DropActions offered)
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
    EXPECT_FALSE(view.model().isFileDragging());
    EXPECT_TRUE(!event.isAccepted() || event.dropAction() == Qt::CopyAction); // never a move
    return {event.isAccepted(), highlighted};
}

using Events = std::vector<std::pair<QAccessible::Event, QAccessibleInterface*>>;
Events g_events;

} // namespace

// The switch's two faces are shown at every size in Input's test.
TEST_F(Render, ArmAndDialShowTheFramesOfTheirValues)
{
    EXPECT_EQ(view.size(), QSize(340, 280));
    EXPECT_TRUE(shows(60, 200, bgColour)); // no record before the first song
    EXPECT_TRUE(shows(120, 151, centerColour));
    // Which frame a value picks is the logic's test; here, that the frame is
    // cut from the strip whole: both halves and both ends, at the strip's end too.
    for (const auto& [value, frame] : {std::pair {0.5f, 25}, {1.7f, 49}}) {
        model.setArmValue(value);
        EXPECT_TRUE(shows(200, 30, armFrameColour(frame, false))) << value;
        EXPECT_TRUE(shows(200, 120, armFrameColour(frame, true))) << value;
        EXPECT_TRUE(shows(315, 10, armFrameColour(frame, false))) << value;
        EXPECT_TRUE(shows(317, 10, bgColour)) << value;
    }
    model.setDialValue(0.23f);
    EXPECT_TRUE(shows(19, 205, dialFrameColour(3)));
    EXPECT_TRUE(shows(38, 224, dialFrameColour(3)));
    model.setDialValue(-0.03f); // before the strip: not drawn
    EXPECT_TRUE(shows(29, 215, bgColour));
}

TEST_F(Render, RecordFadesInAndTurnsClockwiseAboutItsCentre)
{
    for (const char* covering : {"/reflect.tif", "/arm.tif"}) // keep the record uncovered
        QFile::remove(folder.path() + covering);
    view.loadImages(1.0);
    spin(model, 0.0f, 50);
    EXPECT_TRUE(shows(60, 200, QColor(20, 20, 148), 3)); // half faded in: half blue, half grey
    spin(model, 0.0f, 51);
    ASSERT_EQ(model.diskFraction(), 1.0f);
    EXPECT_TRUE(shows(43, 144, discMarkerColour, 3)); // upright: the marker at the left edge
    EXPECT_TRUE(shows(138, 240, discColour, 3));
    spin(model, 22.5f, 1);
    ASSERT_EQ(model.diskRotate(), -90.0f);
    EXPECT_TRUE(shows(138, 240, discMarkerColour, 3)); // a quarter turn carries it to the top
    EXPECT_TRUE(shows(43, 144, discColour, 3));
    EXPECT_TRUE(shows(156, 151, centerColour)); // the centre piece stays upright
}

TEST_F(Render, DoubleResolutionArtworkIsPreferredAndKeepsPointGeometry)
{
    ArtworkImages art2 = standardArtwork(2);
    art2.stopBtn.fill(QColor(0, 90, 90)); // tells which set is drawn
    art2.bg = QImage();                   // falls back to the 1x background
    folder.write(art2, "@2x");
    view.loadImages(2.0);
    EXPECT_EQ(view.size(), QSize(340, 280));
    model.setArmValue(0.5f);
    const QImage image = renderView(view, 2.0);
    ASSERT_EQ(image.size(), QSize(680, 560));
    EXPECT_TRUE(near(viewPixel(image, view, 39, 57), QColor(0, 90, 90)));
    EXPECT_TRUE(near(viewPixel(image, view, 315, 10), armFrameColour(25, false)));
    EXPECT_TRUE(near(viewPixel(image, view, 1, 1), bgColour));
}

TEST_F(Render, NoticeCoversNoControlAndGoesByItself)
{
    const QImage plain = renderView(view);
    view.notice().show("Can’t play “x.wma”: no sound track we can decode", std::chrono::milliseconds(50));
    const QImage told = renderView(view);
    const int dialTop = 280 - 225;
    EXPECT_GT(meanDifference(plain, told, QRect(0, 0, 340, dialTop)), 5.0);
    EXPECT_EQ(meanDifference(plain, told, QRect(0, dialTop, 340, 280 - dialTop)), 0.0);
    ASSERT_TRUE(waitUntil([&] { return view.notice().text().isEmpty(); }, 20000));
    EXPECT_EQ(meanDifference(plain, renderView(view)), 0.0);
}

// The model's gestures are tested without a window; here, that Qt's events
// reach them at the right places, by the primary button only.
TEST_F(Input, PointerEventsReachTheGesturesAtTheirPlacesAndKeysAreAllSwallowed)
{
    mouse(view, press, 39, 57);
    mouse(view, release, 39, 57);
    EXPECT_TRUE(model.switchValue());
    mouse(view, press, 39, 57, Qt::RightButton);
    EXPECT_TRUE(model.switchValue());
    mouse(view, press, 120, 31);
    mouse(view, drag, 400, 63.5f);
    EXPECT_EQ(model.armValue(), 0.5f);
    mouse(view, release, 120, 31);
    mouse(view, press, 29, 215);
    mouse(view, drag, 29, 315);
    mouse(view, release, 29, 315);
    EXPECT_FLOAT_EQ(model.dialValue(), 1.2f);
    mouse(view, doubleClick, 29, 215);
    mouse(view, release, 29, 215);
    EXPECT_EQ(model.dialValue(), 1.0f);
    EXPECT_EQ(log.names(), kGestures);
    // Every key is swallowed; the keypad's digits set the volume as the others do.
    for (const auto& [key, text, mods] :
        {std::tuple {Qt::Key_7, "7", Qt::KeypadModifier}, {Qt::Key_A, "a", Qt::NoModifier},
            {Qt::Key_Space, " ", Qt::NoModifier}, {Qt::Key_Shift, "", Qt::NoModifier}}) {
        QKeyEvent event(QEvent::KeyPress, key, mods, text);
        event.setAccepted(false);
        QCoreApplication::sendEvent(&view, &event);
        EXPECT_TRUE(event.isAccepted()) << text;
        EXPECT_EQ(volume, 0.7f) << text;
    }
}

// Larger, the turntable is drawn scaled and centred on the wood, and the
// pointer reaches its controls at their scaled places.
TEST_F(Input, AtThreeSizesTheDrawingAndThePointerFollowTheScaledTurntable)
{
    // The view's size; the switch's centre (39, 57 in points) in its pixels, y up.
    const std::tuple<QSize, int, int> rows[] = {{{340, 280}, 39, 57}, {{680, 560}, 78, 114}, {{900, 560}, 188, 114}};
    for (const auto& [size, x, y] : rows) {
        view.resize(size);
        // Rendered first: a hidden widget hears of its new size then.
        const QImage image = renderView(view);
        const bool on = model.switchValue();
        EXPECT_TRUE(near(image.pixelColor(x, size.height() - y), on ? playColour : stopColour)) << size.width();
        EXPECT_TRUE(near(image.pixelColor(2, 2), bgColour)) << "the wood around it, " << size.width();
        mouse(view, press, x, y);
        mouse(view, release, x, y);
        EXPECT_NE(model.switchValue(), on) << size.width();
    }
}

TEST_F(Input, DropHighlightsAndOpensTheFirstFileWhenItIsAcceptableAndLocalAndCopied)
{
    for (const auto& [paths, offered, expected] :
        std::initializer_list<std::tuple<QStringList, Qt::DropActions, bool>> {
            {{"/home/u/song.mp3", "/home/u/notes.txt"}, Qt::CopyAction | Qt::MoveAction, true},
            {{"/home/u/notes.txt", "/home/u/song.mp3"}, Qt::CopyAction, false},
            {{"https://example.org/song.mp3"}, Qt::CopyAction, false}, {{"/home/u/song.wav"}, Qt::MoveAction, false}}) {
        SCOPED_TRACE(paths.join(',').toStdString());
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& u : paths)
            urls << (u.startsWith('/') ? QUrl::fromLocalFile(u) : QUrl(u));
        mime.setUrls(urls);
        const auto [taken, highlighted] = drop(view, &mime, offered);
        EXPECT_EQ(taken, expected);
        EXPECT_EQ(highlighted, expected);
    }
    QMimeData text;
    text.setText("/home/u/song.mp3");
    EXPECT_FALSE(drop(view, &text, Qt::CopyAction).first);
    EXPECT_EQ(opened, QStringList {"/home/u/song.mp3"});
}

TEST_F(Accessibility, FourControlsWithRolesNamesFromTheStringTableAndPlaces)
{
    const QString table = folder.path() + "/Localizable.strings";
    ASSERT_FALSE(writeFile(table, "\"Tone arm\" = \"Tonarm\";\n\"%1 of %2\" = \"%1 von %2\";\n").isEmpty());
    gx::StringTable::reload();
    const std::tuple<QAccessible::Role, const char*, gx::turntable::RectF> expected[]
        = {{QAccessible::Button, "Play switch", gx::turntable::playBtnRect},
            {QAccessible::Slider, "Tonarm", gx::turntable::armDraggRect},
            {QAccessible::Slider, "Speed dial", gx::turntable::dialDraggRect},
            {QAccessible::Graphic, "No record", gx::turntable::diskRect}};
    QAccessibleInterface* turntable = QAccessible::queryAccessibleInterface(&view);
    ASSERT_EQ(turntable->childCount(), 4);
    for (int i = 0; i < 4; ++i) {
        QAccessibleInterface* p = part(i);
        const auto& [role, name, area] = expected[i];
        EXPECT_EQ(p->role(), role) << i;
        EXPECT_EQ(p->text(QAccessible::Name), name);
        EXPECT_EQ(p->rect().size(), view.widgetRectFromView(area).toAlignedRect().size());
        EXPECT_EQ(turntable->childAt(p->rect().center().x(), p->rect().center().y()), p);
    }
    EXPECT_EQ(part(1)->text(QAccessible::Value), "0:00 von 0:00");
    QFile::remove(table);
    gx::StringTable::reload();
    EXPECT_TRUE(part(0)->state().disabled); // asleep until the first song
}

TEST_F(Accessibility, SettingTheControlsWorksAsThePointerDoes)
{
    model.setEnabled(true);
    view.describeRecord("Serenade", 200.0);
    part(0)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(model.switchValue());
    EXPECT_TRUE(part(0)->state().checked);

    model.setArmValue(0.25f);
    QAccessibleValueInterface* arm = part(1)->valueInterface();
    EXPECT_DOUBLE_EQ(arm->currentValue().toDouble(), 50.0);
    EXPECT_DOUBLE_EQ(arm->maximumValue().toDouble(), 200.0);
    EXPECT_EQ(part(1)->text(QAccessible::Value), "0:50 of 3:20");
    arm->setCurrentValue(150.0); // lifted and laid down there
    EXPECT_NEAR(model.armValue(), 0.75f, 1e-5f);

    QAccessibleValueInterface* dial = part(2)->valueInterface();
    EXPECT_EQ(part(2)->text(QAccessible::Value), "1.00 times normal speed");
    EXPECT_EQ(dial->maximumValue().toDouble(), 4.0); // what the media controls offer too
    dial->setCurrentValue(9.0);
    EXPECT_EQ(model.dialValue(), 4.0f);
    dial->setCurrentValue(0.05); // below the dial's floor
    EXPECT_NEAR(model.dialValue(), 0.2f, 1e-6f);
    EXPECT_EQ(log.names(), kGestures);
    EXPECT_EQ(part(3)->text(QAccessible::Name), "Serenade");

    model.setEnabled(false); // asleep, as the button is to the pointer
    part(0)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(model.switchValue());
}

TEST_F(Accessibility, ChangesAreAnnouncedWhenShownAndOnlyThen)
{
    g_events.clear();
    model.setEnabled(true);
    view.describeRecord("Serenade", 100.0); // shown before anyone listens
    // Qt passes them on only to a listening reader.
    gx::setTurntableEventSink([](QAccessibleEvent* e) { g_events.emplace_back(e->type(), e->accessibleInterface()); });
    const auto tickAndTake = [this] {
        model.spinOnce();
        return std::exchange(g_events, {});
    };
    model.setSwitchValue(1.0f);
    model.setArmValue(0.504f); // second 50
    EXPECT_EQ(tickAndTake(), (Events {{QAccessible::StateChanged, part(0)}, {QAccessible::ValueChanged, part(1)}}));
    model.setArmValue(0.505f); // still second 50: nothing new to say
    EXPECT_TRUE(tickAndTake().empty());
    view.describeRecord("Nocturne", 100.0);
    EXPECT_EQ(std::exchange(g_events, {}), (Events {{QAccessible::NameChanged, part(3)}}));
    gx::setTurntableEventSink(nullptr);
}
