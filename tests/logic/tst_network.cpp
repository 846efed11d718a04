#include <QNetworkReply>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include "logic/ads/bannerinfo.h"
#include "logic/news/channel.h"
#include "logic/sharing/blipclient.h"
#include "logic/net/downloadservice.h"
#include "logic/net/oauthmanager.h"
#include "logic/net/oauthrequest.h"
#include "logic/net/reachability.h"
#include "logic/net/request.h"
#include "sampleserver/sampleserver.h"
#include "tests/support/testenv.h"

using Kind = DownloadService::Kind;
static const QList<Kind> allKinds{Kind::Feed, Kind::Picture, Kind::Report, Kind::Sharing};

// A server on 127.0.0.1 that answers as badly as the test asks: a body that stops, trickles or
// comes slowly; it takes proxy-form requests too, so it can be the program's HTTP proxy. Every
// answer closes the connection, and announces its length unless asked not to.
class RawServer : public QTcpServer
{
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        int firstBytes = -1; // body bytes sent at once; -1: the whole body
        int chunk = 1;       // the rest in pieces of this many bytes...
        int everyMs = 0;     // ...one every everyMs; 0: the rest never comes
        bool announced = true; // with a Content-Length
    };
    // Gets the request target as it was sent (absolute in proxy form) and the request body.
    using Handler = std::function<Answer(const QByteArray& target, const QByteArray& body)>;

    Handler handler = [](const QByteArray&, const QByteArray&) { return Answer(); };
    QList<QByteArray> targets; // every request target, in order
    int connections = 0;
    int closedByClient = 0; // connections the other side closed before the answer was whole

    explicit RawServer(QObject* parent = nullptr) : QTcpServer(parent)
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                take(socket);
        });
    }

    // Its connections go first, without reporting to the half-destroyed server.
    ~RawServer() override
    {
        for (QTcpSocket* socket : findChildren<QTcpSocket*>()) {
            socket->disconnect();
            delete socket;
        }
    }

    bool start() { return listen(QHostAddress::LocalHost); }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

    static Answer redirect(const QByteArray& location)
    {
        Answer a;
        a.status = 302;
        a.headers << qMakePair(QByteArray("Location"), location);
        return a;
    }
    // Only the path of a target, absolute or not.
    static QString path(const QByteArray& target) { return QUrl(QString::fromLatin1(target)).path(); }

private:
    void take(QTcpSocket* socket)
    {
        ++connections;
        QSharedPointer<QByteArray> received(new QByteArray);
        QSharedPointer<bool> answered(new bool(false));
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received, answered] {
            received->append(socket->readAll());
            const int end = received->indexOf("\r\n\r\n");
            if (*answered || end < 0)
                return;
            const QByteArray head = received->left(end);
            qint64 length = 0;
            for (const QByteArray& line : head.split('\n')) {
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            }
            if (received->size() < end + 4 + length)
                return;
            *answered = true;
            const QList<QByteArray> requestLine = head.left(head.indexOf('\r')).split(' ');
            const QByteArray target = requestLine.value(1);
            targets << target;
            answer(socket, handler(target, received->mid(end + 4, int(length))));
        });
        connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            if (!socket->property("whole").toBool())
                ++closedByClient;
            socket->deleteLater();
        });
    }

    void answer(QTcpSocket* socket, const Answer& a)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " X\r\nConnection: close\r\n";
        if (a.announced)
            head += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
        for (const auto& h : a.headers)
            head += h.first + ": " + h.second + "\r\n";
        socket->write(head + "\r\n");
        const int first = a.firstBytes < 0 ? a.body.size() : qMin(a.firstBytes, a.body.size());
        socket->write(a.body.left(first));
        if (first == a.body.size()) {
            finish(socket);
            return;
        }
        if (a.everyMs <= 0)
            return; // stalls with the connection open
        QTimer* timer = new QTimer(socket);
        QSharedPointer<int> sent(new int(first));
        const QByteArray body = a.body;
        const int chunk = qMax(1, a.chunk);
        connect(timer, &QTimer::timeout, socket, [this, socket, timer, sent, body, chunk] {
            socket->write(body.mid(*sent, chunk));
            *sent += chunk;
            if (*sent >= body.size()) {
                timer->stop();
                finish(socket);
            }
        });
        timer->start(a.everyMs);
    }

    static void finish(QTcpSocket* socket)
    {
        socket->setProperty("whole", true);
        socket->disconnectFromHost();
    }
};

// Requests, the download service, and the feeds and OAuth requests over them, against servers of
// the test's own on 127.0.0.1: `direct` is asked by address; `proxy` plays the publisher's and ad
// hosts (and https hosts through its tunnels); `hostile` stops, crawls or redirects where it must not.
class TestNetwork : public QObject
{
    Q_OBJECT
private:
    SampleServer* direct = nullptr;
    SampleServer* proxy = nullptr;
    RawServer* hostile = nullptr;
    Reachability* reachability = nullptr;
    QHash<int, DownloadService::Limits> defaultLimits;

    QString url(const QString& path) const { return direct->baseUrl() + path; }
    static QString feedPath(RSSChannel::ChannelType type) { return TestEnv::feedPath(type); }
    static QVector<int> ids(const RSSChannel& c) { return TestEnv::sortedIds(c); }
    static QByteArray cache(const QString& name) { return TestEnv::readData(name); }

    // Public names go to the proxy; Qt sends loopback addresses straight to their port.
    void viaProxy() const { TestEnv::proxyThrough(*proxy); }
    void viaHostile() const { TestEnv::proxyThrough(*hostile); }
    void setOnline(bool online) { QMetaObject::invokeMethod(reachability, online ? "opened" : "closed"); }

    // Runs a request until it reports: its state then, STATE_RUNNING when it did not report in
    // 5 s, and -1 when it reported again within 100 ms. *elapsed: the time to its report.
    static int run(Http* http, qint64* elapsed = nullptr)
    {
        QSignalSpy spy(http, &Http::statusChanged);
        QElapsedTimer clock;
        clock.start();
        http->execute();
        if (!spy.wait(5000))
            return Http::STATE_RUNNING;
        if (elapsed)
            *elapsed = clock.elapsed();
        TestEnv::spin(100);
        return spy.count() == 1 ? http->getStatus() : -1;
    }
    int get(const QString& target, QScopedPointer<Http>& http, const QString& values = QString())
    {
        http.reset(Http::createGETrequest(target, values));
        return run(http.data());
    }

    static SampleServer::Reply slow(const QByteArray& body, int delayMs)
    {
        SampleServer::Reply r = SampleServer::text(body);
        r.delayMs = delayMs;
        return r;
    }
    static SampleServer::Reply xmlFeed(const QVector<int>& ids)
    {
        return SampleServer::text(TestEnv::feed(ids), "text/xml");
    }
    static RawServer::Answer feedAnswer(const QVector<int>& ids)
    {
        RawServer::Answer a;
        a.body = TestEnv::feed(ids);
        a.headers << qMakePair(QByteArray("Content-Type"), QByteArray("text/xml"));
        return a;
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
        hostile = new RawServer(this);
        QVERIFY(hostile->start());
        reachability = new Reachability(this);
        setOnline(true);
        for (Kind kind : allKinds)
            defaultLimits[int(kind)] = DownloadService::instance()->limits(kind);
    }

    void init()
    {
        TestEnv::noProxy();
        TestEnv::clearData();
        for (Kind kind : allKinds)
            DownloadService::instance()->setLimits(kind, defaultLimits[int(kind)]);
        // Each case counts its own connections.
        DownloadService::instance()->manager()->clearConnectionCache();
        TestEnv::spin(50);
        direct->clearRequests();
        proxy->clearRequests();
        hostile->targets.clear();
        hostile->handler = [](const QByteArray&, const QByteArray&) { return feedAnswer({1}); };
    }

    void requestsCarryTheHostValuesAndBodiesAsGiven()
    {
        direct->route("*", "/feed", SampleServer::text("zażółć"));
        QScopedPointer<Http> http;
        QCOMPARE(get(url("/feed"), http), int(Http::STATE_COMPLETED));
        QCOMPARE(http->getResponseAsString(), QString::fromUtf8("zażółć"));
        QCOMPARE(direct->requests().last().query, QString());

        // One "?" is added even when the host string has a query already.
        get(url("/feed?a=1"), http, "b=2");
        QCOMPARE(direct->requests().last().query, QString("a=1?b=2"));

        http.reset(Http::createPOSTrequest(url("/feed"), QString::fromUtf8("a=1&b=ż x")));
        run(http.data());
        SampleServer::Request r = direct->requests().last();
        QCOMPARE(r.method, QByteArray("POST"));
        QCOMPARE(r.body, QByteArray("a=1&b=%C5%BC%20x"));
        QCOMPARE(r.headers.value("content-type"), Http::aux_strCONTENT_TYPE_URLENCODED);
        const QByteArray binary("\x00\x01\xff", 3);
        http.reset(Http::createPOSTrequest(url("/feed"), binary));
        run(http.data());
        r = direct->requests().last();
        QCOMPARE(r.body, binary);
        QCOMPARE(r.headers.value("content-type"), Http::aux_strCONTENT_TYPE_OCTET);
    }

    // (Redirects followed: the time-out's hops, the OAuth manager's, and those on the web.)
    void redirectsAreBounded()
    {
        // A redirect to the very same URL is taken as the final response.
        direct->route("*", "/self", SampleServer::redirect(url("/self")));
        QScopedPointer<Http> http;
        QCOMPARE(get(url("/self"), http), int(Http::STATE_COMPLETED));
        QCOMPARE(http->getResponseAsString(), QString("moved"));
        QCOMPARE(direct->requests().size(), 1);

        // A chain that never repeats itself ends in an error after the bound.
        direct->clearRequests();
        direct->route("*", "/loop", [this](const SampleServer::Request& r) {
            return SampleServer::redirect(url("/loop?n=" + QString::number(r.query.mid(2).toInt() + 1)));
        });
        QCOMPARE(get(url("/loop"), http, "n=0"), int(Http::STATE_ERROR_HTTP));
        QCOMPARE(direct->requests().size(), Http::maxRedirects + 1);
    }

    // An error page, an empty body, NUL bytes, a connection dropped mid-body, no server at all.
    void answersOtherThanAWholeText()
    {
        SampleServer::Reply missing = SampleServer::text("<html>brak</html>", "text/html");
        missing.status = 404;
        direct->route("*", "/missing", missing);
        QScopedPointer<Http> http;
        QCOMPARE(get(url("/missing"), http), int(Http::STATE_ERROR_HTTP));
        QCOMPARE(http->getResponseAsString(), QString()); // the page stays in the bytes only
        QCOMPARE(http->getResponseAsBytes(), missing.body);

        direct->route("*", "/empty", SampleServer::text(QByteArray()));
        QCOMPARE(get(url("/empty"), http), int(Http::STATE_COMPLETED));

        direct->route("*", "/nul", SampleServer::text(QByteArray("ab\0cd", 5)));
        get(url("/nul"), http);
        QCOMPARE(http->getResponseAsString(), QString("ab"));
        QCOMPARE(http->getResponseLength(), 5);

        SampleServer::Reply cut = SampleServer::text(QByteArray(10000, 'x'));
        cut.closeAfterBytes = 100;
        direct->route("*", "/cut", cut);
        QCOMPARE(get(url("/cut"), http), int(Http::STATE_ERROR_HTTP));
        QVERIFY(http->getResponseAsBytes().size() <= 100);

        QCOMPARE(get(QString("http://127.0.0.1:%1/").arg(TestEnv::deadPort()), http), int(Http::STATE_ERROR_HTTP));
        // A local file is not read, not even when asked for by name.
        QCOMPARE(get(QUrl::fromLocalFile(QCoreApplication::applicationFilePath()).toString(), http),
                 int(Http::STATE_ERROR_HTTP));
        QVERIFY(http->getResponseAsBytes().isEmpty());
    }

    // The aborted reply of a body over the bound reports nothing more (checked by run()).
    void aBodyOverTheBoundFailsTheRequest_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("announced");
        QTest::newRow("announced") << Http::maxResponseBytes + 1 << true;
        QTest::newRow("cut as it comes") << Http::maxResponseBytes + 1 << false;
        QTest::newRow("just fits") << Http::maxResponseBytes << true;
    }

    void aBodyOverTheBoundFailsTheRequest()
    {
        QFETCH(int, bytes);
        QFETCH(bool, announced);
        hostile->handler = [=](const QByteArray&, const QByteArray&) {
            RawServer::Answer a;
            a.body = QByteArray(bytes, 'x');
            a.announced = announced;
            return a;
        };
        QScopedPointer<Http> http;
        const bool fits = bytes <= Http::maxResponseBytes;
        QCOMPARE(get(hostile->base() + "/big", http), int(fits ? Http::STATE_COMPLETED : Http::STATE_ERROR_HTTP));
        QCOMPARE(http->getResponseLength(), fits ? bytes : 0);
    }

    void timeoutLimitsTheWaitForTheFirstByte()
    {
        direct->route("*", "/slow", slow("late", 1500));
        QScopedPointer<Http> http(Http::createGETrequest(url("/slow"), QString()));
        http->setTimeout(200);
        qint64 elapsed = 0;
        // The aborted reply finishing later reports nothing more.
        QCOMPARE(run(http.data(), &elapsed), int(Http::STATE_ERROR_HTTP));
        QVERIFY(elapsed < 1400);

        // Without a network session ten more seconds are granted.
        setOnline(false);
        http.reset(Http::createGETrequest(url("/slow"), QString()));
        http->setTimeout(200);
        QCOMPARE(run(http.data()), int(Http::STATE_COMPLETED));
        setOnline(true);

        // Each redirect hop has the whole first-byte time: the first hop's wait ends with it.
        hostile->handler = [](const QByteArray& target, const QByteArray&) {
            RawServer::Answer a = target == "/hop" ? RawServer::redirect("/late") : RawServer::Answer();
            a.body = QByteArray(10, 'x');
            a.firstBytes = 0;
            a.chunk = 10;
            a.everyMs = 300; // each hop's first byte 300 ms after its request
            return a;
        };
        http.reset(Http::createGETrequest(hostile->base() + "/hop", QString()));
        http->setTimeout(450);
        QCOMPARE(run(http.data()), int(Http::STATE_COMPLETED));
        QCOMPARE(hostile->targets, (QList<QByteArray>{"/hop", "/late"}));
    }

    // Requests let go mid-way: one not yet sent, cancelled, reports that once; one released
    // while running, or aborted by cancelRequestNoEmit, reports never, and blocks nothing.
    void theServiceOutlivesARequestLetGo()
    {
        QScopedPointer<Http> never(Http::createGETrequest(url("/never"), QString()));
        QSignalSpy neverSpy(never.data(), &Http::statusChanged);
        never->cancelRequest();
        QCOMPARE(neverSpy.count(), 1);
        QCOMPARE(never->getStatus(), int(Http::STATE_CANCELLED));

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

        QScopedPointer<Http> ok;
        QCOMPARE(get(url("/ok"), ok), int(Http::STATE_COMPLETED));
        QCOMPARE(ok->getResponseAsBytes(), QByteArray("ok"));
        TestEnv::spin(200);
        QCOMPARE(droppedSpy.count(), 0);
        QCOMPARE(cancelledSpy.count(), 0);
        QCOMPARE(cancelled->getStatus(), int(Http::STATE_CANCELLED));
    }

    // Given up while its failed reply winds down, a request leaves that reply to end by itself:
    // Qt warns when a reply is ended twice.
    void aFailedReplyIsNeverEndedTwice()
    {
        static QStringList warnings;
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
            warnings << m;
        });
        QScopedPointer<Http> http(Http::createGETrequest(QString("http://127.0.0.1:%1/").arg(TestEnv::deadPort()), QString()));
        http->execute();
        QNetworkReply* reply = nullptr;
        QTRY_VERIFY((reply = DownloadService::instance()->manager()->findChild<QNetworkReply*>()));
        connect(reply, &QNetworkReply::errorOccurred, http.data(), [&http] { http->cancelRequestNoEmit(); });
        QTRY_COMPARE(http->getStatus(), int(Http::STATE_CANCELLED));
        TestEnv::spin(100);
        http.reset();
        qInstallMessageHandler(previous);
        QCOMPARE(warnings.filter("only be called once"), QStringList());
    }

    // Requests to one host share a connection; https ones, through the proxy, one tunnel and handshake.
    void requestsToOneHostShareAConnection()
    {
        viaProxy();
        direct->route("*", "/thumb", SampleServer::text("picture"));
        proxy->route("api.twitter.com", "/thumb", SampleServer::text("picture")); // the name the test authority signed
        for (SampleServer* server : {direct, proxy}) {
            const int before = server->connectionsAccepted();
            for (int i = 0; i < 3; ++i) {
                QScopedPointer<Http> h;
                const QString target = server == direct ? url("/thumb") : "https://api.twitter.com/thumb";
                QCOMPARE(get(target, h, QString::number(i)), int(Http::STATE_COMPLETED));
                QCOMPARE(h->getResponseAsBytes(), QByteArray("picture"));
            }
            QCOMPARE(server->requests().size(), 3);
            QCOMPARE(server->connectionsAccepted() - before, 1);
        }
        QCOMPARE(proxy->requests().last().scheme, QString("https"));
    }

    // Two queues of the service: feeds one at a time in the order asked, advertisements one at a
    // time, side by side.
    void feedsStayOneAtATimeBesideTheAdvertisements()
    {
        viaProxy();
        int feedsInFlight = 0, mostFeedsInFlight = 0;
        for (RSSChannel::ChannelType type : {RSSChannel::Kraj, RSSChannel::Swiat, RSSChannel::Sport}) {
            proxy->route("rss.kurendal.pl", feedPath(type), [&, type](const SampleServer::Request&) {
                mostFeedsInFlight = qMax(mostFeedsInFlight, ++feedsInFlight);
                QTimer::singleShot(150, [&] { --feedsInFlight; }); // the reply goes at 200 ms
                return slow(TestEnv::feed({100 + type}), 200);
            });
        }
        proxy->route("ads.kurendal.pl", "/ad/GetBanMb", slow("{}", 200));

        RSSChannel kraj(RSSChannel::Kraj, nullptr), swiat(RSSChannel::Swiat, nullptr), sport(RSSChannel::Sport, nullptr);
        kraj.updateArticles(false);
        swiat.updateArticles(false);
        sport.updateArticles(false);
        QVERIFY(kraj.isUpdating() && swiat.isUpdating() && sport.isUpdating());
        swiat.updateArticles(false); // asked again while waiting: it goes to the end of the queue
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
        QCOMPARE(feeds, QStringList() << feedPath(RSSChannel::Kraj) << feedPath(RSSChannel::Sport)
                                      << feedPath(RSSChannel::Swiat));
        QCOMPARE(ids(swiat), QVector<int>{100 + RSSChannel::Swiat});
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
        std::vector<std::unique_ptr<Http>> all;
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (int i = 0; i < 2 * DownloadService::connectionsPerHost + 1; ++i) {
            all.emplace_back(Http::createGETrequest(url("/slow"), QString::number(i)));
            all.back()->setTimeout(1000);
            spies.emplace_back(new QSignalSpy(all.back().get(), &Http::statusChanged));
        }
        for (const auto& h : all)
            h->execute();
        for (size_t i = 0; i < all.size(); ++i) {
            QVERIFY(spies[i]->count() > 0 || spies[i]->wait(5000));
            QCOMPARE(all[i]->getStatus(), int(Http::STATE_COMPLETED));
        }
    }

    // The publisher's server misbehaves during a refresh: the channel keeps the list it had, the
    // feed queued behind it still arrives, and the event loop never stalls.
    void aFeedThatFailsLeavesTheListAndTheQueueWorking_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("closed mid-body") << 0;
        QTest::newRow("500 with a feed as its page") << 1;
        QTest::newRow("50 MB body") << 2;
        QTest::newRow("no answer") << 3;
        QTest::newRow("empty") << 4;
        QTest::newRow("a page that is no feed") << 5;
    }

    void aFeedThatFailsLeavesTheListAndTheQueueWorking()
    {
        QFETCH(int, kind);
        viaProxy();
        proxy->route("rss.kurendal.pl", feedPath(RSSChannel::Kraj), xmlFeed({1, 2, 3}));
        proxy->route("rss.kurendal.pl", feedPath(RSSChannel::Swiat), xmlFeed({20, 21}));
        RSSChannel kraj(RSSChannel::Kraj, nullptr), swiat(RSSChannel::Swiat, nullptr);
        QVERIFY(TestEnv::refreshed(kraj));
        QCOMPARE(ids(kraj), (QVector<int>{1, 2, 3}));
        const QByteArray saved = cache("rssKraj");
        const QDateTime updated = kraj.getLastUpdateTime();

        SampleServer::Reply bad = xmlFeed({100, 101, 102});
        switch (kind) {
        case 0:
            bad.closeAfterBytes = bad.body.size() / 2;
            break;
        case 1:
            bad.status = 500;
            break;
        case 2:
            // Well formed: without a bound on the body it would be taken as the feed.
            bad.body.insert(int(strlen("<iphonefeed>")), QByteArray(50 * 1024 * 1024, ' '));
            break;
        case 3:
            bad.noReply = true; // until the feed's time limit
            DownloadService::instance()->setLimits(Kind::Feed, {300, 1000});
            break;
        default: // empty, or a page
            bad.body = QByteArrayList{"", "<html><body>Przerwa</body></html>"}[kind - 4];
        }
        proxy->route("rss.kurendal.pl", feedPath(RSSChannel::Kraj), bad);

        QSignalSpy krajDone(&kraj, &RSSChannel::articlesUpadted);
        QSignalSpy swiatDone(&swiat, &RSSChannel::articlesUpadted);
        const qint64 stall = TestEnv::longestStall(15000, [&] { return krajDone.count() && swiatDone.count(); }, [&] {
            kraj.updateArticles(false);
            swiat.updateArticles(false);
        });
        QCOMPARE(krajDone.count(), 1);
        QCOMPARE(swiatDone.count(), 1);
        QCOMPARE(ids(kraj), (QVector<int>{1, 2, 3}));
        QCOMPARE(kraj.getLastUpdateTime(), updated);
        QCOMPARE(cache("rssKraj"), saved);
        QVERIFY(!kraj.isUpdating());
        QCOMPARE(ids(swiat), (QVector<int>{20, 21}));
        // Generous: a stall would be the whole download or a parse of megabytes.
        QVERIFY2(stall < 1500, qPrintable(QString("the event loop stood still for %1 ms").arg(stall)));

        // The next good answer is taken as usual.
        proxy->route("rss.kurendal.pl", feedPath(RSSChannel::Kraj), xmlFeed({3, 4}));
        QVERIFY(TestEnv::refreshed(kraj));
        QCOMPARE(ids(kraj), (QVector<int>{1, 2, 3, 4}));
    }

    // Every kind of request ends when its body stops or crawls, and still completes on a slow
    // link that keeps going.
    void aTransferThatStopsOrCrawlsEnds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("everyMs");   // a piece of 100 bytes this often after the first 20; 0: never
        QTest::addColumn<bool>("completes");
        QTest::addColumn<int>("atLeastMs"); // the limit that ends it
        const char* names[] = {"feed", "picture", "report", "sharing"};
        for (Kind k : allKinds) {
            const char* name = names[int(k)];
            QTest::addRow("%s stalls", name) << int(k) << 0 << false << 300;
            // Each piece restarts the pause limit; only the whole-transfer limit ends it.
            QTest::addRow("%s trickles", name) << int(k) << 150 << false << 1000;
            QTest::addRow("%s slow but live", name) << int(k) << 25 << true << 0;
        }
    }

    void aTransferThatStopsOrCrawlsEnds()
    {
        QFETCH(int, kind);
        QFETCH(int, everyMs);
        QFETCH(bool, completes);
        QFETCH(int, atLeastMs);
        // Only this kind has short limits: a request judged by another's would run on.
        for (Kind other : allKinds)
            DownloadService::instance()->setLimits(other, {60000, 60000});
        DownloadService::instance()->setLimits(Kind(kind), {300, 1000});
        hostile->handler = [everyMs](const QByteArray&, const QByteArray&) {
            RawServer::Answer a;
            a.body = QByteArray(2000, 'x'); // 20 bytes at once, then 20 pieces
            a.firstBytes = 20;
            a.chunk = 100;
            a.everyMs = everyMs;
            return a;
        };
        const int closedBefore = hostile->closedByClient;
        QScopedPointer<Http> h(Http::createPOSTrequest(hostile->base() + "/x", QByteArray("report")));
        h->setKind(Kind(kind));
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
            QTRY_COMPARE(hostile->closedByClient, closedBefore + 1);
        }
    }

    // The proxy still carries public names and redirects among them; from a public name to this
    // machine they end the request (the spellings of its addresses: redirectDecisions' table).
    void aPublicNameRedirectedToThisMachineIsRefused_data()
    {
        QTest::addColumn<QString>("target"); // %1 the port of the local service
        QTest::addColumn<bool>("followed");
        QTest::newRow("127.0.0.1") << "http://127.0.0.1:%1/admin" << false;
        QTest::newRow("localhost") << "http://localhost:%1/admin" << false;
        QTest::newRow("https") << "https://127.0.0.1:%1/admin" << false;
        QTest::newRow("relative to the scheme") << "//127.0.0.1:%1/admin" << false;
        QTest::newRow("a local file") << QUrl::fromLocalFile(QCoreApplication::applicationFilePath()).toString() << false;
        QTest::newRow("on the web") << "http://www.kurendal.pl/moved" << true;
    }

    void aPublicNameRedirectedToThisMachineIsRefused()
    {
        QFETCH(QString, target);
        QFETCH(bool, followed);
        viaHostile();
        RawServer local;
        QVERIFY(local.start());
        const QByteArray location = QString(target).replace("%1", QString::number(local.serverPort())).toLatin1();
        hostile->handler = [location](const QByteArray& target, const QByteArray&) {
            return target.startsWith("http://rss.kurendal.pl/") ? RawServer::redirect(location) : feedAnswer({5});
        };
        QScopedPointer<Http> h;
        QCOMPARE(get(RSSChannel::urlForType(RSSChannel::Kraj), h),
                 int(followed ? Http::STATE_COMPLETED : Http::STATE_ERROR_HTTP));
        QCOMPARE(h->getResponseAsBytes().isEmpty(), !followed);
        QCOMPARE(local.connections, 0);
        // Refused, it is not asked for through the proxy either.
        QCOMPARE(hostile->targets.mid(1), followed ? QList<QByteArray>{location} : QList<QByteArray>());
    }

    // Signed headers against vectors computed apart: the OAuth Core 1.0 appendix's photo request, and
    // a Polish status (once, with Python's hmac and urllib).
    void requestsAreSignedAsTheVectorsSay()
    {
        // keys: consumer key and secret, token and its secret, timestamp, nonce.
        const auto sign = [](const char* url, KQOAuthRequest::RequestHttpMethod method, const QStringList& keys,
                             const QMultiMap<QString, QString>& parameters) {
            KQOAuthRequest request;
            request.initRequest(KQOAuthRequest::AuthorizedRequest, QUrl(url));
            request.setHttpMethod(method);
            request.setConsumerKey(keys[0]);
            request.setConsumerSecretKey(keys[1]);
            request.setToken(keys[2]);
            request.setTokenSecret(keys[3]);
            request.setTimestamp(keys[4]);
            request.setNonce(keys[5]);
            request.setAdditionalParameters(parameters);
            return request.authorizationHeader();
        };
        // Header order: method, key, version, timestamp, nonce, token, the request's own, signature.
        QCOMPARE(sign("http://photos.example.net/photos", KQOAuthRequest::GET,
                      {"dpf43f3p2l4k3l03", "kd94hf93k423kf44", "nnch734d00sl2jdk", "pfkkdhi9sl3r4s00", "1191242096",
                       "kllo9940pd9333jh"},
                      {{"file", "vacation.jpg"}, {"size", "original"}}),
                 QByteArray("OAuth oauth_signature_method=\"HMAC-SHA1\", oauth_consumer_key=\"dpf43f3p2l4k3l03\", "
                            "oauth_version=\"1.0\", oauth_timestamp=\"1191242096\", oauth_nonce=\"kllo9940pd9333j"
                            "h\", oauth_token=\"nnch734d00sl2jdk\", file=\"vacation.jpg\", size=\"original\", "
                            "oauth_signature=\"tR3+Ty81lMeYAr/Fid0kMTYa/WM=\""));
        const QByteArray header = sign("http://api.twitter.com/1/statuses/update.xml", KQOAuthRequest::POST,
                                       {"Zk3Qm9XwLp2Rt7Vb5Nc8Yd", "Hn5TyR2qWe8ZxLk4Mv7BpCs1Dj9Gf3Ua6Yi0Oo2Ptr", "access7",
                                        "accesssecret7", "1765000000", "424242"},
                                       {{"status", QString::fromUtf8("Sprawdź ciekawy artykuł: http://www.kurendal.pl/a?x=1&y=2")}});
        QVERIFY(header.endsWith("oauth_signature=\"C14q89BvNb1l5Vr3eforwHA3d9A=\""));
        QVERIFY(header.contains("status=\"Sprawd%C5%BA%20ciekawy%20artyku%C5%82%3A%20http%3A%2F%2Fwww.kurendal.pl"
                                "%2Fa%3Fx%3D1%26y%3D2\""));
        QVERIFY(!header.contains("oauth_callback"));

        // Fresh nonces at every signing.
        KQOAuthRequest fresh;
        fresh.initRequest(KQOAuthRequest::TemporaryCredentials, QUrl("https://api.twitter.com/oauth/request_token"));
        fresh.setConsumerKey("k");
        fresh.setConsumerSecretKey("s");
        QVERIFY(fresh.authorizationHeader() != fresh.authorizationHeader());
        QVERIFY(!fresh.authorizationHeader().contains("oauth_token="));
    }

    // The manager's requests go through the download service: its time-outs, redirect rule and
    // size bound hold for them, and its outcomes keep the manager's signals.
    void requestsKeepTheDownloadServicesRules()
    {
        hostile->handler = [](const QByteArray& target, const QByteArray&) {
            RawServer::Answer a;
            const QString path = RawServer::path(target);
            if (path == "/moved") {
                return RawServer::redirect("/tokens");
            } else if (path == "/tokens") {
                a.body = "oauth_token=t1&oauth_token_secret=s1";
            } else if (path == "/unauthorized") {
                a.status = 401;
            } else if (path == "/file") {
                return RawServer::redirect("file:///etc/passwd");
            } else if (path == "/huge") {
                a.body = QByteArray(DownloadService::maxResponseBytes + 1, 'x');
            }
            return a;
        };
        KQOAuthManager manager;
        KQOAuthRequest request;
        QSignalSpy ready(&manager, &KQOAuthManager::requestReady);
        QSignalSpy tokens(&manager, &KQOAuthManager::temporaryTokenReceived);
        QSignalSpy timedOut(&manager, &KQOAuthManager::networkError);
        const auto ask = [&](const QString& path, KQOAuthRequest::RequestHttpMethod method = KQOAuthRequest::POST) {
            ready.clear();
            tokens.clear();
            timedOut.clear();
            request.initRequest(KQOAuthRequest::TemporaryCredentials, QUrl(hostile->base() + path));
            request.setHttpMethod(method);
            request.setConsumerKey("k");
            request.setConsumerSecretKey("s");
            manager.executeRequest(&request);
            QTRY_VERIFY_WITH_TIMEOUT(ready.count() + timedOut.count() > 0, 3000);
            TestEnv::spin(50);
        };

        ask("/moved"); // followed within this machine
        QCOMPARE(tokens.count(), 1);
        QCOMPARE(tokens.first().first().toString(), QString("t1"));
        QCOMPARE(ready.count(), 1);
        QCOMPARE(manager.lastError(), NoError);
        QCOMPARE(hostile->targets.mid(hostile->targets.size() - 2), (QList<QByteArray>{"/moved", "/tokens"}));

        ask("/unauthorized"); // no body, yet the status is known
        QCOMPARE(ready.count(), 1);
        QCOMPARE(manager.lastError(), RequestUnauthorized);

        // A local file would be read by a GET.
        for (const QString& path : {QString("/file"), QString("/huge")}) {
            ask(path, KQOAuthRequest::GET);
            QCOMPARE(ready.count(), 1);
            QVERIFY(ready.first().first().toByteArray().isEmpty());
            QCOMPARE(tokens.count(), 0);
            QCOMPARE(manager.lastError(), NetworkError);
        }
        QCOMPARE(timedOut.count(), 0);
    }

    void blipBodyKeepsItsSeparators()
    {
        QCOMPARE(BlipClient::postBody(QString::fromUtf8("zażółć x=1")),
                 QString("update%5Bbody%5D=za%C5%BC%C3%B3%C5%82%C4%87%20x=1"));
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
};

QTEST_MAIN(TestNetwork)
#include "tst_network.moc"
