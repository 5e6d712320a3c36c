#pragma once
// The Controls menu's keyboard items: every gesture of the turntable, each
// with its shortcut, each taking the player's road and enabled only while it
// can act. The view takes the keys no item takes (the volume digits).
// Main thread only.
#include <QObject>
#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace gx {

class Player;

class ControlsMenu : public QObject {
    Q_OBJECT
public:
    // Adds the items to `menu` and follows the player to enable them.
    ControlsMenu(QMenu& menu, Player& player, QObject* parent = nullptr);

    // Sets each item's enabling from the player's state now.
    void update();
    // The item with this text, for the tests and the README's table.
    QAction* item(const QString& text) const;

private:
    struct Item {
        QAction* action;
        std::function<bool()> canAct;
    };
    void add(QMenu& menu, const QString& text, const QKeySequence& keys, std::function<void()> act,
        std::function<bool()> canAct);

    Player& player_;
    std::vector<Item> items_;
};

} // namespace gx
