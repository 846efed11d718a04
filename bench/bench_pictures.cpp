#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include "logic/base/picturereader.h"
#include "sampleserver/hostile.h"

// What the size guard costs: a photo decoded through PictureReader beside Qt decoding the same
// bytes unguarded, and how long the refusal of a picture bomb takes.
namespace {

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray photo()
{
    QImage image(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 3) & 255, (x ^ y) & 255));
    return encoded(image, "JPG");
}

void guardedPhoto(benchmark::State& state)
{
    const QByteArray bytes = photo();
    QImage image;
    for (auto _ : state)
        benchmark::DoNotOptimize(PictureReader::read(bytes, &image));
}
BENCHMARK(guardedPhoto)->Unit(benchmark::kMillisecond);

void unguardedPhotoFloor(benchmark::State& state)
{
    const QByteArray bytes = photo();
    for (auto _ : state)
        benchmark::DoNotOptimize(QImage::fromData(bytes, "JPG"));
}
BENCHMARK(unguardedPhotoFloor)->Unit(benchmark::kMillisecond);

void refusedPngBomb(benchmark::State& state)
{
    const QByteArray bytes = Hostile::pngBomb(20000, 20000);
    state.counters["bytes"] = bytes.size();
    QImage image;
    for (auto _ : state)
        benchmark::DoNotOptimize(PictureReader::read(bytes, &image));
}
BENCHMARK(refusedPngBomb)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
