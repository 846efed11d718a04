#include "logic/base/file.h"
#include "logic/gallery/galleryfeed.h"
#include "logic/gallery/gallerypicturesparser.h"
#include "logic/net/downloadservice.h"
#include "screens/gallery/gallery.h"
#include "screens/gallery/galleryform.h"
#include "screens/gallery/pictureflow.h"
#include "screens/gallery/pictureflowprivate.h"
#include "screens/sharing/sharearticledialog.h"
#include "tests/support/screenfixtures.h"

// The picture feed, the gallery's cache and the way it fills the cover-flow; the cover-flow
// itself: slide layout, the placeholder, the animation targets and the tap zones.
class TestGallery : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;
    PictureFlow* flow = nullptr; // the cover-flow alone
    PictureFlowPrivate* d = nullptr;

    void openFlow()
    {
        flow = new PictureFlow;
        QVERIFY(Screens::show(flow, QSize(480, 600)));
        d = flow->implementation();
    }

    static QVector<int> indexes(const QVector<SlideInfo>& slides)
    {
        QVector<int> v;
        for (const SlideInfo& s : slides)
            v << s.slideIndex;
        return v;
    }

    void fill(int n)
    {
        flow->setSlideCount(n);
        for (int i = 0; i < n; ++i)
            flow->setSlide(i, Screens::filled(QSize(200, 150), QColor::fromHsv(i * 40 % 360, 200, 220)));
        d->render();
    }

    void tap(int x, int y) { QTest::mouseClick(flow, Qt::LeftButton, Qt::NoModifier, QPoint(x, y)); }

    void waitIdle() { QTRY_VERIFY_WITH_TIMEOUT(d->step == 0, 5000); }

    bool showsTheFrame()
    {
        return QTest::qWaitFor([this] {
            return flow->screen()->grabWindow(flow->winId()).toImage().convertToFormat(QImage::Format_RGB32) == d->buffer;
        }, 2000);
    }

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

    void cleanup()
    {
        delete flow;
        flow = nullptr;
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
        PictureFlow* cover = gallery.ui->widgetPictureFlow;
        QCOMPARE(cover->slideCount(), 5);
        QCOMPARE(cover->slide(0).size(), cover->slideSize());
        QVERIFY(cover->slide(1).isNull());
        QVERIFY(cover->slide(2).isNull()); // not a picture: the placeholder
        QVERIFY(!cover->slide(4).isNull());
        QVERIFY(QFile::exists(Gallery::cacheDirectory() + "0.xml"));
        QVERIFY(QFile::exists(Gallery::cacheDirectory() + "4.jpg"));
        QVERIFY(gallery.ui->buttonRefresh->isEnabled());
        QVERIFY(gallery.ui->pictureTitleLabel->text().startsWith(QString::fromUtf8("Zdjęcie 0")));

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
        // (What is no picture is neither kept nor cached: tst_picturereader.)
        QVERIFY(!picture.at(0).at(1).value<QImage>().isNull());
        QCOMPARE(QFileInfo(GalleryFeed::pictureFile(2)).size(), 0);

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
        PictureFlow* cover = gallery.ui->widgetPictureFlow;
        cover->setCurrentSlide(6);
        QVERIFY(gallery.ui->pictureTitleLabel->text().startsWith(QString::fromUtf8("Zdjęcie 6")));

        serveFeed(feed(eight.mid(0, 3)));
        QTest::mouseClick(gallery.ui->buttonRefresh, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(finished(gallery), 5000);
        QCOMPARE(cover->slideCount(), 3);
        QCOMPARE(cover->currentSlide(), 2);
        QVERIFY(gallery.ui->pictureTitleLabel->text().startsWith(QString::fromUtf8("Zdjęcie 2")));
        QVERIFY(!cover->slide(2).isNull());

        // Moving on comes to rest on a picture.
        QSignalSpy centered(cover, &PictureFlow::itemCentered);
        cover->showPrevious();
        QTRY_VERIFY_WITH_TIMEOUT(!centered.isEmpty(), 3000);
        QCOMPARE(cover->currentSlide(), 1);
        QVERIFY(gallery.ui->pictureTitleLabel->text().startsWith(QString::fromUtf8("Zdjęcie 1")));

        // Share takes the centred picture.
        QTest::mouseClick(gallery.ui->shareButton, Qt::LeftButton);
        QVERIFY(gallery.findChild<ShareArticleDialog*>());

        // A refresh to none: no stale title.
        serveFeed(feed({}));
        QTest::mouseClick(gallery.ui->buttonRefresh, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(finished(gallery), 5000);
        QCOMPARE(cover->slideCount(), 0);
        QCOMPARE(cover->currentSlide(), 0);
        QVERIFY(gallery.ui->pictureTitleLabel->text().isEmpty());
        QVERIFY(gallery.ui->buttonRefresh->isEnabled());
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

    void slidesAroundTheCentreWrapAround()
    {
        openFlow();
        fill(1);
        QVERIFY(d->leftSlides.isEmpty() && d->rightSlides.isEmpty());

        fill(2);
        QCOMPARE(indexes(d->leftSlides), QVector<int>{1});
        QVERIFY(d->rightSlides.isEmpty());
        flow->setCurrentSlide(1);
        QVERIFY(d->leftSlides.isEmpty());
        QCOMPARE(indexes(d->rightSlides), QVector<int>{0});

        flow->setCurrentSlide(0);
        fill(3);
        QCOMPARE(indexes(d->leftSlides), (QVector<int>{2, 1}));
        QCOMPARE(indexes(d->rightSlides), (QVector<int>{1, 2}));

        fill(5);
        flow->setCurrentSlide(1);
        QCOMPARE(indexes(d->leftSlides), (QVector<int>{0, 4, 3}));
        QCOMPARE(indexes(d->rightSlides), (QVector<int>{2, 3, 4}));
    }

    void aMissingPictureShowsTheFramedGradient()
    {
        openFlow();
        flow->setSlideCount(3);
        d->render();
        const QImage frame = d->buffer.convertToFormat(QImage::Format_RGB32);
        const QRect centre = d->centerSlideRect;
        QVERIFY(centre.width() > 300);
        const int x = centre.center().x();
        // Black at the top, white at the bottom, with the grey frame at the edge.
        QVERIFY(qGray(frame.pixel(x, centre.top() + 15)) < 50);
        QVERIFY(qGray(frame.pixel(x, centre.top() + 265)) > 200);
        QVERIFY(qAbs(qGray(frame.pixel(centre.left() + 1, centre.top() + 140)) - 64) < 16);
        // Its reflection below starts dimmer than the picture's bottom and fades.
        const int bottom = qGray(frame.pixel(x, centre.top() + 270));
        const int mirrored = qGray(frame.pixel(x, centre.top() + 290));
        const int further = qGray(frame.pixel(x, centre.top() + 340));
        QVERIFY2(mirrored > 60 && mirrored < bottom && further < mirrored,
                 qPrintable(QString("%1 %2 %3").arg(bottom).arg(mirrored).arg(further)));
    }

    // A picture keeps its shape, as large as the slide box allows and in its middle, on black; the
    // box shrinks where the window is narrower or lower than it, the reflection follows the picture.
    void picturesKeepTheirShapeInsideTheWindow_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("picture");
        QTest::newRow("upright 500x750") << QSize(480, 600) << QSize(500, 750);
        QTest::newRow("upright 600x800") << QSize(480, 600) << QSize(600, 800);
        QTest::newRow("wide 1024x576") << QSize(480, 600) << QSize(1024, 576);
        QTest::newRow("320x480 window") << QSize(320, 335) << QSize(800, 600);
        QTest::newRow("360x720 window") << QSize(360, 575) << QSize(500, 750);
        QTest::newRow("854x480 window") << QSize(854, 335) << QSize(1200, 800);
    }

    void picturesKeepTheirShapeInsideTheWindow()
    {
        openFlow();
        QFETCH(QSize, window);
        QFETCH(QSize, picture);
        flow->resize(window);
        flow->setSlideCount(3);
        flow->setSlide(0, Screens::filled(picture, Qt::white));
        d->render();
        const QImage frame = d->buffer.convertToFormat(QImage::Format_RGB32);
        const QRect box = d->centerSlideRect;
        QVERIFY2(frame.rect().contains(box), qPrintable(QString("slide %1,%2 %3x%4").arg(box.x()).arg(box.y())
                                                           .arg(box.width()).arg(box.height())));
        auto lit = [&](int from, int to, int low, int high) {
            QRect r;
            for (int y = from; y < to; ++y)
                for (int x = box.left(); x <= box.right(); ++x)
                    if (qGray(frame.pixel(x, y)) > low && qGray(frame.pixel(x, y)) <= high)
                        r |= QRect(x, y, 1, 1);
            return r;
        };
        const QRect shown = lit(box.top(), box.bottom(), 250, 255);
        QVERIFY(qAbs(shown.width() * picture.height() - shown.height() * picture.width())
                <= 2 * qMax(picture.width(), picture.height()));
        QVERIFY(shown.width() >= box.width() - 2 || shown.height() >= d->slideHeight - 2);
        QVERIFY(qAbs(shown.center().x() - box.center().x()) <= 1 && qAbs(shown.center().y() - box.center().y()) <= 1);
        // The first rows of the reflection are as wide as the picture.
        const QRect mirrored = lit(box.bottom() + 1, qMin(frame.height(), box.bottom() + d->slideHeight / 3), 60, 200);
        QVERIFY(qAbs(mirrored.left() - shown.left()) <= 1 && qAbs(mirrored.right() - shown.right()) <= 1);
        // Either side of the slide leaves room to tap.
        QVERIFY(box.left() >= window.width() / 20 && box.right() < window.width() * 19 / 20);
    }

    // Where taps, swipes and next/previous lead. A tap above the slide, between the zones, does nothing
    // (the middle picture and the edges: tst_layout taps them at every scale), nor an edge while loading.
    void tapsSwipesNextAndPrevious()
    {
        openFlow();
        fill(5);
        QSignalSpy activated(flow, &PictureFlow::itemActivated);
        const QRect centre = d->centerSlideRect;
        tap(centre.center().x(), centre.top() + 1 > 0 ? centre.top() - 5 : 0);
        QCOMPARE(activated.count(), 0);
        QCOMPARE(d->step, 0);
        flow->loading = true;
        tap(470, 300);
        QCOMPARE(d->step, 0);
        flow->loading = false;

        // A swipe to the right goes backward.
        flow->setCurrentSlide(2);
        QTest::mousePress(flow, Qt::LeftButton, Qt::NoModifier, QPoint(100, 300));
        for (int x = 120; x <= 460; x += 20) {
            QTest::qWait(20);
            QMouseEvent move(QEvent::MouseMove, QPointF(x, 300), QPointF(x, 300), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(flow, &move);
        }
        QTest::mouseRelease(flow, Qt::LeftButton, Qt::NoModifier, QPoint(460, 300));
        QCOMPARE(d->step, -1);
        QVERIFY(d->target < 2 || d->target == 4);
        waitIdle();

        flow->setCurrentSlide(0);
        QSignalSpy centred(flow, &PictureFlow::itemCentered);
        flow->showNext();
        QCOMPARE(d->target, 1);
        QCOMPARE(d->step, 1);
        flow->showNext(); // already moving forward: up to two ahead
        QCOMPARE(d->target, 2);
        waitIdle();
        QCOMPARE(flow->currentSlide(), 2);
        QCOMPARE(centred.last().first().toInt(), 2);
        // The window takes what changed at each frame, all of it for another slide size.
        QVERIFY(showsTheFrame());
        flow->setSlideSize(QSize(200, 140));
        QVERIFY(showsTheFrame());

        flow->setCurrentSlide(0);
        flow->showPrevious(); // wraps to the last
        QCOMPARE(d->target, 4);
        QCOMPARE(d->step, -1);
        flow->showPrevious();
        QCOMPARE(d->target, 0);
        waitIdle();

        flow->setCurrentSlide(4);
        flow->showNext();
        QCOMPARE(d->target, 0);
        waitIdle();
        QCOMPARE(flow->currentSlide(), 0);

        // Two pictures: only towards the one side slide.
        fill(2);
        flow->setCurrentSlide(0);
        flow->showSlide(1, false);
        QCOMPARE(d->step, 0);
        flow->showSlide(1, true);
        QCOMPARE(d->step, -1);
        waitIdle();
        QCOMPARE(flow->currentSlide(), 1);
        fill(1); // the side slide goes from the window too
        QVERIFY(showsTheFrame());
    }

    // A slide made again for a larger box comes from its picture, not from its smaller copy.
    void aResizedSlideIsMadeFromItsPicture()
    {
        openFlow();
        fill(3);
        flow->resize(854, 480);
        QImage fine(830, 560, QImage::Format_RGB32);
        for (int y = 0; y < fine.height(); ++y)
            for (int x = 0; x < fine.width(); ++x)
                fine.setPixel(x, y, (x + y) % 2 ? 0xffffffff : 0xff000000);
        flow->setSlide(1, fine);
        const QImage large = flow->slide(1);
        flow->resize(320, 335);
        QVERIFY(flow->slide(1).width() < large.width());
        flow->resize(854, 480);
        QCOMPARE(flow->slide(1), large);
    }
};

QTEST_MAIN(TestGallery)
#include "tst_gallery.moc"
