#ifndef SYSTEMWATCH_H
#define SYSTEMWATCH_H

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class QDBusServiceWatcher;

// Reads properties of one object of a system service over D-Bus and follows their
// PropertiesChanged signal. Every call is asynchronous with a short time-out; an error,
// a late answer or a value of the wrong type leaves the last known state, and a service
// that goes away makes the watcher report it knows nothing. Nothing here ever waits.
class BusPropertyWatch : public QObject
{
    Q_OBJECT
public:
    static constexpr int callTimeout = 2000;

    BusPropertyWatch(const QDBusConnection& bus, const QString& service, const QString& path,
                     const QString& interface, QObject* parent);
    // Asks for the properties now and again whenever the service (re)appears.
    void start();

protected:
    // Called with the properties read or changed; those of the wrong type must be ignored.
    virtual void apply(const QVariantMap& properties) = 0;
    // The service left the bus or never answered.
    virtual void forget() = 0;

private slots:
    void propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    void readAll();

    QDBusConnection bus;
    QString service;
    QString path;
    QString interface;
    QDBusServiceWatcher* watcher = nullptr;
    quint64 generation = 0;
};

// NetworkManager's Metered property: the link is metered when it says yes or guess-yes.
class NetworkManagerWatch : public BusPropertyWatch
{
    Q_OBJECT
public:
    explicit NetworkManagerWatch(QObject* parent, const QDBusConnection& bus = QDBusConnection::systemBus());
    bool metered() const { return isMetered; }

signals:
    void meteredChanged(bool metered);

protected:
    void apply(const QVariantMap& properties) override;
    void forget() override;

private:
    void set(bool value);
    bool isMetered = false;
};

// The desktop portal's power-saver-enabled; -1 while no portal answers.
class PowerProfileWatch : public BusPropertyWatch
{
    Q_OBJECT
public:
    explicit PowerProfileWatch(QObject* parent, const QDBusConnection& bus = QDBusConnection::sessionBus());
    int powerSaver() const { return saver; }

signals:
    void powerSaverChanged(int enabled);

protected:
    void apply(const QVariantMap& properties) override;
    void forget() override;

private:
    void set(int value);
    int saver = -1;
};

// UPower: OnBattery of the daemon and Percentage of its display device (-1 while unknown).
class UPowerWatch : public QObject
{
    Q_OBJECT
public:
    explicit UPowerWatch(QObject* parent, const QDBusConnection& bus = QDBusConnection::systemBus());
    void start();
    bool onBattery() const { return discharging; }
    double percentage() const { return percent; }

signals:
    void batteryChanged(bool onBattery, double percentage);

private:
    friend class UPowerDaemonWatch;
    friend class UPowerDeviceWatch;
    void set(bool onBattery, double percentage);

    BusPropertyWatch* daemon;
    BusPropertyWatch* device;
    bool discharging = false;
    double percent = -1;
};

#endif // SYSTEMWATCH_H
