#include "screens/article/articlescrollarea.h"

#include <QMouseEvent>
#include <QScrollBar>

static const int articleDeadZone = 10;

ArticleScrollArea::ArticleScrollArea(QWidget* parent) : KineticScrollHost(parent, false)
{
}

void ArticleScrollArea::callMousePress(QMouseEvent* e)
{
    mousePressEvent(e);
}

void ArticleScrollArea::mousePressEvent(QMouseEvent* e)
{
    kinetic.press(qRound(e->position().y()));
}

void ArticleScrollArea::mouseMoveEvent(QMouseEvent* e)
{
    if (!kinetic.isPressed) {
        e->ignore();
        return;
    }
    const int y = qRound(e->position().y());
    kinetic.openIfNeeded(y);
    if (y < 0 || y > height() - 1 || !kinetic.leaveDeadZone(y, articleDeadZone)) {
        kinetic.shift(y);
        return;
    }
    kinetic.startMoving();
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(kinetic.lastPosY - y + bar->value());
    QScrollArea::mouseMoveEvent(e);
    kinetic.shift(y);
}

void ArticleScrollArea::mouseReleaseEvent(QMouseEvent* e)
{
    kinetic.release();
    QAbstractScrollArea::mouseReleaseEvent(e);
    kinetic.isScroll = false;
}
