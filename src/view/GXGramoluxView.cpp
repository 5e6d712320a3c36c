#include "view/GXGramoluxView.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/ResourceNames.h"
#include "platform/Resources.h"
#include "platform/TickLoop.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/GXQTMusic.h"
#include "view/CoverReader.h"
#include "view/MusicOpener.h"
#include "view/RecordLabel.h"
#include "view/RecordToolTip.h"
#include "view/TurntableAccessibility.h"

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
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <system_error>
#include <utility>

namespace tt = gx::turntable;

namespace {

// Rows of pixels drawn at a time when turning an image.
constexpr double kTurnBandPixels = 64.0;

bool opaque(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

QImage loadImage(const std::string& base, bool preferDouble)
{
    auto load = [](const std::string& name) -> QImage {
        const std::string path = gx::pathForResource(name);
        if (path.empty())
            return {};
        QImage image(QString::fromStdString(path));
        if (image.isNull())
            return {};
        // Premultiplied once here, so that painting never converts; and an
        // image that is opaque throughout is copied, not blended, and lets
        // the view paint without its window's background under it.
        // In place: the arm's strip alone is 7 MB at 1x and 30 MB at 2x.
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        // Opaque premultiplied pixels are RGB32 pixels already.
        if (image.hasAlphaChannel() && opaque(image))
            image.reinterpretAsFormat(QImage::Format_RGB32);
        return image;
    };
    if (preferDouble) {
        QImage image = load(base + "@2x.tif");
        if (!image.isNull()) {
            image.setDevicePixelRatio(2.0);
            return image;
        }
    }
    return load(base + ".tif");
}

// Points from the image's centre to the farthest corner of a pixel that
// shows: what the image can cover when turned about its centre.
float reachOf(const QImage& image)
{
    if (image.isNull())
        return 0.0f;
    const double cx = image.width() / 2.0;
    const double cy = image.height() / 2.0;
    const auto farthest = [](int i, double c) { return std::max(std::fabs(i - c), std::fabs(i + 1 - c)); };
    double reach = 0.0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (!image.hasAlphaChannel() || qAlpha(line[x]) != 0)
                reach = std::max(reach, std::hypot(farthest(x, cx), farthest(y, cy)));
    }
    return static_cast<float>(reach / image.devicePixelRatio());
}

} // namespace

// The strip's frames, each cut down to the part of it that shows: a frame is
// mostly clear, and the whole strip would hold several megabytes for one
// frame on screen at a time. A part of a frame outside the strip is clear.
std::vector<GXGramoluxView::ArmFrame> GXGramoluxView::armFrames(const QImage& strip)
{
    std::vector<ArmFrame> frames(tt::armFrameCount);
    if (strip.isNull())
        return frames;
    const double s = strip.devicePixelRatio();
    const int w = static_cast<int>(std::lround(tt::armFrameWidth * s));
    const int h = static_cast<int>(std::lround(tt::armFrameHeight * s));
    for (int i = 0; i < tt::armFrameCount; ++i) {
        // Frames stand on the strip's bottom edge.
        const QRect cell = QRect(i * w, strip.height() - h, w, h) & strip.rect();
        int left = cell.right() + 1, right = cell.left() - 1, top = cell.bottom() + 1, bottom = cell.top() - 1;
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
            for (int x = cell.left(); x <= cell.right(); ++x) {
                if (strip.hasAlphaChannel() && qAlpha(line[x]) == 0)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        if (left > right)
            continue;
        ArmFrame& frame = frames[static_cast<std::size_t>(i)];
        frame.image = strip.copy(QRect(QPoint(left, top), QPoint(right, bottom)));
        frame.image.setDevicePixelRatio(s);
        // Points from the frame's bottom-left corner, y up.
        frame.offset = {static_cast<float>((left - i * w) / s), static_cast<float>((strip.height() - 1 - bottom) / s)};
    }
    return frames;
}

namespace {

void post(const std::string& name, const GXGramoluxView* view)
{
    gx::NotificationCenter::defaultCenter().postNotificationName(name, view);
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

GXGramoluxView::GXGramoluxView(QWidget* parent)
    : QWidget(parent)
    , noticeTimer_(new QTimer(this))
    , paintSpinChangesMethod_(staticMetaObject.method(staticMetaObject.indexOfSlot("paintSpinChanges()")))
{
    noticeTimer_->setSingleShot(true);
    connect(noticeTimer_, &QTimer::timeout, this, &GXGramoluxView::clearNotice);
    loadImages(devicePixelRatioF());
    shown_ = {diskRotate_.load(), diskFraction_.load(), tt::armFrameIndex(armValue_.load()),
        tt::dialFrameIndex(dialValue_.load()), switchValue_.load(), isFileDragging_.load()};
    setAcceptDrops(true);
    // Clicking the turntable gives it the keyboard, for the volume digits.
    setFocusPolicy(Qt::StrongFocus);
    announcer_ = gx::makeTurntableAccessible(this);
}

GXGramoluxView::~GXGramoluxView()
{
    // The reader posts to this view; it ends before the view does.
    coverReader_.reset();
    isPlaying_.store(false);
    {
        std::lock_guard lock(loopMutex_);
        ++generation_;
    }
    // Joined outside loopsMutex_: a tick on its way out may call play().
    std::vector<std::unique_ptr<gx::TickLoop>> loops;
    {
        std::lock_guard lock(loopsMutex_);
        loops.swap(loops_);
    }
    for (const auto& loop : loops)
        loop->requestStop();
    loops.clear();
}

void GXGramoluxView::setSwitchValue(float value)
{
    // Truncation toward zero is non-zero exactly when |value| >= 1.
    switchValue_.store(std::fabs(value) >= 1.0f);
}

void GXGramoluxView::describeRecord(const QString& title, double seconds)
{
    recordTitle_ = title;
    songSeconds_ = seconds;
    updateToolTip();
    update(); // assistive technology hears of it with the next paint
}

// --- The song's cover and tags ---------------------------------------------

void GXGramoluxView::showSong(const QString& path)
{
    if (path == songPath_)
        return;
    songPath_ = path;
    songArtist_.clear();
    songTitle_.clear();
    songAlbum_.clear();
    updateToolTip();
    // Never the last song's cover on this one, not even for a moment.
    setCover({}, {});
    readCover();
}

void GXGramoluxView::readCover()
{
    ++coverTicket_; // whatever is on its way is stale now
    if (songPath_.isEmpty() || diskImage_.isNull())
        return;
    if (!coverReader_) {
        // On the reader's thread: only a call by name is posted, ordered by
        // the reader's lock, which takeCover passes before reading anything.
        coverReader_ = std::make_unique<gx::CoverReader>(
            [this] { QMetaObject::invokeMethod(this, "takeCover", Qt::QueuedConnection); });
    }
    coverReader_->request(coverTicket_, songPath_, diskImage_, labelImage_);
}

void GXGramoluxView::takeCover()
{
    if (!coverReader_)
        return;
    std::optional<gx::CoverReader::Result> result = coverReader_->take();
    if (!result || result->ticket != coverTicket_)
        return;
    songArtist_ = result->artist;
    songTitle_ = result->title;
    songAlbum_ = result->album;
    updateToolTip();
    setCover(result->record.disc, result->record.label);
}

void GXGramoluxView::setCover(const QImage& disc, const QImage& label)
{
    if (disc.isNull() && coveredDisc_.isNull())
        return;
    coveredDisc_ = disc;
    coveredLabel_ = label;
    turned_ = {};
    if (diskFraction_.load() > 0.0f)
        update(turningRect(discReach_));
}

void GXGramoluxView::updateToolTip()
{
    const QString text = gx::recordToolTip(songArtist_, songTitle_, songAlbum_, recordTitle_);
    // Tags are plain text; a tooltip would take "<b>…" for markup.
    setToolTip(Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap) : text);
}

// --- Images and geometry ---------------------------------------------------

void GXGramoluxView::loadImages(qreal scale)
{
    const bool preferDouble = scale > 1.0;
    namespace names = gx::resources;
    bgImage_ = loadImage(names::background, preferDouble);
    diskImage_ = loadImage(names::disc, preferDouble);
    labelImage_ = tt::turningLabel(diskImage_, tt::labelTurnRadius);
    discReach_ = reachOf(diskImage_);
    labelReach_ = reachOf(labelImage_);
    turned_ = {};
    // The cover was printed at the old scale.
    coveredDisc_ = {};
    coveredLabel_ = {};
    readCover();
    reflectImage_ = loadImage(names::reflection, preferDouble);
    centerImage_ = loadImage(names::centrePiece, preferDouble);
    dialImage_ = loadImage(names::dial, preferDouble);
    armFrames_ = armFrames(loadImage(names::arm, preferDouble));
    playBtnImage_ = loadImage(names::playButton, preferDouble);
    stopBtnImage_ = loadImage(names::stopButton, preferDouble);
    imageScale_ = preferDouble ? 2.0 : 1.0;

    if (!bgImage_.isNull()) {
        const QSizeF size = bgImage_.deviceIndependentSize();
        boundsWidth_ = static_cast<float>(std::ceil(size.width()));
        boundsHeight_ = static_cast<float>(std::ceil(size.height()));
    } else {
        boundsWidth_ = tt::defaultViewWidth;
        boundsHeight_ = tt::defaultViewHeight;
    }
    setFixedSize(static_cast<int>(boundsWidth_), static_cast<int>(boundsHeight_));
    // An opaque background covering the view repaints every pixel itself, so
    // Qt need not clear the area first, 50 times a second.
    setAttribute(Qt::WA_OpaquePaintEvent, !bgImage_.isNull() && !bgImage_.hasAlphaChannel());
    update();
}

GXGramoluxView::PointF GXGramoluxView::viewPointFromWidget(QPointF p) const
{
    return {static_cast<float>(p.x()), static_cast<float>(boundsHeight_ - p.y())};
}

QRectF GXGramoluxView::widgetRectFromView(RectF r) const
{
    return {r.x, boundsHeight_ - r.y - r.height, r.width, r.height};
}

GXGramoluxView::RectF GXGramoluxView::viewRectFromWidget(QRectF r) const
{
    return {static_cast<float>(r.x()), static_cast<float>(boundsHeight_ - r.y() - r.height()),
        static_cast<float>(r.width()), static_cast<float>(r.height())};
}

void GXGramoluxView::showEvent(QShowEvent* event)
{
    // The screen is known for sure only now; pick the matching artwork.
    if ((devicePixelRatioF() > 1.0) != (imageScale_ > 1.0))
        loadImages(devicePixelRatioF());
    QWidget::showEvent(event);
}

// --- Rendering -------------------------------------------------------------

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
    const QRectF target(dx, boundsHeight_ - dy - h, w, h);
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

const QImage& GXGramoluxView::turnedImage(bool labelOnly, float angle, QRect box)
{
    const qreal scale = devicePixelRatioF();
    const QSize pixels = (QSizeF(box.size()) * scale).toSize();
    if (turned_.labelOnly == labelOnly && turned_.angle == angle && turned_.image.size() == pixels
        && turned_.image.devicePixelRatio() == scale)
        return turned_.image;
    if (turned_.image.size() != pixels) {
        turned_.image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        turned_.image.setDevicePixelRatio(scale);
    }
    turned_.image.fill(Qt::transparent);
    const bool covered = !coveredDisc_.isNull() && (!labelOnly || !coveredLabel_.isNull());
    const QImage& turning = labelOnly ? (covered ? coveredLabel_ : labelImage_) : (covered ? coveredDisc_ : diskImage_);
    const QSizeF discSize = diskImage_.deviceIndependentSize();
    const QSizeF size = turning.deviceIndependentSize();
    QPainter painter(&turned_.image);
    painter.translate(discSize.width() / 2.0 + tt::diskRect.x - box.x(),
        boundsHeight_ - (discSize.height() / 2.0 + tt::diskRect.y) - box.y());
    // Counter-clockwise degrees with y up are clockwise ones with Qt's y down.
    if (std::isfinite(angle))
        painter.rotate(-static_cast<double>(angle));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The extent is symmetric about the pivot, so flipping y leaves it where
    // it was. Drawn in bands: Qt hands a turned image of more rows than a
    // band to its worker threads, and waking them costs more than the work.
    const QRectF target(-size.width() / 2.0, -size.height() / 2.0, size.width(), size.height());
    const QTransform turned = painter.transform();
    const double band = kTurnBandPixels / scale;
    for (double y = 0.0; y < box.height(); y += band) {
        painter.resetTransform();
        painter.setClipRect(QRectF(0.0, y, box.width(), band));
        painter.setTransform(turned);
        painter.drawImage(target, turning);
    }
    turned_.labelOnly = labelOnly;
    turned_.angle = angle;
    return turned_.image;
}

void GXGramoluxView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const RectF dirty = viewRectFromWidget(event->rect());

    // Only the part of the background being redrawn; it is pinned to the
    // view's origin.
    drawImagePart(painter, bgImage_, dirty, {dirty.x, dirty.y}, 1.0);

    const float fraction = diskFraction_.load();
    if (fraction > 0.0f) {
        if (!diskImage_.isNull()) {
            // Fully shown, the grooves are drawn upright and only the label
            // turns; while fading, the label must not show through twice.
            const bool labelOnly = fraction >= 1.0f && !labelImage_.isNull();
            if (labelOnly)
                drawWholeImage(painter, diskImage_, {tt::diskRect.x, tt::diskRect.y}, 1.0);
            const float angle = diskRotate_.load();
            // All the turned image can cover, not only where it shows: a
            // redraw that leaves out some of what changed shows up as a
            // difference from a full one.
            const QSizeF size = (labelOnly ? labelImage_ : diskImage_).deviceIndependentSize();
            const QRect box = turningRect(static_cast<float>(std::hypot(size.width(), size.height()) / 2.0));
            if (box.intersects(event->rect())) {
                painter.setOpacity(fraction);
                painter.drawImage(box.topLeft(), turnedImage(labelOnly, angle, box));
            }
        }
        const float reflectOpacity = static_cast<float>(static_cast<double>(fraction) * 0.2);
        drawWholeImage(painter, reflectImage_, tt::reflectOrigin, reflectOpacity);
    }

    drawWholeImage(painter, centerImage_, tt::centrePieceOrigin, 1.0);

    const int arm = tt::armFrameIndex(armValue_.load());
    if (arm >= 0 && arm < static_cast<int>(armFrames_.size())) {
        const ArmFrame& frame = armFrames_[static_cast<std::size_t>(arm)];
        drawWholeImage(painter, frame.image, {tt::armOrigin.x + frame.offset.x, tt::armOrigin.y + frame.offset.y}, 1.0);
    }

    const int dial = tt::dialFrameIndex(dialValue_.load());
    const RectF& d = tt::dialDraggRect;
    drawImagePart(painter, dialImage_, {dial * d.width, 0.0f, d.width, d.height}, {d.x, d.y}, 1.0);

    drawWholeImage(
        painter, switchValue_.load() ? playBtnImage_ : stopBtnImage_, {tt::playBtnRect.x, tt::playBtnRect.y}, 1.0);

    if (isFileDragging_.load()) {
        // A frame inside the bounds.
        painter.setOpacity(1.0);
        const QColor colour = palette().color(QPalette::Highlight);
        const qreal W = boundsWidth_;
        const qreal H = boundsHeight_;
        const qreal t = tt::highlightWidth;
        painter.fillRect(QRectF(0, 0, W, t), colour);
        painter.fillRect(QRectF(0, H - t, W, t), colour);
        painter.fillRect(QRectF(0, t, t, H - 2 * t), colour);
        painter.fillRect(QRectF(W - t, t, t, H - 2 * t), colour);
    }

    drawNotice(painter);
    gx::announceTurntableChanges(announcer_);
}

void GXGramoluxView::drawNotice(QPainter& painter) const
{
    if (notice_.isEmpty())
        return;
    // Light text on a dimmed band across the top of the record, above the
    // dial, so that every control stays in sight; a long text grows down.
    constexpr qreal kMargin = 6.0;
    constexpr qreal kPadding = 5.0;
    QFont small = font();
    small.setPixelSize(12);
    painter.setFont(small);
    painter.setOpacity(1.0);
    const qreal width = boundsWidth_ - 2 * kMargin;
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    const QRectF text = painter.boundingRect(QRectF(0, 0, width - 2 * kPadding, boundsHeight_), flags, notice_);
    const QRectF band(kMargin, kMargin, width, text.height() + 2 * kPadding);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 16, 12, 200));
    painter.drawRoundedRect(band, 6.0, 6.0);
    painter.setPen(QColor(240, 232, 220));
    painter.drawText(band.adjusted(kPadding, kPadding, -kPadding, -kPadding), flags, notice_);
}

void GXGramoluxView::showNotice(const QString& text, std::chrono::milliseconds lifetime)
{
    notice_ = text;
    noticeTimer_->start(lifetime);
    update();
}

void GXGramoluxView::clearNotice()
{
    noticeTimer_->stop();
    if (notice_.isEmpty())
        return;
    notice_.clear();
    update();
}

// --- Spin loop -------------------------------------------------------------

void GXGramoluxView::play()
{
    bool idle = false;
    if (!isPlaying_.compare_exchange_strong(idle, true))
        return;
    switchValue_.store(true);
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(loopMutex_);
        generation = ++generation_;
    }
    std::lock_guard lock(loopsMutex_);
    // An old loop still sleeping after a stop leaves at once; one that has
    // left is joined.
    std::erase_if(loops_, [](const std::unique_ptr<gx::TickLoop>& loop) {
        loop->requestStop();
        return loop->finished();
    });
    try {
        auto loop = std::make_unique<gx::TickLoop>();
        // The first tick of a play always runs; later ones first look whether
        // the view was stopped or played anew while the loop slept.
        loop->start(
            [this, generation, first = true]() mutable {
                std::unique_lock tickLock(loopMutex_);
                if (!std::exchange(first, false) && (!isPlaying_.load() || generation_ != generation)) {
                    // The last tick's turn may have gone unpainted. After a
                    // stop the switch is off, so it is shown now; after a new
                    // play, the new loop shows it.
                    requestRedraw();
                    return gx::TickLoop::Next::stop();
                }
                return runTick(tickLock, generation) ? gx::TickLoop::Next::period() : gx::TickLoop::Next::stop();
            },
            std::chrono::milliseconds(20));
        loops_.push_back(std::move(loop));
    } catch (const std::system_error&) {
        // No thread to be had: the record simply stays still.
        isPlaying_.store(false);
    }
}

int GXGramoluxView::runningLoopCount() const
{
    std::lock_guard lock(loopsMutex_);
    return static_cast<int>(
        std::count_if(loops_.begin(), loops_.end(), [](const auto& loop) { return !loop->finished(); }));
}

void GXGramoluxView::stop()
{
    switchValue_.store(false);
    isPlaying_.store(false);
}

bool GXGramoluxView::runTick(std::unique_lock<std::mutex>& lock, std::uint64_t generation)
{
    if (generation_ != generation)
        return false;
    const tt::SpinTickResult tick
        = tt::spinTick({diskRotate_.load(), diskFraction_.load()}, diskSpeed_.load(), switchValue_.load());
    diskRotate_.store(tick.state.diskRotate);
    if (tick.stopped) {
        stop();
        // The observer runs here, on this thread, and may call stop or play;
        // it must not find the loop's lock held.
        lock.unlock();
        post(gx::names::recordDiskStoped, this);
        lock.lock();
        if (generation_ != generation)
            return false;
    }
    diskFraction_.store(tick.state.diskFraction);
    requestRedraw();
    return true;
}

void GXGramoluxView::spinOnce()
{
    std::unique_lock lock(loopMutex_);
    runTick(lock, generation_);
}

void GXGramoluxView::requestRedraw()
{
    const Posted now {
        diskRotate_.load(), diskFraction_.load(), tt::armFrameIndex(armValue_.load()), switchValue_.load()};
    const bool turned = now.diskFraction > 0.0f && !(now.diskRotate == posted_.diskRotate);
    const bool changed = now.diskFraction != posted_.diskFraction || now.armFrame != posted_.armFrame
        || now.switchValue != posted_.switchValue;
    if (!changed && !turned)
        return;
    // While the full record plays and only its label turns, every other turn
    // is shown: a frame costs this process and the display server far more
    // than the pixels it changes, and 25 a second still turn smoothly. The
    // model keeps its 0.02 s step; switched off, running down to rest or
    // stopped, every turn is shown.
    if (!changed && now.switchValue && now.diskFraction >= 1.0f && (++quietTurns_ % 2) != 0)
        return;
    posted_ = now;
    if (paintPending_.exchange(true))
        return;
    // Painting happens on the main thread only. Qt's own queue locking is
    // invisible to the thread sanitizer, so the hand-off is also ordered by
    // a lock of ours, which the main thread passes before using the call;
    // and the call is a slot of the class, so no functor built on this
    // thread is read there first.
    std::lock_guard handOff(redrawHandOff_);
    paintSpinChangesMethod_.invoke(this, Qt::QueuedConnection);
}

void GXGramoluxView::redrawChanges()
{
    const QRegion region = changedRegion();
    if (!region.isEmpty())
        update(region);
}

void GXGramoluxView::paintSpinChanges()
{
    {
        std::lock_guard handOff(redrawHandOff_);
    }
    paintPending_.store(false);
    // Painted here rather than on a later pass of the event loop: one
    // wake-up of this thread per frame, not two.
    const QRegion region = changedRegion();
    if (!region.isEmpty())
        repaint(region);
}

QRect GXGramoluxView::turningRect(float reach) const
{
    if (diskImage_.isNull())
        return {};
    const QSizeF size = diskImage_.deviceIndependentSize();
    const double pivotX = size.width() / 2.0 + tt::diskRect.x;
    const double pivotY = size.height() / 2.0 + tt::diskRect.y;
    // A point more for the smoothing, which reaches into the next pixel.
    const double r = static_cast<double>(reach) + 1.0;
    return QRectF(pivotX - r, boundsHeight_ - pivotY - r, 2.0 * r, 2.0 * r).toAlignedRect();
}

QRegion GXGramoluxView::changedRegion()
{
    const Shown now {diskRotate_.load(), diskFraction_.load(), tt::armFrameIndex(armValue_.load()),
        tt::dialFrameIndex(dialValue_.load()), switchValue_.load(), isFileDragging_.load()};
    const auto area = [this](float x, float y, const QImage& image) {
        const QSizeF size = image.isNull() ? QSizeF() : image.deviceIndependentSize();
        return widgetRectFromView({x, y, static_cast<float>(size.width()), static_cast<float>(size.height())})
            .toAlignedRect();
    };
    QRegion region;
    if (now.diskFraction != shown_.diskFraction) {
        // Fading: the whole record and its reflection.
        region += turningRect(discReach_);
        region += area(tt::reflectOrigin.x, tt::reflectOrigin.y, reflectImage_);
    } else if (now.diskFraction > 0.0f && !(now.diskRotate == shown_.diskRotate)) {
        // Turning: once the record is fully shown, its label alone.
        const bool labelOnly = now.diskFraction >= 1.0f && !labelImage_.isNull();
        region += turningRect(labelOnly ? labelReach_ : discReach_);
    }
    if (now.armFrame != shown_.armFrame)
        region += widgetRectFromView({tt::armOrigin.x, tt::armOrigin.y, tt::armFrameWidth, tt::armFrameHeight})
                      .toAlignedRect();
    if (now.dialFrame != shown_.dialFrame)
        region += widgetRectFromView(tt::dialDraggRect).toAlignedRect();
    if (now.switchValue != shown_.switchValue) {
        region += area(tt::playBtnRect.x, tt::playBtnRect.y, playBtnImage_);
        region += area(tt::playBtnRect.x, tt::playBtnRect.y, stopBtnImage_);
    }
    if (now.fileDragging != shown_.fileDragging) {
        const int t = static_cast<int>(std::ceil(tt::highlightWidth));
        region += QRegion(rect()) - QRegion(rect().adjusted(t, t, -t, -t));
    }
    shown_ = now;
    return region & rect();
}

// --- Pointer and keyboard --------------------------------------------------

void GXGramoluxView::mouseDown(PointF p, int clickCount)
{
    if (!enable_.load())
        return;
    if (tt::pointInRect(p, tt::armDraggRect)) {
        setArmValueAtPoint(p);
        isArmDragging_.store(true);
        post(gx::names::armStartDragg, this);
    }
    if (tt::pointInRect(p, tt::dialDraggRect)) {
        if (clickCount > 1) {
            dialValue_.store(1.0f);
            redrawChanges();
            post(gx::names::dialDragged, this);
        } else {
            dragStartPoint_ = p;
            isDialDragging_.store(true);
            dialValueBeforeDrag_ = dialValue_.load();
        }
    }
    if (tt::pointInRect(p, tt::playBtnRect)) {
        switchValue_.store(!switchValue_.load());
        redrawChanges();
        post(gx::names::playBtnClicked, this);
    }
}

void GXGramoluxView::setArmValueAtPoint(PointF p)
{
    armValue_.store(tt::armValueForPoint(p));
    redrawChanges();
}

void GXGramoluxView::mouseDragged(PointF p)
{
    if (!enable_.load())
        return;
    if (isArmDragging_.load())
        setArmValueAtPoint(p);
    if (isDialDragging_.load()) {
        dialValue_.store(tt::dialValueForDrag(dialValueBeforeDrag_, dragStartPoint_, p));
        redrawChanges();
        post(gx::names::dialDragged, this);
    }
}

void GXGramoluxView::mouseUp(PointF)
{
    if (!enable_.load())
        return;
    if (isArmDragging_.load()) {
        isArmDragging_.store(false);
        post(gx::names::armEndDragg, this);
    }
    if (isDialDragging_.load())
        isDialDragging_.store(false);
}

void GXGramoluxView::keyDown(const QString& characters)
{
    const std::optional<float> volume = tt::musicVolumeForKeyText(characters);
    if (!volume)
        return;
    gx::UserDefaults::standardUserDefaults().setFloat(*volume, gx::keys::musicVolume);
    post(gx::names::preferenceChanged, this);
    post(gx::names::musicVolChanged, this);
}

void GXGramoluxView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    mouseDown(viewPointFromWidget(event->position()), 1);
}

void GXGramoluxView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Qt sends press, release, double-click, release; the double-click is
    // the second press.
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    mouseDown(viewPointFromWidget(event->position()), 2);
}

void GXGramoluxView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    mouseDragged(viewPointFromWidget(event->position()));
}

void GXGramoluxView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    mouseUp(viewPointFromWidget(event->position()));
}

void GXGramoluxView::keyPressEvent(QKeyEvent* event)
{
    // Every key ends here, volume digit or not, so none is passed on.
    keyDown(event->text());
    event->accept();
}

// --- File drop -------------------------------------------------------------

QStringList GXGramoluxView::fileListInDraggingInfo(const QMimeData* info)
{
    QStringList paths;
    if (!info || !info->hasUrls())
        return paths;
    for (const QUrl& url : info->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}

bool GXGramoluxView::acceptableObject(const QMimeData* info)
{
    return tt::acceptableObject(fileListInDraggingInfo(info), GXQTMusic::musicFileType());
}

GXGramoluxView::DragOperation GXGramoluxView::draggingEntered(const QMimeData* info)
{
    if (!acceptableObject(info))
        return DragOperationNone;
    isFileDragging_.store(true);
    redrawChanges();
    return DragOperationGeneric;
}

GXGramoluxView::DragOperation GXGramoluxView::draggingUpdated(const QMimeData*)
{
    return DragOperationGeneric;
}

void GXGramoluxView::draggingExited(const QMimeData*)
{
    isFileDragging_.store(false);
    redrawChanges();
}

bool GXGramoluxView::prepareForDragOperation(const QMimeData* info)
{
    return acceptableObject(info);
}

bool GXGramoluxView::performDragOperation(const QMimeData* info)
{
    const QStringList paths = fileListInDraggingInfo(info);
    if (paths.isEmpty())
        return false;
    if (appController_)
        appController_->openMusic(paths.first());
    return true;
}

void GXGramoluxView::concludeDragOperation(const QMimeData*)
{
    isFileDragging_.store(false);
    redrawChanges();
}

void GXGramoluxView::dragEnterEvent(QDragEnterEvent* event)
{
    if (draggingEntered(event->mimeData()) != DragOperationGeneric) {
        event->ignore();
        return;
    }
    // A source that offers only a move is refused; no leave event follows
    // a refused entry, so the highlight goes off here.
    if (!acceptAsGeneric(event))
        draggingExited(event->mimeData());
}

void GXGramoluxView::dragMoveEvent(QDragMoveEvent* event)
{
    if (draggingUpdated(event->mimeData()) == DragOperationGeneric)
        acceptAsGeneric(event);
}

void GXGramoluxView::dragLeaveEvent(QDragLeaveEvent* event)
{
    draggingExited(nullptr);
    event->accept();
}

void GXGramoluxView::dropEvent(QDropEvent* event)
{
    const QMimeData* info = event->mimeData();
    if (!prepareForDragOperation(info) || !acceptAsGeneric(event)) {
        event->ignore();
        return;
    }
    // The controller opens and starts the file before the drop completes.
    if (!performDragOperation(info))
        event->ignore();
    concludeDragOperation(info);
}
