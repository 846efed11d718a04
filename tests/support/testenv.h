#ifndef TESTENV_H
#define TESTENV_H

#include <QByteArray>
#include <QMap>
#include <QString>
#include <Qt>
#include <functional>
#include <QVector>

class BannerInfo;
class QSize;
class RSSChannel;
class QObject;
class SampleServer;
class QTcpServer;

// Every test process runs against a data and settings folder of its own.
namespace TestEnv {

// Points the data and configuration locations into a fresh temporary folder
// and loads the program's resources. Call first, in initTestCase.
// Also points every public name at a dead proxy on this machine (see noProxy).
void prepare();
// A step prepare() runs as well: the screen tests install the screens' prompts through it.
void setExtraPreparation(void (*step)());
// What a test that used a proxy goes back to: no packet leaves the machine.
void noProxy();
// A port on 127.0.0.1 where nothing listens.
quint16 deadPort();
QString dataDir();
// Removes everything in the data folder.
void clearData();
// Sends every request of the process but those to loopback addresses through the server, which
// answers for any host.
void proxyThrough(const QTcpServer& server);
// Starts a sample server owned by parent and proxies the process through it; null if it cannot listen.
SampleServer* startSampleServer(QObject* parent);
// Pumps the event loop for ms milliseconds.
void spin(int ms);
// Runs `first`, then pumps the event loop until `done` holds or ms milliseconds pass; returns the
// longest it went (`first` included) without running a 10 ms timer.
qint64 longestStall(int ms, const std::function<bool()>& done = {}, const std::function<void()>& first = {});
// A category feed with one article per id, in that order.
QByteArray feed(const QVector<int>& ids);
// The ids of a channel's articles, in ascending order.
QVector<int> sortedIds(const RSSChannel& channel);
// Refreshes a channel and waits for it to report; false when it does not in 10 s.
bool refreshed(RSSChannel& channel);
// A picture file of one colour, in a format Qt writes ("PNG", "BMP", ...).
QByteArray picture(const QSize& size, Qt::GlobalColor colour, const char* format);
QByteArray png(const QSize& size, Qt::GlobalColor colour);
QByteArray jpeg(const QSize& size, Qt::GlobalColor colour = Qt::darkCyan);
// Moves the process into a new user namespace (mapped to the caller, so no privileges are
// needed) together with the namespaces named by `flags` (CLONE_NEWNS, CLONE_NEWNET, ...).
// Must run before the process has a second thread; false where the kernel refuses.
bool enterUserNamespace(int flags);

// While it lives, this thread reads and writes files as their modes say, root included (it
// gives up CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH), so that a mode-000 file is unreadable.
struct ObeyFileModes {
    ObeyFileModes();
    ~ObeyFileModes();
};
// The bytes of a file of the data folder (or of an absolute path); empty when it cannot be read.
QByteArray readData(const QString& name);
// Writes a file of the data folder (or at an absolute path) whole, making its folder.
void writeData(const QString& name, const QByteArray& bytes);
// The path of a category's feed on the publisher's host.
QString feedPath(int channelType);
// The advertisements as the next start of the program finds them.
BannerInfo* freshBanners();

// Every entry under the data folder: a file's bytes, or what else it is.
QMap<QString, QByteArray> dataSnapshot();

} // namespace TestEnv

#endif // TESTENV_H
