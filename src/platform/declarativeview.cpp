#include "platform/declarativeview.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>

#include "platform/meegocomponents.h"
#include "logic/base/logging.h"

QDeclarativeView* QDeclarativeView::loading = nullptr;

QDeclarativeView::QDeclarativeView(QWidget* parent)
    : QWidget(parent), qmlEngine(nullptr), window(new PlatformWindow(this)), resizeMode(SizeViewToRootObject)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setStyleSheet(QStringLiteral("QDeclarativeView { background-color: black; }"));
    resize(480, 854);
}

QDeclarativeView::~QDeclarativeView()
{
    // The document goes first, so hosted widgets die with their items, not with the view.
    delete root.data();
}

void QDeclarativeView::setResizeMode(ResizeMode mode)
{
    resizeMode = mode;
    sizeRoot();
}

QDeclarativeView* QDeclarativeView::loadingView()
{
    return loading;
}

void QDeclarativeView::setSource(const QUrl& newUrl)
{
    if (root) {
        // Called from inside the old document's own widgets: hide now, destroy later.
        QQuickItem* old = root.data();
        root.clear();
        for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (ItemWidgetProxy::isHostedBy(w, old))
                w->hide();
        }
        old->setParent(nullptr);
        old->deleteLater();
    }
    url = newUrl;
    QQmlComponent component(engine(), url);
    if (component.isError()) {
        qCWarning(lcViews) << component.errors();
        return;
    }
    QDeclarativeView* previous = loading;
    loading = this;
    QObject* object = component.create();
    loading = previous;
    if (!object) {
        qCWarning(lcViews) << component.errors();
        return;
    }
    root = qobject_cast<QQuickItem*>(object);
    if (!root) {
        qCWarning(lcViews) << "QDeclarativeView: the root of" << url << "is not an item";
        delete object;
        return;
    }
    sizeRoot();
    emit statusChanged();
}

QIcon QDeclarativeView::applicationIcon()
{
    // The installed icon's pictures (drawn by resources/tools/drawimages.py), for a window
    // manager that shows the window's own icon.
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/ICON/%1").arg(side), QSize(side, side));
    return icon;
}

QUrl QDeclarativeView::source() const { return url; }
QQuickItem* QDeclarativeView::rootObject() const { return root.data(); }

// Made by the first document, so that the window can show before the engine is built.
QQmlEngine* QDeclarativeView::engine() const
{
    if (!qmlEngine) {
        qmlEngine = new QQmlEngine(const_cast<QDeclarativeView*>(this));
        qmlEngine->rootContext()->setContextProperty(QStringLiteral("platformWindow"), window);
    }
    return qmlEngine;
}

PlatformWindow* QDeclarativeView::platformWindow() const { return window; }

void QDeclarativeView::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    sizeRoot();
}

void QDeclarativeView::sizeRoot()
{
    if (!root)
        return;
    if (resizeMode == SizeRootObjectToView) {
        root->setSize(QSizeF(width(), height()));
    } else if (root->width() > 0 && root->height() > 0) {
        resize(int(root->width()), int(root->height()));
    }
}
