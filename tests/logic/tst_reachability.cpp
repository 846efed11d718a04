#include <QtTest>

#include "logic/net/reachability.h"
#include "tests/support/testenv.h"

// The session's own notifications are played into the object by name.
class TestReachability : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::prepare(); }

    void openedSetsTheFlagAndEveryOpeningIsAnnounced()
    {
        Reachability r;
        QCOMPARE(Reachability::singleton, &r);
        QSignalSpy opened(&r, &Reachability::networkSessionOpened);
        QMetaObject::invokeMethod(&r, "opened");
        QVERIFY(Reachability::isConnectedToNetwork());
        QMetaObject::invokeMethod(&r, "opened");
        QCOMPARE(opened.count(), 2);

        // The session timer firing after the opening changes nothing.
        QSignalSpy cancelled(&r, &Reachability::networkSessionCancelled);
        QMetaObject::invokeMethod(&r, "timeout");
        QVERIFY(Reachability::isConnectedToNetwork());
        QCOMPARE(cancelled.count(), 0);

        // A failure, or the session closing, ends the connection.
        QMetaObject::invokeMethod(&r, "failed");
        QVERIFY(!Reachability::isConnectedToNetwork());
        QCOMPARE(cancelled.count(), 1);
        QMetaObject::invokeMethod(&r, "opened");
        QMetaObject::invokeMethod(&r, "closed");
        QVERIFY(!Reachability::isConnectedToNetwork());
        QCOMPARE(cancelled.count(), 2);
    }

    // A time-out without an opening cancels, once, also while an attempt is under way.
    void aTimeoutWithoutAnOpeningCancelsOnce()
    {
        Reachability r;
        QMetaObject::invokeMethod(&r, "closed");
        QSignalSpy cancelled(&r, &Reachability::networkSessionCancelled);
        QMetaObject::invokeMethod(&r, "timeout");
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(!Reachability::isConnectedToNetwork());
        r.start();
        QMetaObject::invokeMethod(&r, "timeout");
        QCOMPARE(cancelled.count(), 2);
        QTest::qWait(200);
        QCOMPARE(cancelled.count(), 2);
    }

    void startOpensASessionOnThisMachine()
    {
        // Either the bearer layer or the interface fallback must get us online here.
        Reachability r;
        QSignalSpy opened(&r, &Reachability::networkSessionOpened);
        r.start();
        // The bearer layer's first scan reports a configuration while the attempt is under way:
        // the network still opens once, so the program refreshes once.
        QMetaObject::invokeMethod(&r, "configurationUpdated");
        QCOMPARE(opened.count(), 0); // never from inside start()
        QVERIFY(opened.wait(10000));
        QVERIFY(Reachability::isConnectedToNetwork());
        QTest::qWait(300);
        QCOMPARE(opened.count(), 1);
        // A new configuration while connected does not start again.
        QSignalSpy again(&r, &Reachability::networkSessionOpened);
        QMetaObject::invokeMethod(&r, "configurationUpdated");
        QTest::qWait(200);
        QCOMPARE(again.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestReachability)
#include "tst_reachability.moc"
