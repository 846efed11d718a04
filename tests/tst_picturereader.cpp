#include <QtTest>
#include <QtEndian>

#include <sys/stat.h>

#include "Logic/article.h"
#include "Logic/bannerinfo.h"
#include "Logic/galleryfeed.h"
#include "Logic/photo.h"
#include "Logic/rsschannel.h"
#include "foundation/file.h"
#include "foundation/picturereader.h"
#include "foundation/reachability.h"
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
    QMap<QString, QByteArray> descriptions; // the advertisements' descriptions, by "typ"

    // Deflate bits: values go in from the lowest bit, Huffman codes from their highest.
    struct Bits {
        QByteArray out;
        quint32 acc = 0;
        int count = 0;
        void put(quint32 value, int n)
        {
            acc |= value << count;
            count += n;
            for (; count >= 8; count -= 8, acc >>= 8)
                out.append(char(acc & 0xff));
        }
        void code(quint32 value, int n)
        {
            quint32 reversed = 0;
            for (int i = 0; i < n; ++i)
                reversed |= ((value >> i) & 1) << (n - 1 - i);
            put(reversed, n);
        }
        void flush()
        {
            if (count > 0)
                out.append(char(acc & 0xff));
            acc = 0;
            count = 0;
        }
    };

    static quint32 crc32(const QByteArray& bytes)
    {
        quint32 crc = 0xffffffffu;
        for (char c : bytes) {
            crc ^= quint8(c);
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
        }
        return ~crc;
    }

    static QByteArray bigEndian(quint32 v)
    {
        QByteArray b(4, 0);
        qToBigEndian(v, b.data());
        return b;
    }

    static QByteArray chunk(const QByteArray& type, const QByteArray& data)
    {
        return bigEndian(quint32(data.size())) + type + data + bigEndian(crc32(type + data));
    }

    // A black PNG of one bit a pixel. Its rows are all zero bytes, which deflate with fixed codes
    // to one literal and then matches of 258 bytes, 13 bits each: 20000 x 20000 fits in 315 KB.
    static QByteArray blackPng(int width, int height)
    {
        const qint64 raw = qint64(height) * (1 + (width + 7) / 8);
        Bits bits;
        bits.put(1, 1); // the last block
        bits.put(1, 2); // fixed codes
        bits.code(0x30, 8); // literal 0
        for (qint64 left = raw - 1; left > 0;) {
            if (left >= 258) {
                bits.code(0xc5, 8); // length 258
                bits.code(0, 5);    // distance 1
                left -= 258;
            } else {
                bits.code(0x30, 8);
                --left;
            }
        }
        bits.code(0, 7); // end of block
        bits.flush();
        const quint32 adler = quint32((raw % 65521) << 16) | 1;
        const QByteArray zlib = QByteArray("\x78\x01", 2) + bits.out + bigEndian(adler);
        QByteArray header = bigEndian(quint32(width)) + bigEndian(quint32(height));
        header += QByteArray("\x01\x00\x00\x00\x00", 5); // depth 1, grey, no interlace
        return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", zlib) + chunk("IEND", "");
    }

    static QByteArray jpeg(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG");
        return bytes;
    }

    // A small JPEG whose frame header declares width x height.
    static QByteArray jpegDeclaring(int width, int height)
    {
        QByteArray bytes = jpeg(16, 16);
        for (int i = 2; i + 9 < bytes.size();) {
            const quint8 marker = quint8(bytes[i + 1]);
            if (marker == 0xc0 || marker == 0xc2) {
                qToBigEndian(quint16(height), bytes.data() + i + 5);
                qToBigEndian(quint16(width), bytes.data() + i + 7);
                return bytes;
            }
            i += 2 + qFromBigEndian<quint16>(bytes.constData() + i + 2);
        }
        return QByteArray();
    }

    // A GIF of one pixel's data on a logical screen of width x height, its frame frame x frame.
    static QByteArray gifDeclaring(int width, int height, int frame = 1)
    {
        const auto word = [](int v) { return QByteArray(1, char(v & 0xff)) + char((v >> 8) & 0xff); };
        return "GIF89a" + word(width) + word(height) + QByteArray("\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0", 14)
            + word(frame) + word(frame) + QByteArray("\0\x02\x02\x44\x01\0;", 7);
    }

    static QString path(const QString& name) { return File::createPathToResource(name); }

    static void write(const QString& name, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path(name)).path());
        QVERIFY(File::replaceContents(path(name), bytes));
    }

    static QByteArray photoFile(const QByteArray& bytes) { return bigEndian(quint32(bytes.size())) + bytes; }

    static BannerInfo* freshBanners()
    {
        BannerInfo::releaseSingleton();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return BannerInfo::getSingleton();
    }

    int served(const QString& p) const
    {
        int n = 0;
        for (const SampleServer::Request& r : server->requests())
            n += r.path == p;
        return n;
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
        const QList<QPair<QString, QByteArray>> pictures{{"/img/good.png", TestEnv::png(QSize(120, 90), Qt::blue)},
                                                         {"/img/good.jpg", jpeg(200, 150)},
                                                         {"/img/bomb.png", blackPng(20000, 20000)},
                                                         {"/img/bomb.jpg", jpegDeclaring(30000, 30000)},
                                                         {"/img/page.html", "<html><body>Zaloguj się</body></html>"}};
        for (const auto& picture : pictures) {
            for (const char* host : {"rss.kurendal.pl", "ads.kurendal.pl", "www.kurendal.pl"})
                server->route(host, picture.first, SampleServer::text(picture.second, "image/png"));
        }
        server->route("ads.kurendal.pl", "/ad/GetBanMb", [this](const SampleServer::Request& r) {
            return SampleServer::text(descriptions.value(QUrlQuery(r.query).queryItemValue("typ"), "{}"),
                                      "application/json");
        });
        online = new Reachability(this);
        QMetaObject::invokeMethod(online, "opened");
        QVERIFY(Reachability::isConnectedToNetwork());
    }

    void cleanupTestCase() { BannerInfo::releaseSingleton(); }

    void init()
    {
        TestEnv::clearData();
        server->clearRequests();
    }

    void picturesWithinTheBoundsDecodeAndLargerOnesAreRefusedUnread()
    {
        QImage image;
        const QByteArray small = blackPng(64, 48);
        QCOMPARE(PictureReader::read(small, &image), PictureReader::Decoded);
        QCOMPARE(image.size(), QSize(64, 48));
        QCOMPARE(QColor(image.pixel(63, 47)), QColor(Qt::black));
        QCOMPARE(PictureReader::read(jpeg(300, 200), &image), PictureReader::Decoded);
        QCOMPARE(image.size(), QSize(300, 200));
        QCOMPARE(PictureReader::read(gifDeclaring(3, 2), &image), PictureReader::Decoded);
        QCOMPARE(image.size(), QSize(3, 2));

        // At the bounds and just past them, on either side and in pixels.
        QCOMPARE(PictureReader::read(blackPng(PictureReader::maxSide, 2048), &image), PictureReader::Decoded);
        QCOMPARE(image.size(), QSize(4096, 2048));
        QCOMPARE(PictureReader::read(blackPng(PictureReader::maxSide + 1, 8), &image), PictureReader::TooLarge);
        QCOMPARE(PictureReader::read(blackPng(8, PictureReader::maxSide + 1), &image), PictureReader::TooLarge);
        QCOMPARE(PictureReader::read(blackPng(3000, 3000), &image), PictureReader::TooLarge);
        QCOMPARE(PictureReader::read(blackPng(4096, 2049), &image), PictureReader::TooLarge);

        // The bombs: a few hundred KB that would decode to gigabytes are refused from their header.
        const QByteArray pngBomb = blackPng(20000, 20000);
        QVERIFY(pngBomb.size() < 400 * 1024);
        const QByteArray jpegBomb = jpegDeclaring(30000, 30000);
        QVERIFY(jpegBomb.size() < 4096);
        // Qt declares a GIF by its small frame, yet allocates its large logical screen; and a
        // screen of no size takes the frame's.
        const QByteArray gifBombs[] = {gifDeclaring(20000, 20000), gifDeclaring(4097, 4097),
                                       gifDeclaring(12000, 12000), gifDeclaring(0, 0, 5000)};
        for (const QByteArray& bomb : {pngBomb, jpegBomb, gifBombs[0], gifBombs[1], gifBombs[2], gifBombs[3]}) {
            image = QImage(1, 1, QImage::Format_RGB32);
            QCOMPARE(PictureReader::read(bomb, &image), PictureReader::TooLarge);
            QVERIFY(image.isNull());
        }
        QCOMPARE(PictureReader::read(gifDeclaring(0, 0, 40), &image), PictureReader::Decoded);
        QCOMPARE(image.size(), QSize(40, 40));
    }

    void onlyOurFormatsWithAReadableSizeAreDecoded()
    {
        QImage image;
        QCOMPARE(PictureReader::read(QByteArray(), &image), PictureReader::Empty);
        QCOMPARE(PictureReader::read("<html><body>Zaloguj się</body></html>", &image), PictureReader::NotAPicture);
        const QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"20\">"
                               "<rect width=\"20\" height=\"20\" fill=\"red\"/></svg>";
        QVERIFY(!QImage::fromData(svg).isNull()); // Qt itself would draw it
        QCOMPARE(PictureReader::read(svg, &image), PictureReader::NotAPicture);
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(&buffer, "BMP"));
        QCOMPARE(PictureReader::read(bmp, &image), PictureReader::NotAPicture);

        // A known signature whose header is cut: its size cannot be read, so nothing is decoded.
        QCOMPARE(PictureReader::read(blackPng(64, 48).left(12), &image), PictureReader::UnknownSize);
        QCOMPARE(PictureReader::read(jpeg(64, 48).left(4), &image), PictureReader::UnknownSize);
        // The header is whole but the pixels are damaged.
        QByteArray damaged = blackPng(64, 48);
        damaged[damaged.indexOf("IDAT") + 6] = 'x';
        QCOMPARE(PictureReader::read(damaged, &image), PictureReader::NotAPicture);
        QVERIFY(image.isNull());
    }

    void filesAreReadOnlyWhenRegularAndWithinTheirBound()
    {
        QImage image;
        QCOMPARE(PictureReader::readFile(path("none.png"), &image), PictureReader::Missing);
        write("good.jpg", jpeg(40, 30));
        QCOMPARE(PictureReader::readFile(path("good.jpg"), &image), PictureReader::Decoded);
        QCOMPARE(image.size(), QSize(40, 30));

        // A FIFO is refused at once instead of waiting for a writer; so is a directory.
        QVERIFY(::mkfifo(QFile::encodeName(path("fifo.jpg")).constData(), 0600) == 0);
        QCOMPARE(PictureReader::readFile(path("fifo.jpg"), &image), PictureReader::Unreadable);
        QVERIFY(QDir().mkpath(path("dir.jpg")));
        QCOMPARE(PictureReader::readFile(path("dir.jpg"), &image), PictureReader::Unreadable);
        QFile huge(path("huge.jpg"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.write(jpeg(10, 10)) > 0);
        QVERIFY(huge.resize(PictureReader::maxFileBytes + 1));
        huge.close();
        QCOMPARE(PictureReader::readFile(path("huge.jpg"), &image), PictureReader::TooLarge);

        // Kept pictures that fail are removed; a good one and a missing one are left as they are.
        write("bomb.png", blackPng(20000, 20000));
        for (const QString& name : {"fifo.jpg", "huge.jpg", "bomb.png"}) {
            QVERIFY(PictureReader::readStored(path(name), &image) != PictureReader::Decoded);
            QVERIFY2(!QFileInfo::exists(path(name)), qPrintable(name));
        }
        QCOMPARE(PictureReader::readStored(path("good.jpg"), &image), PictureReader::Decoded);
        QVERIFY(QFileInfo::exists(path("good.jpg")));
    }

    void aThumbnailThatIsNoPictureLeavesThePlaceholderAndIsNotSaved()
    {
        QDir().mkpath(path("teczka"));
        int xx = 700;
        for (const QString& address : {"/img/bomb.png", "/img/bomb.jpg", "/img/page.html", "/img/good.png"}) {
            Article article;
            article.xx = ++xx;
            article.thumbnail = QUrl("http://rss.kurendal.pl" + address);
            article.setSavedArticles(true);
            QSignalSpy finished(&article, &Article::thumbnailDownloadFinished);
            article.startDownloadThumbnail();
            QVERIFY(finished.wait(5000));
            const bool good = address == "/img/good.png";
            QCOMPARE(article.thumbnailIsPlaceholder, !good);
            QCOMPARE(article.thumbnailImage.size(), good ? QSize(120, 90) : QImage(":/THUMBNAIL").size());
            QCOMPARE(File::fileExistInResources(article.thumbnailFileName()), good);
            article.setSavedArticles(false);
        }
    }

    void aPhotoThatIsNoPictureStaysNullAndIsNotKept()
    {
        QDir().mkpath(path("teczka"));
        int xx = 0;
        for (const QString& address : {"/img/bomb.png", "/img/bomb.jpg", "/img/page.html", "/img/good.jpg"}) {
            Photo photo(nullptr);
            photo.xx = ++xx;
            photo.articleXX = 9;
            photo.url = QUrl("http://rss.kurendal.pl" + address);
            photo.setSavedArticles(true);
            QSignalSpy changed(&photo, &Photo::photoChanged);
            photo.downloadPhoto();
            QTRY_VERIFY_WITH_TIMEOUT(!photo.downloading, 5000);
            const bool good = address == "/img/good.jpg";
            QCOMPARE(changed.size(), good ? 1 : 0);
            QCOMPARE(photo.image.isNull(), !good);
            QCOMPARE(photo.image.size(), good ? QSize(200, 150) : photo.image.size());
            QCOMPARE(photo.data.isEmpty(), !good);
            QCOMPARE(File::fileExistInResources(photo.photoFileName()), good);
        }
    }

    void bannersAndTheSplashTakeOnlyPicturesWithinTheBounds()
    {
        auto describe = [](const QString& picture) {
            return QString("{\"@type\":\"banner\",\"ImageUrl\":{\"#text\":\"http://ads.kurendal.pl%1\"},"
                           "\"Href\":\"http://kino.example.pl\"}").arg(picture).toUtf8();
        };
        descriptions = {{"101", describe("/img/bomb.jpg")}, {"102", describe("/img/bomb.png")}};
        BannerInfo* banners = freshBanners();
        QSignalSpy top(banners, &BannerInfo::topBannerChanged);
        banners->startUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(served("/img/bomb.jpg") == 1 && !banners->isDownloading(), 5000);
        QCOMPARE(top.size(), 0);
        QVERIFY(!banners->topBannerDownloaded);
        QVERIFY(!banners->splashDownloaded);
        QVERIFY(!QFileInfo::exists(path("splash")));

        // Not stored, so the next start shows no advertisement and asks for the picture again.
        descriptions["102"] = describe("/img/page.html");
        banners = freshBanners();
        QVERIFY(banners->splashImage.isNull());
        banners->startUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(served("/img/page.html") == 1 && !banners->isDownloading(), 5000);
        QVERIFY(!banners->splashDownloaded);
        QVERIFY(!QFileInfo::exists(path("splash")));

        descriptions["102"] = describe("/img/good.png");
        banners->startUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(banners->splashDownloaded, 5000);
        QCOMPARE(freshBanners()->splashImage.size(), QSize(120, 90));
    }

    void aStoredSplashThatIsABombIsDroppedAndFetchedAgain()
    {
        descriptions = {
            {"102", "{\"@type\":\"banner\",\"ImageUrl\":{\"#text\":\"http://ads.kurendal.pl/img/good.png\"}}"}};
        BannerInfo* banners = freshBanners();
        banners->startUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(banners->splashDownloaded, 5000);

        for (const QByteArray& bomb : {blackPng(20000, 20000), jpegDeclaring(30000, 30000), QByteArray("<html/>")}) {
            write("splash", bomb);
            banners = freshBanners();
            QVERIFY(banners->canShowSplash());
            QVERIFY(banners->splashImage.isNull());
            QVERIFY(!banners->splashDownloaded);
            QVERIFY(!QFileInfo::exists(path("splash")));

            // The same address as before is asked for again, and the picture is whole at the next start.
            server->clearRequests();
            banners->startUpdate();
            QTRY_VERIFY_WITH_TIMEOUT(banners->splashDownloaded, 5000);
            QCOMPARE(served("/img/good.png"), 1);
            QCOMPARE(freshBanners()->splashImage.size(), QSize(120, 90));
            banners = BannerInfo::getSingleton();
        }
    }

    void aStoredThumbnailOrPhotoThatIsABombIsDroppedAndFetchedAgain()
    {
        QDir().mkpath(path("teczka"));
        const QByteArray bombs[] = {blackPng(20000, 20000), jpegDeclaring(30000, 30000), "not a picture"};
        int xx = 0;
        for (const QByteArray& bomb : bombs) {
            Article article;
            article.xx = ++xx;
            article.thumbnail = QUrl("http://rss.kurendal.pl/img/good.png");
            article.setSavedArticles(true);
            write(article.thumbnailFileName(), bomb);
            QSignalSpy finished(&article, &Article::thumbnailDownloadFinished);
            server->clearRequests();
            article.loadImages();
            QVERIFY(finished.wait(5000));
            QCOMPARE(served("/img/good.png"), 1);
            QCOMPARE(article.thumbnailImage.size(), QSize(120, 90));
            // Saved again, as a picture this time.
            QImage stored;
            QCOMPARE(PictureReader::readFile(path(article.thumbnailFileName()), &stored), PictureReader::Decoded);
            QCOMPARE(stored.size(), QSize(120, 90));
            article.setSavedArticles(false);

            Photo photo(nullptr);
            photo.xx = xx;
            photo.articleXX = 5;
            photo.url = QUrl("http://rss.kurendal.pl/img/good.jpg");
            photo.setSavedArticles(true);
            write(photo.photoFileName(), photoFile(bomb));
            QSignalSpy changed(&photo, &Photo::photoChanged);
            photo.downloadPhoto();
            QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, 5000);
            QCOMPARE(photo.image.size(), QSize(200, 150));
            QCOMPARE(served("/img/good.jpg"), 1);
            // Written again whole: a new photo reads it from disk without the network.
            Photo reread(nullptr);
            reread.xx = xx;
            reread.articleXX = 5;
            reread.setSavedArticles(true);
            reread.downloadPhoto(true);
            QCOMPARE(reread.image.size(), QSize(200, 150));
        }

        // A photo file whose length does not match its bytes is damaged: dropped too.
        Photo cut(nullptr);
        cut.xx = 99;
        cut.articleXX = 5;
        cut.setSavedArticles(true);
        write(cut.photoFileName(), photoFile(jpeg(30, 30)).left(100));
        cut.downloadPhoto(true);
        QVERIFY(cut.image.isNull());
        QVERIFY(!File::fileExistInResources(cut.photoFileName()));
    }

    void galleryPicturesThatAreNoPicturesAreNotKeptAndStoredBombsAreDropped()
    {
        QByteArray xml = "<rss><channel>";
        for (const char* p : {"/img/bomb.png", "/img/good.jpg", "/img/bomb.jpg"})
            xml += QByteArray("<item><title>t</title><enclosure url=\"http://www.kurendal.pl") + p + "\"/></item>";
        xml += "</channel></rss>";
        server->route("www.kurendal.pl", QUrl(RSSChannel::urlForType(RSSChannel::Fotoplan)).path(),
                      SampleServer::text(xml, "application/rss+xml"));
        GalleryFeed feed;
        QSignalSpy picture(&feed, &GalleryFeed::pictureReady);
        QSignalSpy finished(&feed, &GalleryFeed::finished);
        feed.download();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
        QCOMPARE(picture.size(), 3);
        QVERIFY(picture.at(0).at(1).value<QImage>().isNull());
        QCOMPARE(picture.at(1).at(1).value<QImage>().size(), QSize(200, 150));
        QVERIFY(picture.at(2).at(1).value<QImage>().isNull());
        QVERIFY(!QFileInfo::exists(GalleryFeed::pictureFile(0)));
        QVERIFY(QFileInfo::exists(GalleryFeed::pictureFile(1)));
        QVERIFY(!feed.loadFromCache(true)); // so the next opening fetches again

        // A cache whose files were damaged later: the bombs go, the empty slide stays empty.
        QVERIFY(File::replaceContents(GalleryFeed::pictureFile(0), blackPng(20000, 20000)));
        QVERIFY(File::replaceContents(GalleryFeed::pictureFile(2), QByteArray()));
        QVERIFY(feed.loadFromCache(true));
        QVERIFY(GalleryFeed::cachedPicture(0).isNull());
        QVERIFY(!QFileInfo::exists(GalleryFeed::pictureFile(0)));
        QCOMPARE(GalleryFeed::cachedPicture(1).size(), QSize(200, 150));
        QVERIFY(GalleryFeed::cachedPicture(2).isNull());
        QVERIFY(QFileInfo::exists(GalleryFeed::pictureFile(2)));
        QVERIFY(!feed.loadFromCache(true));
    }
};

QTEST_MAIN(TestPictureReader)
#include "tst_picturereader.moc"
