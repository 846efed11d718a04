#ifndef RSSCHANNEL_H
#define RSSCHANNEL_H

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QVector>
#include <memory>

#include "logic/base/storedcopies.h"
#include "logic/news/article.h"

class Http;
class QTimer;

// One news category: its feed, its list of at most 30 articles and its cache file.
// All channels share one download queue, so feeds download one at a time.
class RSSChannel : public QObject
{
    Q_OBJECT
public:
    enum ChannelType {
        Teczka = -1,
        Najwazniejsze = 0,
        Najnowsze = 1,
        Kraj = 2,
        Swiat = 3,
        Sport = 4,
        Gospodarka = 5,
        Komentarze = 6,
        Kultura = 7,
        Fotoplan = 8
    };

    static constexpr int maxArticles = 30;
    // Every article of a cache came in a feed of at most the download bound; a file of
    // twice that holds more than any list the program writes.
    static constexpr qint64 maxCacheBytes = 32 * 1024 * 1024;

    RSSChannel(ChannelType id, QObject* parent);
    ~RSSChannel() override;

    static QString titleForType(ChannelType type);
    static QString urlForType(ChannelType type);

    ChannelType getType() const;
    QString getTitle() const;
    bool isActive();
    void setActive(bool value);
    int getUnreadArticlesCount() const;
    bool isUpdating();
    const QVector<Article*>& getArticles() const { return articles; }
    QDateTime getLastUpdateTime() const { return lastUpdateTime; }
    // Whether the last network update ended without a new list (no answer, an error, not a feed).
    bool lastUpdateFailed() const { return updateFailed; }
    // What a refresh the user asked for says when it failed.
    static QString failedRefreshText();

    virtual QString getInfoText() const;
    void markArticleAsRead(Article& art);

    void loadFromFile();
    // False when the list could not be written; the files on disk then hold the last list saved.
    bool saveToFile();
    bool loadFromFile(const QString& name);
    bool saveToFile(const QString& name);

    virtual void articlesDidChange(bool value);

signals:
    void articlesUpadted(QVector<Article*> articles);
    void infoChanged(QString info);
    void updateChanged();

public slots:
    virtual void updateArticles(bool readFromDiskOnly);

protected slots:
    void downloaderStateChanged(Http* h);

protected:
    QString cacheName() const;
    void leaveQueue();
    bool isDownloadingNow() const;
    void mergeFeed(const QVector<Article*>& parsed);
    void startReading(const QByteArray& feed);
    bool continueReading();
    // Whether a copy a save would replace could not be read (the briefcase then waits).
    bool newestCopyUnreadable();
    bool saveReadMarks();
    // The briefcase keeps a copy it could not read where it is; a cache, rebuilt from the
    // network, sets it aside.
    virtual bool keepsUnreadable() const { return false; }

    ChannelType id;
    QString title;
    QString xmlUrl;
    QVector<Article*> articles;
    QDateTime lastUpdateTime;
    Http* downloader;
    bool active;
    bool needsUpdate;
    bool needsReadFromFile;
    QVector<int> unsavedReadMarks; // ids of articles read whose mark is not on disk yet
    bool updateFailed = false;

private:
    // How each copy of the cache file was last found, so that a save knows which one it may replace.
    CopyState copies[3] = {CopyUnknown, CopyUnknown, CopyUnknown};
    CopyState readCopy(const QString& name);
    CopyState stateOf(int copy);
    // A downloaded feed being read a slice at a time, so that a long one does not hold up the screen.
    struct FeedRead;
    std::unique_ptr<FeedRead> reading;
    QTimer* nextSlice = nullptr;
};

#endif // RSSCHANNEL_H
