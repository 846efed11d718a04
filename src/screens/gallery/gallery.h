#ifndef GALLERY_H
#define GALLERY_H

#include <QImage>
#include <QTimer>

#include "screens/shell/basewidget.h"
#include "screens/shell/msgboxlistener.h"

class GalleryFeed;
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

public slots:
    void showFinished() override;

protected:
    void resizeEvent(QResizeEvent* e) override;

private slots:
    void feedReady();
    void pictureReady(int index, const QImage& image);
    void feedFailed();
    void writeFailed();
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
    void startLoadingFromCache();

    bool freeSpaceMessageShowed;
    Ui_Gallery* ui;
    QMovie* movie;
    GalleryFeed* feed;
    int loadedPicture;
    QTimer timerForLoadingPicturesFromCache;
    QWidget* currentDialog;
    int currentIndex;
    bool loadDataFromCache;
};

#endif // GALLERY_H
