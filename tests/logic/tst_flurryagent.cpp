#include <QtTest>
#include <QNetworkProxy>
#include <QSettings>

#include "logic/analytics/flurryagent.h"
#include "logic/base/constants.h"
#include "sampleserver/sampleserver.h"
#include "sampleserver/sampleservices.h"
#include "tests/support/testenv.h"

// An agent whose clock the test turns.
class ClockedAgent : public FlurryAgent
{
public:
    qlonglong t = 1700000000000LL;

protected:
    qlonglong now() const override { return t; }
};

// Usage sessions across runs and the one binary report per run.
class TestFlurryAgent : public QObject
{
    Q_OBJECT
private:
    SampleServer* server = nullptr;

    // Sessions of version 1.0.0, each its start and length.
    static void storeSessions(const QList<QPair<qlonglong, qlonglong>>& sessions)
    {
        QVariantList list;
        for (const auto& s : sessions)
            list << QVariant::fromValue(FlurryInfoStruct{s.first, s.second, "1.0.0"});
        QSettings store(organizationName, applicationName);
        store.setValue(flurryInitDateKey, 1600000000000LL);
        store.setValue(flurryDevIDKey, "BT001A7DDA7113");
        store.setValue(flurryStartupsKey, list);
    }

    static QList<qlonglong> storedLengths()
    {
        QList<qlonglong> lengths;
        QSettings store(organizationName, applicationName);
        for (const QVariant& v : store.value(flurryStartupsKey).toList())
            lengths << v.value<FlurryInfoStruct>().length;
        return lengths;
    }

    QList<QByteArray> reportsReceived() const
    {
        QList<QByteArray> bodies;
        for (const SampleServer::Request& r : server->requests())
            if (r.path == "/aap.do")
                bodies << r.body;
        return bodies;
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
        installAnalyticsService(*server);
    }

    void init()
    {
        QSettings(organizationName, applicationName).clear();
        server->clearRequests();
    }

    void theFirstRunEmptiesTheStoreAndNamesTheDevice()
    {
        QSettings(organizationName, applicationName).setValue("TwitterToken", "left over");
        ClockedAgent agent;
        QSettings store(organizationName, applicationName);
        QVERIFY(!store.contains("TwitterToken"));
        const qlonglong firstRun = store.value(flurryInitDateKey).toLongLong();
        QVERIFY(qAbs(firstRun - FlurryAgent::getCurrentDate()) < 5000);
        QVERIFY(!store.contains(flurryDevIDKey)); // asked for by the first report
        agent.createRequest();
        store.sync();
        const QString id = store.value(flurryDevIDKey).toString();
        // No system bus here, so no Bluetooth to ask.
        QCOMPARE(id, "ID" + QString::number(firstRun));
        // The identifier is made once.
        ClockedAgent again;
        again.createRequest();
        QCOMPARE(QSettings(organizationName, applicationName).value(flurryDevIDKey).toString(), id);
    }

    void backWithinFiveMinutesTheSessionGoesOn()
    {
        ClockedAgent agent;
        const qlonglong start = agent.t;
        agent.onStartupApp();
        QCOMPARE(agent.sessions().size(), 1);
        agent.t += 60000;
        agent.onPauseApp();
        agent.t += 4 * 60000 + 59000;
        agent.onStartupApp();
        QCOMPARE(agent.sessions().size(), 1);
        QCOMPARE(agent.sessions().last().length, -1LL);

        const qlonglong paused = agent.t += 1000;
        agent.onPauseApp();
        agent.t += 5 * 60000 + 1000;
        agent.onStartupApp();
        QCOMPARE(agent.sessions().size(), 2);
        QCOMPARE(agent.sessions().first().length, paused - start);
        QCOMPARE(agent.sessions().last().dateStarted, agent.t);
        QCOMPARE(storedLengths(), (QList<qlonglong>{paused - start, -1}));

        agent.t += 7000;
        agent.onDestroyApp();
        QCOMPARE(storedLengths(), (QList<qlonglong>{paused - start, 7000}));
    }

    void theReportLayoutForKnownSessions()
    {
        storeSessions({{1600000100000LL, 65000}, {1600000200000LL, 0}, {1600000300000LL, 1234}});
        ClockedAgent agent;
        agent.t = 1700000000123LL;
        const QByteArray body = agent.createRequest();
        QCOMPARE(body.left(6), QByteArray("\x00\x05\x00\x05\x00\x08", 6));
        QCOMPARE(body.mid(6, 8), QByteArray("\x00\x00\x01\x8b\xcf\xe5\x68\x7b", 8));
        QCOMPARE(body.mid(14, 22), QByteArray("\x00\x14" "QXZ4TPLM8RKD2WNVB7HC", 22));
        // The last session record ends with its 14 fixed bytes.
        QCOMPARE(body.right(30), QByteArray("\x00\x00\x00\x00\x00\x00\x04\xd2"
                                            "\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00", 22)
                                     .prepend(QByteArray("\x00\x00\x01\x74\x87\x73\x13\xe0", 8)));

        FlurryReport report;
        QVERIFY(parseFlurryReport(body, report));
        QCOMPARE(report.version, QString("1.0.0"));
        QCOMPARE(report.deviceId, QString("BT001A7DDA7113"));
        QCOMPARE(report.firstRun, 1600000000000LL);
        QCOMPARE(report.properties.keys(), (QStringList{"device.model", "microedition.platform"}));
        // No fact is left empty, whatever the machine lacks.
        const QString model = report.properties.value("device.model"), platform = report.properties.value("microedition.platform");
        QVERIFY(!model.isEmpty());
        QVERIFY(platform.startsWith(model + '/') && !platform.contains("//") && !platform.endsWith('='));
        QVERIFY(platform.contains("/sw_platform=S60;sw_platform_version="));
        // The zero-length session is neither counted nor sent.
        QCOMPARE(report.sessions.size(), 2);
        QCOMPARE(report.sessions.at(0).dateStarted, 1600000100000LL);
        QCOMPARE(report.sessions.at(0).length, 65000LL);
    }

    void oneReportPerRunAndOnlyAcknowledgedSessionsGo_data()
    {
        QTest::addColumn<bool>("acknowledged");
        QTest::addColumn<QList<qlonglong>>("kept");
        QTest::newRow("acknowledged") << true << QList<qlonglong>{-1};
        QTest::newRow("refused") << false << QList<qlonglong>{0, 5000, 0, 8000, -1};
    }

    void oneReportPerRunAndOnlyAcknowledgedSessionsGo()
    {
        QFETCH(bool, acknowledged);
        QFETCH(QList<qlonglong>, kept);
        if (!acknowledged)
            server->route("data.flurry.com", "/aap.do", SampleServer::Reply{500, "text/plain", "busy", {}, 0, -1, false});
        // A zero-length session in front, and one left open by a run that crashed.
        storeSessions({{1600000100000LL, 0}, {1600000200000LL, 5000}, {1600000300000LL, -1},
                       {1600000400000LL, 8000}});
        ClockedAgent agent;
        agent.onStartupApp();
        agent.sendReport(5000);
        agent.sendReport(5000);
        QTRY_COMPARE(reportsReceived().size(), 1);
        QTRY_COMPARE(storedLengths(), kept);
        QTest::qWait(200);
        QCOMPARE(storedLengths(), kept);
        QCOMPARE(reportsReceived().size(), 1);
        FlurryReport report;
        QVERIFY(parseFlurryReport(reportsReceived().first(), report));
        QCOMPARE(report.sessions.size(), 2);
        installAnalyticsService(*server);
    }
};

QTEST_MAIN(TestFlurryAgent)
#include "tst_flurryagent.moc"
