#ifndef REACHABILITY_H
#define REACHABILITY_H

#include <QNetworkConfiguration>
#include <QNetworkSession>
#include <QObject>

class QNetworkConfigurationManager;
class QTimer;

// Opens the network session and keeps the process-wide "connected" flag.
class Reachability : public QObject
{
    Q_OBJECT
public:
    explicit Reachability(QObject* parent = nullptr);
    ~Reachability() override;

    void start();
    static bool isConnectedToNetwork();

    static Reachability* singleton;

signals:
    void networkSessionCancelled();
    void networkSessionOpened();

private slots:
    void timeout();
    void error(QNetworkSession::SessionError error);
    void opened();
    void closed();
    void newConfigurationActivated();
    void preferredConfigurationChanged(QNetworkConfiguration config, bool isSeamless);
    void configurationAdded(QNetworkConfiguration config);
    void configurationStateChanged();
    void configurationUpdated();
    void configurationRemoved(QNetworkConfiguration config);
    void configurationChanged(QNetworkConfiguration config);

private:
    static bool anyInterfaceUp();
    static bool proxyOnLoopback();

    QNetworkConfigurationManager* manager;
    QNetworkSession* m_session;
    QTimer* timeoutTimer;

    static bool connected;
};

#endif // REACHABILITY_H
