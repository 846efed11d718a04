#include "logic/gallery/gallerypicturesparser.h"

GalleryPicturesParser::GalleryPicturesParser() : state(-1), currentElementValue(new QString), itemsCount(0) {}

GalleryPicturesParser::~GalleryPicturesParser()
{
    delete currentElementValue;
}

bool GalleryPicturesParser::parse(const QByteArray& xml)
{
    itemsCount = 0;
    state = -1;
    return FeedXml::read(xml, *this);
}

QList<QString> GalleryPicturesParser::getPicturesUrls() const
{
    return picturesUrls;
}

QList<QString> GalleryPicturesParser::getPicturesTitles() const
{
    return picturesTitles;
}

QList<QString> GalleryPicturesParser::getPicturesLinks() const
{
    return picturesLinksToGallery;
}

void GalleryPicturesParser::startElement(const QString& name, const QXmlStreamAttributes& attributes)
{
    if (name == QLatin1String("channel")) {
        state = CHANNEL;
    } else if (state == CHANNEL && name == QLatin1String("item")) {
        ++itemsCount;
        state = ITEM;
    } else if (state == ITEM) {
        if (name == QLatin1String("enclosure")) {
            state = ITEM_ENCLOSURE;
            picturesUrls.append(FeedXml::attribute(attributes, QStringLiteral("url")));
        } else if (name == QLatin1String("title")) {
            state = ITEM_TITLE;
        } else if (name == QLatin1String("link")) {
            state = ITEM_LINK;
        }
    }
}

void GalleryPicturesParser::endElement(const QString& name)
{
    if (name == QLatin1String("enclosure") && state == ITEM_ENCLOSURE) {
        state = ITEM;
    } else if (name == QLatin1String("item") && state == ITEM) {
        state = CHANNEL;
        evenUpLists();
    } else if (name == QLatin1String("channel")) {
        state = -1;
    } else if (name == QLatin1String("title") && state == ITEM_TITLE) {
        picturesTitles.append(currentElementValue->trimmed());
        state = ITEM;
    } else if (name == QLatin1String("link") && state == ITEM_LINK) {
        picturesLinksToGallery.append(currentElementValue->trimmed());
        state = ITEM;
    }
    currentElementValue->clear();
}

// Trimmed once at the end tag: the reader splits text around entities, and trimming
// every piece would glue "Kraków &amp; okolice" into "Kraków&okolice".
void GalleryPicturesParser::characters(const QString& ch)
{
    currentElementValue->append(ch);
}

// Parallel lists: an item without one of its elements gets an empty entry, and a second
// picture, title or link in one item is dropped so that the later items keep their own.
void GalleryPicturesParser::evenUpLists()
{
    for (QList<QString>* list : {&picturesTitles, &picturesLinksToGallery, &picturesUrls}) {
        while (list->size() < itemsCount)
            list->append(QString());
        while (list->size() > itemsCount)
            list->removeLast();
    }
}

// An item that a nested channel left unclosed still gets its entries.
void GalleryPicturesParser::endDocument()
{
    evenUpLists();
}
