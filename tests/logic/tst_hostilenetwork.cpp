#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QtTest>

#include "logic/news/channel.h"
#include "logic/base/file.h"
#include "logic/net/downloadservice.h"
#include "logic/net/request.h"
#include "tests/support/rawserver.h"
#include "tests/support/testenv.h"

// What the program's own proxy setting does with no_proxy for this machine: public names go
// to the proxy, loopback addresses straight to their port.
class LoopbackBypass : public QNetworkProxyFactory
{
public:
    quint16 proxyPort = 0;
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        if (DownloadService::isLocalHost(query.peerHostName()))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return {QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), proxyPort)};
    }
};

// Servers that stop, crawl or redirect where they must not. Every address is on 127.0.0.1: the
// publisher's names reach `proxy`, a server of the test's own acting as the HTTP proxy.
class TestHostileNetwork : public QObject
{
    Q_OBJECT
private:
    RawServer* proxy = nullptr;
    LoopbackBypass* proxies = nullptr;

    static QString path(RSSChannel::ChannelType type) { return TestEnv::feedPath(type); }

    static RawServer::Answer feedAnswer(const QVector<int>& ids)
    {
        RawServer::Answer a;
        a.body = TestEnv::feed(ids);
        a.headers << qMakePair(QByteArray("Content-Type"), QByteArray("text/xml"));
        return a;
    }
    static QByteArray cache(const QString& name) { return TestEnv::readData(name); }
    static int run(Http* http, qint64* elapsed = nullptr) { return TestEnv::run(http, 5000, elapsed); }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        proxy = new RawServer(this);
        QVERIFY(proxy->start());
        proxies = new LoopbackBypass;
        proxies->proxyPort = proxy->serverPort();
        QNetworkProxyFactory::setApplicationProxyFactory(proxies); // owned by Qt from here
    }

    void init()
    {
        TestEnv::clearData();
        proxy->targets.clear();
        proxy->handler = [](const QByteArray&, const QByteArray&) { return feedAnswer({1}); };
        for (DownloadService::Kind kind : {DownloadService::Kind::Feed, DownloadService::Kind::Picture,
                                           DownloadService::Kind::Report, DownloadService::Kind::Sharing})
            DownloadService::instance()->setLimits(kind, {300, 1000});
    }

    // Every kind of request ends when its body stops or crawls, and still completes on a slow
    // link that keeps going.
    void aTransferThatStopsOrCrawlsEnds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("everyMs");   // a piece of 100 bytes this often after the first 20; 0: never
        QTest::addColumn<bool>("completes");
        QTest::addColumn<int>("atLeastMs"); // the limit that ends it
        const QList<QPair<const char*, DownloadService::Kind>> kinds{{"feed", DownloadService::Kind::Feed},
                                                                      {"picture", DownloadService::Kind::Picture},
                                                                      {"report", DownloadService::Kind::Report},
                                                                      {"sharing", DownloadService::Kind::Sharing}};
        for (const auto& k : kinds) {
            QTest::addRow("%s stalls", k.first) << int(k.second) << 0 << false << 300;
            // Each piece restarts the pause limit; only the whole-transfer limit ends it.
            QTest::addRow("%s trickles", k.first) << int(k.second) << 150 << false << 1000;
            QTest::addRow("%s slow but live", k.first) << int(k.second) << 25 << true << 0;
        }
    }

    void aTransferThatStopsOrCrawlsEnds()
    {
        QFETCH(int, kind);
        QFETCH(int, everyMs);
        QFETCH(bool, completes);
        QFETCH(int, atLeastMs);
        // Only this kind has short limits: a request judged by another's would run on.
        for (DownloadService::Kind other : {DownloadService::Kind::Feed, DownloadService::Kind::Picture,
                                            DownloadService::Kind::Report, DownloadService::Kind::Sharing})
            DownloadService::instance()->setLimits(other, {60000, 60000});
        DownloadService::instance()->setLimits(DownloadService::Kind(kind), {300, 1000});
        proxy->handler = [everyMs](const QByteArray&, const QByteArray&) {
            RawServer::Answer a;
            a.body = QByteArray(2000, 'x'); // 20 bytes at once, then 20 pieces
            a.firstBytes = 20;
            a.chunk = 100;
            a.everyMs = everyMs;
            return a;
        };
        const int closedBefore = proxy->closedByClient;
        QScopedPointer<Http> h(Http::createPOSTrequest(proxy->base() + "/x", QByteArray("report")));
        h->setKind(DownloadService::Kind(kind));
        qint64 elapsed = 0;
        const int state = run(h.data(), &elapsed);
        if (completes) {
            QCOMPARE(state, int(Http::STATE_COMPLETED));
            QCOMPARE(h->getResponseLength(), 2000);
            QVERIFY(!h->hasTimedOut());
        } else {
            QCOMPARE(state, int(Http::STATE_ERROR_HTTP));
            QVERIFY(h->hasTimedOut());
            // Coarse timers may fire up to 5 % early.
            QVERIFY2(elapsed >= atLeastMs * 9 / 10 && elapsed < atLeastMs + 600, qPrintable(QString::number(elapsed)));
            // The connection is given up, not left hanging.
            QTRY_COMPARE(proxy->closedByClient, closedBefore + 1);
        }
    }

    // A feed server that stops and one that trickles hold the shared feed queue only until their
    // limits: the channel behind them refreshes, and their connections are closed.
    void aStalledFeedFreesTheQueueAndTheOtherChannelsRefresh()
    {
        proxy->handler = [](const QByteArray& target, const QByteArray&) {
            const QString p = RawServer::path(target);
            RawServer::Answer a = feedAnswer({30, 31});
            if (p == path(RSSChannel::Kraj) || p == path(RSSChannel::Swiat)) {
                a = feedAnswer({1, 2});
                a.firstBytes = 20; // then nothing (Kraj), or a byte every 100 ms (Swiat): alive, but minutes long
                a.everyMs = p == path(RSSChannel::Swiat) ? 100 : 0;
            }
            return a;
        };
        const int closedBefore = proxy->closedByClient;
        RSSChannel kraj(RSSChannel::Kraj, nullptr), swiat(RSSChannel::Swiat, nullptr), sport(RSSChannel::Sport, nullptr);
        QSignalSpy krajDone(&kraj, &RSSChannel::articlesUpadted);
        QSignalSpy swiatDone(&swiat, &RSSChannel::articlesUpadted);
        QSignalSpy sportDone(&sport, &RSSChannel::articlesUpadted);
        QElapsedTimer clock;
        clock.start();
        kraj.updateArticles(false);
        swiat.updateArticles(false);
        sport.updateArticles(false);
        QTRY_VERIFY_WITH_TIMEOUT(sportDone.count() == 1, 6000);
        QVERIFY(clock.elapsed() < 3000); // 0.3 s for the stall, 1 s for the trickle
        QCOMPARE(krajDone.count(), 1);
        QCOMPARE(swiatDone.count(), 1);
        QCOMPARE(TestEnv::sortedIds(sport), (QVector<int>{30, 31}));
        QVERIFY(kraj.getArticles().isEmpty());
        QVERIFY(swiat.getArticles().isEmpty());
        QVERIFY(!kraj.isUpdating() && !swiat.isUpdating() && !sport.isUpdating());
        QVERIFY(cache("rssKraj").isEmpty());
        QCOMPARE(proxy->targets.size(), 3);
        QTRY_COMPARE(proxy->closedByClient, closedBefore + 2);
    }

    // Redirects to anything but the web, or from a public name to this machine, end the request.
    void aRedirectToALocalFileIsRefused()
    {
        // A well-formed feed on disk, which would be taken as the channel's if it were read.
        const QString local = TestEnv::dataDir() + "/local.xml";
        TestEnv::writeData(local, TestEnv::feed({66, 67}));
        const QByteArray fileUrl = QUrl::fromLocalFile(local).toEncoded();
        proxy->handler = [fileUrl](const QByteArray&, const QByteArray&) { return RawServer::redirect(fileUrl); };

        // Nor asked for directly.
        QScopedPointer<Http> direct(Http::createGETrequest(QString::fromLatin1(fileUrl), QString()));
        QCOMPARE(run(direct.data()), int(Http::STATE_ERROR_HTTP));
        QVERIFY(direct->getResponseAsBytes().isEmpty());

        // Asked by address on this machine: still no file.
        QScopedPointer<Http> h(Http::createGETrequest(proxy->base() + "/feed", QString()));
        QCOMPARE(run(h.data()), int(Http::STATE_ERROR_HTTP));
        QVERIFY(!h->getResponseAsBytes().contains("66"));

        // Asked by a feed's name: the channel keeps what it had and caches nothing.
        RSSChannel kraj(RSSChannel::Kraj, nullptr);
        QSignalSpy done(&kraj, &RSSChannel::articlesUpadted);
        kraj.updateArticles(false);
        QVERIFY(done.wait(3000));
        QVERIFY(kraj.getArticles().isEmpty());
        QVERIFY(!cache("rssKraj").contains("66"));
        QCOMPARE(proxy->targets.size(), 2);
    }

    // The spellings of this machine's addresses are in tst_downloadservice's table.
    void aPublicNameRedirectedToThisMachineIsRefused_data()
    {
        QTest::addColumn<QString>("target"); // %1 the port of the local service
        QTest::newRow("127.0.0.1") << "http://127.0.0.1:%1/admin";
        QTest::newRow("localhost") << "http://localhost:%1/admin";
        QTest::newRow("https") << "https://127.0.0.1:%1/admin";
        QTest::newRow("relative to the scheme") << "//127.0.0.1:%1/admin";
    }

    void aPublicNameRedirectedToThisMachineIsRefused()
    {
        QFETCH(QString, target);
        RawServer local;
        QVERIFY(local.start());
        const QByteArray location = target.arg(local.serverPort()).toLatin1();
        proxy->handler = [location](const QByteArray&, const QByteArray&) { return RawServer::redirect(location); };
        QScopedPointer<Http> h(Http::createGETrequest(RSSChannel::urlForType(RSSChannel::Kraj), QString()));
        QCOMPARE(run(h.data()), int(Http::STATE_ERROR_HTTP));
        QVERIFY(h->getResponseAsBytes().isEmpty());
        TestEnv::spin(100);
        QCOMPARE(local.connections, 0);
        // Through the proxy neither: one request, the first.
        QCOMPARE(proxy->targets.size(), 1);
    }

    // The rule judges targets only: the proxy still carries public names, and redirects among
    // them are followed (within this machine: tst_http).
    void redirectsOnTheWebAreFollowed()
    {
        proxy->handler = [](const QByteArray& target, const QByteArray&) {
            if (target.startsWith("http://rss.kurendal.pl/"))
                return RawServer::redirect("http://www.kurendal.pl/moved");
            return feedAnswer({5});
        };
        QScopedPointer<Http> web(Http::createGETrequest(RSSChannel::urlForType(RSSChannel::Kraj), QString()));
        QCOMPARE(run(web.data()), int(Http::STATE_COMPLETED));
        QCOMPARE(proxy->targets.last(), QByteArray("http://www.kurendal.pl/moved"));
    }
};

QTEST_MAIN(TestHostileNetwork)
#include "tst_hostilenetwork.moc"
