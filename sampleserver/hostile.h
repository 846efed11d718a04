#ifndef HOSTILE_H
#define HOSTILE_H

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QTcpServer>

class QTcpSocket;
class QTimer;

// Pictures and feeds that misbehave, small on disk.
namespace Hostile {

// A well-formed PNG (8-bit grey, one colour) declaring width x height pixels:
// 20000 x 20000 takes about 400 KB and decodes to 400 MB or more.
QByteArray pngBomb(int width, int height);
// A JPEG whose frame declares width x height (at most 65535 each) over the scan of
// a 16 x 16 picture: a few hundred bytes that a decoder sizes for the whole frame.
QByteArray jpegBomb(int width, int height);
// A category feed of `count` articles (about 170 bytes each), ids from 500000 up,
// each with its own thumbnail address under http://rss.kurendal.pl/img/.
QByteArray bigFeed(int count);
// Bytes served as a picture that are not one.
QByteArray notAPicture();

} // namespace Hostile

// A proxy front for the sample service that answers some addresses the way a broken
// or hostile network does, and passes everything else to the sample service behind it.
// Each request it sees is printed on standard output as "<what> <host><path>".
class HostileServer : public QTcpServer
{
    Q_OBJECT
public:
    // Requests it does not answer go to the sample service on 127.0.0.1:innerPort.
    // Redirects to a local file point into canaryDir (which must hold canary.xml and canary.png).
    HostileServer(quint16 innerPort, const QString& canaryDir, QObject* parent = nullptr);

    bool start(quint16 port);
    // Plain: every request is passed on, and only printed.
    void setPlain(bool on) { plain = on; }

    // What the service does with a request for host and path: "" passes it on.
    QString scenarioFor(const QString& host, const QString& path) const;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void readFrom(QTcpSocket* socket);
    void relay(QTcpSocket* socket, const QByteArray& head);
    void play(QTcpSocket* socket, const QString& scenario, const QString& host, const QString& path);
    void reply(QTcpSocket* socket, int status, const QByteArray& type, const QByteArray& body,
               const QByteArray& location = QByteArray());

    quint16 inner;
    QString canary;
    QHash<QTcpSocket*, QByteArray> heads;
    QHash<QTcpSocket*, QTcpSocket*> upstream;
    QByteArray png;
    QByteArray jpeg;
    QByteArray big;
    bool plain = false;
};

#endif // HOSTILE_H
