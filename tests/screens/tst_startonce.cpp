#include <QtTest>
#include <QProcess>
#include <QTemporaryDir>

#include "sampleserver/sampleserver.h"
#include "sampleserver/sampleservices.h"

// The program itself, started against the sample service as its proxy as a new user would from a
// terminal, then once more on the data it kept (a refresh): every feed, every ad description and
// the analytics report are asked for exactly once a start, and nothing is printed on the console.
class TestStartOnce : public QObject
{
    Q_OBJECT
private slots:
    void oneStartAsksForEachFeedOnceAndSaysNothing()
    {
        SampleServer server;
        QVERIFY(server.start());
        server.setContentRoot(KURENDAL_SAMPLE_CONTENT);
        installAdService(server, KURENDAL_SAMPLE_CONTENT);
        installAnalyticsService(server);

        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", home.path()); // as a desktop session sets it
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("http_proxy", server.baseUrl());
        env.insert("no_proxy", "");
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent");
        env.remove("QT_LOGGING_RULES");

        auto count = [&server](const QString& path, const QString& query = QString()) {
            int n = 0;
            for (const SampleServer::Request& r : server.requests())
                n += r.path == path && r.query.contains(query) ? 1 : 0;
            return n;
        };
        const QStringList feeds = {"kr_najwazniejsze", "kr_najnowsze", "kraj", "kr_swiat",
                                   "kr_sport", "gospodarka", "kr_komentarze", "kr_kultura"};
        auto allFeedsAsked = [&] {
            for (const QString& f : feeds)
                if (count("/pub/mobi_lg/out/" + f + ".xml") == 0)
                    return false;
            return true;
        };
        for (const char* start : {"first start", "refresh"}) {
            server.clearRequests();
            QProcess program;
            program.setProcessEnvironment(env);
            program.setProcessChannelMode(QProcess::MergedChannels);
            program.start(KURENDAL_PROGRAM, QStringList());
            QVERIFY(program.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(allFeedsAsked(), 30000);
            QTRY_VERIFY_WITH_TIMEOUT(count("/aap.do") > 0, 10000);
            QTest::qWait(2000); // a second opening of the network would ask again by now
            QCOMPARE(program.state(), QProcess::Running);
            program.terminate();
            program.waitForFinished(5000);
            const QByteArray console = program.readAll();
            QVERIFY2(console.isEmpty(), qPrintable(QString("%1:\n%2").arg(start, QString::fromUtf8(console))));

            for (const QString& f : feeds)
                QVERIFY2(count("/pub/mobi_lg/out/" + f + ".xml") == 1, qPrintable(f));
            for (const char* typ : {"typ=101", "typ=102", "typ=108"})
                QVERIFY2(count("/ad/GetBanMb", typ) == 1, typ);
            QCOMPARE(count("/aap.do"), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestStartOnce)
#include "tst_startonce.moc"
