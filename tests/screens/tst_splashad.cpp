#include <QtTest>
#include <QDesktopServices>
#include <QLabel>

#include "logic/ads/bannerinfo.h"
#include "screens/shell/mainwidget.h"
#include "screens/shell/splashwidget.h"
#include "logic/base/file.h"
#include "screens/shell/messageboxbridge.h"
#include "platform/declarativeview.h"
#include "tests/support/testenv.h"

// Catches what the program hands to the browser.
class Browser : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

// The splash advertisement fetched on an earlier run: shown after the built-in picture,
// its link opened once on tap.
class TestSplashAd : public QObject
{
    Q_OBJECT
private:
    Browser browser;

    // Each of the two pictures stays 3 s; the timers may fire a little early, never at once.
    static constexpr int shown = 3000 - 200;

    static void storeSplash(bool offered, const QByteArray& picture,
                            const QString& link = QString("http://kino.example.pl/repertuar"))
    {
        File* f = File::createFileToWrite(File::createPathToResource("banners"));
        f->open();
        f->writeByte('R');
        f->writeByte('E');
        f->writeByte('K');
        f->writeByte(1);
        f->writeByte(offered ? 1 : 0);
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

    static void tap(QWidget* w)
    {
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    }

    // Starts the shell on the splash page, as the program does.
    static QDeclarativeView* startShell()
    {
        BannerInfo::releaseSingleton();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDeclarativeView* view = new QDeclarativeView();
        view->setResizeMode(QDeclarativeView::SizeRootObjectToView);
        viewDecl = view;
        view->setSource(QUrl("qrc:/splash.qml"));
        view->resize(480, 854);
        view->show();
        return view;
    }

    static void stopShell(QDeclarativeView* view)
    {
        delete view;
        viewDecl = nullptr;
        rootObject = nullptr;
        mbs = nullptr;
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        registerQmlElements();
        QDesktopServices::setUrlHandler("http", &browser, "open");
    }

    void init()
    {
        TestEnv::clearData();
        browser.opened.clear();
    }

    void theAdvertisementFollowsThePictureAndOpensOnce()
    {
        storeSplash(true, png());
        QElapsedTimer clock;
        clock.start();
        QDeclarativeView* view = startShell();
        QPointer<SplashWidget> splash = view->findChild<SplashWidget*>();
        QVERIFY(splash);
        QLabel* label = splash->findChild<QLabel*>("label");
        QTest::qWait(500);
        tap(splash);
        QVERIFY(browser.opened.isEmpty());

        QVERIFY(!label->pixmap(Qt::ReturnByValue).isNull() && !showsAdvertisement(label));
        QTRY_VERIFY_WITH_TIMEOUT(showsAdvertisement(label), 4000);
        QVERIFY2(clock.elapsed() >= shown, qPrintable(QString::number(clock.elapsed())));
        tap(splash);
        tap(splash);
        QCOMPARE(browser.opened, QList<QUrl>{QUrl("http://kino.example.pl/repertuar")});
        QVERIFY(!MainWidget::getInstance());
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 4500);
        QVERIFY2(clock.elapsed() >= 2 * shown, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(MainWidget::getInstance());
        stopShell(view);
    }

    void anAdvertisementWithoutALinkStillEndsAfterItsTime()
    {
        storeSplash(true, png(), QString());
        QElapsedTimer clock;
        clock.start();
        QDeclarativeView* view = startShell();
        QPointer<SplashWidget> splash = view->findChild<SplashWidget*>();
        QVERIFY(splash);
        QLabel* label = splash->findChild<QLabel*>("label");
        QTRY_VERIFY_WITH_TIMEOUT(showsAdvertisement(label), 4000);
        QVERIFY(clock.elapsed() >= shown);
        const qint64 adShown = clock.elapsed();
        tap(splash);
        QVERIFY(browser.opened.isEmpty());
        QVERIFY(!splash.isNull());
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 4500);
        QVERIFY2(clock.elapsed() - adShown >= shown - 100, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(MainWidget::getInstance());
        stopShell(view);
    }

    void aDamagedOrWithdrawnSplashGivesANormalStart()
    {
        for (bool offered : {true, false}) {
            storeSplash(offered, offered ? QByteArray("\x89PNG damaged") : png());
            QElapsedTimer clock;
            clock.start();
            QDeclarativeView* view = startShell();
            QPointer<SplashWidget> splash = view->findChild<SplashWidget*>();
            QVERIFY(splash);
            // The built-in picture alone, for its whole time.
            QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 4000);
            QVERIFY2(clock.elapsed() >= shown && clock.elapsed() < 2 * shown, qPrintable(QString::number(clock.elapsed())));
            QVERIFY(browser.opened.isEmpty());
            stopShell(view);
        }
    }
};

QTEST_MAIN(TestSplashAd)
#include "tst_splashad.moc"
