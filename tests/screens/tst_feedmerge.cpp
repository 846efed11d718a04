#include <QRandomGenerator>

#include "logic/news/articleparser.h"
#include "screens/articlelist/articleitemdelegate.h"
#include "screens/articlelist/articlelistmodel.h"
#include "screens/articlelist/articleslistwidget.h"
#include "logic/base/file.h"
#include "tests/support/screenfixtures.h"

namespace {

class Channel : public RSSChannel
{
public:
    explicit Channel(ChannelType type = RSSChannel::Kraj) : RSSChannel(type, nullptr) {}
    using RSSChannel::mergeFeed;
    using RSSChannel::startReading;
};

using Screens::ids;
using Screens::range;

// A feed whose articles carry `photos` photos each; the i-th has order i.
QByteArray feedWithPhotos(const QVector<int>& xx, int photos)
{
    QByteArray xml = "<iphonefeed>";
    for (int i = 0; i < xx.size(); ++i) {
        xml += QString("<artykul><xx>%1</xx><order>%2</order><title>Artykuł %1</title><lead>Lead</lead>"
                       "<content>Treść %1</content><thumbnail>http://img.kurendal.pl/t%1.jpg</thumbnail><photos>")
                   .arg(xx[i]).arg(i).toUtf8();
        for (int p = 0; p < photos; ++p)
            xml += QString("<photo><xx>%1</xx><url>http://img.kurendal.pl/p%1.jpg</url><desc>Opis</desc></photo>")
                       .arg(xx[i] * 10 + p).toUtf8();
        xml += "</photos></artykul>";
    }
    return xml + "</iphonefeed>";
}

int objectsUnder(const QObject& o)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return o.findChildren<QObject*>().size();
}

} // namespace

// Merging a feed into a channel: the same list as a merge that keeps every article, whatever
// the feed's size, read a slice at a time, and with nothing left behind from one refresh to the next.
class TestFeedMerge : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;

    void serve(int type, const QByteArray& body) { Screens::serveFeed(*server, type, body); }

    bool refresh(RSSChannel& c)
    {
        QSignalSpy spy(&c, &RSSChannel::articlesUpadted);
        c.updateArticles(false);
        return spy.wait(10000);
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
    }

    void init() { TestEnv::clearData(); }

    // Against the merge that searched the whole list for each article of the feed and kept
    // them all until the cut: ties of order, articles without one, read marks, lists of any size.
    void theListIsTheOneOfAWholeMerge()
    {
        QRandomGenerator random(1234);
        Channel channel;
        QVector<Article*> whole; // the reference list, merged the old way
        for (int round = 0; round < 300; ++round) {
            const int size = random.bounded(round % 10 == 0 ? 200 : 60);
            QVector<int> pool = range(1, 150);
            std::shuffle(pool.begin(), pool.end(), std::mt19937(round));
            QVector<Article*> parsed;
            for (int i = 0; i < size && i < pool.size(); ++i) {
                Article* a = new Article(nullptr);
                a->xx = pool.at(i);
                const int kind = random.bounded(10);
                a->order = kind == 0 ? 0 : kind == 1 ? -random.bounded(5) : random.bounded(40); // many ties
                a->title = QString("r%1").arg(round);
                parsed << a;
            }

            for (Article* a : whole)
                a->markAsOld();
            for (const Article* fresh : parsed) {
                auto same = std::find_if(whole.begin(), whole.end(), [fresh](const Article* a) { return *a == *fresh; });
                if (same != whole.end()) {
                    (*same)->updateFrom(*fresh, false);
                } else {
                    whole.append(new Article(nullptr));
                    whole.last()->updateFrom(*fresh, false);
                }
            }
            std::stable_sort(whole.begin(), whole.end(), articleLessThan);
            while (whole.size() > RSSChannel::maxArticles)
                delete whole.takeLast();
            for (int i = 0; i < whole.size(); ++i)
                whole.at(i)->order = i; // as saving the cache numbers them

            channel.mergeFeed(parsed);
            channel.articlesDidChange(true);
            qDeleteAll(parsed);

            QVector<int> expected;
            for (const Article* a : whole)
                expected << a->xx;
            QCOMPARE(ids(channel), expected);
            for (int i = 0; i < whole.size(); ++i) {
                QCOMPARE(channel.getArticles().at(i)->order, whole.at(i)->order);
                QCOMPARE(channel.getArticles().at(i)->title, whole.at(i)->title);
            }
            if (round % 7 == 0 && !channel.getArticles().isEmpty())
                channel.getArticles().at(0)->articleWasRead = whole.at(0)->articleWasRead = true;
        }
        for (int i = 0; i < whole.size(); ++i)
            QCOMPARE(channel.getArticles().at(i)->articleWasRead, whole.at(i)->articleWasRead);
        qDeleteAll(whole);
    }

    // Its last copy moves it below the thirty, and the one it pushed out comes back; read whole or in slices.
    void aRepeatedArticleIsKeptOnceWithItsLastFields()
    {
        QVector<int> xx = range(1, 35) << 3 << 3 << 3 << 3 << 3;
        const QByteArray bytes = feedWithPhotos(xx, 1);
        QVector<int> expected = range(1, 31);
        expected.removeOne(3);

        ArticleParser parser;
        QVERIFY(parser.parse(bytes));
        Channel whole;
        whole.mergeFeed(*parser.getParserArticles());
        whole.articlesDidChange(true);
        QCOMPARE(ids(whole), expected);

        Channel sliced;
        QSignalSpy done(&sliced, &RSSChannel::articlesUpadted);
        sliced.startReading(bytes);
        QVERIFY(done.size() == 1 || done.wait(5000));
        QCOMPARE(ids(sliced), expected);

        // Still in the list: the last copy's fields.
        xx.resize(36);
        const QByteArray shorter = feedWithPhotos(xx, 1).replace("<order>35</order><title>Artyku\xc5\x82 3<",
                                                                 "<order>1</order><title>Ostatni<");
        QVERIFY(shorter.contains("Ostatni"));
        sliced.startReading(shorter);
        QVERIFY(done.size() == 2 || done.wait(5000));
        QCOMPARE(ids(sliced).mid(0, 3), (QVector<int>{1, 2, 3}));
        QCOMPARE(sliced.getArticles().at(2)->title, QString("Ostatni"));
    }

    // As the publisher's server would send it (about 14 MB): read in slices while the event loop
    // keeps running and the other channels refresh, kept to the thirty a whole read would keep.
    void aHundredThousandArticlesFromTheServer()
    {
        const int count = 100000;
        QByteArray big = "<iphonefeed>";
        for (int i = 0; i < count; ++i) { // the best orders come last
            const QByteArray xx = QByteArray::number(count - i);
            big += "<artykul><xx>" + xx + "</xx><order>" + QByteArray::number(count - 1 - i) + "</order><title>Wiadomo\xc5\x9b\xc4\x87 " +
                   xx + "</title><thumbnail>http://rss.kurendal.pl/t/" + xx + ".jpg</thumbnail>";
            if (count - i <= RSSChannel::maxArticles)
                big += "<photos><photo><xx>" + xx + "0</xx><url>http://img.kurendal.pl/p" + xx + ".jpg</url></photo></photos>";
            big += "</artykul>\n";
        }
        big += "</iphonefeed>";
        QVERIFY(big.size() > 12 * 1024 * 1024);
        serve(RSSChannel::Kraj, big);
        serve(RSSChannel::Swiat, feedWithPhotos({5, 6}, 1));
        RSSChannel kraj(RSSChannel::Kraj, nullptr), swiat(RSSChannel::Swiat, nullptr);
        QSignalSpy krajDone(&kraj, &RSSChannel::articlesUpadted), swiatDone(&swiat, &RSSChannel::articlesUpadted);
        kraj.updateArticles(false);
        swiat.updateArticles(false);
        // The next feed downloads while the long one is being read, and is merged first.
        QVERIFY(swiatDone.wait(60000));
        QVERIFY(krajDone.isEmpty());
        QVERIFY(kraj.isUpdating());
        int ticks = 0;
        QTimer ticker;
        ticker.setInterval(0);
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start();
        QVERIFY(krajDone.wait(60000));
        QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));
        QVERIFY(!kraj.isUpdating());
        TestEnv::spin(20);
        QCOMPARE(krajDone.size(), 1);
        QCOMPARE(ids(kraj), range(1, RSSChannel::maxArticles));
        QCOMPARE(ids(swiat), (QVector<int>{5, 6}));
        QCOMPARE(kraj.getArticles().at(0)->title, QString::fromUtf8("Wiadomość 1"));
        QCOMPARE(kraj.getArticles().first()->photos.size(), 1);
        QCOMPARE(kraj.getArticles().first()->photos.first()->articleXX, 1);
    }

    void aNewerFeedOrTheChannelsEndStopsAReadInProgress()
    {
        const QByteArray big = feedWithPhotos(range(1, 20000), 0);
        {
            Channel channel;
            QSignalSpy done(&channel, &RSSChannel::articlesUpadted);
            channel.startReading(big);
            QVERIFY(channel.isUpdating());
            channel.startReading(feedWithPhotos({7, 8}, 0));
            QCOMPARE(done.size(), 1);
            QCOMPARE(ids(channel), (QVector<int>{7, 8}));
            TestEnv::spin(300);
            QCOMPARE(done.size(), 1);
            QCOMPARE(ids(channel), (QVector<int>{7, 8}));
            QVERIFY(!channel.isUpdating());
        }
        {
            auto* channel = new Channel;
            channel->startReading(big);
            QVERIFY(channel->isUpdating());
            TestEnv::spin(20);
            delete channel;
            TestEnv::spin(100); // no slice may run on the deleted channel
        }
    }

    // Such a feed was cached as it came, with its broken bytes.
    void aFeedThatIsNotTextLeavesListAndCacheAsTheyWere()
    {
        serve(RSSChannel::Sport, feedWithPhotos({1, 2}, 0));
        RSSChannel sport(RSSChannel::Sport, nullptr);
        QVERIFY(refresh(sport));
        QFile cache(File::createPathToResource("rssSport"));
        QVERIFY(cache.open(QIODevice::ReadOnly));
        const QByteArray cached = cache.readAll();
        cache.close();
        for (QByteArray broken : {feedWithPhotos({3, 4}, 0).replace("Lead", QByteArray("Le\0d", 4)),
                                  feedWithPhotos({3, 4}, 0).replace("Lead", "Le\xff\xfe")}) {
            serve(RSSChannel::Sport, broken);
            QVERIFY(refresh(sport));
            QCOMPARE(ids(sport), (QVector<int>{1, 2}));
            QVERIFY(cache.open(QIODevice::ReadOnly));
            QCOMPARE(cache.readAll(), cached);
            cache.close();
        }
    }

    // Each refresh used to keep the photos it replaced, and the articles it cut, until the end.
    void refreshesLeaveNothingBehind()
    {
        serve(RSSChannel::Kultura, feedWithPhotos({1, 2, 3, 4, 5}, 3));
        RSSChannel kultura(RSSChannel::Kultura, nullptr);
        QVERIFY(refresh(kultura));
        const int objects = objectsUnder(kultura);
        for (int round = 0; round < 3; ++round) {
            QVERIFY(refresh(kultura));
            QCOMPARE(objectsUnder(kultura), objects);
        }

        serve(RSSChannel::Kultura, feedWithPhotos(range(100, 129), 2));
        QVERIFY(refresh(kultura));
        const int full = objectsUnder(kultura);
        for (int round = 1; round <= 3; ++round) {
            const QVector<int> fresh = range(100 + round * 30, 129 + round * 30);
            serve(RSSChannel::Kultura, feedWithPhotos(fresh, 2));
            QVERIFY(refresh(kultura));
            QCOMPARE(ids(kultura), fresh);
            QCOMPARE(objectsUnder(kultura), full);
        }
    }

    // The list kept a scaled copy of every thumbnail it had ever shown, new pictures at every refresh.
    void aRefreshedListKeepsTheThumbnailsOfItsRowsOnly()
    {
        RSSChannel channel(RSSChannel::Kraj, nullptr);
        ArticlesListWidget screen(&channel, nullptr);
        auto* model = screen.findChild<ArticleListModel*>();
        auto* delegate = screen.findChild<ArticleItemDelegate*>();
        QVERIFY(model && delegate);
        QImage canvas(480, 100, QImage::Format_ARGB32_Premultiplied);
        for (int round = 0; round < 6; ++round) {
            QVector<Article*> list;
            for (int i = 0; i < 5; ++i) {
                Article* a = new Article(&channel);
                a->xx = i;
                a->title = QString("Tytuł %1").arg(i);
                a->thumbnailImage = QImage(84, 78, QImage::Format_RGB32);
                a->thumbnailImage.fill(QColor(round * 40, i * 50, 0));
                list << a;
            }
            model->articlesUpdated(list);
            for (int row = 0; row < model->rowCount(); ++row) {
                QStyleOptionViewItem option;
                option.rect = QRect(0, 0, 480, 100);
                QPainter painter(&canvas);
                delegate->paint(&painter, option, model->index(row));
            }
            QVERIFY2(delegate->thumbnailsKept() <= 5, qPrintable(QString::number(delegate->thumbnailsKept())));
        }
        QVERIFY(delegate->thumbnailsKept() > 0);
    }
};

QTEST_MAIN(TestFeedMerge)
#include "tst_feedmerge.moc"
