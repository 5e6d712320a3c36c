#pragma once
// The queue in a small window beside the turntable: the song playing, then
// the songs to come, by the titles the window shows. Double-click plays one
// now, Delete takes one out, a drag moves one, Clear empties the queue. It
// follows the player at once and changes the queue only through it.
// Main thread only.
#include "sound/Decoder.h"

#include <QDialog>
#include <QString>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace gx {

class Player;

class QueueWindow : public QDialog {
    Q_OBJECT
public:
    QueueWindow(Player& player, QWidget* parent);

    // Row 0 is the song playing while there is one; the queue follows.
    QListWidget* list() const { return list_; }
    // The queue's index of a row, or -1 for the song playing.
    int queueIndexOfRow(int row) const { return row - firstQueuedRow_; }

    void playRow(int row);
    void removeRow(int row);
    // Moves the song of row `from` to stand at row `to`, as a drag does.
    void moveRow(int from, int to);
    void clear();

    // Beside the main window the first time; where the user left it after.
    void showBeside(const QWidget& window);

private:
    void refresh();
    void rowsDragged(int from, int dropRow);

    Player& player_;
    QListWidget* list_;
    QPushButton* clear_;
    int firstQueuedRow_ = 0;
    // The playing song's tags, once its label has read them.
    QString tagsPath_;
    TrackTags tags_;
    bool placed_ = false;
    bool refreshing_ = false;
};

} // namespace gx
