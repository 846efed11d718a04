#include <QNetworkProxy>
#include <QSslConfiguration>
#include <QtTest>

#include "Logic/bannerinfo.h"
#include "Logic/rsschannel.h"
#include "foundation/reachability.h"
#include "http/downloadservice.h"
#include "http/myhttp.h"
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

    static QString feedPath(RSSChannel::ChannelType type) { return QUrl(RSSChannel::urlForType(type)).path(); }

    // Runs the request to its final state and returns that state.
    static int run(Http* http, int waitMs = 5000)
    {
        QSignalSpy spy(http, &Http::statusChanged);
        http->execute();
        if (!spy.wait(waitMs))
            return Http::STATE_RUNNING;
        return http->getStatus();
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
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(SampleServer::testAuthorityFile());
        QSslConfiguration::setDefaultConfiguration(tls);
        QMetaObject::invokeMethod(new Reachability(this), "opened");
    }

    void init()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
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
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", proxy->serverPort()));
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
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", proxy->serverPort()));
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
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", proxy->serverPort()));
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

    // Time-out, size bound and a request let go mid-way: the next request on the service still works.
    void limitsApplyAndTheServiceOutlivesAFailedRequest()
    {
        direct->route("*", "/silent", slow("late", 2000));
        direct->route("*", "/big", SampleServer::text(QByteArray(DownloadService::maxResponseBytes + 1, 'x')));
        direct->route("*", "/ok", SampleServer::text("ok"));

        QScopedPointer<Http> late(Http::createGETrequest(url("/silent"), QString()));
        late->setTimeout(200);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(run(late.data()), int(Http::STATE_ERROR_HTTP));
        QVERIFY(clock.elapsed() < 1500);

        QScopedPointer<Http> big(Http::createGETrequest(url("/big"), QString()));
        QCOMPARE(run(big.data()), int(Http::STATE_ERROR_HTTP));
        QCOMPARE(big->getResponseLength(), 0);

        // Released while running, then aborted by cancel: neither reports again, nor blocks the next.
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
