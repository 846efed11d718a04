#include <QtTest>

#include "logic/news/photo.h"
#include "logic/news/briefcasestore.h"
#include "logic/base/file.h"
#include "logic/net/reachability.h"
#include "sampleserver/sampleserver.h"
#include "tests/support/testenv.h"

#include <QNetworkProxy>

class TestSavedArticles : public QObject
{
    Q_OBJECT
private:
    static Article* make(int xx)
    {
        Article* a = new Article(nullptr);
        a->xx = xx;
        a->title = QString("Artykuł %1").arg(xx);
        a->thumbnail = QUrl(QString("http://rss.kurendal.pl/img/thumb_%1.jpg").arg(xx));
        a->thumbnailImage = QImage(20, 20, QImage::Format_RGB32);
        a->thumbnailImage.fill(Qt::red);
        Photo* p = new Photo(a);
        p->xx = xx * 10;
        p->articleXX = xx;
        p->url = QUrl("http://rss.kurendal.pl/img/p.jpg");
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QBuffer buffer(&p->data);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        p->image = QPixmap::fromImage(picture);
        a->photos << p;
        return a;
    }

    static bool exists(const QString& name) { return File::fileExistInResources(name); }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        new Reachability(this); // offline: pictures are announced at once and written
    }
    void init() { TestEnv::clearData(); }

    void fullDuplicateAndRemoveOldest()
    {
        SavedArticles saved(nullptr);
        QCOMPARE(SavedArticles::getSingleton(), &saved);
        QVERIFY(QDir(File::createPathToResource("teczka")).exists());
        for (int i = 1; i <= 30; ++i) {
            QScopedPointer<Article> a(make(i));
            QVERIFY(saved.addArticle(*a));
        }
        QScopedPointer<Article> first(make(1)), extra(make(31));
        QVERIFY(!saved.addArticle(*first)); // a duplicate
        QVERIFY(!saved.addArticle(*extra)); // full
        QCOMPARE(saved.getArticles().size(), 30);
        QVERIFY(exists("teczka/thumb1.jpg"));
        QVERIFY(exists("teczka/photo_1_10.jpg"));

        QVERIFY(saved.removeOldest());
        QVERIFY(!SavedArticles::isArticleInSavedArticles(*first));
        QVERIFY(!exists("teczka/thumb1.jpg"));
        QVERIFY(!exists("teczka/photo_1_10.jpg"));
        QVERIFY(saved.addArticle(*extra));
        QCOMPARE(saved.getArticles().first()->xx, 31); // newest first

        QScopedPointer<Article> unknown(make(99));
        QVERIFY(!saved.removeArticle(*unknown));
        QVERIFY(saved.removeArticle(*extra));
        QVERIFY(!exists("teczka/thumb31.jpg"));
    }

    void savedArticlesSurviveARestartWithTheirPictures()
    {
        {
            SavedArticles saved(nullptr);
            QScopedPointer<Article> a(make(5)), b(make(6));
            a->articleWasRead = true;
            QVERIFY(saved.addArticle(*a));
            QVERIFY(saved.addArticle(*b));
        }
        QVERIFY(!SavedArticles::getSingleton());
        SavedArticles again(nullptr);
        QCOMPARE(again.getArticles().size(), 2);
        Article* six = again.getArticles().at(0);
        Article* five = again.getArticles().at(1);
        QCOMPARE(six->xx, 6);
        QVERIFY(five->articleWasRead);
        QCOMPARE(five->title, QString("Artykuł 5"));
        QVERIFY(!five->getThumbnailImage().isNull());
        QVERIFY(five->isInSavedArticles && five->photos.at(0)->isInSavedArticles);
        // The photo that had been shown before saving is on disk whole.
        QSignalSpy shown(five->photos.at(0), &Photo::photoChanged);
        five->photos.at(0)->downloadPhoto(true);
        QCOMPARE(shown.count(), 1);
        QVERIFY(!five->photos.at(0)->image.isNull());
    }

    void aThumbnailThatDidNotComeIsNotKeptAndComesLater_data()
    {
        QTest::addColumn<bool>("offline");
        QTest::newRow("a failed download") << false;
        QTest::newRow("added offline") << true;
    }
    void aThumbnailThatDidNotComeIsNotKeptAndComesLater()
    {
        QFETCH(bool, offline);
        SampleServer server;
        QVERIFY(server.start());
        bool broken = true;
        server.route("rss.kurendal.pl", "/img/thumb_7.jpg", [&broken](const SampleServer::Request&) {
            return broken ? SampleServer::text("<html>503</html>", "text/html")
                          : SampleServer::text(TestEnv::png(QSize(30, 30), Qt::green), "image/png");
        });
        TestEnv::proxyThrough(server);
        QMetaObject::invokeMethod(Reachability::singleton, offline ? "closed" : "opened");

        SavedArticles saved(nullptr);
        QScopedPointer<Article> a(make(7));
        a->thumbnailImage = QImage(); // not fetched yet
        QVERIFY(saved.addArticle(*a));
        Article* kept = saved.getArticles().first();
        QTRY_VERIFY(!kept->getThumbnailImage().isNull()); // the placeholder is shown
        QVERIFY(kept->thumbnailIsPlaceholder);
        QVERIFY(!exists("teczka/thumb7.jpg"));

        // The network opens again and the picture is there now.
        broken = false;
        QSignalSpy fetched(kept, &Article::thumbnailDownloadFinished);
        QMetaObject::invokeMethod(Reachability::singleton, "opened");
        QVERIFY(fetched.wait(5000));
        QCOMPARE(kept->getThumbnailImage().size(), QSize(30, 30));
        QTRY_VERIFY(exists("teczka/thumb7.jpg"));
        QMetaObject::invokeMethod(Reachability::singleton, "closed");
        TestEnv::noProxy();
    }
};

QTEST_MAIN(TestSavedArticles)
#include "tst_savedarticles.moc"
