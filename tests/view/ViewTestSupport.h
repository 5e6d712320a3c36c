#pragma once
// Helpers for the turntable view's tests: artwork made of solid, distinct
// colours written to a private resource folder, rendering in view
// coordinates, recorded notifications and synthetic events.
#include "view/MusicOpener.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class GXGramoluxView;

namespace gx::test {

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

// The full set at 1x: every layer solid and opaque. The disc is blue with a
// red marker block at the middle of its left edge; each arm frame has a lower
// and an upper colour; each dial frame its own colour.
ArtworkImages standardArtwork(int scale = 1);

// A private resource folder that GRAMOLUX_RESOURCES points at while it lives.
class ResourceFolder {
public:
    ResourceFolder();
    ~ResourceFolder();
    // Writes the non-null images as "<name><suffix>.tif" ("" or "@2x").
    void write(const ArtworkImages& images, const QString& suffix = {});
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
    bool hadPrevious_ = false;
};

// Renders the whole view, or only the given widget rectangle, over a fill.
QImage renderView(
    GXGramoluxView& view, const QRect& region = {}, qreal scale = 1.0, const QColor& fill = QColor(1, 2, 3));

// The pixel whose bottom-left corner is the view point (x, y).
QColor viewPixel(const QImage& image, const GXGramoluxView& view, int x, int y);

// Whether two colours agree within a tolerance per channel.
bool near(const QColor& a, const QColor& b, int tolerance = 2);

// Source-over of a colour at an opacity onto another.
QColor blend(const QColor& over, qreal opacity, const QColor& under);

// Every notification of the seven names, in order, with the posting thread.
class NotificationLog {
public:
    NotificationLog();
    ~NotificationLog();
    std::vector<std::string> names() const;
    std::vector<std::thread::id> threads() const;
    int count(const std::string& name) const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> names_;
    std::vector<std::thread::id> threads_;
};

class RecordingOpener : public gx::MusicOpener {
public:
    void openMusic(const QString& path) override { opened.append(path); }
    QStringList opened;
};

// Synthetic pointer and key events, at view coordinates.
void pressAt(GXGramoluxView& view, float x, float y, Qt::MouseButton button = Qt::LeftButton);
void doubleClickAt(GXGramoluxView& view, float x, float y);
void dragTo(GXGramoluxView& view, float x, float y);
void releaseAt(GXGramoluxView& view, float x, float y, Qt::MouseButton button = Qt::LeftButton);
// Answers whether the view accepted the event.
bool typeKey(GXGramoluxView& view, int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier);

} // namespace gx::test
