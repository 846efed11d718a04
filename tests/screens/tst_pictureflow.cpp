#include "screens/gallery/pictureflow.h"
#include "screens/gallery/pictureflowprivate.h"
#include "tests/support/screenfixtures.h"

// The cover-flow: slide layout, the placeholder, the animation targets and the tap zones.
class TestPictureFlow : public QObject
{
    Q_OBJECT
private:
    PictureFlow* flow = nullptr;
    PictureFlowPrivate* d = nullptr;

    static QVector<int> indexes(const QVector<SlideInfo>& slides)
    {
        QVector<int> v;
        for (const SlideInfo& s : slides)
            v << s.slideIndex;
        return v;
    }

    void fill(int n)
    {
        flow->setSlideCount(n);
        for (int i = 0; i < n; ++i) {
            QImage picture(200, 150, QImage::Format_RGB32);
            picture.fill(QColor::fromHsv(i * 40 % 360, 200, 220));
            flow->setSlide(i, picture);
        }
        d->render();
    }

    void tap(int x, int y) { QTest::mouseClick(flow, Qt::LeftButton, Qt::NoModifier, QPoint(x, y)); }

    void waitIdle() { QTRY_VERIFY_WITH_TIMEOUT(d->step == 0, 5000); }

    bool showsTheFrame()
    {
        return QTest::qWaitFor([this] {
            return flow->screen()->grabWindow(flow->winId()).toImage().convertToFormat(QImage::Format_RGB32) == d->buffer;
        }, 2000);
    }

private slots:
    void initTestCase() { TestEnv::prepare(); }

    void init()
    {
        flow = new PictureFlow;
        QVERIFY(Screens::show(flow, QSize(480, 600)));
        d = flow->implementation();
    }

    void cleanup()
    {
        delete flow;
        flow = nullptr;
    }

    void slidesAroundTheCentreWrapAround()
    {
        fill(1);
        QVERIFY(d->leftSlides.isEmpty() && d->rightSlides.isEmpty());

        fill(2);
        QCOMPARE(indexes(d->leftSlides), QVector<int>{1});
        QVERIFY(d->rightSlides.isEmpty());
        flow->setCurrentSlide(1);
        QVERIFY(d->leftSlides.isEmpty());
        QCOMPARE(indexes(d->rightSlides), QVector<int>{0});

        flow->setCurrentSlide(0);
        fill(3);
        QCOMPARE(indexes(d->leftSlides), (QVector<int>{2, 1}));
        QCOMPARE(indexes(d->rightSlides), (QVector<int>{1, 2}));

        fill(5);
        flow->setCurrentSlide(1);
        QCOMPARE(indexes(d->leftSlides), (QVector<int>{0, 4, 3}));
        QCOMPARE(indexes(d->rightSlides), (QVector<int>{2, 3, 4}));
        QCOMPARE(d->leftSlides.at(1).cx, -(d->offsetX + d->spacing * 1024));
        QCOMPARE(d->rightSlides.at(0).angle, -227);
    }

    void aMissingPictureShowsTheFramedGradient()
    {
        flow->setSlideCount(3);
        d->render();
        const QImage frame = d->buffer.convertToFormat(QImage::Format_RGB32);
        const QRect centre = d->centerSlideRect;
        QVERIFY(centre.width() > 300);
        const int x = centre.center().x();
        // Black at the top, white at the bottom, with the grey frame at the edge.
        QVERIFY(qGray(frame.pixel(x, centre.top() + 15)) < 50);
        QVERIFY(qGray(frame.pixel(x, centre.top() + 265)) > 200);
        QVERIFY(qAbs(qGray(frame.pixel(centre.left() + 1, centre.top() + 140)) - 64) < 16);
        // Its reflection below starts dimmer than the picture's bottom and fades.
        const int bottom = qGray(frame.pixel(x, centre.top() + 270));
        const int mirrored = qGray(frame.pixel(x, centre.top() + 290));
        const int further = qGray(frame.pixel(x, centre.top() + 340));
        QVERIFY2(mirrored > 60 && mirrored < bottom && further < mirrored,
                 qPrintable(QString("%1 %2 %3").arg(bottom).arg(mirrored).arg(further)));
    }

    // A picture keeps its shape, as large as the slide box allows and in its middle, on black; the
    // box shrinks where the window is narrower or lower than it, the reflection follows the picture.
    void picturesKeepTheirShapeInsideTheWindow_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("picture");
        QTest::newRow("upright 500x750") << QSize(480, 600) << QSize(500, 750);
        QTest::newRow("upright 600x800") << QSize(480, 600) << QSize(600, 800);
        QTest::newRow("wide 1024x576") << QSize(480, 600) << QSize(1024, 576);
        QTest::newRow("320x480 window") << QSize(320, 335) << QSize(800, 600);
        QTest::newRow("360x720 window") << QSize(360, 575) << QSize(500, 750);
        QTest::newRow("854x480 window") << QSize(854, 335) << QSize(1200, 800);
    }

    void picturesKeepTheirShapeInsideTheWindow()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, picture);
        flow->resize(window);
        flow->setSlideCount(3);
        QImage white(picture, QImage::Format_RGB32);
        white.fill(Qt::white);
        flow->setSlide(0, white);
        d->render();
        const QImage frame = d->buffer.convertToFormat(QImage::Format_RGB32);
        const QRect box = d->centerSlideRect;
        QVERIFY2(frame.rect().contains(box), qPrintable(QString("slide %1,%2 %3x%4").arg(box.x()).arg(box.y())
                                                           .arg(box.width()).arg(box.height())));
        auto lit = [&](int from, int to, int low, int high) {
            QRect r;
            for (int y = from; y < to; ++y)
                for (int x = box.left(); x <= box.right(); ++x)
                    if (qGray(frame.pixel(x, y)) > low && qGray(frame.pixel(x, y)) <= high)
                        r |= QRect(x, y, 1, 1);
            return r;
        };
        const QRect shown = lit(box.top(), box.bottom(), 250, 255);
        QVERIFY(qAbs(shown.width() * picture.height() - shown.height() * picture.width())
                <= 2 * qMax(picture.width(), picture.height()));
        QVERIFY(shown.width() >= box.width() - 2 || shown.height() >= d->slideHeight - 2);
        QVERIFY(qAbs(shown.center().x() - box.center().x()) <= 1 && qAbs(shown.center().y() - box.center().y()) <= 1);
        // The first rows of the reflection are as wide as the picture.
        const QRect mirrored = lit(box.bottom() + 1, qMin(frame.height(), box.bottom() + d->slideHeight / 3), 60, 200);
        QVERIFY(qAbs(mirrored.left() - shown.left()) <= 1 && qAbs(mirrored.right() - shown.right()) <= 1);
        // Either side of the slide leaves room to tap.
        QVERIFY(box.left() >= window.width() / 20 && box.right() < window.width() * 19 / 20);
    }

    void nextAndPreviousTargets()
    {
        fill(5);
        QSignalSpy centred(flow, &PictureFlow::itemCentered);
        flow->showNext();
        QCOMPARE(d->target, 1);
        QCOMPARE(d->step, 1);
        flow->showNext(); // already moving forward: up to two ahead
        QCOMPARE(d->target, 2);
        waitIdle();
        QCOMPARE(flow->currentSlide(), 2);
        QCOMPARE(centred.last().first().toInt(), 2);
        // The window takes what changed at each frame, all of it for another slide size.
        QVERIFY(showsTheFrame());
        flow->setSlideSize(QSize(200, 140));
        QVERIFY(showsTheFrame());

        flow->setCurrentSlide(0);
        flow->showPrevious(); // wraps to the last
        QCOMPARE(d->target, 4);
        QCOMPARE(d->step, -1);
        flow->showPrevious();
        QCOMPARE(d->target, 0);
        waitIdle();

        flow->setCurrentSlide(4);
        flow->showNext();
        QCOMPARE(d->target, 0);
        waitIdle();
        QCOMPARE(flow->currentSlide(), 0);

        // Two pictures: only towards the one side slide.
        fill(2);
        flow->setCurrentSlide(0);
        flow->showSlide(1, false);
        QCOMPARE(d->step, 0);
        flow->showSlide(1, true);
        QCOMPARE(d->step, -1);
        waitIdle();
        QCOMPARE(flow->currentSlide(), 1);
        fill(1); // the side slide goes from the window too
        QVERIFY(showsTheFrame());
    }

    void tapZonesAndSwipes()
    {
        fill(5);
        QSignalSpy activated(flow, &PictureFlow::itemActivated);
        const QRect centre = d->centerSlideRect;
        tap(centre.center().x(), centre.top() + 1 > 0 ? centre.top() - 5 : 0); // between the zones, above the slide
        QCOMPARE(activated.count(), 0);
        QCOMPARE(d->step, 0);
        tap(centre.center().x(), centre.center().y());
        QCOMPARE(activated.count(), 1);
        QCOMPARE(activated.first().first().toInt(), 0);

        tap(470, 300);
        QCOMPARE(d->step, 1);
        QCOMPARE(d->target, 1);
        waitIdle();
        tap(5, 300);
        QCOMPARE(d->step, -1);
        QCOMPARE(d->target, 0);
        waitIdle();

        // Nothing turns while the pictures load.
        flow->loading = true;
        tap(470, 300);
        QCOMPARE(d->step, 0);
        flow->loading = false;

        // A swipe to the right goes backward.
        flow->setCurrentSlide(2);
        QTest::mousePress(flow, Qt::LeftButton, Qt::NoModifier, QPoint(100, 300));
        for (int x = 120; x <= 460; x += 20) {
            QTest::qWait(20);
            QMouseEvent move(QEvent::MouseMove, QPointF(x, 300), QPointF(x, 300), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(flow, &move);
        }
        QTest::mouseRelease(flow, Qt::LeftButton, Qt::NoModifier, QPoint(460, 300));
        QCOMPARE(d->step, -1);
        QVERIFY(d->target < 2 || d->target == 4);
        waitIdle();
    }

    void resizingRecomputesTheGeometry()
    {
        fill(3);
        flow->resize(854, 480);
        QCOMPARE(d->buffer.size(), QSize(854, 480));
        QCOMPARE(d->rays.size(), 854);
        QCOMPARE(d->singlePressThreshold, 854 / 15);
        QVERIFY(d->centerSlideRect.left() > 200);

        // A slide made again for a larger box comes from its picture, not from its smaller copy.
        QImage fine(830, 560, QImage::Format_RGB32);
        for (int y = 0; y < fine.height(); ++y)
            for (int x = 0; x < fine.width(); ++x)
                fine.setPixel(x, y, (x + y) % 2 ? 0xffffffff : 0xff000000);
        flow->setSlide(1, fine);
        const QImage large = flow->slide(1);
        flow->resize(320, 335);
        QVERIFY(flow->slide(1).width() < large.width());
        flow->resize(854, 480);
        QCOMPARE(flow->slide(1), large);
    }
};

QTEST_MAIN(TestPictureFlow)
#include "tst_pictureflow.moc"
