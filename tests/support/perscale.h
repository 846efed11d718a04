#ifndef PERSCALE_H
#define PERSCALE_H

#include <QApplication>
#include <QtTest>

#include <initializer_list>
#include <sys/wait.h>
#include <unistd.h>

// Runs a screen suite once at each device pixel ratio, each in a process of its own: Qt reads
// the scale factor when the application starts. Returns how many runs failed.
template <class Test>
int runAtScales(int argc, char** argv, std::initializer_list<qreal> ratios)
{
    int failed = 0;
    for (qreal ratio : ratios) {
        const pid_t child = fork();
        if (child == 0) {
            qputenv("QT_SCALE_FACTOR", QByteArray::number(ratio));
            QApplication app(argc, argv);
            app.setAttribute(Qt::AA_Use96Dpi, true);
            Test test(ratio);
            _exit(QTest::qExec(&test, argc, argv) == 0 ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        const bool passed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (!passed)
            qWarning("failed at scale %g", ratio);
        failed += passed ? 0 : 1;
    }
    return failed;
}

#endif // PERSCALE_H
