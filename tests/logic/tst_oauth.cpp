#include <QtTest>

#include "logic/net/oauthmanager.h"
#include "logic/net/oauthrequest.h"
#include "logic/sharing/blipclient.h"
#include "logic/net/downloadservice.h"
#include "tests/support/rawserver.h"
#include "tests/support/testenv.h"

// OAuth 1.0a signing: known vectors, the header form and the encodings.
class TestOAuth : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::prepare(); }

    // The OAuth Core 1.0 appendix's photo request: its base string, key and signature, in the header form.
    void oauthCoreAppendixVectorThroughARequest()
    {
        KQOAuthRequest request;
        request.initRequest(KQOAuthRequest::AuthorizedRequest, QUrl("http://photos.example.net/photos"));
        request.setHttpMethod(KQOAuthRequest::GET);
        request.setConsumerKey("dpf43f3p2l4k3l03");
        request.setConsumerSecretKey("kd94hf93k423kf44");
        request.setToken("nnch734d00sl2jdk");
        request.setTokenSecret("pfkkdhi9sl3r4s00");
        request.setTimestamp("1191242096");
        request.setNonce("kllo9940pd9333jh");
        QMultiMap<QString, QString> extra;
        extra.insert("file", "vacation.jpg");
        extra.insert("size", "original");
        request.setAdditionalParameters(extra);
        const QByteArray header = request.authorizationHeader();
        QVERIFY(header.endsWith("oauth_signature=\"tR3+Ty81lMeYAr/Fid0kMTYa/WM=\""));
        // Header order: method, key, version, timestamp, nonce, token, the request's own, signature.
        QCOMPARE(header, QByteArray("OAuth oauth_signature_method=\"HMAC-SHA1\", oauth_consumer_key=\"dpf43f3p2l4k3l03\", "
                                    "oauth_version=\"1.0\", oauth_timestamp=\"1191242096\", oauth_nonce=\"kllo9940pd9333j"
                                    "h\", oauth_token=\"nnch734d00sl2jdk\", file=\"vacation.jpg\", size=\"original\", "
                                    "oauth_signature=\"tR3+Ty81lMeYAr/Fid0kMTYa/WM=\""));
    }

    void aPolishStatusIsEncodedInTheBaseAndTheHeader()
    {
        KQOAuthRequest request;
        request.initRequest(KQOAuthRequest::AuthorizedRequest, QUrl("http://api.twitter.com/1/statuses/update.xml"));
        request.setConsumerKey("Zk3Qm9XwLp2Rt7Vb5Nc8Yd");
        request.setConsumerSecretKey("Hn5TyR2qWe8ZxLk4Mv7BpCs1Dj9Gf3Ua6Yi0Oo2Ptr");
        request.setToken("access7");
        request.setTokenSecret("accesssecret7");
        request.setTimestamp("1765000000");
        request.setNonce("424242");
        QMultiMap<QString, QString> status;
        status.insert("status", QString::fromUtf8("Sprawdź ciekawy artykuł: http://www.kurendal.pl/a?x=1&y=2"));
        request.setAdditionalParameters(status);
        const QByteArray header = request.authorizationHeader();
        // Second vector, computed once with Python's hmac and urllib.
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
        RawServer server;
        QVERIFY(server.start());
        server.handler = [](const QByteArray& target, const QByteArray&) {
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
            request.initRequest(KQOAuthRequest::TemporaryCredentials, QUrl(server.base() + path));
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
        QCOMPARE(server.targets.mid(server.targets.size() - 2), (QList<QByteArray>{"/moved", "/tokens"}));

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
        QCOMPARE(BlipClient::postBody("a&b"), QString("update%5Bbody%5D=a&b"));
        QCOMPARE(BlipClient::postBody(QString::fromUtf8("zażółć x=1")),
                 QString("update%5Bbody%5D=za%C5%BC%C3%B3%C5%82%C4%87%20x=1"));
    }
};

QTEST_MAIN(TestOAuth)
#include "tst_oauth.moc"
