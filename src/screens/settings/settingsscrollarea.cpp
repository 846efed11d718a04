#include "screens/settings/settingsscrollarea.h"

#include <QMouseEvent>
#include <QScrollBar>

static const int settingsDeadZone = 20;

SettingsScrollArea::SettingsScrollArea(QWidget* parent) : KineticScrollHost(parent, true)
{
}

void SettingsScrollArea::mousePressEvent(QMouseEvent* e)
{
    kinetic.press(qRound(e->position().y()));
    QAbstractScrollArea::mousePressEvent(e);
    e->accept();
}

void SettingsScrollArea::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    if (!kinetic.isScrollEnabled) {
        QScrollArea::mouseMoveEvent(e);
        e->accept();
        return;
    }
    const int y = qRound(e->position().y());
    kinetic.openIfNeeded(y);
    if (y < 0 || y > height() - 1 || !kinetic.leaveDeadZone(y, settingsDeadZone))
        return;
    kinetic.startMoving();
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(kinetic.lastPosY - y + bar->value());
    QScrollArea::mouseMoveEvent(e);
    e->accept();
    kinetic.shift(y);
}

void SettingsScrollArea::mouseReleaseEvent(QMouseEvent* e)
{
    kinetic.release();
    if (!(kinetic.isScroll && kinetic.isScrollEnabled))
        QAbstractScrollArea::mouseReleaseEvent(e);
    kinetic.isScroll = false;
    e->accept();
}
