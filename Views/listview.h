#ifndef LISTVIEW_H
#define LISTVIEW_H

#include <QListView>

#include "Views/kineticmotion.h"

class QTimer;

// The finger-scrolled list of the list screens: a drag never reports a click.
class ListView : public QListView
{
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);

    void stopMotion();
    const KineticMotion& motion() const { return kinetic; }

public slots:
    void sliderRangeChanged(int min, int max);
    void onKineticTimerElapsed();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    QTimer* kineticTimer;
    KineticMotion kinetic;
};

#endif // LISTVIEW_H
