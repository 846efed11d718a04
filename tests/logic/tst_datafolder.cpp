#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/types.h>
#include <unistd.h>

#include "logic/news/article.h"
#include "logic/ads/bannerinfo.h"
#include "logic/gallery/galleryfeed.h"
#include "logic/news/photo.h"
#include "logic/news/channel.h"
#include "logic/news/briefcasestore.h"
#include "logic/news/settings.h"
#include "logic/sharing/tokenstore.h"
#include "logic/base/constants.h"
#include "logic/base/file.h"
#include "logic/net/reachability.h"
#include "logic/net/request.h"
#include "tests/support/testchannel.h"
#include "tests/support/testenv.h"

// A data folder a crash, a full disk or another program damaged: what is not a plain file of its
// format is refused unread, and the newest copy that decodes whole is read instead.
namespace {

enum Kind { Fifo, DevZero, Directory, Oversized };
// What else a stored copy may be: as written, mode 000, cut in half, or of another version.
enum { Whole = 10, Unreadable, Damaged, OtherVersion };

// Start-up reads every file once; a refused one must not hold it up.
const int promptMs = 2000;

using Channel = TestChannel;

QString pathOf(const QString& name) { return File::createPathToResource(name); }

// A zero device of the test's own: should a write ever follow the link, as root it would
// replace the device file itself, and only this copy may suffer. Without the right to make
// one, a user who cannot write to /dev links to the system's; root without it skips.
QString zeroDevice()
{
    static QTemporaryDir devices;
    const QString own = devices.path() + "/zero";
    if (QFileInfo(own).exists() || mknod(QFile::encodeName(own).constData(), S_IFCHR | 0666, makedev(1, 5)) == 0)
        return own;
    return geteuid() != 0 ? QStringLiteral("/dev/zero") : QString();
}

// Puts a thing of the kind in place of path; an oversized file is sparse, so it costs no disk.
void replaceWith(const QString& path, Kind kind, qint64 bound)
{
    QFile::remove(path);
    File::clearWayFor(path);
    switch (kind) {
    case Fifo:
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        break;
    case DevZero:
        QVERIFY(QFile::link(zeroDevice(), path));
        break;
    case Directory:
        TestEnv::writeData(path + "/inside/file", "x");
        break;
    case Oversized:
        TestEnv::writeData(path, QByteArray());
        QVERIFY(QFile::resize(path, bound + 1));
        break;
    }
}

void spoil(const QString& path, int state)
{
    if (state == Unreadable) {
        QVERIFY(QFile::setPermissions(path, {}));
    } else if (state == Damaged) {
        QFile file(path);
        QVERIFY(file.resize(file.size() / 2));
    } else if (state == OtherVersion) {
        QByteArray bytes = TestEnv::readData(path);
        bytes[3] = 2;
        TestEnv::writeData(path, bytes);
    } else if (state != Whole) {
        replaceWith(path, Kind(state), RSSChannel::maxCacheBytes);
    }
}

void addKinds()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("FIFO") << int(Fifo);
    if (!zeroDevice().isEmpty())
        QTest::newRow("link to a zero device") << int(DevZero);
    QTest::newRow("directory") << int(Directory);
    QTest::newRow("over its bound") << int(Oversized);
}

// A photo of a saved article, with the briefcase's folder made.
void keepInBriefcase(Photo& photo)
{
    photo.articleXX = 5;
    photo.xx = 50;
    photo.setSavedArticles(true);
    QDir().mkpath(pathOf("teczka"));
}

// The bytes that `write` leaves in a file, and a reader of bytes.
QByteArray written(const std::function<void(File*)>& write)
{
    QScopedPointer<File> f(File::createFileToWrite(pathOf(QStringLiteral("bytes"))));
    f->open();
    write(f.data());
    f->close();
    return TestEnv::readData(QStringLiteral("bytes"));
}

std::unique_ptr<File> reader(const QByteArray& bytes)
{
    TestEnv::writeData(QStringLiteral("bytes"), bytes);
    std::unique_ptr<File> f(File::createFileToRead(pathOf(QStringLiteral("bytes"))));
    f->open();
    return f;
}

Article* briefcaseArticle(int xx)
{
    Article* a = new Article(nullptr);
    a->xx = xx;
    a->title = QString("Zapisany %1").arg(xx);
    return a;
}

} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        new Reachability(this); // offline: nothing is fetched
    }

    void init() { TestEnv::clearData(); }

    // No write went through a link: the device it named is still a device.
    void cleanup()
    {
        struct stat st;
        if (!zeroDevice().isEmpty())
            QVERIFY(::stat(QFile::encodeName(zeroDevice()).constData(), &st) == 0 && S_ISCHR(st.st_mode));
    }

    // File, the one binary format of the folder's files.
    void integersAreBigEndianAndStringsLengthPrefixed()
    {
        QCOMPARE(written([](File* f) { f->writeInt(1); }), QByteArray::fromHex("00000001"));
        QCOMPARE(written([](File* f) { f->writeInt(-2); }), QByteArray::fromHex("fffffffe"));
        QCOMPARE(written([](File* f) { f->writeShort(0x1234); }), QByteArray::fromHex("1234"));
        QCOMPARE(written([](File* f) { f->writeLongLong(0x0102030405060708LL); }),
                 QByteArray::fromHex("0102030405060708"));
        QCOMPARE(written([](File* f) { f->writeDouble(1.0); }), QByteArray::fromHex("000000000000f03f"));
        QCOMPARE(written([](File* f) { f->writeUByte(0xfe); f->writeUShort(0xfffe); }),
                 QByteArray::fromHex("fefffe"));
        // Strings: a 16-bit length, then UTF-8.
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
        const std::unique_ptr<File> f = reader(bytes);
        QCOMPARE(int(f->readByte()), -5);
        QCOMPARE(f->readShort(), short(-300));
        QCOMPARE(f->readUInt(), 0xdeadbeefu);
        QCOMPARE(f->readLongLong(), -1234567890123LL);
        QCOMPARE(f->readDouble(), 3.25);
        QCOMPARE(f->readString(), QString::fromUtf8("zażółć gęślą jaźń"));
        QCOMPARE(f->readString(), QString::fromUtf8("a\0b", 3));
        QCOMPARE(f->getLastError(), 0);
    }

    void shortReadsAndMissingFilesThrowAndTheNextGoodReadClearsTheError()
    {
        std::unique_ptr<File> f = reader(QByteArray::fromHex("000102"));
        QVERIFY_THROWS_EXCEPTION(int, f->readInt());
        QCOMPARE(f->getLastError(), -1);
        QCOMPARE(f->readShort(), short(0x0001));
        QCOMPARE(f->getLastError(), 0);

        // A string whose length runs past the end, and a byte block larger than the file.
        QVERIFY_THROWS_EXCEPTION(int, reader(QByteArray::fromHex("0010616263"))->readString());
        QVERIFY_THROWS_EXCEPTION(int, reader(QByteArray::fromHex("616263"))->readBytes(0x7fffffff));

        // A missing file fails on the first primitive.
        f.reset(File::createFileToRead(pathOf(QStringLiteral("no-such-file"))));
        f->open();
        QVERIFY_THROWS_EXCEPTION(int, f->readByte());
        // Writing into a folder that does not exist fails too.
        f.reset(File::createFileToWrite(pathOf(QStringLiteral("missing/dir/file"))));
        f->open();
        QVERIFY_THROWS_EXCEPTION(int, f->writeInt(1));
    }

    void overlongStringsAreCutAtACharacterBoundary()
    {
        // 40000 two-byte letters: 80000 bytes do not fit the 16-bit prefix.
        const QString longText(40000, QChar(0x0105));
        const QByteArray bytes = written([&](File* f) {
            f->writeString(longText);
            f->writeInt(7);
        });
        const std::unique_ptr<File> f = reader(bytes);
        const QString back = f->readString();
        QCOMPARE(back.size(), 32767);
        QVERIFY(longText.startsWith(back));
        QCOMPARE(f->readInt(), 7);
        // Exactly as long as the prefix can say: whole.
        const QString fits(0xFFFF, QLatin1Char('a'));
        QCOMPARE(reader(written([&](File* w) { w->writeString(fits); }))->readString(), fits);
    }

    // (A file of the briefcase removed: tst_article.)
    void aDirectoryIsDeletedWithWhatItHolds()
    {
        const QString dir = File::createPathToResource("tree");
        TestEnv::writeData(dir + "/a/b/x", "x");
        TestEnv::writeData(dir + "/y", "y");
        QVERIFY(File::deleteDirectory(dir));
        QVERIFY(!QDir(dir).exists());
    }

    // Only regular files within the bound are read; the others are refused at once.
    void readRegularRefusesWhatIsNotAPlainFile()
    {
        const QString dir = File::createPathToResource(QStringLiteral("odd"));
        QDir().mkpath(dir);
        QByteArray bytes = "left over";
        QCOMPARE(File::readRegular(dir + QStringLiteral("/none"), 100, &bytes), File::Missing);
        QVERIFY(bytes.isEmpty());
        // (A FIFO and a link to a device: every reader's rows below.)
        QCOMPARE(File::readRegular(dir, 100, &bytes), File::NotRegular);
        const QString plain = dir + QStringLiteral("/plain");
        TestEnv::writeData(plain, QByteArray(100, 'x'));
        QCOMPARE(File::readRegular(plain, 100, &bytes), File::Read);
        QCOMPARE(bytes, QByteArray(100, 'x'));
        QCOMPARE(File::readRegular(plain, 99, &bytes), File::TooLarge);
        QVERIFY(bytes.isEmpty());
    }

    // What a damaged folder does to the readers of its files.
    void aChannelReadsItsBackupAndKeepsIt_data() { addKinds(); }
    void aChannelReadsItsBackupAndKeepsIt()
    {
        QFETCH(int, kind);
        {
            Channel kraj;
            kraj.take({1, 2, 3});
            kraj.take({4, 5}); // rssKraj.old holds 1, 2, 3
        }
        const QString main = pathOf("rssKraj");
        const QByteArray backup = TestEnv::readData(main + ".old");
        replaceWith(main, Kind(kind), RSSChannel::maxCacheBytes);

        QElapsedTimer clock;
        clock.start();
        Channel kraj;
        kraj.updateArticles(true);
        QVERIFY(clock.elapsed() < promptMs);
        QCOMPARE(TestEnv::sortedIds(kraj), (QVector<int>{1, 2, 3}));

        // The damaged file never becomes the backup; it is set aside and the next list takes its place.
        kraj.take({6});
        QCOMPARE(TestEnv::readData(main + ".old"), backup);
        QVERIFY(QFileInfo(main + ".damaged").exists() || QFileInfo(main + ".damaged").isSymLink());
        QVERIFY(QFileInfo(main).isFile() && !QFileInfo(main).isSymLink());
        Channel again;
        QVERIFY(again.loadFromFile("rssKraj"));
        QCOMPARE(TestEnv::sortedIds(again), (QVector<int>{1, 2, 3, 6}));
        kraj.take({7}); // and a whole main file is the backup again
        QVERIFY(again.loadFromFile("rssKraj.old"));
        QCOMPARE(TestEnv::sortedIds(again), (QVector<int>{1, 2, 3, 6}));
    }

    // A copy that stands but could not be read is the user's: the briefcase saves nothing over
    // it, refuses every change and reads it again when next shown. A damaged one is set aside.
    void theBriefcaseNeverSavesOverWhatItCouldNotRead_data()
    {
        QTest::addColumn<int>("main");
        QTest::addColumn<int>("old");
        QTest::addColumn<QVector<int>>("shown");
        QTest::addColumn<bool>("locked");
        const QVector<int> backup{11, 12}, all{11, 12, 13};
        QTest::newRow("main FIFO") << int(Fifo) << int(Whole) << backup << true;
        if (!zeroDevice().isEmpty())
            QTest::newRow("main a link to a zero device") << int(DevZero) << int(Whole) << backup << true;
        QTest::newRow("main a directory") << int(Directory) << int(Whole) << backup << true;
        QTest::newRow("main over its bound") << int(Oversized) << int(Whole) << backup << true;
        QTest::newRow("main unreadable") << int(Unreadable) << int(Whole) << backup << true;
        QTest::newRow("backup unreadable") << int(Whole) << int(Unreadable) << all << false;
        QTest::newRow("both unreadable") << int(Unreadable) << int(Unreadable) << QVector<int>() << true;
        QTest::newRow("main damaged") << int(Damaged) << int(Whole) << backup << false;
        QTest::newRow("main of another version") << int(OtherVersion) << int(Whole) << backup << false;
        QTest::newRow("both damaged") << int(Damaged) << int(Damaged) << QVector<int>() << false;
    }
    void theBriefcaseNeverSavesOverWhatItCouldNotRead()
    {
        QFETCH(int, main);
        QFETCH(int, old);
        QFETCH(QVector<int>, shown);
        QFETCH(bool, locked);
        {
            SavedArticles briefcase(nullptr);
            for (int xx : {11, 12, 13}) {
                QScopedPointer<Article> a(briefcaseArticle(xx));
                QVERIFY(briefcase.addArticle(*a));
            }
        }
        const QString path = pathOf("rssTeczka");
        spoil(path, main);
        spoil(path + ".old", old);
        const QMap<QString, QByteArray> before = TestEnv::dataSnapshot();

        QScopedPointer<TestEnv::ObeyFileModes> modes(new TestEnv::ObeyFileModes);
        QElapsedTimer clock;
        clock.start();
        SavedArticles briefcase(nullptr);
        QVERIFY(clock.elapsed() < promptMs);
        QCOMPARE(TestEnv::sortedIds(briefcase), shown);
        QCOMPARE(briefcase.isUnreadable(), locked);
        briefcase.updateArticles(true); // shown again: nothing is saved
        briefcase.articlesDidChange(false);
        QCOMPARE(TestEnv::dataSnapshot(), before);

        QScopedPointer<Article> a(briefcaseArticle(14));
        QCOMPARE(briefcase.addArticle(*a), !locked);
        if (locked) {
            QVERIFY(!briefcase.removeOldest());
            if (!shown.isEmpty())
                briefcase.markArticleAsRead(*briefcase.getArticles().first());
            modes.reset();
            QCOMPARE(TestEnv::dataSnapshot(), before);
            if (main == Unreadable) {
                // Readable again: the next showing takes the whole list and unlocks it.
                QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
                briefcase.updateArticles(true);
                QVERIFY(!briefcase.isUnreadable());
                QCOMPARE(TestEnv::sortedIds(briefcase), (QVector<int>{11, 12, 13}));
            }
            return;
        }
        modes.reset();
        const QMap<QString, QByteArray> after = TestEnv::dataSnapshot();
        for (const QString& name : {QStringLiteral("rssTeczka"), QStringLiteral("rssTeczka.old")}) {
            if ((name == "rssTeczka" ? main : old) != Whole)
                QVERIFY2(after.value(name + ".damaged", "none") == before.value(name)
                             || (name.endsWith(".old") && after.value(name) == before.value(name)),
                         qPrintable(name));
        }
        SavedArticles reopened(nullptr);
        QCOMPARE(TestEnv::sortedIds(reopened), shown + QVector<int>{14});
    }

    // Stopped between the two renames of a save, the complete ".new" is newer than ".old"; stopped
    // while it was written, the main file is read.
    void aCompleteNewListBeatsTheOlderBackup()
    {
        {
            Channel kraj;
            kraj.take({1, 2});
            kraj.take({3}); // rssKraj holds 1, 2, 3 and rssKraj.old 1, 2
        }
        const QString main = pathOf("rssKraj");
        QVERIFY(QFile::rename(main, main + ".new"));
        Channel kraj;
        kraj.updateArticles(true);
        QCOMPARE(TestEnv::sortedIds(kraj), (QVector<int>{1, 2, 3}));
        kraj.take({4});
        Channel again;
        again.updateArticles(true);
        QCOMPARE(TestEnv::sortedIds(again), (QVector<int>{1, 2, 3, 4}));
        QVERIFY(!QFileInfo::exists(main + ".new"));
        TestEnv::writeData(main + ".new", QByteArray("RSS\x01\x05", 5));
        Channel half;
        half.updateArticles(true);
        QCOMPARE(TestEnv::sortedIds(half), (QVector<int>{1, 2, 3, 4}));
    }

    // A directory where a backup would go no longer stops the backups for good.
    void aDirectoryInPlaceOfTheBackupGoesAtTheNextSave()
    {
        QVERIFY(QDir().mkpath(pathOf("rssKraj.old") + "/inside"));
        Channel kraj;
        kraj.take({1, 2});
        kraj.take({3});
        Channel backup;
        QVERIFY(backup.loadFromFile("rssKraj.old"));
        QCOMPARE(TestEnv::sortedIds(backup), (QVector<int>{1, 2}));
    }

    void filesWithoutABackupStartFromTheirDefaults_data() { addKinds(); }
    void filesWithoutABackupStartFromTheirDefaults()
    {
        QFETCH(int, kind);
        QElapsedTimer clock;

        replaceWith(pathOf("settings"), Kind(kind), File::maxSettingsBytes);
        const QMap<QString, QByteArray> before = TestEnv::dataSnapshot();
        clock.start();
        {
            Settings settings(nullptr);
            QVERIFY(clock.elapsed() < promptMs);
            QCOMPARE(settings.getArticlesCheckRushHours(), Settings::defaultMode);
            QCOMPARE(settings.getRushHoursEnd(), Settings::defaultRushEnd);
            QVERIFY(!settings.setRushHours(9, 17)); // never saved over what could not be read
        }
        QCOMPARE(TestEnv::dataSnapshot(), before);
        QFile::remove(pathOf("settings"));
        File::clearWayFor(pathOf("settings"));

        replaceWith(pathOf("banners"), Kind(kind), 4 + 1 + 2 * (2 + 65535) + 1);
        clock.restart();
        QVERIFY(!TestEnv::freshBanners()->canShowSplash());
        QVERIFY(clock.elapsed() < promptMs);
        BannerInfo::releaseSingleton();

        QDir().mkpath(GalleryFeed::cacheDirectory());
        replaceWith(GalleryFeed::cacheDirectory() + "0.xml", Kind(kind), Http::maxResponseBytes);
        clock.restart();
        QVERIFY(!GalleryFeed().loadFromCache(false));
        QVERIFY(clock.elapsed() < promptMs);

        Photo photo(nullptr);
        keepInBriefcase(photo);
        replaceWith(pathOf(photo.photoFileName()), Kind(kind), 4 + Http::maxResponseBytes);
        clock.restart();
        photo.loadImages();
        QVERIFY(photo.image.isNull());
        QVERIFY(clock.elapsed() < promptMs);
    }

    // Tokens and analytics live in QSettings, which would read a FIFO forever.
    void theSettingsStoreIsSetAsideWhenItIsNotAPlainFile_data() { addKinds(); }
    void theSettingsStoreIsSetAsideWhenItIsNotAPlainFile()
    {
        QFETCH(int, kind);
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        for (const QString& path : {config + "/Tarvo/Kurendal.conf", config + "/Tarvo.conf"}) {
            QDir().mkpath(QFileInfo(path).path());
            replaceWith(path, Kind(kind), File::maxSettingsBytes);
            QElapsedTimer clock;
            clock.start();
            QString token, secret;
            TokenStore::load("tokenKey", "secretKey", token, secret);
            QVERIFY(clock.elapsed() < promptMs);
            QVERIFY(token.isEmpty());
            TokenStore::save("tokenKey", "secretKey", "token", "secret");
            TokenStore::load("tokenKey", "secretKey", token, secret);
            QCOMPARE(token, QString("token"));
            QVERIFY(QFileInfo(path + ".damaged").exists() || QFileInfo(path + ".damaged").isSymLink());
            QSettings(organizationName, applicationName).clear();
            QFile::remove(path);
            File::clearWayFor(path + ".damaged");
            QFile::remove(path + ".damaged");
        }
        QCOMPARE(QSettings(organizationName, applicationName).fileName(), config + "/Tarvo/Kurendal.conf");
    }

    // Records that do not decode whole count as damage, as a cut file does.
    void bannersAndPhotosMustDecodeWhole()
    {
        // The splash counts as downloaded only while its picture is there.
        TestEnv::writeData("splash", TestEnv::png(QSize(8, 8), Qt::red));
        BannerInfo* banners = BannerInfo::getSingleton();
        banners->showSplash = true;
        banners->splashImg = "http://ads.kurendal.pl/img/splash.png";
        banners->splashDownloaded = true;
        banners->splashLink = "http://kino.example.pl/";
        QMetaObject::invokeMethod(banners, "saveToFile", Qt::DirectConnection);
        const QByteArray good = TestEnv::readData(pathOf("banners"));
        QByteArray version2 = good;
        version2[3] = 2;
        for (const QByteArray& bytes : {good, version2, good + 'x'}) {
            TestEnv::writeData("banners", bytes);
            BannerInfo* read = TestEnv::freshBanners();
            QCOMPARE(read->splashLink, bytes == good ? QString("http://kino.example.pl/") : QString());
            QCOMPARE(read->splashDownloaded, bytes == good);
        }

        Photo photo(nullptr);
        keepInBriefcase(photo);
        QByteArray png = TestEnv::png(QSize(8, 8), Qt::blue);
        auto stored = [&](const QByteArray& file) {
            TestEnv::writeData(photo.photoFileName(), file);
            photo.image = QPixmap();
            photo.loadImages();
            return !photo.image.isNull();
        };
        const QByteArray length = QByteArray::fromHex(QByteArray::number(png.size(), 16).rightJustified(8, '0'));
        QVERIFY(stored(length + png));
        QVERIFY(!stored(length + png + "junk"));
        QVERIFY(!stored(length + png.left(png.size() - 1)));
    }
};

QTEST_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
