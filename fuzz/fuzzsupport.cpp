#include "fuzz/fuzzsupport.h"

#include <QGuiApplication>
#include <QDir>
#include <QTemporaryDir>


static void initProgramResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace FuzzSupport {

void start()
{
    static QGuiApplication* application = nullptr;
    if (application)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
    // Memory is quicker than the disk for a file rewritten at every run.
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir root(base + QStringLiteral("/kurendal-fuzz-XXXXXX"));
    qputenv("XDG_DATA_HOME", QDir(root.path()).filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", QDir(root.path()).filePath("config").toUtf8());
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    application = new QGuiApplication(argc, argv);
    initProgramResources();
}

} // namespace FuzzSupport
