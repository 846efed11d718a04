#ifndef QSPLASHWIDGETITEM_H
#define QSPLASHWIDGETITEM_H

#include "platform/meegocomponents.h"

class SplashWidget;

// QML element "QSplashWidgetItem": hosts the splash widget.
class QSplashWidgetItem : public QDeclarativeItem
{
    Q_OBJECT
public:
    QSplashWidgetItem();

protected:
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    SplashWidget* widget;
    ItemWidgetProxy* proxy;
};

#endif // QSPLASHWIDGETITEM_H
