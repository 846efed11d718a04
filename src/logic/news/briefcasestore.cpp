#include "logic/news/briefcasestore.h"

#include <QDir>

#include "logic/base/file.h"

SavedArticles* SavedArticles::singleton = nullptr;

SavedArticles::SavedArticles(QObject* parent)
    : RSSChannel(Teczka, parent)
{
    needsReadFromFile = true;
    singleton = this;
    QDir data(File::createPathToResource(QStringLiteral("/")));
    if (!QDir(data.filePath(QStringLiteral("teczka"))).exists())
        data.mkdir(QStringLiteral("teczka"));
    updateArticles(true);
}

SavedArticles::~SavedArticles()
{
    if (singleton == this)
        singleton = nullptr;
}

SavedArticles* SavedArticles::getSingleton()
{
    return singleton;
}

bool SavedArticles::isArticleInSavedArticles(const Article& article)
{
    if (!singleton)
        return false;
    for (const Article* a : singleton->articles) {
        if (*a == article)
            return true;
    }
    return false;
}

QString SavedArticles::getInfoText() const
{
    return QStringLiteral("<b>") + title + QStringLiteral("</b>");
}

void SavedArticles::updateArticles(bool)
{
    if (needsReadFromFile) {
        loadFromFile();
        for (Article* a : articles) {
            a->setSavedArticles(true);
            a->loadImages(false);
        }
        needsReadFromFile = false;
        // Reading changes nothing: the files stay as they are, so a damaged main file
        // never pushes the good ".old" companion out before the user changes anything.
        emit articlesUpadted(articles);
        return;
    }
    articlesDidChange(true);
}

void SavedArticles::articlesDidChange(bool)
{
    if (articles.size() > maxArticles)
        articles.resize(maxArticles);
    saveToFile();
    emit articlesUpadted(articles);
}

bool SavedArticles::addArticle(const Article& article)
{
    if (isFull() || isArticleInSavedArticles(article))
        return false;
    Article* saved = new Article(this);
    saved->setSavedArticles(true);
    saved->updateFrom(article, false);
    articles.prepend(saved);
    if (!saveToFile()) {
        articles.removeFirst();
        saved->deleteImages(); // a picture it may have written already
        saved->setSavedArticles(false);
        saved->deleteLater();
        return false;
    }
    emit articlesUpadted(articles);
    return true;
}

bool SavedArticles::removeArticle(const Article& article)
{
    for (int i = 0; i < articles.size(); ++i) {
        if (*articles.at(i) == article)
            return remove(i);
    }
    return false;
}

bool SavedArticles::removeOldest()
{
    if (articles.isEmpty())
        return false;
    return remove(articles.size() - 1);
}

bool SavedArticles::remove(int index)
{
    Article* a = articles.takeAt(index);
    if (!saveToFile()) {
        articles.insert(index, a);
        return false;
    }
    // Only now: until the file is saved without the article, its pictures are still its.
    a->deleteImages();
    a->deleteLater();
    emit articlesUpadted(articles);
    return true;
}
