#include <QtTest>

#include "logic/news/article.h"
#include "logic/news/articleparser.h"
#include "logic/gallery/gallerypicturesparser.h"
#include "logic/news/photo.h"
#include "tests/support/testenv.h"

// The two feed readers: the articles' fields, and what they do with a document type, entities,
// encodings and prefixes.
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

    void fieldsEntitiesAndPhotos()
    {
        const QByteArray xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><iphonefeed><artykul>"
            "<photos><photo><url> http://x/p1.jpg </url><url2>http://x/p1b.jpg</url2><xx>7</xx>"
            "<desc>Most &amp;amp; rzeka</desc></photo></photos>"
            "<xx> 42 </xx><order>3</order><date> 06-12-2026 </date>"
            "<title>Ustawa &amp;quot;o lasach&amp;quot; &amp;amp;lt;b&amp;amp;gt;</title>"
            "<lead>Łódź &amp;apos;24</lead>"
            "<content> &lt;p&gt;A &amp;amp; B&lt;/p&gt; </content>"
            "<link>http://www.kurendal.pl/a/42</link><thumbnail>http://x/t.jpg</thumbnail>"
            "<signature>Jan</signature><label>Kraj</label><unknown><xx>99</xx></unknown>"
            "</artykul><artykul><xx>abc</xx><photo><xx>5</xx></photo></artykul></iphonefeed>";
        ArticleParser parser;
        QVERIFY(parser.parse(xml));
        const QVector<Article*>& list = *parser.getParserArticles();
        QCOMPARE(list.size(), 2);
        const Article* a = list.at(0);
        QCOMPARE(a->xx, 42);
        QCOMPARE(a->order, 3);
        QCOMPARE(a->date, QString("06-12-2026"));
        QCOMPARE(a->title, QString("Ustawa \"o lasach\" <b>"));
        QCOMPARE(a->lead, QString::fromUtf8("Łódź '24"));
        QCOMPARE(a->content, QString("<p>A &amp; B</p>")); // the body keeps its entities
        QCOMPARE(a->link, QUrl("http://www.kurendal.pl/a/42"));
        QCOMPARE(a->thumbnail, QUrl("http://x/t.jpg"));
        QCOMPARE(a->signature, QString("Jan"));
        QCOMPARE(a->label, QString("Kraj"));
        QCOMPARE(a->photos.size(), 1);
        QCOMPARE(a->photos.at(0)->xx, 7);
        QCOMPARE(a->photos.at(0)->url, QUrl("http://x/p1.jpg"));
        QCOMPARE(a->photos.at(0)->url2, QUrl("http://x/p1b.jpg"));
        QCOMPARE(a->photos.at(0)->desc, QString("Most & rzeka"));
        // The photo came before the article's identity and still knows it.
        QCOMPARE(a->photos.at(0)->articleXX, 42);

        const Article* b = list.at(1);
        QCOMPARE(b->xx, 0);             // "abc" is no number
        QVERIFY(b->photos.isEmpty());   // a photo outside "photos" is ignored with its content

        QVERIFY(ArticleParser().parse("<iphonefeed/>"));
        // Cut short, empty, or a well-formed page that is not a feed: refused.
        QVERIFY(!ArticleParser().parse("<iphonefeed><artykul><xx>1</xx></artykul><artykul>"));
        QVERIFY(!ArticleParser().parse(QByteArray()));
        ArticleParser html;
        QVERIFY(!html.parse("<html><body><h1>503</h1><artykul><xx>1</xx></artykul></body></html>"));
        QVERIFY(html.getParserArticles()->isEmpty());
    }

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

    void undeclaredEntitiesPrefixesAndDefaultsReadAsNothing()
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

        // Prefixes are ignored, and a document type's attribute defaults are not applied.
        ArticleParser prefixed;
        QVERIFY(prefixed.parse("<n:iphonefeed><n:artykul><n:xx>3</n:xx></n:artykul></n:iphonefeed>"));
        QCOMPARE(prefixed.getParserArticles()->size(), 1);
        QCOMPARE(prefixed.getParserArticles()->at(0)->xx, 3);

        GalleryPicturesParser defaults;
        QVERIFY(defaults.parse("<!DOCTYPE rss [<!ATTLIST enclosure url CDATA \"http://x/default.jpg\">]>"
                               "<rss><channel><item><media:title>t</media:title><enclosure/></item>"
                               "<item><enclosure m:url=\"a\" url=\"b\"/></item></channel></rss>"));
        QCOMPARE(defaults.getPicturesTitles(), (QList<QString>{"t", QString()}));
        QCOMPARE(defaults.getPicturesUrls(), (QList<QString>{QString(), "b"}));
    }

    static QByteArray utf16(const QString& text, bool littleEndian)
    {
        QByteArray bytes;
        for (QChar c : text) {
            const char low = char(c.unicode() & 0xff), high = char(c.unicode() >> 8);
            bytes.append(littleEndian ? low : high).append(littleEndian ? high : low);
        }
        return bytes;
    }

    // Such bytes as are refused once became U+FFFD and the feed was cached as it came.
    void bytesAreDecodedAsDeclaredOrRefuseTheFeed_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("expected"); // null: the feed is refused
        const QByteArray body = "<iphonefeed><artykul><xx>1</xx><title>%</title></artykul></iphonefeed>";
        auto with = [&](const QByteArray& declaration, const QByteArray& title) {
            return declaration + QByteArray(body).replace("%", title);
        };
        const QByteArray cp1250 = "<?xml version='1.0' encoding='windows-1250'?>";
        QTest::newRow("windows-1250") << with("<?xml version=\"1.0\" encoding=\"windows-1250\"?>", "\xb9\x9c")
                                      << QString::fromUtf8("ąś");
        QTest::newRow("ISO-8859-2") << with("<?xml version='1.0' encoding='ISO-8859-2'?>", "\xb1\xb6\xa3")
                                    << QString::fromUtf8("ąśŁ");
        QTest::newRow("unknown is UTF-8") << with("<?xml version='1.0' encoding='bogus-enc'?>", "\xc5\x82")
                                          << QString::fromUtf8("ł");
        QTest::newRow("UTF-8 mark") << "\xef\xbb\xbf" + with("<?xml version='1.0' encoding='latin2'?>", "\xc5\x82")
                                    << QString::fromUtf8("ł");
        const QString wide = QString::fromUtf8("<?xml version='1.0' encoding='UTF-16'?>") +
                             QString::fromUtf8(with(QByteArray(), "żółw \xf0\x9f\x98\x80"));
        QTest::newRow("UTF-16LE mark") << "\xff\xfe" + utf16(wide, true) << QString::fromUtf8("żółw 😀");
        QTest::newRow("UTF-16BE without mark") << utf16(wide, false) << QString::fromUtf8("żółw 😀");
        QTest::newRow("control characters") << with(QByteArray(), "a\x01\x0b b\xef\xbf\xbe\xef\xbf\xbf")
                                            << QString::fromUtf8("a\u0001\u000b b\uFFFE\uFFFF");
        QTest::newRow("control characters, windows-1250")
            << with("<?xml version='1.0' encoding='cp1250'?>", "\x1f\xb9") << QString::fromUtf8("\u001fą");
        QTest::newRow("broken byte") << with({}, "a\xff") << QString();
        QTest::newRow("overlong slash") << with({}, "\xc0\xaf") << QString();
        QTest::newRow("surrogate") << with({}, "\xed\xa0\x80") << QString();
        QTest::newRow("cut sequence") << with({}, "\xc5") << QString();
        QTest::newRow("above U+10FFFF") << with({}, "\xf4\x90\x80\x80") << QString();
        QTest::newRow("NUL") << with({}, QByteArray("a\0b", 3)) << QString();
        QTest::newRow("NUL, windows-1250") << with(cp1250, QByteArray("\0", 1)) << QString();
        QTest::newRow("no such byte in windows-1250") << with(cp1250, "\x81") << QString();
        QTest::newRow("UTF-16 declared, bytes are not") << with("<?xml version='1.0' encoding='UTF-16'?>", "") << QString();
        const QString head = QString::fromUtf8(body.left(body.indexOf('%'))), tail = QString::fromUtf8(body.mid(body.indexOf('%') + 1));
        QTest::newRow("lone UTF-16 surrogate") << "\xff\xfe" + utf16(head + QChar(0xDC01) + tail, true) << QString();
        QTest::newRow("UTF-16 high surrogate before U+E000")
            << "\xff\xfe" + utf16(head + QChar(0xD800) + QChar(0xE000) + tail, true) << QString();
        QTest::newRow("odd UTF-16 byte") << "\xff\xfe" + utf16(head + "a" + tail, true) + "x" << QString();
    }

    void bytesAreDecodedAsDeclaredOrRefuseTheFeed()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, expected);
        ArticleParser articles;
        QCOMPARE(articles.parse(document), !expected.isNull());
        if (!expected.isNull())
            QCOMPARE(articles.getParserArticles()->at(0)->title, expected);
    }

    // A long feed goes to the reader in pieces and may be read in slices; neither may change what is read.
    void piecesAndSlicesReadAsTheWhole()
    {
        QByteArray feed = "<iphonefeed>";
        for (int i = 0; feed.size() < 300 * 1024; ++i) {
            feed += "<artykul><xx>" + QByteArray::number(i) + "</xx><title>\xc5\x82\x01\xf0\x9f\x98\x80 " +
                    QByteArray(i % 7, 'x') + ".</title></artykul>";
        }
        feed += "</iphonefeed>";
        ArticleParser whole;
        QVERIFY(whole.parse(feed));
        QCOMPARE(whole.getParserArticles()->last()->title,
                 QString::fromUtf8("ł\u0001😀 ") + QString(int(whole.getParserArticles()->size() - 1) % 7, 'x') + ".");
        for (const Article* a : *whole.getParserArticles())
            QVERIFY2(a->title.startsWith(QString::fromUtf8("ł\u0001😀 ")), qPrintable(QString::number(a->xx)));

        struct Titles : FeedXmlHandler {
            QStringList titles;
            QString text;
            int ends = 0;
            void startElement(const QString&, const QXmlStreamAttributes&) override { text.clear(); }
            void endElement(const QString& name) override { if (name == "title") titles << text; }
            void characters(const QString& t) override { text += t; }
            void endDocument() override { ++ends; }
        } sliced;
        FeedXml::Reader reader(feed, sliced);
        int slices = 0;
        while (reader.readSome(0))
            ++slices;
        QVERIFY(slices > 10);
        QVERIFY(reader.succeeded());
        QCOMPARE(sliced.ends, 1);
        QCOMPARE(sliced.titles.size(), whole.getParserArticles()->size());
        for (int i = 0; i < sliced.titles.size(); ++i)
            QCOMPARE(sliced.titles.at(i), whole.getParserArticles()->at(i)->title);

        // What follows the root still counts, wherever the pieces end.
        QVERIFY(!ArticleParser().parse(feed + QByteArray(200 * 1024, ' ') + "<extra/>"));
        QVERIFY(!ArticleParser().parse(feed.left(feed.size() - 3)));
    }

    // The stream reader loses some of its checks once it has waited for more bytes, which a long
    // feed always makes it do: what a whole read refused is still refused.
    void aLongFeedIsCheckedAsAShortOne_data()
    {
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<bool>("ok");
        QTest::newRow("nothing") << QByteArray() << true;
        QTest::newRow("document type in the body") << QByteArray("<!DOCTYPE x>") << false;
        QTest::newRow("declaration in the body") << QByteArray("<?xml version='1.0'?>") << false;
        QTest::newRow("element after the root") << QByteArray("</iphonefeed><iphonefeed>") << false;
        QTest::newRow("overlong slash") << QByteArray("<xx>\xc0\xaf</xx>") << false;
        QTest::newRow("surrogate") << QByteArray("<xx>\xed\xa0\x80</xx>") << false;
    }

    void aLongFeedIsCheckedAsAShortOne()
    {
        QFETCH(QByteArray, fault);
        QFETCH(bool, ok);
        const QByteArray article = "<artykul><xx>1</xx><title>Tytu\xc5\x82</title></artykul>";
        QByteArray feed = "<?xml version='1.0' encoding='utf-8'?><!DOCTYPE iphonefeed><iphonefeed>";
        while (feed.size() < 200 * 1024)
            feed += article;
        feed += fault + article + "</iphonefeed>";
        ArticleParser articles;
        QCOMPARE(articles.parse(feed), ok);

        // A second document type, and a second encoding that does not apply to the decoded text.
        ArticleParser twice;
        QVERIFY(!twice.parse("<!DOCTYPE a><!DOCTYPE b>" + feed.mid(feed.indexOf("<iphonefeed>"))));
        ArticleParser encodings;
        QVERIFY(encodings.parse("<?xml version='1.0' encoding='latin2' encoding='ISO-8859-2'?><iphonefeed>" +
                                QByteArray(70 * 1024, ' ') + "<artykul><xx>1</xx><title>\xb1</title></artykul></iphonefeed>"));
        QCOMPARE(encodings.getParserArticles()->at(0)->title, QString::fromUtf8("ą"));
    }
};

QTEST_MAIN(TestFeedXml)
#include "tst_feedxml.moc"
