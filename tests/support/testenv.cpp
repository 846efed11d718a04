#include "tests/support/testenv.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <algorithm>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sched.h>
#include <unistd.h>

#include "logic/ads/bannerinfo.h"
#include "logic/news/article.h"
#include "logic/news/channel.h"
#include "logic/base/file.h"
#include "sampleserver/sampleserver.h"

static void initProgramResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace TestEnv {

static QTemporaryDir* root = nullptr;
static void (*extraPreparation)() = nullptr;

quint16 deadPort()
{
    static quint16 port = 0;
    if (!port) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
    }
    return port;
}

void noProxy()
{
    // Public names go to a proxy port on this machine where nothing listens: a test that forgets
    // its server fails at once instead of asking the machine's resolver. Loopback stays direct.
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), deadPort()));
}

void prepare()
{
    if (!root) {
        noProxy();
        root = new QTemporaryDir();
        qputenv("XDG_DATA_HOME", QDir(root->path()).filePath("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", QDir(root->path()).filePath("config").toUtf8());
        // No test reaches the machine's own buses: where a test starts none (PrivateBus), the
        // program finds no bus at all and goes on as it does on a machine without one.
        const QByteArray noBus = "unix:path=" + QDir(root->path()).filePath("no-bus").toUtf8();
        qputenv("DBUS_SESSION_BUS_ADDRESS", noBus);
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", noBus);
        initProgramResources();
        if (extraPreparation)
            extraPreparation();
    }
}

void setExtraPreparation(void (*step)())
{
    extraPreparation = step;
}

QString dataDir()
{
    return File::createPathToResource(QString());
}

void clearData()
{
    QDir(dataDir()).removeRecursively();
    QDir().mkpath(dataDir());
}

void proxyThrough(const QTcpServer& server)
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", server.serverPort()));
}

SampleServer* startSampleServer(QObject* parent)
{
    auto* server = new SampleServer(parent);
    if (!server->start()) {
        delete server;
        return nullptr;
    }
    proxyThrough(*server);
    return server;
}

void spin(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QByteArray feed(const QVector<int>& ids)
{
    QByteArray xml = "<iphonefeed>";
    for (int i = 0; i < ids.size(); ++i) {
        xml += QString("<artykul><xx>%1</xx><order>%2</order><title>Artykuł %1</title>"
                       "<lead>Lead %1</lead><content>&lt;p&gt;Treść %1&lt;/p&gt;</content></artykul>")
                   .arg(ids[i]).arg(i).toUtf8();
    }
    return xml + "</iphonefeed>";
}

QVector<int> sortedIds(const RSSChannel& channel)
{
    QVector<int> ids;
    for (const Article* a : channel.getArticles())
        ids << a->xx;
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool refreshed(RSSChannel& channel)
{
    QSignalSpy done(&channel, &RSSChannel::articlesUpadted);
    channel.updateArticles(false);
    return done.wait(10000);
}

QByteArray picture(const QSize& size, Qt::GlobalColor colour, const char* format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray png(const QSize& size, Qt::GlobalColor colour) { return picture(size, colour, "PNG"); }
QByteArray jpeg(const QSize& size, Qt::GlobalColor colour) { return picture(size, colour, "JPG"); }

static bool writeProcFile(const char* path, const QByteArray& text)
{
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return ok;
}

bool enterUserNamespace(int flags)
{
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | flags) != 0)
        return false;
    writeProcFile("/proc/self/setgroups", "deny");
    return writeProcFile("/proc/self/uid_map", QByteArray("0 ") + QByteArray::number(uid) + " 1")
           && writeProcFile("/proc/self/gid_map", QByteArray("0 ") + QByteArray::number(gid) + " 1");
}

static bool overrideModes(bool on)
{
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
        const quint32 bit = 1u << (cap % 32);
        data[cap / 32].effective = on ? data[cap / 32].effective | (data[cap / 32].permitted & bit)
                                      : data[cap / 32].effective & ~bit;
    }
    return syscall(SYS_capset, &header, data) == 0;
}

static bool obeying = false;
ObeyFileModes::ObeyFileModes() { obeying = overrideModes(false); }
ObeyFileModes::~ObeyFileModes() { obeying = !overrideModes(true); }

QMap<QString, QByteArray> dataSnapshot()
{
    // Taken with root's reach, so that a file the program cannot read shows its bytes.
    const bool wasObeying = obeying;
    if (wasObeying)
        overrideModes(true);
    QMap<QString, QByteArray> entries;
    QDirIterator it(dataDir(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QFile file(path);
        entries[QDir(dataDir()).relativeFilePath(path)] =
            info.isSymLink() ? "link to " + QFile::encodeName(info.symLinkTarget())
            : info.isDir()   ? QByteArray("directory")
            : !info.isFile() ? QByteArray("special")
            : info.size() > 1024 * 1024 ? "large " + QByteArray::number(info.size())
            : file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
    }
    if (wasObeying)
        overrideModes(false);
    return entries;
}

static QString located(const QString& name)
{
    return QDir::isAbsolutePath(name) ? name : File::createPathToResource(name);
}

QByteArray readData(const QString& name)
{
    QFile f(located(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeData(const QString& name, const QByteArray& bytes)
{
    const QString path = located(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

qint64 longestStall(int ms, const std::function<bool()>& done, const std::function<void()>& first)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&]() {
        longest = qMax(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    tick.start(10);
    if (first)
        first();
    while (clock.elapsed() < ms && !(done && done()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return longest;
}

QString feedPath(int channelType)
{
    return QUrl(RSSChannel::urlForType(RSSChannel::ChannelType(channelType))).path();
}

BannerInfo* freshBanners()
{
    BannerInfo::releaseSingleton();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return BannerInfo::getSingleton();
}

} // namespace TestEnv
