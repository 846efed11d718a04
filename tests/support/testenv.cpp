#include "tests/support/testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>

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

} // namespace TestEnv
