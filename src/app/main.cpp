#include <QApplication>
#include <QNetworkProxyFactory>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include "screens/shell/mainwidget.h"
#include "screens/shell/screenprompts.h"
#include "screens/shell/messageboxbridge.h"
#include "platform/declarativeview.h"

int main(int argc, char** argv)
{
    // The sizes are logical pixels, the pictures come in 1x, 2x and 3x, and Qt scales by the
    // screen's own factor, fractional ones (1.25, 1.5) passed through as they are.
    QApplication application(argc, argv);
    // Shells match the window with its desktop entry by this id (the Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("pl.kurendal.Kurendal"));
    app = &application;
    Q_INIT_RESOURCE(resources);
    ScreenPrompts::installForProcess();
    // The publisher's hosts are reached through the system's proxy when one is set.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    // The authorities of SSL_CERT_FILE are read by the first TLS request (DownloadService).

    QPointer<QDeclarativeView> view = new QDeclarativeView();
    view->setWindowTitle(QStringLiteral("Kurendal"));
    view->setResizeMode(QDeclarativeView::SizeRootObjectToView);
    viewDecl = view.data();
    QObject::connect(view.data(), &QObject::destroyed, [] {
        viewDecl = nullptr;
        rootObject = nullptr;
        mbs = nullptr;
    });
    // The window first; the QML engine, the splash document and the icon's pictures load on the
    // event loop's first turn, so that the window does not wait for them.
    view->showOnScreen(QGuiApplication::primaryScreen());
    QTimer::singleShot(0, view.data(), [view] {
        registerQmlElements();
        view->setSource(QUrl(QStringLiteral("qrc:/splash.qml")));
        setScreenOrientation(MainWidget::OrientationPortrait);
        view->setWindowIcon(QDeclarativeView::applicationIcon());
    });

    const int result = application.exec();
    delete view.data();
    viewDecl = nullptr;
    return result;
}
