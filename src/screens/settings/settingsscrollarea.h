#ifndef SETTINGSSCROLLAREA_H
#define SETTINGSSCROLLAREA_H

#include <QScrollArea>

#include "screens/widgets/kineticscrollhost.h"

// The settings body: finger-scrolled, with a wider dead zone for the check boxes.
class SettingsScrollArea : public KineticScrollHost<QScrollArea>
{
    Q_OBJECT
public:
    explicit SettingsScrollArea(QWidget* parent = nullptr);


protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

#endif // SETTINGSSCROLLAREA_H
