#ifndef LISTVIEW_H
#define LISTVIEW_H

#include <QListView>

#include "screens/widgets/kineticscrollhost.h"

// The finger-scrolled list of the list screens: a drag never reports a click.
class ListView : public KineticScrollHost<QListView>
{
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);


protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
};

#endif // LISTVIEW_H
