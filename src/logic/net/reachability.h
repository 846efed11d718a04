#ifndef REACHABILITY_H
#define REACHABILITY_H

#include <QObject>

class NetworkSession;
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
    // The connection is charged by the amount, as the platform tells; false where it cannot.
    bool isMetered() const;

    static Reachability* singleton;

signals:
    void networkSessionCancelled();
    void networkSessionOpened();
    void meteredChanged(bool metered);

private slots:
    void timeout();
    void failed();
    void opened();
    void closed();
    void configurationStateChanged();
    void configurationUpdated();

private:
    static bool anyInterfaceUp();
    static bool proxyOnLoopback();

    NetworkSession* session;
    QTimer* timeoutTimer;
    // An attempt is under way: a configuration update arriving meanwhile (the bearer layer's
    // first scan does, at start) must not open the network a second time.
    bool opening = false;

    static bool connected;
};

#endif // REACHABILITY_H
