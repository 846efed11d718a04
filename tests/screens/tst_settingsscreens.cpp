#include "screens/categories/categorylistwidget.h"
#include "logic/news/refreshscheduler.h"
#include "logic/news/settings.h"
#include "screens/settings/settingscategoryview.h"
#include "screens/settings/settingsonlineview.h"
#include "screens/settings/settingsscrollarea.h"
#include "screens/settings/settingsview.h"
#include "screens/settings/toolbox.h"
#include "tests/support/screenfixtures.h"

// A section whose content grows when told.
class GrowingPage : public QWidget
{
    Q_OBJECT
public:
    int wanted = 100;
    QSize sizeHint() const override { return QSize(480, wanted); }
signals:
    void contentSizeChanged();
};

// The settings screen inside the running controller: the accordion, the hours, the modes
// reaching the refresh timers and the categories reaching the list.
class TestSettingsScreens : public QObject
{
    Q_OBJECT
private:
    MainWidget* main = nullptr;
    SettingsView* view = nullptr;

private slots:
    void initTestCase() { TestEnv::prepare(); }

    void init()
    {
        main = Screens::startMain();
        main->settingsSelected();
        view = main->findChild<SettingsView*>();
        QVERIFY(view);
        QTRY_VERIFY(main->isEnabled());
    }

    void cleanup()
    {
        delete main;
        main = nullptr;
    }

    void openingASectionClosesTheOther()
    {
        Toolbox* box = view->accordion();
        QTest::mouseClick(box->header(0), Qt::LeftButton);
        QVERIFY(!box->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(box->isEnabled(), 2000);
        QVERIFY(box->page(0)->height() > 100);
        QTest::mouseClick(box->header(1), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(box->isEnabled(), 2000);
        QCOMPARE(box->page(0)->height(), 0);
        QVERIFY(!box->header(0)->isChecked());
        QVERIFY(box->page(1)->height() > 300);
        // The opened header is scrolled into view.
        QTRY_COMPARE(view->scroller()->verticalScrollBar()->value(),
                     qMin(box->header(1)->y(), view->scroller()->verticalScrollBar()->maximum()));
        QTest::mouseClick(box->header(1), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(box->isEnabled(), 2000);
        QCOMPARE(box->page(1)->height(), 0);
        // The help section takes the height its text needs.
        QTest::mouseClick(box->header(5), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(box->isEnabled(), 2000);
        QVERIFY(box->page(5)->height() > 400);
    }

    void aSizeChangeWhileTheAccordionMovesIsNotLost()
    {
        Toolbox box;
        GrowingPage* page = new GrowingPage;
        connect(page, &GrowingPage::contentSizeChanged, &box, &Toolbox::updateWidgets);
        box.addPage("Strona", page, true);
        box.resize(480, 800);
        box.show();
        QTest::mouseClick(box.header(0), Qt::LeftButton);
        QTest::qWait(Toolbox::animationDuration / 4);
        QVERIFY(box.isAnimating());
        page->wanted = 250;
        emit page->contentSizeChanged();
        QTRY_COMPARE_WITH_TIMEOUT(page->height(), 250, 3000);
        QTRY_VERIFY(!box.isAnimating() && box.isEnabled());
        QCOMPARE(page->height(), 250);
    }

    void hoursWrapModesReachTheTimersAndCategoriesTheList()
    {
        SettingsOnlineView* online = view->findChild<SettingsOnlineView*>();
        QVERIFY(online);
        Settings* settings = view->settings;
        QVERIFY(settings->setRushHours(23, 0));
        online->updateData();
        online->buttonRushHoursStartInc->click();
        QCOMPARE(online->labelRushHoursStart->text(), QString("0"));
        online->buttonRushHoursEndDec->click();
        QCOMPARE(online->labelRushHoursEnd->text(), QString("23"));
        QCOMPARE(Settings(nullptr).getRushHoursStart(), 0);
        QCOMPARE(Settings(nullptr).getRushHoursEnd(), 23);

        QSignalSpy announced(settings, &Settings::refreshModeChanged);
        online->rushHoursBoxes.at(1)->click();      // "Co 5 minut"
        online->outOfRushHoursBoxes.at(1)->click();
        QVERIFY(announced.count() >= 2);
        QCOMPARE(announced.last().first().toInt(), 1);
        QCOMPARE(Settings(nullptr).getArticlesCheckOutOfRushHours(), 1);
        online->rushHoursBoxes.at(0)->click();      // "Ręcznie"
        online->outOfRushHoursBoxes.at(0)->click();
        for (QTimer* timer : main->findChild<RefreshScheduler*>()->findChildren<QTimer*>())
            QVERIFY(!timer->isActive());

        // Unticking a category removes its row.
        QAbstractItemModel* rows = Screens::rows(main->findChild<CategoryListWidget*>());
        const int before = rows->rowCount();
        QCheckBox* sport = view->findChild<SettingsCategoryView*>()->boxes.at(2);
        QCOMPARE(sport->text(), QString("Sport"));
        QVERIFY(sport->isChecked());
        sport->click();
        QCOMPARE(rows->rowCount(), before - 1);
        QVERIFY(!Settings(nullptr).isCategoryActive(4));
        sport->click();
        QCOMPARE(rows->rowCount(), before);
    }
};

QTEST_MAIN(TestSettingsScreens)
#include "tst_settingsscreens.moc"
