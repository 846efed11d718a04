#ifndef FEEDXML_H
#define FEEDXML_H

#include <QByteArray>
#include <QString>
#include <QXmlStreamAttributes>

// Receives the events of one feed document, in document order. Names are local
// names (the part after a prefix); text comes only from inside the root element,
// in pieces, and the receiver joins them.
class FeedXmlHandler
{
public:
    virtual ~FeedXmlHandler() = default;
    virtual void startElement(const QString& name, const QXmlStreamAttributes& attributes) = 0;
    virtual void endElement(const QString& name) = 0;
    virtual void characters(const QString& text) = 0;
    // Only after a document that parsed to its end.
    virtual void endDocument() {}
};

namespace FeedXml {

// Streams the bytes to the handler; false when the document is not well-formed
// or declares entities (events up to the fault have been delivered).
bool read(const QByteArray& xml, FeedXmlHandler& handler);

// The value of the attribute written in the element (not a default of the DTD), or a null string.
QString attribute(const QXmlStreamAttributes& attributes, const QString& name);

} // namespace FeedXml

#endif // FEEDXML_H
