#ifndef GALLERY_H
#define GALLERY_H

#include <QList>
#include <QString>
#include <QTimer>

#include "Views/basewidget.h"
#include "Views/msgboxlistener.h"

class Http;
class QMovie;
class ShareArticleDialog;
class Ui_Gallery;

// The picture channel: the feed's pictures in a cover-flow, the centred one's title on top.
class Gallery : public BaseWidget, public MsgBoxListener
{
    Q_OBJECT
public:
    explicit Gallery(QWidget* parent);
    ~Gallery() override;

    MainWidget::InterfaceOrientation getSupportedOrientation() override;
    void onMsgBoxAccepted() override;
    void onMsgBoxRejected() override;

    // The cached feed with all its pictures; with checkTime only when under an hour old.
    bool loadXmlFromCache(bool checkTime);
    static QString cacheDirectory();

    static constexpr int cacheLifetime = 3600;

public slots:
    void showFinished() override;

protected:
    void resizeEvent(QResizeEvent* e) override;

private slots:
    void downloaderStateChanged(Http* h);
    void on_buttonRefresh_clicked();
    void shareClicked();
    void shareDialogEnded(ShareArticleDialog* dialog);
    void loadPicturesFromCache();
    void on_pictureFlow_itemActivated(int index);
    void on_pictureFlow_itemCentered(int index);

private:
    friend class TestGallery;
    void showLoader();
    void hideLoader();
    void startDownloadingPictures();
    void downloadPicture();
    void startLoadingFromCache();
    void releaseDownloader();
    bool writeCacheFile(const QString& name, const QByteArray& bytes);

    bool freeSpaceMessageShowed;
    Ui_Gallery* ui;
    QMovie* movie;
    int picturesCount;
    int loadedPicture;
    QTimer timerForLoadingPicturesFromCache;
    Http* downloader;
    int downloadState;
    int downloadPhotoNo;
    QList<QString> picturesUrls;
    QList<QString> picturesTitles;
    QList<QString> picturesLinks;
    QWidget* currentDialog;
    int currentIndex;
    bool loadDataFromCache;
};

#endif // GALLERY_H
