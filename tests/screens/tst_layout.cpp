#include <QQuickItem>

#include "logic/base/hidpi.h"
#include "logic/news/photo.h"
#include "logic/news/settings.h"
#include "logic/sharing/twitterclient.h"
#include "platform/programwindow.h"
#include "screens/article/articleform.h"
#include "screens/article/articlephotowidget.h"
#include "screens/article/articlewidget.h"
#include "screens/article/photosscrollwidget.h"
#include "screens/articlelist/articleitemdelegate.h"
#include "screens/articlelist/articleslistform.h"
#include "screens/briefcase/briefcaseform.h"
#include "screens/briefcase/briefcasewidget.h"
#include "screens/categories/categorylistform.h"
#include "screens/categories/channelitemdelegate.h"
#include "screens/gallery/gallery.h"
#include "screens/gallery/galleryform.h"
#include "screens/gallery/pictureflow.h"
#include "screens/gallery/pictureflowprivate.h"
#include "screens/settings/settingspages.h"
#include "screens/settings/settingsview.h"
#include "screens/settings/toolbox.h"
#include "screens/sharing/blipdialog.h"
#include "screens/sharing/sharearticledialog.h"
#include "screens/sharing/twitterdialog.h"
#include "screens/shell/splashwidget.h"
#include "screens/widgets/busylabel.h"
#include "screens/widgets/textscale.h"
#include "tests/support/perscale.h"
#include "tests/support/screenfixtures.h"

// Every screen, overlay and dialog laid out in the real host at phone, tablet and desktop sizes:
// nothing outside the window, bars across it, fixed panels centred, the phone's geometry at its
// own sizes. Pictures are drawn for the density (never the 1x one blown up), and picture-only
// buttons have names. The process runs once at each scale: text is measured anew at each.
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
    QList<QWidget*> screens; // the screens' forms, at the phone's size

    // The widget alone (no children, no parent's background) in device pixels, over transparency.
    QImage alone(QWidget* w) const
    {
        QImage image = Screens::filled(w->size() * ratio, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        w->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

    static bool same(QRgb a, QRgb b, int tolerance)
    {
        return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
               && qAbs(qBlue(a) - qBlue(b)) <= tolerance && qAbs(qAlpha(a) - qAlpha(b)) <= tolerance;
    }

    // How much a trip down to 1x and back loses, per pixel on an edge: little for a picture blown
    // up from 1x (its pixels repeated or smoothed), its fine detail for one drawn for this density.
    double detailLost(const QImage& image) const
    {
        const QImage im = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QSize small(qMax(1, qRound(im.width() / qreal(ratio))), qMax(1, qRound(im.height() / qreal(ratio))));
        const QImage back = im.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .scaled(im.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const auto distance = [](QRgb a, QRgb b) {
            return qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b))
                   + qAbs(qAlpha(a) - qAlpha(b));
        };
        double lost = 0;
        int edges = 0;
        for (int y = 0; y + 1 < im.height(); ++y) {
            for (int x = 0; x + 1 < im.width(); ++x) {
                const QRgb a = im.pixel(x, y);
                lost += distance(a, back.pixel(x, y));
                edges += distance(a, im.pixel(x + 1, y)) > 16 || distance(a, im.pixel(x, y + 1)) > 16 ? 1 : 0;
            }
        }
        return edges ? lost / edges : 0;
    }

    // Whether `shown` holds the picture drawn for this density rather than its 1x picture blown
    // up: its fine detail is nearer the picture's own than the blown-up one's. At 1x they are one.
    QString detail(const QImage& shown, const QString& alias) const
    {
        if (ratio == 1)
            return QString();
        const QImage plain(alias);
        const QSize size = plain.size() * ratio;
        const QImage picture =
            QImage(Hidpi::variant(alias, ratio)).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double own = detailLost(picture);
        const double flat = detailLost(plain.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        const double seen = detailLost(shown);
        return own > flat && (seen - flat) * 2 >= own - flat
                   ? QString()
                   : QString("detail %1, drawn for this density %2, blown up %3").arg(seen).arg(own).arg(flat);
    }

    QRect device(int x, int y, int width, int height) const
    {
        return QRectF(x * ratio, y * ratio, width * ratio, height * ratio).toRect();
    }

    QWidget* screen(const QString& name) const
    {
        for (QWidget* s : screens)
            if (s->objectName() == name)
                return s;
        return nullptr;
    }

    template <class Form>
    void addForm(const QString& name)
    {
        QWidget* root = new QWidget;
        Form* form = new Form;
        form->setupUi(root);
        root->setObjectName(name);
        screens << root;
    }

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
        QImage shown = Screens::filled(b->size(), Qt::transparent, QImage::Format_ARGB32_Premultiplied);
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
        for (QPushButton* b : bar->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
            if (b->isVisible())
                shown << b;
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
        QCOMPARE(qApp->devicePixelRatio(), ratio);
        addForm<Ui::CategoryListWidget>("categories");
        addForm<Ui::ArticlesListWidget>("articles");
        addForm<Ui::TeczkaWidget>("teczka");
        addForm<Ui::ArticleWidget>("article");
        addForm<Ui_Gallery>("gallery");
        addForm<Ui_ShareArticleDialog>("share");
        QWidget* settings = new SettingsView(new Settings(this), nullptr);
        settings->setObjectName("settings");
        screens << settings;
        QWidget* hours = new QWidget;
        hours->setObjectName("hours");
        SettingsPages::hourButton(hours, "plus", true);
        SettingsPages::hourButton(hours, "minus", false);
        screens << hours;
        PhotosScrollWidget* strip = new PhotosScrollWidget;
        strip->setObjectName("photos");
        for (int i = 0; i < 3; ++i)
            strip->addPhotoWidget(new ArticlePhotoWidget(new Photo(strip), nullptr));
        screens << strip;
        for (QWidget* s : screens) {
            s->resize(480, 854);
            s->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(screens.last()));
    }

    void cleanupTestCase() { qDeleteAll(screens); }

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
        const QPixmap advert = QPixmap::fromImage(Screens::filled(QSize(300, 500), Qt::darkGreen));
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

    void listsBriefcaseQuestionAndGallery_data() { sizes(); }
    void listsBriefcaseQuestionAndGallery()
    {
        QFETCH(QSize, size);
        MainWidget* main = openMain(size);
        QVERIFY(main);
        QCOMPARE(main->geometry(), QRect(QPoint(0, 0), size));
        // The first category's list as the program opens, the categories behind it, the briefcase.
        for (const QString name : {"ArticlesListWidget", "CategoryListWidget", "TeczkaWidget"}) {
            if (name == "CategoryListWidget")
                emit Screens::onTop<BaseWidget>(main)->backClicked();
            else if (name == "TeczkaWidget")
                main->teczkaSelected();
            BaseWidget* list = Screens::settled<BaseWidget>(main);
            QVERIFY(list);
            QCOMPARE(QString(list->metaObject()->className()), name);
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
                QCOMPARE(list->findChild<QWidget*>("frame")->geometry(),
                         QRect(0, size.height() - 79, size.width(), 79));
            }
        }

        // A long question over the briefcase, its box in the middle.
        MessageBox::showQuestion(QString::fromUtf8("Czy na pewno chcesz zamknąć aplikację? ").repeated(3), "", this);
        const QList<QWidget*> dialogs = Screens::openDialogs(view);
        QCOMPARE(dialogs.size(), 1);
        QWidget* dialog = dialogs.first();
        QCOMPARE(dialog->geometry(), view->rect());
        everythingInside(view);
        QWidget* box = dialog->findChild<QWidget*>("queryDialogBox");
        QVERIFY(qAbs(in(box, view).center().x() - view->rect().center().x()) <= 1);

        // The gallery pushed over it all.
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
        QCOMPARE(flow->height(), size.height() - 69 - 76); // what coverFlowDrawsAtDevicePixels takes
        if (designed(size)) {
            for (QPushButton* b : buttons)
                QCOMPARE(b->size(), QSize(120, 76));
            QCOMPARE(bottom->geometry(), QRect(0, size.height() - 76, size.width(), 76));
            QCOMPARE(screen->findChild<QWidget*>("frame")->geometry(), QRect(0, 0, size.width(), 69));
        }
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
        QCOMPARE(Screens::photosArrive(screen), 2);
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
        QCOMPARE(screen->findChild<QAbstractScrollArea*>("scrollArea")->width(), size.width());
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
        QCOMPARE(panel->size(), QSize(439, 450).boundedTo(size));
        QVERIFY(qAbs(in(panel, share).center().x() - share->rect().center().x()) <= 1);
        QVERIFY(qAbs(in(panel, share).center().y() - share->rect().center().y()) <= 1);
        for (QPushButton* b : panel->findChildren<QPushButton*>())
            pictureWhole(b);

        // The Twitter and Blip panels take the share panel's place, as the share buttons put them.
        panel->hide();
        TwitterClient client;
        for (bool twitter : {true, false}) {
            QScopedPointer<QWidget> dialog(twitter ? static_cast<QWidget*>(new TwitterDialog(&client, share))
                                                   : new BlipDialog(share));
            share->form()->gridLayout_2->addWidget(dialog.data(), 0, 0);
            dialog->show();
            QTest::qWait(20);
            everythingInside(view);
            QWidget* frame = dialog->findChild<QWidget*>("frame");
            QVERIFY(qAbs(in(frame, share).center().x() - share->rect().center().x()) <= 1);
            if (!twitter)
                QCOMPARE(frame->size(), QSize(439, 450).boundedTo(size));
            else
                QVERIFY(frame->width() >= qMin(439, size.width()));
            if (twitter && designed(size))
                QCOMPARE(dialog->findChild<QWidget*>("widget")->width(), 360);
        }
    }

    // The settings screen at every size at once, so each section's opening slide is waited for once.
    void settingsWithEachSectionOpen()
    {
        TestEnv::clearData();
        Settings model(nullptr);
        QVector<SettingsView*> screens;
        for (const QSize& size : windowSizes()) {
            SettingsView* screen = new SettingsView(&model, nullptr);
            screen->resize(size);
            screen->show();
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
                const QSize size = windowSizes().at(i);
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

    void imagesCarryTheScreensDensity_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("image");
        // The plain gradients (bottom bar, the gallery's bars) look the same blown up: not listed.
        const struct { const char *screen, *widget, *image; } shown[] = {
            {"categories", "teczkButton", ":/IMG/TECZKA_SOFT_OFF"},
            {"categories", "refreshButton", ":/IMG/REFRESH_SOFT_OFF"},
            {"categories", "settingsButton", ":/IMG/SETTINGS_SOFT_OFF"},
            {"categories", "exitButton", ":/IMG/X_BUTTON"},
            {"categories", "frame_2", ":/IMG/TOP_BAR"},
            {"articles", "backButton", ":/IMG/BACK_BUTTON"},
            {"articles", "teczkaButton", ":/IMG/TECZKA_SOFT_OFF"},
            {"articles", "mainmenuButton", ":/IMG/MENU_GLOWNE_OFF"},
            {"teczka", "mainmenuButton", ":/IMG/MENU_GLOWNE_OFF"},
            {"article", "frame", ":/IMG/ARTICLE_TOP_BAR"},
            {"article", "teczkaAddButton", ":/IMG/TECZKA+SOFT_OFF"},
            {"article", "teczkaRemoveButton", ":/IMG/TECZKA-SOFT_OFF"},
            {"article", "shareButton", ":/IMG/SHARE_SOFT_OFF"},
            {"gallery", "backButton", ":/IMG/GALERIA_BACK"},
            {"gallery", "exitButton", ":/IMG/GALERIA_X"},
            {"gallery", "shareButton", ":/IMG/SHARE_SOFT_OFF"},
            {"gallery", "buttonRefresh", ":/IMG/REFRESH_SOFT_OFF"},
            {"share", "mainFrame", ":/IMG/MESSAGEBOX/BACK"},
            {"settings", "pushButton_3", ":/IMG/MENU_GLOWNE_OFF"},
            {"hours", "plus", ":/IMG/images/Settings/plus.png"},
            {"hours", "minus", ":/IMG/images/Settings/minus.png"},
        };
        for (const auto& s : shown)
            QTest::newRow(qPrintable(QString("%1 %2").arg(s.screen, s.widget))) << s.screen << s.widget << s.image;
    }

    void imagesCarryTheScreensDensity()
    {
        QFETCH(QString, screen);
        QFETCH(QString, widget);
        QFETCH(QString, image);
        QWidget* w = this->screen(screen)->findChild<QWidget*>(widget);
        QVERIFY(w);
        w->setEnabled(true);
        const QString lost = detail(alone(w), image);
        QVERIFY2(lost.isEmpty(), qPrintable(lost));
    }

    void aBlownUpPictureIsCaught()
    {
        // A file with no larger variant beside it is drawn blown up; the check above must see that.
        const QString flat = TestEnv::dataDir() + "/flat.png";
        QVERIFY(QFile::copy(":/IMG/SETTINGS_SOFT_OFF", flat));
        QPushButton button;
        button.setFixedSize(80, 80);
        button.setStyleSheet(QString("QPushButton { border: none; background-image: url(%1);"
                                     " background-position: center; background-repeat: no-repeat; }").arg(flat));
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QCOMPARE(detail(alone(&button), ":/IMG/SETTINGS_SOFT_OFF").isEmpty(), ratio == 1);
    }

    void borderImagesKeepTheirEdges()
    {
        // At its own size the share panel's frame shows its picture as a whole, pixel for pixel
        // or scaled down: the slices are cut where the picture drawn for this density has them.
        QWidget* frame = screen("share")->findChild<QWidget*>("mainFrame");
        const QImage shown = alone(frame);
        const QImage picture = QImage(Hidpi::variant(":/IMG/MESSAGEBOX/BACK", ratio))
                                   .scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                   .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(shown.size(), frame->size() * ratio);
        int differing = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                differing += same(shown.pixel(x, y), picture.pixel(x, y), 8) ? 0 : 1;
        QVERIFY2(differing < picture.width() * picture.height() / 100, qPrintable(QString::number(differing)));
    }

    void barTitlesStayCentred()
    {
        // The title drawn in the middle of the top bars' picture stays in the middle of the bar,
        // on phones narrower than the picture and on wide windows alike.
        const struct { const char *screen, *bar; } bars[] = {{"categories", "frame_2"}, {"article", "frame"}};
        for (const auto& b : bars) {
            QWidget* form = screen(b.screen);
            QWidget* bar = form->findChild<QWidget*>(b.bar);
            for (int width : {320, 360, 480, 854, 1280}) {
                form->resize(width, 854);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                QCOMPARE(bar->width(), width);
                const QImage shown = alone(bar);
                int left = INT_MAX, right = -1;
                for (int y = 0; y < shown.height(); ++y)
                    for (int x = 0; x < shown.width(); ++x)
                        if (qRed(shown.pixel(x, y)) > 200 && qGreen(shown.pixel(x, y)) > 200) {
                            left = qMin(left, x);
                            right = qMax(right, x);
                        }
                QVERIFY2(right >= 0, b.screen);
                const qreal middle = (left + right + 1) / 2.0 / ratio;
                QVERIFY2(qAbs(middle - width / 2.0) <= 2,
                         qPrintable(QString("%1 at %2: title centred at %3").arg(b.screen).arg(width).arg(middle)));
            }
            form->resize(480, 854);
        }
    }

    void rowPaintersDrawTheirPicturesAtDensity()
    {
        QStandardItemModel model;
        QStandardItem* item = new QStandardItem;
        item->setData(ItemTypeNormal, ItemTypeRole);
        item->setData(480, ItemWidthRole);
        item->setData(97, ItemHeightRole);
        item->setData(QString("Tytuł"), ItemMainTextRole);
        item->setData(30, ItemMainTextHeightRole);
        item->setData(-1, ItemSubTextRole);
        model.appendRow(item);
        QListView view;
        auto painted = [&](const QAbstractItemDelegate& rows) {
            QImage row = Screens::filled(QSize(480, 97) * ratio, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
            row.setDevicePixelRatio(ratio);
            QStyleOptionViewItem option;
            option.rect = QRect(0, 0, 480, 97);
            QPainter painter(&row);
            rows.paint(&painter, option, model.index(0, 0));
            painter.end();
            return row;
        };
        // The article row without a downloaded thumbnail shows the default one in its box at (13, 10);
        // the category row draws its mark at x 15, centred in the row's height.
        QCOMPARE(detail(painted(ArticleItemDelegate(nullptr)).copy(device(13, 10, 84, 78)), ":/IMG/THUMBNAIL"), QString());
        const QImage category = painted(ChannelItemDelegate(view, nullptr));
        QCOMPARE(detail(category.copy(device(15, (97 - 30) / 2, 30, 30)), ":/IMG/KATEGORIA_CYCEK"), QString());
    }

    void picturesSetByHandCarryTheDensity()
    {
        QList<QPushButton*> dots = screen("photos")->findChildren<QPushButton*>();
        QCOMPARE(dots.size(), 3);
        QVERIFY(dots.first()->isChecked());
        QCOMPARE(detail(alone(dots.first()), ":/IMG/KROPKA2"), QString());
        QCOMPARE(detail(alone(dots.last()), ":/IMG/KROPKA1"), QString());

        // The splash picture fills the logical phone screen with the variant's pixels (at a
        // fractional ratio the next larger one scaled down).
        SplashWidget splash;
        const QPixmap picture = splash.findChild<QLabel*>("label")->pixmap(Qt::ReturnByValue);
        QVERIFY(picture.devicePixelRatio() >= ratio);
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(480, 854));

        // A downloaded photo wider than the strip is scaled down to the strip's device pixels.
        const QPixmap photo = Hidpi::scaledToWidth(QPixmap(2000, 1000), ArticlePhotoWidget::maxPhotoWidth);
        QCOMPARE(photo.devicePixelRatio(), ratio);
        QCOMPARE(photo.width(), qRound(ArticlePhotoWidget::maxPhotoWidth * ratio));
    }

    void busyAnimationsShowTheirDensity_data()
    {
        QTest::addColumn<QString>("movie");
        QTest::addColumn<int>("size");
        QTest::newRow("red") << ":/IMG/BUSY_RED" << 21;
        QTest::newRow("white") << ":/IMG/BUSY_WHITE" << 21;
        QTest::newRow("dark") << ":/IMG/BUSY_DARK" << 48;
    }

    void busyAnimationsShowTheirDensity()
    {
        QFETCH(QString, movie);
        QFETCH(int, size);
        QLabel label;
        label.setAlignment(Qt::AlignCenter);
        QMovie* busy = Hidpi::movie(movie, &label);
        showBusyMovie(&label, busy);
        showBusyMovie(&label, busy);
        label.show();
        busy->start();
        QTRY_VERIFY(!label.pixmap(Qt::ReturnByValue).isNull());
        const QPixmap frame = label.pixmap(Qt::ReturnByValue);
        // Drawn for this density or the next larger one, the size of the 1x frame.
        QVERIFY(frame.devicePixelRatio() >= ratio);
        QCOMPARE(frame.deviceIndependentSize(), QSizeF(size, size));
        QCOMPARE(label.sizeHint(), QSize(size, size));
        // Each frame replaces the last one.
        const qint64 key = frame.cacheKey();
        QTRY_VERIFY(label.pixmap(Qt::ReturnByValue).cacheKey() != key);
    }

    // The cover-flow as the gallery holds it (below its bars) at every window size and on a 432 x 936 screen.
    void coverFlowDrawsAtDevicePixels_data()
    {
        QTest::addColumn<QSize>("size");
        for (const QSize& s : windowSizes() + QList<QSize>{QSize(432, 936)})
            QTest::addRow("%dx%d", s.width(), s.height() - 69 - 76) << QSize(s.width(), s.height() - 69 - 76);
    }

    void coverFlowDrawsAtDevicePixels()
    {
        QFETCH(QSize, size);
        PictureFlow flow;
        flow.resize(size);
        flow.setSlideCount(3);
        for (int i = 0; i < 3; ++i)
            flow.setSlide(i, Screens::filled(QSize(1200, 800), Qt::darkCyan));
        flow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&flow));
        PictureFlowPrivate* d = flow.implementation();
        QCOMPARE(d->buffer.size(), size * ratio);
        // On screen, every device pixel is the buffer's own.
        d->render();
        QImage shown = flow.grab().toImage().convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1);
        const QImage buffer = d->buffer.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), buffer.size());
        const int above = buffer.height() - qCeil(ratio); // the bottom line is painted over the buffer
        QCOMPARE(shown.copy(0, 0, buffer.width(), above), buffer.copy(0, 0, buffer.width(), above));
        QCOMPARE(flow.slideSize(), QSize(415, 280));
        // The centre slide lies whole in the window, drawn pixel for pixel from a slide of device pixels.
        QVERIFY(buffer.rect().contains(d->centerSlideRect));
        QVERIFY(qAbs(d->centerSlideRect.width() - flow.slide(0).width()) <= 2);

        // Taps come in logical pixels: one on the middle picture opens it, one at either edge turns.
        const QPoint middle = d->centerSlideRect.center() / ratio;
        QSignalSpy opened(&flow, &PictureFlow::itemActivated);
        QTest::mouseClick(&flow, Qt::LeftButton, Qt::NoModifier, middle);
        QCOMPARE(opened.count(), 1);
        QTest::mouseClick(&flow, Qt::LeftButton, Qt::NoModifier, QPoint(size.width() - 12, middle.y()));
        QCOMPARE(d->target, 1);
        QTRY_COMPARE(flow.currentSlide(), 1);
        QTRY_COMPARE(d->step, 0);
        QTest::mouseClick(&flow, Qt::LeftButton, Qt::NoModifier, QPoint(5, middle.y()));
        QCOMPARE(opened.count(), 1);
        QCOMPARE(d->target, 0);
    }

    void pictureOnlyButtonsHaveNames()
    {
        for (QWidget* s : screens)
            for (QAbstractButton* b : s->findChildren<QAbstractButton*>())
                QVERIFY2(!b->text().trimmed().isEmpty() || !b->accessibleName().trimmed().isEmpty(),
                         qPrintable(s->objectName() + " " + b->objectName()));
        QCOMPARE(screen("photos")->findChildren<QPushButton*>().at(1)->accessibleName(), QString("Zdjęcie 2"));
        QCOMPARE(screen("article")->findChild<QPushButton*>("bannerButton")->accessibleName(), QString("Reklama"));
    }
    void aWindowSuitsTheScreen()
    {
        // Phone screens, upright or sideways, are filled; larger screens get an upright window.
        for (const QSize& phone : {QSize(360, 720), QSize(432, 936), QSize(854, 480), QSize(600, 1024)})
            QVERIFY(ProgramWindow::fillsScreen(phone));
        for (const QSize& desk : {QSize(1920, 1080), QSize(2560, 1440), QSize(800, 1280)})
            QVERIFY(!ProgramWindow::fillsScreen(desk));
        // Full screen where nothing manages windows; a Wayland phone shell maximises the window.
        QCOMPARE(ProgramWindow::windowMode("xcb", QSize(360, 720)), ProgramWindow::FullScreen);
        QCOMPARE(ProgramWindow::windowMode("wayland", QSize(360, 720)), ProgramWindow::ShellMaximised);
        QCOMPARE(ProgramWindow::windowMode("wayland", QSize(1920, 1080)), ProgramWindow::PhoneSized);
        QCOMPARE(ProgramWindow::windowPlacement(QRect(0, 0, 1920, 1080)), QRect(720, 113, 480, 854));
        QCOMPARE(ProgramWindow::windowPlacement(QRect(1920, 0, 2560, 1440)), QRect(1920 + 1040, 293, 480, 854));
        // A short monitor: the window keeps within its free area, still upright.
        const QRect low = ProgramWindow::windowPlacement(QRect(0, 30, 1280, 770));
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
