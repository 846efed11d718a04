#include "screens/widgets/bannerrow.h"

#include <QCache>
#include <QPainter>
#include <QStyleOptionViewItem>

#include "screens/widgets/theme.h"
#include "logic/base/constants.h"

// The banner smoothly scaled to the screen's device pixels, once per banner and ratio rather
// than at every frame of a scroll.
static QImage deviceBanner(const QPixmap& banner, qreal ratio)
{
    static QCache<QPair<qint64, int>, QImage> scaled(8 * 1024);
    const QPair<qint64, int> key(banner.cacheKey(), qRound(ratio * 100));
    if (const QImage* image = scaled.object(key))
        return *image;
    const QSize pixels = banner.size() / banner.devicePixelRatio() * ratio;
    QImage image = banner.toImage().scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(ratio);
    scaled.insert(key, new QImage(image), int(image.sizeInBytes() / 1024) + 1);
    return image;
}

void paintBannerRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index, bool edges)
{
    const QRect row = option.rect;
    painter->fillRect(row, Theme::color(Theme::Row));
    const QPixmap banner = index.data(ItemImageRole).value<QPixmap>();
    const QSize size = banner.size() / banner.devicePixelRatio();
    const QPoint at(row.left() + (row.width() - size.width()) / 2, row.top() + (row.height() - size.height()) / 2);
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    if (banner.isNull() || qFuzzyCompare(banner.devicePixelRatio(), ratio))
        painter->drawPixmap(at, banner);
    else
        painter->drawImage(at, deviceBanner(banner, ratio));
    if (edges) {
        painter->setPen(Theme::color(Theme::Separator));
        painter->drawLine(row.topLeft(), row.topRight());
        painter->drawLine(row.bottomLeft(), row.bottomRight());
    }
    if (index.data(ItemIsClickableRole).toBool() && (option.state & QStyle::State_Selected))
    {
        QColor pressed = Theme::color(Theme::RowPressed);
        pressed.setAlpha(100);
        painter->fillRect(row, pressed);
    }
}
