#ifndef FEEDXML_H
#define FEEDXML_H

#include <QByteArray>
#include <QString>
#include <QXmlStreamAttributes>
#include <memory>

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

// Reads one document in steps, so that a long feed can be read a slice at a time between the
// other work of the event loop. The bytes are decoded as the reading goes: a byte order mark,
// else the encoding declared (UTF-8 when it is unknown). A document that is not text in its
// encoding (a broken UTF-8 sequence, a NUL) is refused like any other broken document.
// The bytes must outlive the reader.
class Reader
{
public:
    Reader(const QByteArray& xml, FeedXmlHandler& handler);
    ~Reader();

    // Reads on until the document ends or fails, or until about budgetMs have passed
    // (a negative budget: to the end). True while there is more to read.
    bool readSome(int budgetMs);
    // Once reading is over: the document was well-formed text and declared no entities.
    bool succeeded() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Streams the bytes to the handler; false when the document is not well-formed
// or declares entities (events up to the fault have been delivered).
bool read(const QByteArray& xml, FeedXmlHandler& handler);

// The value of the attribute written in the element (not a default of the DTD), or a null string.
QString attribute(const QXmlStreamAttributes& attributes, const QString& name);

} // namespace FeedXml

#endif // FEEDXML_H
