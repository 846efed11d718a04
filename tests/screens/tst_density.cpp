#include <QtTest>
#include <QtWidgets>

#include "logic/news/photo.h"
#include "screens/article/articleform.h"
#include "screens/article/articlephotowidget.h"
#include "screens/article/photosscrollwidget.h"
#include "screens/sharing/sharearticledialog.h"
#include "screens/articlelist/articleitemdelegate.h"
#include "screens/articlelist/articleslistform.h"
#include "screens/categories/categorylistform.h"
#include "screens/categories/channelitemdelegate.h"
#include "screens/gallery/galleryform.h"
#include "screens/gallery/pictureflow.h"
#include "screens/gallery/pictureflowprivate.h"
#include "logic/news/settings.h"
#include "screens/settings/settingspages.h"
#include "screens/settings/settingsview.h"
#include "screens/briefcase/briefcaseform.h"
#include "screens/widgets/busylabel.h"
#include "screens/shell/splashwidget.h"
#include "logic/base/constants.h"
#include "logic/base/hidpi.h"
#include "tests/support/perscale.h"
#include "tests/support/testenv.h"

// The screens at 1.25 to 3 device pixels per logical pixel (the process runs once for each): every
// picture they show is the one drawn for that density, or at a fractional one the next larger
// scaled down, never the 1x one blown up; and every button that shows only a picture has a name a
// screen reader can say.
class TestDensity : public QObject
{
    Q_OBJECT
public:
    explicit TestDensity(qreal r) : n(r) {}

private:
    const qreal n;
    QList<QWidget*> screens;

    // The widget alone (no children, no parent's background) in device pixels, over transparency.
    QImage alone(QWidget* w) const
    {
        QImage image(w->size() * n, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(n);
        image.fill(Qt::transparent);
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
        const QSize small(qMax(1, qRound(im.width() / qreal(n))), qMax(1, qRound(im.height() / qreal(n))));
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
    // up: its fine detail is nearer the picture's own than the blown-up one's.
    QString detail(const QImage& shown, const QString& alias) const
    {
        const QImage plain(alias);
        const QSize size = plain.size() * n;
        const QImage picture =
            QImage(Hidpi::variant(alias, n)).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double own = detailLost(picture);
        const double flat = detailLost(plain.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        const double seen = detailLost(shown);
        return own > flat && (seen - flat) * 2 >= own - flat
                   ? QString()
                   : QString("detail %1, drawn for this density %2, blown up %3").arg(seen).arg(own).arg(flat);
    }

    QRect device(int x, int y, int width, int height) const
    {
        return QRectF(x * n, y * n, width * n, height * n).toRect();
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

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        QCOMPARE(qApp->devicePixelRatio(), n);
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
        QVERIFY(!detail(alone(&button), ":/IMG/SETTINGS_SOFT_OFF").isEmpty());
    }

    void borderImagesKeepTheirEdges()
    {
        // At its own size the share panel's frame shows its picture as a whole, pixel for pixel
        // or scaled down: the slices are cut where the picture drawn for this density has them.
        QWidget* frame = screen("share")->findChild<QWidget*>("mainFrame");
        const QImage shown = alone(frame);
        const QImage picture = QImage(Hidpi::variant(":/IMG/MESSAGEBOX/BACK", n))
                                   .scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                   .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(shown.size(), frame->size() * n);
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
                const qreal middle = (left + right + 1) / 2.0 / n;
                QVERIFY2(qAbs(middle - width / 2.0) <= 2,
                         qPrintable(QString("%1 at %2: title centred at %3").arg(b.screen).arg(width).arg(middle)));
            }
            form->resize(480, 854);
        }
    }

    void photoDotsShowTheirDensity()
    {
        QList<QPushButton*> dots = screen("photos")->findChildren<QPushButton*>();
        QCOMPARE(dots.size(), 3);
        QVERIFY(dots.first()->isChecked());
        QCOMPARE(detail(alone(dots.first()), ":/IMG/KROPKA2"), QString());
        QCOMPARE(detail(alone(dots.last()), ":/IMG/KROPKA1"), QString());
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
        QImage row(QSize(480, 97) * n, QImage::Format_ARGB32_Premultiplied);
        row.setDevicePixelRatio(n);
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 480, 97);

        // The article row without a downloaded thumbnail shows the default one in its box at (13, 10).
        row.fill(Qt::transparent);
        {
            QPainter painter(&row);
            ArticleItemDelegate(nullptr).paint(&painter, option, model.index(0, 0));
        }
        QCOMPARE(detail(row.copy(device(13, 10, 84, 78)), ":/IMG/THUMBNAIL"), QString());

        // The category row draws its mark at x 15, centred in the row's height.
        row.fill(Qt::transparent);
        {
            QPainter painter(&row);
            ChannelItemDelegate(view, nullptr).paint(&painter, option, model.index(0, 0));
        }
        QCOMPARE(detail(row.copy(device(15, (97 - 30) / 2, 30, 30)), ":/IMG/KATEGORIA_CYCEK"), QString());
    }

    void pixmapsLoadedByHandCarryTheDensity()
    {
        // The splash picture fills the logical phone screen with the variant's pixels (Qt scales
        // the next larger one down at a fractional ratio).
        SplashWidget splash;
        const QPixmap picture = splash.findChild<QLabel*>("label")->pixmap(Qt::ReturnByValue);
        QVERIFY(picture.devicePixelRatio() >= n);
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(480, 854));

        // A downloaded photo wider than the strip is scaled down to the strip's device pixels.
        const QPixmap photo = Hidpi::scaledToWidth(QPixmap(2000, 1000), ArticlePhotoWidget::maxPhotoWidth);
        QCOMPARE(photo.devicePixelRatio(), n);
        QCOMPARE(photo.width(), qRound(ArticlePhotoWidget::maxPhotoWidth * n));
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
        QVERIFY(frame.devicePixelRatio() >= n);
        QCOMPARE(frame.deviceIndependentSize(), QSizeF(size, size));
        QCOMPARE(label.sizeHint(), QSize(size, size));
        // Each frame replaces the last one.
        const qint64 key = frame.cacheKey();
        QTRY_VERIFY(label.pixmap(Qt::ReturnByValue).cacheKey() != key);
    }

    // The cover-flow as the gallery holds it on a 360 x 720 and a 432 x 936 screen.
    void coverFlowDrawsAtDevicePixels_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("360x575") << QSize(360, 575);
        QTest::newRow("432x791") << QSize(432, 791);
    }

    void coverFlowDrawsAtDevicePixels()
    {
        QFETCH(QSize, size);
        PictureFlow flow;
        flow.resize(size);
        flow.setSlideCount(3);
        QImage picture(1200, 800, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        for (int i = 0; i < 3; ++i)
            flow.setSlide(i, picture);
        flow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&flow));
        PictureFlowPrivate* d = flow.implementation();
        QCOMPARE(d->buffer.size(), size * n);
        // On screen, every device pixel is the buffer's own.
        d->render();
        QImage shown = flow.grab().toImage().convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1);
        const QImage buffer = d->buffer.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), buffer.size());
        const int above = buffer.height() - qCeil(n); // the bottom line is painted over the buffer
        QCOMPARE(shown.copy(0, 0, buffer.width(), above), buffer.copy(0, 0, buffer.width(), above));
        QCOMPARE(flow.slideSize(), QSize(415, 280));
        // The centre slide lies whole in the window, drawn pixel for pixel from a slide of device pixels.
        QVERIFY(buffer.rect().contains(d->centerSlideRect));
        QVERIFY(qAbs(d->centerSlideRect.width() - flow.slide(0).width()) <= 2);

        // Taps come in logical pixels: one on the middle picture opens it, one at either edge turns.
        const QPoint middle = d->centerSlideRect.center() / n;
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
        for (QWidget* s : screens) {
            for (QAbstractButton* b : s->findChildren<QAbstractButton*>()) {
                if (!b->text().trimmed().isEmpty())
                    continue;
                QVERIFY2(!b->accessibleName().trimmed().isEmpty(),
                         qPrintable(s->objectName() + " " + b->objectName()));
            }
        }
        QList<QPushButton*> dots = screen("photos")->findChildren<QPushButton*>();
        QCOMPARE(dots.at(1)->accessibleName(), QString("Zdjęcie 2"));
        QCOMPARE(screen("article")->findChild<QPushButton*>("bannerButton")->accessibleName(), QString("Reklama"));
    }
};

int main(int argc, char** argv)
{
    return runAtScales<TestDensity>(argc, argv, {1.25, 1.5, 1.75, 2, 2.5, 3});
}

#include "tst_density.moc"
