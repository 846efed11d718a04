#ifndef KINETICMOTION_H
#define KINETICMOTION_H

class QScrollBar;
class QTimer;

// The finger-driven scrolling shared by the lists and the scroll areas: the
// gesture's positions, the dead zone and the decaying glide on a 30 ms tick.
class KineticMotion
{
public:
    static constexpr int tickInterval = 30;

    explicit KineticMotion(QTimer* timer);

    void press(int y);
    // Opens the gesture on a move when no press was seen.
    void openIfNeeded(int y);
    // Marks the gesture a drag once it leaves the dead zone; stays a drag after that.
    bool leaveDeadZone(int y, int deadZone);
    void startMoving();
    void shift(int y);
    void release();
    void tick(QScrollBar* bar);
    void stopMotion();

    int startPosY;
    int lastPosY;
    int lastLastPosY;
    bool isScroll;
    bool isScrollEnabled;
    bool isPressed;
    bool isMoving;
    int velocity;
    QTimer* kineticTimer;
};

#endif // KINETICMOTION_H
