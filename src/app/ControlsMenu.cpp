#include "app/ControlsMenu.h"

#include "engine/Player.h"
#include "platform/StringTable.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace gx {

namespace {
constexpr double kSeekSeconds = 10.0;
}

ControlsMenu::ControlsMenu(QMenu& menu, Player& player, QObject* parent)
    : QObject(parent)
    , player_(player)
{
    Player* p = &player;
    const auto onRecord = [p] { return p->canPlay(); };
    add(
        menu, localizedString("Play/Stop"), QKeySequence(Qt::Key_Space), [p] { p->pressSwitch(); },
        [p] { return p->song() != nullptr; });
    // As MPRIS Next: the first queued song, for moving through an album by key.
    add(
        menu, localizedString("Next Song"), QKeySequence(Qt::CTRL | Qt::Key_Right), [p] { p->next(); },
        [p] { return !p->queue().isEmpty(); });
    add(
        menu, localizedString("Previous Song"), QKeySequence(Qt::CTRL | Qt::Key_Left), [p] { p->previous(); },
        [p] { return p->canGoPrevious(); });
    menu.addSeparator();
    add(
        menu, localizedString("Forward 10 Seconds"), QKeySequence(Qt::Key_Right), [p] { p->seekBy(kSeekSeconds); },
        onRecord);
    add(
        menu, localizedString("Back 10 Seconds"), QKeySequence(Qt::Key_Left), [p] { p->seekBy(-kSeekSeconds); },
        onRecord);
    menu.addSeparator();
    add(
        menu, localizedString("Louder"), QKeySequence(Qt::Key_Up), [p] { p->stepMusicVolume(1); },
        [p] { return p->canStepMusicVolume(1); });
    add(
        menu, localizedString("Quieter"), QKeySequence(Qt::Key_Down), [p] { p->stepMusicVolume(-1); },
        [p] { return p->canStepMusicVolume(-1); });
    add(
        menu, localizedString("Faster"), QKeySequence(Qt::Key_BracketRight), [p] { p->stepSpeed(1); },
        [p] { return p->canStepSpeed(1); });
    add(
        menu, localizedString("Slower"), QKeySequence(Qt::Key_BracketLeft), [p] { p->stepSpeed(-1); },
        [p] { return p->canStepSpeed(-1); });
    add(
        menu, localizedString("Normal Speed"), QKeySequence(Qt::Key_Backspace), [p] { p->normalSpeed(); },
        [p] { return p->canNormalSpeed(); });
    connect(&player, &Player::stateChanged, this, &ControlsMenu::update);
    connect(&player, &Player::positionJumped, this, &ControlsMenu::update);
    connect(&player, &Player::musicVolumeChanged, this, &ControlsMenu::update);
    connect(&player, &Player::speedChanged, this, &ControlsMenu::update);
    update();
}

void ControlsMenu::add(
    QMenu& menu, const QString& text, const QKeySequence& keys, std::function<void()> act, std::function<bool()> canAct)
{
    QAction* action = menu.addAction(text, keys, this, [this, act = std::move(act)] {
        act();
        // A step that lands on a limit disables its item at once.
        update();
    });
    items_.push_back({action, std::move(canAct)});
}

void ControlsMenu::update()
{
    for (const Item& item : items_)
        item.action->setEnabled(item.canAct());
}

QAction* ControlsMenu::item(const QString& text) const
{
    for (const Item& item : items_)
        if (item.action->text() == text)
            return item.action;
    return nullptr;
}

} // namespace gx
