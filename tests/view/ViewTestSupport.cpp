#include "view/ViewTestSupport.h"

#include "view/TurntableView.h"

#include <QBackingStore>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
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

ArtworkImages standardArtwork(int s)
{
    const auto solid = [s](int w, int h, const QColor& c) {
        QImage image(w * s, h * s, QImage::Format_ARGB32);
        image.fill(c);
        return image;
    };
    ArtworkImages a {solid(340, 280, bgColour), solid(221, 221, discColour), solid(221, 221, reflectColour),
        solid(38, 15, centerColour), solid(100, 20, {}), solid(12300, 151, {}), solid(52, 52, playColour),
        solid(52, 52, stopColour)};
    // Left edge, middle (Qt rows are y-down; the block is symmetric).
    QPainter(&a.disc).fillRect(QRect(0, 95 * s, 30 * s, 31 * s), discMarkerColour);
    QPainter dial(&a.dial);
    for (int k = 0; k < 5; ++k)
        dial.fillRect(QRect(k * 20 * s, 0, 20 * s, 20 * s), dialFrameColour(k));
    dial.end();
    QPainter arm(&a.arm);
    for (int i = 0; i < 50; ++i) {
        // Upper 76 points and lower 75 points (the image's rows run down).
        arm.fillRect(QRect(i * 246 * s, 0, 246 * s, 76 * s), armFrameColour(i, true));
        arm.fillRect(QRect(i * 246 * s, 76 * s, 246 * s, 75 * s), armFrameColour(i, false));
    }
    arm.end();
    return a;
}

void ResourceFolder::write(const ArtworkImages& a, const QString& suffix)
{
    const std::pair<const QImage*, const char*> files[] = {{&a.bg, "bg"}, {&a.disc, "disc"}, {&a.reflect, "reflect"},
        {&a.center, "center"}, {&a.dial, "dial"}, {&a.arm, "arm"}, {&a.playBtn, "play_btn"}, {&a.stopBtn, "stop_btn"}};
    for (const auto& [image, name] : files)
        if (!image->isNull())
            image->save(dir_.path() + "/" + name + suffix + ".tif", "TIFF");
}

QImage renderView(gx::TurntableView& view, qreal scale)
{
    QImage image(view.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(QColor(1, 2, 3));
    // Only our own painting: no window background under it.
    view.render(&image, {}, {}, QWidget::DrawChildren);
    return image;
}

QColor viewPixel(const QImage& image, const gx::TurntableView& view, int x, int y)
{
    const qreal s = image.devicePixelRatio();
    const int px = static_cast<int>(std::floor(x * s));
    const int py = static_cast<int>(std::floor((view.height() - y) * s)) - 1;
    return image.pixelColor(px, py);
}

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

qreal expectedScale()
{
    return qEnvironmentVariableIntValue("QT_SCALE_FACTOR") > 1 ? 2.0 : 1.0;
}

bool showOnScreen(gx::TurntableView& view)
{
    view.show();
    return waitUntil([&] { return view.windowHandle() && view.windowHandle()->isExposed(); }, 10000);
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

int windowDifference(gx::TurntableView& view)
{
    settle();
    // The window's backing store holds what has been painted so far.
    const auto* store = dynamic_cast<const QImage*>(view.backingStore()->paintDevice());
    const QImage full = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (!store || store->size() != full.size())
        return 256;
    const QImage shown = store->convertToFormat(QImage::Format_RGB32);
    int most = 0;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x) {
            const QRgb a = shown.pixel(x, y), b = full.pixel(x, y);
            most = std::max(
                {most, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        }
    return most;
}

void spin(TurntableModel& model, float speed, int ticks)
{
    model.setDiskSpeed(speed);
    for (int i = 0; i < ticks; ++i)
        model.spinOnce();
}

void mouse(gx::TurntableView& view, QEvent::Type type, float x, float y, Qt::MouseButton button)
{
    const QPointF local(x, view.height() - y);
    const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, local, view.mapToGlobal(local), changed, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
}

} // namespace gx::test
