#ifndef GALLERYPICTURESPARSER_H
#define GALLERYPICTURESPARSER_H

#include <QList>
#include <QString>

#include "logic/news/feedxml.h"

// Reads the picture feed (RSS): per item the enclosure's address, the title and the link.
class GalleryPicturesParser : private FeedXmlHandler
{
public:
    enum PARSER_STATE { CHANNEL = 0, ITEM, ITEM_ENCLOSURE, ITEM_TITLE, ITEM_LINK };

    GalleryPicturesParser();
    virtual ~GalleryPicturesParser();

    bool parse(const QByteArray& xml);
    QList<QString> getPicturesUrls() const;
    QList<QString> getPicturesTitles() const;
    QList<QString> getPicturesLinks() const;

private:
    void startElement(const QString& name, const QXmlStreamAttributes& attributes) override;
    void endElement(const QString& name) override;
    void characters(const QString& ch) override;
    void endDocument() override;
    void evenUpLists();

    int state;
    QString* currentElementValue;
    QList<QString> picturesUrls;
    QList<QString> picturesTitles;
    QList<QString> picturesLinksToGallery;
    int itemsCount;
};

#endif // GALLERYPICTURESPARSER_H
