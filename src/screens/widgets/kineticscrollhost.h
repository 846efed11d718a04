#ifndef KINETICSCROLLHOST_H
#define KINETICSCROLLHOST_H

#include <QScrollBar>
#include <QTimer>
#include <QWidget>

#include "screens/widgets/kineticmotion.h"

// A scrolling widget (a list or a scroll area) driven by KineticMotion: owns the
// tick timer and wires it, and optionally the scroll bar's range, to the motion.
// The mouse handling stays with each widget, since their gestures differ.
template <class Base>
class KineticScrollHost : public Base
{
public:
    KineticScrollHost(QWidget* parent, bool tracksRange)
        : Base(parent), kineticTimer(new QTimer(this)), kinetic(kineticTimer)
    {
        if (tracksRange)
            QObject::connect(this->verticalScrollBar(), &QScrollBar::rangeChanged, this,
                             &KineticScrollHost::sliderRangeChanged);
        QObject::connect(kineticTimer, &QTimer::timeout, this, &KineticScrollHost::onKineticTimerElapsed);
    }

    void stopMotion() { kinetic.stopMotion(); }
    const KineticMotion& motion() const { return kinetic; }

    void sliderRangeChanged(int min, int max) { kinetic.isScrollEnabled = max - min > 0; }
    void onKineticTimerElapsed() { kinetic.tick(this->verticalScrollBar()); }

protected:
    QTimer* kineticTimer;
    KineticMotion kinetic;
};

#endif // KINETICSCROLLHOST_H
