#include <QApplication>
#include <QDir>
#include <QLibrary>
#include <QTimer>

#include "app/program.h"
#include "platform/programwindow.h"

// Where the program's library is: installed, in its own folder under lib/; built, beside us.
static QString programLibrary()
{
    const QDir here(QCoreApplication::applicationDirPath());
    const QString installed = here.filePath(QStringLiteral(KURENDAL_PROGRAM_LIBRARY_DIR "/libkurendalprogram.so"));
    return QFile::exists(installed) ? installed : here.filePath(QStringLiteral("libkurendalprogram.so"));
}

int main(int argc, char** argv)
{
    // The sizes are logical pixels, the pictures come in 1x, 2x and 3x, and Qt scales by the
    // screen's own factor, fractional ones (1.25, 1.5) passed through as they are.
    QApplication application(argc, argv);
    // Shells match the window with its desktop entry by this id (the Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("pl.kurendal.Kurendal"));

    // The window first; the program's library, with the splash, loads on the event loop's first
    // turn, before the window's first paint is handled.
    ProgramWindow window;
    window.showOnScreen(QGuiApplication::primaryScreen());
    QLibrary program(programLibrary());
    QTimer::singleShot(0, &window, [&program, &window] {
        auto start = reinterpret_cast<ProgramStart>(program.resolve("kurendalStart"));
        if (!start) {
            qCritical("Kurendal: nie można wczytać programu (%s). Zainstaluj go ponownie.",
                      qUtf8Printable(program.errorString()));
            QCoreApplication::exit(1);
            return;
        }
        start(&window);
    });
    return application.exec();
}
