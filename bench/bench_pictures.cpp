#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QtEndian>
#include <benchmark/benchmark.h>

#include "foundation/picturereader.h"

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

QByteArray chunk(const QByteArray& type, const QByteArray& data)
{
    QByteArray length(4, 0), crc(4, 0);
    qToBigEndian(quint32(data.size()), length.data());
    quint32 c = 0xffffffffu;
    for (char ch : type + data) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1)));
    }
    qToBigEndian(~c, crc.data());
    return length + type + data + crc;
}

// 20000 x 20000 black pixels of one bit: about 50 KB of zlib for 50 MB of rows.
QByteArray pngBomb()
{
    const int side = 20000;
    QByteArray header(13, 0);
    qToBigEndian(quint32(side), header.data());
    qToBigEndian(quint32(side), header.data() + 4);
    header[8] = 1;
    const QByteArray zlib = qCompress(QByteArray(side * (1 + side / 8), 0), 9).mid(4);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", zlib) + chunk("IEND", "");
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
    const QByteArray bytes = pngBomb();
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
