#ifndef SAMPLESERVER_H
#define SAMPLESERVER_H

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QTcpServer>
#include <functional>

class QTcpSocket;

// The local stand-in for the publisher's, ad, OAuth and analytics servers.
// It answers plain requests and proxy-form requests ("GET http://host/path"),
// so the program reaches it as its HTTP proxy with the real host names.
class SampleServer : public QTcpServer
{
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QString scheme = QStringLiteral("http"); // "https" inside a CONNECT tunnel
        QString host;
        QString path;
        QString query;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    struct Reply {
        int status = 200;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        int delayMs = 0;        // silence before the first byte
        int closeAfterBytes = -1; // drop the connection after this many body bytes
        bool noReply = false;   // never answer
    };

    using Handler = std::function<Reply(const Request&)>;

    explicit SampleServer(QObject* parent = nullptr);

    // Listens on 127.0.0.1; port 0 picks a free one.
    bool start(quint16 port = 0);
    QString baseUrl() const;

    // Files under root/<host>/<path> are served for requests without a route.
    void setContentRoot(const QString& root);
    // host "*" matches every host.
    void route(const QString& host, const QString& path, Handler handler);
    void route(const QString& host, const QString& path, const Reply& reply);

    QList<Request> requests() const { return log; }
    // Connections accepted since the start (a tunnel counts once).
    int connectionsAccepted() const { return accepted; }
    // Off by default: every reply closes its connection. On: connections stay open for more requests.
    void setKeepAlive(bool on) { keepAlive = on; }
    void clearRequests() { log.clear(); }

    // Certificate and key for CONNECT tunnels: the service then plays HTTPS hosts too.
    bool setTlsFiles(const QString& certificatePem, const QString& keyPem);
    static QString testAuthorityFile();

    static Reply redirect(const QString& location, int status = 302);
    static Reply text(const QByteArray& body, const QByteArray& contentType = "text/plain; charset=utf-8");

signals:
    void requestServed(const QString& path);

protected:
    void incomingConnection(qintptr descriptor) override;

private slots:
    void onNewConnection();

private:
    void readFrom(QTcpSocket* socket);
    Reply answer(const Request& request) const;
    void send(QTcpSocket* socket, const Reply& reply);

    QString contentRoot;
    QHash<QString, Handler> routes;
    QList<Request> log;
    QHash<QTcpSocket*, QByteArray> pending;
    QHash<QTcpSocket*, QString> tunnels; // socket -> host it was opened for
    QByteArray tlsCertificate;
    QByteArray tlsKey;
    int accepted = 0;
    bool keepAlive = false;
};

#endif // SAMPLESERVER_H
