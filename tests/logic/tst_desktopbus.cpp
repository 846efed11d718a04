#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QtTest>

#include "logic/net/reachability.h"
#include "logic/net/systemwatch.h"
#include "logic/news/refreshscheduler.h"
#include "logic/news/settings.h"
#include "logic/news/topnewsnotifier.h"
#include "tests/support/privatebus.h"
#include "tests/support/testchannel.h"
#include "tests/support/testenv.h"

// An object of a service on the test's private bus, on a connection of its own; stand-ins of one
// service share its connection: give them the same connectionName.
class StandIn : public QDBusVirtualObject
{
public:
    StandIn(const QString& connectionName, const QString& service, const QString& objectPath, const QString& iface)
        : bus(connectionName), connection(connectionName), name(service), path(objectPath), interface(iface)
    {
        reconnect();
    }
    ~StandIn() override
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
    QString introspect(const QString&) const override { return QString(); }

    QDBusConnection bus;
    QString connection;
    QString name;
    QString path;
    QString interface;
};

// A system service's object answering org.freedesktop.DBus.Properties, well or badly as the test
// asks, and announcing changes.
class PropertyStandIn : public StandIn
{
public:
    enum Answer { Promptly, Late, WrongType, Never };
    // A late answer comes after the callers' time-out.
    static constexpr int lateBy = 2200;

    using StandIn::StandIn;

    // Sets a property and sends PropertiesChanged for it.
    void change(const QString& property, const QVariant& value)
    {
        values[property] = value;
        QDBusMessage signal = QDBusMessage::createSignal(path, "org.freedesktop.DBus.Properties", "PropertiesChanged");
        signal << interface << QVariant::fromValue(QVariantMap{{property, value}}) << QStringList();
        bus.send(signal);
    }

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

    QVariantMap values;
    Answer answer = Promptly;
    bool crashOnCall = false;
    int calls = 0;
};

// The desktop's notification service, or the portal's notification interface, recording every
// notification and able to invoke its actions as a user would.
class NotificationStandIn : public StandIn
{
public:
    explicit NotificationStandIn(bool portal)
        : StandIn("notifications", portal ? "org.freedesktop.portal.Desktop" : "org.freedesktop.Notifications",
                  portal ? "/org/freedesktop/portal/desktop" : "/org/freedesktop/Notifications",
                  portal ? "org.freedesktop.portal.Notification" : "org.freedesktop.Notifications"),
          isPortal(portal)
    {
        appear();
    }

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

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String(isPortal ? "AddNotification" : "Notify"))
            return false;
        calls << message.arguments();
        connection.send(isPortal ? message.createReply() : message.createReply(QVariant(uint(calls.size()))));
        return true;
    }

    bool isPortal;
    QList<QVariantList> calls;
};

// The desktop's services as the program meets them, stood in for on a bus of the test's own; and
// the network session, whose notifications are played into Reachability by name.
class TestDesktopBus : public QObject
{
    Q_OBJECT
private:
    PrivateBus bus;

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        QVERIFY(bus.start());
    }

    // NetworkManager, the portal and UPower feed the scheduler, live, through their signals.
    void linkAndPowerFollowTheServices()
    {
        PropertyStandIn nm("nm", "org.freedesktop.NetworkManager", "/org/freedesktop/NetworkManager",
                           "org.freedesktop.NetworkManager");
        PropertyStandIn upower("upower", "org.freedesktop.UPower", "/org/freedesktop/UPower", "org.freedesktop.UPower");
        PropertyStandIn display("upower", "org.freedesktop.UPower", "/org/freedesktop/UPower/devices/DisplayDevice",
                                "org.freedesktop.UPower.Device");
        PropertyStandIn portal("portal", "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                               "org.freedesktop.portal.PowerProfileMonitor");
        nm.values["Metered"] = 4u; // guess-no
        upower.values["OnBattery"] = true;
        display.values["Percentage"] = 50.0;
        portal.values["power-saver-enabled"] = false;
        QVERIFY(nm.appear());
        QVERIFY(upower.appear());

        RefreshScheduler scheduler({}, nullptr);
        NetworkManagerWatch link(nullptr);
        PowerProfileWatch profile(nullptr);
        UPowerWatch battery(nullptr);
        connect(&link, &NetworkManagerWatch::meteredChanged, &scheduler, &RefreshScheduler::setLinkMetered);
        connect(&profile, &PowerProfileWatch::powerSaverChanged, &scheduler, &RefreshScheduler::setPowerSaverProfile);
        connect(&battery, &UPowerWatch::batteryChanged, &scheduler, &RefreshScheduler::setBattery);
        link.start();
        profile.start();
        battery.start();
        QTRY_COMPARE(battery.percentage(), 50.0);
        QVERIFY(!scheduler.linkMetered());
        QVERIFY(!scheduler.powerSaving());

        nm.change("Metered", 1u); // yes
        QTRY_VERIFY(scheduler.linkMetered());
        nm.change("Metered", 2u); // no
        QTRY_VERIFY(!scheduler.linkMetered());
        QSignalSpy changes(&link, &NetworkManagerWatch::meteredChanged);
        nm.change("Metered", QString("1")); // the wrong type is no answer
        nm.change("Metered", 2u);
        nm.change("Metered", 3u); // guess-yes
        QTRY_VERIFY(scheduler.linkMetered());
        QCOMPARE(changes.count(), 1);

        display.change("Percentage", 19.0);
        QTRY_VERIFY(scheduler.powerSaving());
        // A portal that comes up has the last word; when it goes, the battery has it again.
        QVERIFY(portal.appear());
        QTRY_VERIFY(!scheduler.powerSaving());
        portal.change("power-saver-enabled", true);
        QTRY_VERIFY(scheduler.powerSaving());
        portal.vanish();
        QTRY_COMPARE(profile.powerSaver(), -1);
        QVERIFY(scheduler.powerSaving());
        upower.change("OnBattery", false);
        QTRY_VERIFY(!scheduler.powerSaving());
        // NetworkManager going away leaves no metered link behind.
        nm.vanish();
        QTRY_VERIFY(!scheduler.linkMetered());
    }

    void badAnswersKeepTheSchedule_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("vanish");
        QTest::addColumn<int>("watch"); // ms, past the answer if one comes
        QTest::newRow("late, past the time-out") << int(PropertyStandIn::Late) << false << PropertyStandIn::lateBy + 300;
        QTest::newRow("wrong type") << int(PropertyStandIn::WrongType) << false << 300;
        QTest::newRow("vanishing mid-call") << int(PropertyStandIn::Never) << true << 300;
    }

    void badAnswersKeepTheSchedule()
    {
        QFETCH(int, answer);
        QFETCH(bool, vanish);
        QFETCH(int, watch);
        PropertyStandIn nm("nm-bad", "org.freedesktop.NetworkManager", "/org/freedesktop/NetworkManager",
                           "org.freedesktop.NetworkManager");
        nm.values["Metered"] = 1u;
        nm.answer = PropertyStandIn::Answer(answer);
        nm.crashOnCall = vanish;
        QTRY_VERIFY(nm.appear()); // the bus may still hold the name for the last row's stand-in
        RefreshScheduler scheduler({}, nullptr);
        NetworkManagerWatch link(nullptr);
        connect(&link, &NetworkManagerWatch::meteredChanged, &scheduler, &RefreshScheduler::setLinkMetered);
        link.start();
        // Until the answer is in (or past its time-out), the loop never stood still.
        QVERIFY(TestEnv::longestStall(watch) < 200);
        QCOMPARE(nm.calls, 1);
        QVERIFY(!scheduler.linkMetered());
        // The watcher still follows what the service says next.
        nm.answer = PropertyStandIn::Promptly;
        if (vanish) {
            nm.reconnect();
            QTRY_VERIFY(nm.appear()); // once the bus has seen the old connection go
        }
        else
            nm.change("Metered", 1u);
        QTRY_VERIFY(scheduler.linkMetered());
    }

    void topNewsNotifications_data()
    {
        QTest::addColumn<bool>("portal");
        QTest::newRow("notification service") << false;
        QTest::newRow("sandbox, through the portal") << true;
    }

    // One notification a refresh round, only when asked for and while the window is away.
    void topNewsNotifications()
    {
        QFETCH(bool, portal);
        TestEnv::clearData();
        NotificationStandIn server(portal);
        TestChannel top(RSSChannel::Najwazniejsze);
        Settings settings(nullptr);
        TopNewsNotifier notifier(&top, &settings, nullptr);
        notifier.setSandboxed(portal);
        QSignalSpy requested(&notifier, &TopNewsNotifier::articleRequested);
        top.take({1, 2}); // what the cache held
        notifier.setWindowActive(false);
        top.take({3, 1, 2}); // the setting is off until the user turns it on
        QVERIFY(settings.setTopNewsNotifications(true));
        notifier.setWindowActive(true);
        top.take({4, 3, 1, 2});
        notifier.setWindowActive(false);
        top.take({6, 5, 4, 3, 1, 2});
        QTRY_COMPARE(server.calls.size(), 1);
        if (portal) {
            QCOMPARE(server.last().at(0).toString(), QString("top-news"));
            const QVariantMap n = server.lastMap(1);
            QCOMPARE(n.value("title").toString(), QString("Najważniejsze"));
            QCOMPARE(n.value("body").toString(), QString("Artykuł 6 i 1 inny"));
            QCOMPARE(n.value("default-action").toString(), QString("default"));
        } else {
            const QVariantList n = server.last();
            QCOMPARE(n.at(1).toUInt(), 0u); // replaces nothing yet
            QCOMPARE(n.at(3).toString(), QString("Najważniejsze"));
            QCOMPARE(n.at(4).toString(), QString("Artykuł 6 i 1 inny"));
            QCOMPARE(n.at(5).toStringList(),
                     (QStringList{"default", "Otwórz", "mark-read", "Oznacz jako przeczytane"}));
            QCOMPARE(server.lastMap(6).value("desktop-entry").toString(), QString("pl.kurendal.Kurendal"));
        }
        top.take({9, 8, 7, 6, 5, 4, 3, 1, 2});
        QTRY_COMPARE(server.calls.size(), 2);
        if (!portal)
            QCOMPARE(server.last().at(1).toUInt(), 1u); // the new round replaces the last one
        server.invoke(2, "mark-read");
        QTRY_VERIFY(top.getArticles().at(2)->articleWasRead);
        QVERIFY(top.getArticles().at(0)->articleWasRead);
        QVERIFY(!top.getArticles().at(3)->articleWasRead); // of the round before
        server.invoke(2, "default");
        QTRY_COMPARE(requested.size(), 1);
        QCOMPARE(requested.first().first().toInt(), 9);

        // Without a service: a log line, and the program goes on at once.
        server.vanish();
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("top news not announced"));
        top.take({10, 9, 8});
        QVERIFY(TestEnv::longestStall(300) < 200);
        QCOMPARE(server.calls.size(), 2);
    }

    void countsInPolish()
    {
        const QList<QPair<int, QString>> bodies{{0, "Tytuł"},           {1, "Tytuł i 1 inny"},    {3, "Tytuł i 3 inne"},
                                                {5, "Tytuł i 5 innych"}, {12, "Tytuł i 12 innych"}, {22, "Tytuł i 22 inne"}};
        for (const auto& [others, body] : bodies)
            QCOMPARE(TopNewsNotifier::bodyText("Tytuł", others), body);
    }

    void theSessionsNotificationsSetTheFlag()
    {
        Reachability r;
        QSignalSpy opened(&r, &Reachability::networkSessionOpened);
        QMetaObject::invokeMethod(&r, "opened");
        QVERIFY(Reachability::isConnectedToNetwork());
        QCOMPARE(opened.count(), 1);

        // The session timer firing after the opening changes nothing.
        QSignalSpy cancelled(&r, &Reachability::networkSessionCancelled);
        QMetaObject::invokeMethod(&r, "timeout");
        QVERIFY(Reachability::isConnectedToNetwork());
        QCOMPARE(cancelled.count(), 0);

        // A failure, or the session closing, ends the connection.
        QMetaObject::invokeMethod(&r, "failed");
        QVERIFY(!Reachability::isConnectedToNetwork());
        QCOMPARE(cancelled.count(), 1);
        QMetaObject::invokeMethod(&r, "opened");
        QMetaObject::invokeMethod(&r, "closed");
        QVERIFY(!Reachability::isConnectedToNetwork());
        QCOMPARE(cancelled.count(), 2);

        // A time-out without an opening cancels, once, also while an attempt is under way.
        QMetaObject::invokeMethod(&r, "timeout");
        QCOMPARE(cancelled.count(), 3);
        r.start();
        QMetaObject::invokeMethod(&r, "timeout");
        QCOMPARE(cancelled.count(), 4);
        QTest::qWait(200);
        QCOMPARE(cancelled.count(), 4);
    }

    void startOpensASessionOnThisMachine()
    {
        // Either the bearer layer or the interface fallback must get us online here.
        Reachability r;
        QSignalSpy opened(&r, &Reachability::networkSessionOpened);
        r.start();
        // The bearer layer's first scan reports a configuration while the attempt is under way:
        // the network still opens once, so the program refreshes once.
        QMetaObject::invokeMethod(&r, "configurationUpdated");
        QCOMPARE(opened.count(), 0); // never from inside start()
        QVERIFY(opened.wait(10000));
        QVERIFY(Reachability::isConnectedToNetwork());
        // Nor does a new configuration while connected start again.
        QMetaObject::invokeMethod(&r, "configurationUpdated");
        QTest::qWait(300);
        QCOMPARE(opened.count(), 1);
    }
};

QTEST_MAIN(TestDesktopBus)
#include "tst_desktopbus.moc"
