#include "Logic/gallerypicturesparser.h"

#include <QXmlSimpleReader>

static QString nameOf(const QString& localName, const QString& qName)
{
    return localName.isEmpty() ? qName : localName;
}

GalleryPicturesParser::GalleryPicturesParser() : state(-1), currentElementValue(new QString), itemsCount(0) {}

GalleryPicturesParser::~GalleryPicturesParser()
{
    delete currentElementValue;
}

bool GalleryPicturesParser::parse(const QByteArray& xml)
{
    itemsCount = 0;
    QXmlInputSource source;
    source.setData(xml);
    QXmlSimpleReader reader;
    reader.setContentHandler(this);
    return reader.parse(&source);
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

bool GalleryPicturesParser::startDocument()
{
    state = -1;
    return true;
}

bool GalleryPicturesParser::startElement(const QString&, const QString& localName, const QString& qName,
                                         const QXmlAttributes& atts)
{
    const QString name = nameOf(localName, qName);
    if (name == QLatin1String("channel")) {
        state = CHANNEL;
    } else if (state == CHANNEL && name == QLatin1String("item")) {
        ++itemsCount;
        state = ITEM;
    } else if (state == ITEM) {
        if (name == QLatin1String("enclosure")) {
            state = ITEM_ENCLOSURE;
            picturesUrls.append(atts.value(QStringLiteral("url")));
        } else if (name == QLatin1String("title")) {
            state = ITEM_TITLE;
        } else if (name == QLatin1String("link")) {
            state = ITEM_LINK;
        }
    }
    return true;
}

bool GalleryPicturesParser::endElement(const QString&, const QString& localName, const QString& qName)
{
    const QString name = nameOf(localName, qName);
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
    return true;
}

// Trimmed once at the end tag: the reader splits text around entities, and trimming
// every piece would glue "Kraków &amp; okolice" into "Kraków&okolice".
bool GalleryPicturesParser::characters(const QString& ch)
{
    currentElementValue->append(ch);
    return true;
}

void GalleryPicturesParser::setDocumentLocator(QXmlLocator*) {}
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
bool GalleryPicturesParser::endDocument()
{
    evenUpLists();
    return true;
}
bool GalleryPicturesParser::startPrefixMapping(const QString&, const QString&) { return true; }
bool GalleryPicturesParser::endPrefixMapping(const QString&) { return true; }
bool GalleryPicturesParser::ignorableWhitespace(const QString&) { return true; }
bool GalleryPicturesParser::processingInstruction(const QString&, const QString&) { return true; }
bool GalleryPicturesParser::skippedEntity(const QString&) { return true; }

QString GalleryPicturesParser::errorString() const
{
    return QStringLiteral("ERROR");
}
