#include <QProcess>
#include <QQuickItem>
#include <QTemporaryDir>

#include "logic/ads/bannerinfo.h"
#include "logic/base/file.h"
#include "screens/articlelist/articleslistwidget.h"
#include "screens/briefcase/briefcasewidget.h"
#include "screens/categories/categorylistwidget.h"
#include "screens/search/searchwidget.h"
#include "screens/shell/splashwidget.h"
#include "screens/widgets/textscale.h"
#include "tests/support/probescreen.h"
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

// The shell: the controller's stack of screens and its keys; the hosting page with the splash, the
// stored advertisement, its dialogs and the window's state; the program itself, run from a terminal.
class TestShell : public QObject
{
    Q_OBJECT
private:
    QDeclarativeView* view = nullptr;
    MainWidget* main = nullptr;
    Browser browser;

    static const int slide = 250;

    void push(BaseWidget* w, bool animated)
    {
        QMetaObject::invokeMethod(main, "pushWidget", Q_ARG(BaseWidget*, w), Q_ARG(bool, animated));
    }

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

    QList<QWidget*> openDialogs() const { return Screens::openDialogs(view); }

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

    void cleanup()
    {
        delete main;
        main = nullptr;
    }

    void cleanupTestCase() { Screens::closeHost(view); }

    // A walk by keys alone: real key events to the widget that has the keys.
    void keyboardCommands()
    {
        main = Screens::startMain();
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
        QCOMPARE(boxes.last().kind, MessageBox::Shown::Question);
        QCOMPARE(boxes.last().listener, static_cast<MsgBoxListener*>(main));
        boxes.reject(); // "Nie"
        QCOMPARE(boxes.texts(), QStringList({"Czy na pewno chcesz zamknąć aplikację?", "Czy na pewno chcesz zamknąć aplikację?"}));
        QTest::qWait(50);
        QVERIFY(main->isVisible());
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

    void pushSlidesInBlockingInputBackSlidesOutAndTheOrientationMayForbidIt()
    {
        main = Screens::startMain();
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

    void popToRootFromFourDeepThenBackOnTheRootDoesNothing()
    {
        main = Screens::startMain();
        CategoryListWidget* root = main->findChild<CategoryListWidget*>();
        QVERIFY(root);
        // The program opens on the first category's list; three screens more over it.
        QPointer<ArticlesListWidget> list = Screens::onTop<ArticlesListWidget>(main);
        QVERIFY(list);
        QPointer<ProbeScreen> a = new ProbeScreen, b = new ProbeScreen, c = new ProbeScreen;
        push(a, false);
        push(b, false);
        push(c, false);
        emit c->popToRoot();
        QVERIFY(!b->isVisible());
        QTest::qWait(10);
        QVERIFY(list.isNull());
        QVERIFY(a.isNull());
        QVERIFY(b.isNull());
        QVERIFY(!c.isNull());
        QVERIFY(root->isVisible());
        QTest::qWait(slide + 150);
        QVERIFY(c.isNull());
        QVERIFY(main->isEnabled());
        QCOMPARE(root->geometry(), main->rect());

        const int screens = main->findChildren<BaseWidget*>(QString(), Qt::FindDirectChildrenOnly).size();
        emit root->backClicked();
        QTest::qWait(slide + 100);
        QVERIFY(main->isEnabled());
        QVERIFY(root->isVisible());
        QCOMPARE(root->geometry(), main->rect());
        QCOMPARE(main->findChildren<BaseWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), screens);
    }

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
    void splashHandsOverToTheApplicationPageThatFollowsTheWindow()
    {
        TestEnv::clearData();
        view = startShell();
        QVERIFY(view->rootObject());
        QPointer<SplashWidget> splash = view->findChild<SplashWidget*>();
        QVERIFY(splash && splash->isVisible());

        // Nothing can be asked before the application page exists.
        QVERIFY(!mbs);
        MessageBox::showError("Błąd", "Tytuł");
        QVERIFY(openDialogs().isEmpty());
        QVERIFY(!MainWidget::getInstance());

        // Not before the picture's time is up (theAdvertisementFollowsThePicture measures it).
        QTRY_VERIFY_WITH_TIMEOUT(MainWidget::getInstance() != nullptr, 4500);
        QTRY_VERIFY(splash.isNull());
        QCOMPARE(view->source(), QUrl("qrc:/main.qml"));
        QVERIFY(mbs);
        QCOMPARE(rootObject, static_cast<QObject*>(view->rootObject()));
        QVERIFY(MainWidget::getInstance()->isVisible());

        // The hosted widget fills the item.
        view->rootObject()->setSize(QSizeF(854.9, 480.0));
        QCOMPARE(MainWidget::getInstance()->size(), QSize(854, 480));
        // The root follows the view: turned sideways and back.
        view->resize(854, 480);
        QTRY_COMPARE(MainWidget::getInstance()->size(), QSize(854, 480));
        view->resize(480, 854);
        QTRY_COMPARE(MainWidget::getInstance()->size(), QSize(480, 854));

        // The window's state reaches the controller, once for each change.
        QSignalSpy spy(MainWidget::getInstance(), &MainWidget::appliactionActiveChanged);
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

    void answersReachTheListenerThatAsked()
    {
        // A question says "Tak" / "Nie", a failed download "Powtórz"; a button answers as it says,
        // Return gives a question its safe "Nie" and a failed download its retry, Escape says no.
        const struct { bool retry; const char* button; Qt::Key key; bool accepts; } answers[] = {
            {false, "rejectButton", Qt::Key_unknown, false}, {true, "acceptButton", Qt::Key_unknown, true},
            {false, nullptr, Qt::Key_Return, false}, {false, nullptr, Qt::Key_Escape, false},
            {true, nullptr, Qt::Key_Return, true}, {true, nullptr, Qt::Key_Escape, false}};
        for (const auto& a : answers) {
            Asker asker;
            if (a.retry)
                MessageBox::showMessageBoxBackAgain("Brak sieci", "Błąd", &asker);
            else
                QVERIFY(!MessageBox::showQuestion("Usunąć najstarszy?", "Pytanie", &asker));
            const QList<QWidget*> dialogs = openDialogs();
            QCOMPARE(dialogs.size(), 1);
            QCOMPARE(dialogs.first()->findChild<QPushButton*>("acceptButton")->text(),
                     QString::fromUtf8(a.retry ? "Powtórz" : "Tak"));
            if (!a.retry)
                QCOMPARE(dialogs.first()->findChild<QPushButton*>("rejectButton")->text(), QString("Nie"));
            QVERIFY(dialogs.first()->focusWidget());
            if (a.button)
                press(dialogs.first(), a.button);
            else
                QTest::keyClick(dialogs.first()->focusWidget(), a.key);
            QCOMPARE(asker.accepted, a.accepts ? 1 : 0);
            QCOMPARE(asker.rejected, a.accepts ? 0 : 1);
            QVERIFY(openDialogs().isEmpty());
        }

        // A question asked from an answer reaches the new listener.
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

        // An information box forgets the earlier listener.
        MessageBox::showInformation("Zapisano", "Teczka");
        QWidget* dialog = openDialogs().first();
        QVERIFY(!dialog->findChild<QPushButton*>("rejectButton")->isVisible());
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        QCOMPARE(second.accepted, 1);
        QVERIFY(openDialogs().isEmpty());
    }

    // The program itself, started against the sample service as its proxy, then once more on the
    // data it kept (a refresh): every feed, every ad description and the analytics report are asked
    // for exactly once a start, and nothing is printed on the console.
    void oneStartAsksForEachFeedOnceAndSaysNothing()
    {
        SampleServer server;
        QVERIFY(server.start());
        server.setContentRoot(KURENDAL_SAMPLE_CONTENT);
        installAdService(server, KURENDAL_SAMPLE_CONTENT);
        installAnalyticsService(server);

        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", home.path()); // as a desktop session sets it
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("http_proxy", server.baseUrl());
        env.insert("no_proxy", "");
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent");
        env.remove("QT_LOGGING_RULES");

        auto count = [&server](const QString& path, const QString& query = QString()) {
            int n = 0;
            for (const SampleServer::Request& r : server.requests())
                n += r.path == path && r.query.contains(query) ? 1 : 0;
            return n;
        };
        const QStringList feeds = {"kr_najwazniejsze", "kr_najnowsze", "kraj", "kr_swiat",
                                   "kr_sport", "gospodarka", "kr_komentarze", "kr_kultura"};
        auto allFeedsAsked = [&] {
            return std::all_of(feeds.begin(), feeds.end(),
                               [&](const QString& f) { return count("/pub/mobi_lg/out/" + f + ".xml") > 0; });
        };
        for (const char* start : {"first start", "refresh"}) {
            server.clearRequests();
            QProcess program;
            program.setProcessEnvironment(env);
            program.setProcessChannelMode(QProcess::MergedChannels);
            program.start(KURENDAL_PROGRAM, QStringList());
            QVERIFY(program.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(allFeedsAsked(), 30000);
            QTRY_VERIFY_WITH_TIMEOUT(count("/aap.do") > 0, 10000);
            QTest::qWait(2000); // a second opening of the network would ask again by now
            QCOMPARE(program.state(), QProcess::Running);
            program.terminate();
            program.waitForFinished(5000);
            const QByteArray console = program.readAll();
            QVERIFY2(console.isEmpty(), qPrintable(QString("%1:\n%2").arg(start, QString::fromUtf8(console))));

            for (const QString& f : feeds)
                QVERIFY2(count("/pub/mobi_lg/out/" + f + ".xml") == 1, qPrintable(f));
            for (const char* typ : {"typ=101", "typ=102", "typ=108"})
                QVERIFY2(count("/ad/GetBanMb", typ) == 1, typ);
            QCOMPARE(count("/aap.do"), 1);
        }
    }

    // A launcher without the program's library says so and ends, not a black window for ever.
    void aLauncherWithoutItsLibraryEnds()
    {
        QTemporaryDir bin;
        QVERIFY(QFile::copy(KURENDAL_PROGRAM, bin.filePath("kurendal")));
        QFile(bin.filePath("kurendal")).setPermissions(QFileDevice::ExeOwner | QFileDevice::ReadOwner);
        QProcess program;
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(bin.filePath("kurendal"), QStringList());
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(program.readAll().contains("nie można wczytać programu"));
    }

    // Last: "Tak" to the exit question ends the event loops of this process.
    void takCloses()
    {
        Screens::closeHost(view);
        view = nullptr;
        main = Screens::startMain();
        Boxes boxes;
        main->exitClicked();
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&boxes]() { boxes.accept(); });
        QTimer::singleShot(3000, &loop, [&loop]() { loop.exit(7); });
        QCOMPARE(loop.exec(), 0);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
