#ifndef SAVEDARTICLES_H
#define SAVEDARTICLES_H

#include "logic/news/channel.h"

// The briefcase: up to 30 saved articles, newest first, with their pictures on disk.
class SavedArticles : public RSSChannel
{
    Q_OBJECT
public:
    explicit SavedArticles(QObject* parent);
    ~SavedArticles() override;

    static SavedArticles* getSingleton();
    static bool isArticleInSavedArticles(const Article& article);
    bool isFull() const { return articles.size() >= maxArticles; }

    QString getInfoText() const override;
    void articlesDidChange(bool value) override;
    // The briefcase file stands but could not be read: nothing is saved over it, every change
    // is refused and the next opening of the screen reads it again.
    bool isUnreadable() const { return unreadable; }
    static QString unreadableText();

public slots:
    void updateArticles(bool readFromDiskOnly) override;
    // Each change is kept only once the briefcase file holds it: false when the briefcase is
    // full, holds the article already (add), lacks it (remove), could not be read, or the file
    // could not be written, and then the list, the file and the pictures stay as they were.
    bool addArticle(const Article& article);
    bool removeArticle(const Article& article);
    bool removeOldest();

protected:
    bool keepsUnreadable() const override { return true; }

private:
    bool remove(int index);
    bool save();
    void read();

    bool unreadable = false;

    static SavedArticles* singleton;
};

#endif // SAVEDARTICLES_H
