#ifndef PROBESCREEN_H
#define PROBESCREEN_H

#include "screens/shell/basewidget.h"

// A screen that counts what the stack tells it.
class ProbeScreen : public BaseWidget
{
    Q_OBJECT
public:
    explicit ProbeScreen(MainWidget::InterfaceOrientation orientation = MainWidget::OrientationFree,
                         QWidget* parent = nullptr)
        : BaseWidget(parent), supported(orientation) {}

    MainWidget::InterfaceOrientation getSupportedOrientation() override { return supported; }

    int shown = 0;
    int hidden = 0;

public slots:
    void showFinished() override { ++shown; }
    void hideFinished() override
    {
        ++hidden;
        BaseWidget::hideFinished();
    }

private:
    MainWidget::InterfaceOrientation supported;
};

#endif // PROBESCREEN_H
