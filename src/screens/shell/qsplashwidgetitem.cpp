#include "screens/shell/qsplashwidgetitem.h"


#include "screens/shell/splashwidget.h"

QSplashWidgetItem::QSplashWidgetItem()
    : QDeclarativeItem(nullptr), widget(nullptr), proxy(nullptr)
{
    widget = new SplashWidget(nullptr);
    proxy = new ItemWidgetProxy(this);
    proxy->setWidget(widget);
}

void QSplashWidgetItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QDeclarativeItem::geometryChange(newGeometry, oldGeometry);
    if (proxy && proxy->widget())
        widget->setGeometry(QRect(0, 0, int(newGeometry.width()), int(newGeometry.height())));
}
