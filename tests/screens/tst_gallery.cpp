#include "screens/gallery/gallery.h"
#include "logic/gallery/galleryfeed.h"
#include "logic/net/downloadservice.h"
#include "screens/gallery/galleryform.h"
#include "logic/gallery/gallerypicturesparser.h"
#include "screens/gallery/pictureflow.h"
#include "screens/gallery/pictureflowprivate.h"
#include "logic/base/file.h"
#include "screens/sharing/sharearticledialog.h"
#include "tests/support/screenfixtures.h"

// The picture feed, the gallery's cache and the way it fills the cover-flow.
class TestGallery : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;

    static QByteArray feed(const QStringList& urls)
    {
        QByteArray xml = "<?xml version=\"1.0\"?><rss><channel><title>Kanał</title><link>http://x</link>";
        for (int i = 0; i < urls.size(); ++i) {
            xml += QString("<item><title>Zdjęcie %1</title><link>http://www.kurendal.pl/f/%1</link>").arg(i).toUtf8();
            if (!urls[i].isNull())
                xml += QString("<enclosure url=\"%1\" type=\"image/jpeg\"/>").arg(urls[i]).toUtf8();
            xml += "</item>";
        }
        return xml + "</channel></rss>";
    }

    static QByteArray jpeg(int w, int h) { return TestEnv::jpeg(QSize(w, h)); }

    void serveFeed(const QByteArray& body)
    {
        server->route("www.kurendal.pl", QUrl(RSSChannel::urlForType(RSSChannel::Fotoplan)).path(),
                      SampleServer::text(body, "application/rss+xml"));
    }

    QStringList paths() const { return Screens::paths(*server); }

    static void writeCache(int pictures, int ageSeconds)
    {
        QStringList urls;
        for (int i = 0; i < pictures; ++i) {
            urls << picture(QString::number(i));
            TestEnv::writeData(Gallery::cacheDirectory() + QString::number(i) + ".jpg", jpeg(64, 48));
        }
        TestEnv::writeData(Gallery::cacheDirectory() + "0.xml", feed(urls));
        QFile xml(Gallery::cacheDirectory() + "0.xml");
        QVERIFY(xml.open(QIODevice::ReadWrite));
        QVERIFY(xml.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
    }

    static bool finished(Gallery& g) { return !g.ui->widgetPictureFlow->loading; }

    // Shown as the stack shows it; true once its pictures are in.
    static bool opened(Gallery& g)
    {
        g.showFinished();
        return QTest::qWaitFor([&g] { return finished(g); }, 5000);
    }

    static QString picture(const QString& name) { return "http://www.kurendal.pl/g/" + name + ".jpg"; }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
        server->route("www.kurendal.pl", "/g/0.jpg", SampleServer::text(jpeg(800, 600), "image/jpeg"));
        server->route("www.kurendal.pl", "/g/1.jpg", SampleServer::text(jpeg(300, 500), "image/jpeg"));
        server->route("www.kurendal.pl", "/g/2.jpg", SampleServer::text(jpeg(640, 640), "image/jpeg"));
        server->route("www.kurendal.pl", "/g/bad.jpg", SampleServer::text("<html>404</html>", "text/html"));
    }

    void init()
    {
        TestEnv::clearData();
        server->clearRequests();
    }

    void theFeedGivesParallelLists()
    {
        GalleryPicturesParser parser;
        QVERIFY(parser.parse("<rss><channel><title>Kanał</title><item><link>http://a</link>"
                             "<enclosure url=\"http://a.jpg\"/></item><item><title>Kraków &amp; okolice</title>"
                             "<enclosure type=\"image/jpeg\"/></item></channel></rss>"));
        QCOMPARE(parser.getPicturesTitles(), (QList<QString>{"", QString::fromUtf8("Kraków & okolice")}));
        QCOMPARE(parser.getPicturesLinks(), (QList<QString>{"http://a", ""}));
        QCOMPARE(parser.getPicturesUrls(), (QList<QString>{"http://a.jpg", ""}));
        GalleryPicturesParser broken;
        QVERIFY(!broken.parse("<rss><channel><item>"));

        // A second picture in one item, and an item left open by a nested channel, shift nothing.
        GalleryPicturesParser odd;
        QVERIFY(odd.parse("<rss><channel><item><title>A</title><enclosure url=\"a1\"/><enclosure url=\"a2\"/>"
                          "<title>A2</title></item><item><title>B</title><enclosure url=\"b\"/>"
                          "<channel><item><title>C</title></item></channel></item></channel></rss>"));
        QCOMPARE(odd.getPicturesTitles(), (QList<QString>{"A", "B", "C"}));
        QCOMPARE(odd.getPicturesUrls(), (QList<QString>{"a1", "b", ""}));
        QCOMPARE(odd.getPicturesLinks(), (QList<QString>{"", "", ""}));
    }

    void theCacheIsFreshForUnderAnHour()
    {
        Gallery gallery(nullptr);
        writeCache(3, 59 * 60);
        QVERIFY(gallery.loadXmlFromCache(true));
        QCOMPARE(gallery.feed->count(), 3);
        QCOMPARE(gallery.ui->widgetPictureFlow->slideCount(), 3);
        writeCache(3, 60 * 60);
        QVERIFY(!gallery.loadXmlFromCache(true));
        QVERIFY(gallery.loadXmlFromCache(false));
        // A picture missing: no cache at all.
        QFile::remove(Gallery::cacheDirectory() + "1.jpg");
        QVERIFY(!gallery.loadXmlFromCache(false));
    }

    void downloadsSkipEmptyAddressesAndFillTheCache()
    {
        serveFeed(feed({picture("0"), QString(), picture("bad"), "file:///etc/passwd", picture("2")}));
        Gallery gallery(nullptr);
        Screens::show(&gallery);
        QVERIFY(opened(gallery));
        QCOMPARE(paths(), (QStringList{"/pub/rss/fotoplan.xml", "/g/0.jpg", "/g/bad.jpg", "/g/2.jpg"}));
        PictureFlow* flow = gallery.ui->widgetPictureFlow;
        QCOMPARE(flow->slideCount(), 5);
        QCOMPARE(flow->slide(0).size(), flow->slideSize());
        QVERIFY(flow->slide(1).isNull());
        QVERIFY(flow->slide(2).isNull()); // not a picture: the placeholder
        QVERIFY(!flow->slide(4).isNull());
        QVERIFY(QFile::exists(Gallery::cacheDirectory() + "0.xml"));
        QVERIFY(QFile::exists(Gallery::cacheDirectory() + "4.jpg"));
        QVERIFY(gallery.ui->buttonRefresh->isEnabled());
        QVERIFY(gallery.ui->pictureTitleLabel->text().startsWith(QString::fromUtf8("Zdjęcie 0")));

        // What is not a picture is not kept, so the next opening asks for the gallery again.
        QVERIFY(!QFile::exists(Gallery::cacheDirectory() + "2.jpg"));
        server->clearRequests();
        {
            Gallery retry(nullptr);
            retry.showFinished();
            QVERIFY(!retry.loadDataFromCache);
            QTRY_VERIFY_WITH_TIMEOUT(finished(retry), 5000);
            QCOMPARE(paths(), (QStringList{"/pub/rss/fotoplan.xml", "/g/0.jpg", "/g/bad.jpg", "/g/2.jpg"}));
        }

        // The unusable addresses do not spoil the cache: once the pictures are good, the next
        // opening needs no network.
        server->route("www.kurendal.pl", "/g/bad.jpg", SampleServer::text(jpeg(200, 100), "image/jpeg"));
        TestEnv::clearData();
        {
            Gallery good(nullptr);
            QVERIFY(opened(good));
        }
        server->route("www.kurendal.pl", "/g/bad.jpg", SampleServer::text("<html>404</html>", "text/html"));
        server->clearRequests();
        Gallery again(nullptr);
        again.showFinished();
        QVERIFY(again.loadDataFromCache);
        QVERIFY(!finished(again));
        QTRY_VERIFY_WITH_TIMEOUT(finished(again), 3000);
        QVERIFY(paths().isEmpty());
        QCOMPARE(again.ui->widgetPictureFlow->slideCount(), 5);
        QVERIFY(again.ui->widgetPictureFlow->slide(1).isNull());
        QVERIFY(!again.ui->widgetPictureFlow->slide(4).isNull());
    }

    void theFeedFetchesOnItsOwnQueueOnePictureAtATime()
    {
        serveFeed(feed({picture("0"), picture("bad"), QString(), picture("2")}));
        GalleryFeed gallery;
        QSignalSpy ready(&gallery, &GalleryFeed::feedReady);
        QSignalSpy picture(&gallery, &GalleryFeed::pictureReady);
        QSignalSpy finished(&gallery, &GalleryFeed::finished);
        QSignalSpy failed(&gallery, &GalleryFeed::feedFailed);
        gallery.download();
        QVERIFY(gallery.isDownloading());
        QVERIFY(DownloadService::instance()->current("gallery"));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
        QVERIFY(!gallery.isDownloading());
        QCOMPARE(DownloadService::instance()->current("gallery"), static_cast<Http*>(nullptr));
        QCOMPARE(ready.size(), 1);
        QCOMPARE(failed.size(), 0);
        QCOMPARE(gallery.count(), 4);
        QCOMPARE(picture.size(), 3);
        QList<int> order;
        for (const QList<QVariant>& args : picture)
            order << args.at(0).toInt();
        QCOMPARE(order, (QList<int>{0, 1, 3}));
        QVERIFY(!picture.at(0).at(1).value<QImage>().isNull());
        QVERIFY(picture.at(1).at(1).value<QImage>().isNull());
        QCOMPARE(QFileInfo(GalleryFeed::pictureFile(2)).size(), 0);
        QVERIFY(!QFile::exists(GalleryFeed::pictureFile(1)));
        QVERIFY(!gallery.loadFromCache(true)); // the picture that did not come is asked for again

        // Cancelled once the feed is in: no picture is asked for, the queue is free.
        server->clearRequests();
        connect(&gallery, &GalleryFeed::feedReady, &gallery, &GalleryFeed::cancel);
        gallery.refresh();
        QTRY_COMPARE_WITH_TIMEOUT(ready.size(), 2, 5000);
        QVERIFY(!gallery.isDownloading());
        QCOMPARE(DownloadService::instance()->current("gallery"), static_cast<Http*>(nullptr));
        QTest::qWait(200);
        QCOMPARE(paths(), QStringList{"/pub/rss/fotoplan.xml"});
        QCOMPARE(picture.size(), 3);
    }

    void aRefreshToFewerPicturesKeepsTheCentreOnAPicture()
    {
        QStringList eight;
        for (int i = 0; i < 8; ++i)
            eight << picture(QString::number(i % 3));
        serveFeed(feed(eight));
        Gallery gallery(nullptr);
        Screens::show(&gallery);
        QVERIFY(opened(gallery));
        PictureFlow* flow = gallery.ui->widgetPictureFlow;
        flow->setCurrentSlide(6);
        QVERIFY(gallery.ui->pictureTitleLabel->text().startsWith(QString::fromUtf8("Zdjęcie 6")));

        serveFeed(feed(eight.mid(0, 3)));
        QTest::mouseClick(gallery.ui->buttonRefresh, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(finished(gallery), 5000);
        QCOMPARE(flow->slideCount(), 3);
        QCOMPARE(flow->currentSlide(), 2);
        QVERIFY(gallery.ui->pictureTitleLabel->text().startsWith(QString::fromUtf8("Zdjęcie 2")));
        QVERIFY(!flow->slide(2).isNull());

        // Moving on comes to rest on a picture.
        QSignalSpy centered(flow, &PictureFlow::itemCentered);
        flow->showPrevious();
        QTRY_VERIFY_WITH_TIMEOUT(!centered.isEmpty(), 3000);
        QCOMPARE(flow->currentSlide(), 1);
        QVERIFY(gallery.ui->pictureTitleLabel->text().startsWith(QString::fromUtf8("Zdjęcie 1")));

        // Share takes the centred picture.
        QTest::mouseClick(gallery.ui->shareButton, Qt::LeftButton);
        QVERIFY(gallery.findChild<ShareArticleDialog*>());

        // A refresh to none: no stale title.
        serveFeed(feed({}));
        QTest::mouseClick(gallery.ui->buttonRefresh, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(finished(gallery), 5000);
        QCOMPARE(flow->currentSlide(), 0);
        QVERIFY(gallery.ui->pictureTitleLabel->text().isEmpty());
    }

    void withoutNetworkAnOldCacheStillShows()
    {
        writeCache(2, 5 * 24 * 3600);
        server->route("www.kurendal.pl", "/pub/rss/fotoplan.xml", SampleServer::Reply{503, "text/plain", "", {}, 0, -1, false});
        Gallery gallery(nullptr);
        gallery.showFinished();
        QTRY_VERIFY_WITH_TIMEOUT(gallery.loadDataFromCache, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(finished(gallery) && !gallery.ui->widgetPictureFlow->slide(1).isNull(), 3000);

        // No cache either: the retry question ("Powtórz" / "Anuluj"), and the screen is left usable.
        TestEnv::clearData();
        Boxes boxes;
        Gallery empty(nullptr);
        QVERIFY(opened(empty));
        QCOMPARE(empty.feed->downloadState, -1);
        QCOMPARE(empty.ui->widgetPictureFlow->slideCount(), 0);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.last().kind, MessageBox::Shown::BackAgain);
        QCOMPARE(boxes.last().text,
                 QString::fromUtf8("Nie można wyswietlić galerii. Prawdopodobnie nie masz połączenia z internetem."));
        QCOMPARE(boxes.last().listener, static_cast<MsgBoxListener*>(&empty));
        // "Powtórz" asks again, and asks the question again when it fails again.
        server->clearRequests();
        boxes.accept();
        QVERIFY(!finished(empty));
        QTRY_VERIFY_WITH_TIMEOUT(boxes.shown.size() == 2, 5000);
        QCOMPARE(paths(), QStringList{"/pub/rss/fotoplan.xml"});
        // "Anuluj" leaves the screen as it is.
        boxes.reject();
        QCOMPARE(empty.feed->downloadState, -1);
        QVERIFY(finished(empty));
        QCOMPARE(boxes.shown.size(), 2);
    }

    void nothingToShowOrNowhereToWriteDoesNotBreakTheScreen()
    {
        serveFeed(feed({}));
        {
            Gallery gallery(nullptr);
            QVERIFY(opened(gallery));
            QCOMPARE(gallery.ui->widgetPictureFlow->slideCount(), 0);
            QVERIFY(gallery.ui->buttonRefresh->isEnabled());
        }
        TestEnv::clearData();
        serveFeed("<html><body>Przerwa techniczna</body>");
        {
            Gallery gallery(nullptr);
            QVERIFY(opened(gallery));
            QVERIFY(!QFile::exists(Gallery::cacheDirectory() + "0.xml"));
        }
        // The cache folder cannot be made: the message once, the pictures still shown.
        serveFeed(feed({picture("0"), picture("1")}));
        TestEnv::clearData();
        Boxes boxes;
        QFile blocker(File::createPathToResource("galleryPictures"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Gallery gallery(nullptr);
        QVERIFY(opened(gallery));
        QVERIFY(gallery.freeSpaceMessageShowed);
        QCOMPARE(boxes.texts(), QStringList{QString::fromUtf8("Nie można zapisać obrazka na dysku.")});
        QCOMPARE(boxes.last().title, QString::fromUtf8("Brak pamięci"));
        QCOMPARE(boxes.last().kind, MessageBox::Shown::Error);
        QVERIFY(!gallery.ui->widgetPictureFlow->slide(1).isNull());
        QVERIFY(!gallery.loadXmlFromCache(false));
    }
};

QTEST_MAIN(TestGallery)
#include "tst_gallery.moc"
