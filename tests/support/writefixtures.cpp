#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QNetworkProxy>
#include <QPixmap>
#include <QTextStream>
#include <QUrl>
#include <functional>
#include <iterator>

#include "logic/news/article.h"
#include "logic/ads/bannerinfo.h"
#include "logic/gallery/galleryfeed.h"
#include "logic/news/photo.h"
#include "logic/news/briefcasestore.h"
#include "logic/news/settings.h"
#include "sampleserver/sampleserver.h"
#include "sampleserver/sampleservices.h"
#include "tests/support/upgradefixture.h"

// Writes a whole data folder and settings store into <folder>/data and <folder>/config with the
// program's own classes: every channel cache, the briefcase with its pictures, the banners and
// the splash, the settings, the gallery cache, both logins and the analytics sessions. Times are
// fixed, so two runs of one build write the same bytes.
namespace {

using namespace UpgradeFixture;
const QString content = QStringLiteral(KURENDAL_SAMPLE_CONTENT);

bool fail(const QString& what)
{
    QTextStream(stderr) << "kurendal-writefixtures: " << what << '\n';
    return false;
}

bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

QByteArray sampleFeed(RSSChannel::ChannelType type)
{
    QFile file(content + QStringLiteral("/rss.kurendal.pl") + QUrl(RSSChannel::urlForType(type)).path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeChannels()
{
    for (int t = RSSChannel::Najwazniejsze; t <= RSSChannel::Kultura; ++t) {
        Channel channel{RSSChannel::ChannelType(t)};
        if (!channel.take(sampleFeed(channel.getType()), updatedAt + 60 * t) || channel.getArticles().isEmpty())
            return fail(QStringLiteral("no articles for ") + channel.getTitle());
        channel.markArticleAsRead(*channel.getArticles().first());
    }
    // The gallery channel holds no articles: its file is the empty list.
    return RSSChannel(RSSChannel::Fotoplan, nullptr).saveToFile() || fail(QStringLiteral("rssFotoplan"));
}

bool writeBriefcase()
{
    ArticleParser parser;
    if (!parser.parse(sampleFeed(RSSChannel::Kraj)))
        return fail(QStringLiteral("the Kraj feed"));
    SavedArticles briefcase(nullptr);
    const int count = int(std::size(briefcaseIds));
    for (int i = count - 1; i >= 0; --i) { // each added goes first
        Article* article = nullptr;
        for (Article* a : *parser.getParserArticles())
            article = a->xx == briefcaseIds[i] ? a : article;
        if (!article || article->photos.isEmpty())
            return fail(QStringLiteral("article %1 with photos").arg(briefcaseIds[i]));
        article->thumbnailImage = QImage::fromData(jpeg(thumbnailSize, pictureColour(i, 0)));
        for (int p = 0; p < article->photos.size(); ++p) {
            Photo* photo = article->photos[p];
            photo->data = jpeg(photoSize, pictureColour(i, p + 1));
            photo->image = QPixmap::fromImage(QImage::fromData(photo->data));
        }
        if (!briefcase.addArticle(*article))
            return fail(QStringLiteral("briefcase"));
    }
    for (Article* article : briefcase.getArticles())
        article->saveImages();
    return true;
}

bool writeBanners()
{
    BannerInfo* banners = BannerInfo::getSingleton();
    banners->startUpdate();
    const bool ok = waitFor([banners] { return banners->splashDownloaded && !banners->isDownloading(); });
    BannerInfo::releaseSingleton();
    return ok || fail(QStringLiteral("the splash advertisement"));
}

bool writeGallery(SampleServer& server)
{
    QFile file(content + QStringLiteral("/www.kurendal.pl/pub/rss/fotoplan.xml"));
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("the sample picture feed"));
    QByteArray feed = file.readAll();
    int end = 0;
    for (int i = 0; i < galleryPictures; ++i)
        end = feed.indexOf("</item>", end) + int(qstrlen("</item>"));
    feed = feed.left(end) + "\n</channel>\n</rss>\n";
    server.route(QStringLiteral("www.kurendal.pl"), QStringLiteral("/pub/rss/fotoplan.xml"),
                 SampleServer::text(feed, "application/rss+xml"));
    for (int i = 0; i < galleryPictures; ++i)
        server.route(QStringLiteral("www.kurendal.pl"), QStringLiteral("/galeria/%1.jpg").arg(i),
                     SampleServer::text(jpeg(gallerySize, pictureColour(i, 7)), "image/jpeg"));
    GalleryFeed gallery;
    bool finished = false;
    QObject::connect(&gallery, &GalleryFeed::finished, [&finished] { finished = true; });
    gallery.download();
    return (waitFor([&finished] { return finished; }) && gallery.loadFromCache(false)
            && gallery.count() == galleryPictures)
           || fail(QStringLiteral("the gallery cache"));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing here talks to the machine's buses.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent");
    if (argc != 2) {
        QTextStream(stderr) << "usage: kurendal-writefixtures FOLDER\n";
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
    QGuiApplication application(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false")); // a missing cache is no news here
    QCoreApplication::setApplicationName(QStringLiteral("kurendal")); // the program's data folder
    QDir(root.filePath(QStringLiteral("data/kurendal"))).removeRecursively();
    QDir(root.filePath(QStringLiteral("config/Tarvo"))).removeRecursively();

    SampleServer server;
    if (!server.start()) {
        fail(QStringLiteral("no local port"));
        return 1;
    }
    server.setContentRoot(content);
    installAdService(server, content);
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"),
                                                     server.serverPort()));

    Settings settings(nullptr);
    bool ok = settings.setRefreshModes(rushMode, outOfRushMode) && settings.setRushHours(rushStart, rushEnd);
    for (int type : inactiveCategories)
        ok = ok && settings.setCategoryActive(type, false);
    if (!ok || !writeChannels() || !writeBriefcase() || !writeBanners() || !writeGallery(server))
        return 1;
    // A save keeps the previous list as ".old"; a folder of one save each needs none.
    QDirIterator backups(root.filePath(QStringLiteral("data/kurendal")), {QStringLiteral("*.old")}, QDir::Files);
    while (backups.hasNext())
        QFile::remove(backups.next());
    // The last run is left open, as a run that was killed leaves it.
    writeSettingsStore().release();
    return 0;
}
