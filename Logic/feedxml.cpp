#include "Logic/feedxml.h"

#include <QXmlStreamReader>

namespace {

// An entity nobody declared ("&nbsp;" in a feed written as HTML) reads as nothing, as it
// always did, instead of failing the whole feed.
class SkipUndeclaredEntities : public QXmlStreamEntityResolver
{
public:
    QString resolveUndeclaredEntity(const QString&) override { return QLatin1String(""); }
};

// "media:title" is "title": prefixes were never checked against declarations.
QString localName(const QStringRef& qualifiedName)
{
    const int colon = qualifiedName.indexOf(QLatin1Char(':'));
    return (colon < 0 ? qualifiedName : qualifiedName.mid(colon + 1)).toString();
}

} // namespace

bool FeedXml::read(const QByteArray& xml, FeedXmlHandler& handler)
{
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false);
    SkipUndeclaredEntities skip;
    reader.setEntityResolver(&skip);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            // A feed has no use for entities, and expanding them lets a few hundred bytes grow
            // into gigabytes (or slip markup into a field): such a document is refused whole.
            if (!reader.entityDeclarations().isEmpty())
                return false;
            break;
        case QXmlStreamReader::StartElement:
            ++depth;
            handler.startElement(localName(reader.qualifiedName()), reader.attributes());
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            handler.endElement(localName(reader.qualifiedName()));
            break;
        case QXmlStreamReader::Characters:
            if (depth > 0)
                handler.characters(reader.text().toString());
            break;
        case QXmlStreamReader::EndDocument:
            handler.endDocument();
            break;
        default:
            // Comments, processing instructions, and references to entities nobody declared,
            // which read as nothing.
            break;
        }
    }
    return !reader.hasError();
}

QString FeedXml::attribute(const QXmlStreamAttributes& attributes, const QString& name)
{
    for (const QXmlStreamAttribute& a : attributes) {
        const QStringRef written = a.qualifiedName().isEmpty() ? a.name() : a.qualifiedName();
        if (!a.isDefault() && written == name)
            return a.value().toString();
    }
    return QString();
}
