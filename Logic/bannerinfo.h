#ifndef BANNERINFO_H
#define BANNERINFO_H

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>

class Http;

// The three advertisements: top banner, bottom banner and the splash picture.
// The screens take the current pictures when they are built and follow the signals.
class BannerInfo : public QObject
{
    Q_OBJECT
public:
    static BannerInfo* getSingleton();
    static void releaseSingleton();

    bool canShowSplash() const;

    QPixmap topBannerImage;
    QPixmap bottomBannerImage;
    QPixmap splashImage;
    QString topBannerLink;
    QString bottomBannerLink;
    QString splashLink;
    bool showSplash;
    bool showTopBanner;
    bool showBottomBanner;
    QString splashImg;
    QString topBannerImg;
    QString bottomBannerImg;
    bool splashDownloaded;
    bool topBannerDownloaded;
    bool bottomBannerDownloaded;
    Http* currentDownload;
    QList<Http*> waitingDownloads;

signals:
    void topBannerChanged(QPixmap image, QString link);
    void bottomBannerChanged(QPixmap image, QString link);

private:
    BannerInfo();

    static BannerInfo* singleton;
};

#endif // BANNERINFO_H
