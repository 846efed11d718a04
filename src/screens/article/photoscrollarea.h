#ifndef PHOTOSCROLLAREA_H
#define PHOTOSCROLLAREA_H

#include <QElapsedTimer>
#include <QPoint>
#include <QScrollArea>
#include <QVector>

// A scroll area that pages horizontally, one page per photo, with a short animation.
class PhotoScrollArea : public QScrollArea
{
    Q_OBJECT
public:
    explicit PhotoScrollArea(QWidget* parent = nullptr);

    void callMousePress(QMouseEvent* e);
    int getCurrentPage() const { return currentPage; }
    bool isAnimating() const { return animationInProgress; }

signals:
    void scrollingFinished(int currentPage);

public slots:
    void scrollToPage(int page);
    void horizontalScrollBarValueChanged(int value);
    void horizontalScrollBarRangeChanged(int min, int max);
    void animationFinished();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void animateScrolling(int target);
    void beginDrag(int x);
    void sample(int x);
    // Pixels per second of the finger's last moves; negative to the left.
    double releaseSpeed(int x) const;

    int startPosX;
    int lastPosX;
    int horizontalValue;
    bool myScrolling;
    bool animationInProgress;
    int pagesCount;
    int currentPage;
    QElapsedTimer clock;
    QVector<QPoint> samples; // (ms since the press, x) of the latest moves
};

#endif // PHOTOSCROLLAREA_H
