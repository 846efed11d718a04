#include <QtTest>

#include "logic/news/article.h"
#include "logic/news/articlesearch.h"
#include "logic/news/channel.h"
#include "logic/news/photo.h"
#include "logic/news/briefcasestore.h"
#include "logic/base/file.h"
#include "logic/net/reachability.h"
#include "logic/net/request.h"
#include "sampleserver/sampleserver.h"
#include "tests/support/testenv.h"

using Ids = QVector<int>;

// Articles, their records, the briefcase that keeps them with their pictures, and the search over
// stored articles: Polish folding, prefixes in any order, ranking, and an index that follows refreshes.
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

    static Article* saved(int xx)
    {
        Article* a = new Article(nullptr);
        a->xx = xx;
        a->title = QString("Artykuł %1").arg(xx);
        a->thumbnail = QUrl(QString("http://rss.kurendal.pl/img/thumb_%1.jpg").arg(xx));
        a->thumbnailImage = QImage::fromData(TestEnv::png(QSize(20, 20), Qt::red));
        Photo* p = new Photo(a);
        p->xx = xx * 10;
        p->articleXX = xx;
        p->url = QUrl("http://rss.kurendal.pl/img/p.jpg");
        p->data = TestEnv::png(QSize(8, 8), Qt::blue);
        p->image.loadFromData(p->data);
        a->photos << p;
        return a;
    }

    static Article* article(int xx, const QString& date, const QString& title, const QString& lead = {},
                            const QString& body = {}, const QString& author = {})
    {
        Article* a = new Article();
        a->xx = xx;
        a->date = date;
        a->title = title;
        a->lead = lead;
        a->content = body;
        a->signature = author;
        return a;
    }
    static Ids ids(const QVector<ArticleSearch::Hit>& hits)
    {
        Ids found;
        for (const ArticleSearch::Hit& h : hits)
            found << h.xx;
        return found;
    }

    QVector<Article*> stored;
    SampleServer* server = nullptr; // the publisher's host, reached only while a case opens the network
    bool thumbnailBroken = true;

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        new Reachability(this); // offline: pictures are announced at once and written
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
        stored = {article(1, "01-12-2026, 10:00", "Żółw z Łodzi wygrał wyścig"),
                  article(2, "02-12-2026, 10:00", "Pogoda", "W Łodzi pada deszcz"),
                  article(3, "03-12-2026, 10:00", "Sport", {}, "<p>Trener mówi o <b>żółwim</b>&nbsp;tempie</p>"),
                  article(4, "04-12-2026, 10:00", "Felieton", {}, {}, "Anna Żółkiewska"),
                  article(5, "05-12-2026, 10:00", "ŁÓDŹ: nowy tramwaj")};
    }
    void cleanupTestCase() { qDeleteAll(stored); }
    void init() { TestEnv::clearData(); }

    void aPhotoLeftWhileDownloadingReleasesItsRequest()
    {
        SampleServer::Reply never;
        never.noReply = true;
        server->route("rss.kurendal.pl", "/img/slow.jpg", never);
        QMetaObject::invokeMethod(Reachability::singleton, "opened");

        Photo* photo = new Photo(nullptr);
        photo->url = QUrl("http://rss.kurendal.pl/img/slow.jpg");
        photo->downloadPhoto();
        QTRY_COMPARE(server->requests().size(), 1);
        QPointer<Http> request = photo->downloader;
        QVERIFY(request);
        delete photo;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(request.isNull());
        QMetaObject::invokeMethod(Reachability::singleton, "closed");
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

    // (Records read back whole: tst_upgrade, from the files of an earlier build.)
    void damagedRecordsAreRejected()
    {
        // A wrong magic, an unknown version, or a photo count that the rest of the file cannot
        // hold: the article throws, the last before any photo is made.
        QByteArray huge("ART\x01", 4);
        huge += QByteArray::fromHex("0000000100000000" "00") + QByteArray(16, '\0') + QByteArray::fromHex("7fffffff");
        const QByteArray zeros(40, '\0');
        for (const QByteArray& bytes : {"XYZ\x01" + zeros, "ART\x02" + zeros, huge}) {
            TestEnv::writeData("record", bytes);
            Article article;
            const std::unique_ptr<File> r(File::createFileToRead(File::createPathToResource("record")));
            r->open();
            QVERIFY_THROWS_EXCEPTION(QObject*, article.loadFromFile(r.get()));
            QVERIFY(article.photos.isEmpty());
        }
    }

    void fullDuplicateAndRemoveOldest()
    {
        SavedArticles briefcase(nullptr);
        for (int i = 1; i <= 30; ++i) {
            QScopedPointer<Article> a(saved(i));
            QVERIFY(briefcase.addArticle(*a));
        }
        QScopedPointer<Article> first(saved(1)), extra(saved(31));
        QVERIFY(!briefcase.addArticle(*first)); // a duplicate
        QVERIFY(!briefcase.addArticle(*extra)); // full
        QCOMPARE(briefcase.getArticles().size(), 30);
        QVERIFY(File::fileExistInResources("teczka/thumb1.jpg"));
        QVERIFY(File::fileExistInResources("teczka/photo_1_10.jpg"));

        QVERIFY(briefcase.removeOldest());
        QVERIFY(!SavedArticles::isArticleInSavedArticles(*first));
        QVERIFY(!File::fileExistInResources("teczka/thumb1.jpg"));
        QVERIFY(!File::fileExistInResources("teczka/photo_1_10.jpg"));
        QVERIFY(briefcase.addArticle(*extra));
        QCOMPARE(briefcase.getArticles().first()->xx, 31); // newest first

        QScopedPointer<Article> unknown(saved(99));
        QVERIFY(!briefcase.removeArticle(*unknown));
        QVERIFY(briefcase.removeArticle(*extra));
        QVERIFY(!File::fileExistInResources("teczka/thumb31.jpg"));
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
        thumbnailBroken = true;
        server->route("rss.kurendal.pl", "/img/thumb_7.jpg", [this](const SampleServer::Request&) {
            return thumbnailBroken ? SampleServer::text("<html>503</html>", "text/html")
                                   : SampleServer::text(TestEnv::png(QSize(30, 30), Qt::green), "image/png");
        });
        QMetaObject::invokeMethod(Reachability::singleton, offline ? "closed" : "opened");

        SavedArticles briefcase(nullptr);
        QScopedPointer<Article> a(saved(7));
        a->thumbnailImage = QImage(); // not fetched yet
        QVERIFY(briefcase.addArticle(*a));
        Article* kept = briefcase.getArticles().first();
        QTRY_VERIFY(!kept->getThumbnailImage().isNull()); // the placeholder is shown
        QVERIFY(kept->thumbnailIsPlaceholder);
        QVERIFY(!File::fileExistInResources("teczka/thumb7.jpg"));

        // The network opens again and the picture is there now.
        thumbnailBroken = false;
        QSignalSpy fetched(kept, &Article::thumbnailDownloadFinished);
        QMetaObject::invokeMethod(Reachability::singleton, "opened");
        QVERIFY(fetched.wait(5000));
        QCOMPARE(kept->getThumbnailImage().size(), QSize(30, 30));
        QTRY_VERIFY(File::fileExistInResources("teczka/thumb7.jpg"));
        QMetaObject::invokeMethod(Reachability::singleton, "closed");
    }

    void findsAndRanks_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<Ids>("expected");
        QTest::newRow("no diacritics, title before body") << "zolw" << Ids{1, 3};
        QTest::newRow("capitals and diacritics") << "ŻÓŁW" << Ids{1, 3};
        QTest::newRow("Ł, newer title first, then lead") << "lodz" << Ids{5, 1, 2};
        QTest::newRow("any order, prefixes") << "wysc ZOLW" << Ids{1};
        QTest::newRow("every word must match") << "lodz pada" << Ids{2};
        QTest::newRow("author") << "zolk" << Ids{4};
        QTest::newRow("body without its tags and entities") << "tempie" << Ids{3};
        QTest::newRow("a tag is no word") << "nbsp" << Ids{};
        QTest::newRow("nothing") << "deszcz xyz" << Ids{};
        QTest::newRow("punctuation only") << " ,.; " << Ids{};
    }

    void findsAndRanks()
    {
        QFETCH(QString, query);
        QFETCH(Ids, expected);
        RSSChannel kraj(RSSChannel::Kraj, nullptr);
        ArticleSearch index;
        index.update(&kraj, stored);
        QCOMPARE(ids(index.search(query)), expected);
    }

    void marksTheWordsFound()
    {
        QCOMPARE(ArticleSearch::mark("Żółw z Łodzi <wygrał>", ArticleSearch::queryWords("lodz ZOLW wy")),
                 QString("<b>Żółw</b> z <b>Łodzi</b> &lt;<b>wygrał</b>&gt;"));
    }

    // Refreshes replace what a channel holds, a word at a time, while searches go on; an article
    // in two places stays until both let it go.
    void followsRefreshes()
    {
        RSSChannel kraj(RSSChannel::Kraj, nullptr);
        RSSChannel najwazniejsze(RSSChannel::Najwazniejsze, nullptr);
        ArticleSearch index;
        QSignalSpy changed(&index, &ArticleSearch::changed);
        index.update(&kraj, stored);
        index.update(&najwazniejsze, {stored[4]});
        QCOMPARE(ids(index.search("tramw")), Ids{5});

        Article* replaced = article(1, "06-12-2026, 10:00", "Tramwaje wracają do Łodzi");
        Article* fresh = article(6, "06-12-2026, 11:00", "Tramwaj numer 6");
        index.update(&kraj, {replaced, stored[1], fresh});
        QCOMPARE(changed.count(), 3);
        QCOMPARE(ids(index.search("tramw")), (Ids{6, 1, 5}));
        QCOMPARE(ids(index.search("zolw")), Ids{});
        QCOMPARE(index.documentCount(), 4);

        index.update(&najwazniejsze, {});
        QCOMPARE(ids(index.search("tramw lodz")), Ids{1});
        QCOMPARE(index.documentCount(), 3);
        // A freed place is taken by the next article without mixing up their words.
        index.update(&najwazniejsze, {stored[3]});
        QCOMPARE(ids(index.search("felieton")), Ids{4});
        QCOMPARE(ids(index.search("tramwaj")), (Ids{6, 1}));
        QVERIFY(index.indexBytes() > 0);
        delete replaced;
        delete fresh;
    }
};

QTEST_MAIN(TestArticle)
#include "tst_article.moc"
