#include <QtTest>

#include "logic/base/file.h"
#include "tests/support/testenv.h"

#include <sys/stat.h>

class TestFile : public QObject
{
    Q_OBJECT
private:
    // The bytes that `write` leaves in a file, and a reader of bytes.
    static QByteArray written(const std::function<void(File*)>& write)
    {
        QScopedPointer<File> f(File::createFileToWrite(File::createPathToResource(QStringLiteral("bytes"))));
        f->open();
        write(f.data());
        f->close();
        return TestEnv::readData(QStringLiteral("bytes"));
    }
    static File* reader(const QByteArray& bytes)
    {
        TestEnv::writeData(QStringLiteral("bytes"), bytes);
        File* f = File::createFileToRead(File::createPathToResource(QStringLiteral("bytes")));
        f->open();
        return f;
    }

private slots:
    void initTestCase() { TestEnv::prepare(); }

    void integersAreBigEndian()
    {
        QCOMPARE(written([](File* f) { f->writeInt(1); }), QByteArray::fromHex("00000001"));
        QCOMPARE(written([](File* f) { f->writeInt(-2); }), QByteArray::fromHex("fffffffe"));
        QCOMPARE(written([](File* f) { f->writeShort(0x1234); }), QByteArray::fromHex("1234"));
        QCOMPARE(written([](File* f) { f->writeLongLong(0x0102030405060708LL); }),
                 QByteArray::fromHex("0102030405060708"));
        QCOMPARE(written([](File* f) { f->writeDouble(1.0); }), QByteArray::fromHex("000000000000f03f"));
        QCOMPARE(written([](File* f) { f->writeUByte(0xfe); f->writeUShort(0xfffe); }),
                 QByteArray::fromHex("fefffe"));
    }

    void stringsAreLengthPrefixedUtf8()
    {
        QCOMPARE(written([](File* f) { f->writeString(QString()); }), QByteArray::fromHex("0000"));
        QCOMPARE(written([](File* f) { f->writeString(static_cast<QString*>(nullptr)); }), QByteArray::fromHex("0000"));
        const QString lodz = QString::fromUtf8("Łódź");
        QCOMPARE(written([&](File* f) { f->writeString(lodz); }), QByteArray::fromHex("0007") + lodz.toUtf8());
    }

    void valuesSurviveARoundTrip()
    {
        const QByteArray bytes = written([](File* f) {
            f->writeByte(-5);
            f->writeShort(-300);
            f->writeUInt(0xdeadbeef);
            f->writeLongLong(-1234567890123LL);
            f->writeDouble(3.25);
            f->writeString(QString::fromUtf8("zażółć gęślą jaźń"));
            f->writeString(QString::fromUtf8("a\0b", 3));
        });
        File* f = reader(bytes);
        QCOMPARE(int(f->readByte()), -5);
        QCOMPARE(f->readShort(), short(-300));
        QCOMPARE(f->readUInt(), 0xdeadbeefu);
        QCOMPARE(f->readLongLong(), -1234567890123LL);
        QCOMPARE(f->readDouble(), 3.25);
        QCOMPARE(f->readString(), QString::fromUtf8("zażółć gęślą jaźń"));
        QCOMPARE(f->readString(), QString::fromUtf8("a\0b", 3));
        QCOMPARE(f->getLastError(), 0);
        delete f;
    }

    void shortReadsThrowAndTheNextGoodReadClearsTheError()
    {
        File* f = reader(QByteArray::fromHex("000102"));
        bool thrown = false;
        try {
            f->readInt();
        } catch (int e) {
            thrown = true;
            QCOMPARE(e, -1);
        }
        QVERIFY(thrown);
        QCOMPARE(f->getLastError(), -1);
        QCOMPARE(f->readShort(), short(0x0001));
        QCOMPARE(f->getLastError(), 0);
        delete f;

        // A string whose length runs past the end, and a byte block larger than the file.
        f = reader(QByteArray::fromHex("0010616263"));
        QVERIFY_THROWS_EXCEPTION(int, f->readString());
        delete f;
        f = reader(QByteArray::fromHex("616263"));
        QVERIFY_THROWS_EXCEPTION(int, f->readBytes(0x7fffffff));
        delete f;
    }

    void aMissingFileFailsOnTheFirstPrimitive()
    {
        File* f = File::createFileToRead(File::createPathToResource(QStringLiteral("no-such-file")));
        f->open();
        QVERIFY_THROWS_EXCEPTION(int, f->readByte());
        delete f;
        // Writing into a folder that does not exist fails too.
        f = File::createFileToWrite(File::createPathToResource(QStringLiteral("missing/dir/file")));
        f->open();
        QVERIFY_THROWS_EXCEPTION(int, f->writeInt(1));
        delete f;
    }

    void overlongStringsAreCutAtACharacterBoundary()
    {
        // 40000 two-byte letters: 80000 bytes do not fit the 16-bit prefix.
        const QString longText(40000, QChar(0x0105));
        const QByteArray bytes = written([&](File* f) {
            f->writeString(longText);
            f->writeInt(7);
        });
        File* f = reader(bytes);
        const QString back = f->readString();
        QCOMPARE(back.size(), 32767);
        QVERIFY(longText.startsWith(back));
        QCOMPARE(f->readInt(), 7);
        delete f;
        // Exactly as long as the prefix can say: whole.
        const QString fits(0xFFFF, QLatin1Char('a'));
        f = reader(written([&](File* w) { w->writeString(fits); }));
        QCOMPARE(f->readString(), fits);
        delete f;
    }

    void pathsAndDeletion()
    {
        QCOMPARE(File::createPathToResource("banners"), File::createPathToDocuments("banners"));
        QVERIFY(File::createPathToResource("banners").startsWith(TestEnv::dataDir()));
        QVERIFY(TestEnv::dataDir().endsWith('/'));
        QVERIFY(QDir(TestEnv::dataDir()).exists());

        QVERIFY(!File::deleteFileInResources("absent"));
        written([](File* f) { f->writeInt(1); });
        QVERIFY(File::fileExistInResources("bytes"));
        QVERIFY(File::deleteFileInResources("bytes"));
        QVERIFY(!File::fileExistInDocuments("bytes"));

        const QString dir = File::createPathToResource("tree");
        QVERIFY(!File::deleteDirectory(dir));
        QDir().mkpath(dir + "/a/b");
        QFile(dir + "/a/b/x").open(QIODevice::WriteOnly);
        QFile(dir + "/y").open(QIODevice::WriteOnly);
        QVERIFY(File::deleteDirectory(dir));
        QVERIFY(!QDir(dir).exists());
    }

    void swapsAndEquality()
    {
        QCOMPARE(File::SwapShort(0x1234), short(0x3412));
        QCOMPARE(File::SwapInt(0x01020304), 0x04030201);
        QString a = "x", b = "y";
        File r1(true, &a), r2(true, &a), w1(false, &a), r3(true, &b);
        QVERIFY(r1 == r2);
        QVERIFY(r1 != w1);
        QVERIFY(r1 != r3);
    }

    // Only regular files within the bound are read; the others are refused at once.
    void readRegularRefusesWhatIsNotAPlainFile()
    {
        const QString dir = File::createPathToResource(QStringLiteral("odd"));
        QDir().mkpath(dir);
        QByteArray bytes = "left over";
        QCOMPARE(File::readRegular(dir + QStringLiteral("/none"), 100, &bytes), File::Missing);
        QVERIFY(bytes.isEmpty());
        QCOMPARE(File::readRegular(dir, 100, &bytes), File::NotRegular);

        const QString fifo = dir + QStringLiteral("/fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(File::readRegular(fifo, 100, &bytes), File::NotRegular); // no writer: would block

        const QString zero = dir + QStringLiteral("/zero");
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
        QCOMPARE(File::readRegular(zero, 100, &bytes), File::NotRegular);

        const QString plain = dir + QStringLiteral("/plain");
        TestEnv::writeData(plain, QByteArray(100, 'x'));
        QCOMPARE(File::readRegular(plain, 100, &bytes), File::Read);
        QCOMPARE(bytes, QByteArray(100, 'x'));
        QCOMPARE(File::readRegular(plain, 99, &bytes), File::TooLarge);
        QVERIFY(bytes.isEmpty());
        File::deleteDirectory(dir);
    }
};

QTEST_GUILESS_MAIN(TestFile)
#include "tst_file.moc"
