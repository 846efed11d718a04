#include "Views/bannerrow.h"

#include <QPainter>
#include <QStyleOptionViewItem>

#include "foundation/constants.h"

void paintBannerRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index, bool edges)
{
    const QRect row = option.rect;
    painter->fillRect(row, Qt::white);
    const QPixmap banner = index.data(ItemImageRole).value<QPixmap>();
    const QSize size = banner.size() / banner.devicePixelRatio();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawPixmap(row.left() + (row.width() - size.width()) / 2, row.top() + (row.height() - size.height()) / 2,
                        banner);
    if (edges) {
        painter->setPen(QColor(185, 185, 185));
        painter->drawLine(row.topLeft(), row.topRight());
        painter->drawLine(row.bottomLeft(), row.bottomRight());
    }
    if (index.data(ItemIsClickableRole).toBool() && (option.state & QStyle::State_Selected))
        painter->fillRect(row, QColor(215, 215, 215, 100));
}
