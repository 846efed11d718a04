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

QString SavedArticles::unreadableText()
{
    return tr("Nie można odczytać teczki. Zapisane artykuły pozostają na dysku.");
}

QString SavedArticles::getInfoText() const
{
    if (unreadable)
        return unreadableText();
    return QStringLiteral("<b>") + title + QStringLiteral("</b>");
}

void SavedArticles::read()
{
    loadFromFile();
    for (Article* a : articles) {
        a->setSavedArticles(true);
        a->loadImages(false);
    }
    unreadable = newestCopyUnreadable();
    needsReadFromFile = unreadable;
    emit infoChanged(getInfoText());
}

// Showing the list saves nothing: only a change is written. A briefcase that could not be
// read is read again each time it is shown.
void SavedArticles::updateArticles(bool)
{
    if (needsReadFromFile)
        read();
    if (!unsavedReadMarks.isEmpty() && !unreadable)
        saveReadMarks();
    emit articlesUpadted(articles);
}

void SavedArticles::articlesDidChange(bool value)
{
    if (value)
        save();
    emit articlesUpadted(articles);
}

bool SavedArticles::save()
{
    return !unreadable && saveToFile();
}

bool SavedArticles::addArticle(const Article& article)
{
    if (unreadable || isFull() || isArticleInSavedArticles(article))
        return false;
    Article* saved = new Article(this);
    saved->setSavedArticles(true);
    saved->updateFrom(article, false);
    articles.prepend(saved);
    if (!save()) {
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
    if (unreadable)
        return false;
    Article* a = articles.takeAt(index);
    if (!save()) {
        articles.insert(index, a);
        return false;
    }
    // Only now: until the file is saved without the article, its pictures are still its.
    a->deleteImages();
    a->deleteLater();
    emit articlesUpadted(articles);
    return true;
}
