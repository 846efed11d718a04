#ifndef BANNERINFO_H
#define BANNERINFO_H

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QVariantMap>

class Http;

// The three advertisements: the top banner (category list), the bottom banner (article
// lists and the article screen) and the splash picture shown at the next start.
// All their requests run one at a time through a queue of the download service.
class BannerInfo : public QObject
{
    Q_OBJECT
public:
    static BannerInfo* getSingleton();
    static void releaseSingleton();

    bool canShowSplash() const;

    // Only web addresses are kept as advertisement links.
    static QString safeLink(const QString& link);

    QPixmap topBannerImage;
    QPixmap bottomBannerImage;
    QPixmap splashImage;
    QString topBannerLink;
    QString bottomBannerLink;
    QString splashLink;
    // The link named with splashImg, taken into splashLink when its picture is on disk.
    QString nextSplashLink;
    bool showSplash;
    bool showTopBanner;
    bool showBottomBanner;
    QString splashImg;
    QString topBannerImg;
    QString bottomBannerImg;
    bool splashDownloaded;
    bool topBannerDownloaded;
    bool bottomBannerDownloaded;

    // True while one of the advertisement requests runs or waits.
    bool isDownloading() const;

public slots:
    void startUpdate();

signals:
    void topBannerChanged(QPixmap image, QString link);
    void bottomBannerChanged(QPixmap image, QString link);

private slots:
    void downloadSplash();
    void downloadTopBanner();
    void downloadBottomBanner();
    void downloadSplashImage();
    void downloadTopBannerImage();
    void downloadBottomBannerImage();
    void loadFromFile();
    void saveToFile();
    void splashDownloaderStateChanged(Http* h);
    void splashImageDownloaderStateChanged(Http* h);
    void topBannerDownloaderStateChanged(Http* h);
    void topBannerImageDownloaderStateChanged(Http* h);
    void bottomBannerDownloaderStateChanged(Http* h);
    void bottomBannerImageDownloaderStateChanged(Http* h);

private:
    BannerInfo();
    ~BannerInfo() override;

    void enqueue(Http* h);
    void cancelDownloads();
    static bool isFinal(Http* h);
    // Takes a completed download's picture into image; false when it is no picture.
    static bool takeBannerImage(Http* h, QPixmap& image, bool& downloaded);
    void done(Http* h);
    static bool readDescription(Http* h, QVariantMap& description);
    bool takeBanner(const QVariantMap& description, bool& show, bool& downloaded, QString& img, QString& link);
    bool mayDownloadImage(bool downloaded, bool show, const QPixmap& image, const QString& img) const;
    void loadSplashImage();

    static BannerInfo* singleton;
};

#endif // BANNERINFO_H
