#include <QStringListModel>

#include "screens/settings/settingsscrollarea.h"
#include "screens/widgets/kineticmotion.h"
#include "screens/widgets/listview.h"
#include "tests/support/finger.h"
#include "tests/support/screenfixtures.h"

// Finger scrolling of the lists and scroll areas, driven with synthesized mouse events.
class TestKinetic : public QObject
{
    Q_OBJECT
private:
    ListView* list = nullptr;
    QStringListModel* model = nullptr;

    void fill(int rows)
    {
        QStringList items;
        for (int i = 0; i < rows; ++i)
            items << QString("Wiersz %1").arg(i);
        model->setStringList(items);
        QTest::qWait(20);
    }

    QPoint inList(int y) const { return list->viewport()->mapTo(list, QPoint(100, y)); }

private slots:
    void initTestCase() { TestEnv::prepare(); }

    void init()
    {
        list = new ListView;
        model = new QStringListModel(list);
        list->setModel(model);
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        QVERIFY(Screens::show(list, QSize(300, 400)));
    }

    void cleanup()
    {
        delete list;
        list = nullptr;
    }

    // A short list does not scroll and still reports its row; on a long one a move of ten pixels is
    // a tap, eleven a drag.
    void aMoveOfTenPixelsIsATapElevenIsADrag()
    {
        fill(3);
        QVERIFY(!list->motion().isScrollEnabled);
        QSignalSpy clicks(list, &QAbstractItemView::clicked);
        Finger finger(list);
        const QPoint first = list->viewport()->mapTo(list, list->visualRect(model->index(0)).center());
        finger.press(first);
        finger.move(first + QPoint(0, 4));
        finger.release(first + QPoint(0, 4));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.first().first().toModelIndex().row(), 0);
        QCOMPARE(list->verticalScrollBar()->value(), 0);

        fill(100);
        finger.press(inList(200));
        finger.move(inList(210));
        finger.move(inList(200));
        finger.release(inList(200));
        QCOMPARE(clicks.count(), 2);
        QVERIFY(!list->motion().isMoving);

        list->verticalScrollBar()->setValue(300);
        finger.press(inList(200));
        finger.move(inList(189));
        QCOMPARE(list->verticalScrollBar()->value(), 311);
        // Back inside the dead zone: still a drag, and the release reports no click.
        finger.move(inList(200));
        finger.release(inList(200));
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
    }

    void aReleasedDragGlidesSlowsDownAndAPressStopsIt()
    {
        fill(400);
        QScrollBar* bar = list->verticalScrollBar();
        bar->setValue(1000);
        Finger finger(list);
        finger.press(inList(350));
        int y = 350;
        for (int i = 0; i < 5; ++i) {
            y -= 30;
            finger.move(inList(y));
            QTest::qWait(40); // a tick samples the step while the finger is down
        }
        QCOMPARE(list->motion().velocity, -30);
        QCOMPARE(bar->value(), 1000 + 150);
        finger.release(inList(y));
        QVERIFY(list->motion().isMoving);

        int last = bar->value();
        QElapsedTimer watch;
        watch.start();
        while (list->motion().isMoving && watch.elapsed() < 3000) {
            QTest::qWait(15);
            QVERIFY(bar->value() >= last); // always forward
            last = bar->value();
        }
        QVERIFY(!list->motion().isMoving);
        // 28 + 26 + ... + 2: the whole glide of a 30 px step.
        QCOMPARE(bar->value(), 1000 + 150 + 210);
        QCOMPARE(list->motion().velocity, 0);

        // A press stops a glide at once.
        bar->setValue(1000);
        finger.press(inList(350));
        finger.move(inList(300));
        QTest::qWait(40);
        finger.move(inList(200));
        QTest::qWait(40);
        finger.release(inList(200));
        QTest::qWait(70);
        QVERIFY(list->motion().isMoving);
        finger.press(inList(200));
        QVERIFY(!list->motion().isMoving);
        const int stopped = bar->value();
        QTest::qWait(100);
        QCOMPARE(bar->value(), stopped);
        finger.release(inList(200));
    }

    void theGlideArithmetic()
    {
        QTimer timer;
        QScrollBar bar(Qt::Vertical);
        bar.setRange(0, 10000);
        KineticMotion motion(&timer);

        auto glideFrom = [&](int step, int from = 5000) {
            bar.setValue(from);
            motion.isPressed = false;
            motion.isMoving = true;
            motion.velocity = step;
            motion.tick(&bar);
        };
        // The fastest glide is capped.
        glideFrom(500);
        QCOMPARE(motion.velocity, 118);
        QCOMPARE(bar.value(), 5000 - 118);
        // A step of 3 px stops at once without moving; 4 px moves 2 px once.
        glideFrom(3);
        QVERIFY(!motion.isMoving);
        QCOMPARE(bar.value(), 5000);
        glideFrom(-4);
        QCOMPARE(bar.value(), 5002);
        motion.tick(&bar);
        QVERIFY(!motion.isMoving);
        QCOMPARE(bar.value(), 5002);
        // At the top the content stays put while the speed decays.
        glideFrom(40, 0);
        QCOMPARE(bar.value(), 0);
        QVERIFY(motion.isMoving);
    }

    void theSettingsAreaWaitsTwentyPixels()
    {
        SettingsScrollArea area;
        QWidget* content = new QWidget;
        content->setMinimumSize(280, 3000);
        area.setWidget(content);
        QVERIFY(Screens::show(&area, QSize(300, 400)));
        area.verticalScrollBar()->setValue(500);
        Finger finger(&area);
        const QPoint start = area.viewport()->mapTo(&area, QPoint(100, 200));
        finger.press(start);
        finger.move(start - QPoint(0, 20));
        QCOMPARE(area.verticalScrollBar()->value(), 500);
        finger.move(start - QPoint(0, 21));
        QCOMPARE(area.verticalScrollBar()->value(), 521);
        finger.release(start - QPoint(0, 21));
    }
};

QTEST_MAIN(TestKinetic)
#include "tst_kinetic.moc"
