#ifndef ARTICLE_H
#define ARTICLE_H

#include <QImage>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVector>

class File;
class Http;
class Photo;

// One news item with its photos and the user's read mark.
class Article : public QObject
{
    Q_OBJECT
public:
    explicit Article(QObject* parent = nullptr);
    Article(const Article& other);
    ~Article() override;

    const QImage& getThumbnailImage() const;
    void markAsOld();
    void updateFrom(const Article& a, bool updateIsInSaved);
    void setSavedArticles(bool value);
    void saveToFile(File* file, int order);
    void loadFromFile(File* file);
    QString thumbnailFileName() const;

    bool operator<(const Article& other) const;
    bool operator==(const Article& other) const { return xx == other.xx; }
    bool operator!=(const Article& other) const { return xx != other.xx; }

    int xx;
    int order;
    int oldOrder;
    QString date;
    QString title;
    QUrl link;
    QString lead;
    QString content;
    QString signature;
    QString label;
    QUrl thumbnail;
    QVector<Photo*> photos;
    bool articleWasRead;
    QImage thumbnailImage;
    Http* imageDownloader;
    bool isInSavedArticles;
    // thumbnailImage is the stand-in for a picture that did not come: never saved, asked for again.
    bool thumbnailIsPlaceholder = false;

signals:
    void thumbnailDownloadFinished(QImage image);

public slots:
    void startDownloadThumbnail(bool readFromCache = false);
    void loadImages(bool loadPhotos = false);
    void saveImages();
    void deleteImages();

private slots:
    void thumbnailDownloaderStateChanged(Http* h);

private:
    void downloadThumbnailWhenOnline();
};

// The ordering used by the channels' sort.
bool articleLessThan(const Article* a, const Article* b);

Q_DECLARE_METATYPE(Article)

#endif // ARTICLE_H
