#include <QNetworkProxy>
#include <QSslConfiguration>
#include <QtTest>

#include "logic/ads/bannerinfo.h"
#include "logic/news/channel.h"
#include "logic/net/reachability.h"
#include "logic/net/downloadservice.h"
#include "logic/net/request.h"
#include "sampleserver/sampleserver.h"
#include "tests/support/testenv.h"

// Every request goes to servers of the test's own on 127.0.0.1: `direct` is asked by address,
// `proxy` plays the publisher's and ad hosts (and https hosts through its tunnels).
class TestDownloadService : public QObject
{
    Q_OBJECT
private:
    SampleServer* direct = nullptr;
    SampleServer* proxy = nullptr;

    QString url(const QString& path) const { return direct->baseUrl() + path; }

    static QString feedPath(RSSChannel::ChannelType type) { return TestEnv::feedPath(type); }
    static int run(Http* http) { return TestEnv::run(http); }
    void viaProxy() const
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", proxy->serverPort()));
    }

    static SampleServer::Reply slow(const QByteArray& body, int delayMs)
    {
        SampleServer::Reply r = SampleServer::text(body);
        r.delayMs = delayMs;
        return r;
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        direct = new SampleServer(this);
        QVERIFY(direct->start());
        direct->setKeepAlive(true);
        proxy = new SampleServer(this);
        QVERIFY(proxy->start());
        proxy->setKeepAlive(true);
        QVERIFY(proxy->setTlsFiles(KURENDAL_SAMPLE_TLS "/server.pem", KURENDAL_SAMPLE_TLS "/server.key"));
        // Trusted as the program trusts a developer's own authorities: named by SSL_CERT_FILE.
        qputenv("SSL_CERT_FILE", SampleServer::testAuthorityFile().toUtf8());
        QMetaObject::invokeMethod(new Reachability(this), "opened");
    }

    void init()
    {
        TestEnv::noProxy();
        // Each case counts its own connections.
        DownloadService::instance()->manager()->clearConnectionCache();
        TestEnv::spin(50);
        direct->clearRequests();
        proxy->clearRequests();
    }

    void requestsToOneHostShareAConnection()
    {
        direct->route("*", "/thumb", SampleServer::text("picture"));
        const int before = direct->connectionsAccepted();
        for (int i = 0; i < 5; ++i) {
            QScopedPointer<Http> h(Http::createGETrequest(url("/thumb"), QString::number(i)));
            QCOMPARE(run(h.data()), int(Http::STATE_COMPLETED));
            QCOMPARE(h->getResponseAsBytes(), QByteArray("picture"));
        }
        QCOMPARE(direct->requests().size(), 5);
        QCOMPARE(direct->connectionsAccepted() - before, 1);
    }

    void httpsRequestsShareOneTunnelAndHandshake()
    {
        viaProxy();
        // The one name the test authority signed.
        proxy->route("api.twitter.com", "/a.png", SampleServer::text("png"));
        const int before = proxy->connectionsAccepted();
        for (int i = 0; i < 3; ++i) {
            QScopedPointer<Http> h(Http::createGETrequest("https://api.twitter.com/a.png", QString()));
            QCOMPARE(run(h.data()), int(Http::STATE_COMPLETED));
        }
        QCOMPARE(proxy->requests().size(), 3);
        QCOMPARE(proxy->requests().last().scheme, QString("https"));
        QCOMPARE(proxy->connectionsAccepted() - before, 1);
    }

    // Two queues of the service: feeds one at a time, advertisements one at a time, side by side.
    void feedsStayOneAtATimeBesideTheAdvertisements()
    {
        viaProxy();
        int feedsInFlight = 0, mostFeedsInFlight = 0;
        const QList<RSSChannel::ChannelType> types{RSSChannel::Kraj, RSSChannel::Swiat, RSSChannel::Sport};
        for (RSSChannel::ChannelType type : types) {
            proxy->route("rss.kurendal.pl", feedPath(type), [&](const SampleServer::Request&) {
                mostFeedsInFlight = qMax(mostFeedsInFlight, ++feedsInFlight);
                QTimer::singleShot(150, [&] { --feedsInFlight; }); // the reply goes at 200 ms
                return slow(TestEnv::feed({1}), 200);
            });
        }
        proxy->route("ads.kurendal.pl", "/ad/GetBanMb", slow("{}", 200));

        RSSChannel kraj(RSSChannel::Kraj, nullptr), swiat(RSSChannel::Swiat, nullptr), sport(RSSChannel::Sport, nullptr);
        kraj.updateArticles(false);
        swiat.updateArticles(false);
        sport.updateArticles(false);
        BannerInfo* banners = BannerInfo::getSingleton();
        banners->startUpdate();
        TestEnv::spin(100);
        // One feed and one description are asked for; the rest wait in their queues.
        QCOMPARE(proxy->requests().size(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(!kraj.isUpdating() && !swiat.isUpdating() && !sport.isUpdating(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!banners->isDownloading(), 5000);
        QCOMPARE(mostFeedsInFlight, 1);
        QStringList feeds;
        int descriptions = 0;
        for (const SampleServer::Request& r : proxy->requests()) {
            if (r.host == "rss.kurendal.pl")
                feeds << r.path;
            else
                ++descriptions;
        }
        QCOMPARE(feeds, QStringList() << feedPath(RSSChannel::Kraj) << feedPath(RSSChannel::Swiat)
                                      << feedPath(RSSChannel::Sport));
        QCOMPARE(descriptions, 3);
        BannerInfo::releaseSingleton();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void aChannelDestroyedWhileDownloadingLetsTheNextOneRun()
    {
        viaProxy();
        proxy->route("rss.kurendal.pl", feedPath(RSSChannel::Kultura), slow(TestEnv::feed({1}), 3000));
        proxy->route("rss.kurendal.pl", feedPath(RSSChannel::Gospodarka), SampleServer::text(TestEnv::feed({7})));
        RSSChannel* kultura = new RSSChannel(RSSChannel::Kultura, nullptr);
        RSSChannel gospodarka(RSSChannel::Gospodarka, nullptr);
        QSignalSpy done(&gospodarka, &RSSChannel::articlesUpadted);
        kultura->updateArticles(false);
        gospodarka.updateArticles(false);
        QTRY_COMPARE(proxy->requests().size(), 1);
        delete kultura;
        QVERIFY(done.wait(2000));
        QCOMPARE(gospodarka.getArticles().size(), 1);
    }

    // More requests to one host than Qt opens connections to it: those beyond wait untimed, so a
    // slow host answering every request in turn times none of them out.
    void requestsWaitingForAConnectionDoNotTimeOut()
    {
        direct->route("*", "/slow", slow("picture", 600));
        QList<Http*> all;
        QSignalSpy* spies[2 * DownloadService::connectionsPerHost + 1];
        for (int i = 0; i < 2 * DownloadService::connectionsPerHost + 1; ++i) {
            Http* h = Http::createGETrequest(url("/slow"), QString::number(i));
            h->setTimeout(1000);
            spies[i] = new QSignalSpy(h, &Http::statusChanged);
            all << h;
        }
        for (Http* h : all)
            h->execute();
        for (int i = 0; i < all.size(); ++i) {
            QVERIFY(spies[i]->count() > 0 || spies[i]->wait(5000));
            QCOMPARE(all[i]->getStatus(), int(Http::STATE_COMPLETED));
            delete spies[i];
        }
        qDeleteAll(all);
    }

    void redirectDecisions_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("allowed");
        const QString pub = "http://rss.kurendal.pl/pub/rss/kraj.xml";
        const QString mine = "http://127.0.0.1:18080/feed";
        // On the web.
        QTest::newRow("public to public") << pub << "http://www.kurendal.pl/x" << true;
        QTest::newRow("to https") << pub << "https://www.kurendal.pl/x" << true;
        QTest::newRow("scheme in capitals") << pub << "HTTPS://WWW.KURENDAL.PL/x" << true;
        QTest::newRow("public address") << pub << "http://8.8.8.8/x" << true;
        QTest::newRow("public IPv6") << pub << "http://[2001:4860::8888]/x" << true;
        QTest::newRow("public v4 inside v6") << pub << "http://[::ffff:8.8.8.8]/x" << true;
        QTest::newRow("just outside 172.16/12") << pub << "http://172.32.0.1/x" << true;
        QTest::newRow("just outside 100.64/10") << pub << "http://100.128.0.1/x" << true;
        QTest::newRow("a name that merely starts so") << pub << "http://localhost.kurendal.pl/x" << true;
        QTest::newRow("a name made of digits") << pub << "http://127.0.0.1.kurendal.pl/x" << true;
        // Not the web, from anywhere.
        QTest::newRow("file") << pub << "file:///etc/passwd" << false;
        QTest::newRow("file from this machine") << mine << "file:///home/user/.config/x" << false;
        QTest::newRow("qrc") << mine << "qrc:/qml/main.qml" << false;
        QTest::newRow("data") << pub << "data:text/xml,<iphonefeed/>" << false;
        QTest::newRow("ftp") << pub << "ftp://ftp.kurendal.pl/x" << false;
        QTest::newRow("no host") << pub << "http:///etc/passwd" << false;
        // From a public name to this machine or its network.
        QTest::newRow("loopback") << pub << "http://127.0.0.1:631/" << false;
        QTest::newRow("loopback /8") << pub << "http://127.45.6.7/" << false;
        QTest::newRow("localhost") << pub << "http://localhost:8080/" << false;
        QTest::newRow("localhost, capitals, dot") << pub << "http://LocalHost./" << false;
        QTest::newRow("a localhost subdomain") << pub << "http://admin.localhost/" << false;
        QTest::newRow("decimal") << pub << "http://2130706433/" << false;
        QTest::newRow("hexadecimal") << pub << "http://0x7f.0.0.1/" << false;
        QTest::newRow("octal") << pub << "http://0177.0.0.1/" << false;
        QTest::newRow("short") << pub << "http://127.1/" << false;
        QTest::newRow("percent-encoded") << pub << "http://%31%32%37.0.0.1/" << false;
        QTest::newRow("zero") << pub << "http://0.0.0.0:8080/" << false;
        QTest::newRow("10/8") << pub << "http://10.1.2.3/" << false;
        QTest::newRow("172.16/12") << pub << "http://172.31.255.254/" << false;
        QTest::newRow("192.168/16") << pub << "http://192.168.1.1/admin" << false;
        QTest::newRow("carrier NAT") << pub << "http://100.64.0.1/" << false;
        QTest::newRow("link-local, cloud metadata") << pub << "http://169.254.169.254/latest/meta-data/" << false;
        QTest::newRow("multicast") << pub << "http://239.255.255.250:1900/" << false;
        QTest::newRow("broadcast") << pub << "http://255.255.255.255/" << false;
        QTest::newRow("IPv6 loopback") << pub << "http://[::1]:8080/" << false;
        QTest::newRow("IPv6 unspecified") << pub << "http://[::]/" << false;
        QTest::newRow("mapped loopback") << pub << "http://[::ffff:127.0.0.1]/" << false;
        QTest::newRow("mapped, hex") << pub << "http://[::ffff:7f00:1]/" << false;
        QTest::newRow("mapped private") << pub << "http://[::ffff:192.168.0.1]/" << false;
        QTest::newRow("compatible loopback") << pub << "http://[::127.0.0.1]/" << false;
        QTest::newRow("NAT64 of loopback") << pub << "http://[64:ff9b::7f00:1]/" << false;
        QTest::newRow("6to4 of private") << pub << "http://[2002:c0a8:0101::1]/" << false;
        QTest::newRow("IPv6 link-local") << pub << "http://[fe80::1]/" << false;
        QTest::newRow("IPv6 link-local with zone") << pub << "http://[fe80::1%25eth0]/" << false;
        QTest::newRow("IPv6 unique local") << pub << "http://[fd12:3456::1]/" << false;
        QTest::newRow("IPv6 multicast") << pub << "http://[ff02::1]/" << false;
        // A request made to this machine may stay on it (the sample service, a test server).
        QTest::newRow("loopback to loopback") << mine << "http://127.0.0.1:18081/other" << true;
        QTest::newRow("loopback to localhost") << mine << "http://localhost/" << true;
        QTest::newRow("localhost to private") << "http://localhost/" << "http://192.168.1.1/" << true;
        QTest::newRow("private to public") << "http://10.0.0.2/" << "http://www.kurendal.pl/" << true;
        QTest::newRow("private to loopback") << "http://192.168.0.10/" << "http://127.0.0.1/" << true;
    }

    void redirectDecisions()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, allowed);
        QCOMPARE(DownloadService::redirectAllowed(QUrl(from), QUrl(from).resolved(QUrl(to))), allowed);
    }

    // Requests let go mid-way (a time-out: tst_http; the size bound: tst_networkfaults): released
    // while running, or aborted by cancel, neither reports again, nor blocks the next.
    void theServiceOutlivesARequestLetGo()
    {
        direct->route("*", "/silent", slow("late", 2000));
        direct->route("*", "/ok", SampleServer::text("ok"));
        Http* dropped = Http::createGETrequest(url("/silent"), QString());
        QSignalSpy droppedSpy(dropped, &Http::statusChanged);
        dropped->execute();
        TestEnv::spin(50);
        delete dropped;
        QScopedPointer<Http> cancelled(Http::createGETrequest(url("/silent"), QString()));
        QSignalSpy cancelledSpy(cancelled.data(), &Http::statusChanged);
        cancelled->execute();
        TestEnv::spin(50);
        cancelled->cancelRequestNoEmit();

        QScopedPointer<Http> ok(Http::createGETrequest(url("/ok"), QString()));
        QCOMPARE(run(ok.data()), int(Http::STATE_COMPLETED));
        QCOMPARE(ok->getResponseAsBytes(), QByteArray("ok"));
        TestEnv::spin(200);
        QCOMPARE(droppedSpy.count(), 0);
        QCOMPARE(cancelledSpy.count(), 0);
        QCOMPARE(cancelled->getStatus(), int(Http::STATE_CANCELLED));
    }
};

QTEST_MAIN(TestDownloadService)
#include "tst_downloadservice.moc"
