#include "http/downloadservice.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>

#include "foundation/reachability.h"
#include "foundation/util.h"
#include "http/myhttp.h"

DownloadService* DownloadService::service = nullptr;

DownloadService::DownloadService(QObject* parent)
    : QObject(parent), qnam(new QNetworkAccessManager(this))
{
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

int DownloadService::firstByteLimit(int timeout)
{
    const bool online = Reachability::isConnectedToNetwork() && Util::isSymbianV3();
    return online ? timeout : timeout + offlineMargin;
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
