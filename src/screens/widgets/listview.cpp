#include "screens/widgets/listview.h"

#include <QMouseEvent>
#include <QScrollBar>

static const int listDeadZone = 10;

ListView::ListView(QWidget* parent) : KineticScrollHost(parent, true)
{
}

void ListView::mousePressEvent(QMouseEvent* e)
{
    kinetic.press(qRound(e->position().y()));
    QAbstractItemView::mousePressEvent(e);
}

void ListView::mouseMoveEvent(QMouseEvent* e)
{
    if (!kinetic.isScrollEnabled) {
        QListView::mouseMoveEvent(e);
        return;
    }
    const int y = qRound(e->position().y());
    kinetic.openIfNeeded(y);
    if (y < 0 || y > height() - 1) {
        setSelectionMode(QAbstractItemView::NoSelection);
        clearSelection();
        return;
    }
    if (!kinetic.leaveDeadZone(y, listDeadZone))
        return;
    kinetic.startMoving();
    setSelectionMode(QAbstractItemView::NoSelection);
    clearSelection();
    QScrollBar* bar = verticalScrollBar();
    const int value = kinetic.lastPosY - y + bar->value();
    if (value >= 0 && value <= bar->maximum())
        bar->setValue(value);
    QListView::mouseMoveEvent(e);
    kinetic.shift(y);
}

void ListView::mouseReleaseEvent(QMouseEvent* e)
{
    kinetic.release();
    if (!(kinetic.isScroll && kinetic.isScrollEnabled))
        QListView::mouseReleaseEvent(e);
    kinetic.isScroll = false;
    setSelectionMode(QAbstractItemView::SingleSelection);
    clearSelection();
}

void ListView::keyPressEvent(QKeyEvent*)
{
}

void ListView::keyReleaseEvent(QKeyEvent*)
{
}
