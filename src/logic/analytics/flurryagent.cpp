#include "logic/analytics/flurryagent.h"

#include <QBluetoothLocalDevice>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDataStream>
#include <QDateTime>
#include <QSettings>
#include <QSysInfo>

#include "logic/base/constants.h"
#include "logic/base/file.h"
#include "logic/base/util.h"
#include "logic/net/request.h"

QDataStream& operator<<(QDataStream& out, const FlurryInfoStruct& info)
{
    return out << info.dateStarted << info.length << info.version;
}

QDataStream& operator>>(QDataStream& in, FlurryInfoStruct& info)
{
    return in >> info.dateStarted >> info.length >> info.version;
}

// QSettings keeps what it parsed for the whole process: the sessions' type must be known before
// the store is first opened by anyone, or they are read as an unknown type for good.
static void registerSessionType()
{
    qRegisterMetaType<FlurryInfoStruct>("FlurryInfoStruct");
}
Q_CONSTRUCTOR_FUNCTION(registerSessionType)

static const int defaultReportTimeout = 10000;

// A fact the machine does not give is reported as this, never as an empty field.
static const QString unknownFact = QStringLiteral("unknown");

// One line of a small system file, trimmed; the device tree's strings end in a NUL.
static QString systemFact(const QString& path)
{
    QByteArray bytes;
    if (File::readRegular(path, 4096, &bytes) != File::Read)
        return QString();
    const int end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    return QString::fromUtf8(bytes).simplified();
}

// Manufacturer and model: a PC's firmware tables, else an ARM phone's device tree, whose
// model string names the maker itself.
static QString deviceModel()
{
    const QString vendor = systemFact(QStringLiteral("/sys/class/dmi/id/sys_vendor"));
    QString product = systemFact(QStringLiteral("/sys/class/dmi/id/product_name"));
    if (product.isEmpty())
        product = systemFact(QStringLiteral("/proc/device-tree/model"));
    const QString model = vendor + product;
    return model.isEmpty() ? unknownFact : model;
}

static QString orUnknown(const QString& fact)
{
    const QString trimmed = fact.trimmed();
    return trimmed.isEmpty() ? unknownFact : trimmed;
}

FlurryAgent::FlurryAgent(QObject* parent)
    : QObject(parent), raportWasSent(false), appId(flurryAppId), flurryInitializedDate(0), pausedDate(-1),
      reportedSessions(0)
{
    registerSessionType();

    File::guardSettingsStore();
    QSettings store(organizationName, applicationName);
    if (!store.contains(flurryInitDateKey)) {
        store.clear();
        flurryInitializedDate = getCurrentDate();
        store.setValue(flurryInitDateKey, flurryInitializedDate);
    } else {
        flurryInitializedDate = store.value(flurryInitDateKey).toLongLong();
    }
    if (store.contains(flurryStartupsKey)) {
        for (const QVariant& item : store.value(flurryStartupsKey).toList()) {
            if (item.userType() == qMetaTypeId<FlurryInfoStruct>()) {
                FlurryInfoStruct info = item.value<FlurryInfoStruct>();
                // A session left open by a run that never closed it has no known length.
                if (info.length < 0)
                    info.length = 0;
                startups.append(info);
            } else {
                FlurryInfoStruct empty;
                empty.length = 0;
                startups.append(empty);
            }
        }
    }
    store.sync();

    version = Util::getVersion();
}

// Asked when the first report is made, not at start: the device is only the report's business.
void FlurryAgent::describeDevice()
{
    if (!imei.isEmpty())
        return;
    imei = getBluetoothAddress();
    // The kernel stands for the firmware: it is what a phone's system image versions.
    modelValue = deviceModel();
    platformValue = modelValue + QStringLiteral("/") + orUnknown(QSysInfo::kernelVersion())
                    + QStringLiteral("/sw_platform=S60;sw_platform_version=") + orUnknown(QSysInfo::productVersion());
}

// Qt's Bluetooth warns on the console where BlueZ does not run: it is asked only when it does.
static bool bluetoothServiceRuns()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<bool> registered = bus.interface()->isServiceRegistered(QStringLiteral("org.bluez"));
    return registered.isValid() && registered.value();
}

FlurryAgent::~FlurryAgent()
{
    onDestroyApp();
}

qlonglong FlurryAgent::getCurrentDate()
{
    return QDateTime::currentDateTime().toSecsSinceEpoch() * 1000 + QTime::currentTime().msec();
}

qlonglong FlurryAgent::now() const
{
    return getCurrentDate();
}

QString FlurryAgent::getBluetoothAddress()
{
    File::guardSettingsStore();
    QSettings store(organizationName, applicationName);
    const QString stored = store.value(flurryDevIDKey).toString();
    if (!stored.isEmpty())
        return stored;
    // Qt 5 writes the address with colons; the identifier keeps the twelve hex digits.
    const QBluetoothAddress address = bluetoothServiceRuns() ? QBluetoothLocalDevice().address() : QBluetoothAddress();
    const QString digits = address.toString().remove(QLatin1Char(':'));
    QString id;
    if (!address.isNull() && !digits.isEmpty() && digits != QLatin1String("000000000000"))
        id = QStringLiteral("BT") + digits;
    else
        id = QStringLiteral("ID") + QString::number(store.value(flurryInitDateKey).toLongLong());
    store.setValue(flurryDevIDKey, id);
    return id;
}

void FlurryAgent::storeSessions()
{
    QVariantList list;
    for (const FlurryInfoStruct& info : startups)
        list.append(QVariant::fromValue(info));
    File::guardSettingsStore();
    QSettings store(organizationName, applicationName);
    store.setValue(flurryStartupsKey, list);
}

void FlurryAgent::closeLastSession(qlonglong end)
{
    if (!startups.isEmpty() && startups.last().length < 0)
        startups.last().length = end - startups.last().dateStarted;
}

void FlurryAgent::onStartupApp()
{
    const qlonglong current = now();
    if (!(pausedDate >= 0 && current - pausedDate <= pauseLimit)) {
        if (pausedDate >= 0)
            closeLastSession(pausedDate);
        FlurryInfoStruct session;
        session.dateStarted = current;
        session.length = -1;
        session.version = version;
        startups.append(session);
        storeSessions();
    }
    pausedDate = -1;
}

void FlurryAgent::onPauseApp()
{
    pausedDate = now();
}

void FlurryAgent::onDestroyApp()
{
    if (!startups.isEmpty() && startups.last().length < 0) {
        closeLastSession(now());
        storeSessions();
    }
}

void FlurryAgent::sendReport()
{
    sendReport(defaultReportTimeout);
}

void FlurryAgent::sendReport(int timeout)
{
    if (raportWasSent)
        return;
    raportWasSent = true;
    Http* h = Http::createPOSTrequest(flurryUrl, createRequest());
    h->setParent(this); // a report still on its way goes with the agent
    h->setTimeout(timeout);
    h->setKind(DownloadService::Kind::Report);
    h->setRequestHeader(ConnectionHeader, ConnectionCloseHeader);
    connect(h, &Http::statusChanged, this, &FlurryAgent::httpStateChanged);
    h->execute();
}

void FlurryAgent::httpStateChanged(Http* h)
{
    const int state = h->getStatus();
    if (state == Http::STATE_READY || state == Http::STATE_RUNNING)
        return;
    if (state == Http::STATE_COMPLETED) {
        // The closed sessions the report held are done with, a zero-length one too (it is
        // never sent, so it must not stay in front); a session closed since then stays.
        for (int i = 0; i < reportedSessions && !startups.isEmpty() && startups.first().length >= 0; ++i)
            startups.removeFirst();
        storeSessions();
    }
    h->deleteLater();
}

void FlurryAgent::writeLongLong(QByteArray& array, qlonglong value)
{
    for (int shift = 56; shift >= 0; shift -= 8)
        array.append(char((quint64(value) >> shift) & 0xff));
}

void FlurryAgent::writeString(QByteArray& array, QString value)
{
    const int length = qMin(value.size(), 0xffff);
    array.append(char((length >> 8) & 0xff));
    array.append(char(length & 0xff));
    array.append(value.left(length).toLatin1());
}

QByteArray FlurryAgent::createRequest()
{
    const qlonglong reportTime = now();
    QByteArray body;
    body.append("\x00\x05\x00\x05\x00\x08", 6);
    writeLongLong(body, reportTime);
    describeDevice();
    writeString(body, appId);
    writeString(body, version);
    writeString(body, imei);
    writeLongLong(body, flurryInitializedDate);
    writeLongLong(body, reportTime);
    body.append("\x00\x02", 2);
    writeString(body, model);
    writeString(body, modelValue);
    writeString(body, platform);
    writeString(body, platformValue);
    int closed = 0;
    reportedSessions = 0;
    for (const FlurryInfoStruct& info : startups) {
        if (info.length < 0)
            break;
        ++reportedSessions;
        if (info.length > 0)
            ++closed;
    }
    body.append(char((closed >> 8) & 0xff));
    body.append(char(closed & 0xff));
    for (int i = 0; i < reportedSessions; ++i) {
        const FlurryInfoStruct& info = startups.at(i);
        if (info.length <= 0)
            continue;
        writeString(body, info.version);
        writeLongLong(body, info.dateStarted);
        writeLongLong(body, info.length);
        body.append("\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00", 14);
    }
    return body;
}
