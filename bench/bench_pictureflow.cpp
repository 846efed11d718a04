#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstring>

#include "screens/gallery/pictureflow.h"
#include "screens/gallery/pictureflowprivate.h"

// Frames of the cover-flow at both screen orientations, idle and mid-animation, beside the
// memory floor: one plain copy of a whole RGB16 frame.
namespace {

PictureFlow* makeFlow(int width, int height)
{
    PictureFlow* flow = new PictureFlow;
    flow->resize(width, height);
    flow->setSlideCount(9);
    for (int i = 0; i < 9; ++i) {
        QImage picture(640, 480, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb((x * 7 + i * 40) & 255, (y * 3) & 255, (x ^ y) & 255));
        flow->setSlide(i, picture);
    }
    PictureFlowPrivate* d = flow->implementation();
    d->recalc(width, height);
    d->render(); // builds every surface once, as the first frame on screen does
    return flow;
}

void frame(benchmark::State& state, bool moving)
{
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    PictureFlow* flow = makeFlow(width, height);
    PictureFlowPrivate* d = flow->implementation();
    if (moving) {
        d->showNext();
        for (int tick = 0; tick < 3; ++tick)
            d->updateAnimation(); // about half-way to the next picture
    }
    for (auto _ : state) {
        d->render();
        benchmark::DoNotOptimize(d->buffer.constBits());
    }
    state.SetLabel(moving ? "mid-animation" : "idle");
    delete flow;
}

void copyFloor(benchmark::State& state)
{
    QImage from(int(state.range(0)), int(state.range(1)), QImage::Format_RGB16);
    from.fill(0x1234);
    QImage to(from.size(), QImage::Format_RGB16);
    for (auto _ : state) {
        std::memcpy(to.bits(), from.constBits(), size_t(from.sizeInBytes()));
        benchmark::DoNotOptimize(to.constBits());
        benchmark::ClobberMemory();
    }
}

void idleFrame(benchmark::State& state) { frame(state, false); }
void movingFrame(benchmark::State& state) { frame(state, true); }

} // namespace

BENCHMARK(copyFloor)->Args({480, 854})->Args({854, 480})->Unit(benchmark::kMicrosecond);
BENCHMARK(idleFrame)->Args({480, 854})->Args({854, 480})->Unit(benchmark::kMicrosecond);
BENCHMARK(movingFrame)->Args({480, 854})->Args({854, 480})->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
