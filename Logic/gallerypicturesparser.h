#ifndef GALLERYPICTURESPARSER_H
#define GALLERYPICTURESPARSER_H

#include <QList>
#include <QString>
#include <QXmlContentHandler>

// SAX handler for the picture feed (RSS): per item the enclosure's address, the title and the link.
class GalleryPicturesParser : public QXmlContentHandler
{
public:
    enum PARSER_STATE { CHANNEL = 0, ITEM, ITEM_ENCLOSURE, ITEM_TITLE, ITEM_LINK };

    GalleryPicturesParser();
    virtual ~GalleryPicturesParser();

    bool parse(const QByteArray& xml);
    QList<QString> getPicturesUrls() const;
    QList<QString> getPicturesTitles() const;
    QList<QString> getPicturesLinks() const;

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
    void evenUpLists();

    int state;
    QString* currentElementValue;
    QList<QString> picturesUrls;
    QList<QString> picturesTitles;
    QList<QString> picturesLinksToGallery;
    int itemsCount;
};

#endif // GALLERYPICTURESPARSER_H
