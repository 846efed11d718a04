#ifndef FINGER_H
#define FINGER_H

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

// One finger on the screen, delivered as the window system does: the press goes to the
// deepest widget under it, and the moves and the release follow that widget.
class Finger
{
public:
    explicit Finger(QWidget* screen) : screen(screen) {}

    void press(const QPoint& posInScreen)
    {
        QWidget* under = screen->childAt(posInScreen);
        target = under ? under : screen.data();
        send(QEvent::MouseButtonPress, posInScreen, Qt::LeftButton);
    }
    void move(const QPoint& posInScreen) { send(QEvent::MouseMove, posInScreen, Qt::LeftButton); }
    void release(const QPoint& posInScreen)
    {
        send(QEvent::MouseButtonRelease, posInScreen, Qt::NoButton);
        target = nullptr;
    }
    void tap(const QPoint& posInScreen)
    {
        press(posInScreen);
        release(posInScreen);
    }

private:
    void send(QEvent::Type type, const QPoint& posInScreen, Qt::MouseButtons buttons)
    {
        if (!target)
            return;
        const QPoint global = screen->mapToGlobal(posInScreen);
        QMouseEvent e(type, target->mapFromGlobal(global), global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }

    QPointer<QWidget> screen;
    QPointer<QWidget> target;
};

#endif // FINGER_H
