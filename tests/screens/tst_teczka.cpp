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
#include "tests/support/boxes.h"
#include "tests/support/testenv.h"

// The briefcase screen inside the running controller: what it lists and when it lists it again.
class TestTeczka : public QObject
{
    Q_OBJECT
private:
    MainWidget* main = nullptr;

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

    TeczkaWidget* openTeczka()
    {
        main->teczkaSelected();
        QTest::qWaitFor([this]() { return main->isEnabled(); });
        return main->findChild<TeczkaWidget*>();
    }

private slots:
    void initTestCase() { TestEnv::prepare(); }

    void init()
    {
        TestEnv::clearData();
        main = new MainWidget(nullptr, nullptr);
        main->resize(480, 854);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
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
