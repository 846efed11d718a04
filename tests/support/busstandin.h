#ifndef BUSSTANDIN_H
#define BUSSTANDIN_H

#include <QDBusConnection>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QTimer>
#include <QVariantMap>

// One object of a system service, answering org.freedesktop.DBus.Properties on its own
// connection to the test's private bus, well or badly as the test asks, and announcing changes.
class PropertyStandIn : public QDBusVirtualObject
{
public:
    enum Answer { Promptly, Late, WrongType, Never };
    // A late answer comes after the callers' time-out.
    static constexpr int lateBy = 2200;

    // Stand-ins of one service share its connection: give them the same connectionName.
    PropertyStandIn(const QString& connectionName, const QString& service, const QString& objectPath,
                    const QString& iface)
        : bus(connectionName), connection(connectionName), name(service), path(objectPath), interface(iface)
    {
        reconnect();
    }
    ~PropertyStandIn() override
    {
        bus.unregisterObject(path);
        bus.unregisterService(name);
    }

    bool appear() { return bus.registerService(name); }
    void vanish() { bus.unregisterService(name); }
    // Leaves the bus altogether, as a crashing service does: calls to it fail at once.
    void crash() { QDBusConnection::disconnectFromBus(connection); }
    void reconnect()
    {
        bus = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), connection);
        bus.registerVirtualObject(path, this);
    }

    // Sets a property and sends PropertiesChanged for it.
    void change(const QString& property, const QVariant& value)
    {
        values[property] = value;
        QDBusMessage signal = QDBusMessage::createSignal(path, "org.freedesktop.DBus.Properties", "PropertiesChanged");
        signal << interface << QVariant::fromValue(QVariantMap{{property, value}}) << QStringList();
        bus.send(signal);
    }

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String("GetAll"))
            return false;
        ++calls;
        const QDBusMessage reply = answer == WrongType ? message.createReply(QVariant(QStringLiteral("nonsense")))
                                                       : message.createReply(QVariant::fromValue(values));
        if (answer == Promptly || answer == WrongType)
            connection.send(reply);
        else if (answer == Late)
            QTimer::singleShot(lateBy, [reply, connection]() { QDBusConnection(connection).send(reply); });
        if (answer == Never && crashOnCall)
            QTimer::singleShot(0, [this]() { crash(); });
        return true;
    }

    QDBusConnection bus;
    QString connection;
    QString name;
    QString path;
    QString interface;
    QVariantMap values;
    Answer answer = Promptly;
    bool crashOnCall = false;
    int calls = 0;
};

// The desktop's notification service, or the portal's notification interface, recording every
// notification and able to invoke its actions as a user would.
class NotificationStandIn : public QDBusVirtualObject
{
public:
    explicit NotificationStandIn(bool portal)
        : bus(QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), "notifications")),
          isPortal(portal), name(portal ? "org.freedesktop.portal.Desktop" : "org.freedesktop.Notifications"),
          path(portal ? "/org/freedesktop/portal/desktop" : "/org/freedesktop/Notifications"),
          interface(portal ? "org.freedesktop.portal.Notification" : "org.freedesktop.Notifications")
    {
        bus.registerVirtualObject(path, this);
        bus.registerService(name);
    }
    ~NotificationStandIn() override
    {
        bus.unregisterObject(path);
        bus.unregisterService(name);
    }
    void vanish() { bus.unregisterService(name); }

    // What the last call said: Notify's eight arguments, or AddNotification's two.
    QVariantList last() const { return calls.isEmpty() ? QVariantList() : calls.last(); }
    QVariantMap lastMap(int argument) const { return qdbus_cast<QVariantMap>(last().at(argument)); }

    void invoke(uint id, const QString& action)
    {
        QDBusMessage signal = QDBusMessage::createSignal(path, interface, "ActionInvoked");
        if (isPortal)
            signal << QStringLiteral("top-news") << action << QVariant::fromValue(QVariantList());
        else
            signal << id << action;
        bus.send(signal);
    }

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String(isPortal ? "AddNotification" : "Notify"))
            return false;
        calls << message.arguments();
        connection.send(isPortal ? message.createReply() : message.createReply(QVariant(uint(calls.size()))));
        return true;
    }

    QDBusConnection bus;
    bool isPortal;
    QString name;
    QString path;
    QString interface;
    QList<QVariantList> calls;
};

#endif // BUSSTANDIN_H
