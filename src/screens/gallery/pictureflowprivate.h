#ifndef PICTUREFLOWPRIVATE_H
#define PICTUREFLOWPRIVATE_H

#include <QBasicTimer>
#include <QCache>
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QVector>

class PictureFlow;
class QPainter;

// Fixed point with 10 fractional bits: 1024 is 1.0.
typedef int PFreal;

struct SlideInfo {
    int slideIndex = 0;
    int angle = 0;
    PFreal cx = 0;
    PFreal cy = 0;
};

// The state and the renderer of PictureFlow.
class PictureFlowPrivate
{
public:
    explicit PictureFlowPrivate(PictureFlow* w);

    static int fsin(int angle);
    static int fcos(int angle);

    int slideCount() const;
    void setSlideCount(int count);
    void setSlide(int index, const QImage& image);
    const QImage& fittedSlide(int index);
    void recalc(int width, int height);
    void resizeTo(int logicalWidth, int logicalHeight);
    void fitSlideBox(int logicalWidth, int logicalHeight);
    void resetSlides();
    void relabelSlides();
    QImage* surface(int index);
    QImage prepareSurface(const QImage& slide) const;
    QRect renderSlide(const SlideInfo& slide, int alpha = 256, int col1 = -1, int col2 = -1);
    void render();
    // What changed in the buffer since last asked, in logical pixels; the buffer's pixels under
    // a logical rectangle put on the screen.
    QRect takeChanged();
    void paint(QPainter* painter, const QRect& logical);
    void startAnimation(bool backward);
    void updateAnimation();
    void showSlide(int index, bool backward);
    void showNext();
    void showPrevious();
    void setCurrentSlide(int index);
    void triggerRender();

    // The frame, 32-bit as the screen is: putting it on the screen is a plain copy.
    QImage buffer;
    QBasicTimer animateTimer;
    bool singlePress;
    int singlePressThreshold;
    QPoint firstPress;
    QPoint previousPos;
    QElapsedTimer previousPosTimestamp;
    int pixelDistanceMoved;
    int pixelsToMovePerSlide;
    int centerIndex;
    QVector<QString> captions;
    PictureFlow* widget;
    int slideWidth;
    int slideHeight;
    int zoom;
    // The pictures as they were given, and each fitted into the slide box at device pixels (made
    // when first needed, again from the original whenever the box changes).
    QVector<QImage> originals;
    QVector<QImage> slideImages;
    SlideInfo centerSlide;
    QVector<SlideInfo> leftSlides;
    QVector<SlideInfo> rightSlides;
    QVector<long> rays;
    int itilt;
    int spacing;
    PFreal offsetX;
    PFreal offsetY;
    QImage blankSurface;
    QCache<int, QImage> surfaceCache;
    QTimer triggerTimer;
    int slideFrame;
    int step;
    int target;
    int fade;
    QRect centerSlideRect;
    // Device pixels per logical pixel: the buffer, the slides and their geometry are in device
    // pixels, the widget's events and the slide size it is given in logical ones.
    qreal ratio;
    QSize logicalSlideSize;
    // Per buffer column, how many rows out from the middle the last frame drew: the next frame
    // blacks out only what it no longer covers instead of clearing the whole buffer.
    QVector<int> drawnSteps;
    QVector<int> frameSteps;
    // Device pixels of the buffer changed since the screen last took them.
    QRect changed;

private:
    int sideAlpha(bool left, int i, int count) const;
    void renderSlides();
};

#endif // PICTUREFLOWPRIVATE_H
