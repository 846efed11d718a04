#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardItemModel>

#include "logic/net/downloadservice.h"
#include "logic/news/refreshscheduler.h"
#include "logic/news/settings.h"
#include "screens/articlelist/articleslistwidget.h"
#include "screens/categories/categorylistwidget.h"
#include "screens/categories/channelitemdelegate.h"
#include "screens/categories/channelmodel.h"
#include "screens/widgets/listview.h"
#include "tests/support/screenfixtures.h"

// The root screen: its rows, banner, busy labels and taps; behind it the channels' refresh
// schedule, whose timers are fired by hand and read back (nobody waits real minutes).
class TestCategoryList : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;
    QVector<RSSChannel*> channels; // Najważniejsze, Najnowsze, Kraj
    ChannelModel* model = nullptr;
    RefreshScheduler* scheduler = nullptr;
    Settings* settings = nullptr;

    void serve(int type, int xx, int delay) { Screens::serveFeed(*server, type, TestEnv::feed({xx}), delay); }
    QTimer* timer(int i) { return scheduler->updateTimers.at(i); }
    void fire(int i) { QMetaObject::invokeMethod(timer(i), "timeout"); }
    QVector<int> intervals() { return {timer(0)->interval(), timer(1)->interval(), timer(2)->interval()}; }
    int running() { return int(timer(0)->isActive()) + int(timer(1)->isActive()) + int(timer(2)->isActive()); }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        // A feed request the test does not serve ends at once: the service knows no feeds.
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
    }

    void init()
    {
        TestEnv::clearData();
        for (int t = RSSChannel::Najwazniejsze; t <= RSSChannel::Kraj; ++t)
            channels << new RSSChannel(RSSChannel::ChannelType(t), nullptr);
        model = new ChannelModel(&channels, nullptr);
        scheduler = new RefreshScheduler(channels, nullptr);
        settings = new Settings(nullptr);
    }

    void cleanup()
    {
        delete model;
        delete scheduler;
        delete settings;
        qDeleteAll(channels);
        channels.clear();
        // The requests let go are gone before the next case, and before the program ends.
        QTRY_VERIFY(DownloadService::instance()->manager()->findChildren<QNetworkReply*>().isEmpty());
    }

    void aRefreshingRowShowsTheBusyLabelUntilItsFeedArrives()
    {
        serve(RSSChannel::Najwazniejsze, 1, 400);
        serve(RSSChannel::Najnowsze, 2, 0);
        serve(RSSChannel::Kraj, 3, 0);
        CategoryListWidget screen(&channels, nullptr);
        QVERIFY(Screens::show(&screen));
        ListView* list = screen.findChild<ListView*>("listView");
        QCOMPARE(list->model()->rowCount(), 3);
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
        const QImage blank = Screens::filled(QSize(1, 69), Qt::white);
        for (int count : {5, 30, 1234}) {
            model.setData(model.index(0, 0), count, ItemSubTextRole);
            QImage row = Screens::filled(QSize(width, 70), Qt::white);
            QPainter painter(&row);
            delegate.paint(&painter, option, model.index(0, 0));
            painter.end();
            int right = width - 1;
            while (right > width / 2 && row.copy(right, 0, 1, 69) == blank)
                --right;
            QVERIFY2(right <= width - 40, qPrintable(QString("(%1) ends at %2").arg(count).arg(right)));
            edges << right;
        }
        // Antialiasing may move an edge by a pixel.
        QVERIFY2(*std::max_element(edges.begin(), edges.end()) - *std::min_element(edges.begin(), edges.end()) <= 1,
                 qPrintable(QString("right edges %1 %2 %3").arg(edges[0]).arg(edges[1]).arg(edges[2])));
    }

    // The banner heads the list; one without a link does nothing when tapped, a category opens.
    void theBannerRowAndATapOnACategory()
    {
        CategoryListWidget screen(&channels, nullptr);
        QVERIFY(Screens::show(&screen));
        ChannelModel* rows = screen.model;
        QCOMPARE(rows->rowCount(), 3);
        QCOMPARE(rows->data(rows->index(2), ItemMainTextRole).toString(), QString("Kraj"));
        const QPixmap banner = QPixmap::fromImage(Screens::filled(QSize(320, 50), Qt::blue));
        rows->topBannerChanged(banner, QString());
        QTest::qWait(20);
        QCOMPARE(rows->rowCount(), 4);
        QVERIFY(!rows->getChannel(0));
        QCOMPARE(rows->getChannel(1), channels[0]);
        QCOMPARE(rows->data(rows->index(0), ItemTypeRole).toInt(), int(ItemTypeBanner));
        QCOMPARE(rows->data(rows->index(0), ItemHeightRole).toInt(), 50);
        ListView* list = screen.findChild<ListView*>("listView");
        QCOMPARE(list->visualRect(list->model()->index(0, 0)).height(), 50);

        QVector<RSSChannel*> selected;
        connect(&screen, &CategoryListWidget::channelSelected, [&selected](RSSChannel* c) { selected << c; });
        Finger finger(&screen);
        finger.tap(Screens::rowCentre(&screen, 0));
        QVERIFY(selected.isEmpty());
        finger.tap(Screens::rowCentre(&screen, 2));
        QCOMPARE(selected, QVector<RSSChannel*>{channels[1]});
        rows->topBannerChanged(banner, "http://reklama.example/");
        QVERIFY(rows->data(rows->index(0), ItemIsClickableRole).toBool());
        rows->topBannerChanged(QPixmap(), QString());
        QCOMPARE(rows->getChannel(0), channels[0]);
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

    void updatesRestartTheirChannelsTimer()
    {
        scheduler->updateIntervalChanged(1);
        QSignalSpy changed(channels[0], &RSSChannel::articlesUpadted);
        channels[0]->updateArticles(true);
        QVERIFY(timer(0)->isActive());
        QCOMPARE(timer(0)->interval(), 300000);

        // In the foreground an elapsed timer refreshes its channel.
        scheduler->applicationStateChanged(true);
        fire(0);
        QVERIFY(channels[0]->isUpdating());
        QVERIFY(!timer(0)->isActive());
        QVERIFY(changed.wait(5000));
        QVERIFY(timer(0)->isActive()); // counting again from the end of that update

        // Held back in the background, timers run once on resume.
        scheduler->updateIntervalChanged(2);
        scheduler->applicationStateChanged(false);
        fire(1);
        fire(1);
        QVERIFY(!channels[1]->isUpdating());
        QCOMPARE(scheduler->channelsToUpdateAfterActivation.size(), 1);
        scheduler->applicationStateChanged(true);
        QVERIFY(scheduler->channelsToUpdateAfterActivation.isEmpty());
        QVERIFY(channels[1]->isUpdating());
    }

    // The scheduler hears the settings themselves: no screen relays a mode or a category.
    void modesAndCategoriesReachTheTimersFromTheSettings()
    {
        settings->setRefreshModes(3, 3);
        scheduler->follow(settings);
        QCOMPARE(intervals(), QVector<int>(3, 3600000));
        settings->setRefreshModes(2, 2);
        QCOMPARE(intervals(), QVector<int>(3, 900000));
        scheduler->updateIntervalChanged(4);
        QCOMPARE(running(), 0);
        settings->setRefreshModes(2, 2);
        settings->setRefreshModes(0, 0); // "Ręcznie"
        QCOMPARE(running(), 0);
        settings->setRefreshModes(3, 3);
        const int now = int(QDateTime::currentSecsSinceEpoch());
        // From hourly to five minutes: what is left of the new interval, or 10 s when nothing is.
        scheduler->lastTimesUpdateStarted[0] = now - 100;
        scheduler->lastTimesUpdateStarted[1] = now - 400;
        scheduler->updateIntervalChanged(1); // at once: a settings save here could let a second pass
        QVERIFY(qAbs(timer(0)->interval() - 200000) < 2000);
        QCOMPARE(timer(1)->interval(), 10000);
        QCOMPARE(timer(2)->interval(), 300000);

        // A category switched off leaves the list and has no timer; switched on, both come back.
        settings->setRefreshModes(2, 2);
        settings->setCategoryActive(channels[1]->getType(), false);
        model->activeChannelsChanged(settings);
        QVERIFY(!channels[1]->isActive());
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->getChannel(1), channels[2]);
        QVERIFY(!timer(1)->isActive());
        scheduler->applicationStateChanged(true);
        fire(1); // an inactive channel's timer does nothing
        QVERIFY(!channels[1]->isUpdating());
        QVERIFY(!timer(1)->isActive());
        settings->setCategoryActive(channels[1]->getType(), true);
        model->activeChannelsChanged(settings);
        QVERIFY(channels[1]->isActive());
        QCOMPARE(model->rowCount(), 3);
        QVERIFY(timer(1)->isActive());
    }

    // What the link and the battery allow automatic refreshes, decided in the scheduler alone.
    void meteredAndPowerSaverRules_data()
    {
        QTest::addColumn<bool>("metered");
        QTest::addColumn<int>("policy");
        QTest::addColumn<int>("portal");
        QTest::addColumn<bool>("onBattery");
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("interval"); // of a 15-minute mode
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("pictures");
        QTest::addColumn<QString>("note");
        const QString heldNote = "Odświeżanie wstrzymane: łącze taryfowe";
        const QString saverNote = "Odświeżanie co godzinę: oszczędzanie energii";
        const QString picturesNote = "Zdjęcia po otwarciu artykułu: łącze taryfowe";
        QTest::newRow("home link") << false << 2 << -1 << false << -1.0 << 900000 << false << true << QString();
        QTest::newRow("metered, as usual") << true << 0 << -1 << false << -1.0 << 900000 << false << true << QString();
        QTest::newRow("metered, no pictures") << true << 1 << -1 << false << -1.0 << 900000 << false << false << picturesNote;
        QTest::newRow("metered, manual only") << true << 2 << 0 << false << -1.0 << 900000 << true << false << heldNote;
        QTest::newRow("portal saver") << false << 1 << 1 << false << 80.0 << 3600000 << false << true << saverNote;
        QTest::newRow("portal says no over a low battery") << false << 1 << 0 << true << 5.0 << 900000 << false << true << QString();
        QTest::newRow("no portal, battery at 19") << false << 1 << -1 << true << 19.0 << 3600000 << false << true << saverNote;
        QTest::newRow("no portal, battery at 20") << false << 1 << -1 << true << 20.0 << 900000 << false << true << QString();
        QTest::newRow("no portal, charging at 5") << false << 1 << -1 << false << 5.0 << 900000 << false << true << QString();
        QTest::newRow("both") << true << 1 << 1 << false << -1.0 << 3600000 << false << false << picturesNote + " · " + saverNote;
    }

    void meteredAndPowerSaverRules()
    {
        QFETCH(bool, metered);
        QFETCH(int, policy);
        QFETCH(int, portal);
        QFETCH(bool, onBattery);
        QFETCH(double, percent);
        QFETCH(int, interval);
        QFETCH(bool, held);
        QFETCH(bool, pictures);
        QFETCH(QString, note);
        settings->setRefreshModes(2, 2);
        QVERIFY(settings->setMeteredPolicy(Settings::MeteredPolicy(policy)));
        scheduler->follow(settings);
        scheduler->applicationStateChanged(true);
        QSignalSpy changed(scheduler, &RefreshScheduler::conditionsChanged);
        scheduler->setLinkMetered(metered);
        scheduler->setPowerSaverProfile(portal);
        scheduler->setBattery(onBattery, percent);
        QVERIFY(qAbs(timer(0)->interval() - interval) < 2000); // what is left of it, to the second
        QCOMPARE(scheduler->automaticHeld(), held);
        QCOMPARE(scheduler->picturesAutomatic(), pictures);
        QCOMPARE(scheduler->holdNote(), note);
        QCOMPARE(changed.isEmpty(), note.isEmpty() && pictures);

        // A held timer refreshes nothing, nor does a network session opening; both count once
        // when the hold ends. The policy is picked up as the user changes it.
        fire(0);
        scheduler->refreshAllAutomatic();
        QCOMPARE(channels[0]->isUpdating(), !held);
        QCOMPARE(channels[1]->isUpdating(), !held);
        if (held) {
            QVERIFY(settings->setMeteredPolicy(Settings::MeteredAsUsual));
            QVERIFY(channels[0]->isUpdating());
            QVERIFY(channels[1]->isUpdating());
            QVERIFY(scheduler->holdNote().isEmpty());
        }
        // Back to the schedule when the battery is charged and the portal says so.
        scheduler->setPowerSaverProfile(0);
        QVERIFY(qAbs(timer(2)->interval() - 900000) < 2000);
    }
};

QTEST_MAIN(TestCategoryList)
#include "tst_categorylist.moc"
