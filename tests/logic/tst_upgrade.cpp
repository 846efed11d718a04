#include <QtTest>
#include <iterator>
#include <memory>

#include "logic/ads/bannerinfo.h"
#include "logic/analytics/flurryagent.h"
#include "logic/gallery/galleryfeed.h"
#include "logic/news/photo.h"
#include "logic/news/briefcasestore.h"
#include "logic/news/channel.h"
#include "logic/news/settings.h"
#include "logic/sharing/tokenstore.h"
#include "logic/base/constants.h"
#include "logic/base/file.h"
#include "logic/base/util.h"
#include "tests/support/testenv.h"

// The stored data of tests/fixtures/.
struct Tokens {
    const char* tokenKey;
    const char* secretKey;
    const char* token;
    const char* secret;
};
// The keys are the Twitter and Blip clients' own.
const Tokens logins[] = {{"token", "tokenSecret", "1187654321-tW9xKq2LmPz7RbVc4NsYh", "Jd8Fq2Lm9ZxWv3Rk7TbYc5NpHs1Ga6Ue"},
                         {"bliptoken", "bliptokenSecret", "Bz7Qw1Kx4MvLp9", "Rt5Yh2Nc8Jq3Wd6Ls0Fg"}};

// Analytics: the first run, two closed sessions and one a killed run left open.
constexpr qlonglong firstRun = 1795939200000; // 2026-11-29 06:00 UTC, in ms
const char* const deviceId = "BT001A7DDA7113";
const FlurryInfoStruct sessions[] = {{firstRun + 3600000, 120000},
                                     {firstRun + 3600000 + 720000, 175000},
                                     {firstRun + 86400000, -1}};

// The briefcase: these Kraj articles, newest first, each picture one colour.
const int briefcaseIds[] = {41042, 41049};
inline QColor pictureColour(int articleIndex, int photoIndex)
{
    return QColor::fromHsv((articleIndex * 97 + photoIndex * 41) % 360, 200, 180);
}

// The analytics agent on a clock of its own.
class ClockedAgent : public FlurryAgent
{
public:
    qlonglong t = 0;
    qlonglong now() const override { return t; }
};

// Writes the tokens and the analytics state into the settings store, as the program does.
// The agent is returned with the last session still open; it is closed when the agent is destroyed.
inline std::unique_ptr<ClockedAgent> writeSettingsStore()
{
    {
        // What an earlier start left: the first run's date and the device's identifier.
        QSettings store(organizationName, applicationName);
        store.setValue(flurryInitDateKey, firstRun);
        store.setValue(flurryDevIDKey, QString::fromLatin1(deviceId));
    }
    for (const Tokens& login : logins)
        TokenStore::save(login.tokenKey, login.secretKey, login.token, login.secret);
    std::unique_ptr<ClockedAgent> run(new ClockedAgent);
    for (const FlurryInfoStruct& session : sessions) {
        run->t = session.dateStarted;
        run->onStartupApp();
        run->t += session.length;
        if (session.length >= 0)
            run->onDestroyApp(); // here, on this clock: the destructor would take the real one
    }
    return run;
}

// A user who upgrades keeps every file an earlier build stored: the stored data of
// tests/fixtures/ reads whole, and what is written again is what was there.
class TestUpgrade : public QObject
{
    Q_OBJECT
private:
    QDir fixtures;

    QByteArray fixture(const QString& name) const
    {
        QFile file(fixtures.filePath("data/kurendal/" + name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
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
            QCOMPARE(channel.getUnreadArticlesCount(), count - 1);
            // 2026-12-01 06:00 UTC, a minute apart.
            QCOMPARE(channel.getLastUpdateTime().toSecsSinceEpoch(), 1796104800 + 60 * type);
        }
        QVERIFY(channel.saveToFile(QString("again")));
        QCOMPARE(TestEnv::readData("again"), fixture("rss" + channel.getTitle()));
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
            QCOMPARE(article->thumbnailImage.size(), QSize(120, 90));
            QVERIFY(isColour(article->thumbnailImage, pictureColour(i, 0)));
            QVERIFY(!article->photos.isEmpty());
            for (int p = 0; p < article->photos.size(); ++p) {
                Photo* photo = article->photos.at(p);
                photo->loadImages();
                QCOMPARE(photo->image.size(), QSize(160, 120));
                QVERIFY(isColour(photo->image.toImage(), pictureColour(i, p + 1)));
                QVERIFY(QFile::remove(File::createPathToResource(photo->photoFileName())));
            }
            QVERIFY(QFile::remove(File::createPathToResource(article->thumbnailFileName())));
            article->saveImages();
            for (const Photo* photo : article->photos)
                QCOMPARE(TestEnv::readData(photo->photoFileName()), fixture(photo->photoFileName()));
            QVERIFY(isColour(QImage::fromData(TestEnv::readData(article->thumbnailFileName())), pictureColour(i, 0)));
        }
        QVERIFY(briefcase.saveToFile(QString("again")));
        QCOMPARE(TestEnv::readData("again"), fixture("rssTeczka"));
    }

    // Every value away from its default.
    void settings()
    {
        Settings settings(nullptr);
        QCOMPARE(settings.getArticlesCheckRushHours(), 1);
        QCOMPARE(settings.getArticlesCheckOutOfRushHours(), 3);
        QCOMPARE(settings.getRushHoursStart(), 7);
        QCOMPARE(settings.getRushHoursEnd(), 19);
        for (int t = 0; t < Settings::categoriesCount; ++t)
            QCOMPARE(settings.isCategoryActive(t), t != RSSChannel::Sport && t != RSSChannel::Komentarze);
        QVERIFY(QFile::remove(File::createPathToResource("settings")));
        QVERIFY(settings.save());
        QCOMPARE(TestEnv::readData("settings"), fixture("settings"));
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
        QCOMPARE(TestEnv::readData("banners"), fixture("banners"));
        BannerInfo::releaseSingleton();
    }

    // The first two items of the sample feed, with small pictures, are kept as they were
    // downloaded: read back, not written again.
    void gallery()
    {
        GalleryFeed gallery;
        QVERIFY(gallery.loadFromCache(false));
        QCOMPARE(gallery.count(), 2);
        QCOMPARE(gallery.titles().first(), QString("Zachód słońca nad Bałtykiem w Ustce"));
        for (int i = 0; i < gallery.count(); ++i) {
            const QImage picture = GalleryFeed::cachedPicture(i);
            QCOMPARE(picture.size(), QSize(96, 64));
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
        for (const Tokens& login : logins) {
            QString token, secret;
            TokenStore::load(login.tokenKey, login.secretKey, token, secret);
            QCOMPARE(token, QString(login.token));
            QCOMPARE(secret, QString(login.secret));
        }
        QSettings(organizationName, applicationName).clear();
        const std::unique_ptr<ClockedAgent> open = writeSettingsStore();
        const QByteArray original = TestEnv::readData(fixtures.filePath("config/Tarvo/Kurendal.conf"));
        QVERIFY(!original.isEmpty());
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QCOMPARE(TestEnv::readData(config + "/Tarvo/Kurendal.conf"), original);
    }
};

QTEST_MAIN(TestUpgrade)
#include "tst_upgrade.moc"
