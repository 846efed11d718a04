#include <QtTest>

#include "logic/news/article.h"
#include "logic/news/articleparser.h"
#include "logic/ads/bannerinfo.h"
#include "logic/news/photo.h"
#include "logic/news/channel.h"
#include "logic/base/file.h"
#include "tests/support/testchannel.h"
#include "tests/support/testenv.h"

// Every file the program writes, compared byte for byte with the layout spelled out by hand:
// a writer and a reader changed together would still read back, but not match these. (The
// settings file has its byte check in tst_settings.)
namespace {

QByteArray be32(quint32 v)
{
    return QByteArray(1, char(v >> 24)) + char(v >> 16) + char(v >> 8) + char(v);
}

QByteArray str(const QString& s)
{
    const QByteArray utf8 = s.toUtf8();
    return QByteArray(1, char(utf8.size() >> 8)) + char(utf8.size() & 0xff) + utf8;
}

QByteArray bytesOf(const QString& name)
{
    return TestEnv::readData(name);
}

// Writes one record through the program's own writer.
template <typename Write>
QByteArray written(Write write)
{
    File* f = File::createFileToWrite(File::createPathToResource("record"));
    f->open();
    write(f);
    f->close();
    delete f;
    return bytesOf("record");
}

struct Channel : TestChannel {
    Channel() : TestChannel(RSSChannel::Sport) {}
};

const QByteArray photoRecord = QByteArray("PHT\x01", 4) + be32(7) + str("http://x.pl/p.jpg") + str("http://x.pl/p2.jpg")
                               + str(QString::fromUtf8("Fot. Łukasz")) + str("Opis");

} // namespace

class TestFormats : public QObject
{
    Q_OBJECT
private:
    static void fillPhoto(Photo& p)
    {
        p.xx = 7;
        p.url = QUrl("http://x.pl/p.jpg");
        p.url2 = QUrl("http://x.pl/p2.jpg");
        p.signature = QString::fromUtf8("Fot. Łukasz");
        p.desc = "Opis";
    }

private slots:
    void initTestCase() { TestEnv::prepare(); }
    void init() { TestEnv::clearData(); }

    void photoRecordFile()
    {
        Photo p(nullptr);
        fillPhoto(p);
        QCOMPARE(written([&p](File* f) { p.saveToFile(f); }), photoRecord);
    }

    void articleRecord()
    {
        Article a(nullptr);
        a.xx = 41147;
        a.articleWasRead = true;
        a.date = "05-12-2026";
        a.title = QString::fromUtf8("Złoty");
        a.link = QUrl("http://www.kurendal.pl/a/1");
        a.lead = "Lead";
        a.content = "<p>C</p>";
        a.signature = "PAP";
        a.label = "Kraj";
        a.thumbnail = QUrl("http://x.pl/t.jpg");
        Photo* p = new Photo(&a);
        fillPhoto(*p);
        a.photos << p;
        const QByteArray expected = QByteArray("ART\x01", 4) + be32(41147) + be32(3) + QByteArray(1, 1) + str("05-12-2026")
                                    + str(QString::fromUtf8("Złoty")) + str("http://www.kurendal.pl/a/1") + str("Lead")
                                    + str("<p>C</p>") + str("PAP") + str("Kraj") + str("http://x.pl/t.jpg") + be32(1)
                                    + photoRecord;
        QCOMPARE(written([&a](File* f) { a.saveToFile(f, 3); }), expected);
    }

    void channelCache()
    {
        Channel c;
        c.take(TestEnv::feed({12, -3}));
        QByteArray expected = QByteArray("RSS\x01\x02", 5);
        int order = 0;
        for (int xx : {12, -3}) {
            expected += QByteArray("ART\x01", 4) + be32(quint32(xx)) + be32(order++) + QByteArray(1, 0) + str("")
                        + str(QString::fromUtf8("Artykuł %1").arg(xx)) + str("") + str(QString("Lead %1").arg(xx))
                        + str(QString::fromUtf8("<p>Treść %1</p>").arg(xx)) + str("") + str("") + str("") + be32(0);
        }
        expected += be32(0); // never updated from the network
        QCOMPARE(bytesOf("rssSport"), expected);
    }

    void bannerCache()
    {
        BannerInfo* banner = BannerInfo::getSingleton();
        banner->showSplash = true;
        banner->splashImg = "http://ads.kurendal.pl/img/s.png";
        banner->splashDownloaded = true;
        banner->splashLink = QString::fromUtf8("http://kino.example.pl/ż");
        QVERIFY(QMetaObject::invokeMethod(banner, "saveToFile"));
        QCOMPARE(bytesOf("banners"), QByteArray("REK\x01\x01", 5) + str("http://ads.kurendal.pl/img/s.png") + QByteArray(1, 1)
                                         + str(QString::fromUtf8("http://kino.example.pl/ż")));
        BannerInfo::releaseSingleton();
    }
};

QTEST_MAIN(TestFormats)
#include "tst_formats.moc"
