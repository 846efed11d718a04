#include "logic/base/picturereader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include "logic/base/file.h"
#include "logic/base/logging.h"

QByteArray PictureReader::formatOf(const QByteArray& bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    if (bytes.startsWith("\xff\xd8\xff"))
        return QByteArrayLiteral("jpeg");
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    return QByteArray();
}

// Qt's GIF handler allocates the larger of the logical screen and the first frame, but
// declares a smaller size when the screen is large and the frame small: read both here.
static QSize gifSize(const QByteArray& bytes)
{
    const auto byte = [&bytes](int at) { return at < bytes.size() ? int(quint8(bytes[at])) : -1; };
    const auto word = [&byte](int at) { return byte(at + 1) < 0 ? -1 : byte(at) | byte(at + 1) << 8; };
    const int screenWidth = word(6);
    const int screenHeight = word(8);
    const int flags = byte(10);
    if (flags < 0)
        return QSize();
    int at = 13 + ((flags & 0x80) ? 3 << ((flags & 7) + 1) : 0);
    // Extensions come before the first frame: a label, then blocks of data up to an empty one.
    while (byte(at) == 0x21) {
        at += 2;
        for (int length = byte(at); length > 0; length = byte(at))
            at += length + 1;
        if (byte(at) < 0)
            return QSize();
        ++at;
    }
    if (byte(at) != 0x2c || word(at + 7) < 0)
        return QSize();
    const int right = word(at + 1) + word(at + 5);
    const int bottom = word(at + 3) + word(at + 7);
    return QSize(qMax(screenWidth, right), qMax(screenHeight, bottom));
}

bool PictureReader::fitsBounds(const QSize& size)
{
    return size.isValid() && !size.isEmpty() && size.width() <= maxSide && size.height() <= maxSide
        && qint64(size.width()) * size.height() <= maxPixels;
}

PictureReader::Result PictureReader::read(const QByteArray& bytes, QImage* image)
{
    *image = QImage();
    if (bytes.isEmpty())
        return Empty;
    const QByteArray format = formatOf(bytes);
    if (format.isEmpty())
        return NotAPicture;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // Only the handler of the format the bytes announce; no guessing among the others.
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    QSize size = reader.size();
    if (format == "gif") {
        const QSize allocated = gifSize(bytes);
        size = allocated.isValid() && size.isValid() ? size.expandedTo(allocated) : QSize();
    }
    if (!size.isValid() || size.isEmpty()) {
        qCWarning(lcFiles) << "a" << format << "picture without a readable size is refused";
        return UnknownSize;
    }
    if (!fitsBounds(size)) {
        qCWarning(lcFiles) << "a" << format << "picture of" << size << "pixels is refused";
        return TooLarge;
    }
    QImage decoded = reader.read();
    // A handler may go by another size than the one it declared; nothing over the bounds is kept.
    if (decoded.isNull() || !fitsBounds(decoded.size()))
        return NotAPicture;
    *image = decoded;
    return Decoded;
}

PictureReader::Result PictureReader::readFile(const QString& path, QImage* image)
{
    *image = QImage();
    QByteArray bytes;
    switch (File::readRegular(path, maxFileBytes, &bytes)) {
    case File::Read:
        return read(bytes, image);
    case File::Missing:
        return Missing;
    case File::TooLarge:
        return TooLarge;
    case File::NotRegular:
    case File::ReadFailed:
        break;
    }
    return Unreadable;
}

PictureReader::Result PictureReader::readStored(const QString& path, QImage* image)
{
    const Result result = readFile(path, image);
    // One that could not be read is kept aside rather than lost; the next save has its place.
    if (result == Unreadable) {
        File::setAside(path);
    } else if (result != Decoded && result != Missing) {
        qCWarning(lcFiles) << "a stored picture that does not decode is removed";
        QFile::remove(path);
    }
    return result;
}
