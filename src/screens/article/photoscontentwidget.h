#ifndef PHOTOSCONTENTWIDGET_H
#define PHOTOSCONTENTWIDGET_H

#include <QVector>
#include <QWidget>

// The row of photo pages inside the paging area; as high as the page shown.
class PhotosContentWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PhotosContentWidget(QWidget* parent = nullptr);

    int addWidget(QWidget* w);
    int getWidgetsCount() const;
    void setCurrent(QWidget* w);
    void setCurrentIndex(int index);
    QWidget* getCurrent() const;
    int getCurrentIndex() const;
    QWidget* widgetAt(int index) const;
    void resizePhotos(int width);
    QSize sizeHint() const override;

private:
    void fixSizeToHint(QWidget* w);

    QVector<QWidget*> widgets;
    QWidget* currentWidget;
};

#endif // PHOTOSCONTENTWIDGET_H
