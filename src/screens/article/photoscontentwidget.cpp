#include "screens/article/photoscontentwidget.h"

PhotosContentWidget::PhotosContentWidget(QWidget* parent) : QWidget(parent), currentWidget(nullptr)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PhotosContentWidget::fixSizeToHint(QWidget* w)
{
    const QSize hint = w->sizeHint();
    if (hint.isValid()) {
        w->setMinimumSize(hint);
        w->setMaximumSize(hint);
    }
}

int PhotosContentWidget::addWidget(QWidget* w)
{
    widgets.append(w);
    w->setParent(this);
    if (!currentWidget)
        currentWidget = w;
    fixSizeToHint(this);
    updateGeometry();
    return widgets.size() - 1;
}

int PhotosContentWidget::getWidgetsCount() const
{
    return widgets.size();
}

void PhotosContentWidget::setCurrent(QWidget* w)
{
    if (!widgets.contains(w))
        return;
    currentWidget = w;
    fixSizeToHint(this);
    updateGeometry();
}

void PhotosContentWidget::setCurrentIndex(int index)
{
    if (index < 0 || index >= widgets.size())
        return;
    setCurrent(widgets.at(index));
}

QWidget* PhotosContentWidget::getCurrent() const
{
    return currentWidget;
}

int PhotosContentWidget::getCurrentIndex() const
{
    return currentWidget ? widgets.indexOf(currentWidget) : -1;
}

QWidget* PhotosContentWidget::widgetAt(int index) const
{
    return index >= 0 && index < widgets.size() ? widgets.at(index) : nullptr;
}

void PhotosContentWidget::resizePhotos(int width)
{
    for (int i = 0; i < widgets.size(); ++i)
        widgets.at(i)->setGeometry(i * width, 0, width, widgets.at(i)->sizeHint().height());
    fixSizeToHint(this);
}

QSize PhotosContentWidget::sizeHint() const
{
    if (!currentWidget)
        return QSize(-1, -1);
    int width = -1;
    for (const QWidget* w : widgets)
        width += w->width();
    return QSize(width, currentWidget->sizeHint().height());
}
