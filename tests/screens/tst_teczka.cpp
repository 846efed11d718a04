#include "logic/news/briefcasestore.h"
#include "logic/news/settings.h"
#include "logic/base/file.h"
#include "screens/article/articlewidget.h"
#include "screens/articlelist/articlelistmodel.h"
#include "screens/articlelist/articleslistwidget.h"
#include "screens/briefcase/briefcasewidget.h"
#include "tests/support/screenfixtures.h"

// The briefcase screen in the running controller: what it lists and when; and a reader's way on the
// sample service: keep an article, find it after a restart with the service gone, remove it.
class TestTeczka : public QObject
{
    Q_OBJECT
private:
    QScopedPointer<MainWidget> main;

    static SavedArticles* store() { return SavedArticles::getSingleton(); }

    static void save(int xx)
    {
        Article a;
        a.xx = xx;
        a.title = QString::fromUtf8("Zapisany %1").arg(xx);
        a.lead = "Lead";
        QVERIFY(store()->addArticle(a));
    }

    // The article ids of the rows, top to bottom, negative when read; 0 for the "no items" row.
    static QVector<int> rows(TeczkaWidget* screen)
    {
        QVector<int> ids;
        for (int r = 0; r < screen->model->rowCount(); ++r) {
            const QModelIndex row = screen->model->index(r, 0);
            if (row.data(ItemTypeRole).toInt() == ItemTypeNoItems)
                ids << 0;
            else if (Article* a = screen->model->getArticle(r))
                ids << (row.data(ItemWasReadRole).toBool() ? -a->xx : a->xx);
        }
        return ids;
    }

    // The briefcase's own files: what the screen must leave as they were.
    static QMap<QString, QByteArray> briefcaseFiles()
    {
        QMap<QString, QByteArray> files = TestEnv::dataSnapshot();
        for (const QString& name : files.keys())
            if (!name.startsWith("rssTeczka") && !name.startsWith("teczka"))
                files.remove(name);
        return files;
    }

    TeczkaWidget* openTeczka()
    {
        main->teczkaSelected();
        return Screens::settled<TeczkaWidget>(main.data());
    }

private slots:
    void initTestCase() { TestEnv::prepare(); }
    void init() { TestEnv::clearData(); }
    void cleanup() { main.reset(); }

    void keepAnArticleAndReadItOffline()
    {
        QString title;
        {
            QScopedPointer<SampleServer> server(Screens::startSampleService(nullptr));
            QVERIFY(server);
            main.reset(Screens::startMain());
            ArticlesListWidget* list = Screens::onTop<ArticlesListWidget>(main.data());
            QVERIFY(list);
            QTest::mouseClick(list->findChild<QPushButton*>("refreshButton"), Qt::LeftButton);
            QAbstractItemModel* rows = Screens::rows(list);
            // The network session brings the banners: the first article stands under the top one.
            QTRY_VERIFY_WITH_TIMEOUT(rows->index(0, 0).data(ItemTypeRole).toInt() == ItemTypeBanner, 10000);
            QTRY_VERIFY_WITH_TIMEOUT(rows->index(1, 0).data(ItemTypeRole).toInt() == ItemTypeNormal, 10000);
            QTRY_VERIFY_WITH_TIMEOUT(!rows->index(1, 0).data(ItemImageRole).value<QImage>().isNull(), 10000);
            title = rows->index(1, 0).data(ItemMainTextRole).toString().section('\n', 0, 0).trimmed();

            Finger(list).tap(Screens::rowCentre(list, 1));
            ArticleWidget* article = Screens::settled<ArticleWidget>(main.data());
            QVERIFY(article);
            QVERIFY(article->findChild<QLabel*>("titleLabel")->text().startsWith(title));
            QTest::mouseClick(article->findChild<QPushButton*>("teczkaAddButton"), Qt::LeftButton);
            QCOMPARE(store()->getArticles().size(), 1);
            QVERIFY(article->findChild<QPushButton*>("teczkaRemoveButton")->isVisible());
            QTRY_VERIFY(File::fileExistInResources(store()->getArticles().first()->thumbnailFileName()));
            main.reset();
        }

        TestEnv::noProxy(); // the service is gone: nothing answers on the proxy
        main.reset(Screens::startMain());
        ArticlesListWidget* list = Screens::onTop<ArticlesListWidget>(main.data());
        QTest::mouseClick(list->findChild<QPushButton*>("teczkaButton"), Qt::LeftButton);
        TeczkaWidget* teczka = Screens::settled<TeczkaWidget>(main.data());
        QVERIFY(teczka);
        const QModelIndex first = Screens::rows(teczka)->index(0, 0);
        QCOMPARE(first.data(ItemTypeRole).toInt(), int(ItemTypeNormal));
        QVERIFY(first.data(ItemMainTextRole).toString().startsWith(title));
        const QImage thumbnail = first.data(ItemImageRole).value<QImage>();
        QVERIFY(!thumbnail.isNull());
        QVERIFY(thumbnail != QImage(":/THUMBNAIL"));

        // Opened from the briefcase, the article offers to remove it; back, the briefcase is empty.
        Finger(teczka).tap(Screens::rowCentre(teczka, 0));
        ArticleWidget* article = Screens::settled<ArticleWidget>(main.data());
        QVERIFY(article);
        QPushButton* remove = article->findChild<QPushButton*>("teczkaRemoveButton");
        QVERIFY(remove->isVisible());
        Boxes boxes;
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList{QString::fromUtf8("Artykuł został usunięty z teczki.")});
        emit article->backClicked();
        QTRY_VERIFY(teczka->isVisible() && main->isEnabled());
        QCOMPARE(rows(teczka), QVector<int>{0});
        const QModelIndex empty = teczka->model->index(0, 0);
        QCOMPARE(empty.data(ItemMainTextRole).toString(), QString::fromUtf8("Brak elementów w teczce"));
        QVERIFY(empty.data(ItemHeightRole).toInt() > 0);
        // Its text is no address: a tap opens nothing.
        Browser browser;
        browser.catchSchemes(true, {QString()});
        teczka->articleSelectedFromList(empty);
        browser.catchSchemes(false, {QString()});
        QVERIFY(browser.opened.isEmpty());
    }

    // "Ręcznie" all day: the opening of the network brings the banners and the report, no feed.
    void aManualRefreshModeDownloadsNoFeedWhenTheNetworkOpens()
    {
        QVERIFY(Settings(nullptr).setRefreshModes(0, 0));
        QScopedPointer<SampleServer> server(Screens::startSampleService(nullptr));
        QVERIFY(server);
        main.reset(Screens::startMain());
        ArticlesListWidget* list = Screens::onTop<ArticlesListWidget>(main.data());
        QVERIFY(list);
        QAbstractItemModel* rows = Screens::rows(list);
        QTRY_VERIFY_WITH_TIMEOUT(rows->index(0, 0).data(ItemTypeRole).toInt() == ItemTypeBanner, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(Screens::paths(*server).count("/aap.do"), 1, 10000);
        QTest::qWait(500);
        QVERIFY(Screens::paths(*server).filter(QRegularExpression("^/pub/")).isEmpty());
        TestEnv::noProxy();
    }

    // Opened and closed, the screen saves nothing; a briefcase that could not be read says so,
    // refuses an addition and stays on disk as it was.
    void theScreenLeavesTheFilesAsTheyWere_data()
    {
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("readable") << false;
        QTest::newRow("unreadable") << true;
    }
    void theScreenLeavesTheFilesAsTheyWere()
    {
        QFETCH(bool, unreadable);
        main.reset(Screens::startMain());
        save(1);
        save(2);
        main.reset();
        const QString path = File::createPathToResource("rssTeczka");
        if (unreadable) {
            QVERIFY(QFile::setPermissions(path, {}));
            QVERIFY(QFile::setPermissions(path + ".old", {}));
        }
        const QMap<QString, QByteArray> before = briefcaseFiles();
        {
            TestEnv::ObeyFileModes modes;
            main.reset(Screens::startMain());
            TeczkaWidget* screen = openTeczka();
            QCOMPARE(rows(screen), (unreadable ? QVector<int>{0} : QVector<int>{2, 1}));
            QCOMPARE(screen->findChild<QLabel*>("infoLabel")->text(),
                     unreadable ? QString::fromUtf8("Nie można odczytać teczki. Zapisane artykuły pozostają na dysku.")
                                : QString("<b>Teczka</b>"));
            if (unreadable) {
                Boxes boxes;
                Article article;
                article.xx = 3;
                ArticleWidget adding(article, nullptr);
                adding.findChild<QPushButton*>("teczkaAddButton")->click();
                QCOMPARE(boxes.texts(), QStringList{SavedArticles::unreadableText()});
                QVERIFY(!SavedArticles::isArticleInSavedArticles(article));
            }
            QPointer<TeczkaWidget> popped(screen); // deleted once it has slid away
            emit screen->backClicked();
            QTRY_VERIFY((!popped || !popped->isVisible()) && main->isEnabled());
            main.reset();
        }
        QCOMPARE(briefcaseFiles(), before);
    }

    // Saved or read while the screen is hidden (the store only saves the mark): there when it shows again.
    void theListIsReadAgainWhenShown()
    {
        main.reset(Screens::startMain());
        save(1);
        TeczkaWidget* screen = openTeczka();
        QCOMPARE(rows(screen), QVector<int>{1});
        screen->hide();
        save(2);
        Article one;
        one.xx = 1;
        store()->markArticleAsRead(one);
        screen->show();
        QCOMPARE(rows(screen), (QVector<int>{2, -1}));
    }
};

QTEST_MAIN(TestTeczka)
#include "tst_teczka.moc"
