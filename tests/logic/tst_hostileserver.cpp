#include <QtTest>
#include <QBuffer>
#include <QImageReader>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "logic/news/articleparser.h"
#include "sampleserver/hostile.h"
#include "sampleserver/sampleserver.h"

// The hostile service is what the end-to-end checks rely on: its bombs must be small and
// declare what they say, its stalls must stall, and what it passes on must arrive whole.
class TestHostileServer : public QObject
{
    Q_OBJECT
private:
    static QSize declaredSize(const QByteArray& bytes)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        return QImageReader(&buffer).size();
    }

    // Sends one proxy-form GET and returns what arrived before the server closed the
    // connection or ms milliseconds passed (the server runs on this thread's event loop).
    static QByteArray fetch(quint16 port, const QByteArray& url, int ms = 3000)
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.write("GET " + url + " HTTP/1.1\r\nHost: x\r\n\r\n");
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms && socket.state() != QAbstractSocket::UnconnectedState) {
            QTest::qWait(20);
            got += socket.readAll();
        }
        return got + socket.readAll();
    }

private slots:
    void bombsAreSmallAndDeclareTheirSize()
    {
        const QByteArray png = Hostile::pngBomb(20000, 20000);
        QVERIFY2(png.size() < 600 * 1024, QByteArray::number(png.size()));
        QCOMPARE(declaredSize(png), QSize(20000, 20000));
        const QByteArray jpeg = Hostile::jpegBomb(20000, 20000);
        QVERIFY(jpeg.size() < 4096);
        QCOMPARE(declaredSize(jpeg), QSize(20000, 20000));

        // The repeated compressed groups and the rows after them decode, checksum included.
        QImage small;
        QVERIFY(small.loadFromData(Hostile::pngBomb(300, 200), "PNG"));
        QCOMPARE(small.size(), QSize(300, 200));
        QCOMPARE(qGray(small.pixel(299, 199)), 0x80);
        QVERIFY(QImage::fromData(Hostile::notAPicture()).isNull());
    }

    void theBigFeedParsesWhole()
    {
        ArticleParser parser;
        QVERIFY(parser.parse(Hostile::bigFeed(2000)));
        QCOMPARE(parser.getParserArticles()->size(), 2000);
    }

    void stallsRedirectsAndPassesOn()
    {
        SampleServer sample;
        QVERIFY(sample.start());
        sample.setContentRoot(KURENDAL_SAMPLE_CONTENT);
        QTemporaryDir canary;
        HostileServer hostile(sample.serverPort(), canary.path());
        QVERIFY(hostile.start(0));

        // Headers and the first bytes, then the connection stays open and silent.
        const QByteArray stalled = fetch(hostile.serverPort(), "http://rss.kurendal.pl/pub/mobi_lg/out/kraj.xml", 1500);
        QVERIFY(stalled.startsWith("HTTP/1.1 200"));
        const int body = stalled.indexOf("\r\n\r\n") + 4;
        QCOMPARE(stalled.size() - body, 200);

        const QByteArray toFile = fetch(hostile.serverPort(), "http://rss.kurendal.pl/pub/mobi_lg/out/kr_swiat.xml");
        QVERIFY(toFile.contains("Location: file://" + canary.path().toUtf8() + "/canary.xml"));
        const QByteArray toLoopback = fetch(hostile.serverPort(), "http://www.kurendal.pl/galeria/3.jpg");
        QVERIFY(toLoopback.contains("Location: http://localhost:" + QByteArray::number(hostile.serverPort())));

        QFile sampleFeed(KURENDAL_SAMPLE_CONTENT "/rss.kurendal.pl/pub/mobi_lg/out/kr_najnowsze.xml");
        QVERIFY(sampleFeed.open(QIODevice::ReadOnly));
        const QByteArray passed = fetch(hostile.serverPort(), "http://rss.kurendal.pl/pub/mobi_lg/out/kr_najnowsze.xml");
        QVERIFY(passed.endsWith(sampleFeed.readAll()));

        // Plain: the stalling address is passed on whole too.
        hostile.setPlain(true);
        QFile kraj(KURENDAL_SAMPLE_CONTENT "/rss.kurendal.pl/pub/mobi_lg/out/kraj.xml");
        QVERIFY(kraj.open(QIODevice::ReadOnly));
        QVERIFY(fetch(hostile.serverPort(), "http://rss.kurendal.pl/pub/mobi_lg/out/kraj.xml").endsWith(kraj.readAll()));
        QCOMPARE(sample.requests().size(), 2);
    }
};

QTEST_MAIN(TestHostileServer)
#include "tst_hostileserver.moc"
