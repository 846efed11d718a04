#include <QtTest>

#include "logic/news/article.h"
#include "logic/news/articleparser.h"
#include "logic/news/photo.h"
#include "tests/support/testenv.h"

class TestArticleParser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::prepare(); }

    void fieldsEntitiesAndPhotos()
    {
        const QByteArray xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><iphonefeed><artykul>"
            "<photos><photo><url> http://x/p1.jpg </url><xx>7</xx>"
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
        QCOMPARE(a->photos.at(0)->desc, QString("Most & rzeka"));
        // The photo came before the article's identity and still knows it.
        QCOMPARE(a->photos.at(0)->articleXX, 42);

        const Article* b = list.at(1);
        QCOMPARE(b->xx, 0);             // "abc" is no number
        QVERIFY(b->photos.isEmpty());   // a photo outside "photos" is ignored with its content
    }

    void emptyAndBrokenDocuments()
    {
        ArticleParser empty;
        QVERIFY(empty.parse("<iphonefeed/>"));
        QVERIFY(empty.getParserArticles()->isEmpty());

        ArticleParser broken;
        QVERIFY(!broken.parse("<iphonefeed><artykul><xx>1</xx></artykul><artykul>"));
        ArticleParser nothing;
        QVERIFY(!nothing.parse(QByteArray()));
        // A well-formed page that is not a feed fails too.
        ArticleParser html;
        QVERIFY(!html.parse("<html><body><h1>503</h1><artykul><xx>1</xx></artykul></body></html>"));
        QVERIFY(html.getParserArticles()->isEmpty());
    }

    void entityReplacementOrder()
    {
        QCOMPARE(ArticleParser::replaceEntities("&amp;lt;i&amp;gt; &quot;x&quot; &apos;"), QString("<i> \"x\" '"));
    }
};

QTEST_GUILESS_MAIN(TestArticleParser)
#include "tst_articleparser.moc"
