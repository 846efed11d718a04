#include "tests/support/privatebus.h"

#include <QDir>
#include <QFile>

PrivateBus::~PrivateBus()
{
    if (daemon.state() != QProcess::NotRunning) {
        daemon.kill();
        daemon.waitForFinished(2000);
    }
}

bool PrivateBus::start()
{
    if (!dir.isValid())
        return false;
    const QString config = dir.filePath("bus.conf");
    QFile conf(config);
    if (!conf.open(QIODevice::WriteOnly))
        return false;
    // A session bus's rules on a socket in the test's folder: anyone of this user may own any name.
    conf.write(QStringLiteral(
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:path=%1</listen>\n"
                   "<auth>EXTERNAL</auth>\n"
                   "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                   .arg(dir.filePath("bus"))
                   .toUtf8());
    conf.close();
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!daemon.waitForStarted(5000) || !daemon.waitForReadyRead(5000))
        return false;
    busAddress = QString::fromUtf8(daemon.readLine()).trimmed();
    if (busAddress.isEmpty())
        return false;
    qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress.toUtf8());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", busAddress.toUtf8());
    return true;
}
