#ifndef SCREENFIXTURES_H
#define SCREENFIXTURES_H

#include <QtTest>
#include <QAbstractItemView>

#include "sampleserver/sampleserver.h"
#include "sampleserver/sampleservices.h"
#include "screens/shell/mainwidget.h"
#include "tests/support/testenv.h"

// What the screen tests share: a widget shown at the phone's size, the controller, the screen on
// top of its stack, where a list's row is, and the sample service with its bundled content.
namespace Screens {

// Shown at `size` and exposed.
inline bool show(QWidget* w, const QSize& size = QSize(480, 854))
{
    w->resize(size);
    w->show();
    return QTest::qWaitForWindowExposed(w);
}

// The controller as the program starts it, on the data folder as it is.
inline MainWidget* startMain(const QSize& size = QSize(480, 854))
{
    auto* main = new MainWidget(nullptr, nullptr);
    show(main, size);
    return main;
}

// The screen of that type showing on top of the stack, if any.
template <class Screen>
Screen* onTop(QWidget* main)
{
    for (Screen* w : main->findChildren<Screen*>())
        if (w->isVisible() && w->pos() == QPoint(0, 0))
            return w;
    return nullptr;
}

// Waits for the controller to take input again (a slide ended); the screen then on top.
template <class Screen>
Screen* settled(MainWidget* main)
{
    return QTest::qWaitFor([main] { return main->isEnabled(); }) ? onTop<Screen>(main) : nullptr;
}

// The centre of a row of the screen's list, in the screen's coordinates.
inline QPoint rowCentre(QWidget* screen, int row)
{
    auto* list = screen->findChild<QAbstractItemView*>("listView");
    return list->viewport()->mapTo(screen, list->visualRect(list->model()->index(row, 0)).center());
}

// The sample service with its content, ads and analytics, every request of the process through it.
inline SampleServer* startSampleService(QObject* parent)
{
    SampleServer* server = TestEnv::startSampleServer(parent);
    if (server) {
        server->setContentRoot(KURENDAL_SAMPLE_CONTENT);
        installAdService(*server, KURENDAL_SAMPLE_CONTENT);
        installAnalyticsService(*server);
    }
    return server;
}

// The paths the server was asked for, in order.
inline QStringList paths(const SampleServer& server)
{
    QStringList p;
    for (const SampleServer::Request& r : server.requests())
        p << r.path;
    return p;
}

} // namespace Screens

#endif // SCREENFIXTURES_H
