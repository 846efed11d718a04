#include <QtTest>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTcpServer>

#include "logic/news/article.h"
#include "logic/news/channel.h"
#include "logic/base/file.h"
#include "logic/net/downloadservice.h"
#include "logic/net/request.h"
#include "sampleserver/sampleserver.h"
#include "tests/support/testenv.h"

// The publisher's server misbehaves during a refresh: the channel keeps the list it had,
// the feed queued behind it still arrives, and the event loop never stalls.
class TestNetworkFaults : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;

    static QString path(RSSChannel::ChannelType type) { return TestEnv::feedPath(type); }
    static QVector<int> ids(const RSSChannel& c) { return TestEnv::sortedIds(c); }
    static QByteArray cache(const QString& name) { return TestEnv::readData(name); }

    // Longest pause of the event loop while both channels refresh.
    static int refreshBoth(RSSChannel& faulty, RSSChannel& healthy)
    {
        QSignalSpy faultyDone(&faulty, &RSSChannel::articlesUpadted);
        QSignalSpy healthyDone(&healthy, &RSSChannel::articlesUpadted);
        const qint64 longest = TestEnv::longestStall(15000, [&] { return faultyDone.count() && healthyDone.count(); }, [&] {
            faulty.updateArticles(false);
            healthy.updateArticles(false);
        });
        [&]() {
            QCOMPARE(faultyDone.count(), 1);
            QCOMPARE(healthyDone.count(), 1);
        }();
        return int(longest);
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
    }

    void aFeedThatFailsLeavesTheListAndTheQueueWorking_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("closed mid-body") << 0;
        QTest::newRow("500 with a feed as its page") << 1;
        QTest::newRow("50 MB body") << 2;
        QTest::newRow("redirect loop") << 3;
        QTest::newRow("redirect to itself") << 4;
    }

    void aFeedThatFailsLeavesTheListAndTheQueueWorking()
    {
        QFETCH(int, kind);
        TestEnv::clearData();
        server->route("rss.kurendal.pl", path(RSSChannel::Kraj), SampleServer::text(TestEnv::feed({1, 2, 3}), "text/xml"));
        server->route("rss.kurendal.pl", path(RSSChannel::Swiat), SampleServer::text(TestEnv::feed({20, 21}), "text/xml"));
        RSSChannel kraj(RSSChannel::Kraj, nullptr);
        RSSChannel swiat(RSSChannel::Swiat, nullptr);
        QSignalSpy first(&kraj, &RSSChannel::articlesUpadted);
        kraj.updateArticles(false);
        QVERIFY(first.wait(5000));
        QCOMPARE(ids(kraj), (QVector<int>{1, 2, 3}));
        const QByteArray saved = cache("rssKraj");
        const QDateTime updated = kraj.getLastUpdateTime();

        QVector<int> fresh;
        for (int i = 100; i < 130; ++i)
            fresh << i;
        SampleServer::Reply bad = SampleServer::text(TestEnv::feed(fresh), "text/xml");
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
            server->route("rss.kurendal.pl", "/hop", [](const SampleServer::Request& r) {
                return SampleServer::redirect("http://rss.kurendal.pl/hop?n=" + QString::number(r.query.mid(2).toInt() + 1));
            });
            bad = SampleServer::redirect("http://rss.kurendal.pl/hop?n=0");
            break;
        case 4:
            bad = SampleServer::redirect(RSSChannel::urlForType(RSSChannel::Kraj));
            break;
        }
        server->route("rss.kurendal.pl", path(RSSChannel::Kraj), bad);

        const int longestPause = refreshBoth(kraj, swiat);
        QCOMPARE(ids(kraj), (QVector<int>{1, 2, 3}));
        QCOMPARE(kraj.getLastUpdateTime(), updated);
        QCOMPARE(cache("rssKraj"), saved);
        QVERIFY(!kraj.isUpdating());
        QCOMPARE(ids(swiat), (QVector<int>{20, 21}));
        // Generous: a stall would be the whole download or a parse of megabytes.
        QVERIFY2(longestPause < 1500, qPrintable(QString("the event loop stood still for %1 ms").arg(longestPause)));

        // The next good answer is taken as usual.
        server->route("rss.kurendal.pl", path(RSSChannel::Kraj), SampleServer::text(TestEnv::feed({3, 4}), "text/xml"));
        QSignalSpy again(&kraj, &RSSChannel::articlesUpadted);
        kraj.updateArticles(false);
        QVERIFY(again.wait(5000));
        QCOMPARE(ids(kraj), (QVector<int>{1, 2, 3, 4}));
    }

    void aBodyOverTheBoundFailsTheRequest()
    {
        SampleServer::Reply big = SampleServer::text(QByteArray(Http::maxResponseBytes + 1, 'x'));
        server->route("*", "/big", big);
        SampleServer::Reply fits = SampleServer::text(QByteArray(Http::maxResponseBytes, 'y'));
        server->route("*", "/fits", fits);
        for (const QString& name : {QString("/big"), QString("/fits")}) {
            Http* http = Http::createGETrequest(server->baseUrl() + name, QString());
            QSignalSpy spy(http, &Http::statusChanged);
            http->execute();
            QTRY_VERIFY_WITH_TIMEOUT(http->getStatus() != Http::STATE_RUNNING, 10000);
            if (name == "/big") {
                QCOMPARE(http->getStatus(), int(Http::STATE_ERROR_HTTP));
                QCOMPARE(http->getResponseLength(), 0);
            } else {
                QCOMPARE(http->getStatus(), int(Http::STATE_COMPLETED));
                QCOMPARE(http->getResponseLength(), Http::maxResponseBytes);
            }
            const int reports = spy.count();
            TestEnv::spin(100); // the aborted reply reports nothing more
            QCOMPARE(spy.count(), reports);
            delete http;
        }
    }

    // Given up while its failed reply winds down, a request leaves that reply to end by itself:
    // Qt warns when a reply is ended twice.
    void aFailedReplyIsNeverEndedTwice()
    {
        static QStringList warnings;
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
            warnings << m;
        });
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QScopedPointer<Http> http(Http::createGETrequest(QString("http://127.0.0.1:%1/").arg(port), QString()));
        http->execute();
        QNetworkReply* reply = nullptr;
        QTRY_VERIFY((reply = DownloadService::instance()->manager()->findChild<QNetworkReply*>()));
        connect(reply, &QNetworkReply::errorOccurred, http.data(), [&http] { http->cancelRequestNoEmit(); });
        QTRY_COMPARE(http->getStatus(), int(Http::STATE_CANCELLED));
        TestEnv::spin(100);
        http.reset();
        qInstallMessageHandler(previous);
        TestEnv::proxyThrough(*server);
        QCOMPARE(warnings.filter("only be called once"), QStringList());
    }
};

QTEST_MAIN(TestNetworkFaults)
#include "tst_networkfaults.moc"
