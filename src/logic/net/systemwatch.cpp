#include "logic/net/systemwatch.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

#include "logic/base/logging.h"

static const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

BusPropertyWatch::BusPropertyWatch(const QDBusConnection& connection, const QString& name, const QString& objectPath,
                                   const QString& iface, QObject* parent)
    : QObject(parent), bus(connection), service(name), path(objectPath), interface(iface)
{
}

void BusPropertyWatch::start()
{
    if (!bus.isConnected()) {
        qCDebug(lcSystem) << "no bus for" << service;
        return;
    }
    watcher = new QDBusServiceWatcher(service, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                ++generation;
                if (newOwner.isEmpty()) {
                    qCDebug(lcSystem) << service << "left the bus";
                    forget();
                } else {
                    readAll();
                }
            });
    bus.connect(service, path, propertiesInterface, QStringLiteral("PropertiesChanged"), this,
                SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    readAll();
}

void BusPropertyWatch::readAll()
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, propertiesInterface, QStringLiteral("GetAll"));
    call << interface;
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(call, callTimeout), this);
    const quint64 asked = generation;
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, asked](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        if (w->isError()) {
            qCDebug(lcSystem) << service << "did not answer:" << w->error().name();
            return;
        }
        // An answer from before the service changed hands says nothing of the new one.
        if (asked != generation || reply.arguments().size() != 1)
            return;
        const QVariant first = reply.arguments().first();
        if (first.userType() != qMetaTypeId<QDBusArgument>()
            || first.value<QDBusArgument>().currentSignature() != QLatin1String("a{sv}")) {
            qCDebug(lcSystem) << service << "answered with the wrong type";
            return;
        }
        apply(qdbus_cast<QVariantMap>(first));
    });
}

void BusPropertyWatch::propertiesChanged(const QString& iface, const QVariantMap& changed, const QStringList& invalidated)
{
    if (iface != interface)
        return;
    apply(changed);
    if (!invalidated.isEmpty())
        readAll();
}

// NetworkManager's NMMetered: 1 yes, 3 guess-yes.
NetworkManagerWatch::NetworkManagerWatch(QObject* parent, const QDBusConnection& bus)
    : BusPropertyWatch(bus, QStringLiteral("org.freedesktop.NetworkManager"),
                       QStringLiteral("/org/freedesktop/NetworkManager"), QStringLiteral("org.freedesktop.NetworkManager"),
                       parent)
{
}

void NetworkManagerWatch::apply(const QVariantMap& properties)
{
    const QVariant value = properties.value(QStringLiteral("Metered"));
    if (value.userType() == QMetaType::UInt)
        set(value.toUInt() == 1 || value.toUInt() == 3);
}

void NetworkManagerWatch::forget()
{
    set(false);
}

void NetworkManagerWatch::set(bool value)
{
    if (value == isMetered)
        return;
    isMetered = value;
    qCDebug(lcSystem) << "metered link:" << value;
    emit meteredChanged(value);
}

PowerProfileWatch::PowerProfileWatch(QObject* parent, const QDBusConnection& bus)
    : BusPropertyWatch(bus, QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
                       QStringLiteral("org.freedesktop.portal.PowerProfileMonitor"), parent)
{
}

void PowerProfileWatch::apply(const QVariantMap& properties)
{
    const QVariant value = properties.value(QStringLiteral("power-saver-enabled"));
    if (value.userType() == QMetaType::Bool)
        set(value.toBool() ? 1 : 0);
}

void PowerProfileWatch::forget()
{
    set(-1);
}

void PowerProfileWatch::set(int value)
{
    if (value == saver)
        return;
    saver = value;
    qCDebug(lcSystem) << "power saver:" << value;
    emit powerSaverChanged(value);
}

class UPowerDaemonWatch : public BusPropertyWatch
{
public:
    UPowerDaemonWatch(UPowerWatch* owner, const QDBusConnection& bus)
        : BusPropertyWatch(bus, QStringLiteral("org.freedesktop.UPower"), QStringLiteral("/org/freedesktop/UPower"),
                           QStringLiteral("org.freedesktop.UPower"), owner),
          upower(owner)
    {
    }

protected:
    void apply(const QVariantMap& properties) override
    {
        const QVariant value = properties.value(QStringLiteral("OnBattery"));
        if (value.userType() == QMetaType::Bool)
            upower->set(value.toBool(), upower->percent);
    }
    void forget() override { upower->set(false, -1); }

private:
    UPowerWatch* upower;
};

class UPowerDeviceWatch : public BusPropertyWatch
{
public:
    UPowerDeviceWatch(UPowerWatch* owner, const QDBusConnection& bus)
        : BusPropertyWatch(bus, QStringLiteral("org.freedesktop.UPower"),
                           QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice"),
                           QStringLiteral("org.freedesktop.UPower.Device"), owner),
          upower(owner)
    {
    }

protected:
    void apply(const QVariantMap& properties) override
    {
        const QVariant value = properties.value(QStringLiteral("Percentage"));
        if (value.userType() == QMetaType::Double && value.toDouble() >= 0 && value.toDouble() <= 100)
            upower->set(upower->discharging, value.toDouble());
    }
    void forget() override { upower->set(false, -1); }

private:
    UPowerWatch* upower;
};

UPowerWatch::UPowerWatch(QObject* parent, const QDBusConnection& bus)
    : QObject(parent), daemon(new UPowerDaemonWatch(this, bus)), device(new UPowerDeviceWatch(this, bus))
{
}

void UPowerWatch::start()
{
    daemon->start();
    device->start();
}

void UPowerWatch::set(bool onBattery, double percentage)
{
    if (onBattery == discharging && percentage == percent)
        return;
    discharging = onBattery;
    percent = percentage;
    qCDebug(lcSystem) << "on battery:" << onBattery << percentage;
    emit batteryChanged(onBattery, percentage);
}
