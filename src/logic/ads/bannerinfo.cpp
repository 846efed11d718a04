#include "logic/ads/bannerinfo.h"

#include <QImage>
#include <QUrl>

#include "logic/base/constants.h"
#include "logic/base/file.h"
#include "logic/base/json.h"
#include "logic/base/picturereader.h"
#include "logic/net/downloadservice.h"
#include "logic/net/request.h"
#include "logic/base/logging.h"

BannerInfo* BannerInfo::singleton = nullptr;

static const int adTimeout = 10000;
// The download service's queue for the descriptions and pictures: one request at a time.
static const QString adQueue = QStringLiteral("ads");
static const char* const bannersFile = "banners";
static const char* const splashFile = "splash";
// 'R','E','K', the version, two flags and two strings of at most 65535 bytes with their lengths.
static const qint64 maxBannersFileBytes = 4 + 1 + 2 * (2 + 65535) + 1;

BannerInfo::BannerInfo()
    : QObject(nullptr), showSplash(false), showTopBanner(false), showBottomBanner(false), splashDownloaded(false),
      topBannerDownloaded(false), bottomBannerDownloaded(false)
{
    loadFromFile();
}

BannerInfo::~BannerInfo()
{
    cancelDownloads();
    if (singleton == this)
        singleton = nullptr;
}

BannerInfo* BannerInfo::getSingleton()
{
    if (!singleton)
        singleton = new BannerInfo();
    return singleton;
}

void BannerInfo::releaseSingleton()
{
    if (singleton)
        singleton->deleteLater();
    singleton = nullptr;
}

bool BannerInfo::canShowSplash() const
{
    return showSplash;
}

QString BannerInfo::safeLink(const QString& link)
{
    // Tolerant, as a browser reads an address: spaces, '|', '{', '^' or a bare '%' are fine.
    const QUrl url(link.trimmed(), QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty())
        return link.trimmed();
    return QString();
}

bool BannerInfo::isDownloading() const
{
    const DownloadService* service = DownloadService::existing();
    return service && (service->current(adQueue) || service->waitingCount(adQueue) > 0);
}

// The running request and the waiting ones are dropped, nothing more starts.
void BannerInfo::cancelDownloads()
{
    DownloadService* service = DownloadService::existing();
    if (!service)
        return;
    for (Http* h : service->takeAll(adQueue)) {
        h->cancelRequestNoEmit();
        h->deleteLater();
    }
}

void BannerInfo::startUpdate()
{
    cancelDownloads();
    downloadSplash();
    downloadTopBanner();
    downloadBottomBanner();
}

void BannerInfo::enqueue(Http* h)
{
    h->setTimeout(adTimeout);
    DownloadService::instance()->enqueue(adQueue, h);
}

bool BannerInfo::isFinal(Http* h)
{
    const int state = h->getStatus();
    return state != Http::STATE_READY && state != Http::STATE_RUNNING;
}

// After the reply has been looked at (a picture it names is queued behind the rest).
void BannerInfo::done(Http* h)
{
    h->deleteLater();
    DownloadService* service = DownloadService::existing();
    if (service && h == service->current(adQueue))
        service->release(adQueue, h);
}

bool BannerInfo::readDescription(Http* h, QVariantMap& description)
{
    if (h->getStatus() != Http::STATE_COMPLETED)
        return false;
    QByteArray bytes = h->getResponseAsBytes();
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    bool ok = false;
    const QVariant value = Json::parse(QString::fromLatin1(bytes), ok);
    if (!ok || value.typeId() != QMetaType::QVariantMap)
        return false;
    description = value.toMap();
    return true;
}

void BannerInfo::downloadSplash()
{
    Http* h = Http::createGETrequest(splashUrl, QString());
    h->disableCache();
    connect(h, &Http::statusChanged, this, &BannerInfo::splashDownloaderStateChanged);
    enqueue(h);
}

void BannerInfo::downloadTopBanner()
{
    Http* h = Http::createGETrequest(topBannerUrl, QString());
    h->disableCache();
    connect(h, &Http::statusChanged, this, &BannerInfo::topBannerDownloaderStateChanged);
    enqueue(h);
}

void BannerInfo::downloadBottomBanner()
{
    Http* h = Http::createGETrequest(bottomBannerUrl, QString());
    h->disableCache();
    connect(h, &Http::statusChanged, this, &BannerInfo::bottomBannerDownloaderStateChanged);
    enqueue(h);
}

bool BannerInfo::mayDownloadImage(bool downloaded, bool show, const QPixmap& image, const QString& img) const
{
    return !downloaded && show && image.isNull() && !img.isEmpty();
}

void BannerInfo::downloadSplashImage()
{
    // The splash in memory is the one of this start: it does not stop the next one coming.
    if (!mayDownloadImage(splashDownloaded, showSplash, QPixmap(), splashImg))
        return;
    Http* h = Http::createGETrequest(splashImg, QString());
    h->setKind(DownloadService::Kind::Picture);
    connect(h, &Http::statusChanged, this, &BannerInfo::splashImageDownloaderStateChanged);
    enqueue(h);
}

void BannerInfo::downloadTopBannerImage()
{
    if (!mayDownloadImage(topBannerDownloaded, showTopBanner, topBannerImage, topBannerImg))
        return;
    Http* h = Http::createGETrequest(topBannerImg, QString());
    h->setKind(DownloadService::Kind::Picture);
    connect(h, &Http::statusChanged, this, &BannerInfo::topBannerImageDownloaderStateChanged);
    enqueue(h);
}

void BannerInfo::downloadBottomBannerImage()
{
    if (!mayDownloadImage(bottomBannerDownloaded, showBottomBanner, bottomBannerImage, bottomBannerImg))
        return;
    Http* h = Http::createGETrequest(bottomBannerImg, QString());
    h->setKind(DownloadService::Kind::Picture);
    connect(h, &Http::statusChanged, this, &BannerInfo::bottomBannerImageDownloaderStateChanged);
    enqueue(h);
}

// "@type" "banner" offers the place; "ImageUrl"/"#text" names its picture, "Href" its link.
bool BannerInfo::takeBanner(const QVariantMap& description, bool& show, bool& downloaded, QString& img,
                            QString& link)
{
    if (description.value(QStringLiteral("@type")).toString() == QLatin1String("banner"))
        show = true;
    const QVariantMap image = description.value(QStringLiteral("ImageUrl")).toMap();
    if (!image.contains(QStringLiteral("#text"))) {
        downloaded = false;
        show = false;
        img.clear();
        link.clear();
        return false;
    }
    downloaded = false;
    const QString address = image.value(QStringLiteral("#text")).toString();
    if (address.isEmpty())
        return false;
    img = address;
    if (description.contains(QStringLiteral("Href")))
        link = safeLink(description.value(QStringLiteral("Href")).toString());
    return true;
}

void BannerInfo::topBannerDownloaderStateChanged(Http* h)
{
    if (!isFinal(h))
        return;
    QVariantMap description;
    if (readDescription(h, description)) {
        if (takeBanner(description, showTopBanner, topBannerDownloaded, topBannerImg, topBannerLink))
            downloadTopBannerImage();
    }
    done(h);
}

void BannerInfo::bottomBannerDownloaderStateChanged(Http* h)
{
    if (!isFinal(h))
        return;
    QVariantMap description;
    if (readDescription(h, description)) {
        if (takeBanner(description, showBottomBanner, bottomBannerDownloaded, bottomBannerImg, bottomBannerLink))
            downloadBottomBannerImage();
    }
    done(h);
}

void BannerInfo::splashDownloaderStateChanged(Http* h)
{
    if (!isFinal(h))
        return;
    QVariantMap description;
    if (readDescription(h, description)) {
        // The splash is kept from start to start: an offer withdrawn ends it, as the banners end
        // with the start that showed them.
        showSplash = description.value(QStringLiteral("@type")).toString() == QLatin1String("banner");
        const QVariantMap image = description.value(QStringLiteral("ImageUrl")).toMap();
        if (!image.contains(QStringLiteral("#text"))) {
            splashDownloaded = false;
            showSplash = false;
            splashImg.clear();
        } else {
            const QString address = image.value(QStringLiteral("#text")).toString();
            const bool newAddress = address != splashImg;
            if (newAddress) {
                splashImg = address;
                splashDownloaded = false;
            }
            // The link goes with its picture: it is taken when that picture is on disk.
            if (description.contains(QStringLiteral("Href")))
                nextSplashLink = safeLink(description.value(QStringLiteral("Href")).toString());
            else if (newAddress)
                nextSplashLink = splashLink;
            if (splashDownloaded)
                splashLink = nextSplashLink;
            else
                downloadSplashImage(); // new, or not fetched whole last time
        }
        saveToFile();
    }
    done(h);
}

bool BannerInfo::takeBannerImage(Http* h, QPixmap& image, bool& downloaded)
{
    QImage loaded;
    if (h->getStatus() != Http::STATE_COMPLETED
        || PictureReader::read(h->getResponseAsBytes(), &loaded) != PictureReader::Decoded)
        return false;
    image = QPixmap::fromImage(loaded);
    downloaded = true;
    return true;
}

void BannerInfo::topBannerImageDownloaderStateChanged(Http* h)
{
    if (!isFinal(h))
        return;
    if (takeBannerImage(h, topBannerImage, topBannerDownloaded))
        emit topBannerChanged(topBannerImage, topBannerLink);
    done(h);
}

void BannerInfo::bottomBannerImageDownloaderStateChanged(Http* h)
{
    if (!isFinal(h))
        return;
    if (takeBannerImage(h, bottomBannerImage, bottomBannerDownloaded))
        emit bottomBannerChanged(bottomBannerImage, bottomBannerLink);
    done(h);
}

// The new splash is kept on disk for the next start; the one in memory stays.
void BannerInfo::splashImageDownloaderStateChanged(Http* h)
{
    if (!isFinal(h))
        return;
    const QByteArray bytes = h->getResponseAsBytes();
    // Only a picture within the bounds counts; an error page or a cut reply is asked for again next time.
    QImage picture;
    if (h->getStatus() == Http::STATE_COMPLETED && PictureReader::read(bytes, &picture) == PictureReader::Decoded) {
        // The previous picture stays whole until the new one is all on disk.
        splashDownloaded = File::replaceContents(File::createPathToResource(QLatin1String(splashFile)), bytes);
        if (splashDownloaded)
            splashLink = nextSplashLink;
        saveToFile();
    }
    done(h);
}

// A splash file that is gone or holds no picture within the bounds is no splash: it is
// removed and fetched again at the next update, instead of failing at every start.
void BannerInfo::loadSplashImage()
{
    QImage picture;
    if (PictureReader::readStored(File::createPathToResource(QLatin1String(splashFile)), &picture)
        == PictureReader::Decoded)
        splashImage = QPixmap::fromImage(picture);
    else
        splashDownloaded = false;
}

void BannerInfo::saveToFile()
{
    File* f = File::createFileToWrite(File::createPathToResource(QLatin1String(bannersFile)));
    f->open();
    try {
        f->writeByte('R');
        f->writeByte('E');
        f->writeByte('K');
        f->writeByte(1);
        f->writeByte(showSplash ? 1 : 0);
        f->writeString(splashImg);
        f->writeByte(splashDownloaded ? 1 : 0);
        f->writeString(splashLink);
        if (!f->close())
            throw -1;
    } catch (int) {
        qCWarning(lcBanners) << "the banner cache could not be written";
    }
    delete f;
}

void BannerInfo::loadFromFile()
{
    if (!File::fileExistInResources(QLatin1String(bannersFile)))
        return;
    File* f = File::createFileToRead(File::createPathToResource(QLatin1String(bannersFile)), maxBannersFileBytes);
    f->open();
    try {
        const char r = f->readByte();
        const char e = f->readByte();
        const char k = f->readByte();
        if (r == 'R' && e == 'E' && k == 'K') {
            if (f->readByte() != 1)
                throw -1;
            showSplash = f->readByte() != 0;
            splashImg = f->readString();
            splashDownloaded = f->readByte() != 0;
            if (showSplash) {
                // The file holds the last picture fetched whole (a newer address may still be
                // on its way). A damaged or foreign file simply leaves no splash advertisement.
                loadSplashImage();
            }
            splashLink = safeLink(f->readString());
            nextSplashLink = splashLink;
            if (f->bytesLeft() != 0)
                throw -1;
        }
    } catch (int) {
        // Only a file that decodes whole counts: otherwise no splash advertisement, and the
        // file is kept aside rather than saved over.
        if (f->getReadResult() != File::Missing)
            File::setAside(File::createPathToResource(QLatin1String(bannersFile)));
        showSplash = false;
        splashImg.clear();
        splashDownloaded = false;
        splashImage = QPixmap();
        splashLink.clear();
        nextSplashLink.clear();
    }
    f->close();
    delete f;
}
