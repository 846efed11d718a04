#ifndef RAWSERVER_H
#define RAWSERVER_H

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QSharedPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <functional>

// A server of a test's own on 127.0.0.1 that answers as badly as the test asks: a body that
// stops after its first bytes, one that trickles, one that comes slowly but steadily. It takes
// direct and proxy-form requests alike ("GET http://host/path"), so it can stand in for any host
// as the program's HTTP proxy. Every answer closes the connection, and announces its whole length
// unless the test asks it not to.
class RawServer : public QTcpServer
{
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        int firstBytes = -1; // body bytes sent at once; -1: the whole body
        int chunk = 1;       // the rest in pieces of this many bytes...
        int everyMs = 0;     // ...one every everyMs; 0: the rest never comes
        bool announced = true; // with a Content-Length
    };
    // Gets the request target as it was sent (absolute in proxy form) and the request body.
    using Handler = std::function<Answer(const QByteArray& target, const QByteArray& body)>;

    Handler handler = [](const QByteArray&, const QByteArray&) { return Answer(); };
    QList<QByteArray> targets; // every request target, in order
    int connections = 0;
    int closedByClient = 0; // connections the other side closed before the answer was whole

    explicit RawServer(QObject* parent = nullptr) : QTcpServer(parent)
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                take(socket);
        });
    }

    // Its connections go first, without reporting to the half-destroyed server.
    ~RawServer() override
    {
        for (QTcpSocket* socket : findChildren<QTcpSocket*>()) {
            socket->disconnect();
            delete socket;
        }
    }

    bool start() { return listen(QHostAddress::LocalHost); }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

    static Answer redirect(const QByteArray& location)
    {
        Answer a;
        a.status = 302;
        a.headers << qMakePair(QByteArray("Location"), location);
        return a;
    }
    // Only the path of a target, absolute or not.
    static QString path(const QByteArray& target) { return QUrl(QString::fromLatin1(target)).path(); }

private:
    void take(QTcpSocket* socket)
    {
        ++connections;
        QSharedPointer<QByteArray> received(new QByteArray);
        QSharedPointer<bool> answered(new bool(false));
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received, answered] {
            received->append(socket->readAll());
            const int end = received->indexOf("\r\n\r\n");
            if (*answered || end < 0)
                return;
            const QByteArray head = received->left(end);
            qint64 length = 0;
            for (const QByteArray& line : head.split('\n')) {
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            }
            if (received->size() < end + 4 + length)
                return;
            *answered = true;
            const QList<QByteArray> requestLine = head.left(head.indexOf('\r')).split(' ');
            const QByteArray target = requestLine.value(1);
            targets << target;
            answer(socket, handler(target, received->mid(end + 4, int(length))));
        });
        connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            if (!socket->property("whole").toBool())
                ++closedByClient;
            socket->deleteLater();
        });
    }

    void answer(QTcpSocket* socket, const Answer& a)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " X\r\nConnection: close\r\n";
        if (a.announced)
            head += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
        for (const auto& h : a.headers)
            head += h.first + ": " + h.second + "\r\n";
        socket->write(head + "\r\n");
        const int first = a.firstBytes < 0 ? a.body.size() : qMin(a.firstBytes, a.body.size());
        socket->write(a.body.left(first));
        if (first == a.body.size()) {
            finish(socket);
            return;
        }
        if (a.everyMs <= 0)
            return; // stalls with the connection open
        QTimer* timer = new QTimer(socket);
        QSharedPointer<int> sent(new int(first));
        const QByteArray body = a.body;
        const int chunk = qMax(1, a.chunk);
        connect(timer, &QTimer::timeout, socket, [this, socket, timer, sent, body, chunk] {
            socket->write(body.mid(*sent, chunk));
            *sent += chunk;
            if (*sent >= body.size()) {
                timer->stop();
                finish(socket);
            }
        });
        timer->start(a.everyMs);
    }

    static void finish(QTcpSocket* socket)
    {
        socket->setProperty("whole", true);
        socket->disconnectFromHost();
    }
};

#endif // RAWSERVER_H
