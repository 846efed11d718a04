#include "screens/widgets/listview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

static const int listDeadZone = 10;

namespace {

// The lists' bar has a transparent track (FormStyle): when the list scrolls, only where its handle
// was and where it is change, and only when the handle moves. Repainting the whole bar repainted
// the list's background under it the height of the screen at every frame.
class ListScrollBar : public QScrollBar
{
public:
    using QScrollBar::QScrollBar;

protected:
    void sliderChange(SliderChange change) override
    {
        const QRect before = handle;
        // With the smoothed edges of its rounded corners, which reach past the handle's rectangle.
        handle = handleRect().adjusted(-2, -2, 2, 2);
        // A long list moves its handle by less than a pixel at most frames: nothing to repaint then.
        if (change == SliderValueChange && !before.isNull()) {
            if (handle != before)
                update(QRegion(before) | handle);
        } else {
            QScrollBar::sliderChange(change);
        }
    }

    void resizeEvent(QResizeEvent* e) override
    {
        handle = QRect();
        QScrollBar::resizeEvent(e);
    }

    void changeEvent(QEvent* e) override
    {
        handle = QRect();
        QScrollBar::changeEvent(e);
    }

private:
    QRect handleRect() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    }

    QRect handle;
};

} // namespace

ListView::ListView(QWidget* parent) : KineticScrollHost(parent, true)
{
    // The new bar takes the old one's range and value; the view's and the motion's own
    // connections to it are made again.
    QScrollBar* bar = new ListScrollBar(Qt::Vertical, this);
    setVerticalScrollBar(bar);
    connect(bar, &QScrollBar::actionTriggered, this, &ListView::verticalScrollbarAction);
    connect(bar, &QScrollBar::valueChanged, this, &ListView::verticalScrollbarValueChanged);
    connect(bar, &QScrollBar::rangeChanged, this, &ListView::sliderRangeChanged);
}

void ListView::setOpaqueRows(std::function<bool(const QModelIndex&)> covers)
{
    coversRow = std::move(covers);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, bool(coversRow));
}

void ListView::paintEvent(QPaintEvent* e)
{
    if (coversRow) {
        QRegion bare = e->region();
        const QRect area = bare.boundingRect();
        // The first row reaching into the area, then each one until past it.
        const int rows = model() ? model()->rowCount(rootIndex()) : 0;
        int low = 0;
        int high = rows;
        while (low < high) {
            const int middle = (low + high) / 2;
            if (visualRect(model()->index(middle, 0, rootIndex())).bottom() < area.top())
                low = middle + 1;
            else
                high = middle;
        }
        // Rows are painted no wider than the view less its spacing on both sides, as QListView does.
        const int widest = qMax(viewport()->width(), contentsSize().width()) - 2 * spacing();
        for (int row = low; row < rows; ++row) {
            const QModelIndex index = model()->index(row, 0, rootIndex());
            QRect rect = visualRect(index);
            rect.setWidth(qMin(widest, rect.width()));
            if (rect.top() > area.bottom())
                break;
            if (coversRow(index))
                bare -= rect;
        }
        if (!bare.isEmpty()) {
            // A pixel more all round: at a fractional density a row's edge may end inside a device
            // pixel that its fill leaves out. The rows are painted over it afterwards.
            QPainter painter(viewport());
            const QBrush background = viewport()->palette().brush(viewport()->backgroundRole());
            for (const QRect& rect : bare)
                painter.fillRect(rect.adjusted(-1, -1, 1, 1), background);
        }
    }
    QListView::paintEvent(e);
}

void ListView::mousePressEvent(QMouseEvent* e)
{
    kinetic.press(qRound(e->position().y()));
    QAbstractItemView::mousePressEvent(e);
}

void ListView::mouseMoveEvent(QMouseEvent* e)
{
    if (!kinetic.isScrollEnabled) {
        QListView::mouseMoveEvent(e);
        return;
    }
    const int y = qRound(e->position().y());
    kinetic.openIfNeeded(y);
    if (y < 0 || y > height() - 1) {
        setSelectionMode(QAbstractItemView::NoSelection);
        clearSelection();
        return;
    }
    if (!kinetic.leaveDeadZone(y, listDeadZone))
        return;
    kinetic.startMoving();
    setSelectionMode(QAbstractItemView::NoSelection);
    clearSelection();
    QScrollBar* bar = verticalScrollBar();
    const int value = kinetic.lastPosY - y + bar->value();
    if (value >= 0 && value <= bar->maximum())
        bar->setValue(value);
    QListView::mouseMoveEvent(e);
    kinetic.shift(y);
}

void ListView::mouseReleaseEvent(QMouseEvent* e)
{
    kinetic.release();
    if (!(kinetic.isScroll && kinetic.isScrollEnabled))
        QListView::mouseReleaseEvent(e);
    kinetic.isScroll = false;
    setSelectionMode(QAbstractItemView::SingleSelection);
    clearSelection();
}

// Keys move the current row (the pressed look marks it) and Enter opens it; the kinetic motion
// is the finger's, keys scroll the list straight to the row.
void ListView::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentIndex().isValid())
            emit clicked(currentIndex());
        return;
    case Qt::Key_Space: {
        QKeyEvent page(e->type(), e->modifiers() & Qt::ShiftModifier ? Qt::Key_PageUp : Qt::Key_PageDown,
                       Qt::NoModifier);
        QListView::keyPressEvent(&page);
        return;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        QListView::keyPressEvent(e);
        return;
    default:
        e->ignore();
    }
}

void ListView::keyReleaseEvent(QKeyEvent*)
{
}
