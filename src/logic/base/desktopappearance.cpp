#include "logic/base/desktopappearance.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const char* const portalService = "org.freedesktop.portal.Desktop";
const char* const portalPath = "/org/freedesktop/portal/desktop";
const char* const portalInterface = "org.freedesktop.portal.Settings";
const char* const appearanceNamespace = "org.freedesktop.appearance";
const char* const colorSchemeKey = "color-scheme";
const char* const contrastKey = "contrast";

// The portal's value, with the older Read's second wrapping taken off; an unsigned or signed
// integer is accepted, anything else is not a value.
bool unwrap(QVariant value, uint* number)
{
    for (int depth = 0; depth < 2 && value.userType() == qMetaTypeId<QDBusVariant>(); ++depth)
        value = value.value<QDBusVariant>().variant();
    const int type = value.userType();
    if (type != QMetaType::UInt && type != QMetaType::Int)
        return false;
    *number = value.toUInt();
    return true;
}

} // namespace

DesktopAppearance::DesktopAppearance(QObject* parent) : QObject(parent) {}

void DesktopAppearance::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(QLatin1String(portalService), QLatin1String(portalPath), QLatin1String(portalInterface),
                QStringLiteral("SettingChanged"), this,
                SLOT(settingChanged(QDBusMessage)));
    read(QLatin1String(colorSchemeKey), false);
    read(QLatin1String(contrastKey), false);
}

void DesktopAppearance::read(const QString& key, bool older)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(portalService), QLatin1String(portalPath),
                                                       QLatin1String(portalInterface),
                                                       older ? QStringLiteral("Read") : QStringLiteral("ReadOne"));
    call << QLatin1String(appearanceNamespace) << key;
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key, older](QDBusPendingCallWatcher* w) { readFinished(w, key, older); });
}

void DesktopAppearance::readFinished(QDBusPendingCallWatcher* call, const QString& key, bool older)
{
    call->deleteLater();
    const QDBusMessage reply = call->reply();
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // A portal older than ReadOne knows only Read.
        if (!older && reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
            read(key, true);
        return;
    }
    // A change heard meanwhile is newer than this answer.
    if (reply.arguments().isEmpty() || heard[key == QLatin1String(contrastKey)])
        return;
    take(key, reply.arguments().constFirst());
}

void DesktopAppearance::settingChanged(const QDBusMessage& message)
{
    const QVariantList arguments = message.arguments();
    if (arguments.size() != 3 || arguments.at(0).toString() != QLatin1String(appearanceNamespace))
        return;
    take(arguments.at(1).toString(), arguments.at(2));
}

void DesktopAppearance::take(const QString& key, const QVariant& value)
{
    uint number = 0;
    if (!unwrap(value, &number))
        return;
    Scheme next = current;
    if (key == QLatin1String(colorSchemeKey)) {
        heard[0] = true;
        if (number > 2)
            return;
        next.dark = number == 1;
    } else if (key == QLatin1String(contrastKey)) {
        heard[1] = true;
        if (number > 1)
            return;
        next.highContrast = number == 1;
    } else {
        return;
    }
    setScheme(next);
}

void DesktopAppearance::setScheme(const Scheme& scheme)
{
    if (scheme == current)
        return;
    current = scheme;
    emit schemeChanged();
}

DesktopAppearance::Scheme DesktopAppearance::effective(int choice, const Scheme& desktop)
{
    Scheme shown = desktop;
    if (choice == 1)
        shown.dark = false;
    else if (choice == 2)
        shown.dark = true;
    return shown;
}
