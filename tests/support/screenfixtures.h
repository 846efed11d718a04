#ifndef SCREENFIXTURES_H
#define SCREENFIXTURES_H

#include <QtTest>
#include <QtWidgets>

#include "logic/base/constants.h"
#include "logic/news/article.h"
#include "logic/news/channel.h"
#include "logic/news/photo.h"
#include "platform/declarativeview.h"
#include "sampleserver/sampleserver.h"
#include "sampleserver/sampleservices.h"
#include "screens/shell/mainwidget.h"
#include "screens/shell/messageboxbridge.h"
#include "tests/support/boxes.h"
#include "tests/support/finger.h"
#include "tests/support/testenv.h"

// What the screen tests share: a widget shown at the phone's size, the controller, the screen on
// top of its stack, where a list's row is, the page that hosts it all, a long article, and the
// sample service with its bundled content.
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

// The rows of the screen's list.
inline QAbstractItemModel* rows(QWidget* screen)
{
    return screen->findChild<QAbstractItemView*>("listView")->model();
}

// The centre of a row of the screen's list, in the screen's coordinates.
inline QPoint rowCentre(QWidget* screen, int row)
{
    auto* list = screen->findChild<QAbstractItemView*>("listView");
    return list->viewport()->mapTo(screen, list->visualRect(list->model()->index(row, 0)).center());
}

// The page that hosts the screens, started on its splash as the program starts it.
inline QDeclarativeView* openHost(const QSize& size = QSize(480, 854))
{
    auto* view = new QDeclarativeView();
    view->setResizeMode(QDeclarativeView::SizeRootObjectToView);
    view->setSource(QUrl("qrc:/splash.qml"));
    view->resize(size);
    view->show();
    viewDecl = view;
    return view;
}

// Deletes the page and what refers to it, so that the next one starts afresh.
inline void closeHost(QDeclarativeView* view)
{
    delete view;
    viewDecl = nullptr;
    rootObject = nullptr;
    mbs = nullptr;
}

// A long article (its column scrolls at every window size) with `photos` photos still to come.
inline void makeArticle(Article& a, int photos, int xx = 500)
{
    a.xx = xx;
    a.title = "Mróz wraca nad Polskę, a drogowcy liczą sól w magazynach";
    a.signature = "Jan Nowak";
    a.date = "06-12-2026, 14:00";
    a.lead = "Synoptycy ostrzegają kierowców przed gołoledzią w całym kraju.";
    a.content = QString("<p>Akapit treści, który się powtarza i wydłuża kolumnę.</p>").repeated(80);
    qDeleteAll(a.photos);
    a.photos.clear();
    for (int i = 0; i < photos; ++i) {
        Photo* p = new Photo(&a);
        p->xx = xx * 10 + i;
        p->url = QUrl(QString("http://rss.kurendal.pl/img/photo_%1.jpg").arg(p->xx));
        p->signature = "Fot. Jan Nowak";
        a.photos << p;
    }
}

// The question and message dialogs the page shows now.
inline QList<QWidget*> openDialogs(const QWidget* view)
{
    QList<QWidget*> open;
    for (QWidget* w : view->findChildren<QWidget*>("queryDialog"))
        if (w->isVisible())
            open.append(w);
    return open;
}

// A picture of one colour.
inline QImage filled(const QSize& size, const QColor& colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(colour);
    return image;
}

// The photos of the article screen arrive, each a 400 x 300 picture; how many there were.
inline int photosArrive(QWidget* screen)
{
    const QList<Photo*> photos = screen->findChildren<Photo*>();
    for (Photo* p : photos)
        emit p->photoChanged(QPixmap::fromImage(filled(QSize(400, 300), Qt::darkRed)));
    QTest::qWait(50);
    return photos.size();
}

// The numbers from..to.
inline QVector<int> range(int from, int to)
{
    QVector<int> v;
    for (int i = from; i <= to; ++i)
        v << i;
    return v;
}

// The ids of a channel's articles, in the list's order.
inline QVector<int> ids(const RSSChannel& c)
{
    QVector<int> v;
    for (const Article* a : c.getArticles())
        v << a->xx;
    return v;
}

// The service gives this as a category's feed, after `delayMs`.
inline void serveFeed(SampleServer& server, int channelType, const QByteArray& body, int delayMs = 0)
{
    SampleServer::Reply reply = SampleServer::text(body, "text/xml");
    reply.delayMs = delayMs;
    server.route("rss.kurendal.pl", TestEnv::feedPath(channelType), reply);
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
