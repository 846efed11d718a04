#include "logic/news/photo.h"

#include <QFile>
#include <QtEndian>

#include "logic/base/file.h"
#include "logic/base/picturereader.h"
#include "logic/net/reachability.h"
#include "logic/net/request.h"

static const int photoTimeout = 10000;
// The photo file: the length of the picture's bytes, then the bytes.
static const int lengthBytes = 4;

Photo::Photo(QObject* parent)
    : QObject(parent), xx(0), articleXX(-1), downloading(false), isInSavedArticles(false)
{
    connect(this, &Photo::photoDownloadFinished, this, &Photo::photoChanged);
}

Photo::~Photo()
{
    if (downloader) {
        downloader->cancelRequestNoEmit();
        downloader->deleteLater();
    }
}

void Photo::updateFrom(const Photo& p)
{
    xx = p.xx;
    url2 = p.url2;
    signature = p.signature;
    desc = p.desc;
    // The bytes travel with the picture, so a photo saved to the briefcase
    // after it was shown is written to disk whole.
    if (url != p.url) {
        url = p.url;
        image = p.image;
        data = p.data;
    } else if (image.isNull()) {
        image = p.image;
        data = p.data;
    }
}

void Photo::setSavedArticles(bool value)
{
    isInSavedArticles = value;
    if (value)
        connect(this, &Photo::photoDownloadFinished, this, &Photo::saveImages, Qt::UniqueConnection);
    else
        disconnect(this, &Photo::photoDownloadFinished, this, &Photo::saveImages);
}

void Photo::saveToFile(File* file)
{
    file->writeByte('P');
    file->writeByte('H');
    file->writeByte('T');
    file->writeByte(1);
    file->writeInt(xx);
    file->writeString(url.toString());
    file->writeString(url2.toString());
    file->writeString(signature);
    file->writeString(desc);
}

void Photo::loadFromFile(File* file)
{
    const char p = file->readByte();
    const char h = file->readByte();
    const char t = file->readByte();
    if (p != 'P' || h != 'H' || t != 'T')
        throw static_cast<QObject*>(this);
    if (file->readByte() != 1)
        throw static_cast<QObject*>(this);
    xx = file->readInt();
    url = QUrl(file->readString());
    url2 = QUrl(file->readString());
    signature = file->readString();
    desc = file->readString();
}

QString Photo::photoFileName() const
{
    return QStringLiteral("teczka/photo_%1_%2.jpg").arg(articleXX).arg(xx);
}

void Photo::downloadPhoto(bool readFromCacheOnly)
{
    if (!image.isNull()) {
        emit photoChanged(image);
        return;
    }
    loadImages();
    if (readFromCacheOnly || !image.isNull())
        return;
    if (Reachability::isConnectedToNetwork()) {
        if (downloading)
            return;
        downloading = true;
        downloader = Http::createGETrequest(url.toString(), QString());
        downloader->setTimeout(photoTimeout);
        downloader->setKind(DownloadService::Kind::Picture);
        connect(downloader, &Http::statusChanged, this, &Photo::downloadStateChnaged);
        downloader->execute();
    } else if (Reachability::singleton) {
        connect(Reachability::singleton, SIGNAL(networkSessionOpened()), this, SLOT(downloadPhoto()),
                Qt::UniqueConnection);
    }
}

void Photo::downloadStateChnaged(Http* h)
{
    const int state = h->getStatus();
    if (state == Http::STATE_READY || state == Http::STATE_RUNNING)
        return;
    QImage decoded;
    // Only bytes that decode are a photo; anything else is asked for again when next shown.
    if (state == Http::STATE_COMPLETED
        && PictureReader::read(h->getResponseAsBytes(), &decoded) == PictureReader::Decoded) {
        data = h->getResponseAsBytes();
        image = QPixmap::fromImage(decoded);
        emit photoDownloadFinished(image);
    }
    downloading = false;
    if (h == downloader)
        downloader = nullptr;
    h->deleteLater();
}

void Photo::saveImages()
{
    if (!isInSavedArticles || image.isNull())
        return;
    File* f = File::createFileToWrite(File::createPathToResource(photoFileName()));
    f->open();
    try {
        f->writeUInt(static_cast<unsigned int>(data.size()));
        f->writeBytes(data);
    } catch (int) {
    }
    f->close();
    delete f;
}

void Photo::loadImages()
{
    if (!isInSavedArticles || !image.isNull())
        return;
    const QString path = File::createPathToResource(photoFileName());
    QByteArray file;
    const File::ReadResult read = File::readRegular(path, lengthBytes + PictureReader::maxFileBytes, &file);
    if (read == File::Missing)
        return;
    QImage decoded;
    if (read == File::Read && file.size() >= lengthBytes) {
        const QByteArray bytes = file.mid(lengthBytes);
        const quint32 length = qFromBigEndian<quint32>(file.constData());
        if (length == quint32(bytes.size()) && PictureReader::read(bytes, &decoded) == PictureReader::Decoded) {
            data = bytes;
            image = QPixmap::fromImage(decoded);
            emit photoChanged(image);
            return;
        }
    }
    // Cut, damaged or no picture within the bounds: dropped, so that it is downloaded again;
    // one that could not be read is kept aside.
    if (File::unreadable(read) && read != File::TooLarge)
        File::setAside(path);
    else
        QFile::remove(path);
}

void Photo::deleteImages()
{
    if (isInSavedArticles)
        File::deleteFileInResources(photoFileName());
}
