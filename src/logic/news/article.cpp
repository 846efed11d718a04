#include "logic/news/article.h"

#include <QBuffer>

#include "logic/news/photo.h"
#include "logic/base/file.h"
#include "logic/base/hidpi.h"
#include "logic/base/picturereader.h"
#include "logic/net/reachability.h"
#include "logic/net/request.h"

static const int thumbnailTimeout = 10000;
static const int newOldOrder = -2147483647 - 1;

Article::Article(QObject* parent)
    : QObject(parent), xx(0), order(0), oldOrder(newOldOrder), articleWasRead(false),
      imageDownloader(nullptr), isInSavedArticles(false)
{
}

// Screens receive articles by value through signals; a copy is a detached snapshot.
Article::Article(const Article& other)
    : Article(nullptr)
{
    updateFrom(other, true);
}

Article::~Article()
{
    if (imageDownloader) {
        imageDownloader->cancelRequestNoEmit();
        imageDownloader->deleteLater();
    }
}

const QImage& Article::getThumbnailImage() const
{
    return thumbnailImage;
}

void Article::markAsOld()
{
    if (order < 0)
        return;
    oldOrder = -order;
    order = -1;
}

bool Article::operator<(const Article& b) const
{
    if (b.order >= 0)
        return order >= 0 && order < b.order;
    return order >= 0 || oldOrder > b.oldOrder;
}

bool articleLessThan(const Article* a, const Article* b)
{
    return *a < *b;
}

void Article::updateFrom(const Article& a, bool updateIsInSaved)
{
    if (updateIsInSaved)
        isInSavedArticles = a.isInSavedArticles;
    order = a.order;
    oldOrder = a.oldOrder;
    xx = a.xx;
    if (a.articleWasRead)
        articleWasRead = true;
    date = a.date;
    title = a.title;
    link = a.link;
    lead = a.lead;
    content = a.content;
    signature = a.signature;
    label = a.label;
    if (thumbnail != a.thumbnail) {
        thumbnail = a.thumbnail;
        thumbnailImage = a.thumbnailImage;
        thumbnailIsPlaceholder = a.thumbnailIsPlaceholder;
    } else if (thumbnailImage.isNull() || (thumbnailIsPlaceholder && !a.thumbnailImage.isNull())) {
        thumbnailImage = a.thumbnailImage;
        thumbnailIsPlaceholder = a.thumbnailIsPlaceholder;
    }

    // The photos are replaced, not added to: every refresh would otherwise keep the previous ones.
    qDeleteAll(photos);
    photos.clear();
    for (const Photo* source : a.photos) {
        Photo* copy = new Photo(this);
        copy->articleXX = xx;
        copy->setSavedArticles(isInSavedArticles);
        copy->updateFrom(*source);
        photos.append(copy);
    }

    if (isInSavedArticles) {
        if (Reachability::isConnectedToNetwork()) {
            startDownloadThumbnail(false);
        } else if (Reachability::singleton) {
            startDownloadThumbnail(true);
            downloadThumbnailWhenOnline();
        }
    } else if (Reachability::singleton) {
        disconnect(Reachability::singleton, SIGNAL(networkSessionOpened()), this, SLOT(startDownloadThumbnail()));
    }
}

void Article::downloadThumbnailWhenOnline()
{
    connect(Reachability::singleton, SIGNAL(networkSessionOpened()), this, SLOT(startDownloadThumbnail()),
            Qt::UniqueConnection);
}

void Article::setSavedArticles(bool value)
{
    isInSavedArticles = value;
    for (Photo* photo : photos)
        photo->setSavedArticles(value);
    if (value)
        connect(this, &Article::thumbnailDownloadFinished, this, &Article::saveImages, Qt::UniqueConnection);
    else
        disconnect(this, &Article::thumbnailDownloadFinished, this, &Article::saveImages);
}

void Article::saveToFile(File* file, int newOrder)
{
    file->writeByte('A');
    file->writeByte('R');
    file->writeByte('T');
    file->writeByte(1);
    file->writeInt(xx);
    order = newOrder;
    file->writeInt(newOrder);
    file->writeByte(articleWasRead ? 1 : 0);
    file->writeString(date);
    file->writeString(title);
    file->writeString(link.toString());
    file->writeString(lead);
    file->writeString(content);
    file->writeString(signature);
    file->writeString(label);
    file->writeString(thumbnail.toString());
    file->writeInt(photos.size());
    for (Photo* photo : photos)
        photo->saveToFile(file);
}

void Article::loadFromFile(File* file)
{
    const char a = file->readByte();
    const char r = file->readByte();
    const char t = file->readByte();
    if (a != 'A' || r != 'R' || t != 'T')
        throw static_cast<QObject*>(this);
    if (file->readByte() != 1)
        throw static_cast<QObject*>(this);
    xx = file->readInt();
    const int storedOrder = file->readInt();
    if (storedOrder < 0) {
        oldOrder = storedOrder;
        order = -1;
    } else {
        order = storedOrder;
    }
    articleWasRead = file->readByte() != 0;
    date = file->readString();
    title = file->readString();
    link = QUrl(file->readString());
    lead = file->readString();
    content = file->readString();
    signature = file->readString();
    label = file->readString();
    thumbnail = QUrl(file->readString());
    // Checked before any photo is made: a damaged count never builds thousands of them.
    const int count = file->readInt();
    if (count < 0 || count > file->bytesLeft() / Photo::minRecordBytes)
        throw static_cast<QObject*>(this);
    for (int i = 0; i < count; ++i) {
        Photo* photo = new Photo(this);
        photo->articleXX = xx;
        photos.append(photo);
        photo->loadFromFile(file);
    }
}

QString Article::thumbnailFileName() const
{
    return QStringLiteral("teczka/thumb%1.jpg").arg(xx);
}

void Article::startDownloadThumbnail(bool readFromCache)
{
    if ((thumbnailImage.isNull() || thumbnailIsPlaceholder) && thumbnail.isValid() && !readFromCache) {
        if (imageDownloader) {
            imageDownloader->cancelRequestNoEmit();
            imageDownloader->deleteLater();
        }
        imageDownloader = Http::createGETrequest(thumbnail.toString(), QString());
        imageDownloader->setTimeout(thumbnailTimeout);
        imageDownloader->setKind(DownloadService::Kind::Picture);
        connect(imageDownloader, &Http::statusChanged, this, &Article::thumbnailDownloaderStateChanged);
        imageDownloader->execute();
        return;
    }
    // Not fetched yet (offline): the placeholder stands in, and is never saved as the picture.
    if (readFromCache && thumbnailImage.isNull() && thumbnail.isValid()) {
        thumbnailImage = Hidpi::image(QStringLiteral(":/THUMBNAIL"));
        thumbnailIsPlaceholder = true;
    }
    emit thumbnailDownloadFinished(thumbnailImage);
}

void Article::thumbnailDownloaderStateChanged(Http* h)
{
    const int state = h->getStatus();
    if (state == Http::STATE_READY || state == Http::STATE_RUNNING)
        return;
    if (h == imageDownloader) {
        imageDownloader = nullptr;
        h->deleteLater();
    }
    QImage image;
    if (state == Http::STATE_COMPLETED)
        PictureReader::read(h->getResponseAsBytes(), &image);
    thumbnailIsPlaceholder = image.isNull();
    if (thumbnailIsPlaceholder) {
        image = Hidpi::image(QStringLiteral(":/THUMBNAIL"));
        // A briefcase article asks again at the next opening of the network.
        if (isInSavedArticles && Reachability::singleton)
            downloadThumbnailWhenOnline();
    }
    thumbnailImage = image;
    emit thumbnailDownloadFinished(thumbnailImage);
}

void Article::saveImages()
{
    if (!isInSavedArticles)
        return;
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    if (!thumbnailImage.isNull() && !thumbnailIsPlaceholder && buffer.open(QIODevice::WriteOnly)
        && thumbnailImage.save(&buffer, "JPG"))
        File::replaceContents(File::createPathToResource(thumbnailFileName()), jpeg);
    for (Photo* photo : photos)
        photo->saveImages();
}

void Article::loadImages(bool loadPhotos)
{
    if (!isInSavedArticles)
        return;
    if (thumbnailImage.isNull()
        && PictureReader::readStored(File::createPathToResource(thumbnailFileName()), &thumbnailImage)
            != PictureReader::Decoded) {
        if (Reachability::isConnectedToNetwork())
            startDownloadThumbnail(false);
        else if (Reachability::singleton)
            downloadThumbnailWhenOnline();
    }
    if (loadPhotos) {
        for (Photo* photo : photos)
            photo->loadImages();
    }
}

void Article::deleteImages()
{
    if (!isInSavedArticles)
        return;
    File::deleteFileInResources(thumbnailFileName());
    for (Photo* photo : photos)
        photo->deleteImages();
}
