#include <QStandardItemModel>

#include "screens/articlelist/articleslistwidget.h"
#include "screens/categories/categorylistwidget.h"
#include "screens/categories/channelitemdelegate.h"
#include "screens/categories/channelmodel.h"
#include "screens/widgets/listview.h"
#include "tests/support/screenfixtures.h"

// The root screen: its rows, its busy labels and what a tap on a row does.
class TestCategoryList : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;

    void serve(int type, int xx, int delay) { Screens::serveFeed(*server, type, TestEnv::feed({xx}), delay); }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
        server->setContentRoot(KURENDAL_SAMPLE_CONTENT);
    }

    void init() { TestEnv::clearData(); }

    void aRefreshingRowShowsTheBusyLabelUntilItsFeedArrives()
    {
        serve(RSSChannel::Kraj, 1, 400);
        serve(RSSChannel::Sport, 2, 0);
        QVector<RSSChannel*> channels{new RSSChannel(RSSChannel::Kraj, nullptr),
                                      new RSSChannel(RSSChannel::Sport, nullptr)};
        {
            CategoryListWidget screen(&channels, nullptr);
            QVERIFY(Screens::show(&screen));
            ListView* list = screen.findChild<ListView*>("listView");
            QCOMPARE(list->model()->rowCount(), 2);
            QVERIFY(!list->indexWidget(list->model()->index(0, 0)));

            QTest::mouseClick(screen.findChild<QPushButton*>("refreshButton"), Qt::LeftButton);
            QTest::qWait(50);
            QLabel* busy = qobject_cast<QLabel*>(list->indexWidget(list->model()->index(0, 0)));
            QVERIFY(busy);
            QMovie* movie = screen.findChild<QMovie*>();
            QVERIFY(movie);
            QCOMPARE(movie->state(), QMovie::Running);
            QVERIFY(!busy->pixmap(Qt::ReturnByValue).isNull());
            QCOMPARE(busy->geometry(), QRect(480 - 80, 15, 40, 40)); // its right edge is the counts'

            QTRY_VERIFY_WITH_TIMEOUT(!channels[0]->isUpdating() && !channels[1]->isUpdating(), 5000);
            QTest::qWait(50);
            QVERIFY(!list->indexWidget(list->model()->index(0, 0)));
            QVERIFY(!list->indexWidget(list->model()->index(1, 0)));
            QCOMPARE(list->model()->index(0, 0).data(ItemSubTextRole).toInt(), 1);
        }
        qDeleteAll(channels);
    }

    // Counts of any length end on one right edge, the divider's end, at every width.
    void countsShareOneRightEdge_data()
    {
        QTest::addColumn<int>("width");
        for (int width : {320, 480, 854})
            QTest::addRow("%d", width) << width;
    }
    void countsShareOneRightEdge()
    {
        QFETCH(int, width);
        QStandardItemModel model(1, 1);
        model.setData(model.index(0, 0), ItemTypeNormal, ItemTypeRole);
        model.setData(model.index(0, 0), 70, ItemHeightRole);
        model.setData(model.index(0, 0), QString::fromUtf8("Świat"), ItemMainTextRole);
        QListView view;
        ChannelItemDelegate delegate(view, nullptr);
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, width, 70);
        QVector<int> edges;
        for (int count : {5, 30, 1234}) {
            model.setData(model.index(0, 0), count, ItemSubTextRole);
            QImage row(width, 70, QImage::Format_RGB32);
            row.fill(Qt::white);
            QPainter painter(&row);
            delegate.paint(&painter, option, model.index(0, 0));
            painter.end();
            int right = width - 1;
            for (; right > width / 2; --right) {
                bool inked = false;
                for (int y = 0; y < 69 && !inked; ++y)
                    inked = row.pixel(right, y) != qRgb(255, 255, 255);
                if (inked)
                    break;
            }
            QVERIFY2(right <= width - 40, qPrintable(QString("(%1) ends at %2").arg(count).arg(right)));
            edges << right;
        }
        // Antialiasing may move an edge by a pixel.
        QVERIFY2(*std::max_element(edges.begin(), edges.end()) - *std::min_element(edges.begin(), edges.end()) <= 1,
                 qPrintable(QString("right edges %1 %2 %3").arg(edges[0]).arg(edges[1]).arg(edges[2])));
    }

    void aBannerWithoutLinkDoesNothingAndACategoryOpens()
    {
        QVector<RSSChannel*> channels{new RSSChannel(RSSChannel::Kraj, nullptr),
                                      new RSSChannel(RSSChannel::Swiat, nullptr)};
        {
            CategoryListWidget screen(&channels, nullptr);
            QVERIFY(Screens::show(&screen));
            QPixmap banner(320, 50);
            banner.fill(Qt::blue);
            screen.model->topBannerChanged(banner, QString());
            ListView* list = screen.findChild<ListView*>("listView");
            QTest::qWait(20);
            QCOMPARE(list->model()->rowCount(), 3);
            QCOMPARE(list->visualRect(list->model()->index(0, 0)).height(), 50);

            QVector<RSSChannel*> selected;
            connect(&screen, &CategoryListWidget::channelSelected, [&selected](RSSChannel* c) { selected << c; });
            Finger finger(&screen);
            finger.tap(Screens::rowCentre(&screen, 0));
            QVERIFY(selected.isEmpty());
            finger.tap(Screens::rowCentre(&screen, 2));
            QCOMPARE(selected, QVector<RSSChannel*>{channels[1]});
        }
        qDeleteAll(channels);
    }

    void tappingACategoryPushesItsList()
    {
        QScopedPointer<MainWidget> main(Screens::startMain());
        ArticlesListWidget* first = Screens::onTop<ArticlesListWidget>(main.data());
        QVERIFY(first);
        QVERIFY(first->findChild<QLabel*>("infoLabel")->text().contains(QString::fromUtf8("Najważniejsze")));

        QTest::mouseClick(first->findChild<QPushButton*>("backButton"), Qt::LeftButton);
        CategoryListWidget* root = main->findChild<CategoryListWidget*>();
        QTRY_VERIFY(main->isEnabled());
        QTRY_VERIFY(!Screens::onTop<ArticlesListWidget>(main.data()));
        QVERIFY(root->isVisible());

        Finger(root).tap(Screens::rowCentre(root, 3));
        ArticlesListWidget* opened = Screens::settled<ArticlesListWidget>(main.data());
        QVERIFY(opened);
        QVERIFY(opened->findChild<QLabel*>("infoLabel")->text().contains(QString::fromUtf8("Świat")));
    }
};

QTEST_MAIN(TestCategoryList)
#include "tst_categorylist.moc"
