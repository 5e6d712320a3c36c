// The turntable as a screen reader sees it through Qt's accessibility
// interfaces, and setting its controls the way a screen reader does.
#include "platform/NotificationNames.h"
#include "platform/StringTable.h"
#include "view/GXGramoluxView.h"
#include "view/TurntableAccessibility.h"
#include "view/ViewTestSupport.h"

#include <QAccessible>
#include <QFile>
#include <gtest/gtest.h>

using namespace gx::test;
namespace names = gx::names;
using Names = std::vector<std::string>;

namespace {

class Accessibility : public ::testing::Test {
protected:
    QAccessibleInterface* part(int index) { return QAccessible::queryAccessibleInterface(&view)->child(index); }
    ResourceFolder folder;
    GXGramoluxView view;
    NotificationLog log;
};

std::vector<std::pair<QAccessible::Event, QAccessibleInterface*>> g_events;
void recordEvent(QAccessibleEvent* event)
{
    g_events.emplace_back(event->type(), event->accessibleInterface());
}

} // namespace

TEST_F(Accessibility, FourControlsWithRolesNamesFromTheStringTableAndPlaces)
{
    QFile table(folder.path() + "/Localizable.strings");
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("\"Tone arm\" = \"Tonarm\";\n\"%1 of %2\" = \"%1 von %2\";\n");
    table.close();
    gx::StringTable::reload();
    const struct {
        QAccessible::Role role;
        const char* name;
        gx::turntable::RectF area;
    } expected[] = {{QAccessible::Button, "Play switch", gx::turntable::playBtnRect},
        {QAccessible::Slider, "Tonarm", gx::turntable::armDraggRect},
        {QAccessible::Slider, "Speed dial", gx::turntable::dialDraggRect},
        {QAccessible::Graphic, "No record", gx::turntable::diskRect}};
    QAccessibleInterface* turntable = QAccessible::queryAccessibleInterface(&view);
    ASSERT_EQ(turntable->childCount(), 4);
    for (int i = 0; i < 4; ++i) {
        QAccessibleInterface* p = part(i);
        EXPECT_EQ(p->role(), expected[i].role) << i;
        EXPECT_EQ(p->text(QAccessible::Name), expected[i].name);
        EXPECT_EQ(p->rect().size(), view.widgetRectFromView(expected[i].area).toAlignedRect().size());
        EXPECT_EQ(turntable->childAt(p->rect().center().x(), p->rect().center().y()), p);
    }
    EXPECT_EQ(part(1)->text(QAccessible::Value), "0:00 von 0:00");
    table.remove();
    gx::StringTable::reload();
    EXPECT_TRUE(part(0)->state().disabled); // asleep until the first song
}

TEST_F(Accessibility, SettingTheControlsWorksAsThePointerDoes)
{
    view.setEnable(true);
    view.describeRecord("Serenade", 200.0);
    part(0)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(view.switchValue());
    EXPECT_TRUE(part(0)->state().checked);

    view.setArmValue(0.25f);
    QAccessibleValueInterface* arm = part(1)->valueInterface();
    EXPECT_DOUBLE_EQ(arm->currentValue().toDouble(), 50.0);
    EXPECT_DOUBLE_EQ(arm->maximumValue().toDouble(), 200.0);
    EXPECT_EQ(part(1)->text(QAccessible::Value), "0:50 of 3:20");
    arm->setCurrentValue(150.0); // lifted and laid down there
    EXPECT_NEAR(view.armValue(), 0.75f, 1e-5f);

    QAccessibleValueInterface* dial = part(2)->valueInterface();
    EXPECT_EQ(part(2)->text(QAccessible::Value), "1.00 times normal speed");
    dial->setCurrentValue(0.05); // below the dial's floor
    EXPECT_NEAR(view.dialValue(), 0.2f, 1e-6f);
    EXPECT_EQ(
        log.names(), (Names {names::playBtnClicked, names::armStartDragg, names::armEndDragg, names::dialDragged}));
    EXPECT_EQ(part(3)->text(QAccessible::Name), "Serenade");

    view.setEnable(false); // asleep, as the button is to the pointer
    part(0)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(view.switchValue());
}

TEST_F(Accessibility, ChangesAreAnnouncedWhenShownAndOnlyThen)
{
    g_events.clear();
    view.setEnable(true);
    view.describeRecord("Serenade", 100.0);
    gx::setTurntableEventSink(recordEvent); // Qt passes them on only to a listening reader
    const auto paintAndTake = [this] {
        renderView(view);
        return std::exchange(g_events, {});
    };
    paintAndTake(); // the first paint tells everything once
    view.setSwitchValue(1.0f);
    view.setArmValue(0.504f); // second 50
    auto events = paintAndTake();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], std::pair(QAccessible::StateChanged, part(0)));
    EXPECT_EQ(events[1], std::pair(QAccessible::ValueChanged, part(1)));
    view.setArmValue(0.505f); // still second 50: nothing new to say
    EXPECT_TRUE(paintAndTake().empty());
    view.describeRecord("Nocturne", 100.0);
    events = paintAndTake();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], std::pair(QAccessible::NameChanged, part(3)));
    gx::setTurntableEventSink(nullptr);
}
