#include <QPointer>
#include <QtTest>
#include <QtWidgets>

#include "logic/news/article.h"
#include "logic/news/briefcasestore.h"
#include "screens/article/articlewidget.h"
#include "screens/articlelist/articlelistmodel.h"
#include "screens/briefcase/briefcasewidget.h"
#include "screens/widgets/listview.h"
#include "screens/shell/mainwidget.h"
#include "logic/base/constants.h"
#include "logic/base/file.h"
#include "tests/support/boxes.h"
#include "tests/support/testenv.h"

// The briefcase screen inside the running controller: what it lists and when it lists it again.
class TestTeczka : public QObject
{
    Q_OBJECT
private:
    MainWidget* main = nullptr;
    QList<QUrl> opened;

    static SavedArticles* store() { return SavedArticles::getSingleton(); }

    static void save(int xx)
    {
        Article a;
        a.xx = xx;
        a.title = QString::fromUtf8("Zapisany %1").arg(xx);
        a.lead = "Lead";
        QVERIFY(store()->addArticle(a));
    }

    // The article ids of the rows, top to bottom; 0 for the "no items" row.
    static QVector<int> rows(TeczkaWidget* screen)
    {
        QVector<int> ids;
        for (int r = 0; r < screen->model->rowCount(); ++r) {
            const QModelIndex index = screen->model->index(r, 0);
            if (index.data(ItemTypeRole).toInt() == ItemTypeNoItems)
                ids << 0;
            else if (Article* a = screen->model->getArticle(r))
                ids << a->xx;
        }
        return ids;
    }

    void start()
    {
        main = new MainWidget(nullptr, nullptr);
        main->resize(480, 854);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
    }

    // The briefcase's own files: what the screen must leave as they were.
    static QMap<QString, QByteArray> briefcaseFiles()
    {
        QMap<QString, QByteArray> files = TestEnv::dataSnapshot();
        for (const QString& name : files.keys()) {
            if (!name.startsWith("rssTeczka") && !name.startsWith("teczka"))
                files.remove(name);
        }
        return files;
    }

    TeczkaWidget* openTeczka()
    {
        main->teczkaSelected();
        (void)QTest::qWaitFor([this]() { return main->isEnabled(); });
        return main->findChild<TeczkaWidget*>();
    }

public slots:
    void urlOpened(const QUrl& url) { opened << url; }

private slots:
    void initTestCase() { TestEnv::prepare(); }

    void init()
    {
        // Requests let go while offline end quietly, never with a second error.
        QTest::failOnWarning(QRegularExpression("must only be called once"));
        TestEnv::clearData();
        start();
    }

    void cleanup()
    {
        delete main;
        main = nullptr;
    }

    void anEmptyBriefcaseSaysSo()
    {
        TeczkaWidget* screen = openTeczka();
        QVERIFY(screen);
        QCOMPARE(rows(screen), QVector<int>{0});
        QModelIndex empty;
        for (int r = 0; r < screen->model->rowCount(); ++r) {
            if (screen->model->index(r, 0).data(ItemTypeRole).toInt() == ItemTypeNoItems)
                empty = screen->model->index(r, 0);
        }
        QCOMPARE(empty.data(ItemMainTextRole).toString(), QString::fromUtf8("Brak elementów w teczce"));
        QVERIFY(empty.data(ItemHeightRole).toInt() > 0);
        // Its text is no address: a tap opens nothing.
        QDesktopServices::setUrlHandler(QString(), this, "urlOpened");
        screen->articleSelectedFromList(empty);
        QDesktopServices::unsetUrlHandler(QString());
        QVERIFY(opened.isEmpty());
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
        save(1);
        save(2);
        delete main;
        const QString path = File::createPathToResource("rssTeczka");
        if (unreadable) {
            QVERIFY(QFile::setPermissions(path, {}));
            QVERIFY(QFile::setPermissions(path + ".old", {}));
        }
        const QMap<QString, QByteArray> before = briefcaseFiles();
        {
            TestEnv::ObeyFileModes modes;
            start();
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
        }
        QCOMPARE(briefcaseFiles(), before);
    }

    void theListIsReadAgainWhenShown()
    {
        save(1);
        TeczkaWidget* screen = openTeczka();
        QCOMPARE(rows(screen), QVector<int>{1});
        // Saved while the screen is hidden: there when it shows again.
        screen->hide();
        save(2);
        screen->show();
        QCOMPARE(rows(screen), (QVector<int>{2, 1}));
        // Read on the article screen (the store only saves the mark): shown read on return.
        auto wasRead = [screen](int xx) {
            for (int r = 0; r < screen->model->rowCount(); ++r) {
                if (Article* a = screen->model->getArticle(r); a && a->xx == xx)
                    return screen->model->index(r, 0).data(ItemWasReadRole).toBool();
            }
            return false;
        };
        QVERIFY(!wasRead(1));
        screen->hide();
        Article one;
        one.xx = 1;
        store()->markArticleAsRead(one);
        screen->show();
        QVERIFY(wasRead(1));
        QVERIFY(!wasRead(2));
    }

    void removingAnArticleAndGoingBackListsItNoMore()
    {
        Boxes boxes;
        save(1);
        save(2);
        TeczkaWidget* screen = openTeczka();
        QCOMPARE(rows(screen), (QVector<int>{2, 1}));
        // Tap the first article: it opens with the remove button.
        int row = 0;
        while (!screen->model->getArticle(row))
            ++row;
        screen->articleSelectedFromList(screen->model->index(row, 0));
        QTRY_VERIFY(main->isEnabled());
        ArticleWidget* article = main->findChild<ArticleWidget*>();
        QVERIFY(article);
        QPushButton* remove = article->findChild<QPushButton*>("teczkaRemoveButton");
        QVERIFY(remove && remove->isVisible());
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(boxes.last().text, QString::fromUtf8("Artykuł został usunięty z teczki."));

        emit article->backClicked();
        QTRY_VERIFY(screen->isVisible() && main->isEnabled());
        QCOMPARE(rows(screen), QVector<int>{1});
    }
};

QTEST_MAIN(TestTeczka)
#include "tst_teczka.moc"
