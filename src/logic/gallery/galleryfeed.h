#ifndef GALLERYFEED_H
#define GALLERYFEED_H

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

class Http;

// The picture channel's data: the feed, its pictures fetched one at a time, and the cache
// folder that keeps both for the next opening.
class GalleryFeed : public QObject
{
    Q_OBJECT
public:
    explicit GalleryFeed(QObject* parent = nullptr);
    ~GalleryFeed() override;

    static QString cacheDirectory();
    static QString pictureFile(int index);
    // The cached picture of that index, null when there is none; a file that holds no picture
    // within the bounds is removed, so that the cache counts as incomplete and is fetched again.
    static QImage cachedPicture(int index);
    static constexpr int cacheLifetime = 3600;

    // The cached feed with all its pictures; with checkTime only when under an hour old.
    // On success the lists are the cached feed's.
    bool loadFromCache(bool checkTime);
    // Fetches the feed, then its pictures; a request under way is dropped first.
    void download();
    // The cache is emptied, then the feed fetched again.
    void refresh();
    // Nothing more is fetched.
    void cancel();
    bool isDownloading() const;

    int count() const { return picturesUrls.size(); }
    const QList<QString>& titles() const { return picturesTitles; }
    const QList<QString>& links() const { return picturesLinks; }

signals:
    // A downloaded feed replaced the lists; its pictures follow.
    void feedReady();
    void pictureReady(int index, const QImage& image);
    // The feed could not be fetched (an HTTP failure).
    void feedFailed();
    // Nothing more is being fetched (done, or given up).
    void finished();
    // A cache file could not be written.
    void writeFailed();

private slots:
    void downloaderStateChanged(Http* h);

private:
    friend class TestGallery;
    void startRequest(const QString& url, int timeout);
    void downloadPicture();
    void releaseDownloader();
    bool writeCacheFile(const QString& name, const QByteArray& bytes);

    Http* downloader;
    int downloadState;
    int downloadPhotoNo;
    QList<QString> picturesUrls;
    QList<QString> picturesTitles;
    QList<QString> picturesLinks;
};

#endif // GALLERYFEED_H
