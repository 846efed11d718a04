#include "logic/net/networksession.h"

#include <QNetworkInformation>
#include <QTimer>

namespace {

// Qt's network information backend (NetworkManager's on Linux) knows whether the machine has a
// way out; nothing needs bringing up, so opening is only a matter of saying so. Where no backend
// loads, or it is not sure, the caller's own interface rule decides.
class InformationSession : public NetworkSession
{
public:
    explicit InformationSession(QObject* parent) : NetworkSession(parent)
    {
        if (!QNetworkInformation::instance())
            QNetworkInformation::loadDefaultBackend();
        info = QNetworkInformation::instance();
        if (!info)
            return;
        connect(info, &QNetworkInformation::reachabilityChanged, this, [this] {
            emit onlineStateChanged();
        });
        connect(info, &QNetworkInformation::isMeteredChanged, this, &NetworkSession::meteredChanged);
    }

    bool hasConfiguration() const override { return isOnline(); }
    bool canOpen() const override { return isOnline(); }

    void open() override
    {
        release();
        pending = new QTimer(this);
        pending->setSingleShot(true);
        connect(pending, &QTimer::timeout, this, [this] {
            release();
            emit opened();
        });
        pending->start(0);
    }

    void abandon() override { release(); }

    void release() override
    {
        delete pending;
        pending = nullptr;
    }

    bool isOnline() const override
    {
        return info && info->reachability() == QNetworkInformation::Reachability::Online;
    }

    bool isMetered() const override
    {
        return info && info->supports(QNetworkInformation::Feature::Metered) && info->isMetered();
    }

    // The backend reports changes itself; a request for a fresh look is answered at once.
    void updateConfigurations() override { emit configurationsChanged(); }

private:
    QNetworkInformation* info = nullptr;
    QTimer* pending = nullptr;
};

} // namespace

NetworkSession* NetworkSession::create(QObject* parent)
{
    return new InformationSession(parent);
}
