#ifndef ARTICLESEARCH_H
#define ARTICLESEARCH_H

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVector>
#include <vector>

#include "logic/news/article.h"
#include "logic/news/channel.h"

class RSSChannel;

// Search in every article the program holds: the cached channels and the briefcase. An
// in-memory inverted index of folded words (lower case, no Polish diacritics), kept up to
// date channel by channel as they refresh; a query takes each of its words as a prefix, in
// any order. A database would add a file to keep consistent with the caches for a few
// thousand articles that fit in a few megabytes; the index is rebuilt from them at start.
class ArticleSearch : public QObject
{
    Q_OBJECT
public:
    // Where a word was found; the weights rank a hit.
    enum Field : quint8 { Title = 1, Author = 2, Lead = 4, Body = 8 };

    struct Hit {
        RSSChannel* source;
        int xx;
        int score;
        qint64 time;
    };

    explicit ArticleSearch(QObject* parent = nullptr);

    // Indexes the channel's articles now and again after each of its updates.
    void follow(RSSChannel* channel);
    // Replaces what the index holds of a source with these articles.
    void update(RSSChannel* source, const QVector<Article*>& articles);

    // The hits of a query, best first: title matches before lead and body ones, then newer first.
    QVector<Hit> search(const QString& query, int limit = 100) const;
    // The source's article of a hit, or null when it has gone since.
    static const Article* articleOf(const Hit& hit);

    // Lower case without diacritics, one character for one, so positions carry over.
    static QString fold(const QString& text);
    // The folded words of a query.
    static QStringList queryWords(const QString& query);
    // The text as HTML, every word that starts with one of the folded words in <b>.
    static QString mark(const QString& text, const QStringList& words);
    // Text of an article's HTML body, tags and entities left out.
    static QString plainBody(const QString& html);

    int documentCount() const { return liveDocs; }
    // What the index keeps beside the articles, and the articles' searchable text, in bytes.
    qint64 indexBytes() const;
    qint64 textBytes() const { return storedText; }

signals:
    void changed();

private slots:
    void channelUpdated(QVector<Article*> articles);

private:
    struct Doc {
        int xx = 0;
        qint64 time = 0;
        uint digest = 0;
        qint64 textSize = 0;
        QVector<RSSChannel*> sources;
        std::vector<qint32> terms;
    };

    void index(int doc, const Article& article);
    void unindex(int doc);
    void removeSource(int doc, RSSChannel* source);
    int termId(const QString& word);
    void sortTerms() const;

    std::vector<Doc> docs;
    std::vector<int> freeDocs;
    QHash<int, int> docOfXx;
    QHash<QString, int> termIds;
    std::vector<QString> terms;
    std::vector<std::vector<quint32>> postings;
    mutable std::vector<qint32> sortedTerms;
    mutable bool termsSorted = true;
    int liveDocs = 0;
    qint64 storedText = 0;
};

#endif // ARTICLESEARCH_H
