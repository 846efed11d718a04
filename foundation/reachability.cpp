#include "foundation/reachability.h"

#include <QDebug>
#include <QHostAddress>
#include <QNetworkConfigurationManager>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QTimer>

#include "foundation/constants.h"
#include "foundation/userprompts.h"

Reachability* Reachability::singleton = nullptr;
bool Reachability::connected = false;

static const int sessionTimeout = 30000;

Reachability::Reachability(QObject* parent)
    : QObject(parent), manager(nullptr), m_session(nullptr), timeoutTimer(nullptr)
{
    singleton = this;
    timeoutTimer = new QTimer(this);
    timeoutTimer->setSingleShot(true);
    timeoutTimer->setInterval(sessionTimeout);
    connect(timeoutTimer, &QTimer::timeout, this, &Reachability::timeout);

    manager = new QNetworkConfigurationManager();
    connect(manager, &QNetworkConfigurationManager::configurationAdded, this, &Reachability::configurationAdded);
    connect(manager, &QNetworkConfigurationManager::configurationChanged, this, &Reachability::configurationChanged);
    connect(manager, &QNetworkConfigurationManager::configurationRemoved, this, &Reachability::configurationRemoved);
    connect(manager, &QNetworkConfigurationManager::updateCompleted, this, &Reachability::configurationUpdated);
    connect(manager, &QNetworkConfigurationManager::onlineStateChanged, this, &Reachability::configurationStateChanged);
}

Reachability::~Reachability()
{
    delete m_session;
    delete manager;
    if (singleton == this)
        singleton = nullptr;
}

bool Reachability::isConnectedToNetwork()
{
    return connected;
}

// Qt's generic bearer layer knows no configuration on a machine whose only working
// interface is the loopback. The loopback itself leads nowhere; an interface with an
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
    const QNetworkConfigurationManager::Capabilities caps = manager->capabilities();
    const QNetworkConfiguration config = manager->defaultConfiguration();
    const bool usable = config.isValid()
        && ((caps & QNetworkConfigurationManager::CanStartAndStopInterfaces)
            || config.state() == QNetworkConfiguration::Active);
    if (usable) {
        if (m_session) {
            m_session->deleteLater();
            m_session = nullptr;
        }
        m_session = new QNetworkSession(config);
        // Queued: on a desktop an already active interface opens inside open() itself,
        // and the owner expects the opening to come after start() has returned.
        connect(m_session, &QNetworkSession::opened, this, &Reachability::opened, Qt::QueuedConnection);
        connect(m_session, &QNetworkSession::closed, this, &Reachability::closed);
        connect(m_session, QOverload<QNetworkSession::SessionError>::of(&QNetworkSession::error),
                this, &Reachability::error);
        connect(m_session, &QNetworkSession::preferredConfigurationChanged,
                this, &Reachability::preferredConfigurationChanged);
        connect(m_session, &QNetworkSession::newConfigurationActivated,
                this, &Reachability::newConfigurationActivated);
        connected = false;
        m_session->open();
        timeoutTimer->stop();
        timeoutTimer->start();
        return;
    }
    if ((!config.isValid() && anyInterfaceUp()) || proxyOnLoopback()) {
        if (m_session) {
            m_session->deleteLater();
            m_session = nullptr;
        }
        connected = false;
        timeoutTimer->stop();
        timeoutTimer->start();
        QTimer::singleShot(0, this, &Reachability::opened);
        return;
    }
    UserPrompts::error(trUtf8("Nie można się połączyć z Internetem. Brak dostępnych punktów dostępu."),
                       trUtf8("Błąd"));
}

void Reachability::opened()
{
    connected = true;
    qDebug() << "Reachability: network session opened";
    emit networkSessionOpened();
}

void Reachability::closed()
{
    if (m_session) {
        m_session->deleteLater();
        m_session = nullptr;
    }
    connected = false;
    emit networkSessionCancelled();
}

void Reachability::error(QNetworkSession::SessionError e)
{
    if (e == QNetworkSession::UnknownSessionError) {
        if (m_session && m_session->state() == QNetworkSession::Connecting) {
            connected = false;
            emit networkSessionCancelled();
        }
        return;
    }
    connected = false;
    emit networkSessionCancelled();
}

void Reachability::timeout()
{
    if (connected)
        return;
    if (m_session) {
        // Closing may report closed() at once; that would clear the pointer and announce
        // the end a second time.
        QNetworkSession* session = m_session;
        m_session = nullptr;
        disconnect(session, nullptr, this, nullptr);
        session->close();
        session->deleteLater();
    }
    emit networkSessionCancelled();
}

void Reachability::preferredConfigurationChanged(QNetworkConfiguration, bool)
{
    if (m_session)
        m_session->migrate();
}

void Reachability::newConfigurationActivated()
{
    if (m_session)
        m_session->accept();
}

void Reachability::configurationAdded(QNetworkConfiguration)
{
    if (!connected)
        start();
}

void Reachability::configurationUpdated()
{
    if (!connected)
        start();
}

void Reachability::configurationStateChanged()
{
    if (manager->isOnline() && !connected)
        manager->updateConfigurations();
}

void Reachability::configurationRemoved(QNetworkConfiguration) {}
void Reachability::configurationChanged(QNetworkConfiguration) {}
