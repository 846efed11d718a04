#ifndef ARTICLEPHOTOWIDGET_H
#define ARTICLEPHOTOWIDGET_H

#include <QPixmap>
#include <QWidget>

class Photo;
class QLabel;

// One page of the photo strip: the picture with its author and description.
class ArticlePhotoWidget : public QWidget
{
    Q_OBJECT
public:
    ArticlePhotoWidget(Photo* photo, QWidget* parent);

    QSize sizeHint() const override;
    bool isDownloaded() const { return downloaded; }
    QLabel* photoLabel() const { return photoImage; }

    static constexpr int maxPhotoWidth = 350;

signals:
    void photoDownloadFinished(ArticlePhotoWidget* widget);

public slots:
    void downloadFinished(QPixmap image);
    void startDownloading();

private:
    QLabel* photoImage;
    QLabel* authorLabel;
    QLabel* descLabel;
    Photo* photo;
    bool downloaded;
    int photoHeight;
};

#endif // ARTICLEPHOTOWIDGET_H
