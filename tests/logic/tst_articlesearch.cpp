#include <QtTest>

#include "logic/news/articlesearch.h"
#include "logic/news/channel.h"
#include "tests/support/testenv.h"

using Ids = QVector<int>;

// Search over stored articles: Polish folding, prefixes in any order, ranking, and an index
// that follows the channels' refreshes.
class TestArticleSearch : public QObject
{
    Q_OBJECT
private:
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

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        stored = {article(1, "01-12-2026, 10:00", "Żółw z Łodzi wygrał wyścig"),
                  article(2, "02-12-2026, 10:00", "Pogoda", "W Łodzi pada deszcz"),
                  article(3, "03-12-2026, 10:00", "Sport", {}, "<p>Trener mówi o <b>żółwim</b>&nbsp;tempie</p>"),
                  article(4, "04-12-2026, 10:00", "Felieton", {}, {}, "Anna Żółkiewska"),
                  article(5, "05-12-2026, 10:00", "ŁÓDŹ: nowy tramwaj")};
    }
    void cleanupTestCase() { qDeleteAll(stored); }

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

QTEST_MAIN(TestArticleSearch)
#include "tst_articlesearch.moc"
