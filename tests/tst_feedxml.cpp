#include <QtTest>

#include "Logic/article.h"
#include "Logic/articleparser.h"
#include "Logic/gallerypicturesparser.h"
#include "tests/support/testenv.h"

// What both feed readers do with a document type, entities and prefixes.
class TestFeedXml : public QObject
{
    Q_OBJECT

    static QByteArray billionLaughs(const QByteArray& body)
    {
        QByteArray dtd = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol0 \"lol\">";
        for (int i = 1; i <= 9; ++i) {
            dtd += "<!ENTITY lol" + QByteArray::number(i) + " \"";
            for (int j = 0; j < 10; ++j)
                dtd += "&lol" + QByteArray::number(i - 1) + ";";
            dtd += "\">";
        }
        return dtd + "]>" + body;
    }

private slots:
    void initTestCase() { TestEnv::prepare(); }

    void documentsDeclaringEntitiesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("prolog");
        QTest::addColumn<QByteArray>("reference");
        QTest::newRow("billion laughs") << billionLaughs(QByteArray()) << QByteArray("&lol9;");
        QTest::newRow("small internal") << QByteArray("<!DOCTYPE x [<!ENTITY e \"EXP\">]>") << QByteArray("&e;");
        QTest::newRow("markup") << QByteArray("<!DOCTYPE x [<!ENTITY e \"<xx>9</xx>\">]>") << QByteArray("&e;");
        QTest::newRow("external file")
            << QByteArray("<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>") << QByteArray("&e;");
        QTest::newRow("parameter")
            << QByteArray("<!DOCTYPE x [<!ENTITY % p \"<!ENTITY e 'x'>\"> %p;]>") << QByteArray("&e;");
    }

    void documentsDeclaringEntitiesAreRefused()
    {
        QFETCH(QByteArray, prolog);
        QFETCH(QByteArray, reference);
        ArticleParser articles;
        QVERIFY(!articles.parse(prolog + "<iphonefeed><artykul><xx>1</xx><title>a" + reference +
                                "</title></artykul></iphonefeed>"));
        QVERIFY(articles.getParserArticles()->isEmpty());

        GalleryPicturesParser pictures;
        QVERIFY(!pictures.parse(prolog + "<rss><channel><item><title>" + reference + "</title><enclosure url=\"u" +
                                reference + "\"/></item></channel></rss>"));
        QVERIFY(pictures.getPicturesTitles().isEmpty());
        QVERIFY(pictures.getPicturesUrls().isEmpty());
    }

    void undeclaredEntitiesReadAsNothing()
    {
        ArticleParser articles;
        QVERIFY(articles.parse("<!DOCTYPE iphonefeed><iphonefeed><artykul><xx>1</xx>"
                               "<title>Kraj&nbsp;&ndash; świat</title></artykul></iphonefeed>"));
        QCOMPARE(articles.getParserArticles()->size(), 1);
        QCOMPARE(articles.getParserArticles()->at(0)->title, QString::fromUtf8("Kraj świat"));

        GalleryPicturesParser pictures;
        QVERIFY(pictures.parse("<rss><channel><item><title>a&nbsp;b</title>"
                               "<enclosure url=\"http://x/&nbsp;1.jpg\"/></item></channel></rss>"));
        QCOMPARE(pictures.getPicturesTitles(), QList<QString>{"ab"});
        QCOMPARE(pictures.getPicturesUrls(), QList<QString>{"http://x/1.jpg"});
    }

    void bytesAreDecodedAsDeclaredAndABrokenByteDoesNotLoseTheFeed_data()
    {
        QTest::addColumn<QByteArray>("declaration");
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("windows-1250") << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1250\"?>")
                                      << QByteArray("\xb9\x9c") << QString::fromUtf8("ąś");
        QTest::newRow("unknown is UTF-8") << QByteArray("<?xml version='1.0' encoding='bogus-enc'?>")
                                          << QByteArray("\xc5\x82") << QString::fromUtf8("ł");
        QTest::newRow("broken UTF-8") << QByteArray() << QByteArray("a\xff") << QString::fromUtf8("a\uFFFD");
        QTest::newRow("control characters") << QByteArray() << QByteArray("a\x01\x0b b\xef\xbf\xbe")
                                            << QString::fromUtf8("a\u0001\u000b b\uFFFE");
    }

    void bytesAreDecodedAsDeclaredAndABrokenByteDoesNotLoseTheFeed()
    {
        QFETCH(QByteArray, declaration);
        QFETCH(QByteArray, title);
        QFETCH(QString, expected);
        ArticleParser articles;
        QVERIFY(articles.parse(declaration + "<iphonefeed><artykul><xx>1</xx><title>" + title +
                               "</title></artykul></iphonefeed>"));
        QCOMPARE(articles.getParserArticles()->size(), 1);
        QCOMPARE(articles.getParserArticles()->at(0)->title, expected);
    }

    void prefixesAreIgnoredAndDtdDefaultsNotApplied()
    {
        ArticleParser articles;
        QVERIFY(articles.parse("<n:iphonefeed><n:artykul><n:xx>3</n:xx></n:artykul></n:iphonefeed>"));
        QCOMPARE(articles.getParserArticles()->size(), 1);
        QCOMPARE(articles.getParserArticles()->at(0)->xx, 3);

        GalleryPicturesParser pictures;
        QVERIFY(pictures.parse("<!DOCTYPE rss [<!ATTLIST enclosure url CDATA \"http://x/default.jpg\">]>"
                               "<rss><channel><item><media:title>t</media:title><enclosure/></item>"
                               "<item><enclosure m:url=\"a\" url=\"b\"/></item></channel></rss>"));
        QCOMPARE(pictures.getPicturesTitles(), (QList<QString>{"t", QString()}));
        QCOMPARE(pictures.getPicturesUrls(), (QList<QString>{QString(), "b"}));
    }
};

QTEST_MAIN(TestFeedXml)
#include "tst_feedxml.moc"
