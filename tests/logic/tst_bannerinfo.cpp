#include <QtTest>
#include <QUrlQuery>

#include "logic/ads/bannerinfo.h"
#include "logic/base/file.h"
#include "logic/base/json.h"
#include "sampleserver/sampleserver.h"
#include "tests/support/testenv.h"

// The advertisements: their request queue, the splash kept for the next start, and the links;
// and the tolerant JSON reader of their descriptions, where a reader really goes wrong.
class TestBannerInfo : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;
    QMap<QString, QByteArray> descriptions; // by "typ"
    int pictureDelay = 0;

    static QByteArray describe(const QString& picture, const QString& link, const QString& type = "banner")
    {
        return QString("{\"@type\":\"%1\",\"ImageUrl\":{\"#text\":\"%2\"},\"Href\":\"%3\"}")
            .arg(type, picture, link).toUtf8();
    }

    QStringList served() const
    {
        QStringList paths;
        for (const SampleServer::Request& r : server->requests()) {
            const QString typ = QUrlQuery(r.query).queryItemValue("typ");
            paths << (typ.isEmpty() ? r.path : typ);
        }
        return paths;
    }

    static BannerInfo* fresh() { return TestEnv::freshBanners(); }

    static QVariant parsed(const QString& text)
    {
        bool ok = false;
        const QVariant v = Json::parse(text, ok);
        return ok ? v : QVariant(QStringLiteral("<not JSON>"));
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
        server->route("ads.kurendal.pl", "/ad/GetBanMb", [this](const SampleServer::Request& r) {
            return SampleServer::text(descriptions.value(QUrlQuery(r.query).queryItemValue("typ"), "{}"),
                                      "application/json");
        });
        const QList<QPair<QString, QByteArray>> pictures{{"/img/top.png", TestEnv::png(QSize(320, 80), Qt::blue)},
                                                         {"/img/bottom.png", TestEnv::png(QSize(320, 60), Qt::green)},
                                                         {"/img/splash.png", TestEnv::png(QSize(480, 854), Qt::red)}};
        for (const auto& picture : pictures) {
            const QByteArray body = picture.second;
            server->route("ads.kurendal.pl", picture.first, [this, body](const SampleServer::Request&) {
                SampleServer::Reply reply = SampleServer::text(body, "image/png");
                reply.delayMs = pictureDelay;
                return reply;
            });
        }
    }

    void init()
    {
        TestEnv::clearData();
        server->clearRequests();
        pictureDelay = 0;
        descriptions = {{"101", describe("http://ads.kurendal.pl/img/top.png", "http://www.kurendal.pl/prenumerata")},
                        {"108", describe("http://ads.kurendal.pl/img/bottom.png", "https://bank.example.pl")},
                        {"102", describe("http://ads.kurendal.pl/img/splash.png", "http://kino.example.pl")}};
    }

    void descriptionsFirstThenPicturesAndTheSplashWaitsForTheNextStart()
    {
        BannerInfo* banner = fresh();
        QVERIFY(!banner->canShowSplash());
        QSignalSpy top(banner, &BannerInfo::topBannerChanged);
        QSignalSpy bottom(banner, &BannerInfo::bottomBannerChanged);
        banner->startUpdate();
        QVERIFY(bottom.wait(5000));
        QTRY_COMPARE(served().size(), 6);
        QCOMPARE(served(), (QStringList{"102", "101", "108", "/img/splash.png", "/img/top.png", "/img/bottom.png"}));
        QCOMPARE(top.count(), 1);
        QCOMPARE(top.first().at(0).value<QPixmap>().size(), QSize(320, 80));
        QCOMPARE(top.first().at(1).toString(), QString("http://www.kurendal.pl/prenumerata"));
        QCOMPARE(banner->bottomBannerImage.height(), 60);
        // The new splash goes to disk only.
        QTRY_VERIFY(banner->splashDownloaded);
        QVERIFY(banner->splashImage.isNull());
    }

    void aSecondUpdateCancelsWhatRunsAndStartsOver()
    {
        BannerInfo* banner = fresh();
        pictureDelay = 400;
        banner->startUpdate();
        QTRY_COMPARE(served().size(), 4); // three descriptions, the splash picture under way
        QSignalSpy top(banner, &BannerInfo::topBannerChanged);
        banner->startUpdate();
        pictureDelay = 0;
        QVERIFY(top.wait(5000));
        QTRY_COMPARE(top.count(), 1);
        const QStringList order = served();
        QCOMPARE(order.mid(4, 3), (QStringList{"102", "101", "108"}));
        QCOMPARE(order.count("/img/top.png"), 1);
        QTRY_VERIFY(!banner->isDownloading());
        QVERIFY(!banner->bottomBannerImage.isNull());
    }

    // Each fresh() is the next start of the program. (Offered, but what arrives is no picture:
    // tst_picturereader; a damaged cache file: tst_datafolder.)
    void theSplashIsFetchedUntilItIsWholeAndANewOneReplacesTheOld()
    {
        bool secondBroken = true;
        server->route("ads.kurendal.pl", "/img/second.png", [&secondBroken](const SampleServer::Request&) {
            return secondBroken ? SampleServer::text("<html>busy</html>", "text/html")
                                : SampleServer::text(TestEnv::png(QSize(100, 200), Qt::yellow), "image/png");
        });
        auto update = [this](BannerInfo* banner) {
            server->clearRequests();
            banner->startUpdate();
            QTRY_VERIFY(served().size() >= 5);
            QTRY_VERIFY(!banner->isDownloading());
        };
        const QString second = "http://ads.kurendal.pl/img/second.png";
        const QByteArray first = descriptions["102"];

        // Start 0: a picture is named, but no splash is offered: it is not fetched, nor shown next time.
        descriptions["102"] = describe("http://ads.kurendal.pl/img/splash.png", "http://kino.example.pl", "none");
        BannerInfo* banner = fresh();
        update(banner);
        QVERIFY(!served().contains("/img/splash.png") && !fresh()->canShowSplash());
        // Start 1: offered; the program closes while the picture is on its way.
        descriptions["102"] = first;
        pictureDelay = 2000;
        banner = fresh();
        server->clearRequests();
        banner->startUpdate();
        QTRY_COMPARE(served().size(), 4);
        pictureDelay = 0;
        // Start 2: the same address, not yet on disk, is asked for again.
        banner = fresh();
        QVERIFY(banner->splashImage.isNull());
        update(banner);
        QVERIFY(served().contains("/img/splash.png"));
        QVERIFY(banner->splashDownloaded);

        // Start 3: it shows, and the same address is not fetched again; banners live in memory only.
        banner = fresh();
        QVERIFY(banner->canShowSplash() && banner->topBannerImage.isNull());
        QCOMPARE(banner->splashImage.size(), QSize(480, 854));
        update(banner);
        QVERIFY(!served().contains("/img/splash.png"));
        // Start 4: the ad server now names another picture, which fails.
        descriptions["102"] = describe(second, "http://teatr.example.pl");
        banner = fresh();
        update(banner);
        QVERIFY(served().contains("/img/second.png"));
        QVERIFY(!banner->splashDownloaded);
        // Start 5: the old picture and its link stay until the new one is whole; it is asked for again.
        banner = fresh();
        QCOMPARE(banner->splashImage.size(), QSize(480, 854));
        QCOMPARE(banner->splashLink, QString("http://kino.example.pl"));
        secondBroken = false;
        update(banner);
        QVERIFY(served().contains("/img/second.png"));
        QVERIFY(banner->splashDownloaded);
        // Start 6: the new one, with its link.
        banner = fresh();
        QCOMPARE(banner->splashImage.size(), QSize(100, 200));
        QCOMPARE(banner->splashImg, second);
        QCOMPARE(banner->splashLink, QString("http://teatr.example.pl"));
        // Start 7: the same picture, no longer offered, which is remembered: nothing to show next time.
        descriptions["102"] = describe(second, "http://teatr.example.pl", "none");
        update(banner);
        QVERIFY(!banner->showSplash);
        QVERIFY(!fresh()->canShowSplash());
    }

    void onlyWebLinksAndNamedPictures()
    {
        descriptions["101"] = describe("http://ads.kurendal.pl/img/top.png", "file:///etc/passwd");
        descriptions["108"] = describe("", "http://bank.example.pl");
        descriptions["102"] = describe("http://ads.kurendal.pl/img/splash.png", "kurendal://open");
        BannerInfo* banner = fresh();
        QSignalSpy top(banner, &BannerInfo::topBannerChanged);
        banner->startUpdate();
        QVERIFY(top.wait(5000));
        QCOMPARE(top.first().at(1).toString(), QString());
        QVERIFY(banner->topBannerLink.isEmpty());
        QTRY_VERIFY(banner->splashDownloaded);
        QVERIFY(banner->splashLink.isEmpty());
        QVERIFY(!served().contains("/img/bottom.png"));
        QVERIFY(banner->bottomBannerImage.isNull());
        QCOMPARE(BannerInfo::safeLink("https://bank.example.pl/konto?x=1"), QString("https://bank.example.pl/konto?x=1"));
        QCOMPARE(BannerInfo::safeLink("javascript:alert(1)"), QString());
        QCOMPARE(BannerInfo::safeLink("http:///nohost"), QString());
        // Links a browser opens although they are not strictly well formed.
        for (const char* link : {"http://sklep.example.pl/szukaj?q=buty damskie", "http://a.example.pl/x|y",
                                 "http://a.example.pl/{id}", "https://a.example.pl/a^b", "http://a.example.pl/50%off"})
            QCOMPARE(BannerInfo::safeLink(link), QString(link));
        QCOMPARE(BannerInfo::safeLink("ftp://a.example.pl/x y"), QString());
    }

    // Numbers as written, escapes and surrogate pairs, the last of two keys, stray commas.
    void valuesAreReadAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("object") << "{\"a\": 1, \"b\": -1.5e3, \"c\": \"x\", \"d\": true, \"e\": null, \"f\": [1 2]}"
                                << QVariant(QVariantMap{{"a", "1"}, {"b", "-1.5e3"}, {"c", "x"}, {"d", true},
                                                        {"e", QVariant()}, {"f", QVariantList{"1", "2"}}});
        QTest::newRow("white space") << " \n[ true,\tfalse ,null ]\r\n" << QVariant(QVariantList{true, false, QVariant()});
        QTest::newRow("a lone minus") << "[-]" << QVariant(QVariantList{"-"});
        QTest::newRow("a number's characters") << "[1-2e+]" << QVariant(QVariantList{"1-2e+"});
        QTest::newRow("\\u") << "\"x\\u0105y\"" << QVariant(QString::fromUtf8("xąy"));
        QTest::newRow("a surrogate pair, one character") << "\"\\ud83d\\ude00\"" << QVariant(QString::fromUtf8("😀"));
        QTest::newRow("escapes") << "\"a\\\"b\\\\c\\/d\\n\\t\"" << QVariant("a\"b\\c/d\n\t");
        QTest::newRow("an unknown escape") << "\"a\\qb\"" << QVariant("ab");
        QTest::newRow("\\u not hex") << "\"\\uZZ12\"" << QVariant(QString(QChar(0)));
        QTest::newRow("\\u cut by a space") << "\"\\u 12a\"" << QVariant(QString(QChar(0)));
        QTest::newRow("UTF-8") << QString::fromUtf8("\"zażółć\"") << QVariant(QString::fromUtf8("zażółć"));
        QTest::newRow("the last key, stray commas") << "{,\"a\": 1,, \"a\": 2,}" << QVariant(QVariantMap{{"a", "2"}});
        QTest::newRow("what follows the value") << "\"done\" and then more" << QVariant("done");
    }

    void valuesAreReadAsWritten()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, value);
        QCOMPARE(parsed(text), value);
    }

    // Broken, ending inside an escape, nested past the bound, or huge: it fails, and comes back empty.
    void whatIsNoJsonFails()
    {
        const QLatin1Char open('['), close(']');
        const QStringList broken{"{\"a\" 1}", "{\"a\": [1, 2, {\"b\": 3}", "[1, 2", "", "]", "\"\\u12\"", "\"abc\\",
                                 QString(100000, open) + QString(100000, close),
                                 QString("{\"a\":").repeated(50000) + "1" + QString(50000, QLatin1Char('}')),
                                 QString(3 * 1024 * 1024, open)};
        bool ok = true;
        for (const QString& text : broken) {
            const QVariant v = Json::parse(text, ok);
            QVERIFY2(!ok && v.toMap().isEmpty() && v.toList().isEmpty(), qPrintable(text.left(30)));
        }
        // A null string is not an empty one.
        QVERIFY(!Json::parse(QString(), ok).isValid());
        QVERIFY(ok);
        // Nesting within the bound still reads.
        ok = false;
        Json::parse(QString(Json::maxDepth, open) + QString(Json::maxDepth, close), ok);
        QVERIFY(ok);
    }
};

QTEST_MAIN(TestBannerInfo)
#include "tst_bannerinfo.moc"
