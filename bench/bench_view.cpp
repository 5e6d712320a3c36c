// Cost of the turntable's drawing: one redraw of the area the spin loop
// refreshes, at 1x and 2x, and the whole process's CPU time while the record
// spins for 10 s with the event loop painting it.
//
// Uses the artwork in the resource folder; where it is missing, stand-ins of
// the same sizes (with transparency where the real images have it) are made
// in a temporary folder, and the benchmark's label says so.
#include "platform/Resources.h"
#include "turntable/TurntableModel.h"
#include "view/TurntableView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <sys/resource.h>

namespace {

std::unique_ptr<QTemporaryDir> standIns;
std::string artworkLabel = "artwork";

QImage standIn(int w, int h, bool round, QColor colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(round ? Qt::transparent : colour);
    if (round) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(colour);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(0, 0, w, h));
    }
    return image;
}

void ensureArtwork()
{
    if (!gx::pathForResource("disc.tif").empty() && !gx::pathForResource("arm.tif").empty())
        return;
    standIns = std::make_unique<QTemporaryDir>();
    artworkLabel = "stand-in artwork";
    struct Picture {
        const char* name;
        int w, h;
        bool round;
    };
    const Picture pictures[] = {{"bg", 340, 280, false}, {"disc", 221, 221, true}, {"reflect", 221, 221, true},
        {"center", 38, 15, false}, {"dial", 100, 20, false}, {"arm", 12300, 151, false}, {"play_btn", 52, 52, true},
        {"stop_btn", 52, 52, true}};
    for (const Picture& s : pictures)
        for (int scale : {1, 2}) {
            QImage image = standIn(s.w * scale, s.h * scale, s.round, QColor(90, 60, 30, s.round ? 255 : 200));
            if (std::string(s.name) == "bg")
                image = image.convertToFormat(QImage::Format_RGB32);
            image.save(standIns->path() + "/" + s.name + (scale == 2 ? "@2x" : "") + ".tif", "TIFF");
        }
    qputenv("GRAMOLUX_RESOURCES", standIns->path().toLocal8Bit());
}

double processCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    auto secs = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return secs(usage.ru_utime) + secs(usage.ru_stime);
}

// One redraw of {13, 0, 290, 260} in view coordinates, the record showing
// and turned, into an image at the given scale.
void BM_PaintDiskAndArmRect(benchmark::State& state)
{
    ensureArtwork();
    const qreal scale = static_cast<qreal>(state.range(0));
    gx::TurntableModel model;
    gx::TurntableView view(model);
    view.loadImages(scale);
    model.setDiskSpeed(0.37f);
    for (int i = 0; i < 120; ++i)
        model.spinOnce(); // fully faded in, at an odd angle
    model.setArmValue(0.42f);
    QImage target(view.size() * scale, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(scale);
    target.fill(Qt::black);
    const QRect rect = view.widgetRectFromView(gx::turntable::diskAndArmRect).toAlignedRect();
    const QRegion region(rect);
    const double c0 = processCpuSeconds();
    for (auto _ : state) {
        model.spinOnce();
        view.render(&target, rect.topLeft(), region, QWidget::DrawChildren);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["proc_cpu_ms"] = (processCpuSeconds() - c0) * 1000 / state.iterations();
    state.SetLabel(artworkLabel + (view.imageScale() > 1.0 ? ", @2x images" : ", 1x images"));
}
BENCHMARK(BM_PaintDiskAndArmRect)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

class CountingView : public gx::TurntableView {
public:
    using gx::TurntableView::TurntableView;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        gx::TurntableView::paintEvent(event);
    }
};

// The record spinning for 10 s, shown on the offscreen platform, with the
// event loop doing the painting; CPU of the whole process as a share of one
// core, and the paints per second that it bought.
void BM_SpinningViewCpu(benchmark::State& state)
{
    ensureArtwork();
    for (auto _ : state) {
        gx::TurntableModel model;
        CountingView view(model);
        view.show();
        QCoreApplication::processEvents();
        QElapsedTimer wall;
        const double cpuBefore = processCpuSeconds();
        const int paintsBefore = view.paints;
        wall.start();
        model.play();
        QTimer::singleShot(10000, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        model.stop();
        const double cpu = processCpuSeconds() - cpuBefore;
        const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
        state.SetIterationTime(seconds);
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / seconds;
        state.counters["paints_per_second"] = (view.paints - paintsBefore) / seconds;
    }
    state.SetLabel(artworkLabel);
}
BENCHMARK(BM_SpinningViewCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
