#ifndef ARTICLEPARSER_H
#define ARTICLEPARSER_H

#include <QVector>
#include <QXmlContentHandler>

class Article;
class Photo;

// SAX handler that turns one category feed ("iphonefeed") into articles with photos.
class ArticleParser : public QXmlContentHandler
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

    static QString replaceEntities(const QString& text);

    void setDocumentLocator(QXmlLocator* locator) override;
    bool startDocument() override;
    bool endDocument() override;
    bool startPrefixMapping(const QString& prefix, const QString& uri) override;
    bool endPrefixMapping(const QString& prefix) override;
    bool startElement(const QString& namespaceURI, const QString& localName, const QString& qName,
                      const QXmlAttributes& atts) override;
    bool endElement(const QString& namespaceURI, const QString& localName, const QString& qName) override;
    bool characters(const QString& ch) override;
    bool ignorableWhitespace(const QString& ch) override;
    bool processingInstruction(const QString& target, const QString& data) override;
    bool skippedEntity(const QString& name) override;
    QString errorString() const override;

private:
    int state;
    QString* currentElementValue;
    Article* currentArticle;
    Photo* currentPhoto;
    QVector<Article*> articles;
    bool sawRoot;
    int skipDepth; // inside an element that is not ours, with all it holds
};

#endif // ARTICLEPARSER_H
