#pragma once
// The turntable on screen: paints the model (TurntableModel) with its
// pictures (TurntablePictures), turns pointer, key and drop events into
// the model's gestures, and runs the spin clock, the main thread's precise
// 0.02 s timer that ticks the model while the record turns. It repaints only
// what the change tracker says differs from what it showed, and tells
// assistive technology the same changes.
//
// The model lives in the view's own coordinates (points, origin bottom-left,
// y up). Qt's top-left coordinates are converted only where events arrive and
// where painting happens.
//
// Threads: main thread only. The cover reader answers from a thread of its
// own through a queued call.
#include "sound/Decoder.h"
#include "turntable/TurntableFit.h"
#include "turntable/TurntableGeometry.h"
#include "view/TurntableChangeTracker.h"
#include "view/TurntablePainter.h"
#include "view/TurntablePictures.h"

#include <QColor>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QMimeData;
namespace gx {
class SongCover;
class TurntableAnnouncer;
class TurntableModel;
class TurntableNotice;

class TurntableView : public QWidget {
    Q_OBJECT
public:
    using PointF = turntable::PointF;
    using RectF = turntable::RectF;

    // The model outlives the view.
    explicit TurntableView(TurntableModel& model, QWidget* parent = nullptr);
    ~TurntableView() override;

    TurntableModel& model() const { return model_; }

    // What is on the record, for assistive technology and the tooltip: the
    // song's title (empty before the first), its length in seconds and the
    // loudness gain it plays at, if any.
    void describeRecord(const QString& title, double seconds, std::optional<double> gainDb = {});
    QString recordTitle() const { return recordTitle_; }
    double songSeconds() const { return songSeconds_; }

    // The song's file, for what the record shows of it: its cover printed on
    // the label and its tags in the tooltip. Both are read on a thread of
    // their own; until they come, and for a song without them, the record
    // shows our label and the tooltip the title given to describeRecord. An
    // empty path takes the song off.
    void showSong(const QString& path);
    bool labelShowsCover() const { return pictures_.showsCover(); }

signals:
    // The song's tags as read for the record (MPRIS shows them too).
    void songTagsRead(const QString& path, const TrackTags& tags);

public:
    // The notice over the top of the turntable (why a file did not play).
    TurntableNotice& notice() const { return *notice_; }
    // What a change just did ("Volume 70 %"), for about a second at the
    // bottom, so a notice stays in sight; the screen reader hears it too.
    void showFeedback(const QString& text);
    TurntableNotice& feedback() const { return *feedback_; }
    // What to do first, in the middle, until the first song is shown.
    void showHint(const QString& text);
    TurntableNotice& hint() const { return *hint_; }
    // The tags' line, and the elapsed and total time once a song has a length.
    QString toolTipText() const;

    // The local files a drag carries, in its order.
    static std::vector<std::string> fileListInDraggingInfo(const QMimeData* info);

    // (Re)loads the pictures for a scale; the view is never smaller than they are.
    void loadImages(qreal scale);
    QSize sizeHint() const override;
    // Where the turntable stands in the view, larger than its own size.
    const turntable::Fit& fit() const { return fit_; }
    qreal imageScale() const { return pictures_.scale(); }

    // Conversions between view coordinates and Qt's widget coordinates,
    // through the fit.
    PointF viewPointFromWidget(QPointF p) const;
    QRectF widgetRectFromView(RectF r) const;
    RectF viewRectFromWidget(QRectF r) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Paints what differs from what was shown, and tells it to assistive
    // technology.
    void showChanges();
    // In the turntable's own top-left coordinates.
    QRegion regionOf(const TurntableChanges& changes) const;
    QRegion widgetRegion(const QRegion& table) const;
    QRegion tableRegion(const QRegion& widget) const;
    // The pictures for the device pixels the turntable is shown on.
    void matchPictures();
    void showCover(const QImage& disc, const QImage& label);

    TurntableModel& model_;
    TurntablePictures pictures_;
    TurntablePainter painter_;
    TurntableChangeTracker tracker_;
    turntable::Fit fit_;
    QColor margin_;                // the wood's colour, around the turntable in a larger view
    std::uint64_t quietTurns_ = 0; // label-only turns while playing, every other one painted
    QTimer spinClock_;
    TurntableAnnouncer* announcer_ = nullptr; // a child of the view

    SongCover* songCover_ = nullptr; // a child of the view
    QString recordTitle_;
    std::string recordTitleUtf8_; // as the change tracker compares it, once a tick
    double songSeconds_ = 0.0;
    std::optional<double> songGainDb_;
    TurntableNotice* notice_;   // a child of the view
    TurntableNotice* feedback_; // a child of the view
    TurntableNotice* hint_;     // a child of the view
    QRect feedbackShown_;       // where the feedback was last painted
};

} // namespace gx
