#include "app/QueueWindow.h"

#include "engine/Player.h"
#include "platform/StringTable.h"
#include "sound/TrackTitle.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace gx {

namespace {

// "Artist — Album", as much of it as the tags hold.
QString tagsLine(const TrackTags& tags)
{
    QStringList parts;
    const QString artists = joinedNames(tags.artists.empty() ? tags.albumArtists : tags.artists);
    if (!artists.isEmpty())
        parts << artists;
    if (!tags.album.empty())
        parts << QString::fromStdString(tags.album);
    return parts.join(" — ");
}

} // namespace

QueueWindow::QueueWindow(Player& player, QWidget* parent)
    : QDialog(parent, Qt::Tool)
    , player_(player)
    , list_(new QListWidget(this))
    , clear_(new QPushButton(localizedString("Clear"), this))
{
    setWindowTitle(localizedString("Queue"));
    list_->setDragDropMode(QAbstractItemView::InternalMove);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(clear_, QDialogButtonBox::ResetRole);
    auto* box = new QVBoxLayout(this);
    box->addWidget(list_);
    box->addWidget(buttons);
    resize(280, 300);

    auto* remove = new QAction(list_);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);
    list_->addAction(remove);
    connect(remove, &QAction::triggered, this, [this] { removeRow(list_->currentRow()); });
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { playRow(list_->row(item)); });
    connect(clear_, &QPushButton::clicked, this, &QueueWindow::clear);
    // A drag has moved the row in the list already; the queue follows, then
    // the list is made again from it.
    connect(list_->model(), &QAbstractItemModel::rowsMoved, this,
        [this](const QModelIndex&, int start, int, const QModelIndex&, int row) {
            if (!refreshing_)
                QMetaObject::invokeMethod(
                    this, [this, start, row] { rowsDragged(start, row); }, Qt::QueuedConnection);
        });
    connect(&player_, &Player::stateChanged, this, &QueueWindow::refresh);
    connect(&player_, &Player::tagsRead, this, [this](const QString& path, const TrackTags& tags) {
        tagsPath_ = path;
        tags_ = tags;
        refresh();
    });
    refresh();
}

void QueueWindow::refresh()
{
    refreshing_ = true;
    const int current = list_->currentRow();
    list_->clear();
    const QString playing = player_.song() ? player_.songPath() : QString();
    firstQueuedRow_ = playing.isEmpty() ? 0 : 1;
    if (!playing.isEmpty()) {
        QString text = trackTitleOfPath(playing);
        const QString line = playing == tagsPath_ ? tagsLine(tags_) : QString();
        if (!line.isEmpty())
            text += "\n" + line;
        auto* item = new QListWidgetItem(style()->standardIcon(QStyle::SP_MediaPlay), text, list_);
        // It stays on top: it cannot be dragged, nor dropped on.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setToolTip(playing);
    }
    for (const QString& path : player_.queue()) {
        auto* item = new QListWidgetItem(trackTitleOfPath(path), list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
        item->setToolTip(path);
    }
    list_->setCurrentRow(std::min(current, list_->count() - 1));
    clear_->setEnabled(!player_.queue().isEmpty());
    refreshing_ = false;
}

void QueueWindow::rowsDragged(int from, int dropRow)
{
    // The list reports the row the song was dropped before.
    const int to = dropRow > from ? dropRow - 1 : dropRow;
    moveRow(from, to);
    refresh(); // a move the player refuses puts the row back
}

void QueueWindow::playRow(int row)
{
    if (queueIndexOfRow(row) >= 0)
        player_.playQueued(queueIndexOfRow(row));
}

void QueueWindow::removeRow(int row)
{
    if (queueIndexOfRow(row) >= 0)
        player_.removeQueued(queueIndexOfRow(row));
}

void QueueWindow::moveRow(int from, int to)
{
    if (queueIndexOfRow(from) >= 0)
        player_.moveQueued(queueIndexOfRow(from), std::max(0, queueIndexOfRow(to)));
}

void QueueWindow::clear()
{
    player_.clearQueue();
}

void QueueWindow::showBeside(const QWidget& window)
{
    if (!placed_) {
        placed_ = true;
        const QRect frame = window.frameGeometry();
        move(frame.right() + 8, frame.top());
    }
    show();
    raise();
    activateWindow();
}

} // namespace gx
