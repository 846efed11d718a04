#include <QtTest>
#include <QNetworkInterface>
#include <QNetworkProxy>

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "logic/net/reachability.h"
#include "tests/support/boxes.h"
#include "tests/support/testenv.h"

// A machine with the loopback alone: the process runs in a network namespace of its own,
// so the offline case is real and needs no privileges.
namespace {

// Must run before the process has a second thread.
bool enterOfflineNamespace()
{
    if (!TestEnv::enterUserNamespace(CLONE_NEWNET))
        return false;
    // The loopback up and running, as on every machine.
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return false;
    ifreq request = {};
    qstrncpy(request.ifr_name, "lo", IFNAMSIZ);
    bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP;
    up = up && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return up;
}

bool isolated = false;

} // namespace

class TestOffline : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!isolated)
            QSKIP("no private network namespace here (unshare refused)");
        TestEnv::prepare();
    }

    void theLoopbackAloneIsNoNetwork()
    {
        bool loopbackUp = false;
        for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
            loopbackUp |= (i.flags() & QNetworkInterface::IsLoopBack) && (i.flags() & QNetworkInterface::IsUp);
        QVERIFY(loopbackUp);
        // No proxy either (the namespace has no way out anyway).
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        Boxes boxes;
        Reachability r;
        QSignalSpy opened(&r, &Reachability::networkSessionOpened);
        r.start();
        QTest::qWait(300);
        QCOMPARE(opened.count(), 0);
        QVERIFY(!Reachability::isConnectedToNetwork());
        // One box for each attempt (the bearer layer may report its configurations once more).
        QVERIFY(!boxes.shown.isEmpty());
        QCOMPARE(boxes.texts().removeDuplicates(), boxes.shown.size() - 1);
        QCOMPARE(boxes.last().kind, MessageBox::Shown::Error);
        QCOMPARE(boxes.last().text,
                 QString::fromUtf8("Nie można się połączyć z Internetem. Brak dostępnych punktów dostępu."));
        QCOMPARE(boxes.last().title, QString::fromUtf8("Błąd"));
    }

    void aProxyOnTheLoopbackIsAWayOut()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", 18999));
        Boxes boxes;
        Reachability r;
        QSignalSpy opened(&r, &Reachability::networkSessionOpened);
        r.start();
        QVERIFY(opened.wait(5000));
        QVERIFY(Reachability::isConnectedToNetwork());
        QVERIFY(boxes.shown.isEmpty());
        TestEnv::noProxy();
    }
};

int main(int argc, char** argv)
{
    isolated = enterOfflineNamespace();
    QCoreApplication app(argc, argv);
    TestOffline test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_offline.moc"
