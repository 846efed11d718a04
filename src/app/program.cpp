#include "app/program.h"

#include <QApplication>
#include <QLayout>
#include <QNetworkProxyFactory>
#include <QUrl>

#include "platform/declarativeview.h"
#include "screens/shell/mainwidget.h"
#include "screens/shell/messageboxbridge.h"
#include "screens/shell/screenprompts.h"

void kurendalStart(QWidget* window)
{
    app = qobject_cast<QApplication*>(QCoreApplication::instance());
    Q_INIT_RESOURCE(resources);
    ScreenPrompts::installForProcess();
    // The publisher's hosts are reached through the system's proxy when one is set.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    // The authorities of SSL_CERT_FILE are read by the first TLS request (DownloadService).

    // Made inside the window, so that the page's platformWindow follows the window itself.
    auto* view = new QDeclarativeView(window);
    view->setResizeMode(QDeclarativeView::SizeRootObjectToView);
    viewDecl = view;
    QObject::connect(view, &QObject::destroyed, [] {
        viewDecl = nullptr;
        rootObject = nullptr;
        mbs = nullptr;
    });
    window->layout()->addWidget(view);
    registerQmlElements();
    view->setSource(QUrl(QStringLiteral("qrc:/splash.qml")));
    setScreenOrientation(MainWidget::OrientationPortrait);
    window->setWindowIcon(QDeclarativeView::applicationIcon());
}
