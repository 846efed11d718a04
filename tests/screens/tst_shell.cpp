#include <QtTest>
#include <QLabel>
#include <QPushButton>
#include <QQuickItem>

#include "screens/shell/mainwidget.h"
#include "screens/shell/messagebox.h"
#include "screens/shell/msgboxlistener.h"
#include "screens/shell/splashwidget.h"
#include "screens/shell/messageboxbridge.h"
#include "platform/declarativeview.h"
#include "tests/support/testenv.h"

// Records answers; may ask a follow-up question from inside its answer.
class Asker : public MsgBoxListener
{
public:
    int accepted = 0;
    int rejected = 0;
    Asker* followUp = nullptr;
    void onMsgBoxAccepted() override
    {
        ++accepted;
        if (followUp)
            MessageBox::showQuestion("Na pewno?", "Pytanie", followUp);
    }
    void onMsgBoxRejected() override { ++rejected; }
};

class TestShell : public QObject
{
    Q_OBJECT
private:
    QDeclarativeView* view = nullptr;

    QList<QWidget*> openDialogs() const
    {
        QList<QWidget*> open;
        for (QWidget* w : view->findChildren<QWidget*>("queryDialog")) {
            if (w->isVisible())
                open.append(w);
        }
        return open;
    }

    void press(QWidget* dialog, const char* button)
    {
        QPushButton* b = dialog->findChild<QPushButton*>(button);
        QVERIFY(b && b->isVisible());
        QTest::mouseClick(b, Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        registerQmlElements();
        view = new QDeclarativeView();
        view->setResizeMode(QDeclarativeView::SizeRootObjectToView);
        view->setSource(QUrl("qrc:/splash.qml"));
        QVERIFY(view->rootObject());
        view->resize(480, 854);
        view->show();
        viewDecl = view;
    }

    void cleanupTestCase()
    {
        delete view;
        viewDecl = nullptr;
    }

    void splashHandsOverToTheApplicationPage()
    {
        QPointer<SplashWidget> splash = view->findChild<SplashWidget*>();
        QVERIFY(splash);
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->geometry(), QRect(0, 0, 480, 854));

        // Nothing can be asked before the application page exists.
        QVERIFY(!mbs);
        MessageBox::showError("Błąd", "Tytuł");
        QVERIFY(openDialogs().isEmpty());
        QVERIFY(!MainWidget::getInstance());

        QTest::qWait(2500);
        QVERIFY(splash && splash->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(MainWidget::getInstance() != nullptr, 2000);
        QTRY_VERIFY(splash.isNull());
        QCOMPARE(view->source(), QUrl("qrc:/main.qml"));
        QVERIFY(mbs);
        QCOMPARE(rootObject, static_cast<QObject*>(view->rootObject()));
        QVERIFY(MainWidget::getInstance()->isVisible());
        QCOMPARE(MainWidget::getInstance()->geometry(), QRect(0, 0, 480, 854));
    }

    void theHostedWidgetFillsTheItem()
    {
        view->rootObject()->setSize(QSizeF(854.9, 480.0));
        QCOMPARE(MainWidget::getInstance()->size(), QSize(854, 480));
        // The root follows the view: turned sideways and back.
        view->resize(854, 480);
        QTRY_COMPARE(MainWidget::getInstance()->size(), QSize(854, 480));
        view->resize(480, 854);
        QTRY_COMPARE(MainWidget::getInstance()->size(), QSize(480, 854));
    }

    void answersReachTheListenerThatAsked()
    {
        Asker asker;
        QVERIFY(!MessageBox::showQuestion("Czy?", "Tytuł", &asker));
        QList<QWidget*> dialogs = openDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs.first()->findChild<QPushButton*>("acceptButton")->text(), QString("Tak"));
        QCOMPARE(dialogs.first()->findChild<QPushButton*>("rejectButton")->text(), QString("Nie"));
        press(dialogs.first(), "rejectButton");
        QCOMPARE(asker.rejected, 1);
        QCOMPARE(asker.accepted, 0);
        QVERIFY(openDialogs().isEmpty());

        MessageBox::showMessageBoxBackAgain("Brak sieci", "Błąd", &asker);
        dialogs = openDialogs();
        QCOMPARE(dialogs.first()->findChild<QPushButton*>("acceptButton")->text(), QString::fromUtf8("Powtórz"));
        press(dialogs.first(), "acceptButton");
        QCOMPARE(asker.accepted, 1);

        // Return gives a yes/no question its safe "Nie" and a failed download its retry; Escape says no.
        const struct { bool retry; Qt::Key key; bool accepts; } keys[] = {
            {false, Qt::Key_Return, false}, {false, Qt::Key_Escape, false},
            {true, Qt::Key_Return, true}, {true, Qt::Key_Escape, false}};
        for (const auto& k : keys) {
            Asker keyed;
            if (k.retry)
                MessageBox::showMessageBoxBackAgain("Brak sieci", "Błąd", &keyed);
            else
                MessageBox::showQuestion("Usunąć najstarszy?", "Pytanie", &keyed);
            QWidget* focused = openDialogs().first()->focusWidget();
            QVERIFY(focused);
            QTest::keyClick(focused, k.key);
            QCOMPARE(keyed.accepted, k.accepts ? 1 : 0);
            QCOMPARE(keyed.rejected, k.accepts ? 0 : 1);
            QVERIFY(openDialogs().isEmpty());
        }
    }

    void aQuestionAskedFromAnAnswerReachesTheNewListener()
    {
        Asker first, second;
        first.followUp = &second;
        MessageBox::showQuestion("Pierwsze?", "", &first);
        press(openDialogs().first(), "acceptButton");
        QCOMPARE(first.accepted, 1);
        // The follow-up is open in the second dialog; the first has closed.
        const QList<QWidget*> dialogs = openDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs.first()->findChild<QLabel*>("messageLabel")->text(), QString("Na pewno?"));
        press(dialogs.first(), "acceptButton");
        QCOMPARE(second.accepted, 1);
        QCOMPARE(first.accepted, 1);
        QVERIFY(openDialogs().isEmpty());
    }

    void anInformationBoxForgetsTheEarlierListener()
    {
        Asker asker;
        MessageBox::showQuestion("Czy?", "", &asker);
        press(openDialogs().first(), "acceptButton");
        QCOMPARE(asker.accepted, 1);
        MessageBox::showInformation("Zapisano", "Teczka");
        QWidget* dialog = openDialogs().first();
        QVERIFY(!dialog->findChild<QPushButton*>("rejectButton")->isVisible());
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        QCOMPARE(asker.accepted, 1);
        QVERIFY(openDialogs().isEmpty());
    }

    void exitAsksFirstAndNieKeepsRunning()
    {
        MainWidget::getInstance()->exitClicked();
        QWidget* dialog = openDialogs().first();
        QCOMPARE(dialog->findChild<QLabel*>("messageLabel")->text(),
                 QString::fromUtf8("Czy na pewno chcesz zamknąć aplikację?"));
        press(dialog, "rejectButton");
        QVERIFY(MainWidget::getInstance());
        QVERIFY(openDialogs().isEmpty());
    }

    void theWindowStateReachesTheController()
    {
        MainWidget* main = MainWidget::getInstance();
        QSignalSpy spy(main, &MainWidget::appliactionActiveChanged);
        view->hide();
        QTRY_VERIFY(spy.count() >= 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), false);
        view->show();
        QTRY_VERIFY(spy.count() >= 2);
        QTest::qWait(50);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toBool(), true);

        // Repeated notifications from the page are absorbed.
        QMetaObject::invokeMethod(rootObject, "pauseApp");
        QMetaObject::invokeMethod(rootObject, "pauseApp");
        QMetaObject::invokeMethod(rootObject, "resumeApp");
        QCOMPARE(spy.count(), 4);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
