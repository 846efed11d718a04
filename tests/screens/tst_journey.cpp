#include <QtTest>
#include <QtWidgets>
#include <QNetworkProxy>

#include "logic/news/article.h"
#include "logic/news/briefcasestore.h"
#include "screens/article/articlewidget.h"
#include "screens/articlelist/articleslistwidget.h"
#include "screens/briefcase/briefcasewidget.h"
#include "screens/widgets/listview.h"
#include "screens/shell/mainwidget.h"
#include "logic/news/settings.h"
#include "logic/base/constants.h"
#include "logic/base/file.h"
#include "sampleserver/sampleserver.h"
#include "sampleserver/sampleservices.h"
#include "tests/support/finger.h"
#include "tests/support/testenv.h"

// A reader's way through the application on the bundled sample service: open an article,
// keep it in the briefcase, and find it there after a restart with the service gone.
class TestJourney : public QObject
{
    Q_OBJECT
private:
    template <class Screen>
    static Screen* onTop(MainWidget& main)
    {
        for (Screen* w : main.findChildren<Screen*>())
            if (w->isVisible() && w->pos() == QPoint(0, 0))
                return w;
        return nullptr;
    }

    static QPoint row(QWidget* screen, int r)
    {
        ListView* list = screen->findChild<ListView*>("listView");
        return list->viewport()->mapTo(screen, list->visualRect(list->model()->index(r, 0)).center());
    }

    static MainWidget* start()
    {
        MainWidget* main = new MainWidget(nullptr, nullptr);
        main->resize(480, 854);
        main->show();
        return main;
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        TestEnv::clearData();
    }

    void keepAnArticleAndReadItOffline()
    {
        QString title;
        {
            SampleServer server;
            QVERIFY(server.start());
            server.setContentRoot(KURENDAL_SAMPLE_CONTENT);
            installAdService(server, KURENDAL_SAMPLE_CONTENT);
            installAnalyticsService(server);
            QNetworkProxy::setApplicationProxy(
                QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", server.serverPort()));

            QScopedPointer<MainWidget> main(start());
            QVERIFY(QTest::qWaitForWindowExposed(main.data()));
            ArticlesListWidget* list = onTop<ArticlesListWidget>(*main);
            QVERIFY(list);
            QTest::mouseClick(list->findChild<QPushButton*>("refreshButton"), Qt::LeftButton);
            ListView* rows = list->findChild<ListView*>("listView");
            // The network session brings the banners: the first article stands under the top one.
            QTRY_VERIFY_WITH_TIMEOUT(rows->model()->index(0, 0).data(ItemTypeRole).toInt() == ItemTypeBanner, 10000);
            QTRY_VERIFY_WITH_TIMEOUT(rows->model()->index(1, 0).data(ItemTypeRole).toInt() == ItemTypeNormal, 10000);
            QTRY_VERIFY_WITH_TIMEOUT(!rows->model()->index(1, 0).data(ItemImageRole).value<QImage>().isNull(), 10000);
            title = rows->model()->index(1, 0).data(ItemMainTextRole).toString().section('\n', 0, 0).trimmed();
            int reports = 0;
            for (const SampleServer::Request& r : server.requests())
                reports += r.path == "/aap.do" ? 1 : 0;
            QCOMPARE(reports, 1);

            Finger(list).tap(row(list, 1));
            QTRY_VERIFY(main->isEnabled());
            ArticleWidget* article = onTop<ArticleWidget>(*main);
            QVERIFY(article);
            QVERIFY(article->findChild<QLabel*>("titleLabel")->text().startsWith(title));
            QTest::mouseClick(article->findChild<QPushButton*>("teczkaAddButton"), Qt::LeftButton);
            QCOMPARE(SavedArticles::getSingleton()->getArticles().size(), 1);
            QVERIFY(article->findChild<QPushButton*>("teczkaRemoveButton")->isVisible());
            const Article* kept = SavedArticles::getSingleton()->getArticles().first();
            QTRY_VERIFY(File::fileExistInResources(kept->thumbnailFileName()));
        }

        // The service is gone: nothing answers on the proxy any more.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 deadPort = closed.serverPort();
        closed.close();
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", deadPort));

        QScopedPointer<MainWidget> main(start());
        QVERIFY(QTest::qWaitForWindowExposed(main.data()));
        ArticlesListWidget* list = onTop<ArticlesListWidget>(*main);
        QTest::mouseClick(list->findChild<QPushButton*>("teczkaButton"), Qt::LeftButton);
        QTRY_VERIFY(main->isEnabled());
        TeczkaWidget* teczka = onTop<TeczkaWidget>(*main);
        QVERIFY(teczka);
        const QModelIndex first = teczka->findChild<ListView*>("listView")->model()->index(0, 0);
        QCOMPARE(first.data(ItemTypeRole).toInt(), int(ItemTypeNormal));
        QVERIFY(first.data(ItemMainTextRole).toString().startsWith(title));
        const QImage thumbnail = first.data(ItemImageRole).value<QImage>();
        QVERIFY(!thumbnail.isNull());
        QVERIFY(thumbnail != QImage(":/THUMBNAIL"));

        // Opened from the briefcase, the article offers to remove it.
        Finger(teczka).tap(row(teczka, 0));
        QTRY_VERIFY(main->isEnabled());
        ArticleWidget* article = onTop<ArticleWidget>(*main);
        QVERIFY(article);
        QVERIFY(article->findChild<QPushButton*>("teczkaRemoveButton")->isVisible());
        TestEnv::noProxy();
    }

    // "Ręcznie" all day: the opening of the network brings the banners and the report, no feed.
    void aManualRefreshModeDownloadsNoFeedWhenTheNetworkOpens()
    {
        TestEnv::clearData();
        {
            Settings manual(nullptr);
            QVERIFY(manual.setRefreshModes(0, 0));
        }
        SampleServer server;
        QVERIFY(server.start());
        server.setContentRoot(KURENDAL_SAMPLE_CONTENT);
        installAdService(server, KURENDAL_SAMPLE_CONTENT);
        installAnalyticsService(server);
        TestEnv::proxyThrough(server);
        auto count = [&server](auto matches) {
            int n = 0;
            for (const SampleServer::Request& r : server.requests())
                n += matches(r.path) ? 1 : 0;
            return n;
        };

        QScopedPointer<MainWidget> main(start());
        QVERIFY(QTest::qWaitForWindowExposed(main.data()));
        ArticlesListWidget* list = onTop<ArticlesListWidget>(*main);
        QVERIFY(list);
        ListView* rows = list->findChild<ListView*>("listView");
        QTRY_VERIFY_WITH_TIMEOUT(rows->model()->index(0, 0).data(ItemTypeRole).toInt() == ItemTypeBanner, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(count([](const QString& p) { return p == "/aap.do"; }), 1, 10000);
        QTest::qWait(500);
        QCOMPARE(count([](const QString& p) { return p.startsWith("/pub/"); }), 0);
        TestEnv::noProxy();
    }
};

QTEST_MAIN(TestJourney)
#include "tst_journey.moc"
