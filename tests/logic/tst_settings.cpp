#include <QtTest>

#include "logic/news/settings.h"
#include "logic/base/file.h"
#include "tests/support/testenv.h"

class TestSettings : public QObject
{
    Q_OBJECT
private:
    // Modes 2 and 2, rush hours 8 to 16, every category on, the preferences at their defaults.
    static void verifyDefaults(const Settings& s)
    {
        QCOMPARE(s.getArticlesCheckRushHours(), 2);
        QCOMPARE(s.getArticlesCheckOutOfRushHours(), 2);
        QCOMPARE(s.getRushHoursStart(), 8);
        QCOMPARE(s.getRushHoursEnd(), 16);
        for (int i = 0; i < Settings::categoriesCount; ++i)
            QVERIFY(s.isCategoryActive(i));
        QCOMPARE(s.textScale(), Settings::defaultTextScale);
        QCOMPARE(s.appearance(), Settings::AppearanceSystem);
        QVERIFY(!s.topNewsNotifications());
        QCOMPARE(s.meteredPolicy(), Settings::MeteredNoPictures);
    }

private slots:
    void initTestCase() { TestEnv::prepare(); }
    void init() { TestEnv::clearData(); }

    // Without a file, the defaults; the preferences follow the categories only when chosen.
    void defaultsAndPreferences()
    {
        const QByteArray base = QByteArray::fromHex("00000002" "00000002" "00000008" "00000010" "010101010101010101");
        {
            Settings s(nullptr);
            verifyDefaults(s);
            QVERIFY(!s.isCategoryActive(-1)); // the briefcase
            QVERIFY(!s.isCategoryActive(9));
            QVERIFY(s.rushTimerRemaining() > 0);
            // The boundary timer must not fire early and flip the mode twice.
            QTimer* boundary = s.findChild<QTimer*>();
            QVERIFY(boundary);
            QCOMPARE(boundary->timerType(), Qt::PreciseTimer);
            QSignalSpy changed(&s, &Settings::preferencesChanged);
            QVERIFY(s.setAppearance(Settings::AppearanceDark));
            QVERIFY(s.setTextScale(500)); // held to the largest step
            QVERIFY(s.setTopNewsNotifications(true));
            QVERIFY(s.setMeteredPolicy(Settings::MeteredManualOnly));
            QCOMPARE(changed.count(), 4);
        }
        QCOMPARE(TestEnv::readData("settings"), base + QByteArray::fromHex("01" "00000002" "000000c8" "01" "00000002"));
        {
            Settings back(nullptr);
            QCOMPARE(back.appearance(), Settings::AppearanceDark);
            QCOMPARE(back.textScale(), 200);
            QVERIFY(back.topNewsNotifications());
            QCOMPARE(back.meteredPolicy(), Settings::MeteredManualOnly);
            // All back to the defaults: the file is the one every earlier version wrote.
            QVERIFY(back.setAppearance(Settings::AppearanceSystem) && back.setTextScale(100)
                    && back.setTopNewsNotifications(false) && back.setMeteredPolicy(Settings::MeteredNoPictures));
        }
        QCOMPARE(TestEnv::readData("settings"), base);
        verifyDefaults(Settings(nullptr));
    }

    // Only the two lengths every version wrote are whole; anything else is read from the backup,
    // and set aside, never saved over, by the next save.
    void damagedFilesAreReadFromTheBackup_data()
    {
        QTest::addColumn<QByteArray>("main");
        const QByteArray whole = QByteArray::fromHex("00000003" "00000000" "0000000a" "00000014" "010101010101010101");
        const QByteArray block = QByteArray::fromHex("00000002" "000000c8" "01" "00000002");
        QTest::newRow("the four numbers alone") << whole.left(16);
        QTest::newRow("cut in the second number") << whole.left(5);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("between the two lengths") << whole + QByteArray::fromHex("0100");
        QTest::newRow("a block of another version") << whole + QByteArray::fromHex("02") + block;
        QTest::newRow("a byte past the block") << whole + QByteArray::fromHex("01") + block + QByteArray(1, 0);
    }
    void damagedFilesAreReadFromTheBackup()
    {
        QFETCH(QByteArray, main);
        const QByteArray backup = QByteArray::fromHex("00000001" "00000004" "00000016" "00000006" "010101000101010101");
        TestEnv::writeData("settings", main);
        TestEnv::writeData("settings.old", backup);
        {
            Settings s(nullptr);
            QCOMPARE(s.getArticlesCheckRushHours(), 1);
            QCOMPARE(s.getArticlesCheckOutOfRushHours(), 4);
            QCOMPARE(s.getRushHoursStart(), 22);
            QVERIFY(!s.isCategoryActive(3) && s.isCategoryActive(4));
            QCOMPARE(s.appearance(), Settings::AppearanceSystem);
            QVERIFY(s.setRushHours(9, 17));
        }
        QCOMPARE(TestEnv::readData("settings.damaged"), main);
        QCOMPARE(TestEnv::readData("settings.old"), backup);
        QCOMPARE(Settings(nullptr).getRushHoursStart(), 9);

        // Without a backup: every default.
        TestEnv::clearData();
        TestEnv::writeData("settings", main);
        verifyDefaults(Settings(nullptr));
    }

    // (The refresh interval of each mode: tst_categorylist, at the scheduler's timers.)
    void valuesOutOfRangeKeepTheirDefaults()
    {
        // A whole file; any non-zero byte is "on".
        TestEnv::writeData("settings",
                           QByteArray::fromHex("7fffffff" "ffffffff" "00000018" "ffffff9c" "ff0002000000000000"));
        Settings damaged(nullptr);
        QCOMPARE(damaged.getArticlesCheckRushHours(), 2);
        QCOMPARE(damaged.getArticlesCheckOutOfRushHours(), 2);
        QCOMPARE(damaged.getRushHoursStart(), 8);
        QCOMPARE(damaged.getRushHoursEnd(), 16);
        QVERIFY(damaged.isCategoryActive(0));
        QVERIFY(!damaged.isCategoryActive(1));
        QVERIFY(damaged.isCategoryActive(2));
    }

    // The mode in force at a time, and the time to the next change of it, for rush hours that
    // wrap midnight, do not, or are empty (modes 1 in the rush, 3 outside).
    void modeInForceAndTheNextBoundary_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QTime>("at");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("minutesToNext");
        QTest::newRow("before the rush") << 8 << 16 << QTime(7, 59) << 3 << 1;
        QTest::newRow("an hour before") << 8 << 16 << QTime(7, 0) << 3 << 60;
        QTest::newRow("at its start") << 8 << 16 << QTime(8, 0) << 1 << 8 * 60;
        QTest::newRow("its last minute") << 8 << 16 << QTime(15, 59) << 1 << 1;
        QTest::newRow("at its end") << 8 << 16 << QTime(16, 0) << 3 << 16 * 60;
        QTest::newRow("after it: tomorrow") << 8 << 16 << QTime(16, 30) << 3 << 15 * 60 + 30;
        QTest::newRow("over midnight, in") << 22 << 6 << QTime(23, 0) << 1 << 7 * 60;
        QTest::newRow("over midnight, early") << 22 << 6 << QTime(5, 59) << 1 << 1;
        QTest::newRow("over midnight, its end") << 22 << 6 << QTime(6, 0) << 3 << 16 * 60;
        QTest::newRow("over midnight, out") << 22 << 6 << QTime(21, 59) << 3 << 1;
        QTest::newRow("over midnight, noon") << 22 << 6 << QTime(12, 0) << 3 << 10 * 60;
        QTest::newRow("an empty rush") << 10 << 10 << QTime(10, 30) << 3 << -1;
    }
    void modeInForceAndTheNextBoundary()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QTime, at);
        QFETCH(int, mode);
        QFETCH(int, minutesToNext);
        Settings s(nullptr);
        QVERIFY(s.setRefreshModes(1, 3));
        QVERIFY(s.setRushHours(start, end));
        QCOMPARE(s.refreshModeAt(at), mode);
        if (minutesToNext >= 0)
            QCOMPARE(s.msecsToNextRushStateChange(at), minutesToNext * 60 * 1000);
    }

    // A change made through a setter is on disk when its signal arrives, and is announced once.
    void settersSaveThenAnnounce()
    {
        Settings s(nullptr);
        QSignalSpy modes(&s, &Settings::refreshModeChanged);
        QSignalSpy categories(&s, &Settings::activeCategoriesChanged);
        int savedRushMode = -1;
        connect(&s, &Settings::refreshModeChanged, this, [&savedRushMode] {
            savedRushMode = Settings(nullptr).getArticlesCheckRushHours();
        });

        s.setRefreshModes(1, 3);
        QCOMPARE(modes.count(), 1);
        QCOMPARE(modes.last().first().toInt(), s.refreshModeAt(QTime::currentTime()));
        QCOMPARE(savedRushMode, 1);

        s.setRushHours(23, 0);
        QCOMPARE(modes.count(), 2);
        s.setCategoryActive(5, false);
        QCOMPARE(categories.count(), 1);
        QCOMPARE(categories.last().first().value<Settings*>(), &s);
        s.setCategoryActive(Settings::categoriesCount, false); // out of range: nothing changes
        QCOMPARE(categories.count(), 1);

        // The file's layout: four numbers and a byte a category.
        QCOMPARE(TestEnv::readData("settings"), QByteArray::fromHex("00000001" "00000003" "00000017" "00000000"
                                                     "010101010100010101"));
        QCOMPARE(Settings(nullptr).getRushHoursEnd(), 0); // (every value read back: tst_upgrade)

        // Values the file could not hold back fall to the defaults, as a damaged file does.
        s.setRefreshModes(5, -1); // just past the last mode, and below the first
        s.setRushHours(24, -3);
        QCOMPARE(s.getArticlesCheckRushHours(), Settings::defaultMode);
        QCOMPARE(s.getArticlesCheckOutOfRushHours(), Settings::defaultMode);
        QCOMPARE(s.getRushHoursStart(), Settings::defaultRushStart);
        QCOMPARE(s.getRushHoursEnd(), Settings::defaultRushEnd);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
