#include "sampleserver/hostile.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>
#include <QUrl>
#include <zlib.h>

namespace Hostile {

namespace {

void appendBigEndian(QByteArray& out, quint32 value)
{
    out.append(char(value >> 24)).append(char(value >> 16)).append(char(value >> 8)).append(char(value));
}

void appendChunk(QByteArray& png, const char* type, const QByteArray& data)
{
    appendBigEndian(png, quint32(data.size()));
    QByteArray typed(type, 4);
    typed += data;
    png += typed;
    appendBigEndian(png, quint32(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()))));
}

} // namespace

QByteArray pngBomb(int width, int height)
{
    QByteArray header;
    appendBigEndian(header, quint32(width));
    appendBigEndian(header, quint32(height));
    header.append(char(8)).append(char(0)).append(char(0)).append(char(0)).append(char(0)); // 8-bit grey

    // Every row is filter byte 0 and then the same grey. Rows go to the compressor in groups
    // with a full flush after each: the flush forgets the history, so every later group
    // compresses to the same bytes, which are repeated instead of compressed again.
    const int groupRows = 64;
    const QByteArray row = QByteArray(1, '\0') + QByteArray(width, char(0x80));
    const QByteArray group = row.repeated(qMin(groupRows, height));
    z_stream stream = {};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15, 8, Z_RLE);
    auto compress = [&stream](const QByteArray& in, int flush) {
        QByteArray out;
        char chunk[65536];
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
        stream.avail_in = uInt(in.size());
        do {
            stream.next_out = reinterpret_cast<Bytef*>(chunk);
            stream.avail_out = sizeof chunk;
            deflate(&stream, flush);
            out.append(chunk, int(sizeof chunk - stream.avail_out));
        } while (stream.avail_out == 0);
        return out;
    };
    const int groups = height / groupRows;
    QByteArray compressed;
    uLong adler = adler32(0, nullptr, 0);
    const uLong groupAdler = adler32(adler, reinterpret_cast<const Bytef*>(group.constData()), uInt(group.size()));
    QByteArray repeated;
    for (int g = 0; g < groups; ++g) {
        if (g < 2)
            repeated = compress(group, Z_FULL_FLUSH);
        compressed += repeated;
        adler = adler32_combine(adler, groupAdler, z_off_t(group.size()));
    }
    const QByteArray rest = row.repeated(height - groups * groupRows);
    compressed += compress(rest, Z_FINISH);
    deflateEnd(&stream);
    adler = adler32_combine(adler, adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(rest.constData()),
                                           uInt(rest.size())), z_off_t(rest.size()));
    compressed.chop(4); // the compressor's checksum covers only what it saw
    appendBigEndian(compressed, quint32(adler));

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", QByteArray());
    return png;
}

QByteArray jpegBomb(int width, int height)
{
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::darkCyan);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "JPG");
    // The baseline frame header: FF C0, length (2), precision (1), height (2), width (2).
    const int frame = jpeg.indexOf(QByteArray("\xff\xc0", 2));
    if (frame < 0 || frame + 9 > jpeg.size())
        return QByteArray();
    jpeg[frame + 5] = char(height >> 8);
    jpeg[frame + 6] = char(height);
    jpeg[frame + 7] = char(width >> 8);
    jpeg[frame + 8] = char(width);
    return jpeg;
}

QByteArray bigFeed(int count)
{
    QByteArray feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<iphonefeed>\n";
    feed.reserve(count * 140 + 64); // 100 000 articles stay under the 16 MB body bound
    for (int i = 0; i < count; ++i) {
        const QByteArray id = QByteArray::number(500000 + i);
        feed += "<artykul><xx>" + id + "</xx><order>" + QByteArray::number(i)
            + "</order><title>Nr " + id
            + "</title><content>Tre\xc5\x9b\xc4\x87.</content>"
              "<thumbnail>http://rss.kurendal.pl/t/" + id + ".jpg</thumbnail></artykul>\n";
    }
    feed += "</iphonefeed>\n";
    return feed;
}

QByteArray notAPicture()
{
    return "<html><body>NIE-OBRAZEK: captive portal login</body></html>";
}

} // namespace Hostile

namespace {

const int maxHeaderBytes = 64 * 1024;
const int stallAfterBytes = 200;
const int trickleMs = 2000;

// A fixed spread of picture addresses over the kinds of bad picture.
int pick(const QString& path, int kinds)
{
    uint sum = 0;
    for (const QChar c : path)
        sum = sum * 31 + c.unicode();
    return int(sum % uint(kinds));
}

QByteArray contentFile(const QString& host, const QString& path)
{
    QFile file(QStringLiteral(KURENDAL_SAMPLE_CONTENT "/") + host + path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

HostileServer::HostileServer(quint16 innerPort, const QString& canaryDir, QObject* parent)
    : QTcpServer(parent), inner(innerPort), canary(canaryDir)
{
    png = Hostile::pngBomb(20000, 20000);
    jpeg = Hostile::jpegBomb(20000, 20000);
    big = Hostile::bigFeed(100000);
}

bool HostileServer::start(quint16 port)
{
    return listen(QHostAddress::LocalHost, port);
}

QString HostileServer::scenarioFor(const QString& host, const QString& path) const
{
    if (path.startsWith(QLatin1String("/canary/")))
        return QStringLiteral("CANARY");
    if (host == QLatin1String("rss.kurendal.pl")) {
        static const QHash<QString, QString> feeds = {
            {QStringLiteral("kraj.xml"), QStringLiteral("stall")},
            {QStringLiteral("kr_sport.xml"), QStringLiteral("trickle")},
            {QStringLiteral("kr_swiat.xml"), QStringLiteral("to-file")},
            {QStringLiteral("kr_kultura.xml"), QStringLiteral("to-loopback")},
            {QStringLiteral("gospodarka.xml"), QStringLiteral("big-feed")},
            {QStringLiteral("kr_komentarze.xml"), QStringLiteral("nul-feed")},
        };
        if (path.startsWith(QLatin1String("/pub/mobi_lg/out/")))
            return feeds.value(path.section(QLatin1Char('/'), -1));
        if (path.startsWith(QLatin1String("/img/"))) {
            static const char* const kinds[] = {"png-bomb", "jpeg-bomb", "not-a-picture", ""};
            return QString::fromLatin1(kinds[pick(path, 4)]);
        }
    }
    if (host == QLatin1String("ads.kurendal.pl")) {
        if (path == QLatin1String("/img/splash.png"))
            return QStringLiteral("png-bomb");
        if (path == QLatin1String("/img/top.png"))
            return QStringLiteral("jpeg-bomb");
        if (path == QLatin1String("/img/bottom.png"))
            return QStringLiteral("not-a-picture");
    }
    if (host == QLatin1String("www.kurendal.pl") && path.startsWith(QLatin1String("/galeria/"))) {
        static const QHash<QString, QString> pictures = {
            {QStringLiteral("0.jpg"), QStringLiteral("png-bomb")},
            {QStringLiteral("1.jpg"), QStringLiteral("jpeg-bomb")},
            {QStringLiteral("2.jpg"), QStringLiteral("picture-to-file")},
            {QStringLiteral("3.jpg"), QStringLiteral("picture-to-loopback")},
            {QStringLiteral("4.jpg"), QStringLiteral("not-a-picture")},
        };
        return pictures.value(path.section(QLatin1Char('/'), -1));
    }
    if (host == QLatin1String("data.flurry.com"))
        return QStringLiteral("stall");
    return QString();
}

void HostileServer::incomingConnection(qintptr descriptor)
{
    QTcpSocket* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        heads.remove(socket);
        if (QTcpSocket* up = upstream.take(socket))
            up->abort();
        socket->deleteLater();
    });
}

void HostileServer::readFrom(QTcpSocket* socket)
{
    if (QTcpSocket* up = upstream.value(socket)) {
        up->write(socket->readAll());
        return;
    }
    QByteArray& head = heads[socket];
    head += socket->readAll();
    const int end = head.indexOf("\r\n\r\n");
    if (end < 0) {
        if (head.size() > maxHeaderBytes)
            socket->abort();
        return;
    }
    const QList<QByteArray> lines = head.left(end).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    QByteArray hostHeader;
    for (const QByteArray& line : lines)
        if (line.toLower().startsWith("host:"))
            hostHeader = line.mid(5).trimmed();
    const QByteArray target = requestLine.value(1);
    const QUrl url = target.startsWith("http://") ? QUrl::fromEncoded(target)
                                                  : QUrl::fromEncoded("http://" + hostHeader + target);
    const QString scenario =
        plain || requestLine.value(0) == "CONNECT" ? QString() : scenarioFor(url.host(), url.path());
    QTextStream(stdout) << (scenario.isEmpty() ? QStringLiteral("pass") : scenario) << ' '
                        << (requestLine.value(0) == "CONNECT" ? QString::fromLatin1(target) : url.host() + url.path())
                        << Qt::endl;
    if (scenario.isEmpty()) {
        const QByteArray all = heads.take(socket);
        relay(socket, all);
        return;
    }
    heads.remove(socket);
    play(socket, scenario, url.host(), url.path());
}

void HostileServer::relay(QTcpSocket* socket, const QByteArray& head)
{
    QTcpSocket* up = new QTcpSocket(socket);
    upstream.insert(socket, up);
    QPointer<QTcpSocket> client(socket);
    connect(up, &QTcpSocket::readyRead, socket, [up, client] {
        if (client)
            client->write(up->readAll());
    });
    connect(up, &QTcpSocket::disconnected, socket, [client] {
        if (client)
            client->disconnectFromHost();
    });
    connect(up, &QAbstractSocket::errorOccurred, socket, [up, client](QAbstractSocket::SocketError) {
        if (client && up->state() != QAbstractSocket::ConnectedState)
            client->disconnectFromHost();
    });
    up->connectToHost(QHostAddress::LocalHost, inner);
    up->write(head);
}

void HostileServer::reply(QTcpSocket* socket, int status, const QByteArray& type, const QByteArray& body,
                          const QByteArray& location)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Found") + "\r\n";
    head += "Content-Type: " + type + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (!location.isEmpty())
        head += "Location: " + location + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head + body);
    socket->disconnectFromHost();
}

void HostileServer::play(QTcpSocket* socket, const QString& scenario, const QString& host, const QString& path)
{
    const QByteArray xml = "text/xml; charset=utf-8";
    const QByteArray here = "http://127.0.0.1:" + QByteArray::number(serverPort());
    const QByteArray localFile = QUrl::fromLocalFile(canary).toEncoded();
    if (scenario == QLatin1String("stall") || scenario == QLatin1String("trickle")) {
        QByteArray body = contentFile(host, path);
        if (body.isEmpty())
            body = QByteArray(4096, ' ');
        QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: " + xml + "\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
        if (scenario == QLatin1String("stall")) {
            socket->write(head + body.left(stallAfterBytes)); // and nothing more, ever
            return;
        }
        socket->write(head);
        QTimer* timer = new QTimer(socket);
        QPointer<QTcpSocket> client(socket);
        int* sent = new int(0);
        connect(timer, &QObject::destroyed, [sent] { delete sent; });
        connect(timer, &QTimer::timeout, socket, [client, body, sent, timer] {
            if (!client || *sent >= body.size()) {
                timer->stop();
                return;
            }
            client->write(body.mid((*sent)++, 1));
        });
        timer->start(trickleMs);
    } else if (scenario == QLatin1String("to-file")) {
        reply(socket, 302, "text/html", "moved", localFile + "/canary.xml");
    } else if (scenario == QLatin1String("to-loopback")) {
        reply(socket, 302, "text/html", "moved", here + "/canary/loopback.xml");
    } else if (scenario == QLatin1String("picture-to-file")) {
        reply(socket, 302, "text/html", "moved", localFile + "/canary.png");
    } else if (scenario == QLatin1String("picture-to-loopback")) {
        reply(socket, 302, "text/html", "moved",
              "http://localhost:" + QByteArray::number(serverPort()) + "/canary/picture.png");
    } else if (scenario == QLatin1String("big-feed")) {
        reply(socket, 200, xml, big);
    } else if (scenario == QLatin1String("nul-feed")) {
        QByteArray feed = contentFile(host, path);
        const int title = feed.indexOf("<title>");
        feed.insert(title < 0 ? 0 : title + 7, QByteArray("ZEPSUTY\0", 8));
        reply(socket, 200, xml, feed);
    } else if (scenario == QLatin1String("png-bomb")) {
        reply(socket, 200, "image/png", png);
    } else if (scenario == QLatin1String("jpeg-bomb")) {
        reply(socket, 200, "image/jpeg", jpeg);
    } else if (scenario == QLatin1String("not-a-picture")) {
        reply(socket, 200, "image/jpeg", Hostile::notAPicture());
    } else {
        // A canary was reached: a redirect was followed where it must not be.
        QFile file(canary + (path.endsWith(QLatin1String(".xml")) ? "/canary.xml" : "/canary.png"));
        reply(socket, 200, path.endsWith(QLatin1String(".xml")) ? xml : QByteArray("image/png"),
              file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
}
