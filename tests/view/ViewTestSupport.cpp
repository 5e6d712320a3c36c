#include "view/ViewTestSupport.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "view/GXGramoluxView.h"

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <cstdlib>

namespace gx::test {

QColor armFrameColour(int frame, bool upperHalf)
{
    return upperHalf ? QColor(250 - frame * 5, frame * 5, 60) : QColor(frame * 5, 120, 250 - frame * 5);
}

QColor dialFrameColour(int frame)
{
    static const QColor colours[5] = {{230, 30, 30}, {30, 230, 30}, {30, 30, 230}, {230, 230, 30}, {30, 230, 230}};
    return colours[frame];
}

static QImage solid(int w, int h, const QColor& c)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(c);
    return image;
}

ArtworkImages standardArtwork(int s)
{
    ArtworkImages a;
    a.bg = solid(340 * s, 280 * s, bgColour);
    a.disc = solid(221 * s, 221 * s, discColour);
    {
        QPainter p(&a.disc);
        // Left edge, middle (Qt rows are y-down; the block is symmetric).
        p.fillRect(QRect(0, 95 * s, 30 * s, 31 * s), discMarkerColour);
    }
    a.reflect = solid(221 * s, 221 * s, reflectColour);
    a.center = solid(38 * s, 15 * s, centerColour);
    a.dial = QImage(100 * s, 20 * s, QImage::Format_ARGB32);
    {
        QPainter p(&a.dial);
        for (int k = 0; k < 5; ++k)
            p.fillRect(QRect(k * 20 * s, 0, 20 * s, 20 * s), dialFrameColour(k));
    }
    a.arm = QImage(12300 * s, 151 * s, QImage::Format_ARGB32);
    {
        QPainter p(&a.arm);
        for (int i = 0; i < 50; ++i) {
            // Upper 76 points and lower 75 points (the image's rows run down).
            p.fillRect(QRect(i * 246 * s, 0, 246 * s, 76 * s), armFrameColour(i, true));
            p.fillRect(QRect(i * 246 * s, 76 * s, 246 * s, 75 * s), armFrameColour(i, false));
        }
    }
    a.playBtn = solid(52 * s, 52 * s, playColour);
    a.stopBtn = solid(52 * s, 52 * s, stopColour);
    return a;
}

ResourceFolder::ResourceFolder()
{
    if (const char* old = std::getenv("GRAMOLUX_RESOURCES")) {
        previous_ = old;
        hadPrevious_ = true;
    }
    qputenv("GRAMOLUX_RESOURCES", dir_.path().toLocal8Bit());
}

ResourceFolder::~ResourceFolder()
{
    if (hadPrevious_)
        qputenv("GRAMOLUX_RESOURCES", previous_);
    else
        qunsetenv("GRAMOLUX_RESOURCES");
}

void ResourceFolder::write(const ArtworkImages& a, const QString& suffix)
{
    const std::pair<const QImage*, const char*> files[] = {
        {&a.bg, "bg"},
        {&a.disc, "disc"},
        {&a.reflect, "reflect"},
        {&a.center, "center"},
        {&a.dial, "dial"},
        {&a.arm, "arm"},
        {&a.playBtn, "play_btn"},
        {&a.stopBtn, "stop_btn"},
    };
    for (const auto& [image, name] : files)
        if (!image->isNull())
            image->save(dir_.path() + "/" + name + suffix + ".tif", "TIFF");
}

QImage renderView(GXGramoluxView& view, const QRect& region, qreal scale, const QColor& fill)
{
    QImage image(view.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(fill);
    const QRegion r = region.isNull() ? QRegion(view.rect()) : QRegion(region);
    // Only our own painting: no window background under it.
    view.render(&image, region.isNull() ? QPoint() : region.topLeft(), r, QWidget::DrawChildren);
    return image;
}

QColor viewPixel(const QImage& image, const GXGramoluxView& view, int x, int y)
{
    const qreal s = image.devicePixelRatio();
    const int px = static_cast<int>(std::floor(x * s));
    const int py = static_cast<int>(std::floor((view.boundsHeight() - y) * s)) - 1;
    return image.pixelColor(px, py);
}

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

QColor blend(const QColor& over, qreal opacity, const QColor& under)
{
    auto mix = [&](int o, int u) { return static_cast<int>(std::lround(o * opacity + u * (1.0 - opacity))); };
    return {mix(over.red(), under.red()), mix(over.green(), under.green()), mix(over.blue(), under.blue())};
}

NotificationLog::NotificationLog()
{
    auto& centre = gx::NotificationCenter::defaultCenter();
    for (const std::string* name : {&names::playBtnClicked, &names::armStartDragg, &names::armEndDragg,
             &names::recordDiskStoped, &names::dialDragged, &names::preferenceChanged, &names::musicVolChanged})
        centre.addObserver(
            this,
            [this](const gx::Notification& n) {
                std::lock_guard lock(mutex_);
                names_.push_back(n.name);
                threads_.push_back(std::this_thread::get_id());
            },
            *name);
}

NotificationLog::~NotificationLog()
{
    gx::NotificationCenter::defaultCenter().removeObserver(this);
}

std::vector<std::string> NotificationLog::names() const
{
    std::lock_guard lock(mutex_);
    return names_;
}

std::vector<std::thread::id> NotificationLog::threads() const
{
    std::lock_guard lock(mutex_);
    return threads_;
}

int NotificationLog::count(const std::string& name) const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count(names_.begin(), names_.end(), name));
}

void NotificationLog::clear()
{
    std::lock_guard lock(mutex_);
    names_.clear();
    threads_.clear();
}

static void sendMouse(
    GXGramoluxView& view, QEvent::Type type, float x, float y, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPointF local(x, view.boundsHeight() - y);
    QMouseEvent event(type, local, view.mapToGlobal(local), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
}

void pressAt(GXGramoluxView& view, float x, float y, Qt::MouseButton button)
{
    sendMouse(view, QEvent::MouseButtonPress, x, y, button, button);
}

void doubleClickAt(GXGramoluxView& view, float x, float y)
{
    sendMouse(view, QEvent::MouseButtonDblClick, x, y, Qt::LeftButton, Qt::LeftButton);
}

void dragTo(GXGramoluxView& view, float x, float y)
{
    sendMouse(view, QEvent::MouseMove, x, y, Qt::NoButton, Qt::LeftButton);
}

void releaseAt(GXGramoluxView& view, float x, float y, Qt::MouseButton button)
{
    sendMouse(view, QEvent::MouseButtonRelease, x, y, button, Qt::NoButton);
}

bool typeKey(GXGramoluxView& view, int key, const QString& text, Qt::KeyboardModifiers mods)
{
    QKeyEvent event(QEvent::KeyPress, key, mods, text);
    event.setAccepted(false);
    QCoreApplication::sendEvent(&view, &event);
    return event.isAccepted();
}

} // namespace gx::test
