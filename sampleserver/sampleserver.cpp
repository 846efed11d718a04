#include "sampleserver/sampleserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

QByteArray contentTypeFor(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("html")) return "text/html; charset=utf-8";
    if (suffix == QLatin1String("xml")) return "text/xml; charset=utf-8";
    if (suffix == QLatin1String("json")) return "application/json; charset=utf-8";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "image/jpeg";
    if (suffix == QLatin1String("png")) return "image/png";
    if (suffix == QLatin1String("gif")) return "image/gif";
    return "text/plain; charset=utf-8";
}

const int maxHeaderBytes = 64 * 1024;

} // namespace

SampleServer::SampleServer(QObject* parent) : QTcpServer(parent)
{
    connect(this, &QTcpServer::newConnection, this, &SampleServer::onNewConnection);
}

bool SampleServer::start(quint16 port)
{
    return listen(QHostAddress::LocalHost, port);
}

QString SampleServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(serverPort());
}

void SampleServer::setContentRoot(const QString& root)
{
    contentRoot = root;
}

void SampleServer::route(const QString& host, const QString& path, Handler handler)
{
    routes.insert(host + QLatin1Char('|') + path, handler);
}

void SampleServer::route(const QString& host, const QString& path, const Reply& reply)
{
    route(host, path, [reply](const Request&) { return reply; });
}

SampleServer::Reply SampleServer::redirect(const QString& location, int status)
{
    Reply r;
    r.status = status;
    r.headers.append({"Location", location.toUtf8()});
    r.body = "moved";
    return r;
}

SampleServer::Reply SampleServer::text(const QByteArray& body, const QByteArray& contentType)
{
    Reply r;
    r.body = body;
    r.contentType = contentType;
    return r;
}

bool SampleServer::setTlsFiles(const QString& certificatePem, const QString& keyPem)
{
    QFile cert(certificatePem);
    QFile key(keyPem);
    if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
        return false;
    tlsCertificate = cert.readAll();
    tlsKey = key.readAll();
    return !QSslCertificate(tlsCertificate).isNull() && !QSslKey(tlsKey, QSsl::Rsa).isNull();
}

QString SampleServer::testAuthorityFile()
{
    return QStringLiteral(KURENDAL_SAMPLE_TLS "/ca.pem");
}

void SampleServer::incomingConnection(qintptr descriptor)
{
    // Every connection may turn into a TLS tunnel after a CONNECT.
    QSslSocket* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    ++accepted;
    addPendingConnection(socket);
}

void SampleServer::onNewConnection()
{
    while (QTcpSocket* socket = nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            pending.remove(socket);
            tunnels.remove(socket);
            socket->deleteLater();
        });
    }
}

void SampleServer::readFrom(QTcpSocket* socket)
{
    QByteArray& data = pending[socket];
    data.append(socket->readAll());
    const int headerEnd = data.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        if (data.size() > maxHeaderBytes)
            socket->abort();
        return;
    }
    const QList<QByteArray> lines = data.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    if (requestLine.size() < 2) {
        socket->abort();
        return;
    }
    Request request;
    request.method = requestLine.at(0);
    if (request.method == "CONNECT") {
        data.clear();
        QSslSocket* ssl = qobject_cast<QSslSocket*>(socket);
        if (!ssl || tlsCertificate.isEmpty()) {
            socket->write("HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
            socket->disconnectFromHost();
            return;
        }
        tunnels.insert(socket, QString::fromLatin1(requestLine.at(1).split(':').first()));
        socket->write("HTTP/1.1 200 Connection established\r\n\r\n");
        socket->flush();
        ssl->setLocalCertificate(QSslCertificate(tlsCertificate));
        ssl->setPrivateKey(QSslKey(tlsKey, QSsl::Rsa));
        ssl->startServerEncryption();
        return;
    }
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int colon = line.indexOf(':');
        if (colon > 0)
            request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    const int length = request.headers.value("content-length", "0").toInt();
    if (data.size() < headerEnd + 4 + length)
        return;
    request.body = data.mid(headerEnd + 4, length);
    if (keepAlive)
        data.remove(0, headerEnd + 4 + length);
    else
        data.clear();

    const QByteArray target = requestLine.at(1);
    QUrl url;
    if (target.startsWith("http://") || target.startsWith("https://"))
        url = QUrl::fromEncoded(target);
    else
        url = QUrl::fromEncoded("http://" + request.headers.value("host", "localhost") + target);
    request.host = url.host();
    if (tunnels.contains(socket)) {
        request.scheme = QStringLiteral("https");
        request.host = tunnels.value(socket);
    }
    request.path = url.path(QUrl::FullyDecoded);
    request.query = url.query(QUrl::FullyEncoded);
    log.append(request);
    send(socket, answer(request));
    emit requestServed(request.path);
}

SampleServer::Reply SampleServer::answer(const Request& request) const
{
    auto handler = routes.constFind(request.host + QLatin1Char('|') + request.path);
    if (handler == routes.constEnd())
        handler = routes.constFind(QStringLiteral("*|") + request.path);
    if (handler != routes.constEnd())
        return (*handler)(request);

    Reply reply;
    if (!contentRoot.isEmpty()) {
        QString relative = request.path;
        if (relative.endsWith(QLatin1Char('/')))
            relative += QStringLiteral("index.html");
        const QString path = QDir::cleanPath(contentRoot + QLatin1Char('/') + request.host + relative);
        const QString hostRoot = QDir::cleanPath(contentRoot + QLatin1Char('/') + request.host);
        QFile file(path);
        if (path.startsWith(hostRoot + QLatin1Char('/')) && file.open(QIODevice::ReadOnly)) {
            reply.body = file.readAll();
            reply.contentType = contentTypeFor(path);
            return reply;
        }
    }
    reply.status = 404;
    reply.body = "<html><body><h1>404</h1></body></html>";
    return reply;
}

void SampleServer::send(QTcpSocket* socket, const Reply& reply)
{
    if (reply.noReply)
        return;
    QPointer<QTcpSocket> guard(socket);
    const bool close = !keepAlive;
    auto write = [guard, reply, close] {
        if (!guard)
            return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
        head += "Content-Type: " + reply.contentType + "\r\n";
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        for (const auto& h : reply.headers)
            head += h.first + ": " + h.second + "\r\n";
        head += close ? "Connection: close\r\n\r\n" : "Connection: keep-alive\r\n\r\n";
        guard->write(head);
        if (reply.closeAfterBytes >= 0) {
            guard->write(reply.body.left(reply.closeAfterBytes));
            guard->flush();
            guard->abort();
            return;
        }
        guard->write(reply.body);
        if (close)
            guard->disconnectFromHost();
    };
    if (reply.delayMs > 0)
        QTimer::singleShot(reply.delayMs, socket, write);
    else
        write();
}
