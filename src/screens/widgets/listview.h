#ifndef LISTVIEW_H
#define LISTVIEW_H

#include <QListView>
#include <functional>

#include "screens/widgets/kineticscrollhost.h"

// The finger-scrolled list of the list screens: a drag never reports a click.
class ListView : public KineticScrollHost<QListView>
{
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);

    // Rows for which `covers` holds paint the whole of their rectangle, top to bottom one after
    // another: the background is painted only around them, not first under them at every frame.
    void setOpaqueRows(std::function<bool(const QModelIndex&)> covers);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    std::function<bool(const QModelIndex&)> coversRow;
};

#endif // LISTVIEW_H
