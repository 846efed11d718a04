#ifndef PICTUREFLOW_H
#define PICTUREFLOW_H

#include <QImage>
#include <QPixmap>
#include <QWidget>

class PictureFlowPrivate;

// A cover-flow: tilted pictures in perspective around an upright centre picture, each with
// a fading reflection, rendered in software with 16-bit colours. The row is circular.
class PictureFlow : public QWidget
{
    Q_OBJECT
public:
    explicit PictureFlow(QWidget* parent = nullptr);
    ~PictureFlow() override;

    // While set, all mouse and key input is ignored (the owner is loading pictures).
    bool loading;

    int slideCount() const;
    QSize slideSize() const;
    int zoomFactor() const;
    int currentSlide() const;
    virtual QImage slide(int index) const;

    void setSlideCount(int count);
    void setSlideSize(QSize size);
    void setZoomFactor(int zoom);
    void clearCaches();
    virtual void setSlide(int index, const QImage& image);
    virtual void setSlide(int index, const QPixmap& pixmap);
    virtual void setSlideRender(int index, const QImage& image);
    virtual void setSlideCaption(int index, QString caption);

    PictureFlowPrivate* implementation() const { return d; }

public slots:
    void setCurrentSlide(int index);
    void clear();
    void render();
    void showPrevious();
    void showNext();
    void showSlide(int index, bool backward);
    void emitCentered();

signals:
    void itemActivated(int index);
    void inputReceived();
    void itemCentered(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    PictureFlowPrivate* d;
};

#endif // PICTUREFLOW_H
