#ifndef NETWORKSESSION_H
#define NETWORKSESSION_H

#include <QObject>

// The platform's side of getting online: whether the default connection can be opened,
// and the opening itself. Qt's network information backend stands behind it in one file
// (networksession_netinfo.cpp).
class NetworkSession : public QObject
{
    Q_OBJECT
public:
    static NetworkSession* create(QObject* parent);

    // A default connection is known at all.
    virtual bool hasConfiguration() const = 0;
    // The default connection is active, or the platform can bring it up.
    virtual bool canOpen() const = 0;
    // Drops any earlier attempt and opens the default connection; opened() comes later, never from here.
    virtual void open() = 0;
    // Drops the attempt silently: nothing it reports afterwards reaches us.
    virtual void abandon() = 0;
    // Lets the current session go, as after it closed.
    virtual void release() = 0;
    virtual bool isOnline() const = 0;
    // The way out is charged by the amount (a phone's mobile data); false where nobody knows.
    virtual bool isMetered() const = 0;
    virtual void updateConfigurations() = 0;

signals:
    void opened();
    void closed();
    // An error that ends the attempt or the connection.
    void failed();
    // A connection appeared or the list of connections was refreshed.
    void configurationsChanged();
    void onlineStateChanged();
    void meteredChanged();

protected:
    explicit NetworkSession(QObject* parent) : QObject(parent) {}
};

#endif // NETWORKSESSION_H
