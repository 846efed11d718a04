#ifndef DOWNLOADSERVICE_H
#define DOWNLOADSERVICE_H

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class Http;
class QNetworkAccessManager;
class QUrl;

// The one network access manager of the program and the rules every request keeps:
// time-outs, the redirect bound and the size bound. Sharing the manager lets requests to
// one host reuse a connection (and on https its handshake).
// It also holds the named one-at-a-time queues: a queue runs one request, the others wait in
// the order they were queued. The service lives as long as the application object and is
// recreated with the next one; a queue only points at requests, their owners release them.
class DownloadService : public QObject
{
    Q_OBJECT
public:
    // Time to the first byte, unless the owner sets another.
    static constexpr int defaultTimeout = 5000;
    // What a negative time-out stands for.
    static constexpr int longTimeout = 20000;
    // Granted on top while no network session is open.
    static constexpr int offlineMargin = 10000;
    // A chain of redirects longer than this fails.
    static constexpr int maxRedirects = 10;
    // A body longer than this is not what any of our servers sends: the request fails.
    static constexpr int maxResponseBytes = 16 * 1024 * 1024;
    // Qt opens at most this many connections to one host. A request beyond them would wait inside
    // the manager with its time-out running (thirty thumbnails on a slow link would time out), so
    // it waits here, untimed, until one of them ends.
    static constexpr int connectionsPerHost = 6;

    // What a request carries decides how long its transfer may take.
    enum class Kind {
        Feed,    // a category or gallery feed, an ad description: the default
        Picture, // a thumbnail, photo, banner, splash or gallery picture
        Report,  // the analytics report
        Sharing  // an OAuth request of the Twitter and Blip clients
    };
    // Once the first byte has arrived, a transfer fails when no byte arrives for `inactivity` ms;
    // every transfer fails when it has not ended `total` ms after it was sent (redirects included).
    struct Limits {
        int inactivity;
        int total;
    };
    // The program's figures (see the README). A slow but live mobile link, 2 KB/s with pauses
    // of a few seconds, brings a 100 KB feed in 50 s and a 200 KB picture in 100 s.
    static constexpr Limits feedLimits{15000, 120000};
    static constexpr Limits pictureLimits{15000, 180000};
    static constexpr Limits reportLimits{15000, 60000};
    // The OAuth layer's 30 s from sending to the whole reply.
    static constexpr Limits sharingLimits{15000, 30000};

    // The limits requests of this kind get when they are sent; tests shorten them.
    Limits limits(Kind kind) const;
    void setLimits(Kind kind, Limits limits);

    // Whether a redirect from `from` (the URL the owner asked for) may be followed to `to`:
    // only to http or https, and never from a public host to a loopback, link-local or private
    // address (a literal one, or a localhost name), unless `from` was such a host itself.
    // Names are not resolved: only what the URL itself says is judged.
    static bool redirectAllowed(const QUrl& from, const QUrl& to);
    // A host that is this machine or its local network: `localhost` names, loopback, link-local,
    // private, shared (carrier NAT), unspecified and multicast addresses, IPv4 inside IPv6 included.
    static bool isLocalHost(const QString& host);

    static DownloadService* instance();
    // The service if it exists; null after the application object is gone.
    static DownloadService* existing();

    QNetworkAccessManager* manager() const { return qnam; }

    // Makes the authorities of SSL_CERT_FILE trusted beside the system's, the first time a TLS
    // connection is about to be made: parsing them costs the start more than a window does.
    static void prepareTrustStore();

    // The time-out asked for, turned into the limit to the first byte now.
    static int firstByteLimit(int timeout);

    // Sends h now when its host has a free connection, else when one of the host's requests ends
    // (reaches a final state or is destroyed). One cancelled while it waits is never sent.
    void admit(Http* h);

    // Starts h at once when the queue runs nothing, else puts it at the end.
    void enqueue(const QString& queue, Http* h);
    // h leaves the queue; when it was the running one, the next one starts.
    void release(const QString& queue, Http* h);
    // Empties the queue without starting anything: the running request first, then the waiting.
    QList<Http*> takeAll(const QString& queue);
    Http* current(const QString& queue) const;
    int waitingCount(const QString& queue) const;

private:
    friend class Http; // a request cancelled without a report gives its connection back
    explicit DownloadService(QObject* parent);
    ~DownloadService() override;

    struct Queue {
        QPointer<Http> running;
        QList<QPointer<Http>> waiting;
    };
    void startNext(Queue& q);
    void ended(Http* h);
    void leave(QObject* h);

    struct Host {
        int sending = 0;
        QList<QPointer<Http>> waiting;
    };

    QNetworkAccessManager* qnam;
    QHash<int, Limits> kindLimits;
    QHash<QString, Queue> queues;
    QHash<QString, Host> hosts;
    QHash<QObject*, QString> sending; // each request being sent, with its host
    static DownloadService* service;
};

#endif // DOWNLOADSERVICE_H
