#pragma once
// Helpers for the turntable view's tests: artwork made of solid, distinct
// colours written to a private resource folder, rendering in view
// coordinates and synthetic events.
#include "support/NotificationLog.h"
#include "support/TestSupport.h"
#include "turntable/TurntableModel.h"
#include "view/TurntableView.h"

#include <QColor>
#include <QEvent>

namespace gx::test {

// A model and the widget that shows it, as the window layout pairs them.
struct Turntable {
    TurntableModel model;
    gx::TurntableView view {model};
};

// Colours of the test artwork.
QColor armFrameColour(int frame, bool upperHalf);
QColor dialFrameColour(int frame);
inline const QColor bgColour {40, 40, 40};
inline const QColor discColour {0, 0, 255};
inline const QColor discMarkerColour {255, 0, 0};
inline const QColor reflectColour {255, 255, 255};
inline const QColor centerColour {255, 255, 0};
inline const QColor playColour {0, 200, 0};
inline const QColor stopColour {200, 0, 0};

struct ArtworkImages {
    QImage bg, disc, reflect, center, dial, arm, playBtn, stopBtn;
};

// The full set: every layer solid and opaque. The disc is blue with a red
// marker block at the middle of its left edge; each arm frame has a lower and
// an upper colour; each dial frame its own colour.
ArtworkImages standardArtwork(int scale = 1);

// A private resource folder that GRAMOLUX_RESOURCES points at while it lives.
class ResourceFolder {
public:
    ResourceFolder() { qputenv("GRAMOLUX_RESOURCES", dir_.path().toLocal8Bit()); }
    ~ResourceFolder() { qunsetenv("GRAMOLUX_RESOURCES"); }
    // Writes the non-null images as "<name><suffix>.tif" ("" or "@2x").
    void write(const ArtworkImages& images, const QString& suffix = {});
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// Renders the whole view over a fill, at a scale.
QImage renderView(gx::TurntableView& view, qreal scale = 1.0);

// The pixel whose bottom-left corner is the view point (x, y).
QColor viewPixel(const QImage& image, const gx::TurntableView& view, int x, int y);

// Whether two colours agree within a tolerance per channel.
bool near(const QColor& a, const QColor& b, int tolerance = 2);

// The view's scale under this run's QT_SCALE_FACTOR (1 or 2).
qreal expectedScale();

// Shows the view and waits until its window is on screen.
bool showOnScreen(gx::TurntableView& view);

// Runs the queued redraw requests and the paints they ask for.
void settle();

// Settles, then answers the largest difference of a colour channel (0 to 255,
// or 256 for no match at all) between what the window shows, painted in
// parts, and a full redraw of the view.
int windowDifference(gx::TurntableView& view);

// Sets the record's speed and runs `ticks` ticks of the spin clock's work.
void spin(TurntableModel& model, float speed, int ticks);

// A pointer event at view coordinates: press, drag (a move with the button
// held), release or double-click.
inline constexpr QEvent::Type press = QEvent::MouseButtonPress, drag = QEvent::MouseMove,
                              release = QEvent::MouseButtonRelease, doubleClick = QEvent::MouseButtonDblClick;
void mouse(gx::TurntableView& view, QEvent::Type type, float x, float y, Qt::MouseButton button = Qt::LeftButton);

} // namespace gx::test
