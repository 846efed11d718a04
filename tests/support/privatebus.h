#ifndef PRIVATEBUS_H
#define PRIVATEBUS_H

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A D-Bus daemon of the test's own, standing in for both the session and the system bus of the
// process: start() points DBUS_SESSION_BUS_ADDRESS and DBUS_SYSTEM_BUS_ADDRESS at it, so call it
// before anything in the process first asks for a bus. Nothing reaches the machine's own buses.
class PrivateBus
{
public:
    PrivateBus() = default;
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // False when no dbus-daemon could be started.
    bool start();
    QString address() const { return busAddress; }

private:
    QTemporaryDir dir;
    QProcess daemon;
    QString busAddress;
};

#endif // PRIVATEBUS_H
