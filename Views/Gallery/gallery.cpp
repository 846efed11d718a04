#include "Views/Gallery/gallery.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QUrl>

#include "Logic/rsschannel.h"
#include "Views/Article/sharearticledialog.h"
#include "Views/Gallery/galleryform.h"
#include "Logic/gallerypicturesparser.h"
#include "Views/Gallery/pictureflow.h"
#include "Views/busylabel.h"
#include "Views/messagebox.h"
#include "foundation/file.h"
#include "foundation/hidpi.h"
#include "foundation/util.h"
#include "http/myhttp.h"

static const int feedTimeout = 30000;
static const int pictureTimeout = 10000000;
static const int cacheLoadInterval = 300;

enum { DOWNLOAD_NONE = -1, DOWNLOAD_FEED = 0, DOWNLOAD_PICTURES = 1 };

Gallery::Gallery(QWidget* parent)
    : BaseWidget(parent), freeSpaceMessageShowed(false), ui(new Ui_Gallery), movie(nullptr), picturesCount(0),
      loadedPicture(0), downloader(nullptr), downloadState(DOWNLOAD_NONE), downloadPhotoNo(0),
      currentDialog(nullptr), currentIndex(0), loadDataFromCache(false)
{
    ui->setupUi(this);
    connect(ui->widgetPictureFlow, &PictureFlow::itemActivated, this, &Gallery::on_pictureFlow_itemActivated);
    connect(ui->widgetPictureFlow, &PictureFlow::itemCentered, this, &Gallery::on_pictureFlow_itemCentered);
    picturesCount = 0;
    loadedPicture = 0;
    showLoader();
    connect(ui->exitButton, &QPushButton::clicked, this, &Gallery::exitClicked);
    connect(ui->menuButton, &QPushButton::clicked, this, &Gallery::popToRoot);
    connect(ui->backButton, &QPushButton::clicked, this, &Gallery::popToRoot);
    connect(ui->buttonRefresh, &QPushButton::clicked, this, &Gallery::on_buttonRefresh_clicked);
    connect(ui->shareButton, &QPushButton::clicked, this, &Gallery::shareClicked);
    timerForLoadingPicturesFromCache.setInterval(cacheLoadInterval);
    connect(&timerForLoadingPicturesFromCache, &QTimer::timeout, this, &Gallery::loadPicturesFromCache);
}

Gallery::~Gallery()
{
    releaseDownloader();
    delete ui;
}

MainWidget::InterfaceOrientation Gallery::getSupportedOrientation()
{
    return MainWidget::OrientationFree;
}

QString Gallery::cacheDirectory()
{
    return File::createPathToResource(QStringLiteral("galleryPictures/"));
}

void Gallery::releaseDownloader()
{
    if (!downloader)
        return;
    downloader->cancelRequestNoEmit();
    downloader->deleteLater();
    downloader = nullptr;
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
    const QString dir = cacheDirectory();
    const QString feedFile = dir + QStringLiteral("0.xml");
    QFileInfo info(feedFile);
    if (!info.exists())
        return false;
    // The feed file is written once, so its modification time is its creation time.
    if (checkTime && info.lastModified().secsTo(QDateTime::currentDateTime()) >= cacheLifetime)
        return false;
    QFile file(feedFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    GalleryPicturesParser parser;
    if (!parser.parse(file.readAll()))
        return false;
    const QList<QString> urls = parser.getPicturesUrls();
    for (int n = 0; n < urls.size(); ++n) {
        if (!QFile::exists(dir + QString::number(n) + QStringLiteral(".jpg")))
            return false;
    }
    picturesUrls = urls;
    picturesTitles = parser.getPicturesTitles();
    picturesLinks = parser.getPicturesLinks();
    picturesCount = urls.size();
    ui->widgetPictureFlow->setSlideCount(picturesCount);
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
    startDownloadingPictures();
    downloader->execute();
}

void Gallery::startLoadingFromCache()
{
    loadedPicture = 0;
    loadDataFromCache = true;
    timerForLoadingPicturesFromCache.start();
}

void Gallery::loadPicturesFromCache()
{
    if (loadedPicture < picturesCount) {
        QImage image;
        image.load(cacheDirectory() + QString::number(loadedPicture) + QStringLiteral(".jpg"));
        ui->widgetPictureFlow->setSlide(loadedPicture, image);
        ++loadedPicture;
        ui->widgetPictureFlow->render();
    }
    if (loadedPicture >= picturesCount) {
        timerForLoadingPicturesFromCache.stop();
        ui->widgetPictureFlow->render();
        hideLoader();
    }
}

void Gallery::startDownloadingPictures()
{
    releaseDownloader();
    downloadState = DOWNLOAD_FEED;
    downloader = Http::createGETrequest(RSSChannel::urlForType(RSSChannel::Fotoplan), QString());
    downloader->setTimeout(feedTimeout);
    connect(downloader, &Http::statusChanged, this, &Gallery::downloaderStateChanged);
}

void Gallery::downloadPicture()
{
    releaseDownloader();
    // Only web addresses are fetched; an empty or foreign one leaves its slide empty, and an
    // empty file in the cache, so that the cache still holds a file for every picture.
    while (downloadPhotoNo < picturesCount) {
        const QUrl url(picturesUrls.value(downloadPhotoNo), QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        if (url.isValid() && !url.host().isEmpty() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")))
            break;
        writeCacheFile(QString::number(downloadPhotoNo) + QStringLiteral(".jpg"), QByteArray());
        ++downloadPhotoNo;
    }
    if (downloadPhotoNo >= picturesCount) {
        downloadState = DOWNLOAD_NONE;
        hideLoader();
        return;
    }
    downloader = Http::createGETrequest(picturesUrls.at(downloadPhotoNo), QString());
    downloader->setTimeout(pictureTimeout);
    connect(downloader, &Http::statusChanged, this, &Gallery::downloaderStateChanged);
    downloader->execute();
}

bool Gallery::writeCacheFile(const QString& name, const QByteArray& bytes)
{
    const bool ok = File::replaceContents(cacheDirectory() + name, bytes);
    if (!ok && !freeSpaceMessageShowed) {
        MessageBox::showError(tr("Nie można zapisać obrazka na dysku."), tr("Brak pamięci"));
        freeSpaceMessageShowed = true;
    }
    return ok;
}

void Gallery::downloaderStateChanged(Http* h)
{
    const int state = h->getStatus();
    if (state == Http::STATE_READY || state == Http::STATE_RUNNING)
        return;

    if (state == Http::STATE_COMPLETED && downloadState == DOWNLOAD_FEED) {
        const QByteArray feed = h->getResponseAsBytes();
        GalleryPicturesParser parser;
        if (parser.parse(feed)) {
            File::deleteDirectory(cacheDirectory());
            QDir().mkpath(cacheDirectory());
            // A feed file that is not whole is no cache at all.
            if (!writeCacheFile(QStringLiteral("0.xml"), feed))
                QFile::remove(cacheDirectory() + QStringLiteral("0.xml"));
            picturesUrls = parser.getPicturesUrls();
            picturesTitles = parser.getPicturesTitles();
            picturesLinks = parser.getPicturesLinks();
            picturesCount = picturesUrls.size();
            ui->widgetPictureFlow->setSlideCount(picturesCount);
            ui->widgetPictureFlow->emitCentered();
            if (picturesCount > 0) {
                downloadState = DOWNLOAD_PICTURES;
                downloadPhotoNo = 0;
                downloadPicture();
            } else {
                // Nothing to show: leave the refresh button to the user.
                downloadState = DOWNLOAD_NONE;
                hideLoader();
            }
        } else {
            downloadState = DOWNLOAD_NONE;
            hideLoader();
        }
    } else if (state == Http::STATE_COMPLETED && downloadState == DOWNLOAD_PICTURES) {
        const QByteArray bytes = h->getResponseAsBytes();
        const QImage image = QImage::fromData(bytes);
        writeCacheFile(QString::number(downloadPhotoNo) + QStringLiteral(".jpg"), bytes);
        ui->widgetPictureFlow->setSlide(downloadPhotoNo, image);
        ++downloadPhotoNo;
        if (downloadPhotoNo >= picturesCount) {
            downloadState = DOWNLOAD_NONE;
            hideLoader();
        } else {
            downloadPicture();
        }
    } else if (state == Http::STATE_ERROR_HTTP && downloadState == DOWNLOAD_FEED) {
        if (loadXmlFromCache(false))
            startLoadingFromCache();
        else
            MessageBox::showMessageBoxBackAgain(
                tr("Nie można wyswietlić galerii. Prawdopodobnie nie masz połączenia z internetem."), QString(),
                this);
        downloadState = DOWNLOAD_NONE;
        hideLoader();
    } else {
        downloadState = DOWNLOAD_NONE;
        hideLoader();
    }

    if (h == downloader) {
        h->deleteLater();
        downloader = nullptr;
    }
}

void Gallery::onMsgBoxAccepted()
{
    showLoader();
    startDownloadingPictures();
    downloader->execute();
}

void Gallery::onMsgBoxRejected()
{
    downloadState = DOWNLOAD_NONE;
}

void Gallery::on_buttonRefresh_clicked()
{
    freeSpaceMessageShowed = false;
    timerForLoadingPicturesFromCache.stop();
    File::deleteDirectory(cacheDirectory());
    showLoader();
    startDownloadingPictures();
    downloader->execute();
}

void Gallery::on_pictureFlow_itemCentered(int index)
{
    currentIndex = index;
    QLabel* label = ui->pictureTitleLabel;
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
    const QString link = picturesLinks.value(index);
    if (!link.isEmpty())
        Util::openUrl(link, false);
}

void Gallery::shareClicked()
{
    if (currentIndex < 0 || currentIndex >= picturesTitles.size())
        return;
    ShareArticleDialog* dialog =
        new ShareArticleDialog(picturesTitles.at(currentIndex), picturesLinks.value(currentIndex), this);
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
