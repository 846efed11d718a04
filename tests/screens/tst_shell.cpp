#include <QQuickItem>

#include "logic/ads/bannerinfo.h"
#include "logic/base/file.h"
#include "screens/shell/splashwidget.h"
#include "tests/support/screenfixtures.h"

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

// The page that hosts the screens: the splash and the advertisement fetched on an earlier run
// shown after it, the hand-over to the application page, its dialogs and the window's state.
class TestShell : public QObject
{
    Q_OBJECT
private:
    QDeclarativeView* view = nullptr;
    Browser browser;

    // Each of the two pictures stays 3 s; the timers may fire a little early, never at once.
    static constexpr int shown = 3000 - 200;

    static void storeSplash(bool offered, const QByteArray& picture, const QString& link)
    {
        File* f = File::createFileToWrite(File::createPathToResource("banners"));
        f->open();
        for (char byte : {'R', 'E', 'K', char(1), char(offered ? 1 : 0)})
            f->writeByte(byte);
        f->writeString(QString("http://ads.kurendal.pl/img/splash.png"));
        f->writeByte(1);
        f->writeString(link);
        f->close();
        delete f;
        QFile file(File::createPathToResource("splash"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(picture);
    }

    // The stored advertisement: a yellow picture of the phone's size.
    static QByteArray png() { return TestEnv::png(QSize(480, 854), Qt::yellow); }

    static bool showsAdvertisement(const QLabel* label)
    {
        const QPixmap shown = label->pixmap(Qt::ReturnByValue);
        return !shown.isNull() && shown.toImage().pixel(10, 10) == QColor(Qt::yellow).rgb();
    }

    static void tap(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100)); }

    // Starts the shell on the splash page, as the program does.
    static QDeclarativeView* startShell()
    {
        BannerInfo::releaseSingleton();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return Screens::openHost();
    }

    QList<QWidget*> openDialogs() const
    {
        QList<QWidget*> open;
        for (QWidget* w : view->findChildren<QWidget*>("queryDialog"))
            if (w->isVisible())
                open.append(w);
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
        browser.catchSchemes(true, {"http"});
    }

    void cleanupTestCase() { Screens::closeHost(view); }

    // An advertisement follows the built-in picture for its own time and opens its link once on
    // tap; without a link a tap does nothing. A damaged or withdrawn one gives a normal start.
    void theAdvertisementFollowsThePicture_data()
    {
        QTest::addColumn<bool>("offered");
        QTest::addColumn<QByteArray>("picture");
        QTest::addColumn<QString>("link");
        const QString link = "http://kino.example.pl/repertuar";
        QTest::newRow("with a link") << true << png() << link;
        QTest::newRow("without a link") << true << png() << QString();
        QTest::newRow("damaged") << true << QByteArray("\x89PNG damaged") << link;
        QTest::newRow("withdrawn") << false << png() << link;
    }
    void theAdvertisementFollowsThePicture()
    {
        QFETCH(bool, offered);
        QFETCH(QByteArray, picture);
        QFETCH(QString, link);
        TestEnv::clearData();
        browser.opened.clear();
        storeSplash(offered, picture, link);
        QElapsedTimer clock;
        clock.start();
        QDeclarativeView* page = startShell();
        QPointer<SplashWidget> splash = page->findChild<SplashWidget*>();
        QVERIFY(splash);
        QLabel* label = splash->findChild<QLabel*>("label");
        if (!offered || picture != png()) {
            // The built-in picture alone, for its whole time.
            QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 4000);
            QVERIFY2(clock.elapsed() >= shown && clock.elapsed() < 2 * shown, qPrintable(QString::number(clock.elapsed())));
            QVERIFY(browser.opened.isEmpty());
            Screens::closeHost(page);
            return;
        }
        QTest::qWait(500);
        tap(splash);
        QVERIFY(browser.opened.isEmpty());
        QVERIFY(!label->pixmap(Qt::ReturnByValue).isNull() && !showsAdvertisement(label));
        QTRY_VERIFY_WITH_TIMEOUT(showsAdvertisement(label), 4000);
        const qint64 adShown = clock.elapsed();
        QVERIFY2(adShown >= shown, qPrintable(QString::number(adShown)));
        tap(splash);
        tap(splash);
        QCOMPARE(browser.opened, link.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(link)});
        QVERIFY(!splash.isNull());
        QVERIFY(!MainWidget::getInstance());
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 4500);
        QVERIFY2(clock.elapsed() >= 2 * shown && clock.elapsed() - adShown >= shown - 100,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(MainWidget::getInstance());
        Screens::closeHost(page);
    }

    // From here on one page serves every test.
    void splashHandsOverToTheApplicationPage()
    {
        TestEnv::clearData();
        view = startShell();
        QVERIFY(view->rootObject());
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

        // The hosted widget fills the item.
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

        // A question asked from an answer reaches the new listener.
        Asker first, second;
        first.followUp = &second;
        MessageBox::showQuestion("Pierwsze?", "", &first);
        press(openDialogs().first(), "acceptButton");
        QCOMPARE(first.accepted, 1);
        // The follow-up is open in the second dialog; the first has closed.
        dialogs = openDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs.first()->findChild<QLabel*>("messageLabel")->text(), QString("Na pewno?"));
        press(dialogs.first(), "acceptButton");
        QCOMPARE(second.accepted, 1);
        QCOMPARE(first.accepted, 1);
        QVERIFY(openDialogs().isEmpty());

        // An information box forgets the earlier listener.
        MessageBox::showInformation("Zapisano", "Teczka");
        QWidget* dialog = openDialogs().first();
        QVERIFY(!dialog->findChild<QPushButton*>("rejectButton")->isVisible());
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        QCOMPARE(second.accepted, 1);
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
        for (const char* call : {"pauseApp", "pauseApp", "resumeApp", "resumeApp"})
            QMetaObject::invokeMethod(rootObject, call);
        QCOMPARE(spy.count(), 4);
        QCOMPARE(spy.at(2).at(0).toBool(), false);
        QCOMPARE(spy.at(3).at(0).toBool(), true);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
