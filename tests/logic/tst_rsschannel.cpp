#include <QtTest>

#include "logic/news/channel.h"
#include "logic/base/file.h"
#include "sampleserver/sampleserver.h"
#include "tests/support/testenv.h"

// Feeds come from a server of the test's own, which plays the publisher's host as a proxy.
class TestRSSChannel : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;

    void serve(RSSChannel::ChannelType type, const QByteArray& body)
    {
        server->route("rss.kurendal.pl", TestEnv::feedPath(type), SampleServer::text(body, "text/xml"));
    }

    static QVector<int> ids(const RSSChannel& c)
    {
        QVector<int> v;
        for (const Article* a : c.getArticles())
            v << a->xx;
        return v;
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
    }

    void init()
    {
        TestEnv::clearData();
        server->clearRequests();
    }

    void titlesAndAddresses()
    {
        QVERIFY(RSSChannel::urlForType(RSSChannel::Kraj).endsWith("/pub/mobi_lg/out/kraj.xml"));
        QVERIFY(RSSChannel::urlForType(RSSChannel::Fotoplan).endsWith("/pub/rss/fotoplan.xml"));
        QVERIFY(RSSChannel::urlForType(RSSChannel::Teczka).isEmpty());
        RSSChannel gallery(RSSChannel::Fotoplan, nullptr);
        QCOMPARE(gallery.getUnreadArticlesCount(), -1);
        RSSChannel fresh(RSSChannel::Sport, nullptr);
        fresh.updateArticles(true);
        QCOMPARE(fresh.getInfoText(), QString("<b>Sport</b>"));
        QVERIFY(fresh.getArticles().isEmpty());
    }

    void mergeKeepsReadMarksAndCapsTheList()
    {
        QVector<int> forty;
        for (int i = 1; i <= 40; ++i)
            forty << i;
        serve(RSSChannel::Kraj, TestEnv::feed(forty));
        RSSChannel kraj(RSSChannel::Kraj, nullptr);
        QVERIFY(TestEnv::refreshed(kraj));
        QCOMPARE(kraj.getArticles().size(), 30);
        QCOMPARE(int(quint8(TestEnv::readData("rssKraj").at(4))), 30);
        QVERIFY(kraj.getLastUpdateTime().toSecsSinceEpoch() > 0);
        QVERIFY(kraj.getInfoText().startsWith("<b>Kraj</b>, "));
        // Whole records, but one more than a list holds: damaged (and no backup yet).
        QByteArray overfull = TestEnv::readData("rssKraj");
        const int last = overfull.lastIndexOf("ART\x01");
        overfull.insert(last, overfull.mid(last, overfull.size() - 4 - last));
        overfull[4] = char(RSSChannel::maxArticles + 1);
        TestEnv::writeData("rssKraj", overfull);
        RSSChannel restarted(RSSChannel::Kraj, nullptr);
        restarted.updateArticles(true);
        QVERIFY(restarted.getArticles().isEmpty());

        Article* second = kraj.getArticles().at(1);
        kraj.markArticleAsRead(*second);
        QCOMPARE(kraj.getUnreadArticlesCount(), 29);

        // The next feed: two new articles on top, article 2 still there, article 3 gone.
        serve(RSSChannel::Kraj, TestEnv::feed({100, 101, 2, 1}));
        QVERIFY(TestEnv::refreshed(kraj));
        const QVector<int> now = ids(kraj);
        QCOMPARE(now.mid(0, 4), (QVector<int>{100, 101, 2, 1}));
        QCOMPARE(now.at(4), 3); // fallen out: below the feed, in its previous order
        QCOMPARE(now.size(), 30);
        QCOMPARE(kraj.getArticles().at(2), second); // the same object survives
        QVERIFY(second->articleWasRead);

        // After a restart the list and the read mark come back from the cache.
        RSSChannel again(RSSChannel::Kraj, nullptr);
        again.updateArticles(true);
        QCOMPARE(ids(again), now);
        QVERIFY(again.getArticles().at(2)->articleWasRead);
    }

    void damagedCachesFallBack()
    {
        serve(RSSChannel::Kultura, TestEnv::feed({1, 2, 3}));
        {
            RSSChannel c(RSSChannel::Kultura, nullptr);
            QVERIFY(TestEnv::refreshed(c));
            serve(RSSChannel::Kultura, TestEnv::feed({4, 5}));
            QVERIFY(TestEnv::refreshed(c)); // now rssKultura.old holds 1, 2, 3
        }
        const QByteArray good = TestEnv::readData("rssKultura");
        QVERIFY(!TestEnv::readData("rssKultura.old").isEmpty());

        // Cut at every byte, another magic, version (of the file or an article) or count, bytes left
        // over: the older list comes back, never a crash or a half list.
        QByteArrayList damaged;
        for (int cut = 0; cut < good.size(); ++cut)
            damaged << good.left(cut);
        const auto patched = [&good](int at, int value) {
            QByteArray bytes = good;
            bytes[at] = char(value);
            return bytes;
        };
        const int firstArticle = 5;
        damaged << patched(0, 'X') << patched(3, 2) << patched(firstArticle + 3, 2) << patched(4, good[4] - 1)
                << patched(4, good[4] + 1) << good + '\0';
        for (const QByteArray& bytes : damaged) {
            TestEnv::writeData("rssKultura", bytes);
            RSSChannel c(RSSChannel::Kultura, nullptr);
            c.updateArticles(true);
            QCOMPARE(ids(c), (QVector<int>{1, 2, 3}));
        }
    }
};

QTEST_GUILESS_MAIN(TestRSSChannel)
#include "tst_rsschannel.moc"
