#include <QQuickItem>

#include "screens/sharing/blipdialog.h"
#include "logic/sharing/twitterclient.h"
#include "screens/sharing/twitterdialog.h"
#include "screens/article/articlewidget.h"
#include "screens/article/photosscrollwidget.h"
#include "screens/sharing/sharearticledialog.h"
#include "screens/gallery/gallery.h"
#include "screens/gallery/pictureflow.h"
#include "screens/gallery/pictureflowprivate.h"
#include "logic/news/settings.h"
#include "screens/settings/settingsview.h"
#include "screens/settings/toolbox.h"
#include "screens/briefcase/briefcasewidget.h"
#include "screens/shell/splashwidget.h"
#include "screens/widgets/textscale.h"
#include "tests/support/perscale.h"
#include "tests/support/screenfixtures.h"

// Every screen, overlay and dialog laid out in the real host at phone, tablet and desktop
// window sizes: nothing outside the window, bars across it with their end buttons at its
// edges, fixed panels centred and shrunk only where the window is narrower, and at the
// phone's own 480 x 854 and 854 x 480 the phone's geometry. The process runs once at each
// scale, fractional ones included: text is measured anew at each.
class TestLayout : public QObject, public MsgBoxListener
{
    Q_OBJECT
public:
    explicit TestLayout(qreal r) : ratio(r) {}
    void onMsgBoxAccepted() override {}
    void onMsgBoxRejected() override {}

private:
    const qreal ratio;
    QDeclarativeView* view = nullptr;
    Article source;

    static QRect in(const QWidget* w, const QWidget* window)
    {
        return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
    }

    static bool insideScrolledContent(const QWidget* w, const QWidget* window)
    {
        for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget()) {
            const QAbstractScrollArea* area = qobject_cast<const QAbstractScrollArea*>(p->parentWidget());
            if (area && area->viewport() == p)
                return true;
        }
        return false;
    }

    // Every visible widget lies inside its parent, hence inside the window. The phone's 80 px
    // buttons hang over its 79 px bottom bars by one pixel, which the bar clips. Widgets that
    // scroll inside a list, the column or the photo strip are clipped by their viewport, which
    // is itself checked.
    static void everythingInside(QWidget* window)
    {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->isVisible() || w->isWindow() || insideScrolledContent(w, window))
                continue;
            const QRect room = w->parentWidget()->rect().adjusted(-1, -1, 1, 1);
            QVERIFY2(room.contains(w->geometry()),
                     qPrintable(QString("%1 %2 lies at %3,%4 %5x%6 outside its %7 %8 of %9x%10")
                                    .arg(w->metaObject()->className(), w->objectName())
                                    .arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height())
                                    .arg(w->parentWidget()->metaObject()->className(), w->parentWidget()->objectName())
                                    .arg(w->parentWidget()->width()).arg(w->parentWidget()->height())));
        }
    }

    // A button's picture shows whole, shrunk if need be: at mid-height both ends of the button are
    // the picture's dark outline or its transparent margin, never the middle of a cut picture.
    static void pictureWhole(QWidget* b)
    {
        QImage shown(b->size(), QImage::Format_ARGB32_Premultiplied);
        shown.fill(Qt::transparent);
        b->render(&shown, QPoint(), QRegion(), QWidget::RenderFlags());
        for (int x : {0, shown.width() - 1}) {
            const QRgb p = shown.pixel(x, shown.height() / 2);
            QVERIFY2(qAlpha(p) < 128 || qMax(qRed(p), qMax(qGreen(p), qBlue(p))) < 64,
                     qPrintable(QString("%1 %2 px wide is cut at %3").arg(b->objectName()).arg(b->width()).arg(x)));
        }
    }

    static QList<QPushButton*> buttonsOf(QWidget* bar)
    {
        QList<QPushButton*> shown;
        for (QPushButton* b : bar->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (b->isVisible())
                shown << b;
        }
        std::sort(shown.begin(), shown.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
        return shown;
    }

    // A bar spans the window; its outer buttons touch the edges (within the bar's margin), a lone
    // button of a bottom bar sits in the middle, a top bar's exit button is always on the right.
    static void barAcross(QWidget* window, QWidget* bar, int margin = 0)
    {
        QVERIFY(bar && bar->isVisible());
        QCOMPARE(in(bar, window).left(), 0);
        QCOMPARE(bar->width(), window->width());
        const QList<QPushButton*> buttons = buttonsOf(bar);
        QVERIFY(!buttons.isEmpty());
        QPushButton* exit = bar->findChild<QPushButton*>("exitButton");
        if (!exit)
            exit = bar->findChild<QPushButton*>("buttonExit");
        if (exit) {
            QVERIFY(exit->geometry().right() >= bar->width() - 1 - margin);
            QPushButton* back = bar->findChild<QPushButton*>("backButton");
            if (back && back->isVisible())
                QVERIFY(back->x() <= margin);
            return;
        }
        if (buttons.size() == 1) {
            QVERIFY(qAbs(buttons.first()->geometry().center().x() - bar->width() / 2) <= 1);
            return;
        }
        QVERIFY2(buttons.first()->x() <= margin, qPrintable(bar->objectName() + " " + buttons.first()->objectName()
                                                              + " at " + QString::number(buttons.first()->x())));
        QVERIFY2(buttons.last()->geometry().right() >= bar->width() - 1 - margin,
                 qPrintable(bar->objectName() + " " + buttons.last()->objectName()));
    }

    static bool designed(const QSize& size) { return size == QSize(480, 854) || size == QSize(854, 480); }

    void openHost(const QSize& size)
    {
        TestEnv::clearData();
        view = Screens::openHost(size);
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }

    MainWidget* openMain(const QSize& size)
    {
        openHost(size);
        hideSplashQML();
        MainWidget* main = MainWidget::getInstance();
        if (main)
            (void)QTest::qWaitFor([main] { return main->isEnabled(); });
        return main;
    }

    // Every window size at scale 1; at the other scales the phones, where the text is tightest.
    QList<QSize> windowSizes() const
    {
        if (ratio != 1)
            return {QSize(320, 480), QSize(360, 720), QSize(480, 854)};
        return {QSize(320, 480), QSize(360, 720), QSize(432, 936), QSize(480, 854), QSize(854, 480),
                QSize(720, 1280), QSize(1280, 800)};
    }

    void sizes() const
    {
        QTest::addColumn<QSize>("size");
        for (const QSize& s : windowSizes())
            QTest::newRow(qPrintable(QString("%1x%2").arg(s.width()).arg(s.height()))) << s;
        // The largest text, on the smallest screens.
        for (const QSize& s : {QSize(320, 480), QSize(360, 720)})
            QTest::newRow(qPrintable(QString("%1x%2 text 200 %").arg(s.width()).arg(s.height()))) << s;
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        registerQmlElements();
    }

    void init()
    {
        TextScale::set(QByteArray(QTest::currentDataTag()).endsWith("200 %") ? 200 : 100);
    }

    void cleanup()
    {
        TextScale::set(100);
        Screens::closeHost(view);
        view = nullptr;
    }

    void splashPicturesAreWholeAndInProportion_data() { sizes(); }
    void splashPicturesAreWholeAndInProportion()
    {
        QFETCH(QSize, size);
        openHost(size);
        SplashWidget* splash = view->findChild<SplashWidget*>();
        QVERIFY(splash);
        QCOMPARE(splash->geometry(), QRect(QPoint(0, 0), size));
        everythingInside(view);
        QLabel* label = splash->findChild<QLabel*>("label");
        QPixmap advert(300, 500);
        advert.fill(Qt::darkGreen);
        for (const QSize& natural : {QSize(480, 854), advert.size()}) {
            if (natural == advert.size())
                splash->showPicture(advert);
            const QSize shown = label->pixmap(Qt::ReturnByValue).size() / label->pixmap(Qt::ReturnByValue).devicePixelRatio();
            // As large as fits, whole, its proportions kept, in the middle.
            QVERIFY(shown.width() <= size.width() && shown.height() <= size.height());
            QVERIFY(shown.width() >= size.width() - 1 || shown.height() >= size.height() - 1);
            QVERIFY(qAbs(shown.width() * natural.height() - shown.height() * natural.width())
                    <= qMax(natural.width(), natural.height()));
            QCOMPARE(label->geometry(), splash->rect());
        }
        if (size == QSize(480, 854)) {
            splash->showPicture(QPixmap(":/IMG/SPLASH"));
            QCOMPARE(label->pixmap(Qt::ReturnByValue).deviceIndependentSize().toSize(), QSize(480, 854));
        }
    }

    void listsAndBriefcase_data() { sizes(); }
    void listsAndBriefcase()
    {
        QFETCH(QSize, size);
        MainWidget* main = openMain(size);
        QVERIFY(main);
        QCOMPARE(main->geometry(), QRect(QPoint(0, 0), size));

        BaseWidget* list = Screens::onTop<BaseWidget>(main);
        QCOMPARE(list->metaObject()->className(), "ArticlesListWidget");
        QCOMPARE(list->geometry(), main->rect());
        everythingInside(view);
        barAcross(list, list->findChild<QWidget*>("frame_2"));
        barAcross(list, list->findChild<QWidget*>("frame"));
        QListView* rows = list->findChild<QListView*>("listView");
        QCOMPARE(rows->width(), size.width());
        // Rows grow with the text: the whole title fits in its row.
        for (int r = 0; r < rows->model()->rowCount(); ++r) {
            const QModelIndex row = rows->model()->index(r, 0);
            if (row.data(ItemTypeRole).toInt() == ItemTypeNormal)
                QVERIFY(row.data(ItemHeightRole).toInt() >= row.data(ItemMainTextHeightRole).toInt() + 15);
        }
        if (designed(size)) {
            QCOMPARE(list->findChild<QWidget*>("frame_2")->geometry(), QRect(0, 0, size.width(), 89));
            QCOMPARE(list->findChild<QWidget*>("exitButton")->geometry(), QRect(size.width() - 89, 0, 89, 89));
            QCOMPARE(list->findChild<QWidget*>("frame")->geometry(), QRect(0, size.height() - 79, size.width(), 79));
        }

        emit list->backClicked();
        BaseWidget* categories = Screens::settled<BaseWidget>(main);
        QCOMPARE(categories->metaObject()->className(), "CategoryListWidget");
        everythingInside(view);
        barAcross(categories, categories->findChild<QWidget*>("frame_2"));
        barAcross(categories, categories->findChild<QWidget*>("frame"));
        QCOMPARE(categories->findChild<QListView*>("listView")->width(), size.width());
        if (designed(size))
            QCOMPARE(categories->findChild<QWidget*>("exitButton")->geometry(), QRect(size.width() - 89, 0, 89, 89));

        main->teczkaSelected();
        BaseWidget* teczka = Screens::settled<BaseWidget>(main);
        QVERIFY(qobject_cast<TeczkaWidget*>(teczka));
        everythingInside(view);
        barAcross(teczka, teczka->findChild<QWidget*>("frame_2"));
        barAcross(teczka, teczka->findChild<QWidget*>("frame"));
    }

    void articleWithPhotosAndItsPanels_data() { sizes(); }
    void articleWithPhotosAndItsPanels()
    {
        QFETCH(QSize, size);
        MainWidget* main = openMain(size);
        QVERIFY(main);
        Screens::makeArticle(source, 2, 700);
        main->articleSelected(source);
        ArticleWidget* screen = Screens::settled<ArticleWidget>(main);
        QVERIFY(screen);
        QPixmap picture(400, 300);
        picture.fill(Qt::darkRed);
        const QList<Photo*> photos = screen->findChildren<Photo*>();
        QCOMPARE(photos.size(), 2);
        for (Photo* p : photos)
            emit p->photoChanged(picture);
        QTest::qWait(50);
        PhotosScrollWidget* strip = screen->findChild<PhotosScrollWidget*>("photoWidget");
        QVERIFY(strip && strip->isVisible());
        everythingInside(view);
        barAcross(screen, screen->findChild<QWidget*>("frame"));
        barAcross(screen, screen->findChild<QWidget*>("frame_2"));
        // The author strip holds every line of its text at this width, 36 px a line (the label
        // asks for a pixel more for one line than the strip's design gives it).
        QLabel* author = screen->findChild<QLabel*>("authorLabel");
        QVERIFY2(author->heightForWidth(author->width()) <= author->height() + 2 && author->height() % 36 == 0,
                 qPrintable(QString("%1 of %2").arg(author->height()).arg(author->heightForWidth(author->width()))));
        QAbstractScrollArea* column = screen->findChild<QAbstractScrollArea*>("scrollArea");
        QCOMPARE(column->width(), size.width());
        if (designed(size)) {
            QCOMPARE(screen->findChild<QWidget*>("frame")->geometry(), QRect(0, 0, size.width(), 53));
            QCOMPARE(screen->findChild<QWidget*>("frame_2")->geometry(),
                     QRect(0, size.height() - 79, size.width(), 79));
        }

        // The second photo, paged in by its dot.
        QList<QPushButton*> dots = buttonsOf(strip->findChild<QWidget*>("bottomFrame"));
        QCOMPARE(dots.size(), 2);
        dots.last()->click();
        QAbstractScrollArea* pages = strip->findChild<QAbstractScrollArea*>("scrollArea");
        QTRY_VERIFY(pages->horizontalScrollBar()->value() >= pages->viewport()->width() - 1);
        everythingInside(view);

        // Sharing: the panel of the design's size, centred, or the window's where it is narrower.
        screen->findChild<QPushButton*>("shareButton")->click();
        ShareArticleDialog* share = screen->findChild<ShareArticleDialog*>();
        QVERIFY(share && share->isVisible());
        QTest::qWait(20);
        QCOMPARE(share->geometry(), screen->rect());
        everythingInside(view);
        QWidget* panel = share->form()->mainFrame;
        const QSize expected = QSize(439, 450).boundedTo(size);
        QCOMPARE(panel->size(), expected);
        QVERIFY(qAbs(in(panel, share).center().x() - share->rect().center().x()) <= 1);
        QVERIFY(qAbs(in(panel, share).center().y() - share->rect().center().y()) <= 1);
        for (QPushButton* b : panel->findChildren<QPushButton*>())
            pictureWhole(b);
        if (size == QSize(480, 854))
            QCOMPARE(in(panel, share), QRect(20, 202, 439, 450));
        if (size == QSize(854, 480))
            QCOMPARE(in(panel, share), QRect(207, 15, 439, 450));

        // The Twitter and Blip panels take the share panel's place, as the share buttons put them.
        panel->hide();
        TwitterClient client;
        TwitterDialog* twitter = new TwitterDialog(&client, share);
        share->form()->gridLayout_2->addWidget(twitter, 0, 0);
        twitter->show();
        QTest::qWait(20);
        everythingInside(view);
        QWidget* twitterFrame = twitter->findChild<QWidget*>("frame");
        QVERIFY(twitterFrame->width() >= qMin(439, size.width()));
        QVERIFY(qAbs(in(twitterFrame, share).center().x() - share->rect().center().x()) <= 1);
        if (designed(size))
            QCOMPARE(twitter->findChild<QWidget*>("widget")->width(), 360);
        delete twitter;

        BlipDialog* blip = new BlipDialog(share);
        share->form()->gridLayout_2->addWidget(blip, 0, 0);
        blip->show();
        QTest::qWait(20);
        everythingInside(view);
        QCOMPARE(blip->findChild<QWidget*>("frame")->size(), QSize(439, 450).boundedTo(size));
        delete blip;
    }

    // The settings screen at every size at once, so each section's opening slide is waited for once.
    void settingsWithEachSectionOpen()
    {
        TestEnv::clearData();
        Settings model(nullptr);
        QVector<QSize> sizes;
        QVector<SettingsView*> screens;
        for (const QSize& size : windowSizes()) {
            SettingsView* screen = new SettingsView(&model, nullptr);
            screen->resize(size);
            screen->show();
            sizes << size;
            screens << screen;
        }
        auto cleanup = qScopeGuard([&] { qDeleteAll(screens); });
        QVERIFY(QTest::qWaitForWindowExposed(screens.last()));
        for (int i = 0; i < screens.size(); ++i) {
            everythingInside(screens[i]);
            barAcross(screens[i], screens[i]->findChild<QWidget*>("frame_2"));
            barAcross(screens[i], screens[i]->findChild<QWidget*>("frame"));
        }
        for (int id = 0; screens.first()->accordion()->header(id); ++id) {
            for (SettingsView* screen : screens)
                QTest::mouseClick(screen->accordion()->header(id), Qt::LeftButton);
            for (SettingsView* screen : screens)
                QTRY_VERIFY_WITH_TIMEOUT(screen->accordion()->isEnabled(), 2000);
            for (int i = 0; i < screens.size(); ++i) {
                const QSize size = sizes[i];
                Toolbox* box = screens[i]->accordion();
                everythingInside(screens[i]);
                // A tab is as wide as the screen up to the phone's 480 (it runs on under the scroll
                // bar), and so is what the open section shows.
                QAbstractButton* tab = box->header(id);
                QVERIFY(tab->width() >= qMin(480, size.width()) - 11);
                QVERIFY2(tab->width() <= size.width(), qPrintable(QString::number(tab->width())));
                // The open section's page follows its tab in the toolbox's column.
                QWidget* page = static_cast<QWidget*>(box)->layout()->itemAt(static_cast<QWidget*>(box)->layout()->indexOf(tab) + 1)->widget();
                QVERIFY(page && page->height() > 0);
                for (QWidget* w : page->findChildren<QWidget*>()) {
                    if (w->isVisible() && w->objectName().startsWith("buttonRushHours"))
                        pictureWhole(w);
                    if (w->isVisible())
                        QVERIFY2(in(w, box).right() < qMax(box->width(), tab->width()),
                                 qPrintable(QString("%1 at %2x%3: %4 %5 ends at %6")
                                                .arg(id).arg(size.width()).arg(size.height())
                                                .arg(w->metaObject()->className(), w->objectName())
                                                .arg(in(w, box).right())));
                }
                if (size == QSize(480, 854))
                    QCOMPARE(tab->size(), QSize(480, 75));
            }
        }
    }

    void gallery_data() { sizes(); }
    void gallery()
    {
        QFETCH(QSize, size);
        MainWidget* main = openMain(size);
        QVERIFY(main);
        Gallery* screen = new Gallery(nullptr);
        main->pushWidget(screen, false);
        QTest::qWait(20);
        QCOMPARE(screen->geometry(), main->rect());
        everythingInside(view);
        barAcross(screen, screen->findChild<QWidget*>("frame"), 2);
        // The bottom bar's three buttons share its width.
        QWidget* bottom = screen->findChild<QWidget*>("frame_2");
        barAcross(screen, bottom, bottom->width() / 3);
        const QList<QPushButton*> buttons = buttonsOf(bottom);
        QCOMPARE(buttons.size(), 3);
        PictureFlow* flow = screen->findChild<PictureFlow*>("widgetPictureFlow");
        QCOMPARE(flow->width(), size.width());
        QCOMPARE(flow->height(), size.height() - 69 - 76);
        // The centre slide lies whole inside the cover-flow, and a tap at its right edge moves on.
        flow->loading = false;
        flow->setSlideCount(3);
        flow->render();
        PictureFlowPrivate* d = flow->implementation();
        QVERIFY2(d->buffer.rect().contains(d->centerSlideRect) && d->centerSlideRect.width() >= d->slideWidth - 2,
                 qPrintable(QString("slide at %1,%2 %3x%4").arg(d->centerSlideRect.x()).arg(d->centerSlideRect.y())
                                .arg(d->centerSlideRect.width()).arg(d->centerSlideRect.height())));
        QTest::mouseClick(flow, Qt::LeftButton, Qt::NoModifier, QPoint(flow->width() - 12, flow->height() / 2));
        QCOMPARE(d->target, 1);
        if (designed(size)) {
            for (QPushButton* b : buttons)
                QCOMPARE(b->size(), QSize(120, 76));
            QCOMPARE(bottom->geometry(), QRect(0, size.height() - 76, size.width(), 76));
            QCOMPARE(screen->findChild<QWidget*>("frame")->geometry(), QRect(0, 0, size.width(), 69));
        }
    }

    void queryDialog_data() { sizes(); }
    void queryDialog()
    {
        QFETCH(QSize, size);
        MainWidget* main = openMain(size);
        QVERIFY(main);
        MessageBox::showQuestion(QString::fromUtf8("Czy na pewno chcesz zamknąć aplikację? ").repeated(3), "", this);
        QWidget* dialog = nullptr;
        for (QWidget* w : view->findChildren<QWidget*>("queryDialog")) {
            if (w->isVisible())
                dialog = w;
        }
        QVERIFY(dialog);
        QCOMPARE(dialog->geometry(), view->rect());
        everythingInside(view);
        QWidget* box = dialog->findChild<QWidget*>("queryDialogBox");
        QVERIFY(qAbs(in(box, view).center().x() - view->rect().center().x()) <= 1);
    }

    void aWindowSuitsTheScreen()
    {
        // Phone screens, upright or sideways, are filled; larger screens get an upright window.
        for (const QSize& phone : {QSize(360, 720), QSize(432, 936), QSize(854, 480), QSize(600, 1024)})
            QVERIFY(QDeclarativeView::fillsScreen(phone));
        for (const QSize& desk : {QSize(1920, 1080), QSize(2560, 1440), QSize(800, 1280)})
            QVERIFY(!QDeclarativeView::fillsScreen(desk));
        // Full screen where nothing manages windows; a Wayland phone shell maximises the window.
        QCOMPARE(QDeclarativeView::windowMode("xcb", QSize(360, 720)), QDeclarativeView::FullScreen);
        QCOMPARE(QDeclarativeView::windowMode("wayland", QSize(360, 720)), QDeclarativeView::ShellMaximised);
        QCOMPARE(QDeclarativeView::windowMode("wayland", QSize(1920, 1080)), QDeclarativeView::PhoneSized);
        QCOMPARE(QDeclarativeView::windowPlacement(QRect(0, 0, 1920, 1080)), QRect(720, 113, 480, 854));
        QCOMPARE(QDeclarativeView::windowPlacement(QRect(1920, 0, 2560, 1440)), QRect(1920 + 1040, 293, 480, 854));
        // A short monitor: the window keeps within its free area, still upright.
        const QRect low = QDeclarativeView::windowPlacement(QRect(0, 30, 1280, 770));
        QVERIFY(QRect(0, 30, 1280, 770).contains(low));
        QVERIFY(low.height() > low.width());
        // The window carries the installed icon's pictures.
        const QIcon icon = QDeclarativeView::applicationIcon();
        QCOMPARE(icon.availableSizes().size(), 7);
        const QImage shown = icon.pixmap(QSize(48, 48), 1.0).toImage();
        const QImage installed(KURENDAL_ICON_DIR "/48x48/apps/pl.kurendal.Kurendal.png");
        QCOMPARE(shown.size(), installed.size());
        for (const QPoint at : {QPoint(24, 24), QPoint(24, 8), QPoint(12, 36)})
            QCOMPARE(shown.pixel(at), installed.pixel(at));
    }
};

int main(int argc, char** argv)
{
    return runAtScales<TestLayout>(argc, argv, {1, 1.25, 1.5, 1.75, 2, 2.5, 3});
}

#include "tst_layout.moc"
