#include <QNetworkAccessManager>
#include <QNetworkReply>

#include "logic/news/refreshscheduler.h"
#include "screens/categories/channelmodel.h"
#include "logic/net/downloadservice.h"
#include "logic/news/settings.h"
#include "tests/support/screenfixtures.h"

// Timers are fired by hand and read back; nobody waits real minutes.
class TestChannelModel : public QObject
{
    Q_OBJECT
private:
    QVector<RSSChannel*> channels;
    ChannelModel* model = nullptr;
    RefreshScheduler* scheduler = nullptr;
    Settings* settings = nullptr;

    QTimer* timer(int i) { return scheduler->updateTimers.at(i); }
    void fire(int i) { QMetaObject::invokeMethod(timer(i), "timeout"); }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        // Every feed request ends at once: the local stand-in of the publisher knows no feeds.
        QVERIFY(TestEnv::startSampleServer(this));
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

    void rowsAndBanner()
    {
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->data(model->index(2), ItemMainTextRole).toString(), QString("Kraj"));
        QCOMPARE(model->data(model->index(0), ItemHeightRole).toInt(), 70);
        QPixmap banner(480, 60);
        model->topBannerChanged(banner, "http://reklama.example/");
        QCOMPARE(model->rowCount(), 4);
        QVERIFY(!model->getChannel(0));
        QCOMPARE(model->getChannel(1), channels[0]);
        QCOMPARE(model->data(model->index(0), ItemTypeRole).toInt(), int(ItemTypeBanner));
        QCOMPARE(model->data(model->index(0), ItemHeightRole).toInt(), 60);
        QVERIFY(model->data(model->index(0), ItemIsClickableRole).toBool());
        model->topBannerChanged(QPixmap(), QString());
        QCOMPARE(model->getChannel(0), channels[0]);
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
    void modesReachTheTimersFromTheSettings()
    {
        settings->setRefreshModes(3, 3);
        scheduler->follow(settings);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(timer(i)->interval(), 3600000);
        settings->setRefreshModes(2, 2);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(timer(i)->interval(), 900000);
        scheduler->updateIntervalChanged(4);
        for (int i = 0; i < 3; ++i)
            QVERIFY(!timer(i)->isActive());
        settings->setRefreshModes(2, 2);
        settings->setRefreshModes(0, 0); // "Ręcznie"
        for (int i = 0; i < 3; ++i)
            QVERIFY(!timer(i)->isActive());
        settings->setRefreshModes(3, 3);
        const int now = int(QDateTime::currentSecsSinceEpoch());
        // From hourly to five minutes: what is left of the new interval, or 10 s when nothing is.
        scheduler->lastTimesUpdateStarted[0] = now - 100;
        scheduler->lastTimesUpdateStarted[1] = now - 400;
        scheduler->updateIntervalChanged(1); // at once: a settings save here could let a second pass
        QVERIFY(qAbs(timer(0)->interval() - 200000) < 2000);
        QCOMPARE(timer(1)->interval(), 10000);
        QCOMPARE(timer(2)->interval(), 300000);
    }

    void categoriesSwitchedOffLeaveTheList()
    {
        settings->setRefreshModes(2, 2);
        scheduler->follow(settings);
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

QTEST_MAIN(TestChannelModel)
#include "tst_channelmodel.moc"
