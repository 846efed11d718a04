#ifndef ARTICLESCROLLAREA_H
#define ARTICLESCROLLAREA_H

#include <QScrollArea>

#include "screens/widgets/kineticscrollhost.h"

// The article's column: scrolled by the finger while it is down.
class ArticleScrollArea : public KineticScrollHost<QScrollArea>
{
    Q_OBJECT
public:
    explicit ArticleScrollArea(QWidget* parent = nullptr);

    void callMousePress(QMouseEvent* e);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

#endif // ARTICLESCROLLAREA_H
