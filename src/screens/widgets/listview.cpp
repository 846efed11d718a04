#include "screens/widgets/listview.h"

#include <QKeyEvent>
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

// Keys move the current row (the pressed look marks it) and Enter opens it; the kinetic motion
// is the finger's, keys scroll the list straight to the row.
void ListView::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentIndex().isValid())
            emit clicked(currentIndex());
        return;
    case Qt::Key_Space: {
        QKeyEvent page(e->type(), e->modifiers() & Qt::ShiftModifier ? Qt::Key_PageUp : Qt::Key_PageDown,
                       Qt::NoModifier);
        QListView::keyPressEvent(&page);
        return;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        QListView::keyPressEvent(e);
        return;
    default:
        e->ignore();
    }
}

void ListView::keyReleaseEvent(QKeyEvent*)
{
}
