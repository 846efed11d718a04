#include <QtTest>

#include <sys/stat.h>

#include "logic/news/article.h"
#include "logic/ads/bannerinfo.h"
#include "logic/gallery/galleryfeed.h"
#include "logic/news/photo.h"
#include "logic/news/channel.h"
#include "logic/base/file.h"
#include "logic/base/picturereader.h"
#include "logic/net/reachability.h"
#include "sampleserver/hostile.h"
#include "sampleserver/sampleserver.h"
#include "tests/support/testenv.h"

// Pictures that declare a huge size in a few bytes ("bombs"), and bytes that are no picture,
// whether they arrive from the network or wait in the data folder.
class TestPictureReader : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;
    Reachability* online = nullptr;
    QByteArray splashDescription;

    // A GIF of one pixel's data on a logical screen of width x height, its frame frame x frame.
    static QByteArray gifDeclaring(int width, int height, int frame = 1)
    {
        const auto word = [](int v) { return QByteArray(1, char(v & 0xff)) + char((v >> 8) & 0xff); };
        return "GIF89a" + word(width) + word(height) + QByteArray("\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0", 14)
            + word(frame) + word(frame) + QByteArray("\0\x02\x02\x44\x01\0;", 7);
    }

    static QString path(const QString& name) { return File::createPathToResource(name); }
    static bool exists(const QString& name) { return QFileInfo::exists(path(name)); }

    static Article* briefcaseArticle(int xx)
    {
        Article* article = new Article(nullptr);
        article->xx = xx;
        article->thumbnail = QUrl("http://rss.kurendal.pl/img/good.png");
        article->setSavedArticles(true);
        Photo* photo = new Photo(article);
        photo->xx = 1;
        photo->articleXX = xx;
        photo->url = QUrl("http://rss.kurendal.pl/img/good.jpg");
        photo->setSavedArticles(true);
        article->photos << photo;
        return article;
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
        const QList<QPair<QString, QByteArray>> pictures{{"/img/good.png", TestEnv::png(QSize(120, 90), Qt::blue)},
                                                         {"/img/good.jpg", TestEnv::jpeg(QSize(200, 150))},
                                                         {"/img/bomb.png", Hostile::pngBomb(20000, 20000)},
                                                         {"/img/bomb.jpg", Hostile::jpegBomb(30000, 30000)},
                                                         {"/img/page.html", "<html><body>Zaloguj się</body></html>"}};
        for (const auto& picture : pictures) {
            for (const char* host : {"rss.kurendal.pl", "ads.kurendal.pl", "www.kurendal.pl"})
                server->route(host, picture.first, SampleServer::text(picture.second, "image/png"));
        }
        server->route("ads.kurendal.pl", "/ad/GetBanMb", [this](const SampleServer::Request& r) {
            const bool splash = QUrlQuery(r.query).queryItemValue("typ") == "102";
            return SampleServer::text(splash ? splashDescription : "{}", "application/json");
        });
        online = new Reachability(this);
        QMetaObject::invokeMethod(online, "opened");
    }

    void cleanupTestCase() { BannerInfo::releaseSingleton(); }

    void init()
    {
        TestEnv::clearData();
        server->clearRequests();
    }

    // Decoded within the bounds; refused unread past them, or when it is no picture of ours with a
    // readable size. The bombs: a few hundred KB that would decode to gigabytes. Qt declares a GIF by
    // its small frame, yet allocates its large logical screen; a screen of no size takes the frame's,
    // and a frame larger than its screen counts whole.
    void picturesDecodeOnlyWithinTheBounds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("result");
        QTest::addColumn<QSize>("size"); // of the decoded picture
        const int decoded = PictureReader::Decoded, tooLarge = PictureReader::TooLarge;
        const int notAPicture = PictureReader::NotAPicture, unknownSize = PictureReader::UnknownSize;
        QTest::newRow("PNG") << Hostile::pngBomb(64, 48) << decoded << QSize(64, 48);
        QTest::newRow("JPEG") << TestEnv::jpeg(QSize(300, 200)) << decoded << QSize(300, 200);
        QTest::newRow("GIF, a screen of no size") << gifDeclaring(0, 0, 40) << decoded << QSize(40, 40);
        QTest::newRow("at the bounds") << Hostile::pngBomb(4096, 2048) << decoded << QSize(4096, 2048);
        // Just past the bounds, on either side and in pixels.
        for (const QSize& over : {QSize(4097, 8), QSize(8, 4097), QSize(4096, 2049), QSize(3000, 3000)})
            QTest::addRow("%dx%d", over.width(), over.height()) << Hostile::pngBomb(over.width(), over.height()) << tooLarge << QSize();
        const QByteArrayList bombs{Hostile::pngBomb(20000, 20000), Hostile::jpegBomb(30000, 30000),
                                   gifDeclaring(20000, 20000), gifDeclaring(4097, 4097), gifDeclaring(12000, 12000),
                                   gifDeclaring(0, 0, 5000), gifDeclaring(1, 1, 5000)};
        for (int i = 0; i < bombs.size(); ++i)
            QTest::addRow("bomb %d", i) << bombs[i] << tooLarge << QSize();
        QTest::newRow("empty") << QByteArray() << int(PictureReader::Empty) << QSize();
        QTest::newRow("a page") << QByteArray("<html><body>Zaloguj się</body></html>") << notAPicture << QSize();
        QTest::newRow("SVG") << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"20\"/>")
                             << notAPicture << QSize();
        QTest::newRow("BMP") << TestEnv::picture(QSize(8, 8), Qt::red, "BMP") << notAPicture << QSize();
        // A known signature with its header cut: the size cannot be read, nothing is decoded.
        QTest::newRow("PNG cut") << Hostile::pngBomb(64, 48).left(12) << unknownSize << QSize();
        QTest::newRow("JPEG cut") << TestEnv::jpeg(QSize(64, 48)).left(4) << unknownSize << QSize();
        QTest::newRow("GIF cut") << gifDeclaring(1, 1).left(20) << unknownSize << QSize();
        QByteArray damaged = Hostile::pngBomb(64, 48);
        damaged[damaged.indexOf("IDAT") + 6] = 'x';
        QTest::newRow("PNG damaged") << damaged << notAPicture << QSize();
    }

    void picturesDecodeOnlyWithinTheBounds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, result);
        QFETCH(QSize, size);
        QImage image(1, 1, QImage::Format_RGB32);
        QCOMPARE(int(PictureReader::read(bytes, &image)), result);
        QCOMPARE(image.isNull() ? QSize() : image.size(), size);
        // Decoded whole: the grey of the PNGs reaches their last pixel.
        if (bytes.startsWith("\x89PNG") && !image.isNull())
            QCOMPARE(qGray(image.pixel(size.width() - 1, size.height() - 1)), 0x80);
    }

    void storedPicturesThatFailAreRemovedWithoutBlocking()
    {
        QImage image;
        QCOMPARE(PictureReader::readStored(path("none.png"), &image), PictureReader::Missing);
        TestEnv::writeData("good.jpg", TestEnv::jpeg(QSize(40, 30)));
        TestEnv::writeData("bomb.png", Hostile::pngBomb(20000, 20000));
        QVERIFY(::mkfifo(QFile::encodeName(path("fifo.jpg")).constData(), 0600) == 0);
        QCOMPARE(PictureReader::readStored(path("fifo.jpg"), &image), PictureReader::Unreadable);
        QCOMPARE(PictureReader::readStored(path("bomb.png"), &image), PictureReader::TooLarge);
        QVERIFY(!exists("fifo.jpg") && !exists("bomb.png"));
        QCOMPARE(PictureReader::readStored(path("good.jpg"), &image), PictureReader::Decoded);
        QCOMPARE(image.size(), QSize(40, 30));
        QVERIFY(exists("good.jpg"));
    }

    void downloadsThatAreNoPictureAreNeitherShownNorKept()
    {
        QDir().mkpath(path("teczka"));
        int xx = 700;
        for (const QString& address : {"/img/bomb.png", "/img/bomb.jpg", "/img/page.html", "/img/good.png"}) {
            QScopedPointer<Article> article(briefcaseArticle(++xx));
            Photo* photo = article->photos.first();
            article->thumbnail = photo->url = QUrl("http://rss.kurendal.pl" + address);
            QSignalSpy thumbnail(article.data(), &Article::thumbnailDownloadFinished);
            QSignalSpy shown(photo, &Photo::photoChanged);
            article->startDownloadThumbnail();
            photo->downloadPhoto();
            QVERIFY(thumbnail.wait(5000));
            QTRY_VERIFY_WITH_TIMEOUT(!photo->downloading, 5000);
            const bool good = address == "/img/good.png";
            // A thumbnail that did not come is the placeholder; a photo stays null.
            QCOMPARE(article->thumbnailIsPlaceholder, !good);
            QCOMPARE(article->thumbnailImage.size(), good ? QSize(120, 90) : QImage(":/THUMBNAIL").size());
            QCOMPARE(shown.size(), good ? 1 : 0);
            QCOMPARE(photo->data.isEmpty(), !good);
            QCOMPARE(exists(article->thumbnailFileName()), good);
            QCOMPARE(exists(photo->photoFileName()), good);
        }

        // Splash and gallery pictures likewise: not stored, so asked for again.
        splashDescription = "{\"@type\":\"banner\",\"ImageUrl\":{\"#text\":\"http://ads.kurendal.pl/img/bomb.png\"}}";
        BannerInfo* banners = TestEnv::freshBanners();
        server->clearRequests();
        banners->startUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(server->requests().size() == 4 && !banners->isDownloading(), 5000);
        QVERIFY(!banners->splashDownloaded && !exists("splash"));

        QByteArray xml = "<rss><channel>";
        for (const char* p : {"/img/bomb.png", "/img/good.jpg", "/img/page.html"})
            xml += QByteArray("<item><title>t</title><enclosure url=\"http://www.kurendal.pl") + p + "\"/></item>";
        server->route("www.kurendal.pl", TestEnv::feedPath(RSSChannel::Fotoplan),
                      SampleServer::text(xml + "</channel></rss>", "application/rss+xml"));
        GalleryFeed feed;
        QSignalSpy picture(&feed, &GalleryFeed::pictureReady);
        QSignalSpy finished(&feed, &GalleryFeed::finished);
        feed.download();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
        QCOMPARE(picture.size(), 3);
        QVERIFY(picture.at(0).at(1).value<QImage>().isNull() && picture.at(2).at(1).value<QImage>().isNull());
        QCOMPARE(picture.at(1).at(1).value<QImage>().size(), QSize(200, 150));
        QVERIFY(!QFileInfo::exists(GalleryFeed::pictureFile(0)) && QFileInfo::exists(GalleryFeed::pictureFile(1)));
        QVERIFY(!feed.loadFromCache(true));

        // A cache damaged later: the bomb goes, the slide left empty on purpose stays empty.
        QVERIFY(File::replaceContents(GalleryFeed::pictureFile(0), Hostile::pngBomb(20000, 20000)));
        QVERIFY(File::replaceContents(GalleryFeed::pictureFile(2), QByteArray()));
        QVERIFY(feed.loadFromCache(true));
        QVERIFY(GalleryFeed::cachedPicture(0).isNull() && GalleryFeed::cachedPicture(2).isNull());
        QCOMPARE(GalleryFeed::cachedPicture(1).size(), QSize(200, 150));
        QVERIFY(!QFileInfo::exists(GalleryFeed::pictureFile(0)) && QFileInfo::exists(GalleryFeed::pictureFile(2)));
        QVERIFY(!feed.loadFromCache(true));
    }

    void aStoredSplashThatIsABombIsDroppedAndFetchedAgain()
    {
        splashDescription = "{\"@type\":\"banner\",\"ImageUrl\":{\"#text\":\"http://ads.kurendal.pl/img/good.png\"}}";
        BannerInfo* banners = TestEnv::freshBanners();
        banners->startUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(banners->splashDownloaded, 5000);
        const QByteArrayList bombs{Hostile::pngBomb(20000, 20000), Hostile::jpegBomb(30000, 30000), "<html/>"};
        for (const QByteArray& bomb : bombs) {
            TestEnv::writeData("splash", bomb);
            banners = TestEnv::freshBanners();
            QVERIFY(banners->canShowSplash() && banners->splashImage.isNull());
            QVERIFY(!banners->splashDownloaded && !exists("splash"));
            // The same address as before is asked for again, and the next start has its picture.
            server->clearRequests();
            banners->startUpdate();
            QTRY_VERIFY_WITH_TIMEOUT(banners->splashDownloaded, 5000);
            QCOMPARE(server->requests().last().path, QString("/img/good.png"));
            QCOMPARE(TestEnv::freshBanners()->splashImage.size(), QSize(120, 90));
        }
    }

    void aStoredThumbnailOrPhotoThatIsABombIsDroppedAndFetchedAgain()
    {
        // Offline the bombs are dropped at once, and fetched when the network opens.
        QMetaObject::invokeMethod(online, "closed");
        QScopedPointer<Article> article(briefcaseArticle(50));
        Photo* photo = article->photos.first();
        TestEnv::writeData(article->thumbnailFileName(), Hostile::pngBomb(20000, 20000));
        const QByteArray bomb = Hostile::jpegBomb(30000, 30000);
        const QByteArray length = QByteArray::fromHex(QByteArray::number(bomb.size(), 16).rightJustified(8, '0'));
        TestEnv::writeData(photo->photoFileName(), length + bomb);
        article->loadImages();
        photo->downloadPhoto();
        QVERIFY(article->thumbnailImage.isNull() && photo->image.isNull());
        QVERIFY(!exists(article->thumbnailFileName()) && !exists(photo->photoFileName()));
        QVERIFY(server->requests().isEmpty());
        QMetaObject::invokeMethod(online, "opened");
        QTRY_VERIFY_WITH_TIMEOUT(!article->thumbnailImage.isNull() && !photo->image.isNull(), 5000);
        QCOMPARE(article->thumbnailImage.size(), QSize(120, 90));

        // Written again whole, as pictures: a new article reads them from disk.
        QScopedPointer<Article> reread(briefcaseArticle(50));
        QTRY_VERIFY(exists(photo->photoFileName()));
        reread->loadImages(true);
        QCOMPARE(reread->thumbnailImage.size(), QSize(120, 90));
        QCOMPARE(reread->photos.first()->image.size(), QSize(200, 150));
        // (A photo file whose length does not match its bytes: tst_datafolder.)
    }
};

QTEST_MAIN(TestPictureReader)
#include "tst_picturereader.moc"
