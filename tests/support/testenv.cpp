#include "tests/support/testenv.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <algorithm>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "Logic/article.h"
#include "Logic/rsschannel.h"
#include "Views/screenprompts.h"
#include "foundation/file.h"

static void initProgramResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace TestEnv {

static QTemporaryDir* root = nullptr;

void prepare()
{
    if (!root) {
        root = new QTemporaryDir();
        qputenv("XDG_DATA_HOME", QDir(root->path()).filePath("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", QDir(root->path()).filePath("config").toUtf8());
        initProgramResources();
        ScreenPrompts::installForProcess();
    }
}

QString dataDir()
{
    return File::createPathToResource(QString());
}

void clearData()
{
    QDir dir(dataDir());
    dir.removeRecursively();
    QDir().mkpath(dataDir());
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

QByteArray png(const QSize& size, Qt::GlobalColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace TestEnv
