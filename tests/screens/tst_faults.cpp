#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QUrlQuery>

#include <cerrno>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include "logic/ads/bannerinfo.h"
#include "logic/news/briefcasestore.h"
#include "logic/net/reachability.h"
#include "logic/news/settings.h"
#include "screens/article/articlewidget.h"
#include "screens/settings/settingscategoryview.h"
#include "tests/support/screenfixtures.h"
#include "tests/support/testchannel.h"

// The machine fails the program: the data folder turns read-only or fills up while it saves, and
// what was on disk stays whole; the loopback alone is no network. A small memory disk and the
// loopback only, in private user, mount and network namespaces: real faults, no privileges.
namespace {

// Must run before the process has a second thread.
bool enterPrivateNamespaces()
{
    if (!TestEnv::enterUserNamespace(CLONE_NEWNS | CLONE_NEWNET)
        || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    // The loopback up and running, as on every machine.
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return false;
    ifreq request = {};
    qstrncpy(request.ifr_name, "lo", IFNAMSIZ);
    bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP;
    up = up && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return up;
}

bool isolated = false;

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT
private:
    enum Fault { ReadOnly, Full };
    QByteArray dir;
    QByteArray options = "size=4m,mode=0755";
    SampleServer* server = nullptr;
    QString splashPicture; // what the ad server names as the splash

    void mountDisk()
    {
        if (!isolated)
            QSKIP("no private mount namespace here (unshare refused)");
        QVERIFY2(mount("tmpfs", dir.constData(), "tmpfs", 0, options.constData()) == 0, strerror(errno));
        QDir().mkpath(QString::fromUtf8(dir) + "/teczka");
    }

    void breakDisk(Fault fault)
    {
        if (fault == ReadOnly) {
            QVERIFY2(mount(nullptr, dir.constData(), nullptr, MS_REMOUNT | MS_RDONLY, options.constData()) == 0,
                     strerror(errno));
            return;
        }
        // Fill every last block; afterwards even a one-byte write fails.
        QFile filler(QString::fromUtf8(dir) + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        for (const QByteArray& chunk : {QByteArray(64 * 1024, 'x'), QByteArray(1, 'x')})
            while (filler.write(chunk) > 0) {
            }
        filler.close();
        QFile probe(QString::fromUtf8(dir) + "/probe");
        QVERIFY(!probe.open(QIODevice::WriteOnly) || probe.write("x", 1) != 1 || !probe.flush());
    }

    void mendDisk(Fault fault)
    {
        if (fault == ReadOnly)
            QVERIFY(mount(nullptr, dir.constData(), nullptr, MS_REMOUNT, options.constData()) == 0);
        else
            QVERIFY(QFile::remove(QString::fromUtf8(dir) + "/filler"));
    }

    static void addFaults()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("read-only") << int(ReadOnly);
        QTest::newRow("full") << int(Full);
    }

    QStringList leftovers() const
    {
        QStringList names = QDir(QString::fromUtf8(dir)).entryList(QDir::Files);
        names.removeAll("filler");
        names.removeAll("probe");
        return names;
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        dir = TestEnv::dataDir().toUtf8();
        if (dir.endsWith('/'))
            dir.chop(1);
        server = TestEnv::startSampleServer(this);
        QVERIFY(server);
        server->route("ads.kurendal.pl", "/ad/GetBanMb", [this](const SampleServer::Request& r) {
            if (QUrlQuery(r.query).queryItemValue("typ") != "102")
                return SampleServer::text("{}", "application/json");
            return SampleServer::text(QString("{\"@type\":\"banner\",\"ImageUrl\":{\"#text\":\"http://ads.kurendal.pl%1\"},"
                                              "\"Href\":\"http://kino.example.pl%1\"}")
                                          .arg(splashPicture).toUtf8(),
                                      "application/json");
        });
        server->route("ads.kurendal.pl", "/img/red.png", SampleServer::text(TestEnv::png(QSize(480, 854), Qt::red), "image/png"));
        server->route("ads.kurendal.pl", "/img/green.png", SampleServer::text(TestEnv::png(QSize(480, 854), Qt::green), "image/png"));
    }

    void init() { mountDisk(); }

    void cleanup()
    {
        if (isolated)
            umount2(dir.constData(), MNT_DETACH);
    }

    void aChannelKeepsItsLastList_data() { addFaults(); }
    void aChannelKeepsItsLastList()
    {
        QFETCH(int, fault);
        TestChannel kraj;
        kraj.take({1, 2, 3});
        kraj.take({3, 4, 5}); // rssKraj and rssKraj.old both exist now
        breakDisk(Fault(fault));
        const QStringList before = leftovers();
        kraj.take({6, 7, 8});
        QCOMPARE(TestEnv::sortedIds(kraj), (QVector<int>{1, 2, 3, 4, 5, 6, 7, 8})); // the screen still has them
        QCOMPARE(leftovers(), before);
        // A read mark not on disk is not shown, and goes with the next one that can be saved.
        auto article = [&kraj](int xx) {
            const QVector<Article*>& all = kraj.getArticles();
            return *std::find_if(all.begin(), all.end(), [xx](const Article* a) { return a->xx == xx; });
        };
        kraj.markArticleAsRead(*article(5));
        QVERIFY(!article(5)->articleWasRead);
        {
            TestChannel again;
            QVERIFY(again.loadFromFile("rssKraj"));
            QCOMPARE(TestEnv::sortedIds(again), (QVector<int>{1, 2, 3, 4, 5}));
            QVERIFY(again.loadFromFile("rssKraj.old"));
            QCOMPARE(TestEnv::sortedIds(again), (QVector<int>{1, 2, 3}));
        }
        mendDisk(Fault(fault));
        kraj.markArticleAsRead(*article(6));
        QVERIFY(article(5)->articleWasRead && article(6)->articleWasRead);
        TestChannel again;
        QVERIFY(again.loadFromFile("rssKraj"));
        QCOMPARE(again.getUnreadArticlesCount(), 6);
    }

    void theBriefcaseKeepsItsArticlesAndPictures_data() { addFaults(); }
    void theBriefcaseKeepsItsArticlesAndPictures()
    {
        QFETCH(int, fault);
        TestChannel source;
        source.take({11, 12, 13});
        const QImage blue = Screens::filled(QSize(84, 78), Qt::blue);
        {
            SavedArticles briefcase(nullptr);
            for (int i = 0; i < 2; ++i) {
                Article* a = source.getArticles().at(i);
                a->thumbnailImage = blue;
                QVERIFY(briefcase.addArticle(*a));
            }
            for (Article* a : briefcase.getArticles())
                a->saveImages();
            breakDisk(Fault(fault));
            // Neither an addition nor a removal is made when the file cannot hold it.
            QSignalSpy changed(&briefcase, &SavedArticles::articlesUpadted);
            QVERIFY(!briefcase.addArticle(*source.getArticles().at(2)));
            QVERIFY(!briefcase.isFull());
            QVERIFY(!SavedArticles::isArticleInSavedArticles(*source.getArticles().at(2)));
            QVERIFY(!briefcase.removeArticle(*source.getArticles().at(0)));
            QVERIFY(!briefcase.removeOldest());
            QCOMPARE(TestEnv::sortedIds(briefcase), (QVector<int>{11, 12}));
            QCOMPARE(changed.count(), 0);
            // A new picture for a kept article fails to replace the old one.
            Article* first = briefcase.getArticles().first();
            first->thumbnailImage = Screens::filled(QSize(40, 40), Qt::red);
            first->saveImages();
        }
        SavedArticles reopened(nullptr);
        QCOMPARE(TestEnv::sortedIds(reopened), (QVector<int>{11, 12}));
        for (const Article* a : reopened.getArticles()) {
            QCOMPARE(a->getThumbnailImage().size(), QSize(84, 78));
            QVERIFY(qBlue(a->getThumbnailImage().pixel(40, 40)) > 200);
        }
    }

    void theSplashForTheNextStartStaysTheLastOneSaved_data() { addFaults(); }
    void theSplashForTheNextStartStaysTheLastOneSaved()
    {
        QFETCH(int, fault);
        splashPicture = "/img/red.png";
        BannerInfo* banners = TestEnv::freshBanners();
        banners->startUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(banners->splashDownloaded, 5000);

        breakDisk(Fault(fault));
        splashPicture = "/img/green.png";
        server->clearRequests();
        banners->startUpdate(); // the same run: the new splash goes to disk only
        QTRY_VERIFY_WITH_TIMEOUT(Screens::paths(*server).contains("/img/green.png"), 5000);
        QTRY_VERIFY(!banners->isDownloading());

        banners = TestEnv::freshBanners();
        QVERIFY(banners->canShowSplash());
        QCOMPARE(banners->splashLink, QString("http://kino.example.pl/img/red.png"));
        QCOMPARE(banners->splashImage.size(), QSize(480, 854));
        QCOMPARE(banners->splashImage.toImage().pixel(10, 10), QColor(Qt::red).rgb());
        BannerInfo::releaseSingleton();
    }

    // Not saved, so not made: the user is told, the screens go on showing what is saved, and the
    // program goes on with what the next start reads.
    void theScreensSayWhatWasNotSaved_data() { addFaults(); }
    void theScreensSayWhatWasNotSaved()
    {
        QFETCH(int, fault);
        {
            SavedArticles briefcase(nullptr);
            Settings settings(nullptr);
            QVERIFY(settings.setRefreshModes(3, 2));
            QVERIFY(settings.setCategoryActive(RSSChannel::Gospodarka, false));
            Article article;
            article.xx = 77;
            QScopedPointer<ArticleWidget> screen(new ArticleWidget(article, nullptr));
            QScopedPointer<SettingsCategoryView> categories(new SettingsCategoryView(&settings, nullptr));
            QPushButton* add = screen->findChild<QPushButton*>("teczkaAddButton");
            QCheckBox* sport = categories->findChild<QCheckBox*>("checkBoxCategory3");
            QVERIFY(add && sport && sport->isChecked());
            breakDisk(Fault(fault));

            Boxes boxes;
            add->click();
            QCOMPARE(boxes.shown.size(), 1);
            QCOMPARE(boxes.last().kind, MessageBox::Shown::Error);
            QCOMPARE(boxes.last().text, QString::fromUtf8("Artykułu nie dodano do teczki, bo nie udało się go zapisać."));
            QVERIFY(!add->isHidden());
            QVERIFY(briefcase.getArticles().isEmpty());

            QSignalSpy categoriesAnnounced(&settings, &Settings::activeCategoriesChanged);
            QSignalSpy modesAnnounced(&settings, &Settings::refreshModeChanged);
            sport->click();
            QCOMPARE(boxes.shown.size(), 2);
            QCOMPARE(boxes.last().text, QString::fromUtf8("Nie udało się zapisać ustawień. Zmiana nie została wprowadzona."));
            QVERIFY(sport->isChecked());
            QVERIFY(settings.isCategoryActive(RSSChannel::Sport));
            QVERIFY(!settings.setRefreshModes(1, 2));
            QVERIFY(!settings.setCategoryActive(RSSChannel::Gospodarka, true));
            QVERIFY(!settings.setRushHours(10, 12));
            QCOMPARE(categoriesAnnounced.count() + modesAnnounced.count(), 0);
            QCOMPARE(settings.getArticlesCheckRushHours(), 3);
            QVERIFY(!settings.isCategoryActive(RSSChannel::Gospodarka));
            QCOMPARE(settings.getRushHoursStart(), Settings::defaultRushStart);
        }
        Settings reread(nullptr);
        QCOMPARE(reread.getArticlesCheckRushHours(), 3);
        QVERIFY(!reread.isCategoryActive(RSSChannel::Gospodarka));
        QVERIFY(reread.isCategoryActive(RSSChannel::Sport));
    }

    // Last: it sets the process's proxy itself.
    void theLoopbackAloneIsNoNetworkAProxyOnItIs()
    {
        bool loopbackUp = false;
        for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
            loopbackUp |= (i.flags() & QNetworkInterface::IsLoopBack) && (i.flags() & QNetworkInterface::IsUp);
        QVERIFY(loopbackUp);
        // No proxy either (the namespace has no way out anyway).
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        Boxes boxes;
        Reachability r;
        QSignalSpy opened(&r, &Reachability::networkSessionOpened);
        r.start();
        QTest::qWait(300);
        QCOMPARE(opened.count(), 0);
        QVERIFY(!Reachability::isConnectedToNetwork());
        // One box for each attempt (the bearer layer may report its configurations once more).
        QVERIFY(!boxes.shown.isEmpty());
        QCOMPARE(boxes.texts().removeDuplicates(), boxes.shown.size() - 1);
        QCOMPARE(boxes.last().kind, MessageBox::Shown::Error);
        QCOMPARE(boxes.last().text,
                 QString::fromUtf8("Nie można się połączyć z Internetem. Brak dostępnych punktów dostępu."));
        QCOMPARE(boxes.last().title, QString::fromUtf8("Błąd"));

        // A proxy on the loopback is a way out.
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", 18999));
        boxes.shown.clear();
        Reachability viaProxy;
        QSignalSpy proxyOpened(&viaProxy, &Reachability::networkSessionOpened);
        viaProxy.start();
        QVERIFY(proxyOpened.wait(5000));
        QVERIFY(Reachability::isConnectedToNetwork());
        QVERIFY(boxes.shown.isEmpty());
        TestEnv::noProxy();
    }
};

int main(int argc, char** argv)
{
    isolated = enterPrivateNamespaces();
    QApplication application(argc, argv);
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
