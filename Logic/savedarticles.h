#ifndef SAVEDARTICLES_H
#define SAVEDARTICLES_H

#include "Logic/rsschannel.h"

// The briefcase: up to 30 saved articles, newest first, with their pictures on disk.
class SavedArticles : public RSSChannel
{
    Q_OBJECT
public:
    explicit SavedArticles(QObject* parent);
    ~SavedArticles() override;

    static SavedArticles* getSingleton();
    static bool isArticleInSavedArticles(const Article& article);

    QString getInfoText() const override;
    void articlesDidChange(bool value) override;

public slots:
    void updateArticles(bool readFromDiskOnly) override;
    bool addArticle(const Article& article);
    bool removeArticle(const Article& article);
    bool removeOldest();

private:
    void remove(int index);

    static SavedArticles* singleton;
};

#endif // SAVEDARTICLES_H
