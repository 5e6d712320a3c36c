#include "view/GXGramoluxView.h"

#include "view/SongCover.h"
#include "view/TurntableAccessibility.h"
#include "view/TurntableLogic.h"
#include "view/TurntableModel.h"
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
#include <QShowEvent>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace tt = gx::turntable;
using namespace std::chrono_literals;

namespace {

// The reflection over a fully shown record.
constexpr qreal kReflectionOpacity = 0.2;

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

GXGramoluxView::GXGramoluxView(gx::TurntableModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
    , notice_(new gx::TurntableNotice(this))
{
    connect(notice_, &gx::TurntableNotice::changed, this, qOverload<>(&QWidget::update));
    // The record turns on this thread's clock, so a tick and its paint are
    // one wake-up; a precise timer keeps the 0.02 s steady.
    spinClock_.setTimerType(Qt::PreciseTimer);
    spinClock_.setInterval(20ms);
    connect(&spinClock_, &QTimer::timeout, this, [this] {
        if (!model_.clockTick())
            spinClock_.stop();
    });
    songCover_ = new gx::SongCover([this](const QImage& disc, const QImage& label) { showCover(disc, label); }, this);
    connect(songCover_, &gx::SongCover::tagsRead, this, &GXGramoluxView::songTagsRead);
    model_.hooks().changed = [this] { showChanges(); };
    model_.hooks().startSpinClock = [this] {
        if (!spinClock_.isActive())
            spinClock_.start();
    };
    loadImages(devicePixelRatioF());
    tracker_ = gx::TurntableChangeTracker(gx::TurntableLook::of(model_, songSeconds_, {}));
    setAcceptDrops(true);
    // Clicking the turntable gives it the keyboard, for the volume digits.
    setFocusPolicy(Qt::StrongFocus);
    announcer_ = gx::makeTurntableAccessible(this);
}

GXGramoluxView::~GXGramoluxView()
{
    model_.hooks().changed = nullptr;
    model_.hooks().startSpinClock = nullptr;
}

void GXGramoluxView::describeRecord(const QString& title, double seconds)
{
    recordTitle_ = title;
    recordTitleUtf8_ = title.toStdString();
    songSeconds_ = seconds;
    setToolTip(songCover_->toolTip(recordTitle_));
    showChanges();
}

// --- The song's cover and tags ---------------------------------------------

void GXGramoluxView::showSong(const QString& path)
{
    if (path == songCover_->path())
        return;
    songCover_->read(path, pictures_.disc, pictures_.label);
    // Never the last song's cover on this one, not even for a moment.
    showCover({}, {});
}

void GXGramoluxView::showCover(const QImage& disc, const QImage& label)
{
    setToolTip(songCover_->toolTip(recordTitle_));
    if (pictures_.setCover(disc, label) && model_.diskFraction() > 0.0f)
        update(discTurn_.box);
}

// --- Pictures and geometry -------------------------------------------------

void GXGramoluxView::loadImages(qreal scale)
{
    pictures_.load(scale);
    if (songCover_) // the cover was printed at the old scale
        songCover_->read(songCover_->path(), pictures_.disc, pictures_.label);
    setFixedSize(static_cast<int>(pictures_.width()), static_cast<int>(pictures_.height()));
    labelTurn_ = turningArea(pictures_.labelReach);
    discTurn_ = turningArea(pictures_.discReach);
    stillUnderLabel_ = {};
    // The reflection lies over the record, about its centre. Where the
    // turned label reaches (half a pixel more for the smoothing) and the
    // reflection is clear, one is never under the other: the reflection is
    // painted once into the still picture instead of over every turn.
    const QSizeF discSize = pictures_.disc.deviceIndependentSize();
    reflectionUnderLabel_ = !pictures_.reflection.isNull() && !pictures_.label.isNull()
        && pictures_.reflection.deviceIndependentSize() == discSize
        && pictures_.reflectionClear > pictures_.labelReach + 0.5f / static_cast<float>(pictures_.scale());
    // An opaque background covering the view repaints every pixel itself, so
    // Qt need not clear the area first, 50 times a second.
    const QImage& bg = pictures_.background;
    setAttribute(Qt::WA_OpaquePaintEvent, !bg.isNull() && !bg.hasAlphaChannel());
    update();
}

GXGramoluxView::PointF GXGramoluxView::viewPointFromWidget(QPointF p) const
{
    return {static_cast<float>(p.x()), static_cast<float>(pictures_.height() - p.y())};
}

QRectF GXGramoluxView::widgetRectFromView(RectF r) const
{
    return {r.x, pictures_.height() - r.y - r.height, r.width, r.height};
}

GXGramoluxView::RectF GXGramoluxView::viewRectFromWidget(QRectF r) const
{
    return {static_cast<float>(r.x()), static_cast<float>(pictures_.height() - r.y() - r.height()),
        static_cast<float>(r.width()), static_cast<float>(r.height())};
}

void GXGramoluxView::showEvent(QShowEvent* event)
{
    // The screen is known for sure only now; pick the matching artwork.
    if ((devicePixelRatioF() > 1.0) != (pictures_.scale() > 1.0))
        loadImages(devicePixelRatioF());
    QWidget::showEvent(event);
}

GXGramoluxView::TurningArea GXGramoluxView::turningArea(float reach) const
{
    if (pictures_.disc.isNull())
        return {};
    const QSizeF size = pictures_.disc.deviceIndependentSize();
    TurningArea area;
    area.pivot = {size.width() / 2.0 + tt::diskRect.x, pictures_.height() - (size.height() / 2.0 + tt::diskRect.y)};
    // A point more for the smoothing, which reaches into the next pixel.
    const double r = static_cast<double>(reach) + 1.0;
    area.box = QRectF(area.pivot.x() - r, area.pivot.y() - r, 2.0 * r, 2.0 * r).toAlignedRect();
    // Turned in bands of rows: Qt hands a turned image of more rows than a
    // band to its worker threads, and waking them costs more than the work.
    const int band = std::max(1, static_cast<int>(64.0 / pictures_.scale()));
    for (int y = area.box.top(); y <= area.box.bottom(); y += band)
        area.bands.push_back(QRect(area.box.left(), y, area.box.width(), band) & area.box);
    return area;
}

// --- Rendering -------------------------------------------------------------

bool GXGramoluxView::labelTurnsAlone() const
{
    // Fully shown, the grooves are drawn upright and only the label turns;
    // while fading, the label must not show through twice.
    return model_.diskFraction() >= 1.0f && !pictures_.label.isNull();
}

void GXGramoluxView::drawImagePart(QPainter& painter, const QImage& image, RectF source, PointF at, qreal opacity) const
{
    if (image.isNull())
        return;
    // Source and destination are in points with y up; the part of the source
    // outside the image draws nothing.
    const QSizeF size = image.deviceIndependentSize();
    const double x0 = std::max<double>(source.x, 0.0);
    const double y0 = std::max<double>(source.y, 0.0);
    const double x1 = std::min<double>(static_cast<double>(source.x) + source.width, size.width());
    const double y1 = std::min<double>(static_cast<double>(source.y) + source.height, size.height());
    if (!(x1 > x0) || !(y1 > y0))
        return;
    const double w = x1 - x0;
    const double h = y1 - y0;
    const double dx = at.x + (x0 - source.x);
    const double dy = at.y + (y0 - source.y);
    // Placed on the window's pixels as Qt rounds a position in the view
    // (halves up), also when painted into a picture of a part of the view,
    // where the position may fall below zero and would round the other way.
    const double d = devicePixelRatioF();
    const auto onPixel = [d](double v) { return std::floor(v * d + 0.5) / d; };
    const QRectF target(onPixel(dx), onPixel(pictures_.height() - dy - h), w, h);
    const double s = image.devicePixelRatio();
    const QRectF pixels(x0 * s, (size.height() - y1) * s, w * s, h * s);
    painter.setOpacity(opacity);
    painter.drawImage(target, image, pixels);
}
void GXGramoluxView::drawWholeImage(QPainter& painter, const QImage& image, PointF at, qreal opacity) const
{
    if (image.isNull())
        return;
    const QSizeF size = image.deviceIndependentSize();
    drawImagePart(
        painter, image, {0.0f, 0.0f, static_cast<float>(size.width()), static_cast<float>(size.height())}, at, opacity);
}

void GXGramoluxView::drawTurning(
    QPainter& painter, bool labelOnly, float angle, qreal opacity, const QRegion& dirty) const
{
    const QImage& image = pictures_.turning(labelOnly);
    if (image.isNull())
        return;
    const TurningArea& area = labelOnly ? labelTurn_ : discTurn_;
    QTransform turn = QTransform::fromTranslate(area.pivot.x(), area.pivot.y());
    // Counter-clockwise degrees with y up are clockwise ones with Qt's y down.
    if (std::isfinite(angle))
        turn.rotate(-static_cast<double>(angle));
    // The extent is symmetric about the pivot, so flipping y leaves it where
    // it was.
    const QSizeF size = image.deviceIndependentSize();
    const QRectF target(-size.width() / 2.0, -size.height() / 2.0, size.width(), size.height());
    painter.save();
    painter.setOpacity(opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const QRect& band : area.bands) {
        if (!dirty.intersects(band))
            continue;
        painter.resetTransform();
        painter.setClipRect(band);
        painter.setTransform(turn);
        painter.drawImage(target, image);
    }
    painter.restore();
}

const QImage& GXGramoluxView::stillUnderLabel()
{
    const qreal scale = devicePixelRatioF();
    if (!stillUnderLabel_.isNull() && stillUnderLabel_.devicePixelRatio() == scale)
        return stillUnderLabel_;
    const QRect& box = labelTurn_.box;
    const QImage& bg = pictures_.background;
    stillUnderLabel_ = QImage((QSizeF(box.size()) * scale).toSize(),
        !bg.isNull() && !bg.hasAlphaChannel() ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    stillUnderLabel_.setDevicePixelRatio(scale);
    stillUnderLabel_.fill(Qt::transparent);
    QPainter painter(&stillUnderLabel_);
    painter.translate(-box.topLeft());
    const RectF part = viewRectFromWidget(box);
    drawImagePart(painter, bg, part, {part.x, part.y}, 1.0);
    drawWholeImage(painter, pictures_.disc, {tt::diskRect.x, tt::diskRect.y}, 1.0);
    if (reflectionUnderLabel_)
        drawWholeImage(painter, pictures_.reflection, tt::reflectOrigin, static_cast<float>(kReflectionOpacity));
    return stillUnderLabel_;
}

void GXGramoluxView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const float fraction = model_.diskFraction();
    const bool showsDisc = fraction > 0.0f && !pictures_.disc.isNull();
    const bool labelOnly = showsDisc && labelTurnsAlone();

    // Under a label that turns alone, the background and the still record
    // are copied as one picture, made once: on whole pixels only, where the
    // copy falls on the window's pixels.
    QRegion layered = event->region();
    const qreal scale = devicePixelRatioF();
    bool reflectionShown = false;
    if (labelOnly && scale == std::round(scale) && layered.intersects(labelTurn_.box)) {
        reflectionShown = reflectionUnderLabel_;
        painter.setClipRect(labelTurn_.box);
        painter.drawImage(labelTurn_.box.topLeft(), stillUnderLabel());
        painter.setClipping(false);
        layered -= labelTurn_.box;
    }
    if (!layered.isEmpty()) {
        painter.setClipRegion(layered);
        // Only the part of the background being redrawn; it is pinned to the
        // view's origin.
        const RectF part = viewRectFromWidget(layered.boundingRect());
        drawImagePart(painter, pictures_.background, part, {part.x, part.y}, 1.0);
        if (labelOnly)
            drawWholeImage(painter, pictures_.disc, {tt::diskRect.x, tt::diskRect.y}, 1.0);
        painter.setClipping(false);
    }

    if (fraction > 0.0f) {
        // Turned straight onto the window, only where it meets the redraw.
        if (showsDisc)
            drawTurning(painter, labelOnly, model_.diskRotate(), fraction, event->region());
        // The still picture copied in showed it already.
        if (reflectionShown)
            painter.setClipRegion(layered);
        const float reflectOpacity = static_cast<float>(static_cast<double>(fraction) * kReflectionOpacity);
        if (!reflectionShown || !layered.isEmpty())
            drawWholeImage(painter, pictures_.reflection, tt::reflectOrigin, reflectOpacity);
        painter.setClipping(false);
    }

    drawWholeImage(painter, pictures_.centrePiece, tt::centrePieceOrigin, 1.0);

    const int arm = tt::armFrameIndex(model_.armValue());
    if (arm >= 0 && arm < static_cast<int>(pictures_.armFrames.size())) {
        const gx::TurntablePictures::ArmFrame& frame = pictures_.armFrames[static_cast<std::size_t>(arm)];
        drawWholeImage(painter, frame.image, {tt::armOrigin.x + frame.offset.x, tt::armOrigin.y + frame.offset.y}, 1.0);
    }

    const int dial = tt::dialFrameIndex(model_.dialValue());
    const RectF& d = tt::dialDraggRect;
    drawImagePart(painter, pictures_.dial, {dial * d.width, 0.0f, d.width, d.height}, {d.x, d.y}, 1.0);

    drawWholeImage(painter, model_.switchValue() ? pictures_.playButton : pictures_.stopButton,
        {tt::playBtnRect.x, tt::playBtnRect.y}, 1.0);

    if (model_.isFileDragging()) {
        // A frame inside the bounds.
        painter.setOpacity(1.0);
        const QColor colour = palette().color(QPalette::Highlight);
        const qreal W = pictures_.width();
        const qreal H = pictures_.height();
        const qreal t = tt::highlightWidth;
        painter.fillRect(QRectF(0, 0, W, t), colour);
        painter.fillRect(QRectF(0, H - t, W, t), colour);
        painter.fillRect(QRectF(0, t, t, H - 2 * t), colour);
        painter.fillRect(QRectF(W - t, t, t, H - 2 * t), colour);
    }

    notice_->paint(painter, font(), pictures_.width(), pictures_.height());
}

// --- What changed ----------------------------------------------------------

void GXGramoluxView::showChanges()
{
    const gx::TurntableLook now = gx::TurntableLook::of(model_, songSeconds_, recordTitleUtf8_);
    // While the full record plays and only its label turns, every other turn
    // is shown: a frame costs this process and the display server far more
    // than the pixels it changes, and 25 a second still turn smoothly. The
    // model keeps its 0.02 s step; switched off, running down to rest or
    // stopped, every turn is shown.
    const gx::TurntableChanges changes = tracker_.compare(now);
    if (!changes.any())
        return;
    if (changes.onlyTurned() && now.switchOn && now.diskFraction >= 1.0f && (++quietTurns_ % 2) != 0)
        return;
    tracker_.show(now);
    // Painted now, within this wake-up of the main thread, not on a later pass.
    if (const QRegion region = regionOf(changes); !region.isEmpty())
        repaint(region);
    gx::announceTurntableChanges(announcer_, changes);
}

QRegion GXGramoluxView::regionOf(const gx::TurntableChanges& changes) const
{
    const auto area = [this](tt::PointF at, const QImage& image) {
        const QSizeF size = image.isNull() ? QSizeF() : image.deviceIndependentSize();
        return widgetRectFromView({at.x, at.y, static_cast<float>(size.width()), static_cast<float>(size.height())})
            .toAlignedRect();
    };
    const tt::PointF button {tt::playBtnRect.x, tt::playBtnRect.y};
    QRegion region;
    if (changes.faded) {
        // Fading: the whole record and its reflection.
        region += discTurn_.box;
        region += area(tt::reflectOrigin, pictures_.reflection);
    } else if (changes.turned) {
        // Turning: once the record is fully shown, its label alone.
        region += labelTurnsAlone() ? labelTurn_.box : discTurn_.box;
    }
    if (changes.arm)
        region += widgetRectFromView({tt::armOrigin.x, tt::armOrigin.y, tt::armFrameWidth, tt::armFrameHeight})
                      .toAlignedRect();
    if (changes.dial)
        region += widgetRectFromView(tt::dialDraggRect).toAlignedRect();
    if (changes.switchOn)
        region += area(button, pictures_.playButton) | area(button, pictures_.stopButton);
    if (changes.highlight) {
        const int t = static_cast<int>(std::ceil(tt::highlightWidth));
        region += QRegion(rect()) - QRegion(rect().adjusted(t, t, -t, -t));
    }
    return region & rect();
}

// --- Pointer and keyboard --------------------------------------------------

void GXGramoluxView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    model_.mouseDown(viewPointFromWidget(event->position()), 1);
}

void GXGramoluxView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Qt sends press, release, double-click, release; the double-click is
    // the second press.
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    model_.mouseDown(viewPointFromWidget(event->position()), 2);
}

void GXGramoluxView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    model_.mouseDragged(viewPointFromWidget(event->position()));
}

void GXGramoluxView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    model_.mouseUp(viewPointFromWidget(event->position()));
}

void GXGramoluxView::keyPressEvent(QKeyEvent* event)
{
    // Every key ends here, volume digit or not, so none is passed on.
    model_.keyDown(event->text().toStdString());
    event->accept();
}

// --- File drop -------------------------------------------------------------

std::vector<std::string> GXGramoluxView::fileListInDraggingInfo(const QMimeData* info)
{
    std::vector<std::string> paths;
    if (!info || !info->hasUrls())
        return paths;
    for (const QUrl& url : info->urls())
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    return paths;
}

void GXGramoluxView::dragEnterEvent(QDragEnterEvent* event)
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

void GXGramoluxView::dragMoveEvent(QDragMoveEvent* event)
{
    acceptAsGeneric(event);
}

void GXGramoluxView::dragLeaveEvent(QDragLeaveEvent* event)
{
    model_.dragExited();
    event->accept();
}

void GXGramoluxView::dropEvent(QDropEvent* event)
{
    const std::vector<std::string> paths = fileListInDraggingInfo(event->mimeData());
    if (gx::TurntableModel::acceptableObject(paths) && acceptAsGeneric(event) && model_.drop(paths))
        event->accept();
    else
        event->ignore();
    model_.dragExited();
}
