#include <QtTest>
#include <algorithm>
#include <iterator>

#include "logic/ads/bannerinfo.h"
#include "logic/gallery/galleryfeed.h"
#include "logic/news/photo.h"
#include "logic/news/briefcasestore.h"
#include "logic/news/settings.h"
#include "logic/base/file.h"
#include "logic/base/util.h"
#include "tests/support/testenv.h"
#include "tests/support/upgradefixture.h"

using namespace UpgradeFixture;

// A user who upgrades keeps every file an earlier build stored: the stored data of
// tests/fixtures/ reads whole, and what is written again is what was there.
class TestUpgrade : public QObject
{
    Q_OBJECT
private:
    QDir fixtures;

    QString configFile() const
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Tarvo/Kurendal.conf";
    }
    QByteArray fixture(const QString& name) const
    {
        QFile file(fixtures.filePath("data/kurendal/" + name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    }
    static QByteArray stored(const QString& path)
    {
        QFile file(path.startsWith('/') ? path : File::createPathToResource(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A picture of one colour, within what JPEG changes.
    static bool isColour(const QImage& image, const QColor& colour)
    {
        const QColor seen = image.pixelColor(image.width() / 2, image.height() / 2);
        return qAbs(seen.red() - colour.red()) < 8 && qAbs(seen.green() - colour.green()) < 8
               && qAbs(seen.blue() - colour.blue()) < 8;
    }
    static void copyTree(const QString& from, const QString& to)
    {
        QDirIterator files(from, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString source = files.next();
            const QString target = to + "/" + QDir(from).relativeFilePath(source);
            QDir().mkpath(QFileInfo(target).path());
            QVERIFY2(QFile::copy(source, target), qPrintable(target));
        }
    }

private slots:
    void initTestCase()
    {
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent");
        TestEnv::prepare();
        fixtures.setPath(KURENDAL_FIXTURES "/qt5");
        QVERIFY(fixtures.exists("data/kurendal/settings"));
        copyTree(fixtures.filePath("data/kurendal"), TestEnv::dataDir());
        copyTree(fixtures.filePath("config"), QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }

    void channels_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("firstId");
        const int counts[] = {5, 30, 5, 5, 5, 5, 5, 5, 0};
        const int firstIds[] = {41007, 41007, 41042, 41077, 41112, 41147, 41182, 41217, 0};
        for (int t = RSSChannel::Najwazniejsze; t <= RSSChannel::Fotoplan; ++t)
            QTest::newRow(qPrintable(RSSChannel::titleForType(RSSChannel::ChannelType(t)))) << t << counts[t] << firstIds[t];
    }

    // Read whole, with the read mark and the update time; saved again, the same bytes.
    void channels()
    {
        QFETCH(int, type);
        QFETCH(int, count);
        QFETCH(int, firstId);
        RSSChannel channel(RSSChannel::ChannelType(type), nullptr);
        channel.updateArticles(true);
        QCOMPARE(channel.getArticles().size(), count);
        if (count > 0) {
            QCOMPARE(channel.getArticles().first()->xx, firstId);
            QVERIFY(channel.getArticles().first()->articleWasRead);
            QCOMPARE(channel.getUnreadArticlesCount(), type == RSSChannel::Fotoplan ? -1 : count - 1);
            QCOMPARE(channel.getLastUpdateTime().toSecsSinceEpoch(), updatedAt + 60 * type);
        }
        QVERIFY(channel.saveToFile(QString("again")));
        QCOMPARE(stored("again"), fixture("rss" + channel.getTitle()));
    }

    // The photo files keep the bytes as they came and are written back alike; the thumbnails
    // are encoded again by the JPEG writer of the Qt in use, so they are compared as pictures.
    void briefcase()
    {
        SavedArticles briefcase(nullptr);
        QCOMPARE(briefcase.getArticles().size(), int(std::size(briefcaseIds)));
        QCOMPARE(briefcase.getArticles().first()->title, QString("Gdańsk: tramwaj wodny popłynie także zimą"));
        for (int i = 0; i < briefcase.getArticles().size(); ++i) {
            Article* article = briefcase.getArticles().at(i);
            QCOMPARE(article->xx, briefcaseIds[i]);
            QCOMPARE(article->thumbnailImage.size(), thumbnailSize);
            QVERIFY(isColour(article->thumbnailImage, pictureColour(i, 0)));
            QVERIFY(!article->photos.isEmpty());
            for (int p = 0; p < article->photos.size(); ++p) {
                Photo* photo = article->photos.at(p);
                photo->loadImages();
                QCOMPARE(photo->image.size(), photoSize);
                QVERIFY(isColour(photo->image.toImage(), pictureColour(i, p + 1)));
                QVERIFY(QFile::remove(File::createPathToResource(photo->photoFileName())));
            }
            QVERIFY(QFile::remove(File::createPathToResource(article->thumbnailFileName())));
            article->saveImages();
            for (const Photo* photo : article->photos)
                QCOMPARE(stored(photo->photoFileName()), fixture(photo->photoFileName()));
            QVERIFY(isColour(QImage::fromData(stored(article->thumbnailFileName())), pictureColour(i, 0)));
        }
        QVERIFY(briefcase.saveToFile(QString("again")));
        QCOMPARE(stored("again"), fixture("rssTeczka"));
    }

    void settings()
    {
        Settings settings(nullptr);
        QCOMPARE(settings.getArticlesCheckRushHours(), rushMode);
        QCOMPARE(settings.getArticlesCheckOutOfRushHours(), outOfRushMode);
        QCOMPARE(settings.getRushHoursStart(), rushStart);
        QCOMPARE(settings.getRushHoursEnd(), rushEnd);
        for (int t = 0; t < Settings::categoriesCount; ++t)
            QCOMPARE(settings.isCategoryActive(t), !std::count(std::begin(inactiveCategories), std::end(inactiveCategories), t));
        QVERIFY(QFile::remove(File::createPathToResource("settings")));
        QVERIFY(settings.save());
        QCOMPARE(stored("settings"), fixture("settings"));
    }

    // The splash picture is kept as it was downloaded: read back, not written again.
    void banners()
    {
        BannerInfo* banners = BannerInfo::getSingleton();
        QVERIFY(banners->canShowSplash());
        QVERIFY(banners->splashDownloaded);
        QCOMPARE(banners->splashImg, QString("http://ads.kurendal.pl/img/splash.png"));
        QCOMPARE(banners->splashLink, QString("http://kino.example.pl/repertuar"));
        QCOMPARE(banners->splashImage.size(), QSize(480, 854));
        QVERIFY(QFile::remove(File::createPathToResource("banners")));
        QVERIFY(QMetaObject::invokeMethod(banners, "saveToFile"));
        QCOMPARE(stored("banners"), fixture("banners"));
        BannerInfo::releaseSingleton();
    }

    // The feed and its pictures are kept as they were downloaded: read back, not written again.
    void gallery()
    {
        GalleryFeed gallery;
        QVERIFY(gallery.loadFromCache(false));
        QCOMPARE(gallery.count(), galleryPictures);
        QCOMPARE(gallery.titles().first(), QString("Zachód słońca nad Bałtykiem w Ustce"));
        for (int i = 0; i < galleryPictures; ++i) {
            const QImage picture = GalleryFeed::cachedPicture(i);
            QCOMPARE(picture.size(), gallerySize);
            QVERIFY(isColour(picture, pictureColour(i, 7)));
        }
    }

    // The token cipher has a fixed salt and vector, and the store is written sorted: the same
    // steps write the same file.
    void settingsStore()
    {
        {
            // First, as in the program: the store is read once, and only the agent knows the sessions' type.
            ClockedAgent reader;
            QCOMPARE(reader.sessions().size(), int(std::size(sessions)));
            for (int i = 0; i < reader.sessions().size(); ++i) {
                QCOMPARE(reader.sessions().at(i).dateStarted, sessions[i].dateStarted);
                QCOMPARE(reader.sessions().at(i).length, qMax(sessions[i].length, 0LL)); // an open one: length unknown
                QCOMPARE(reader.sessions().at(i).version, Util::getVersion());
            }
            QCOMPARE(FlurryAgent::getBluetoothAddress(), QString(deviceId));
        }
        QVector<QByteArray> encrypted;
        for (const Tokens& login : logins) {
            QString token, secret;
            TokenStore::load(login.tokenKey, login.secretKey, token, secret);
            QCOMPARE(token, QString(login.token));
            QCOMPARE(secret, QString(login.secret));
            encrypted << QSettings(organizationName, applicationName).value(login.tokenKey).toByteArray();
        }
        QSettings(organizationName, applicationName).clear();
        const std::unique_ptr<ClockedAgent> open = writeSettingsStore();
        for (int i = 0; i < int(std::size(logins)); ++i)
            QCOMPARE(QSettings(organizationName, applicationName).value(logins[i].tokenKey).toByteArray(), encrypted[i]);
        QFile written(configFile());
        QVERIFY(written.open(QIODevice::ReadOnly));
        QFile original(fixtures.filePath("config/Tarvo/Kurendal.conf"));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), original.readAll());
    }
};

QTEST_MAIN(TestUpgrade)
#include "tst_upgrade.moc"
