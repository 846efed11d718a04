#include "screens/widgets/kineticmotion.h"

#include <QScrollBar>
#include <QTimer>
#include <cstdlib>

#include "logic/base/constants.h"

KineticMotion::KineticMotion(QTimer* timer)
    : startPosY(-1), lastPosY(-1), lastLastPosY(-1), isScroll(false), isScrollEnabled(false), isPressed(false),
      isMoving(false), velocity(0), kineticTimer(timer)
{
}

void KineticMotion::press(int y)
{
    isPressed = true;
    if (isMoving)
        stopMotion();
    isScroll = false;
    startPosY = lastPosY = lastLastPosY = y;
}

void KineticMotion::openIfNeeded(int y)
{
    if (startPosY >= 0)
        return;
    startPosY = lastPosY = lastLastPosY = y;
    isScroll = false;
}

bool KineticMotion::leaveDeadZone(int y, int deadZone)
{
    if (std::abs(y - startPosY) > deadZone)
        isScroll = true;
    return isScroll;
}

void KineticMotion::startMoving()
{
    isMoving = true;
    if (!kineticTimer->isActive())
        kineticTimer->start(tickInterval);
}

void KineticMotion::shift(int y)
{
    lastLastPosY = lastPosY;
    lastPosY = y;
}

void KineticMotion::release()
{
    isPressed = false;
    lastPosY = -1;
    startPosY = -1;
}

void KineticMotion::tick(QScrollBar* bar)
{
    if (isPressed) {
        if (isMoving)
            velocity = lastPosY - lastLastPosY;
        else
            stopMotion();
        return;
    }
    if (!isMoving) {
        stopMotion();
        return;
    }
    if (velocity > gMaxDecelerationSpeed)
        velocity = gMaxDecelerationSpeed;
    else if (velocity < -gMaxDecelerationSpeed)
        velocity = -gMaxDecelerationSpeed;
    if (velocity == 0) {
        stopMotion();
    } else {
        velocity += velocity > 0 ? -2 : 2;
        if (std::abs(velocity) <= 1)
            stopMotion();
    }
    int value = bar->value() - velocity;
    bar->setValue(value < 0 ? 0 : value);
}

void KineticMotion::stopMotion()
{
    isMoving = false;
    velocity = 0;
    kineticTimer->stop();
}
