#include "screens/article/photoscrollarea.h"

#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <cstdlib>

static const int pageAnimationDuration = 200;
static const int pagingDeadZone = 10;
// A flick turns the page however short it is: this fast over its last moves, and past the dead zone.
static const int flickSpeed = 500; // px/s
static const int flickWindowMs = 100;

PhotoScrollArea::PhotoScrollArea(QWidget* parent)
    : QScrollArea(parent), startPosX(-1), lastPosX(-1), horizontalValue(-1), myScrolling(false),
      animationInProgress(false), pagesCount(-1), currentPage(0)
{
    setWidgetResizable(true);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &PhotoScrollArea::horizontalScrollBarValueChanged);
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            &PhotoScrollArea::horizontalScrollBarRangeChanged);
}

void PhotoScrollArea::callMousePress(QMouseEvent* e)
{
    mousePressEvent(e);
}

void PhotoScrollArea::beginDrag(int x)
{
    const int w = width();
    // The nearest page: the last one rests a pixel short of its multiple (the content is a pixel
    // narrower than its pages), and rounding down would snap a touch there back a page.
    horizontalValue = w > 0 ? ((horizontalScrollBar()->value() + w / 2) / w) * w : 0;
    startPosX = lastPosX = x;
    clock.start();
    samples.clear();
    sample(x);
}

void PhotoScrollArea::sample(int x)
{
    const int now = int(clock.elapsed());
    samples.append(QPoint(now, x));
    while (samples.size() > 2 && now - samples.at(1).x() > flickWindowMs)
        samples.removeFirst();
}

double PhotoScrollArea::releaseSpeed(int x) const
{
    if (samples.isEmpty())
        return 0;
    const int now = int(clock.elapsed());
    // From the oldest move of the window; a finger that rests before lifting has no speed.
    const QPoint from = samples.first();
    if (now - samples.last().x() > flickWindowMs)
        return 0;
    return (x - from.y()) * 1000.0 / qMax(1, now - from.x());
}

void PhotoScrollArea::mousePressEvent(QMouseEvent* e)
{
    beginDrag(qRound(e->position().x()));
}

void PhotoScrollArea::mouseMoveEvent(QMouseEvent* e)
{
    const int x = qRound(e->position().x());
    if (horizontalValue < 0)
        beginDrag(x);
    if (startPosX < 0)
        startPosX = lastPosX = x;
    if (x >= 0 && x <= width() - 1 && !animationInProgress && std::abs(startPosX - x) > pagingDeadZone) {
        myScrolling = true;
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(lastPosX - x + bar->value());
        QScrollArea::mouseMoveEvent(e);
        myScrolling = false;
        viewport()->update();
    }
    lastPosX = x;
    sample(x);
}

void PhotoScrollArea::mouseReleaseEvent(QMouseEvent* e)
{
    if (horizontalValue >= 0) {
        const int w = width();
        const int d = startPosX - qRound(e->position().x());
        const double speed = releaseSpeed(qRound(e->position().x()));
        const bool flick = std::abs(d) > pagingDeadZone && std::abs(speed) >= flickSpeed && (speed < 0) == (d > 0);
        if (d > w / 3 || (flick && d > 0))
            animateScrolling(horizontalValue + w);
        else if (d < -(w / 3) || (flick && d < 0))
            animateScrolling(horizontalValue - w);
        else
            animateScrolling(horizontalValue);
    }
    startPosX = lastPosX = horizontalValue = -1;
    QScrollArea::mouseReleaseEvent(e);
}

void PhotoScrollArea::animateScrolling(int target)
{
    const int w = width();
    if (w <= 0)
        return;
    if (target % w != 0)
        target = (target / w) * w;
    // Stay inside the strip: the scroll bar clamps anyway, the page arithmetic should too.
    target = qBound(0, target, horizontalScrollBar()->maximum());
    QPropertyAnimation* animation = new QPropertyAnimation(horizontalScrollBar(), "value", this);
    animation->setEndValue(target);
    animation->setDuration(pageAnimationDuration);
    animation->setEasingCurve(QEasingCurve::InOutCubic);
    connect(animation, &QPropertyAnimation::finished, this, &PhotoScrollArea::animationFinished);
    myScrolling = true;
    animationInProgress = true;
    horizontalValue = target;
    startPosX = -1;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void PhotoScrollArea::animationFinished()
{
    myScrolling = false;
    animationInProgress = false;
    viewport()->update();
}

void PhotoScrollArea::scrollToPage(int page)
{
    animateScrolling(page * width());
}

void PhotoScrollArea::scrollContentsBy(int dx, int dy)
{
    if (myScrolling)
        QScrollArea::scrollContentsBy(dx, dy);
}

void PhotoScrollArea::horizontalScrollBarValueChanged(int value)
{
    const int w = width();
    // Only the area's own moves turn pages: a resize clamps the value before the
    // pages are laid out again at the new width, and must not lose the photo shown.
    if (w <= 0 || !myScrolling)
        return;
    const int page = (value + w / 2) / w;
    if (page != currentPage) {
        currentPage = page;
        emit scrollingFinished(page);
    }
}

void PhotoScrollArea::horizontalScrollBarRangeChanged(int min, int max)
{
    const int w = width();
    if (w <= 0)
        return;
    const int pages = (max - min) / w + 1;
    if (pages != pagesCount) {
        pagesCount = pages;
        emit scrollingFinished(currentPage);
    }
    const int value = currentPage * (max - min) / pagesCount;
    if (horizontalScrollBar()->value() != value)
        horizontalScrollBar()->setValue(value);
}
