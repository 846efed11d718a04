#include <QtTest>

#include "logic/news/settings.h"
#include "logic/base/file.h"
#include "tests/support/testenv.h"

class TestSettings : public QObject
{
    Q_OBJECT
private:
    void writeSettingsFile(const QByteArray& bytes, const QString& name = "settings")
    {
        QFile file(File::createPathToResource(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray settingsFile(const QString& name = "settings")
    {
        QFile file(File::createPathToResource(name));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

private slots:
    void initTestCase() { TestEnv::prepare(); }
    void init() { TestEnv::clearData(); }

    void defaultsWithoutAFile()
    {
        Settings s(nullptr);
        QCOMPARE(s.getArticlesCheckRushHours(), 2);
        QCOMPARE(s.getArticlesCheckOutOfRushHours(), 2);
        QCOMPARE(s.getRushHoursStart(), 8);
        QCOMPARE(s.getRushHoursEnd(), 16);
        for (int i = 0; i < 9; ++i)
            QVERIFY(s.isCategoryActive(i));
        QVERIFY(!s.isCategoryActive(-1)); // the briefcase
        QVERIFY(!s.isCategoryActive(9));
        QVERIFY(s.rushTimerRemaining() > 0);
        // The boundary timer must not fire early and flip the mode twice.
        QTimer* boundary = s.findChild<QTimer*>();
        QVERIFY(boundary);
        QCOMPARE(boundary->timerType(), Qt::PreciseTimer);
    }

    void saveWritesTheFileLayoutAndLoadReadsItBack()
    {
        {
            Settings s(nullptr);
            QVERIFY(s.setRefreshModes(1, 4));
            QVERIFY(s.setRushHours(22, 6));
            QVERIFY(s.setCategoryActive(3, false));
        }
        QCOMPARE(settingsFile(), QByteArray::fromHex("00000001" "00000004" "00000016" "00000006"
                                                     "010101000101010101"));
        Settings back(nullptr);
        QCOMPARE(back.getArticlesCheckRushHours(), 1);
        QCOMPARE(back.getArticlesCheckOutOfRushHours(), 4);
        QCOMPARE(back.getRushHoursStart(), 22);
        QCOMPARE(back.getRushHoursEnd(), 6);
        QVERIFY(!back.isCategoryActive(3));
        QVERIFY(back.isCategoryActive(4));
    }

    void preferencesFollowTheCategoriesOnlyWhenChosen()
    {
        const QByteArray base = QByteArray::fromHex("00000002" "00000002" "00000008" "00000010" "010101010101010101");
        {
            Settings s(nullptr);
            QSignalSpy changed(&s, &Settings::preferencesChanged);
            QVERIFY(s.setAppearance(Settings::AppearanceDark));
            QVERIFY(s.setTextScale(500)); // held to the largest step
            QVERIFY(s.setTopNewsNotifications(true));
            QVERIFY(s.setMeteredPolicy(Settings::MeteredManualOnly));
            QCOMPARE(changed.count(), 4);
        }
        QCOMPARE(settingsFile(), base + QByteArray::fromHex("01" "00000002" "000000c8" "01" "00000002"));
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
        QCOMPARE(settingsFile(), base);
        Settings old(nullptr);
        QCOMPARE(old.appearance(), Settings::AppearanceSystem);
        QCOMPARE(old.textScale(), 100);
        QVERIFY(!old.topNewsNotifications());
        QCOMPARE(old.meteredPolicy(), Settings::MeteredNoPictures);
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
        writeSettingsFile(main);
        writeSettingsFile(backup, "settings.old");
        {
            Settings s(nullptr);
            QCOMPARE(s.getArticlesCheckRushHours(), 1);
            QCOMPARE(s.getArticlesCheckOutOfRushHours(), 4);
            QCOMPARE(s.getRushHoursStart(), 22);
            QVERIFY(!s.isCategoryActive(3) && s.isCategoryActive(4));
            QCOMPARE(s.appearance(), Settings::AppearanceSystem);
            QVERIFY(s.setRushHours(9, 17));
        }
        QCOMPARE(settingsFile("settings.damaged"), main);
        QCOMPARE(settingsFile("settings.old"), backup);
        QCOMPARE(Settings(nullptr).getRushHoursStart(), 9);

        // Without a backup: every default.
        TestEnv::clearData();
        writeSettingsFile(main);
        Settings alone(nullptr);
        QCOMPARE(alone.getArticlesCheckRushHours(), Settings::defaultMode);
        QCOMPARE(alone.getArticlesCheckOutOfRushHours(), Settings::defaultMode);
        QCOMPARE(alone.getRushHoursStart(), Settings::defaultRushStart);
        QCOMPARE(alone.getRushHoursEnd(), Settings::defaultRushEnd);
        for (int i = 0; i < Settings::categoriesCount; ++i)
            QVERIFY(alone.isCategoryActive(i));
        QCOMPARE(alone.textScale(), Settings::defaultTextScale);
    }

    void valuesOutOfRangeKeepTheirDefaults()
    {
        // A whole file; any non-zero byte is "on".
        writeSettingsFile(QByteArray::fromHex("7fffffff" "ffffffff" "00000018" "ffffff9c" "ff0002000000000000"));
        Settings damaged(nullptr);
        QCOMPARE(damaged.getArticlesCheckRushHours(), 2);
        QCOMPARE(damaged.getArticlesCheckOutOfRushHours(), 2);
        QCOMPARE(damaged.getRushHoursStart(), 8);
        QCOMPARE(damaged.getRushHoursEnd(), 16);
        QVERIFY(damaged.isCategoryActive(0));
        QVERIFY(!damaged.isCategoryActive(1));
        QVERIFY(damaged.isCategoryActive(2));
        QCOMPARE(Settings::getTimeIntervalForType(damaged.refreshModeAt(QTime(12, 0))), 900000);
    }

    void modeInForceFollowsTheRushHours()
    {
        Settings s(nullptr);
        s.setRefreshModes(1, 3);
        QCOMPARE(s.refreshModeAt(QTime(7, 59)), 3);
        QCOMPARE(s.refreshModeAt(QTime(8, 0)), 1);
        QCOMPARE(s.refreshModeAt(QTime(15, 59)), 1);
        QCOMPARE(s.refreshModeAt(QTime(16, 0)), 3);

        s.setRushHours(22, 6);
        QCOMPARE(s.refreshModeAt(QTime(23, 0)), 1);
        QCOMPARE(s.refreshModeAt(QTime(5, 59)), 1);
        QCOMPARE(s.refreshModeAt(QTime(6, 0)), 3);
        QCOMPARE(s.refreshModeAt(QTime(21, 59)), 3);

        s.setRushHours(10, 10); // an empty rush period
        QCOMPARE(s.refreshModeAt(QTime(10, 30)), 3);
    }

    void nextBoundary()
    {
        Settings s(nullptr);
        // 16:30 with rush hours 8 to 16: tomorrow at 08:00.
        QCOMPARE(s.msecsToNextRushStateChange(QTime(16, 30)), (15 * 60 + 30) * 60 * 1000);
        // At the start hour the rush mode applies and the end hour is next.
        QCOMPARE(s.msecsToNextRushStateChange(QTime(8, 0)), 8 * 3600 * 1000);
        QCOMPARE(s.msecsToNextRushStateChange(QTime(7, 0)), 3600 * 1000);
        s.setRushHours(22, 6);
        QCOMPARE(s.msecsToNextRushStateChange(QTime(23, 0)), 7 * 3600 * 1000);
        QCOMPARE(s.msecsToNextRushStateChange(QTime(12, 0)), 10 * 3600 * 1000);
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

        Settings back(nullptr);
        QCOMPARE(back.getArticlesCheckRushHours(), 1);
        QCOMPARE(back.getArticlesCheckOutOfRushHours(), 3);
        QCOMPARE(back.getRushHoursStart(), 23);
        QCOMPARE(back.getRushHoursEnd(), 0);
        QVERIFY(!back.isCategoryActive(5));
        QVERIFY(back.isCategoryActive(4));

        // Values the file could not hold back fall to the defaults, as a damaged file does.
        s.setRefreshModes(7, -1);
        s.setRushHours(24, -3);
        QCOMPARE(s.getArticlesCheckRushHours(), Settings::defaultMode);
        QCOMPARE(s.getArticlesCheckOutOfRushHours(), Settings::defaultMode);
        QCOMPARE(s.getRushHoursStart(), Settings::defaultRushStart);
        QCOMPARE(s.getRushHoursEnd(), Settings::defaultRushEnd);
    }

    void intervals()
    {
        QCOMPARE(Settings::getTimeIntervalForType(0), -1);
        QCOMPARE(Settings::getTimeIntervalForType(1), 300000);
        QCOMPARE(Settings::getTimeIntervalForType(2), 900000);
        QCOMPARE(Settings::getTimeIntervalForType(3), 3600000);
        QCOMPARE(Settings::getTimeIntervalForType(4), -1);
        QCOMPARE(Settings::getTimeIntervalForType(99), -1);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
