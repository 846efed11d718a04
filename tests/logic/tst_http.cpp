#include <QtTest>

#include "logic/net/reachability.h"
#include "logic/net/request.h"
#include "sampleserver/sampleserver.h"
#include "tests/support/rawserver.h"
#include "tests/support/testenv.h"

// Every request here goes to a server of the test's own on 127.0.0.1.
class TestHttp : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;
    Reachability* reachability = nullptr;

    QString url(const QString& path) const { return server->baseUrl() + path; }

    // Runs the request to its final state; returns how many times it reported.
    int run(Http* http, int waitMs = 5000)
    {
        QSignalSpy spy(http, &Http::statusChanged);
        http->execute();
        if (!spy.wait(waitMs))
            return 0;
        TestEnv::spin(50);
        return spy.count();
    }

    void setOnline(bool online)
    {
        QMetaObject::invokeMethod(reachability, online ? "opened" : "closed");
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = new SampleServer(this);
        QVERIFY(server->start());
        reachability = new Reachability(this);
        setOnline(true);
    }

    void init() { server->clearRequests(); }

    void getRequestsTheHostAndValuesAsGiven()
    {
        server->route("*", "/feed", SampleServer::text("zażółć"));
        QScopedPointer<Http> plain(Http::createGETrequest(url("/feed"), QString()));
        QCOMPARE(plain->getStatus(), int(Http::STATE_READY));
        QCOMPARE(run(plain.data()), 1);
        QCOMPARE(plain->getStatus(), int(Http::STATE_COMPLETED));
        QCOMPARE(plain->getResponseAsString(), QString::fromUtf8("zażółć"));
        QCOMPARE(plain->getResponseCode(), 200);
        QCOMPARE(plain->getResponseHeader("Content-Type"), QString("text/plain; charset=utf-8"));
        QCOMPARE(server->requests().last().query, QString());

        // One "?" is added even when the host string has a query already.
        QScopedPointer<Http> withValues(Http::createGETrequest(url("/feed?a=1"), "b=2"));
        run(withValues.data());
        QCOMPARE(server->requests().last().query, QString("a=1?b=2"));
    }

    void postBodiesAndContentTypes()
    {
        server->route("*", "/post", SampleServer::text("ok"));
        QScopedPointer<Http> form(Http::createPOSTrequest(url("/post"), QString::fromUtf8("a=1&b=ż x")));
        run(form.data());
        SampleServer::Request r = server->requests().last();
        QCOMPARE(r.method, QByteArray("POST"));
        QCOMPARE(r.body, QByteArray("a=1&b=%C5%BC%20x"));
        QCOMPARE(r.headers.value("content-type"), Http::aux_strCONTENT_TYPE_URLENCODED);

        const QByteArray binary("\x00\x01\xff", 3);
        QScopedPointer<Http> octets(Http::createPOSTrequest(url("/post"), binary));
        run(octets.data());
        r = server->requests().last();
        QCOMPARE(r.body, binary);
        QCOMPARE(r.headers.value("content-type"), Http::aux_strCONTENT_TYPE_OCTET);
    }

    void redirectsAreFollowedAndBounded()
    {
        server->route("*", "/r1", SampleServer::redirect("/r2"));
        server->route("*", "/r2", SampleServer::redirect(url("/end")));
        server->route("*", "/end", SampleServer::text("end"));
        QScopedPointer<Http> chain(Http::createGETrequest(url("/r1"), QString()));
        QCOMPARE(run(chain.data()), 1);
        QCOMPARE(chain->getStatus(), int(Http::STATE_COMPLETED));
        QCOMPARE(chain->getResponseAsString(), QString("end"));
        QCOMPARE(server->requests().size(), 3);

        // A redirect to the very same URL is taken as the final response.
        server->clearRequests();
        server->route("*", "/self", SampleServer::redirect(url("/self")));
        QScopedPointer<Http> self(Http::createGETrequest(url("/self"), QString()));
        QCOMPARE(run(self.data()), 1);
        QCOMPARE(self->getStatus(), int(Http::STATE_COMPLETED));
        QCOMPARE(self->getResponseAsString(), QString("moved"));
        QCOMPARE(server->requests().size(), 1);

        // A chain that never repeats itself ends in an error after the bound.
        server->clearRequests();
        server->route("*", "/loop", [this](const SampleServer::Request& r) {
            return SampleServer::redirect(url("/loop?n=" + QString::number(r.query.mid(2).toInt() + 1)));
        });
        QScopedPointer<Http> loop(Http::createGETrequest(url("/loop"), "n=0"));
        QCOMPARE(run(loop.data()), 1);
        QCOMPARE(loop->getStatus(), int(Http::STATE_ERROR_HTTP));
        QCOMPARE(server->requests().size(), Http::maxRedirects + 1);
    }

    // An error page, an empty body, NUL bytes, a connection dropped mid-body, no server at all, a
    // body too long.
    void answersOtherThanAWholeText()
    {
        SampleServer::Reply missing;
        missing.status = 404;
        missing.body = "<html>brak</html>";
        server->route("*", "/missing", missing);
        QScopedPointer<Http> http(Http::createGETrequest(url("/missing"), QString()));
        QCOMPARE(run(http.data()), 1);
        QCOMPARE(http->getStatus(), int(Http::STATE_ERROR_HTTP));
        QCOMPARE(http->getResponseAsString(), QString()); // the page stays in the bytes only
        QCOMPARE(http->getResponseAsBytes(), missing.body);
        QCOMPARE(http->getResponseCode(), 404);

        server->route("*", "/empty", SampleServer::text(QByteArray()));
        QScopedPointer<Http> empty(Http::createGETrequest(url("/empty"), QString()));
        run(empty.data());
        QCOMPARE(empty->getStatus(), int(Http::STATE_COMPLETED));
        QCOMPARE(empty->getResponseCode(), -1);

        server->route("*", "/nul", SampleServer::text(QByteArray("ab\0cd", 5)));
        QScopedPointer<Http> nul(Http::createGETrequest(url("/nul"), QString()));
        run(nul.data());
        QCOMPARE(nul->getResponseAsString(), QString("ab"));
        QCOMPARE(nul->getResponseLength(), 5);

        SampleServer::Reply cut = SampleServer::text(QByteArray(10000, 'x'));
        cut.closeAfterBytes = 100;
        server->route("*", "/cut", cut);
        QScopedPointer<Http> dropped(Http::createGETrequest(url("/cut"), QString()));
        QCOMPARE(run(dropped.data()), 1);
        QCOMPARE(dropped->getStatus(), int(Http::STATE_ERROR_HTTP));
        QVERIFY(dropped->getResponseAsBytes().size() <= 100);

        QTcpServer probe; // a port nobody listens on
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        QScopedPointer<Http> unreachable(Http::createGETrequest(QString("http://127.0.0.1:%1/").arg(port), QString()));
        QCOMPARE(run(unreachable.data()), 1);
        QCOMPARE(unreachable->getStatus(), int(Http::STATE_ERROR_HTTP));

        // A body over the bound that does not say its length is cut as it comes.
        RawServer raw;
        QVERIFY(raw.start());
        raw.handler = [](const QByteArray&, const QByteArray&) {
            RawServer::Answer a;
            a.body = QByteArray(Http::maxResponseBytes + 1, 'x');
            a.announced = false;
            return a;
        };
        QScopedPointer<Http> unannounced(Http::createGETrequest(raw.base() + "/big", QString()));
        QCOMPARE(run(unannounced.data()), 1);
        QCOMPARE(unannounced->getStatus(), int(Http::STATE_ERROR_HTTP));
        QCOMPARE(unannounced->getResponseLength(), 0);
    }

    void timeoutLimitsTheWaitForTheFirstByte()
    {
        SampleServer::Reply slow = SampleServer::text("late");
        slow.delayMs = 1500;
        server->route("*", "/slow", slow);

        QScopedPointer<Http> http(Http::createGETrequest(url("/slow"), QString()));
        http->setTimeout(200);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(run(http.data()), 1);
        QCOMPARE(http->getStatus(), int(Http::STATE_ERROR_HTTP));
        QVERIFY(clock.elapsed() < 1400);
        // The aborted reply finishing later reports nothing more.
        QSignalSpy spy(http.data(), &Http::statusChanged);
        TestEnv::spin(300);
        QCOMPARE(spy.count(), 0);

        // Without a network session ten more seconds are granted.
        setOnline(false);
        QScopedPointer<Http> offline(Http::createGETrequest(url("/slow"), QString()));
        offline->setTimeout(200);
        QCOMPARE(run(offline.data()), 1);
        QCOMPARE(offline->getStatus(), int(Http::STATE_COMPLETED));
        setOnline(true);

        // Each redirect hop has the whole first-byte time: the first hop's wait ends with it.
        RawServer raw;
        QVERIFY(raw.start());
        raw.handler = [](const QByteArray& target, const QByteArray&) {
            RawServer::Answer a = target == "/hop" ? RawServer::redirect("/late") : RawServer::Answer();
            a.body = QByteArray(10, 'x');
            a.firstBytes = 0;
            a.chunk = 10;
            a.everyMs = 300; // each hop's first byte 300 ms after its request
            return a;
        };
        QScopedPointer<Http> hops(Http::createGETrequest(raw.base() + "/hop", QString()));
        hops->setTimeout(450);
        QCOMPARE(run(hops.data()), 1);
        QCOMPARE(hops->getStatus(), int(Http::STATE_COMPLETED));
        QCOMPARE(raw.targets, (QList<QByteArray>{"/hop", "/late"}));
    }

    void cancelling()
    {
        QScopedPointer<Http> never(Http::createGETrequest(url("/never"), QString()));
        QSignalSpy spy(never.data(), &Http::statusChanged);
        never->cancelRequest();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(never->getStatus(), int(Http::STATE_CANCELLED));
        // (A running request cancelled without a report: tst_downloadservice.)
    }
};

QTEST_GUILESS_MAIN(TestHttp)
#include "tst_http.moc"
