#include "screens/shell/qmainwidgetitem.h"


#include "screens/shell/mainwidget.h"

QMainWidgetItem::QMainWidgetItem(QDeclarativeItem* parent)
    : QDeclarativeItem(parent), widget(nullptr), proxy(nullptr)
{
    widget = new MainWidget(nullptr, nullptr);
    proxy = new ItemWidgetProxy(this);
    proxy->setWidget(widget);
}

void QMainWidgetItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QDeclarativeItem::geometryChange(newGeometry, oldGeometry);
    if (proxy && proxy->widget())
        widget->setGeometry(0, 0, int(newGeometry.width()), int(newGeometry.height()));
}
