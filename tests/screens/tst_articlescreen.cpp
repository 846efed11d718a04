#include "logic/news/briefcasestore.h"
#include "screens/article/articlescrollarea.h"
#include "screens/article/articlewidget.h"
#include "screens/article/photoscontentwidget.h"
#include "screens/article/photoscrollarea.h"
#include "screens/article/photosscrollwidget.h"
#include "tests/support/screenfixtures.h"

// The article screen: touch arbitration between the column and the photo strip,
// the page dots, rotation and the briefcase buttons.
class TestArticleScreen : public QObject
{
    Q_OBJECT
private:
    Article source;
    ArticleWidget* screen = nullptr;
    SavedArticles* saved = nullptr;

    void open(int photos, const QSize& size = QSize(480, 854))
    {
        Screens::makeArticle(source, photos);
        screen = new ArticleWidget(source, nullptr);
        QVERIFY(Screens::show(screen, size));
        QCOMPARE(Screens::photosArrive(screen), photos);
    }

    PhotosScrollWidget* strip() const { return screen->findChild<PhotosScrollWidget*>("photoWidget"); }
    ArticleScrollArea* column() const { return screen->findChild<ArticleScrollArea*>("scrollArea"); }
    int columnValue() const { return column()->verticalScrollBar()->value(); }
    int stripValue() const { return strip()->scrollArea()->horizontalScrollBar()->value(); }
    QPoint stripCentre() const
    {
        PhotoScrollArea* area = strip()->scrollArea();
        return area->mapTo(screen, QPoint(area->width() / 2, area->height() / 3));
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        TestEnv::clearData();
        saved = new SavedArticles(nullptr);
    }

    void cleanupTestCase() { delete saved; }

    void cleanup()
    {
        delete screen;
        screen = nullptr;
    }

    void theAuthorStripFollowsSignatureAndDate()
    {
        open(0);
        QLabel* author = screen->findChild<QLabel*>("authorLabel");
        QCOMPARE(author->text(), QString("<b>Jan Nowak</b>, 06-12-2026, 14:00"));
        QCOMPARE(author->height(), 36);
        delete screen;

        source.signature = QString("Zespół redakcyjny działu krajowego ").repeated(6).trimmed();
        screen = new ArticleWidget(source, nullptr);
        author = screen->findChild<QLabel*>("authorLabel");
        QVERIFY(author->minimumHeight() >= 72);
        QCOMPARE(author->minimumHeight() % 36, 0);
        delete screen;

        source.signature.clear();
        source.date.clear();
        screen = new ArticleWidget(source, nullptr);
        QVERIFY(screen->findChild<QLabel*>("authorLabel")->isHidden());
    }

    // The first moves decide nothing, nor does a small wobble; then the direction gives the swipe to
    // the strip or the column alone.
    void aSwipeOnTwoPhotosMovesTheStripOrTheColumn_data()
    {
        QTest::addColumn<QPoint>("step");
        QTest::addColumn<bool>("pages");
        QTest::newRow("horizontal") << QPoint(-16, 3) << true;
        QTest::newRow("vertical") << QPoint(3, -12) << false;
    }
    void aSwipeOnTwoPhotosMovesTheStripOrTheColumn()
    {
        QFETCH(QPoint, step);
        QFETCH(bool, pages);
        open(2);
        QVERIFY(strip()->isVisible());
        QCOMPARE(strip()->dots().size(), 2);
        QVERIFY(strip()->dotsFrame()->isVisible());
        QVERIFY(strip()->dots().at(0)->isChecked());
        Finger finger(screen);
        const QPoint from = stripCentre();
        finger.press(from);
        for (int i = 1; i <= 8; ++i)
            finger.move(from + QPoint(i % 2 ? 6 : -6, i % 2 ? 5 : -5));
        finger.release(from);
        QTest::qWait(250);
        QCOMPARE(columnValue(), 0);
        QCOMPARE(stripValue(), 0);

        // A swipe: its first moves move nothing yet.
        finger.press(from);
        for (int i = 1; i <= 12; ++i) {
            finger.move(from + step * i);
            if (i < 4)
                QVERIFY(columnValue() == 0 && stripValue() == 0);
        }
        finger.release(from + step * 12);
        QTRY_COMPARE(strip()->scrollArea()->getCurrentPage(), pages ? 1 : 0);
        QTRY_VERIFY(!strip()->scrollArea()->isAnimating());
        QCOMPARE(columnValue() > 0, !pages);
        QCOMPARE(stripValue() > 0, pages);
        QCOMPARE(strip()->dots().at(1)->isChecked(), pages);
        QCOMPARE(strip()->dots().at(0)->isChecked(), !pages);
    }

    // Long or quick swipes turn the page both ways; a short slow one snaps back.
    void swipesTurnThePageByLengthOrSpeed_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("length"); // of the strip's width; negative is to the left
        QTest::addColumn<int>("pauseMs");   // between moves
        QTest::addColumn<bool>("turns");
        for (const QSize& size : {QSize(480, 854), QSize(360, 720)}) {
            for (double length : {-0.4, -0.55, -0.72, 0.4, 0.55, 0.72})
                for (int pause : {4, 40})
                    QTest::addRow("%dx%d %+.2f every %d ms", size.width(), size.height(), length, pause)
                        << size << length << pause << true;
            for (double length : {-0.2, 0.2}) {
                QTest::addRow("%dx%d %+.2f quick", size.width(), size.height(), length) << size << length << 2 << true;
                QTest::addRow("%dx%d %+.2f slow", size.width(), size.height(), length) << size << length << 60 << false;
            }
        }
    }
    void swipesTurnThePageByLengthOrSpeed()
    {
        QFETCH(QSize, size);
        QFETCH(double, length);
        QFETCH(int, pauseMs);
        QFETCH(bool, turns);
        open(2, size);
        // The strip takes the height of the photo shown.
        emit screen->article->photos.at(1)->photoChanged(QPixmap::fromImage(Screens::filled(QSize(300, 420), Qt::darkBlue)));
        QTest::qWait(50);
        PhotoScrollArea* area = strip()->scrollArea();
        const int w = area->width();
        const int from = length > 0 ? 1 : 0;
        area->scrollToPage(from);
        QTRY_VERIFY(!area->isAnimating());
        const QPoint start = area->mapTo(screen, QPoint(length < 0 ? w - 12 : 12, area->height() / 3));
        Finger finger(screen);
        finger.press(start);
        const int moves = 10;
        for (int i = 1; i <= moves; ++i) {
            QTest::qWait(pauseMs);
            finger.move(start + QPoint(qRound(length * w * i / moves), i / 3));
            if (i == moves / 2) // the strip takes the height of the photo now current, as its layout does
                strip()->resize(strip()->width(), strip()->height() + 40);
        }
        finger.release(start + QPoint(qRound(length * w), moves / 3));
        QTRY_VERIFY(!area->isAnimating());
        const int page = turns ? 1 - from : from;
        QCOMPARE(area->getCurrentPage(), page);
        QVERIFY(qAbs(stripValue() - page * w) <= 1);
        QVERIFY(strip()->dots().at(page)->isChecked());
        QCOMPARE(columnValue(), 0);
    }

    void withOnePhotoTheColumnScrollsFromTheFirstMove()
    {
        open(1);
        QVERIFY(strip()->dotsFrame()->isHidden());
        Finger finger(screen);
        const QPoint from = stripCentre();
        finger.press(from);
        finger.move(from - QPoint(0, 30));
        QCOMPARE(columnValue(), 30);
        finger.release(from - QPoint(0, 30));
    }

    void aDotMovesOnePageTowardsItselfAndRotationKeepsThePhoto()
    {
        open(3);
        QTest::mouseClick(strip()->dots().at(2), Qt::LeftButton);
        QTRY_VERIFY(!strip()->scrollArea()->isAnimating());
        QCOMPARE(strip()->scrollArea()->getCurrentPage(), 1);
        QVERIFY(strip()->dots().at(1)->isChecked());
        QVERIFY(!strip()->dots().at(2)->isChecked());
        QTest::mouseClick(strip()->dots().at(0), Qt::LeftButton);
        QTRY_VERIFY(!strip()->scrollArea()->isAnimating());
        QCOMPARE(strip()->scrollArea()->getCurrentPage(), 0);
        // Tapping the current page's dot leaves everything as it is.
        QTest::mouseClick(strip()->dots().at(0), Qt::LeftButton);
        QTest::qWait(250);
        QCOMPARE(strip()->scrollArea()->getCurrentPage(), 0);
        QVERIFY(strip()->dots().at(0)->isChecked());

        // Rotation keeps the current photo.
        strip()->scrollArea()->scrollToPage(2);
        QTRY_VERIFY(!strip()->scrollArea()->isAnimating());
        QCOMPARE(strip()->contents()->getCurrentIndex(), 2);

        screen->resize(854, 480);
        QTest::qWait(400);
        const int w = strip()->scrollArea()->width();
        QCOMPARE(w, strip()->width());
        QVERIFY(w > 480);
        QCOMPARE(strip()->contents()->getCurrentIndex(), 2);
        QCOMPARE(strip()->contents()->widgetAt(2)->x(), 2 * w);
        QVERIFY(qAbs(stripValue() - 2 * w) <= 1);
        QVERIFY(strip()->dots().at(2)->isChecked());
    }

    void aFullBriefcaseAnsweredNoStaysAsItWas()
    {
        while (saved->getArticles().size() < SavedArticles::maxArticles) {
            Article a;
            a.xx = 9000 + saved->getArticles().size();
            a.title = "Zapisany";
            QVERIFY(saved->addArticle(a));
        }
        const QVector<int> before = Screens::ids(*saved);

        open(0);
        Boxes boxes;
        QPushButton* add = screen->findChild<QPushButton*>("teczkaAddButton");
        QPushButton* remove = screen->findChild<QPushButton*>("teczkaRemoveButton");
        QVERIFY(add->isVisible() && !remove->isVisible());
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.last().kind, MessageBox::Shown::Question);
        QCOMPARE(boxes.last().text, QString::fromUtf8("Masz już za dużo artykułów w teczce. Czy chcesz usunąć "
                                                      "najstarszy artykuł z teczki i dodać ten artykuł?"));
        QCOMPARE(boxes.last().title, QString::fromUtf8("Pytanie"));
        QCOMPARE(boxes.last().listener, static_cast<MsgBoxListener*>(screen));
        boxes.reject(); // "Nie"
        QCOMPARE(Screens::ids(*saved), before);
        QVERIFY(add->isVisible() && !remove->isVisible());

        // "Tak": the oldest goes, this article comes in first.
        QTest::mouseClick(add, Qt::LeftButton);
        boxes.accept(); // "Tak"
        QCOMPARE(boxes.last().text, QString::fromUtf8("Artykuł dodano do teczki."));
        QCOMPARE(boxes.last().kind, MessageBox::Shown::Information);
        QCOMPARE(Screens::ids(*saved), QVector<int>{source.xx} + before.mid(0, before.size() - 1));
        QVERIFY(!remove->isHidden() && add->isHidden());

        QTest::mouseClick(remove, Qt::LeftButton);
        QVERIFY(!SavedArticles::isArticleInSavedArticles(source));
        QCOMPARE(boxes.last().text, QString::fromUtf8("Artykuł został usunięty z teczki."));
        QVERIFY(add->isVisible() && !remove->isVisible());
        // Added while there is room: said so at once.
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(boxes.last().text, QString::fromUtf8("Artykuł dodano do teczki."));
        QCOMPARE(boxes.shown.size(), 5); // two questions, three notes
        QVERIFY(!remove->isHidden() && add->isHidden());
    }
};

QTEST_MAIN(TestArticleScreen)
#include "tst_articlescreen.moc"
