#include "screens/gallery/gallery.h"

#include <QLabel>
#include <QMovie>
#include <QPushButton>

#include "logic/gallery/galleryfeed.h"
#include "screens/sharing/sharearticledialog.h"
#include "screens/gallery/galleryform.h"
#include "screens/gallery/pictureflow.h"
#include "screens/widgets/busylabel.h"
#include "screens/shell/messagebox.h"
#include "logic/base/hidpi.h"
#include "logic/base/util.h"

static const int cacheLoadInterval = 300;

Gallery::Gallery(QWidget* parent)
    : BaseWidget(parent), freeSpaceMessageShowed(false), ui(new Ui_Gallery), movie(nullptr), feed(new GalleryFeed(this)),
      loadedPicture(0), currentDialog(nullptr), currentIndex(0), loadDataFromCache(false)
{
    ui->setupUi(this);
    connect(ui->widgetPictureFlow, &PictureFlow::itemActivated, this, &Gallery::on_pictureFlow_itemActivated);
    connect(ui->widgetPictureFlow, &PictureFlow::itemCentered, this, &Gallery::on_pictureFlow_itemCentered);
    loadedPicture = 0;
    showLoader();
    connect(ui->exitButton, &QPushButton::clicked, this, &Gallery::exitClicked);
    connect(ui->menuButton, &QPushButton::clicked, this, &Gallery::popToRoot);
    connect(ui->backButton, &QPushButton::clicked, this, &Gallery::popToRoot);
    connect(ui->buttonRefresh, &QPushButton::clicked, this, &Gallery::on_buttonRefresh_clicked);
    connect(ui->shareButton, &QPushButton::clicked, this, &Gallery::shareClicked);
    timerForLoadingPicturesFromCache.setInterval(cacheLoadInterval);
    connect(&timerForLoadingPicturesFromCache, &QTimer::timeout, this, &Gallery::loadPicturesFromCache);
    connect(feed, &GalleryFeed::feedReady, this, &Gallery::feedReady);
    connect(feed, &GalleryFeed::pictureReady, this, &Gallery::pictureReady);
    connect(feed, &GalleryFeed::feedFailed, this, &Gallery::feedFailed);
    connect(feed, &GalleryFeed::finished, this, &Gallery::hideLoader);
    connect(feed, &GalleryFeed::writeFailed, this, &Gallery::writeFailed);
}

Gallery::~Gallery()
{
    feed->cancel();
    delete ui;
}

MainWidget::InterfaceOrientation Gallery::getSupportedOrientation()
{
    return MainWidget::OrientationFree;
}

QString Gallery::cacheDirectory()
{
    return GalleryFeed::cacheDirectory();
}

void Gallery::showLoader()
{
    if (!movie)
        movie = Hidpi::movie(QStringLiteral(":/IMG/BUSY_DARK"), this);
    showBusyMovie(ui->loadingLabel, movie);
    ui->loadingLabel->setVisible(true);
    ui->widgetPictureFlow->loading = true;
    ui->buttonRefresh->setEnabled(false);
    ui->shareButton->setEnabled(false);
    movie->start();
}

void Gallery::hideLoader()
{
    ui->widgetPictureFlow->loading = false;
    ui->loadingLabel->hide();
    ui->loadingLabel->setMovie(nullptr);
    ui->loadingLabel->clear();
    if (movie) {
        movie->stop();
        delete movie;
        movie = nullptr;
    }
    ui->shareButton->setEnabled(true);
    ui->buttonRefresh->setEnabled(true);
}

bool Gallery::loadXmlFromCache(bool checkTime)
{
    if (!feed->loadFromCache(checkTime))
        return false;
    ui->widgetPictureFlow->setSlideCount(feed->count());
    ui->widgetPictureFlow->emitCentered();
    return true;
}

void Gallery::showFinished()
{
    if (loadXmlFromCache(true)) {
        startLoadingFromCache();
        return;
    }
    loadDataFromCache = false;
    feed->download();
}

void Gallery::startLoadingFromCache()
{
    loadedPicture = 0;
    loadDataFromCache = true;
    timerForLoadingPicturesFromCache.start();
}

void Gallery::loadPicturesFromCache()
{
    if (loadedPicture < feed->count()) {
        ui->widgetPictureFlow->setSlide(loadedPicture, GalleryFeed::cachedPicture(loadedPicture));
        ++loadedPicture;
        ui->widgetPictureFlow->render();
    }
    if (loadedPicture >= feed->count()) {
        timerForLoadingPicturesFromCache.stop();
        ui->widgetPictureFlow->render();
        hideLoader();
    }
}

void Gallery::feedReady()
{
    ui->widgetPictureFlow->setSlideCount(feed->count());
    ui->widgetPictureFlow->emitCentered();
}

void Gallery::pictureReady(int index, const QImage& image)
{
    ui->widgetPictureFlow->setSlide(index, image);
}

void Gallery::feedFailed()
{
    if (loadXmlFromCache(false))
        startLoadingFromCache();
    else
        MessageBox::showMessageBoxBackAgain(
            tr("Nie można wyswietlić galerii. Prawdopodobnie nie masz połączenia z internetem."), QString(), this);
    hideLoader();
}

void Gallery::writeFailed()
{
    if (!freeSpaceMessageShowed) {
        MessageBox::showError(tr("Nie można zapisać obrazka na dysku."), tr("Brak pamięci"));
        freeSpaceMessageShowed = true;
    }
}

void Gallery::onMsgBoxAccepted()
{
    showLoader();
    feed->download();
}

void Gallery::onMsgBoxRejected()
{
    feed->cancel();
}

void Gallery::on_buttonRefresh_clicked()
{
    freeSpaceMessageShowed = false;
    timerForLoadingPicturesFromCache.stop();
    showLoader();
    feed->refresh();
}

void Gallery::on_pictureFlow_itemCentered(int index)
{
    currentIndex = index;
    QLabel* label = ui->pictureTitleLabel;
    const QList<QString>& picturesTitles = feed->titles();
    if (index < 0 || index >= picturesTitles.size()) {
        label->clear();
        return;
    }
    ui->pictureTitleLabel->setText(
        Util::splitText(picturesTitles.at(index), QFontMetrics(label->font()), label->width(), 1)
            .join(QLatin1Char(' ')));
}

void Gallery::on_pictureFlow_itemActivated(int index)
{
    const QString link = feed->links().value(index);
    if (!link.isEmpty())
        Util::openUrl(link, false);
}

void Gallery::shareClicked()
{
    if (currentIndex < 0 || currentIndex >= feed->titles().size())
        return;
    ShareArticleDialog* dialog =
        new ShareArticleDialog(feed->titles().value(currentIndex), feed->links().value(currentIndex), this);
    dialog->setGeometry(rect());
    connect(dialog, &ShareArticleDialog::dialogClosed, this, &Gallery::shareDialogEnded);
    currentDialog = dialog;
    dialog->showFullScreen();
}

void Gallery::shareDialogEnded(ShareArticleDialog* dialog)
{
    dialog->hide();
    dialog->deleteLater();
    currentDialog = nullptr;
}

void Gallery::resizeEvent(QResizeEvent* e)
{
    BaseWidget::resizeEvent(e);
    if (currentDialog)
        currentDialog->setGeometry(rect());
}
