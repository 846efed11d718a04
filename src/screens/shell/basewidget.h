#ifndef BASEWIDGET_H
#define BASEWIDGET_H

#include <QWidget>

#include "screens/shell/mainwidget.h"

// Every screen of the stack.
class BaseWidget : public QWidget
{
    Q_OBJECT
public:
    explicit BaseWidget(QWidget* parent = nullptr);

    virtual MainWidget::InterfaceOrientation getSupportedOrientation();

public slots:
    virtual void showFinished();
    virtual void hideFinished();

signals:
    void popToRoot();
    void pushWidget(BaseWidget* w);
    void backClicked();
    void exitClicked();
    // The screen's search button: the main controller opens the search screen.
    void searchRequested();
};

#endif // BASEWIDGET_H
