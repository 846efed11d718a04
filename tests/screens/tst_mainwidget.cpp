#include "screens/articlelist/articleslistwidget.h"
#include "screens/categories/categorylistwidget.h"
#include "screens/briefcase/briefcasewidget.h"
#include "screens/search/searchwidget.h"
#include "screens/widgets/textscale.h"
#include "tests/support/probescreen.h"
#include "tests/support/screenfixtures.h"

class TestMainWidget : public QObject
{
    Q_OBJECT
private:
    MainWidget* main = nullptr;

    static const int slide = 250;

    void push(BaseWidget* w, bool animated)
    {
        QMetaObject::invokeMethod(main, "pushWidget", Q_ARG(BaseWidget*, w), Q_ARG(bool, animated));
    }

private slots:
    void initTestCase() { TestEnv::prepare(); }

    void init()
    {
        main = Screens::startMain();
    }

    void cleanup()
    {
        delete main;
        main = nullptr;
    }

    // A walk by keys alone: real key events to the widget that has the keys.
    void keyboardCommands()
    {
        Boxes boxes;
        auto key = [this](Qt::Key code, Qt::KeyboardModifiers mods = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : main, code, mods);
        };
        // The program opens on the first category's list: Escape goes back, then asks.
        key(Qt::Key_Escape);
        QTest::qWait(2 * slide);
        QVERIFY(boxes.shown.isEmpty());
        key(Qt::Key_Escape);
        boxes.reject();
        key(Qt::Key_Q, Qt::ControlModifier);
        boxes.reject();
        QCOMPARE(boxes.texts(), QStringList({"Czy na pewno chcesz zamknąć aplikację?", "Czy na pewno chcesz zamknąć aplikację?"}));
        key(Qt::Key_F1);
        QVERIFY(boxes.last().text.contains("Ctrl+B: teczka"));

        key(Qt::Key_B, Qt::ControlModifier);
        QTRY_VERIFY(main->findChild<TeczkaWidget*>() && main->isEnabled());
        // A text field keeps its keys.
        QLineEdit* field = new QLineEdit(main->findChild<TeczkaWidget*>());
        field->show();
        QApplication::setActiveWindow(main);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Escape);
        QTest::qWait(2 * slide);
        QVERIFY(main->findChild<TeczkaWidget*>());
        delete field;
        key(Qt::Key_Escape);
        QTRY_VERIFY(!main->findChild<TeczkaWidget*>());

        // Arrows move in the list of the screen showing.
        QListView* categories = main->findChild<CategoryListWidget*>()->findChild<QListView*>("listView");
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        QVERIFY(categories->currentIndex().row() > 0);

        key(Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(TextScale::percent(), 110);
        key(Qt::Key_Minus, Qt::ControlModifier);
        key(Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(TextScale::percent(), 90);
        key(Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(TextScale::percent(), 100);
        QCOMPARE(boxes.shown.size(), 3);

        // Ctrl+F opens the search with the keys in its field.
        key(Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(main->findChild<SearchWidget*>() && main->isEnabled());
        QLineEdit* words = main->findChild<SearchWidget*>()->findChild<QLineEdit*>();
        QTRY_COMPARE(QApplication::focusWidget(), words);
    }

    void pushSlidesInBlockingInputAndBackSlidesOut()
    {
        ProbeScreen* first = new ProbeScreen;
        push(first, false);
        QCOMPARE(first->shown, 1);
        QCOMPARE(first->geometry(), main->rect());

        QPointer<ProbeScreen> second = new ProbeScreen;
        push(second, true);
        QVERIFY(!main->isEnabled());
        QCOMPARE(second->parentWidget(), main);
        QVERIFY(second->isVisible());
        QCOMPARE(second->shown, 0);
        QTest::qWait(slide / 2);
        QVERIFY(second->x() > 0 && second->x() < main->width());
        QTest::qWait(slide);
        QVERIFY(main->isEnabled());
        QCOMPARE(second->shown, 1);
        QCOMPARE(second->pos(), QPoint(0, 0));
        QCOMPARE(first->hidden, 1);
        QVERIFY(!first->isVisible());
        // A resize keeps the top screen filling the window.
        main->resize(854, 480);
        QCOMPARE(second->geometry(), QRect(0, 0, 854, 480));

        // Back slides the top screen out and deletes it.
        emit second->backClicked();
        QVERIFY(!main->isEnabled());
        QVERIFY(first->isVisible());
        QTest::qWait(slide + 150);
        QVERIFY(main->isEnabled());
        QVERIFY(second.isNull());
        QCOMPARE(first->shown, 2);
        QCOMPARE(first->geometry(), main->rect());
        // Without a slide, the screen below is told at once.
        push(new ProbeScreen, false);
        QCOMPARE(first->hidden, 2);
    }

    void backOnTheRootDoesNothing()
    {
        CategoryListWidget* root = main->findChild<CategoryListWidget*>();
        QVERIFY(root);
        // The program opens on the first category's list: back to the root, then back once more.
        QPointer<ArticlesListWidget> list = Screens::onTop<ArticlesListWidget>(main);
        QVERIFY(list);
        emit list->backClicked();
        QTRY_VERIFY(list.isNull());
        QVERIFY(root->isVisible());
        const int screens = main->findChildren<BaseWidget*>(QString(), Qt::FindDirectChildrenOnly).size();
        emit root->backClicked();
        QTest::qWait(slide + 100);
        QVERIFY(main->isEnabled());
        QVERIFY(root->isVisible());
        QCOMPARE(root->geometry(), main->rect());
        QCOMPARE(main->findChildren<BaseWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), screens);
    }

    void popToRootFromThreeDeep()
    {
        CategoryListWidget* root = main->findChild<CategoryListWidget*>();
        QPointer<ProbeScreen> a = new ProbeScreen, b = new ProbeScreen, c = new ProbeScreen;
        push(a, false);
        push(b, false);
        push(c, false);
        emit c->popToRoot();
        QVERIFY(!b->isVisible());
        QTest::qWait(10);
        QVERIFY(a.isNull());
        QVERIFY(b.isNull());
        QVERIFY(!c.isNull());
        QVERIFY(root->isVisible());
        QTest::qWait(slide + 150);
        QVERIFY(c.isNull());
        QVERIFY(main->isEnabled());
        QCOMPARE(root->geometry(), main->rect());
    }

    void orientationDecidesWhetherToAnimate()
    {
        main->resize(854, 480);
        QTest::qWait(10);
        // A portrait-only screen pushed while landscape appears at once, without a slide.
        ProbeScreen* portrait = new ProbeScreen(MainWidget::OrientationPortrait);
        push(portrait, true);
        QCOMPARE(portrait->shown, 1);
        QVERIFY(main->isEnabled());
        QCOMPARE(portrait->geometry(), QRect(0, 0, 854, 480));

        // A square window counts as portrait.
        main->resize(480, 480);
        QTest::qWait(10);
        ProbeScreen* again = new ProbeScreen(MainWidget::OrientationPortrait);
        push(again, true);
        QCOMPARE(again->shown, 0);
        QVERIFY(!main->isEnabled());
        QTest::qWait(slide + 100);
        QCOMPARE(again->shown, 1);

        // Back onto a portrait-only screen while landscape: no slide, but back works.
        main->resize(854, 480);
        QTest::qWait(10);
        QPointer<ProbeScreen> top = new ProbeScreen;
        push(top, false);
        const int shownBefore = again->shown;
        emit top->backClicked();
        QTest::qWait(10);
        QVERIFY(main->isEnabled());
        QCOMPARE(again->shown, shownBefore + 1);
        QVERIFY(again->isVisible());
        QTRY_VERIFY(top.isNull());
    }

    // Last: "Tak" ends the event loops of this process.
    void exitAsksAndOnlyTakCloses()
    {
        Boxes boxes;
        main->exitClicked();
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.last().kind, MessageBox::Shown::Question);
        QCOMPARE(boxes.last().text, QString::fromUtf8("Czy na pewno chcesz zamknąć aplikację?"));
        QCOMPARE(boxes.last().title, QString());
        QCOMPARE(boxes.last().listener, static_cast<MsgBoxListener*>(main));
        boxes.reject(); // "Nie"
        QTest::qWait(50);
        QVERIFY(main->isVisible());

        main->exitClicked();
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&boxes]() { boxes.accept(); });
        QTimer::singleShot(3000, &loop, [&loop]() { loop.exit(7); });
        QCOMPARE(loop.exec(), 0);
    }
};

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
