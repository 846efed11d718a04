#include <QtTest>

#include "logic/news/article.h"
#include "logic/news/photo.h"
#include <QNetworkProxy>

#include "logic/base/file.h"
#include "logic/net/reachability.h"
#include "logic/net/request.h"
#include "sampleserver/sampleserver.h"
#include "tests/support/testenv.h"

class TestArticle : public QObject
{
    Q_OBJECT
private:
    static Article* make(int xx, int order)
    {
        Article* a = new Article(nullptr);
        a->xx = xx;
        a->order = order;
        return a;
    }

private slots:
    void initTestCase() { TestEnv::prepare(); }

    void aPhotoLeftWhileDownloadingReleasesItsRequest()
    {
        SampleServer server;
        QVERIFY(server.start());
        SampleServer::Reply never;
        never.noReply = true;
        server.route("rss.kurendal.pl", "/img/slow.jpg", never);
        TestEnv::proxyThrough(server);
        Reachability online;
        QMetaObject::invokeMethod(&online, "opened");

        Photo* photo = new Photo(nullptr);
        photo->url = QUrl("http://rss.kurendal.pl/img/slow.jpg");
        photo->downloadPhoto();
        QTRY_COMPARE(server.requests().size(), 1);
        QPointer<Http> request = photo->downloader;
        QVERIFY(request);
        delete photo;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(request.isNull());
        QMetaObject::invokeMethod(&online, "closed");
        TestEnv::noProxy();
    }

    void markAsOldAndOrdering()
    {
        QScopedPointer<Article> five(make(1, 5));
        five->markAsOld();
        QCOMPARE(five->order, -1);
        QCOMPARE(five->oldOrder, -5);
        five->markAsOld();
        QCOMPARE(five->oldOrder, -5);

        // Orders 2, 0, old(-3), old(0), 1 sort as 0, 1, 2, old(0), old(-3).
        QVector<Article*> list{make(2, 2), make(0, 0), make(3, 3), make(10, 0), make(1, 1)};
        list[2]->markAsOld();
        list[3]->markAsOld();
        std::sort(list.begin(), list.end(), articleLessThan);
        QVector<int> ids;
        for (Article* a : list)
            ids << a->xx;
        QCOMPARE(ids, (QVector<int>{0, 1, 2, 10, 3}));
        qDeleteAll(list);
    }

    void updateFromKeepsReadMarksAndThumbnails()
    {
        Article read, unread;
        read.articleWasRead = true;
        read.updateFrom(unread, false);
        QVERIFY(read.articleWasRead);
        unread.updateFrom(read, false);
        QVERIFY(unread.articleWasRead);

        Article shown;
        shown.thumbnail = QUrl("http://x/t.jpg");
        shown.thumbnailImage = QImage(10, 10, QImage::Format_RGB32);
        Article fresh;
        fresh.thumbnail = QUrl("http://x/t.jpg");
        fresh.title = "Nowy";
        Photo* p = new Photo(&fresh);
        p->xx = 3;
        fresh.photos << p;
        fresh.xx = 77;
        shown.updateFrom(fresh, false);
        QVERIFY(!shown.thumbnailImage.isNull());
        QCOMPARE(shown.title, QString("Nowy"));
        QCOMPARE(shown.photos.size(), 1);
        QVERIFY(shown.photos.at(0) != p);
        QCOMPARE(shown.photos.at(0)->articleXX, 77);
        fresh.thumbnail = QUrl("http://x/other.jpg");
        shown.updateFrom(fresh, false);
        QVERIFY(shown.thumbnailImage.isNull());
    }

    void recordsRoundTripAndRejectDamage()
    {
        const QString path = File::createPathToResource("record");
        Article a;
        a.xx = 5;
        a.articleWasRead = true;
        a.title = QString::fromUtf8("Żółw");
        a.content = QString(70000, QChar(0x0119)); // longer than a record string can hold
        a.link = QUrl("http://www.kurendal.pl/5");
        Photo* p = new Photo(&a);
        p->xx = 9;
        p->url = QUrl("http://x/9.jpg");
        p->desc = "opis";
        a.photos << p;
        File* w = File::createFileToWrite(path);
        w->open();
        a.saveToFile(w, 4);
        w->close();
        delete w;
        QCOMPARE(a.order, 4);

        Article back;
        File* r = File::createFileToRead(path);
        r->open();
        back.loadFromFile(r);
        delete r;
        QCOMPARE(back.xx, 5);
        QCOMPARE(back.order, 4);
        QVERIFY(back.articleWasRead);
        QCOMPARE(back.title, a.title);
        QVERIFY(a.content.startsWith(back.content));
        QCOMPARE(back.photos.size(), 1);
        QCOMPARE(back.photos.at(0)->url, p->url);
        QCOMPARE(back.photos.at(0)->articleXX, 5);

        // A wrong magic or an unknown version throws the article; so does a photo count
        // that the rest of the file cannot hold, before any photo is made.
        for (const char* head : {"XYZ\x01", "ART\x02"}) {
            TestEnv::writeData(path, head + QByteArray(40, '\0'));
            Article wrong;
            r = File::createFileToRead(path);
            r->open();
            bool thrownObject = false;
            try {
                wrong.loadFromFile(r);
            } catch (QObject* o) {
                thrownObject = (o == &wrong);
            }
            delete r;
            QVERIFY(thrownObject);
        }

        QByteArray huge("ART\x01", 4);
        huge += QByteArray::fromHex("0000000100000000" "00") + QByteArray(16, '\0') + QByteArray::fromHex("7fffffff");
        TestEnv::writeData(path, huge);
        Article counted;
        r = File::createFileToRead(path);
        r->open();
        QVERIFY_THROWS_EXCEPTION(QObject*, counted.loadFromFile(r));
        delete r;
        QVERIFY(counted.photos.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestArticle)
#include "tst_article.moc"
