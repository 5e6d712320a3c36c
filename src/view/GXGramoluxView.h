#pragma once
// The turntable: a record player drawn from eight images, with a record that
// fades in and spins on a thread of its own, a tone arm, a speed dial and a
// play/stop button. The controller drives it through the accessors and
// play/stop; the view reports gestures only as notifications, and hands a
// dropped file to the controller through gx::MusicOpener.
//
// The model lives in the view's own coordinates (points, origin bottom-left,
// y up). Qt's top-left coordinates are converted only where events arrive and
// where painting happens.
//
// Threads: the main thread builds, paints and takes pointer, key and drop
// events; the spin thread (a TickLoop started by play) turns the record and
// asks the main thread for a redraw; the controller's jukebox thread moves the
// arm and sets the disc's speed. The model fields are shared by all three;
// each is a single atomic value. The rest is the main thread's unless a
// comment names a lock.
#include "view/TurntableLogic.h"

#include <QImage>
#include <QMetaMethod>
#include <QRegion>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

class QMimeData;
namespace gx {
class CoverReader;
class MusicOpener;
class TickLoop;
class TurntableAnnouncer;
}
class QTimer;

class GXGramoluxView : public QWidget {
    Q_OBJECT
public:
    using PointF = gx::turntable::PointF;
    using RectF = gx::turntable::RectF;

    // The toolkit's drag operation values.
    enum DragOperation : unsigned { DragOperationNone = 0, DragOperationGeneric = 4 };

    explicit GXGramoluxView(QWidget* parent = nullptr);
    // Ends and joins a running spin loop before the view goes away. Call it
    // on the main thread.
    ~GXGramoluxView() override;

    // Not owned; used only to hand over a dropped file.
    void setAppController(gx::MusicOpener* controller) { appController_ = controller; }

    // Plain accessors: none requests a redraw, none clamps.
    float armValue() const { return armValue_.load(); }
    void setArmValue(float value) { armValue_.store(value); }
    bool enable() const { return enable_.load(); }
    void setEnable(bool value) { enable_.store(value); }
    float diskSpeed() const { return diskSpeed_.load(); }
    void setDiskSpeed(float value) { diskSpeed_.store(value); }
    bool isArmDragging() const { return isArmDragging_.load(); }
    float dialValue() const { return dialValue_.load(); }
    void setDialValue(float value) { dialValue_.store(value); }
    bool switchValue() const { return switchValue_.load(); }
    // Truncates toward zero: values strictly between -1 and 1 (and NaN) turn
    // the switch off, anything else turns it on.
    void setSwitchValue(float value);
    bool isPlaying() const { return isPlaying_.load(); }

    // What is on the record, for assistive technology: the song's title
    // (empty before the first) and its length in seconds. Main thread only.
    void describeRecord(const QString& title, double seconds);
    QString recordTitle() const { return recordTitle_; }
    double songSeconds() const { return songSeconds_; }

    // The song's file, for what the record shows of it: its cover printed on
    // the label and its tags in the tooltip. Both are read on a thread of
    // their own; until they come, and for a song without them, the record
    // shows our label and the tooltip the title given to describeRecord. An
    // empty path takes the song off. Main thread only.
    void showSong(const QString& path);
    // Whether the label now shows the song's cover.
    bool labelShowsCover() const { return !coveredDisc_.isNull(); }

    float diskRotate() const { return diskRotate_.load(); }
    float diskFraction() const { return diskFraction_.load(); }
    bool isDialDragging() const { return isDialDragging_.load(); }
    bool isFileDragging() const { return isFileDragging_.load(); }

    // Starts the spin loop on a new thread unless it already runs; turns the
    // switch on. Runs on the main thread, or on the spin thread when the
    // disc-stopped observer starts the next song.
    void play();
    // Turns the switch off and tells a running loop to end after its current
    // tick. Never blocks, so it may be called on the spin thread itself.
    void stop();

    // One tick of the spin loop's work on the calling thread (tests and
    // benchmarks drive it so, with no loop running), without the
    // sleep: turn, maybe come to rest (stop and post the disc-stopped
    // notification), fade in, ask for a redraw. The loop is made of these.
    void spinOnce();

    // A calm line or two drawn over the top of the turntable (why a file did
    // not play), never a dialog, so nothing waits for it. It goes by itself
    // after `lifetime`, or when replaced or cleared. Main thread only.
    void showNotice(const QString& text, std::chrono::milliseconds lifetime = std::chrono::seconds(6));
    void clearNotice();
    QString notice() const { return notice_; }

    // Spin loops currently running (0 or 1 but for a moment after stop+play,
    // when the old loop is on its way out without touching anything).
    int runningLoopCount() const;

    // Pointer and keyboard operations, in view coordinates.
    void mouseDown(PointF p, int clickCount);
    void mouseDragged(PointF p);
    void mouseUp(PointF p);
    void setArmValueAtPoint(PointF p);
    void keyDown(const QString& characters);

    // Drag destination operations.
    static QStringList fileListInDraggingInfo(const QMimeData* info);
    static bool acceptableObject(const QMimeData* info);
    DragOperation draggingEntered(const QMimeData* info);
    DragOperation draggingUpdated(const QMimeData* info);
    void draggingExited(const QMimeData* info);
    bool prepareForDragOperation(const QMimeData* info);
    bool performDragOperation(const QMimeData* info);
    void concludeDragOperation(const QMimeData* info);

    // (Re)loads the eight images, preferring the "@2x" files when scale > 1,
    // and sizes the view after the background. Missing images are held null
    // and their layers are not drawn.
    void loadImages(qreal scale);
    qreal imageScale() const { return imageScale_; }

    // The view's size in points: the background's, or 340 x 280 without one.
    float boundsWidth() const { return boundsWidth_; }
    float boundsHeight() const { return boundsHeight_; }

    // Conversions between view coordinates and Qt's widget coordinates.
    PointF viewPointFromWidget(QPointF p) const;
    QRectF widgetRectFromView(RectF r) const;
    RectF viewRectFromWidget(QRectF r) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    // Asks for a redraw of what differs from the picture last asked for.
    void redrawChanges();
    // Takes what the cover reader found, if it is still about this song.
    void takeCover();
    // The spin loop's hand-off: paints what differs at once.
    void paintSpinChanges();

private:
    // Answers false, having touched nothing, when the loop is no longer the
    // current one.
    bool runTick(std::unique_lock<std::mutex>& lock, std::uint64_t generation);
    // Asks the main thread to paint what the tick moved.
    void requestRedraw();
    // The parts of the view, in widget coordinates, whose picture differs
    // from the one last asked for; remembers the present one. Main thread.
    QRegion changedRegion();
    // The square about the record's centre that an image turned there may
    // paint into, at any angle.
    QRect turningRect(float reach) const;
    // The label (or the whole disc) turned to the angle, in an image of its
    // own covering `box`: the turning is computed whole whatever part of the
    // view is redrawn, so a partial redraw paints exactly what a full one
    // does. Kept until the angle changes. Main thread.
    const QImage& turnedImage(bool labelOnly, float angle, QRect box);
    void drawImagePart(QPainter& painter, const QImage& image, RectF source, PointF at, qreal opacity) const;
    void drawWholeImage(QPainter& painter, const QImage& image, PointF at, qreal opacity) const;
    void drawNotice(QPainter& painter) const;
    void readCover();
    void setCover(const QImage& disc, const QImage& label);
    void updateToolTip();

    gx::MusicOpener* appController_ = nullptr;
    QImage bgImage_;
    struct ArmFrame {
        QImage image;  // null when the frame shows nothing
        PointF offset; // of its bottom-left corner within the frame
    };
    static std::vector<ArmFrame> armFrames(const QImage& strip);
    std::vector<ArmFrame> armFrames_;
    QImage diskImage_;
    QImage labelImage_; // null when the whole disc must turn
    // Points from the record's centre to the farthest pixel that shows, of
    // the disc and of the label.
    float discReach_ = 0.0f;
    float labelReach_ = 0.0f;
    struct Turned {
        bool labelOnly = false;
        float angle = std::numeric_limits<float>::quiet_NaN();
        QImage image;
    };
    Turned turned_;
    QImage reflectImage_;
    QImage centerImage_;
    QImage dialImage_;
    QImage playBtnImage_;
    QImage stopBtnImage_;
    qreal imageScale_ = 1.0;
    float boundsWidth_ = gx::turntable::defaultViewWidth;
    float boundsHeight_ = gx::turntable::defaultViewHeight;
    // The song's cover printed on the disc and on its label, or null for
    // ours; the same size as diskImage_ and labelImage_. Main thread only.
    QImage coveredDisc_;
    QImage coveredLabel_;
    QString songPath_;                             // main thread only
    QString songArtist_;                           // main thread only, from the tags
    QString songTitle_;                            // main thread only, from the tags
    QString songAlbum_;                            // main thread only, from the tags
    std::uint64_t coverTicket_ = 0;                // main thread only
    std::unique_ptr<gx::CoverReader> coverReader_; // started with the first song
    QString recordTitle_;                          // main thread only
    double songSeconds_ = 0.0;                     // main thread only

    // --- the model: any thread, each field atomic
    std::atomic<float> diskRotate_ {0.0f};
    std::atomic<float> diskFraction_ {0.0f};
    std::atomic<float> diskSpeed_ {1.0f};
    std::atomic<float> armValue_ {0.0f};
    std::atomic<float> dialValue_ {1.0f};
    float dialValueBeforeDrag_ = 0.0f; // main thread only
    std::atomic<bool> enable_ {false};
    std::atomic<bool> isPlaying_ {false};
    std::atomic<bool> switchValue_ {false};
    std::atomic<bool> isArmDragging_ {false};
    std::atomic<bool> isDialDragging_ {false};
    std::atomic<bool> isFileDragging_ {false};
    gx::TurntableAnnouncer* announcer_ = nullptr; // a child of the view
    PointF dragStartPoint_;                       // main thread only
    QString notice_;                              // main thread only
    QTimer* noticeTimer_;                         // main thread only

    // What the last redraw request showed, main thread only: a redraw covers
    // only the layers that changed since. Anything painted later shows
    // the model as it is then, which the next request compares against.
    struct Shown {
        float diskRotate = 0.0f;
        float diskFraction = 0.0f;
        int armFrame = 0;
        int dialFrame = 0;
        bool switchValue = false;
        bool fileDragging = false;
    };
    Shown shown_;

    // Spin loops. Each play starts a loop with a new generation; a loop whose
    // generation is no longer current ends without touching the model. The
    // mutex makes a tick's work and a change of generation exclusive.
    std::mutex loopMutex_;
    std::uint64_t generation_ = 0; // guarded by loopMutex_
    mutable std::mutex loopsMutex_;
    // Guarded by loopsMutex_: the loop of the current play, and old ones on
    // their way out until the next play or the destructor joins them.
    std::vector<std::unique_ptr<gx::TickLoop>> loops_;
    std::mutex redrawHandOff_;
    // What the spin loop last asked to be painted (guarded by loopMutex_):
    // a tick that moves nothing visible asks for nothing.
    struct Posted {
        float diskRotate = 0.0f;
        float diskFraction = -1.0f;
        int armFrame = -1;
        bool switchValue = false;
    };
    Posted posted_;
    std::uint64_t quietTurns_ = 0; // guarded by loopMutex_: label-only turns
    // A hand-off is on its way to the main thread; until it is taken, later
    // ticks need not send another, since painting reads the model as it is.
    std::atomic<bool> paintPending_ {false};
    // paintSpinChanges, looked up once rather than by name on every tick.
    const QMetaMethod paintSpinChangesMethod_;
};
