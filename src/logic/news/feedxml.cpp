#include "logic/news/feedxml.h"

#include <QElapsedTimer>
#include <QRegularExpression>
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
QString localName(QStringView qualifiedName)
{
    const int colon = qualifiedName.indexOf(QLatin1Char(':'));
    return (colon < 0 ? qualifiedName : qualifiedName.mid(colon + 1)).toString();
}

// Control characters that XML forbids but feeds carry (pasted from word processors) never failed
// a feed: they pass the reader as characters of a private plane (U+100000 and on) and come back in
// the text. NUL is not among them: a document holding one is not text.
const ushort carrierHigh = 0xDBC0; // high surrogate of U+100000..U+1003FF
const ushort carrierLow = 0xDC00;

int carriedIndex(uint c)
{
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
        return int(c);
    if (c == 0xFFFE || c == 0xFFFF)
        return int(0x20 + (c - 0xFFFE));
    return -1;
}

QString restoreForbidden(QStringView text)
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

enum class Encoding { Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE, Latin1, Latin2, Windows1250, Windows1252, Unreadable };

// The upper halves of the single-byte encodings Polish feeds were written in (0: no character).
const ushort latin2High[128] = {
    0x0080, 0x0081, 0x0082, 0x0083, 0x0084, 0x0085, 0x0086, 0x0087, 0x0088, 0x0089, 0x008A, 0x008B, 0x008C, 0x008D, 0x008E, 0x008F,
    0x0090, 0x0091, 0x0092, 0x0093, 0x0094, 0x0095, 0x0096, 0x0097, 0x0098, 0x0099, 0x009A, 0x009B, 0x009C, 0x009D, 0x009E, 0x009F,
    0x00A0, 0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7, 0x00A8, 0x0160, 0x015E, 0x0164, 0x0179, 0x00AD, 0x017D, 0x017B,
    0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E, 0x015B, 0x02C7, 0x00B8, 0x0161, 0x015F, 0x0165, 0x017A, 0x02DD, 0x017E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
const ushort windows1250High[128] = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021, 0x0000, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
const ushort windows1252High[128] = {
    0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x0000, 0x017D, 0x0000,
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

const QRegularExpression& declarationPattern()
{
    static const QRegularExpression declaration(
        QStringLiteral("^(<\\?xml[^>]*?)\\sencoding\\s*=\\s*[\"']([A-Za-z][A-Za-z0-9._-]*)[\"']"));
    return declaration;
}

Encoding declaredEncoding(const QString& declared)
{
    const QString name = declared.toLower();
    static const QStringList latin1 = {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "l1", "us-ascii", "ascii"};
    static const QStringList latin2 = {"iso-8859-2", "iso8859-2", "iso_8859-2", "latin2", "l2"};
    if (latin1.contains(name))
        return Encoding::Latin1;
    if (latin2.contains(name))
        return Encoding::Latin2;
    if (name == QLatin1String("windows-1250") || name == QLatin1String("cp1250"))
        return Encoding::Windows1250;
    if (name == QLatin1String("windows-1252") || name == QLatin1String("cp1252"))
        return Encoding::Windows1252;
    // A wide encoding declared in bytes that are not wide: the text cannot be what it says.
    if (name.startsWith(QLatin1String("utf-16")) || name.startsWith(QLatin1String("utf-32")) ||
        name.startsWith(QLatin1String("ucs-")))
        return Encoding::Unreadable;
    return Encoding::Utf8;
}

// A byte order mark, else a document starting with "<" in UTF-16, else the declaration.
Encoding detectEncoding(const QByteArray& xml, int* bomLength)
{
    *bomLength = 0;
    if (xml.startsWith(QByteArray("\0\0\xfe\xff", 4)))
        return *bomLength = 4, Encoding::Utf32BE;
    if (xml.startsWith(QByteArray("\xff\xfe\0\0", 4)))
        return *bomLength = 4, Encoding::Utf32LE;
    if (xml.startsWith("\xfe\xff"))
        return *bomLength = 2, Encoding::Utf16BE;
    if (xml.startsWith("\xff\xfe"))
        return *bomLength = 2, Encoding::Utf16LE;
    if (xml.startsWith("\xef\xbb\xbf"))
        return *bomLength = 3, Encoding::Utf8;
    if (xml.startsWith(QByteArray("<\0", 2)))
        return Encoding::Utf16LE;
    if (xml.startsWith(QByteArray("\0<", 2)))
        return Encoding::Utf16BE;
    const QRegularExpressionMatch m = declarationPattern().match(QString::fromLatin1(xml.left(200)));
    return m.hasMatch() ? declaredEncoding(m.captured(2)) : Encoding::Utf8;
}

// The document as UTF-8 for the stream reader, a piece at a time, with the forbidden characters
// carried (see above) and the declaration's encoding removed, as it no longer applies.
class Utf8Pieces
{
public:
    explicit Utf8Pieces(const QByteArray& xml) : bytes(xml) { encoding = detectEncoding(xml, &pos); }

    bool atEnd() const { return failed || pos >= bytes.size(); }
    bool hasFailed() const { return failed; }

    // About `size` more bytes of the document; empty and hasFailed() once it is not text.
    QByteArray next(int size)
    {
        out.clear();
        const int end = int(qMin<qint64>(bytes.size(), qint64(pos) + size));
        switch (encoding) {
        case Encoding::Utf8: nextUtf8(end); break;
        case Encoding::Utf16LE: case Encoding::Utf16BE: nextUtf16(end); break;
        case Encoding::Utf32LE: case Encoding::Utf32BE: nextUtf32(end); break;
        case Encoding::Latin1: case Encoding::Latin2: case Encoding::Windows1250: case Encoding::Windows1252:
            nextSingleByte(end);
            break;
        case Encoding::Unreadable: failed = true; break;
        }
        if (failed)
            return QByteArray();
        if (first) {
            first = false;
            const QRegularExpressionMatch m = declarationPattern().match(QString::fromLatin1(out.left(4096)));
            if (m.hasMatch())
                out.remove(m.capturedLength(1), m.capturedLength(0) - m.capturedLength(1));
        }
        return out;
    }

private:
    const uchar* data() const { return reinterpret_cast<const uchar*>(bytes.constData()); }

    void carry(int index)
    {
        const char c[4] = {char(0xF4), char(0x80), char(0x80), char(0x80 + index)};
        out.append(c, 4);
    }

    void put(uint c)
    {
        if (c == 0) {
            failed = true;
            return;
        }
        const int index = carriedIndex(c);
        if (index >= 0) {
            carry(index);
        } else if (c < 0x80) {
            out.append(char(c));
        } else if (c < 0x800) {
            out.append(char(0xC0 | (c >> 6))).append(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.append(char(0xE0 | (c >> 12))).append(char(0x80 | ((c >> 6) & 0x3F))).append(char(0x80 | (c & 0x3F)));
        } else {
            out.append(char(0xF0 | (c >> 18))).append(char(0x80 | ((c >> 12) & 0x3F)));
            out.append(char(0x80 | ((c >> 6) & 0x3F))).append(char(0x80 | (c & 0x3F)));
        }
    }

    // Checked in place; only what must be carried is rewritten. A sequence is never split.
    void nextUtf8(int end)
    {
        const uchar* s = data();
        const int n = bytes.size();
        int i = pos;
        int run = pos;
        while (i < end) {
            const uchar c = s[i];
            if (c >= 0x20 && c < 0x80) {
                ++i;
                continue;
            }
            if (c < 0x80) {
                if (c == 0) {
                    failed = true;
                    return;
                }
                if (carriedIndex(c) >= 0) {
                    out.append(reinterpret_cast<const char*>(s) + run, i - run);
                    carry(c);
                    run = i + 1;
                }
                ++i;
                continue;
            }
            int length = 0;
            uchar low = 0x80, high = 0xBF;
            if (c >= 0xC2 && c <= 0xDF) {
                length = 2;
            } else if (c >= 0xE0 && c <= 0xEF) {
                length = 3;
                low = c == 0xE0 ? 0xA0 : 0x80; // no overlong forms
                high = c == 0xED ? 0x9F : 0xBF; // no surrogates
            } else if (c >= 0xF0 && c <= 0xF4) {
                length = 4;
                low = c == 0xF0 ? 0x90 : 0x80;
                high = c == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
            }
            if (length == 0 || i + length > n || s[i + 1] < low || s[i + 1] > high) {
                failed = true;
                return;
            }
            for (int k = 2; k < length; ++k) {
                if ((s[i + k] & 0xC0) != 0x80) {
                    failed = true;
                    return;
                }
            }
            if (c == 0xEF && s[i + 1] == 0xBF && s[i + 2] >= 0xBE) {
                out.append(reinterpret_cast<const char*>(s) + run, i - run);
                carry(0x20 + (s[i + 2] - 0xBE));
                run = i + 3;
            }
            i += length;
        }
        out.append(reinterpret_cast<const char*>(s) + run, i - run);
        pos = i;
    }

    void nextSingleByte(int end)
    {
        const ushort* high = encoding == Encoding::Latin2        ? latin2High
                             : encoding == Encoding::Windows1250 ? windows1250High
                             : encoding == Encoding::Windows1252 ? windows1252High
                                                                 : nullptr;
        const uchar* s = data();
        out.reserve(2 * (end - pos));
        for (int i = pos; i < end && !failed; ++i) {
            const uchar b = s[i];
            if (b < 0x80 || !high) {
                put(b);
            } else if (high[b - 0x80]) {
                put(high[b - 0x80]);
            } else {
                failed = true;
            }
        }
        pos = end;
    }

    uint unit16(int i) const
    {
        const uchar* s = data() + i;
        return encoding == Encoding::Utf16LE ? uint(s[0] | (s[1] << 8)) : uint((s[0] << 8) | s[1]);
    }

    void nextUtf16(int end)
    {
        const int n = bytes.size();
        int i = pos;
        while (i + 2 <= end && !failed) {
            const uint u = unit16(i);
            if (u >= 0xD800 && u <= 0xDBFF) {
                const uint next = i + 4 <= n ? unit16(i + 2) : 0;
                if (next < 0xDC00 || next > 0xDFFF) {
                    failed = true;
                    return;
                }
                put(0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00));
                i += 4;
            } else if (u >= 0xDC00 && u <= 0xDFFF) {
                failed = true;
            } else {
                put(u);
                i += 2;
            }
        }
        pos = i;
        if (end == n && pos < n)
            failed = true; // half a character at the end
    }

    void nextUtf32(int end)
    {
        const int n = bytes.size();
        int i = pos;
        for (; i + 4 <= end && !failed; i += 4) {
            const uchar* s = data() + i;
            const uint c = encoding == Encoding::Utf32LE ? uint(s[0] | (s[1] << 8) | (s[2] << 16) | (uint(s[3]) << 24))
                                                         : uint((uint(s[0]) << 24) | (s[1] << 16) | (s[2] << 8) | s[3]);
            if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
                failed = true;
            else
                put(c);
        }
        pos = i;
        if (end == n && pos < n)
            failed = true;
    }

    const QByteArray& bytes;
    int pos = 0;
    Encoding encoding = Encoding::Utf8;
    bool failed = false;
    bool first = true;
    QByteArray out;
};

// Bytes given to the stream reader at a time: a few milliseconds of reading at most.
const int pieceBytes = 64 * 1024;

} // namespace

struct FeedXml::Reader::Private
{
    Private(const QByteArray& xml, FeedXmlHandler& h) : input(xml), handler(h)
    {
        reader.setNamespaceProcessing(false);
        reader.setEntityResolver(&skip);
        // Text given as a string locks the reader to UTF-8, what the pieces are: an encoding the
        // declaration still names (a second one) must not make it decode them again.
        reader.addData(QString());
    }

    bool finish(bool ok)
    {
        done = true;
        succeeded = ok;
        return false;
    }

    bool feed(bool all)
    {
        do {
            const QByteArray piece = input.next(pieceBytes);
            if (input.hasFailed())
                return false;
            reader.addData(piece);
        } while (all && !input.atEnd());
        return true;
    }

    Utf8Pieces input;
    FeedXmlHandler& handler;
    QXmlStreamReader reader;
    SkipUndeclaredEntities skip;
    int depth = 0;
    bool sawElement = false;
    bool sawDtd = false;
    bool done = false;
    bool succeeded = false;
};

FeedXml::Reader::Reader(const QByteArray& xml, FeedXmlHandler& handler) : d(new Private(xml, handler)) {}

FeedXml::Reader::~Reader() = default;

bool FeedXml::Reader::succeeded() const
{
    return d->done && d->succeeded;
}

bool FeedXml::Reader::readSome(int budgetMs)
{
    if (d->done)
        return false;
    QElapsedTimer clock;
    clock.start();
    QXmlStreamReader& reader = d->reader;
    for (int tokens = 1;; ++tokens) {
        if (budgetMs >= 0 && tokens % 64 == 0 && clock.elapsed() >= budgetMs)
            return true;
        switch (reader.readNext()) {
        case QXmlStreamReader::Invalid:
            if (reader.error() == QXmlStreamReader::PrematureEndOfDocumentError && !d->input.atEnd()) {
                if (!d->feed(false))
                    return d->finish(false);
                break;
            }
            return d->finish(false);
        case QXmlStreamReader::DTD:
            // The reader stops telling a document type after the first element, or a second one,
            // from a proper one once it has waited for more bytes: both are refused here.
            if (d->sawElement || d->sawDtd)
                return d->finish(false);
            d->sawDtd = true;
            // A feed has no use for entities, and expanding them lets a few hundred bytes grow
            // into gigabytes (or slip markup into a field): such a document is refused whole.
            if (!reader.entityDeclarations().isEmpty())
                return d->finish(false);
            break;
        case QXmlStreamReader::StartElement:
            d->sawElement = true;
            ++d->depth;
            d->handler.startElement(localName(reader.qualifiedName()), reader.attributes());
            break;
        case QXmlStreamReader::EndElement:
            --d->depth;
            d->handler.endElement(localName(reader.qualifiedName()));
            // The reader ends a document at the end of what it was given once the root is closed:
            // it gets all that follows, so that content after the root still fails the document.
            if (d->depth == 0 && !d->input.atEnd() && !d->feed(true))
                return d->finish(false);
            break;
        case QXmlStreamReader::Characters:
            if (d->depth > 0)
                d->handler.characters(restoreForbidden(reader.text()));
            break;
        case QXmlStreamReader::EndDocument:
            d->handler.endDocument();
            return d->finish(true);
        default:
            // Comments, processing instructions, and references to entities nobody declared,
            // which read as nothing.
            break;
        }
    }
}

bool FeedXml::read(const QByteArray& xml, FeedXmlHandler& handler)
{
    Reader reader(xml, handler);
    reader.readSome(-1);
    return reader.succeeded();
}

QString FeedXml::attribute(const QXmlStreamAttributes& attributes, const QString& name)
{
    for (const QXmlStreamAttribute& a : attributes) {
        const QStringView written = a.qualifiedName().isEmpty() ? a.name() : a.qualifiedName();
        if (!a.isDefault() && written == name)
            return restoreForbidden(a.value());
    }
    return QString();
}
