#include "view/TurntableView.h"

#include "turntable/TurntableLogic.h"
#include "turntable/TurntableModel.h"
#include "view/RecordToolTip.h"
#include "view/SongCover.h"
#include "view/TurntableAccessibility.h"
#include "view/TurntableNotice.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTextDocument>
#include <QToolTip>
#include <QUrl>
#include <cmath>

namespace gx {

namespace tt = turntable;
using namespace std::chrono_literals;

namespace {

// The colour of the background's outer pixels: the wood, continued around a
// turntable smaller than its view.
QColor edgeColour(const QImage& image)
{
    if (image.isNull())
        return Qt::black;
    qint64 r = 0, g = 0, b = 0, n = 0;
    const auto add = [&](int x, int y) {
        const QRgb p = image.pixel(x, y);
        r += qRed(p);
        g += qGreen(p);
        b += qBlue(p);
        ++n;
    };
    for (int x = 0; x < image.width(); ++x) {
        add(x, 0);
        add(x, image.height() - 1);
    }
    for (int y = 0; y < image.height(); ++y) {
        add(0, y);
        add(image.width() - 1, y);
    }
    return QColor(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}

// The fit's conversions on Qt's rectangles: the turntable's own top-left
// coordinates to the widget's, and back.
QRectF toWidget(const tt::Fit& fit, const QRectF& r)
{
    const tt::RectF w = fit.toWidget({static_cast<float>(r.x()), static_cast<float>(r.y()),
        static_cast<float>(r.width()), static_cast<float>(r.height())});
    return {w.x, w.y, w.width, w.height};
}

QRectF toTable(const tt::Fit& fit, const QRectF& r)
{
    const tt::PointF a = fit.toTable({static_cast<float>(r.left()), static_cast<float>(r.top())});
    const tt::PointF b = fit.toTable({static_cast<float>(r.right()), static_cast<float>(r.bottom())});
    return {QPointF(a.x, a.y), QPointF(b.x, b.y)};
}

// Accepts a drop as a copy (or a link), never as a move: a source that is
// told its files were moved may delete them.
bool acceptAsGeneric(QDropEvent* event)
{
    for (Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event->possibleActions() & action) {
            event->setDropAction(action);
            event->accept();
            return true;
        }
    }
    event->ignore();
    return false;
}

} // namespace

TurntableView::TurntableView(TurntableModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
    , painter_(model, pictures_)
    , notice_(new TurntableNotice(this))
    , feedback_(new TurntableNotice(this, TurntableNotice::Edge::bottom))
    , hint_(new TurntableNotice(this, TurntableNotice::Edge::middle))
{
    connect(notice_, &TurntableNotice::changed, this, qOverload<>(&QWidget::update));
    connect(hint_, &TurntableNotice::changed, this, qOverload<>(&QWidget::update));
    // Several changes a second (a held key) repaint the band alone.
    connect(feedback_, &TurntableNotice::changed, this, [this] {
        const QRect now = widgetRegion(feedback_->band(font(), pictures_.width(), pictures_.height()).toAlignedRect())
                              .boundingRect();
        update(QRegion(now) | feedbackShown_);
        feedbackShown_ = now;
    });
    // The record turns on this thread's clock, so a tick and its paint are
    // one wake-up; a precise timer keeps the 0.02 s steady.
    spinClock_.setTimerType(Qt::PreciseTimer);
    spinClock_.setInterval(20ms);
    connect(&spinClock_, &QTimer::timeout, this, [this] {
        if (!model_.clockTick())
            spinClock_.stop();
    });
    songCover_ = new SongCover([this](const QImage& disc, const QImage& label) { showCover(disc, label); }, this);
    connect(songCover_, &SongCover::tagsRead, this, &TurntableView::songTagsRead);
    model_.hooks().changed = [this] { showChanges(); };
    model_.hooks().startSpinClock = [this] {
        if (!spinClock_.isActive())
            spinClock_.start();
    };
    loadImages(devicePixelRatioF());
    tracker_ = TurntableChangeTracker(TurntableLook::of(model_, songSeconds_, {}));
    setAcceptDrops(true);
    // Clicking the turntable gives it the keyboard, for the volume digits.
    setFocusPolicy(Qt::StrongFocus);
    announcer_ = makeTurntableAccessible(this);
}

TurntableView::~TurntableView()
{
    model_.hooks().changed = nullptr;
    model_.hooks().startSpinClock = nullptr;
}

void TurntableView::showFeedback(const QString& text)
{
    feedback_->show(text, 1s);
    announceTurntableFeedback(this, text);
}

void TurntableView::showHint(const QString& text)
{
    hint_->show(text, 0ms);
}

QString TurntableView::toolTipText() const
{
    QString text = songCover_->toolTip(recordTitle_);
    if (songSeconds_ <= 0.0)
        return text;
    QString time = songTimeText(static_cast<double>(model_.armValue()) * songSeconds_, songSeconds_);
    if (songGainDb_)
        time += " · " + gainText(*songGainDb_);
    return text.isEmpty() ? time : text + (Qt::mightBeRichText(text) ? "<br>" : "\n") + time;
}

bool TurntableView::event(QEvent* event)
{
    // The time moves on, so the tooltip is made when it is asked for.
    if (event->type() == QEvent::ToolTip) {
        const QString text = toolTipText();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void TurntableView::describeRecord(const QString& title, double seconds, std::optional<double> gainDb)
{
    songGainDb_ = gainDb;
    recordTitle_ = title;
    recordTitleUtf8_ = title.toStdString();
    songSeconds_ = seconds;
    setToolTip(songCover_->toolTip(recordTitle_));
    showChanges();
}

// --- The song's cover and tags ---------------------------------------------

void TurntableView::showSong(const QString& path)
{
    if (!path.isEmpty())
        hint_->clear();
    if (path == songCover_->path())
        return;
    songCover_->read(path, pictures_.disc, pictures_.label);
    // Never the last song's cover on this one, not even for a moment.
    showCover({}, {});
}

void TurntableView::showCover(const QImage& disc, const QImage& label)
{
    setToolTip(songCover_->toolTip(recordTitle_));
    if (pictures_.setCover(disc, label) && model_.diskFraction() > 0.0f)
        update(widgetRegion(painter_.turningBox(false)));
}

// --- Pictures and geometry -------------------------------------------------

void TurntableView::loadImages(qreal scale)
{
    pictures_.load(scale);
    const QImage& bg = pictures_.background;
    if (songCover_) // the cover was printed at the old scale
        songCover_->read(songCover_->path(), pictures_.disc, pictures_.label);
    const QSize least(static_cast<int>(pictures_.width()), static_cast<int>(pictures_.height()));
    setMinimumSize(least);
    // Until the window sizes it, the view is the turntable's own size.
    if (!testAttribute(Qt::WA_Resized))
        resize(least);
    updateGeometry();
    fit_ = tt::fitTurntable(static_cast<float>(width()), static_cast<float>(height()), pictures_.width(),
        pictures_.height(), static_cast<float>(devicePixelRatioF()));
    painter_.picturesLoaded();
    margin_ = edgeColour(bg);
    // An opaque background covering the view repaints every pixel itself, so
    // Qt need not clear the area first, 50 times a second.
    setAttribute(Qt::WA_OpaquePaintEvent, !bg.isNull() && !bg.hasAlphaChannel());
    update();
}

QSize TurntableView::sizeHint() const
{
    return minimumSize();
}

TurntableView::PointF TurntableView::viewPointFromWidget(QPointF p) const
{
    const tt::PointF table = fit_.toTable({static_cast<float>(p.x()), static_cast<float>(p.y())});
    return {table.x, pictures_.height() - table.y};
}

QRectF TurntableView::widgetRectFromView(RectF r) const
{
    return toWidget(fit_, painter_.widgetRectFromView(r));
}

TurntableView::RectF TurntableView::viewRectFromWidget(QRectF r) const
{
    return painter_.viewRectFromWidget(toTable(fit_, r));
}

QRegion TurntableView::widgetRegion(const QRegion& table) const
{
    if (fit_.identity())
        return table;
    QRegion widget;
    for (const QRect& r : table)
        widget += toWidget(fit_, r).toAlignedRect();
    return widget;
}

QRegion TurntableView::tableRegion(const QRegion& widget) const
{
    if (fit_.identity())
        return widget;
    QRegion table;
    for (const QRect& r : widget)
        table += toTable(fit_, r).toAlignedRect();
    return table & QRect(0, 0, static_cast<int>(pictures_.width()), static_cast<int>(pictures_.height()));
}

void TurntableView::matchPictures()
{
    const qreal wanted = devicePixelRatioF() * static_cast<qreal>(fit_.scale);
    if ((wanted > 1.0) != (pictures_.scale() > 1.0))
        loadImages(wanted);
}

void TurntableView::showEvent(QShowEvent* event)
{
    // The screen is known for sure only now; pick the matching artwork.
    matchPictures();
    QWidget::showEvent(event);
}

void TurntableView::resizeEvent(QResizeEvent* event)
{
    const float before = fit_.scale;
    fit_ = tt::fitTurntable(static_cast<float>(width()), static_cast<float>(height()), pictures_.width(),
        pictures_.height(), static_cast<float>(devicePixelRatioF()));
    // Pictures asked for at a scale stay until the scale they are shown at changes.
    if (fit_.scale != before)
        matchPictures();
    QWidget::resizeEvent(event);
}

// --- Rendering -------------------------------------------------------------

void TurntableView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (fit_.identity()) {
        painter_.paint(painter, event->region(), devicePixelRatioF(), palette().color(QPalette::Highlight));
    } else {
        // The wood around the turntable, then the turntable drawn at its
        // scale: its pictures meet the device pixels it is shown on.
        const QRectF table = toWidget(
            fit_, QRectF(0, 0, static_cast<qreal>(pictures_.width()), static_cast<qreal>(pictures_.height())));
        for (const QRect& r : event->region() - QRegion(table.toAlignedRect()))
            painter.fillRect(r, margin_);
        painter.translate(table.topLeft());
        painter.scale(static_cast<qreal>(fit_.scale), static_cast<qreal>(fit_.scale));
        painter_.paint(painter, tableRegion(event->region()), devicePixelRatioF() * static_cast<qreal>(fit_.scale),
            palette().color(QPalette::Highlight));
    }
    notice_->paint(painter, font(), pictures_.width(), pictures_.height());
    feedback_->paint(painter, font(), pictures_.width(), pictures_.height());
    hint_->paint(painter, font(), pictures_.width(), pictures_.height());
}

// --- What changed ----------------------------------------------------------

void TurntableView::showChanges()
{
    const TurntableLook now = TurntableLook::of(model_, songSeconds_, recordTitleUtf8_);
    // While the full record plays and only its label turns, every other turn
    // is shown: a frame costs this process and the display server far more
    // than the pixels it changes, and 25 a second still turn smoothly. The
    // model keeps its 0.02 s step; switched off, running down to rest or
    // stopped, every turn is shown.
    const TurntableChanges changes = tracker_.compare(now);
    if (!changes.any())
        return;
    if (changes.onlyTurned() && now.switchOn && now.diskFraction >= 1.0f && (++quietTurns_ % 2) != 0)
        return;
    tracker_.show(now);
    // Painted now, within this wake-up of the main thread, not on a later pass.
    if (const QRegion region = widgetRegion(regionOf(changes)); !region.isEmpty())
        repaint(region);
    announceTurntableChanges(announcer_, changes);
}

QRegion TurntableView::regionOf(const TurntableChanges& changes) const
{
    const auto area = [this](tt::PointF at, const QImage& image) {
        const QSizeF size = image.isNull() ? QSizeF() : image.deviceIndependentSize();
        return painter_
            .widgetRectFromView({at.x, at.y, static_cast<float>(size.width()), static_cast<float>(size.height())})
            .toAlignedRect();
    };
    const tt::PointF button {tt::playBtnRect.x, tt::playBtnRect.y};
    QRegion region;
    if (changes.faded) {
        // Fading: the whole record and its reflection.
        region += painter_.turningBox(false);
        region += area(tt::reflectOrigin, pictures_.reflection);
    } else if (changes.turned) {
        // Turning: once the record is fully shown, its label alone.
        region += painter_.turningBox(painter_.labelTurnsAlone());
    }
    if (changes.arm)
        region += painter_.widgetRectFromView({tt::armOrigin.x, tt::armOrigin.y, tt::armFrameWidth, tt::armFrameHeight})
                      .toAlignedRect();
    if (changes.dial)
        region += painter_.widgetRectFromView(tt::dialDraggRect).toAlignedRect();
    if (changes.switchOn)
        region += area(button, pictures_.playButton) | area(button, pictures_.stopButton);
    const QRect table(0, 0, static_cast<int>(pictures_.width()), static_cast<int>(pictures_.height()));
    if (changes.highlight) {
        const int t = static_cast<int>(std::ceil(tt::highlightWidth));
        region += QRegion(table) - QRegion(table.adjusted(t, t, -t, -t));
    }
    return region & table;
}

// --- Pointer and keyboard --------------------------------------------------

void TurntableView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    model_.mouseDown(viewPointFromWidget(event->position()), 1);
}

void TurntableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Qt sends press, release, double-click, release; the double-click is
    // the second press.
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    model_.mouseDown(viewPointFromWidget(event->position()), 2);
}

void TurntableView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    model_.mouseDragged(viewPointFromWidget(event->position()));
}

void TurntableView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    model_.mouseUp(viewPointFromWidget(event->position()));
}

void TurntableView::keyPressEvent(QKeyEvent* event)
{
    // Every key ends here, volume digit or not, so none is passed on.
    model_.keyDown(event->text().toStdString());
    event->accept();
}

// --- File drop -------------------------------------------------------------

std::vector<std::string> TurntableView::fileListInDraggingInfo(const QMimeData* info)
{
    std::vector<std::string> paths;
    if (!info || !info->hasUrls())
        return paths;
    for (const QUrl& url : info->urls())
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    return paths;
}

void TurntableView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!model_.dragEntered(fileListInDraggingInfo(event->mimeData()))) {
        event->ignore();
        return;
    }
    // A source that offers only a move is refused; no leave event follows
    // a refused entry, so the highlight goes off here.
    if (!acceptAsGeneric(event))
        model_.dragExited();
}

void TurntableView::dragMoveEvent(QDragMoveEvent* event)
{
    acceptAsGeneric(event);
}

void TurntableView::dragLeaveEvent(QDragLeaveEvent* event)
{
    model_.dragExited();
    event->accept();
}

void TurntableView::dropEvent(QDropEvent* event)
{
    const std::vector<std::string> paths = fileListInDraggingInfo(event->mimeData());
    if (TurntableModel::acceptsFiles(paths) && acceptAsGeneric(event) && model_.drop(paths))
        event->accept();
    else
        event->ignore();
    model_.dragExited();
}

} // namespace gx
