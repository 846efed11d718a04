#include "fuzz/inputs.h"

#include <QFile>
#include <QMetaObject>
#include <QTime>
#include <QUrl>

#include "logic/news/article.h"
#include "logic/news/articleparser.h"
#include "logic/ads/bannerinfo.h"
#include "logic/news/photo.h"
#include "logic/news/channel.h"
#include "logic/gallery/gallerypicturesparser.h"
#include "logic/news/settings.h"
#include "logic/base/file.h"
#include "logic/base/json.h"

namespace FuzzInputs {

// Puts the input where the loader reads it, in the data folder.
static void writeDataFile(const QString& name, const QByteArray& bytes)
{
    QFile file(File::createPathToResource(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
}

bool channelCache(const QByteArray& bytes)
{
    writeDataFile(QStringLiteral("rssKraj"), bytes);
    QFile::remove(File::createPathToResource(QStringLiteral("rssKraj.old")));
    QFile::remove(File::createPathToResource(QStringLiteral("rssKraj.new")));
    RSSChannel channel(RSSChannel::Kraj, nullptr);
    channel.updateArticles(true);
    // What the lists and the article screen read of each article.
    qint64 seen = channel.getUnreadArticlesCount() + channel.getInfoText().size();
    for (const Article* a : channel.getArticles()) {
        seen += a->title.size() + a->lead.size() + a->link.toString().size() + a->photos.size();
        for (const Photo* p : a->photos)
            seen += p->url.toString().size() + p->desc.size();
    }
    // The count is one byte.
    return seen >= 0 && channel.getArticles().size() <= 255;
}

bool settings(const QByteArray& bytes)
{
    writeDataFile(QStringLiteral("settings"), bytes);
    Settings s(nullptr);
    for (int hour = 0; hour < 24; ++hour) {
        const QTime now(hour, 59, 30);
        const int mode = s.refreshModeAt(now);
        const int next = s.msecsToNextRushStateChange(now);
        if (mode < 0 || mode > 4 || next < 1 || next > 86400000)
            return false;
    }
    return s.getRushHoursStart() >= 0 && s.getRushHoursStart() <= 23 && s.getRushHoursEnd() >= 0 && s.getRushHoursEnd() <= 23;
}

bool bannerCache(const QByteArray& bytes)
{
    writeDataFile(QStringLiteral("banners"), bytes);
    BannerInfo* banners = BannerInfo::getSingleton();
    QMetaObject::invokeMethod(banners, "loadFromFile", Qt::DirectConnection);
    const QString link = banners->splashLink;
    // Only web addresses may reach the browser.
    const QString scheme = QUrl(link).scheme().toLower();
    return link.isEmpty() || scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

bool json(const QByteArray& bytes)
{
    bool ok = false;
    const QVariant value = Json::parse(QString::fromUtf8(bytes), ok);
    // A failed parse never hands out part of a container.
    if (ok || !value.isValid())
        return true;
    if (value.typeId() == QMetaType::QVariantMap)
        return value.toMap().isEmpty();
    if (value.typeId() == QMetaType::QVariantList)
        return value.toList().isEmpty();
    return false;
}

bool articleParser(const QByteArray& bytes)
{
    ArticleParser parser;
    parser.parse(bytes);
    for (const Article* a : *parser.getParserArticles()) {
        for (const Photo* p : a->photos)
            if (p->articleXX != a->xx)
                return false;
    }
    return true;
}

bool galleryParser(const QByteArray& bytes)
{
    GalleryPicturesParser parser;
    // The gallery uses the lists only from a feed that parsed.
    if (!parser.parse(bytes))
        return true;
    const int urls = parser.getPicturesUrls().size();
    return parser.getPicturesTitles().size() == urls && parser.getPicturesLinks().size() == urls;
}

} // namespace FuzzInputs
