#include "Logic/feedxml.h"

#include <QRegularExpression>
#include <QTextCodec>
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

// Control characters that XML forbids but feeds carry (pasted from word processors) never failed
// a feed: they pass the reader as characters of a private plane and come back in the text.
const ushort carrierHigh = 0xDBC0; // high surrogate of U+100000..U+1003FF
const ushort carrierLow = 0xDC00;

int carriedIndex(ushort c)
{
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
        return c;
    if (c == 0xFFFE || c == 0xFFFF)
        return 0x20 + (c - 0xFFFE);
    return -1;
}

QString carryForbidden(const QString& text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        const int index = carriedIndex(text.at(i).unicode());
        if (index >= 0 && out.isNull())
            out = text.left(i);
        if (index >= 0)
            out.append(QChar(carrierHigh)).append(QChar(ushort(carrierLow + index)));
        else if (!out.isNull())
            out.append(text.at(i));
    }
    return out.isNull() ? text : out;
}

QString restoreForbidden(const QStringRef& text)
{
    if (!text.contains(QChar(carrierHigh)))
        return text.toString();
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        const ushort next = i + 1 < text.size() ? text.at(i + 1).unicode() : 0;
        if (c == carrierHigh && next >= carrierLow && next <= carrierLow + 0x21) {
            const int index = next - carrierLow;
            out.append(QChar(ushort(index < 0x20 ? index : 0xFFFE + (index - 0x20))));
            ++i;
        } else {
            out.append(text.at(i));
        }
    }
    return out;
}

// The text of the document as the feeds were always read: a byte order mark, else the encoding
// declared (UTF-8 when it is unknown); a broken byte becomes U+FFFD instead of failing the feed.
// The declaration loses its encoding, which no longer applies to the decoded text.
QString decode(const QByteArray& xml)
{
    static const QRegularExpression declaration(
        QStringLiteral("^(<\\?xml[^>]*?)\\sencoding\\s*=\\s*[\"']([A-Za-z][A-Za-z0-9._-]*)[\"']"));
    QTextCodec* codec = QTextCodec::codecForUtfText(xml, nullptr);
    if (!codec && xml.startsWith(QByteArray("<\0", 2)))
        codec = QTextCodec::codecForName("UTF-16LE");
    if (!codec && xml.startsWith(QByteArray("\0<", 2)))
        codec = QTextCodec::codecForName("UTF-16BE");
    if (!codec) {
        const QRegularExpressionMatch m = declaration.match(QString::fromLatin1(xml.left(200)));
        if (m.hasMatch())
            codec = QTextCodec::codecForName(m.captured(2).toLatin1());
    }
    if (!codec)
        codec = QTextCodec::codecForMib(106); // UTF-8
    QString text = codec->toUnicode(xml);
    const QRegularExpressionMatch m = declaration.match(text);
    if (m.hasMatch())
        text.replace(0, m.capturedLength(0), m.captured(1));
    return carryForbidden(text);
}

} // namespace

bool FeedXml::read(const QByteArray& xml, FeedXmlHandler& handler)
{
    QXmlStreamReader reader(decode(xml));
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
                handler.characters(restoreForbidden(reader.text()));
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
            return restoreForbidden(a.value());
    }
    return QString();
}
