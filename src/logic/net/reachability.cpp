#include "logic/net/reachability.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QTimer>

#include "logic/base/constants.h"
#include "logic/base/logging.h"
#include "logic/net/networksession.h"
#include "logic/base/userprompts.h"

Reachability* Reachability::singleton = nullptr;
bool Reachability::connected = false;

static const int sessionTimeout = 30000;

Reachability::Reachability(QObject* parent)
    : QObject(parent), session(nullptr), timeoutTimer(nullptr)
{
    singleton = this;
    timeoutTimer = new QTimer(this);
    timeoutTimer->setSingleShot(true);
    timeoutTimer->setInterval(sessionTimeout);
    connect(timeoutTimer, &QTimer::timeout, this, &Reachability::timeout);

    session = NetworkSession::create(this);
    connect(session, &NetworkSession::opened, this, &Reachability::opened);
    connect(session, &NetworkSession::closed, this, &Reachability::closed);
    connect(session, &NetworkSession::failed, this, &Reachability::failed);
    connect(session, &NetworkSession::configurationsChanged, this, &Reachability::configurationUpdated);
    connect(session, &NetworkSession::onlineStateChanged, this, &Reachability::configurationStateChanged);
    connect(session, &NetworkSession::meteredChanged, this, [this] { emit meteredChanged(isMetered()); });
}

Reachability::~Reachability()
{
    if (singleton == this)
        singleton = nullptr;
}

bool Reachability::isConnectedToNetwork()
{
    return connected;
}

bool Reachability::isMetered() const
{
    return session->isMetered();
}

// Without a network information backend (no NetworkManager, a container) nothing says
// whether there is a way out, and a backend may be unsure. The loopback itself leads nowhere; an interface with an
// address beyond this machine does, and so does a proxy on the loopback (a local
// service that fetches for us).
bool Reachability::anyInterfaceUp()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning)
            || (flags & QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = i.addressEntries();
        for (const QNetworkAddressEntry& e : entries) {
            if (!e.ip().isLoopback() && !e.ip().isLinkLocal())
                return true;
        }
    }
    return false;
}

bool Reachability::proxyOnLoopback()
{
    const auto proxies = QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(QUrl(feedServerUrl)));
    for (const QNetworkProxy& p : proxies) {
        if (p.type() == QNetworkProxy::NoProxy || p.type() == QNetworkProxy::DefaultProxy)
            continue;
        const QString host = p.hostName();
        if (host == QLatin1String("localhost") || QHostAddress(host).isLoopback())
            return true;
    }
    return false;
}

void Reachability::start()
{
    if (opening)
        return;
    if (session->canOpen()) {
        opening = true;
        connected = false;
        session->open();
        timeoutTimer->stop();
        timeoutTimer->start();
        return;
    }
    if ((!session->hasConfiguration() && anyInterfaceUp()) || proxyOnLoopback()) {
        opening = true;
        session->release();
        connected = false;
        timeoutTimer->stop();
        timeoutTimer->start();
        QTimer::singleShot(0, this, &Reachability::opened);
        return;
    }
    UserPrompts::error(tr("Nie można się połączyć z Internetem. Brak dostępnych punktów dostępu."),
                       tr("Błąd"));
}

void Reachability::opened()
{
    opening = false;
    connected = true;
    qCDebug(lcReachability) << "network session opened";
    emit networkSessionOpened();
}

void Reachability::closed()
{
    opening = false;
    session->release();
    connected = false;
    emit networkSessionCancelled();
}

void Reachability::failed()
{
    opening = false;
    connected = false;
    emit networkSessionCancelled();
}

void Reachability::timeout()
{
    if (connected)
        return;
    opening = false;
    session->abandon();
    emit networkSessionCancelled();
}

void Reachability::configurationUpdated()
{
    if (!connected)
        start();
}

void Reachability::configurationStateChanged()
{
    if (session->isOnline() && !connected)
        session->updateConfigurations();
}
