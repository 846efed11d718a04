#ifndef ARTICLEPARSER_H
#define ARTICLEPARSER_H

#include <QVector>
#include <functional>
#include <memory>

#include "logic/news/feedxml.h"

class Article;
class Photo;

// Turns one category feed ("iphonefeed") into articles with photos.
class ArticleParser : private FeedXmlHandler
{
public:
    enum PARSER_STATE {
        IPHONEFEED = 0, ARTYKUL, XX, ORDER, DATE, LINK, TITLE, LEAD, CONTENT, SIGNATURE, LABEL,
        THUMBNAIL, PHOTOS, PHOTO, PHOTO_XX, PHOTO_URL, PHOTO_URL2, PHOTO_SIGNATURE, PHOTO_DESC
    };

    ArticleParser();
    virtual ~ArticleParser();

    bool parse(const QByteArray& xml);
    QVector<Article*>* getParserArticles();

    // Reading in slices: begin(), then readSome() while it returns true, then succeeded().
    // The bytes must outlive the reading.
    void begin(const QByteArray& xml);
    bool readSome(int budgetMs);
    bool succeeded() const;

    // Each article, once read whole, goes to the sink (which takes it) instead of the list,
    // so that a long feed need not be held whole.
    void setArticleSink(std::function<void(Article*)> sink);

    static QString replaceEntities(const QString& text);

private:
    void startElement(const QString& localName, const QXmlStreamAttributes& attributes) override;
    void endElement(const QString& localName) override;
    void characters(const QString& ch) override;

    int state;
    QString* currentElementValue;
    Article* currentArticle;
    Photo* currentPhoto;
    QVector<Article*> articles;
    bool sawRoot;
    int skipDepth; // inside an element that is not ours, with all it holds
    std::function<void(Article*)> sink;
    std::unique_ptr<FeedXml::Reader> reader;
};

#endif // ARTICLEPARSER_H
