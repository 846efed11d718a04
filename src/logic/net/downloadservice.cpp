#include "logic/net/downloadservice.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QUrl>

#include "logic/net/reachability.h"
#include "logic/base/util.h"
#include "logic/net/request.h"

DownloadService* DownloadService::service = nullptr;

DownloadService::DownloadService(QObject* parent)
    : QObject(parent), qnam(new QNetworkAccessManager(this))
{
    // Redirects are followed by Http, hop by hop, after redirectAllowed(); Qt follows none.
    qnam->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    kindLimits.insert(int(Kind::Feed), feedLimits);
    kindLimits.insert(int(Kind::Picture), pictureLimits);
    kindLimits.insert(int(Kind::Report), reportLimits);
    kindLimits.insert(int(Kind::Sharing), sharingLimits);
}

DownloadService::~DownloadService()
{
    if (service == this)
        service = nullptr;
}

DownloadService* DownloadService::instance()
{
    // Parented to the application: its replies and connections go before Qt's networking does.
    if (!service)
        service = new DownloadService(QCoreApplication::instance());
    return service;
}

DownloadService* DownloadService::existing()
{
    return service;
}

void DownloadService::prepareTrustStore()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    // OpenSSL's SSL_CERT_FILE adds authorities to the system's, as for other programs; Qt looks
    // only in the system's folders, and that on demand, one authority at a time.
    const QString named = qEnvironmentVariable("SSL_CERT_FILE");
    if (named.isEmpty())
        return;
    // The distributions' own bundles hold the authorities of the system's folders: nothing to add.
    const QString path = QFileInfo(named).canonicalFilePath();
    for (const char* bundle : {"/etc/ssl/certs/ca-certificates.crt", "/etc/pki/tls/certs/ca-bundle.crt",
                               "/etc/ssl/cert.pem", "/etc/ssl/ca-bundle.pem"}) {
        if (path.isEmpty() || path == QFileInfo(QString::fromLatin1(bundle)).canonicalFilePath())
            return;
    }
    const QList<QSslCertificate> added = QSslCertificate::fromPath(path);
    if (added.isEmpty())
        return;
    // Setting authorities ends the loading on demand, so the system's are read with them.
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setCaCertificates(tls.caCertificates() + QSslConfiguration::systemCaCertificates() + added);
    QSslConfiguration::setDefaultConfiguration(tls);
}

int DownloadService::firstByteLimit(int timeout)
{
    const bool online = Reachability::isConnectedToNetwork() && Util::isSymbianV3();
    return online ? timeout : timeout + offlineMargin;
}

DownloadService::Limits DownloadService::limits(Kind kind) const
{
    return kindLimits.value(int(kind), feedLimits);
}

void DownloadService::setLimits(Kind kind, Limits limits)
{
    kindLimits.insert(int(kind), limits);
}

static bool isLocalIPv4(quint32 a)
{
    const auto in = [a](quint32 net, int bits) { return (a >> (32 - bits)) == (net >> (32 - bits)); };
    return in(0x00000000, 8)     // "this network": 0.0.0.0 reaches this machine
           || in(0x7f000000, 8)  // loopback
           || in(0x0a000000, 8) || in(0xac100000, 12) || in(0xc0a80000, 16) // private
           || in(0x64400000, 10) // shared by carrier NAT
           || in(0xa9fe0000, 16) // link-local
           || in(0xe0000000, 4) || in(0xf0000000, 4); // multicast, reserved and broadcast
}

bool DownloadService::isLocalHost(const QString& host)
{
    QString name = host.toLower();
    if (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    if (name == QLatin1String("localhost") || name.endsWith(QLatin1String(".localhost")))
        return true;
    QHostAddress address;
    if (!address.setAddress(name))
        return false; // a name: judged by what it says, not by what it resolves to
    if (address.protocol() == QAbstractSocket::IPv4Protocol)
        return isLocalIPv4(address.toIPv4Address());
    const Q_IPV6ADDR six = address.toIPv6Address();
    const auto word = [&six](int i) { return quint16(six[2 * i] << 8 | six[2 * i + 1]); };
    const auto v4At = [&six](int byte) {
        return quint32(six[byte]) << 24 | quint32(six[byte + 1]) << 16 | quint32(six[byte + 2]) << 8 | six[byte + 3];
    };
    bool zeroHead = true; // the first 80 bits
    for (int i = 0; i < 5; ++i)
        zeroHead = zeroHead && word(i) == 0;
    // Mapped (::ffff:a.b.c.d), compatible (::a.b.c.d, :: and ::1 among them) and translated forms
    // carry an IPv4 address that is judged as such.
    if (zeroHead && (word(5) == 0xffff || word(5) == 0))
        return isLocalIPv4(v4At(12));
    if (word(0) == 0x0064 && word(1) == 0xff9b && word(2) == 0 && word(3) == 0 && word(4) == 0 && word(5) == 0)
        return isLocalIPv4(v4At(12)); // NAT64
    if (word(0) == 0x2002)
        return isLocalIPv4(v4At(2)); // 6to4
    return (six[0] & 0xfe) == 0xfc      // unique local
           || (six[0] == 0xfe && (six[1] & 0x80) == 0x80) // link-local and the old site-local
           || six[0] == 0xff;           // multicast
}

bool DownloadService::redirectAllowed(const QUrl& from, const QUrl& to)
{
    const QString scheme = to.scheme().toLower();
    if (!to.isValid() || to.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return false;
    return isLocalHost(from.host()) || !isLocalHost(to.host());
}

void DownloadService::admit(Http* h)
{
    const QUrl url = h->request.url();
    const QString key = url.scheme() + QLatin1String("://") + url.host() + QLatin1Char(':')
                        + QString::number(url.port());
    if (sending.contains(h))
        leave(h); // sent again: it takes its place anew
    Host& host = hosts[key];
    if (host.sending >= connectionsPerHost) {
        host.waiting.append(h);
        return;
    }
    ++host.sending;
    sending.insert(h, key);
    connect(h, &Http::statusChanged, this, &DownloadService::ended, Qt::UniqueConnection);
    connect(h, &QObject::destroyed, this, &DownloadService::leave, Qt::UniqueConnection);
    h->send();
}

void DownloadService::ended(Http* h)
{
    if (h->getStatus() != Http::STATE_RUNNING)
        leave(h);
}

void DownloadService::leave(QObject* h)
{
    const auto it = sending.find(h);
    if (it == sending.end())
        return;
    Host& host = hosts[it.value()];
    sending.erase(it);
    --host.sending;
    while (!host.waiting.isEmpty()) {
        QPointer<Http> next = host.waiting.takeFirst();
        if (next && next->getStatus() == Http::STATE_RUNNING) {
            admit(next);
            return;
        }
    }
}

void DownloadService::enqueue(const QString& queue, Http* h)
{
    Queue& q = queues[queue];
    if (q.running) {
        q.waiting.append(h);
        return;
    }
    q.running = h;
    h->execute();
}

void DownloadService::release(const QString& queue, Http* h)
{
    auto it = queues.find(queue);
    if (it == queues.end())
        return;
    if (it->running == h) {
        it->running = nullptr;
        startNext(*it);
    } else {
        it->waiting.removeAll(h);
    }
}

void DownloadService::startNext(Queue& q)
{
    while (!q.running && !q.waiting.isEmpty())
        q.running = q.waiting.takeFirst(); // one released without leaving the queue is skipped
    if (q.running)
        q.running->execute();
}

QList<Http*> DownloadService::takeAll(const QString& queue)
{
    QList<Http*> all;
    const Queue q = queues.take(queue);
    if (q.running)
        all.append(q.running);
    for (const QPointer<Http>& h : q.waiting) {
        if (h)
            all.append(h);
    }
    return all;
}

Http* DownloadService::current(const QString& queue) const
{
    return queues.value(queue).running;
}

int DownloadService::waitingCount(const QString& queue) const
{
    return queues.value(queue).waiting.size();
}
