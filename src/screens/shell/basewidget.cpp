#include "screens/shell/basewidget.h"

BaseWidget::BaseWidget(QWidget* parent) : QWidget(parent) {}

MainWidget::InterfaceOrientation BaseWidget::getSupportedOrientation()
{
    return MainWidget::OrientationFree;
}

void BaseWidget::showFinished() {}

void BaseWidget::hideFinished()
{
    setVisible(false);
}
