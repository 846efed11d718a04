#include "screens/articlelist/articleitemdelegate.h"
#include "screens/articlelist/articlelistmodel.h"
#include "screens/articlelist/articlerows.h"
#include "screens/widgets/formstyle.h"
#include "screens/widgets/listview.h"
#include "screens/articlelist/articleslistwidget.h"
#include "screens/search/searchwidget.h"
#include "logic/news/articlesearch.h"
#include "tests/support/screenfixtures.h"
#include "tests/support/testchannel.h"

// The rows of the article lists and the article list screen.
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

    static QPixmap banner(int height)
    {
        QPixmap p(320, height);
        p.fill(Qt::blue);
        return p;
    }

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

    void cleanup()
    {
        qDeleteAll(made);
        made.clear();
        TestEnv::proxyThrough(*server);
    }

    void specialRowsFillTheListBetweenTheBanners()
    {
        RSSChannel channel(RSSChannel::Kraj, nullptr);
        ArticleListModel model(&channel, nullptr);
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
        RSSChannel channel(RSSChannel::Kraj, nullptr);
        ArticleListModel model(&channel, nullptr);
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
        RSSChannel channel(RSSChannel::Kraj, nullptr);
        ArticleListModel model(&channel, nullptr);
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
        TestEnv::clearData();
        serveKraj({7, 8});
        {
            RSSChannel channel(RSSChannel::Kraj, nullptr);
            QSignalSpy loaded(&channel, &RSSChannel::articlesUpadted);
            channel.updateArticles(false);
            QVERIFY(loaded.wait(5000));

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
        // The mark is in the cache file.
        RSSChannel again(RSSChannel::Kraj, nullptr);
        again.updateArticles(true);
        QCOMPARE(again.getUnreadArticlesCount(), 1);
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
        TestEnv::clearData();
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
        QImage picture(84, 78, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
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
};

QTEST_MAIN(TestArticleList)
#include "tst_articlelist.moc"
