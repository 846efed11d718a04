#include "logic/gallery/galleryfeed.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "logic/gallery/gallerypicturesparser.h"
#include "logic/news/channel.h"
#include "logic/base/file.h"
#include "logic/base/logging.h"
#include "logic/base/picturereader.h"
#include "logic/net/downloadservice.h"
#include "logic/net/request.h"

static const int feedTimeout = 30000;
static const int pictureTimeout = 10000000;
// The download service's queue for the feed and its pictures: one request at a time.
static const QString galleryQueue = QStringLiteral("gallery");

enum { DOWNLOAD_NONE = -1, DOWNLOAD_FEED = 0, DOWNLOAD_PICTURES = 1 };

GalleryFeed::GalleryFeed(QObject* parent)
    : QObject(parent), downloader(nullptr), downloadState(DOWNLOAD_NONE), downloadPhotoNo(0)
{
}

GalleryFeed::~GalleryFeed()
{
    releaseDownloader();
}

QString GalleryFeed::cacheDirectory()
{
    return File::createPathToResource(QStringLiteral("galleryPictures/"));
}

QString GalleryFeed::pictureFile(int index)
{
    return cacheDirectory() + QString::number(index) + QStringLiteral(".jpg");
}

bool GalleryFeed::isDownloading() const
{
    return downloadState != DOWNLOAD_NONE;
}

void GalleryFeed::releaseDownloader()
{
    if (!downloader)
        return;
    if (DownloadService* service = DownloadService::existing())
        service->release(galleryQueue, downloader);
    downloader->cancelRequestNoEmit();
    downloader->deleteLater();
    downloader = nullptr;
}

bool GalleryFeed::loadFromCache(bool checkTime)
{
    const QString dir = cacheDirectory();
    const QString feedFile = dir + QStringLiteral("0.xml");
    QFileInfo info(feedFile);
    if (!info.exists())
        return false;
    // The feed file is written once, so its modification time is its creation time.
    if (checkTime && info.lastModified().secsTo(QDateTime::currentDateTime()) >= cacheLifetime)
        return false;
    // Kept as it came, so at most one download's worth.
    QByteArray bytes;
    const File::ReadResult read = File::readRegular(feedFile, Http::maxResponseBytes, &bytes);
    GalleryPicturesParser parser;
    if (read != File::Read || !parser.parse(bytes)) {
        // The next feed replaces the whole folder: one that could not be read goes aside first.
        if (read != File::Missing)
            File::setAside(dir.left(dir.size() - 1));
        return false;
    }
    const QList<QString> urls = parser.getPicturesUrls();
    for (int n = 0; n < urls.size(); ++n) {
        if (!QFile::exists(dir + QString::number(n) + QStringLiteral(".jpg")))
            return false;
    }
    picturesUrls = urls;
    picturesTitles = parser.getPicturesTitles();
    picturesLinks = parser.getPicturesLinks();
    return true;
}

void GalleryFeed::startRequest(const QString& url, int timeout)
{
    releaseDownloader();
    downloader = Http::createGETrequest(url, QString());
    downloader->setTimeout(timeout);
    downloader->setKind(downloadState == DOWNLOAD_FEED ? DownloadService::Kind::Feed : DownloadService::Kind::Picture);
    connect(downloader, &Http::statusChanged, this, &GalleryFeed::downloaderStateChanged);
    DownloadService::instance()->enqueue(galleryQueue, downloader);
}

void GalleryFeed::download()
{
    downloadState = DOWNLOAD_FEED;
    startRequest(RSSChannel::urlForType(RSSChannel::Fotoplan), feedTimeout);
}

void GalleryFeed::refresh()
{
    File::deleteDirectory(cacheDirectory());
    download();
}

void GalleryFeed::cancel()
{
    releaseDownloader();
    downloadState = DOWNLOAD_NONE;
}

void GalleryFeed::downloadPicture()
{
    releaseDownloader();
    // Only web addresses are fetched; an empty or foreign one leaves its slide empty, and an
    // empty file in the cache, so that the cache still holds a file for every picture.
    while (downloadPhotoNo < count()) {
        const QUrl url(picturesUrls.value(downloadPhotoNo), QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        if (url.isValid() && !url.host().isEmpty() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")))
            break;
        writeCacheFile(QString::number(downloadPhotoNo) + QStringLiteral(".jpg"), QByteArray());
        ++downloadPhotoNo;
    }
    if (downloadPhotoNo >= count()) {
        downloadState = DOWNLOAD_NONE;
        emit finished();
        return;
    }
    startRequest(picturesUrls.at(downloadPhotoNo), pictureTimeout);
}

QImage GalleryFeed::cachedPicture(int index)
{
    QImage image;
    const QString path = pictureFile(index);
    const PictureReader::Result result = PictureReader::readFile(path, &image);
    // An empty file is a slide left empty on purpose (its address was not a web address).
    if (result == PictureReader::Unreadable) {
        File::setAside(path);
    } else if (result != PictureReader::Decoded && result != PictureReader::Missing && result != PictureReader::Empty) {
        qCWarning(lcGallery) << "a cached gallery picture that does not decode is removed";
        QFile::remove(path);
    }
    return image;
}

bool GalleryFeed::writeCacheFile(const QString& name, const QByteArray& bytes)
{
    const bool ok = File::replaceContents(cacheDirectory() + name, bytes);
    if (!ok)
        emit writeFailed();
    return ok;
}

void GalleryFeed::downloaderStateChanged(Http* h)
{
    const int state = h->getStatus();
    if (state == Http::STATE_READY || state == Http::STATE_RUNNING)
        return;

    if (state == Http::STATE_COMPLETED && downloadState == DOWNLOAD_FEED) {
        const QByteArray feed = h->getResponseAsBytes();
        GalleryPicturesParser parser;
        if (parser.parse(feed)) {
            File::deleteDirectory(cacheDirectory());
            QDir().mkpath(cacheDirectory());
            // A feed file that is not whole is no cache at all.
            if (!writeCacheFile(QStringLiteral("0.xml"), feed))
                QFile::remove(cacheDirectory() + QStringLiteral("0.xml"));
            picturesUrls = parser.getPicturesUrls();
            picturesTitles = parser.getPicturesTitles();
            picturesLinks = parser.getPicturesLinks();
            emit feedReady();
            if (h != downloader)
                return; // a slot cancelled or restarted the download
            if (count() > 0) {
                downloadState = DOWNLOAD_PICTURES;
                downloadPhotoNo = 0;
                downloadPicture();
            } else {
                // Nothing to show: leave the refresh to the user.
                downloadState = DOWNLOAD_NONE;
                emit finished();
            }
        } else {
            downloadState = DOWNLOAD_NONE;
            emit finished();
        }
    } else if (state == Http::STATE_COMPLETED && downloadState == DOWNLOAD_PICTURES) {
        const QByteArray bytes = h->getResponseAsBytes();
        QImage image;
        // Only a picture within the bounds is kept. Without its file the cache counts as
        // incomplete, so the next opening fetches the gallery again.
        if (PictureReader::read(bytes, &image) == PictureReader::Decoded)
            writeCacheFile(QString::number(downloadPhotoNo) + QStringLiteral(".jpg"), bytes);
        emit pictureReady(downloadPhotoNo, image);
        if (h != downloader)
            return;
        ++downloadPhotoNo;
        if (downloadPhotoNo >= count()) {
            downloadState = DOWNLOAD_NONE;
            emit finished();
        } else {
            downloadPicture();
        }
    } else if (state == Http::STATE_ERROR_HTTP && downloadState == DOWNLOAD_FEED) {
        downloadState = DOWNLOAD_NONE;
        emit feedFailed();
    } else {
        downloadState = DOWNLOAD_NONE;
        emit finished();
    }

    if (h == downloader) {
        if (DownloadService* service = DownloadService::existing())
            service->release(galleryQueue, h);
        h->deleteLater();
        downloader = nullptr;
    }
}
