#include <QtTest>

#include "logic/ads/bannerinfo.h"
#include "fuzz/inputs.h"
#include "tests/support/testenv.h"

// Every seed of the fuzzers and every input that once broke a reader, read again.
class TestFuzzRegressions : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::prepare(); }
    void cleanupTestCase() { BannerInfo::releaseSingleton(); }

    void inputsAreReadSafely_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("path");
        const QDir fuzz(QStringLiteral(KURENDAL_FUZZ_DIR));
        for (const QString& kind : {QString("corpus"), QString("regressions")}) {
            for (const QString& target : QDir(fuzz.filePath(kind)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                const QDir dir(fuzz.filePath(kind + "/" + target));
                for (const QString& name : dir.entryList(QDir::Files))
                    QTest::newRow(qPrintable(kind + "/" + target + "/" + name)) << target << dir.filePath(name);
            }
        }
    }

    void inputsAreReadSafely()
    {
        QFETCH(QString, target);
        QFETCH(QString, path);
        static const QHash<QString, bool (*)(const QByteArray&)> readers = {
            {"channelcache", FuzzInputs::channelCache}, {"settings", FuzzInputs::settings},
            {"bannercache", FuzzInputs::bannerCache},   {"json", FuzzInputs::json},
            {"articleparser", FuzzInputs::articleParser}, {"galleryparser", FuzzInputs::galleryParser}};
        QVERIFY2(readers.contains(target), qPrintable("no reader for " + target));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(readers.value(target)(file.readAll()));
    }
};

QTEST_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
