#include <QtTest>

#include "Logic/settings.h"
#include "foundation/file.h"
#include "tests/support/testenv.h"

class TestSettings : public QObject
{
    Q_OBJECT
private:
    void writeSettingsFile(const QByteArray& bytes)
    {
        QFile file(File::createPathToResource("settings"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray settingsFile()
    {
        QFile file(File::createPathToResource("settings"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

private slots:
    void initTestCase() { TestEnv::prepare(); }
    void init() { TestEnv::clearData(); }

    void defaultsWithoutAFile()
    {
        Settings s(nullptr);
        QCOMPARE(s.articlesCheckRushHours, 2);
        QCOMPARE(s.articlesCheckOutOfRushHours, 2);
        QCOMPARE(s.rushHoursStart, 8);
        QCOMPARE(s.rushHoursEnd, 16);
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
            s.articlesCheckRushHours = 1;
            s.articlesCheckOutOfRushHours = 4;
            s.rushHoursStart = 22;
            s.rushHoursEnd = 6;
            s.categoriesActive[3] = false;
            s.save();
        }
        QCOMPARE(settingsFile(), QByteArray::fromHex("00000001" "00000004" "00000016" "00000006"
                                                     "010101000101010101"));
        Settings back(nullptr);
        QCOMPARE(back.articlesCheckRushHours, 1);
        QCOMPARE(back.articlesCheckOutOfRushHours, 4);
        QCOMPARE(back.rushHoursStart, 22);
        QCOMPARE(back.rushHoursEnd, 6);
        QVERIFY(!back.isCategoryActive(3));
        QVERIFY(back.isCategoryActive(4));
    }

    void shortAndDamagedFiles()
    {
        // Sixteen bytes: the four numbers, every category still on.
        writeSettingsFile(QByteArray::fromHex("00000003000000000000000a00000014"));
        Settings s(nullptr);
        QCOMPARE(s.articlesCheckRushHours, 3);
        QCOMPARE(s.articlesCheckOutOfRushHours, 0);
        QCOMPARE(s.rushHoursStart, 10);
        QCOMPARE(s.rushHoursEnd, 20);
        for (int i = 0; i < 9; ++i)
            QVERIFY(s.isCategoryActive(i));

        // Cut in the middle of the second number: the first is read, the rest keeps the defaults.
        writeSettingsFile(QByteArray::fromHex("0000000100"));
        Settings cut(nullptr);
        QCOMPARE(cut.articlesCheckRushHours, 1);
        QCOMPARE(cut.articlesCheckOutOfRushHours, 2);
        QCOMPARE(cut.rushHoursEnd, 16);

        // Values out of range fall back to the defaults; any non-zero byte is "on".
        writeSettingsFile(QByteArray::fromHex("7fffffff" "ffffffff" "00000018" "ffffff9c" "ff0002000000000000"));
        Settings damaged(nullptr);
        QCOMPARE(damaged.articlesCheckRushHours, 2);
        QCOMPARE(damaged.articlesCheckOutOfRushHours, 2);
        QCOMPARE(damaged.rushHoursStart, 8);
        QCOMPARE(damaged.rushHoursEnd, 16);
        QVERIFY(damaged.isCategoryActive(0));
        QVERIFY(!damaged.isCategoryActive(1));
        QVERIFY(damaged.isCategoryActive(2));
        QCOMPARE(Settings::getTimeIntervalForType(damaged.refreshModeAt(QTime(12, 0))), 900000);
    }

    void modeInForceFollowsTheRushHours()
    {
        Settings s(nullptr);
        s.articlesCheckRushHours = 1;
        s.articlesCheckOutOfRushHours = 3;
        QCOMPARE(s.refreshModeAt(QTime(7, 59)), 3);
        QCOMPARE(s.refreshModeAt(QTime(8, 0)), 1);
        QCOMPARE(s.refreshModeAt(QTime(15, 59)), 1);
        QCOMPARE(s.refreshModeAt(QTime(16, 0)), 3);

        s.rushHoursStart = 22;
        s.rushHoursEnd = 6;
        QCOMPARE(s.refreshModeAt(QTime(23, 0)), 1);
        QCOMPARE(s.refreshModeAt(QTime(5, 59)), 1);
        QCOMPARE(s.refreshModeAt(QTime(6, 0)), 3);
        QCOMPARE(s.refreshModeAt(QTime(21, 59)), 3);

        s.rushHoursStart = s.rushHoursEnd = 10; // an empty rush period
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
        s.rushHoursStart = 22;
        s.rushHoursEnd = 6;
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
            savedRushMode = Settings(nullptr).articlesCheckRushHours;
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
        QCOMPARE(back.articlesCheckRushHours, 1);
        QCOMPARE(back.articlesCheckOutOfRushHours, 3);
        QCOMPARE(back.rushHoursStart, 23);
        QCOMPARE(back.rushHoursEnd, 0);
        QVERIFY(!back.isCategoryActive(5));
        QVERIFY(back.isCategoryActive(4));

        // Values the file could not hold back fall to the defaults, as a damaged file does.
        s.setRefreshModes(7, -1);
        s.setRushHours(24, -3);
        QCOMPARE(s.articlesCheckRushHours, Settings::defaultMode);
        QCOMPARE(s.articlesCheckOutOfRushHours, Settings::defaultMode);
        QCOMPARE(s.rushHoursStart, Settings::defaultRushStart);
        QCOMPARE(s.rushHoursEnd, Settings::defaultRushEnd);
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
