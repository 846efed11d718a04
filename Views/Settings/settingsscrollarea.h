#ifndef SETTINGSSCROLLAREA_H
#define SETTINGSSCROLLAREA_H

#include <QScrollArea>

#include "Views/kineticmotion.h"

class QTimer;

// The settings body: finger-scrolled, with a wider dead zone for the check boxes.
class SettingsScrollArea : public QScrollArea
{
    Q_OBJECT
public:
    explicit SettingsScrollArea(QWidget* parent = nullptr);

    void stopMotion();
    const KineticMotion& motion() const { return kinetic; }

public slots:
    void sliderRangeChanged(int min, int max);
    void onKineticTimerElapsed();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QTimer* kineticTimer;
    KineticMotion kinetic;
};

#endif // SETTINGSSCROLLAREA_H
