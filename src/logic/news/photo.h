#ifndef PHOTO_H
#define PHOTO_H

#include <QByteArray>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QUrl>

class File;
class Http;

// One picture of an article; briefcase photos keep their bytes on disk.
class Photo : public QObject
{
    Q_OBJECT
public:
    // 'P','H','T', the version, the id and four empty strings: the shortest record stored.
    static constexpr int minRecordBytes = 16;

    explicit Photo(QObject* parent);
    ~Photo() override;

    void updateFrom(const Photo& p);
    void setSavedArticles(bool value);
    void saveToFile(File* file);
    void loadFromFile(File* file);
    QString photoFileName() const;

    bool operator==(const Photo& other) const { return xx == other.xx; }
    bool operator!=(const Photo& other) const { return xx != other.xx; }

    int xx;
    QUrl url;
    QUrl url2;
    QString signature;
    QString desc;
    QPixmap image;
    int articleXX;
    bool downloading;
    bool isInSavedArticles;
    QByteArray data;
    Http* downloader = nullptr; // the running download, released with the photo

signals:
    void photoChanged(QPixmap image);
    void photoDownloadFinished(QPixmap image);

public slots:
    void downloadPhoto(bool readFromCacheOnly = false);
    void loadImages();
    void saveImages();
    void deleteImages();

private slots:
    void downloadStateChnaged(Http* h);
};

#endif // PHOTO_H
