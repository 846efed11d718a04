#ifndef ARTICLESCROLLAREA_H
#define ARTICLESCROLLAREA_H

#include <QScrollArea>

#include "Views/kineticmotion.h"

class QTimer;

// The article's column: scrolled by the finger while it is down.
class ArticleScrollArea : public QScrollArea
{
    Q_OBJECT
public:
    explicit ArticleScrollArea(QWidget* parent = nullptr);

    void stopMotion();
    void callMousePress(QMouseEvent* e);
    const KineticMotion& motion() const { return kinetic; }

public slots:
    void onKineticTimerElapsed();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QTimer* kineticTimer;
    KineticMotion kinetic;
};

#endif // ARTICLESCROLLAREA_H
