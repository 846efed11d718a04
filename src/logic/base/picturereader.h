#ifndef PICTUREREADER_H
#define PICTUREREADER_H

#include <QByteArray>
#include <QImage>
#include <QString>

// The one way from bytes to a picture, for downloads and for files of the data folder alike.
// Only JPEG, PNG and GIF are read (what our servers send), recognised by their first bytes.
// The size a picture declares is read before anything is decoded, and a picture over the
// bounds below, or one whose size cannot be read, is refused: decoding allocates the declared
// size in full, so a small file declaring 20000 x 20000 pixels would take gigabytes.
class PictureReader
{
public:
    enum Result {
        Decoded,
        Missing,     // no such file
        Empty,       // no bytes at all
        NotAPicture, // not one of our formats, or it did not decode
        UnknownSize, // the size cannot be read before decoding
        TooLarge,    // the declared size, or the file, is over the bounds
        Unreadable   // a device, FIFO or directory, or a read error
    };

    // Twice the pixels of the largest window we lay out for (2560 x 1600): 32 MB decoded,
    // and either side at most 4096. Pictures are served at screen size; a larger one is a fault.
    static constexpr int maxSide = 4096;
    static constexpr qint64 maxPixels = qint64(4096) * 2048;
    // A stored picture is the bytes of one download, and a download is at most this.
    static constexpr qint64 maxFileBytes = 16 * 1024 * 1024;

    // "jpeg", "png" or "gif" from the first bytes; empty for anything else.
    static QByteArray formatOf(const QByteArray& bytes);
    static bool fitsBounds(const QSize& size);

    // *image is the picture when the result is Decoded, a null image otherwise.
    static Result read(const QByteArray& bytes, QImage* image);
    // Reads the file at path (a regular file of at most maxFileBytes) and decodes it.
    static Result readFile(const QString& path, QImage* image);
    // readFile for a picture kept for later: a file that is there but holds no picture within
    // the bounds is removed, so that it is fetched again instead of failing at every start;
    // one that could not be read at all is set aside (File::setAside).
    static Result readStored(const QString& path, QImage* image);
};

#endif // PICTUREREADER_H
