#include <QRandomGenerator>

#include "logic/base/util.h"
#include "logic/news/articlesearch.h"
#include "screens/articlelist/articleitemdelegate.h"
#include "screens/articlelist/articlelistmodel.h"
#include "screens/articlelist/articlerows.h"
#include "screens/articlelist/articleslistwidget.h"
#include "screens/search/searchwidget.h"
#include "screens/widgets/formstyle.h"
#include "screens/widgets/listview.h"
#include "tests/support/screenfixtures.h"
#include "tests/support/testchannel.h"

namespace {

// A channel whose merge and slice-by-slice reading the test drives.
class Channel : public TestChannel
{
public:
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

// The article lists' rows and screen; behind them the merge of a feed into a channel, the same as a
// whole merge at any size, read a slice at a time, leaving nothing behind from refresh to refresh.
class TestArticleList : public QObject
{
    Q_OBJECT
private:
    QVector<Article*> made;
    SampleServer* server = nullptr;

    // The Kraj feed the service gives, with these articles.
    void serveKraj(const QVector<int>& ids) { Screens::serveFeed(*server, RSSChannel::Kraj, TestEnv::feed(ids)); }

    QVector<Article*> articles(int n, const QString& title = QString(), const QString& lead = QString())
    {
        QVector<Article*> list;
        for (int i = 0; i < n; ++i) {
            Article* a = new Article;
            a->xx = 100 + i;
            a->title = title.isEmpty() ? QString("Tytuł %1").arg(i) : title;
            a->lead = lead.isEmpty() ? QString("Lead %1").arg(i) : lead;
            list << a;
            made << a;
        }
        return list;
    }

    static QPixmap banner(int height) { return QPixmap::fromImage(Screens::filled(QSize(320, height), Qt::blue)); }

    static QVector<int> types(const ArticleListModel& m)
    {
        QVector<int> t;
        for (int r = 0; r < m.rowCount(); ++r)
            t << m.index(r).data(ItemTypeRole).toInt();
        return t;
    }

    static int lines(const QString& text) { return text.isEmpty() ? 0 : text.count('\n') + 1; }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
    }

    void init() { TestEnv::clearData(); }

    void cleanup()
    {
        qDeleteAll(made);
        made.clear();
        TestEnv::proxyThrough(*server);
    }

    void specialRowsFillTheListBetweenTheBanners()
    {
        ArticleListModel model(nullptr, nullptr); // a channel's: the briefcase's alone differs
        model.setContentHeight(650);
        model.setContentSpacing(1);
        model.widgetWidthChanged(480);
        model.topBannerChanged(banner(50), "http://reklama.example/top");
        model.bottomBannerChanged(banner(60), QString());

        // Empty: one no-items row takes what the banners leave.
        QCOMPARE(types(model), (QVector<int>{ItemTypeBanner, ItemTypeNoItems, ItemTypeBanner}));
        QCOMPARE(model.index(1).data(ItemHeightRole).toInt(), 650 - 110 - 2 * 3);
        QCOMPARE(model.index(1).data(ItemMainTextRole).toString(), QString::fromUtf8("Brak elementów w kategorii"));

        // Three articles on a tall list: a filler pushes the bottom banner down to the edge.
        model.articlesUpdated(articles(3));
        QCOMPARE(types(model), (QVector<int>{ItemTypeBanner, ItemTypeNormal, ItemTypeNormal, ItemTypeNormal,
                                              ItemTypeFakeSpace, ItemTypeBanner}));
        int total = 0;
        for (int r = 0; r < model.rowCount(); ++r)
            total += model.index(r).data(ItemHeightRole).toInt() + 2;
        QCOMPARE(total, 650);
        QCOMPARE(model.getArticle(1)->xx, 100);
        QVERIFY(!model.getArticle(0) && !model.getArticle(4));
        QCOMPARE(model.index(0).data(ItemIsClickableRole).toBool(), true);
        QCOMPARE(model.index(5).data(ItemIsClickableRole).toBool(), false);

        // Many articles: no filler.
        model.articlesUpdated(articles(10));
        QCOMPARE(model.rowCount(), 12);
        QVERIFY(!types(model).contains(ItemTypeFakeSpace));

        // A thumbnail repaints only its row.
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        emit model.getArticle(3)->thumbnailDownloadFinished(QImage(84, 78, QImage::Format_RGB32));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.first().at(0).toModelIndex().row(), 3);
        QCOMPARE(changes.first().at(1).toModelIndex().row(), 3);

        // A null banner changes nothing.
        model.topBannerChanged(QPixmap(), "http://inny.example");
        QCOMPARE(model.index(0).data(ItemMainTextRole).toString(), QString("http://reklama.example/top"));
    }

    void rowsStayAsTheViewsKnowThemUntilAChangeIsAnnounced()
    {
        ArticleListModel model(nullptr, nullptr);
        model.setContentSpacing(1);
        model.widgetWidthChanged(480);
        model.setContentHeight(200);
        model.articlesUpdated(articles(3));
        QVector<int> known = types(model);
        int announced = 0;
        auto check = [&]() {
            ++announced;
            QCOMPARE(types(model), known);
        };
        auto learn = [&]() { known = types(model); };
        connect(&model, &QAbstractItemModel::modelAboutToBeReset, this, check);
        connect(&model, &QAbstractItemModel::layoutAboutToBeChanged, this, check);
        connect(&model, &QAbstractItemModel::modelReset, this, learn);
        connect(&model, &QAbstractItemModel::layoutChanged, this, learn);

        model.setContentHeight(2000); // a filler row appears
        QVERIFY(types(model).contains(ItemTypeFakeSpace));
        model.topBannerChanged(banner(50), "http://reklama.example/top");
        QCOMPARE(types(model).first(), int(ItemTypeBanner));
        model.setContentHeight(100); // the filler goes
        QVERIFY(!types(model).contains(ItemTypeFakeSpace));
        model.setContentHeight(90); // same rows, new heights
        QCOMPARE(announced, 4);
    }

    void titleAndLeadShareTheTextBlock()
    {
        ArticleListModel model(nullptr, nullptr);
        model.widgetWidthChanged(480);
        QFont titleFont("Helvetica");
        titleFont.setWeight(QFont::Bold);
        titleFont.setPixelSize(20);
        const int maxTitleLines = 85 / QFontMetrics(titleFont).lineSpacing();

        const QString longTitle = QString("Bardzo długi tytuł artykułu ").repeated(12).trimmed();
        QVector<Article*> list = articles(1, longTitle, "Krótki lead");
        list += articles(1, "Krótki tytuł", QString("Lead, który ciągnie się przez wiele linijek ").repeated(10));
        model.articlesUpdated(list);

        // A title too long for the block is elided where it leaves the lead its line.
        QCOMPARE(lines(model.index(0).data(ItemMainTextRole).toString()), maxTitleLines - 1);
        QCOMPARE(model.index(0).data(ItemSubTextRole).toString(), QString("Krótki lead"));
        QCOMPARE(lines(model.index(1).data(ItemMainTextRole).toString()), 1);
        QVERIFY(lines(model.index(1).data(ItemSubTextRole).toString()) >= 2);

        // Narrowing re-breaks every row; the same width again does nothing.
        const QString wide = model.index(1).data(ItemSubTextRole).toString();
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        model.widgetWidthChanged(480);
        QCOMPARE(changes.count(), 0);
        model.widgetWidthChanged(300);
        QVERIFY(changes.count() > 0);
        QVERIFY(model.index(1).data(ItemSubTextRole).toString() != wide);
    }

    // Lines keep the space after each word, are never wider than the width, and the last one
    // allowed is elided; a first word wider than the width gives empty lines until then.
    void splitTextBreaksAtSpaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<QStringList>("expected"); // "…": a line that ends elided; "*": any that fits
        const QString e(QChar(0x2026));
        QTest::newRow("narrower than the width") << "alpha" << 0 << QStringList{"alpha"};
        QTest::newRow("two words a line") << "alpha beta gamma" << 2 << QStringList{"alpha beta ", "gamma"};
        QTest::newRow("one line") << "alpha beta gamma delta" << 1 << QStringList{e};
        QTest::newRow("three lines") << "alpha beta gamma delta epsilon zeta eta theta" << 3
                                     << QStringList{"alpha beta ", "*", e};
        QTest::newRow("a word too wide") << QString::fromUtf8("nadzwyczajnieprzedłużonysłowotwór i reszta") << 3
                                         << QStringList{"", "", e};
    }
    void splitTextBreaksAtSpaces()
    {
        QFETCH(QString, text);
        QFETCH(int, maxLines);
        QFETCH(QStringList, expected);
        QFont font("DejaVu Sans");
        font.setPixelSize(16);
        const QFontMetrics fm(font);
        const int w = fm.horizontalAdvance("alpha beta ") + 2;
        const QStringList lines = Util::splitText(text, fm, w, maxLines);
        QCOMPARE(lines.size(), expected.size());
        for (int i = 0; i < lines.size(); ++i) {
            QVERIFY(fm.horizontalAdvance(lines.at(i).trimmed()) <= w);
            if (expected.at(i) == QString(QChar(0x2026)))
                QVERIFY2(lines.at(i).endsWith(QChar(0x2026)), qPrintable(lines.at(i)));
            else if (expected.at(i) != "*")
                QCOMPARE(lines.at(i), expected.at(i));
        }
    }

    // Scrolled a few pixels at a time, the window shows what the list paints anew: the rows, the
    // lines between them and the bar's handle.
    void aScrolledListShowsWhatItPaints()
    {
        ArticleListModel model(nullptr, nullptr);
        ArticleItemDelegate rows(nullptr);
        QScopedPointer<ListView> list(FormStyle::listView(nullptr, Theme::ListPage));
        list->setSpacing(1);
        ArticleRows::attach(list.data(), &model, &rows);
        model.articlesUpdated(articles(12));
        QVERIFY(Screens::show(list.data(), QSize(300, 400)));
        for (int step = 0; step < 6; ++step) {
            list->verticalScrollBar()->setValue(list->verticalScrollBar()->value() + 7);
            QApplication::processEvents();
        }
        QTRY_COMPARE(list->screen()->grabWindow(list->winId()).toImage().convertToFormat(QImage::Format_RGB32),
                     list->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }

    void tappingAnArticleMarksItReadAndOpensIt()
    {
        // (The mark is saved with the channel: tst_faults reads it back.)
        serveKraj({7, 8});
        RSSChannel channel(RSSChannel::Kraj, nullptr);
        QVERIFY(TestEnv::refreshed(channel));
        ArticlesListWidget screen(&channel, nullptr);
        QVERIFY(Screens::show(&screen));
        QAbstractItemModel* rows = Screens::rows(&screen);
        QCOMPARE(rows->rowCount(), 3); // two articles and the filler

        QSignalSpy opened(&screen, &ArticlesListWidget::articleSelected);
        Finger(&screen).tap(Screens::rowCentre(&screen, 1));
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.first().first().value<Article>().xx, 8);
        QVERIFY(rows->index(1, 0).data(ItemWasReadRole).toBool());
        QVERIFY(!rows->index(0, 0).data(ItemWasReadRole).toBool());
        QCOMPARE(channel.getUnreadArticlesCount(), 1);
    }

    // The hits follow the typing and a refresh that lands during the search; a hit opens its article.
    void searchFollowsTypingAndRefreshes()
    {
        TestChannel kraj;
        kraj.take({1, 2});
        ArticleSearch index;
        index.follow(&kraj);
        SearchWidget screen(&index, nullptr);
        Screens::show(&screen);
        QSignalSpy opened(&screen, &SearchWidget::articleSelected);
        QLineEdit* field = screen.findChild<QLineEdit*>("searchField");
        QListWidget* results = screen.findChild<QListWidget*>("results");
        QTest::keyClicks(field, "tresc ARTYKUL");
        QCOMPARE(results->count(), 2);
        QTest::keyClicks(field, " 3");
        QCOMPARE(results->count(), 0);
        kraj.take({3, 2, 1});
        QCOMPARE(results->count(), 1);
        QCOMPARE(screen.findChild<QLabel*>("infoLabel")->text(), QString("Znalezione artykuły: 1"));
        emit results->itemClicked(results->item(0));
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.first().first().value<Article>().xx, 3);

        // By keys: Return in the field opens the first hit, Down and Up move between the field and
        // the hits, Escape in the field goes back.
        QApplication::setActiveWindow(&screen);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(opened.count(), 2);
        QTest::keyClick(field, Qt::Key_Down);
        QVERIFY(results->hasFocus() && results->currentRow() == 0);
        QTest::keyClick(results, Qt::Key_Up);
        QVERIFY(field->hasFocus());
        QSignalSpy back(&screen, &SearchWidget::backClicked);
        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(back.count(), 1);
    }

    // With the service gone a refresh keeps the list, its thumbnails and the time of the last one
    // that worked; the user's refresh says it failed, the automatic one does not; then all comes back.
    void aFailedRefreshKeepsTheListAndOnlyTheUsersOneSaysSo()
    {
        serveKraj({7, 8});
        RSSChannel channel(RSSChannel::Kraj, nullptr);
        ArticlesListWidget screen(&channel, nullptr);
        Screens::show(&screen);
        QPushButton* refresh = screen.findChild<QPushButton*>("refreshButton");
        QLabel* info = screen.findChild<QLabel*>("infoLabel");
        Boxes boxes;
        QTest::mouseClick(refresh, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(refresh->isEnabled(), 5000);
        QVERIFY(boxes.shown.isEmpty());
        const QDateTime worked = channel.getLastUpdateTime();
        const QString infoText = info->text();
        const QImage picture = Screens::filled(QSize(84, 78), Qt::darkGreen);
        screen.model->getArticle(0)->thumbnailImage = picture;

        TestEnv::noProxy(); // the service is gone
        for (bool asked : {true, false}) {
            if (asked)
                QTest::mouseClick(refresh, Qt::LeftButton);
            else
                channel.updateArticles(false);
            QTRY_VERIFY_WITH_TIMEOUT(refresh->isEnabled(), 5000);
            QCOMPARE(boxes.texts(), QStringList{RSSChannel::failedRefreshText()});
            QCOMPARE(boxes.last().kind, MessageBox::Shown::Error);
            QCOMPARE(screen.model->articlesCount(), 2);
            QCOMPARE(screen.model->index(0).data(ItemImageRole).value<QImage>(), picture);
            QCOMPARE(channel.getLastUpdateTime(), worked);
            QCOMPARE(info->text(), infoText);
        }

        TestEnv::proxyThrough(*server);
        serveKraj({9, 7, 8});
        QTest::mouseClick(refresh, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(refresh->isEnabled(), 5000);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(screen.model->articlesCount(), 3);
        QVERIFY(channel.getLastUpdateTime() > worked);
    }

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
                if (same == whole.end())
                    same = whole.insert(whole.end(), new Article(nullptr));
                (*same)->updateFrom(*fresh, false);
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

        Channel whole;
        whole.take(bytes);
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
        Screens::serveFeed(*server, RSSChannel::Kraj, big);
        Screens::serveFeed(*server, RSSChannel::Swiat, feedWithPhotos({5, 6}, 1));
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

    // Each refresh used to keep the photos it replaced, and the articles it cut, until the end.
    void refreshesLeaveNothingBehind()
    {
        Screens::serveFeed(*server, RSSChannel::Kultura, feedWithPhotos({1, 2, 3, 4, 5}, 3));
        RSSChannel kultura(RSSChannel::Kultura, nullptr);
        QVERIFY(TestEnv::refreshed(kultura));
        const int objects = objectsUnder(kultura);
        for (int round = 0; round < 3; ++round) {
            QVERIFY(TestEnv::refreshed(kultura));
            QCOMPARE(objectsUnder(kultura), objects);
        }

        Screens::serveFeed(*server, RSSChannel::Kultura, feedWithPhotos(range(100, 129), 2));
        QVERIFY(TestEnv::refreshed(kultura));
        const int full = objectsUnder(kultura);
        for (int round = 1; round <= 3; ++round) {
            const QVector<int> fresh = range(100 + round * 30, 129 + round * 30);
            Screens::serveFeed(*server, RSSChannel::Kultura, feedWithPhotos(fresh, 2));
            QVERIFY(TestEnv::refreshed(kultura));
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
                a->thumbnailImage = Screens::filled(QSize(84, 78), QColor(round * 40, i * 50, 0));
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

QTEST_MAIN(TestArticleList)
#include "tst_articlelist.moc"
