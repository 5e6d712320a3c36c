// The turntable as assistive technology sees it, through Qt's accessibility
// interfaces: the tree, each control's role, name, state and value, setting
// a control the way a screen reader does, and the change events.
#include "platform/NotificationNames.h"
#include "platform/StringTable.h"
#include "view/GXGramoluxView.h"
#include "view/TurntableAccessibility.h"
#include "view/ViewTestSupport.h"

#include <QAccessible>
#include <QFile>
#include <gtest/gtest.h>
#include <vector>

using namespace gx::test;
namespace names = gx::names;
using Names = std::vector<std::string>;

namespace {

class Accessibility : public ::testing::Test {
protected:
    QAccessibleInterface* part(int index)
    {
        QAccessibleInterface* turntable = QAccessible::queryAccessibleInterface(&view);
        return turntable ? turntable->child(index) : nullptr;
    }
    QAccessibleInterface* switchPart() { return part(0); }
    QAccessibleInterface* arm() { return part(1); }
    QAccessibleInterface* dial() { return part(2); }
    QAccessibleInterface* record() { return part(3); }

    ResourceFolder folder; // artwork is not needed to be described
    GXGramoluxView view;
    NotificationLog log;
};

} // namespace

TEST_F(Accessibility, TurntableHoldsItsFourControlsWithRolesNamesAndPlaces)
{
    QAccessibleInterface* turntable = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(turntable, nullptr);
    ASSERT_EQ(turntable->childCount(), 4);
    struct Expected {
        QAccessible::Role role;
        const char* name;
        gx::turntable::RectF area;
    };
    const Expected expected[] = {
        {QAccessible::Button, "Play switch", gx::turntable::playBtnRect},
        {QAccessible::Slider, "Tone arm", gx::turntable::armDraggRect},
        {QAccessible::Slider, "Speed dial", gx::turntable::dialDraggRect},
        {QAccessible::Graphic, "No record", gx::turntable::diskRect},
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        QAccessibleInterface* p = part(i);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->role(), expected[i].role);
        EXPECT_EQ(p->text(QAccessible::Name), expected[i].name);
        EXPECT_EQ(p->parent(), turntable);
        EXPECT_EQ(turntable->indexOfChild(p), i);
        // Placed where it is drawn: the centre of the part finds the part.
        const QPoint centre = p->rect().center();
        EXPECT_EQ(p->rect().size(), view.widgetRectFromView(expected[i].area).toAlignedRect().size());
        EXPECT_EQ(turntable->childAt(centre.x(), centre.y()), p);
    }
    // Until the first song, the controls are asleep.
    EXPECT_TRUE(switchPart()->state().disabled);
    EXPECT_TRUE(arm()->state().disabled);
    view.setEnable(true);
    EXPECT_FALSE(switchPart()->state().disabled);
    EXPECT_FALSE(dial()->state().disabled);
}

TEST_F(Accessibility, NamesComeFromTheStringTable)
{
    QFile table(folder.path() + "/Localizable.strings");
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("\"Tone arm\" = \"Tonarm\";\n\"No record\" = \"Keine Platte\";\n\"%1 of %2\" = \"%1 von %2\";\n");
    table.close();
    gx::StringTable::reload();
    EXPECT_EQ(arm()->text(QAccessible::Name), "Tonarm");
    EXPECT_EQ(record()->text(QAccessible::Name), "Keine Platte");
    EXPECT_EQ(arm()->text(QAccessible::Value), "0:00 von 0:00");
    EXPECT_EQ(dial()->text(QAccessible::Name), "Speed dial"); // untranslated: the English key
    table.remove();
    gx::StringTable::reload();
}

TEST_F(Accessibility, SwitchIsAToggleButtonThatWorksLikeAClick)
{
    view.setEnable(true);
    QAccessibleInterface* s = switchPart();
    ASSERT_NE(s->actionInterface(), nullptr);
    EXPECT_TRUE(s->state().checkable);
    EXPECT_FALSE(s->state().checked);
    s->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(view.switchValue());
    EXPECT_TRUE(s->state().checked);
    s->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(s->state().checked);
    EXPECT_EQ(log.names(), (Names{names::playBtnClicked, names::playBtnClicked}));

    view.setEnable(false); // asleep, as the button is to the pointer
    s->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(view.switchValue());
    EXPECT_EQ(log.count(names::playBtnClicked), 2);
}

TEST_F(Accessibility, ArmIsASliderOverTheSongsSeconds)
{
    view.setEnable(true);
    view.describeRecord("Serenade", 200.0);
    view.setArmValue(0.25f);
    QAccessibleValueInterface* value = arm()->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_DOUBLE_EQ(value->currentValue().toDouble(), 50.0);
    EXPECT_DOUBLE_EQ(value->minimumValue().toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(value->maximumValue().toDouble(), 200.0);
    EXPECT_EQ(arm()->text(QAccessible::Value), "0:50 of 3:20");

    // Set by a screen reader: lifted and laid down there, as by the pointer.
    value->setCurrentValue(150.0);
    EXPECT_NEAR(view.armValue(), 0.75f, 1e-5f);
    EXPECT_FALSE(view.isArmDragging());
    EXPECT_EQ(log.names(), (Names{names::armStartDragg, names::armEndDragg}));
    value->setCurrentValue(900.0); // past the end: the end
    EXPECT_EQ(view.armValue(), 1.0f);
}

TEST_F(Accessibility, DialIsASliderOverTheRate)
{
    view.setEnable(true);
    QAccessibleValueInterface* value = dial()->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_DOUBLE_EQ(value->currentValue().toDouble(), 1.0);
    EXPECT_NEAR(value->minimumValue().toDouble(), 0.2, 1e-6);
    EXPECT_EQ(dial()->text(QAccessible::Value), "1.00 times normal speed");

    value->setCurrentValue(1.3);
    EXPECT_NEAR(view.dialValue(), 1.3f, 1e-4f);
    EXPECT_EQ(log.count(names::dialDragged), 1);
    EXPECT_FALSE(view.isDialDragging());
    value->setCurrentValue(0.05); // below the dial's floor
    EXPECT_NEAR(view.dialValue(), 0.2f, 1e-6f);
    value->setCurrentValue(3.0); // the dial has no ceiling; the range follows it
    EXPECT_NEAR(value->maximumValue().toDouble(), 3.0, 1e-4);
}

TEST_F(Accessibility, RecordIsAnImageNamedAfterTheSong)
{
    EXPECT_NE(record()->imageInterface(), nullptr);
    view.describeRecord(QString::fromUtf8("Ünïcødé Serenade"), 93.0);
    EXPECT_EQ(record()->text(QAccessible::Name), QString::fromUtf8("Ünïcødé Serenade"));
    EXPECT_EQ(record()->imageInterface()->imageDescription(), QString::fromUtf8("Ünïcødé Serenade"));
    EXPECT_TRUE(record()->state().readOnly);
}

namespace {
std::vector<std::pair<QAccessible::Event, QAccessibleInterface*>> g_events;
void recordEvent(QAccessibleEvent* event) { g_events.emplace_back(event->type(), event->accessibleInterface()); }
} // namespace

TEST_F(Accessibility, ChangesAreAnnouncedWhenShownAndOnlyThen)
{
    g_events.clear();
    view.setEnable(true);
    view.describeRecord("Serenade", 100.0);
    // Qt passes events on only to a listening screen reader; record them.
    gx::setTurntableEventSink(recordEvent);
    const auto paintAndTake = [this] {
        renderView(view);
        auto taken = g_events;
        g_events.clear();
        return taken;
    };
    paintAndTake(); // the first paint tells everything once

    view.setSwitchValue(1.0f);
    view.setArmValue(0.504f); // second 50
    auto events = paintAndTake();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].first, QAccessible::StateChanged);
    EXPECT_EQ(events[0].second, switchPart());
    EXPECT_EQ(events[1].first, QAccessible::ValueChanged);
    EXPECT_EQ(events[1].second, arm());

    view.setArmValue(0.505f); // still second 50: nothing new to say
    EXPECT_TRUE(paintAndTake().empty());

    view.setDialValue(1.5f);
    view.describeRecord("Nocturne", 100.0);
    events = paintAndTake();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].second, dial());
    EXPECT_EQ(events[1].first, QAccessible::NameChanged);
    EXPECT_EQ(events[1].second, record());

    gx::setTurntableEventSink(nullptr);
}
