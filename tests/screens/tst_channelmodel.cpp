#include <QtTest>
#include <QNetworkProxy>

#include "logic/news/refreshscheduler.h"
#include "logic/news/channel.h"
#include "screens/categories/channelmodel.h"
#include "logic/news/settings.h"
#include "logic/base/constants.h"
#include "sampleserver/sampleserver.h"
#include "tests/support/testenv.h"

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
    void activeChannelsChanged()
    {
        scheduler->activeChannelsChanged(settings);
        model->activeChannelsChanged(settings);
    }
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
    }

    void timersHeldBackInTheBackgroundRunOnceOnResume()
    {
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

    void modeSwitches()
    {
        scheduler->updateIntervalChanged(2);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(timer(i)->interval(), 900000);
        scheduler->updateIntervalChanged(4);
        for (int i = 0; i < 3; ++i)
            QVERIFY(!timer(i)->isActive());
        scheduler->updateIntervalChanged(3);
        const int now = int(QDateTime::currentSecsSinceEpoch());
        // From hourly to five minutes: what is left of the new interval, or 10 s when nothing is.
        scheduler->lastTimesUpdateStarted[0] = now - 100;
        scheduler->lastTimesUpdateStarted[1] = now - 400;
        scheduler->updateIntervalChanged(1);
        QVERIFY(qAbs(timer(0)->interval() - 200000) < 2000);
        QCOMPARE(timer(1)->interval(), 10000);
        QCOMPARE(timer(2)->interval(), 300000);
        scheduler->updateIntervalChanged(0);
        QVERIFY(!timer(0)->isActive());
    }

    void categoriesSwitchedOffLeaveTheList()
    {
        scheduler->updateIntervalChanged(2);
        settings->setCategoryActive(1, false);
        activeChannelsChanged();
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->getChannel(1), channels[2]);
        QVERIFY(!timer(1)->isActive());
        scheduler->applicationStateChanged(true);
        fire(1); // an inactive channel's timer does nothing
        QVERIFY(!channels[1]->isUpdating());
        QVERIFY(!timer(1)->isActive());
        settings->setCategoryActive(1, true);
        activeChannelsChanged();
        QCOMPARE(model->rowCount(), 3);
        QVERIFY(timer(1)->isActive());
    }

    // The scheduler hears the settings themselves: no screen relays a mode or a category.
    void settingsReachTheTimersDirectly()
    {
        settings->setRefreshModes(3, 3);
        scheduler->follow(settings);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(timer(i)->interval(), 3600000);
        settings->setRefreshModes(0, 0); // "Ręcznie"
        for (int i = 0; i < 3; ++i)
            QVERIFY(!timer(i)->isActive());
        settings->setRefreshModes(2, 2);
        QCOMPARE(timer(2)->interval(), 900000);
        settings->setCategoryActive(channels[2]->getType(), false);
        QVERIFY(!channels[2]->isActive());
        QVERIFY(!timer(2)->isActive());
        settings->setCategoryActive(channels[2]->getType(), true);
        QVERIFY(channels[2]->isActive());
        QVERIFY(timer(2)->isActive());
    }
};

QTEST_MAIN(TestChannelModel)
#include "tst_channelmodel.moc"
