#ifndef QMAINWIDGETITEM_H
#define QMAINWIDGETITEM_H

#include "platform/meegocomponents.h"

class MainWidget;

// QML element "QMainWidgetItem": hosts the main controller widget.
class QMainWidgetItem : public QDeclarativeItem
{
    Q_OBJECT
public:
    explicit QMainWidgetItem(QDeclarativeItem* parent = nullptr);

protected:
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    MainWidget* widget;
    ItemWidgetProxy* proxy;
};

#endif // QMAINWIDGETITEM_H
