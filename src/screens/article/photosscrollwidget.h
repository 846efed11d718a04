#ifndef PHOTOSSCROLLWIDGET_H
#define PHOTOSSCROLLWIDGET_H

#include <QList>
#include <QWidget>

class ArticlePhotoWidget;
class PhotoScrollArea;
class PhotosContentWidget;
class QFrame;
class QHBoxLayout;
class QMouseEvent;
class QPushButton;

// The article's photo strip: paged photos with a row of dots under them.
class PhotosScrollWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PhotosScrollWidget(QWidget* parent = nullptr);

    void addPhotoWidget(ArticlePhotoWidget* photo);
    virtual void installEventFilter(QObject* filter);
    void callMousePress(QMouseEvent* e);
    QSize sizeHint() const override;

    PhotoScrollArea* scrollArea() const { return area; }
    PhotosContentWidget* contents() const { return content; }
    const QList<QPushButton*>& dots() const { return buttons; }
    QFrame* dotsFrame() const { return bottomFrame; }

signals:
    void showFinished();

public slots:
    void kropkaClicked();
    void finishedMoving(int currentIndex);
    void photoDownloadFinished(ArticlePhotoWidget* photo);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    PhotoScrollArea* area;
    PhotosContentWidget* content;
    QFrame* bottomFrame;
    QHBoxLayout* dotsLayout;
    QList<QPushButton*> buttons;
};

#endif // PHOTOSSCROLLWIDGET_H
