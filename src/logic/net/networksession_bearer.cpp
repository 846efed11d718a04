#include "logic/net/networksession.h"

// The bearer classes are deprecated in Qt 5.15 and gone in Qt 6, yet on Qt 5 they are what
// brings a phone's connection up. Their use is kept to this file, the only one whose
// deprecation warnings are silenced; a Qt 6 build replaces the file.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED

#include <QNetworkConfigurationManager>
#include <QNetworkSession>

namespace {

class BearerSession : public NetworkSession
{
public:
    explicit BearerSession(QObject* parent) : NetworkSession(parent)
    {
        connect(&manager, &QNetworkConfigurationManager::configurationAdded, this,
                [this] { emit configurationsChanged(); });
        connect(&manager, &QNetworkConfigurationManager::updateCompleted, this,
                [this] { emit configurationsChanged(); });
        connect(&manager, &QNetworkConfigurationManager::onlineStateChanged, this,
                [this] { emit onlineStateChanged(); });
    }

    ~BearerSession() override { delete session; }

    bool hasConfiguration() const override { return manager.defaultConfiguration().isValid(); }

    bool canOpen() const override
    {
        const QNetworkConfiguration config = manager.defaultConfiguration();
        return config.isValid()
            && ((manager.capabilities() & QNetworkConfigurationManager::CanStartAndStopInterfaces)
                || config.state() == QNetworkConfiguration::Active);
    }

    void open() override
    {
        release();
        session = new QNetworkSession(manager.defaultConfiguration());
        // Queued: on a desktop an already active interface opens inside open() itself,
        // and the owner expects the opening to come after it has returned.
        connect(session, &QNetworkSession::opened, this, &NetworkSession::opened, Qt::QueuedConnection);
        connect(session, &QNetworkSession::closed, this, &NetworkSession::closed);
        connect(session, QOverload<QNetworkSession::SessionError>::of(&QNetworkSession::error), this,
                [this](QNetworkSession::SessionError e) {
                    // An unknown error matters only while connecting.
                    if (e == QNetworkSession::UnknownSessionError
                        && !(session && session->state() == QNetworkSession::Connecting))
                        return;
                    emit failed();
                });
        connect(session, &QNetworkSession::preferredConfigurationChanged, this, [this] {
            if (session)
                session->migrate();
        });
        connect(session, &QNetworkSession::newConfigurationActivated, this, [this] {
            if (session)
                session->accept();
        });
        session->open();
    }

    void abandon() override
    {
        if (!session)
            return;
        // Closing may report closed() at once; that would announce the end a second time.
        QNetworkSession* s = session;
        session = nullptr;
        disconnect(s, nullptr, this, nullptr);
        s->close();
        s->deleteLater();
    }

    void release() override
    {
        if (session) {
            session->deleteLater();
            session = nullptr;
        }
    }

    bool isOnline() const override { return manager.isOnline(); }
    void updateConfigurations() override { manager.updateConfigurations(); }

private:
    QNetworkConfigurationManager manager;
    QNetworkSession* session = nullptr;
};

} // namespace

NetworkSession* NetworkSession::create(QObject* parent)
{
    return new BearerSession(parent);
}

QT_WARNING_POP
