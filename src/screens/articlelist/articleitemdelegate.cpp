#include "screens/articlelist/articleitemdelegate.h"

#include <QPainter>

#include "screens/widgets/textscale.h"
#include "screens/widgets/theme.h"
#include "screens/widgets/bannerrow.h"
#include "logic/base/constants.h"
#include "logic/base/hidpi.h"

static QFont helvetica(int weight, int pixelSize)
{
    QFont font(QStringLiteral("Helvetica"));
    font.setWeight(weight);
    font.setPixelSize(pixelSize);
    return font;
}

ArticleItemDelegate::ArticleItemDelegate(QObject* parent)
    : QAbstractItemDelegate(parent), defaultThumbnail(Hidpi::image(QStringLiteral(":/IMG/THUMBNAIL"))),
      darkThumbnail(Hidpi::image(QStringLiteral(":/IMG/DARK/THUMBNAIL"))),
      scaledThumbnails(8 * 1024)
{
}

const QImage& ArticleItemDelegate::thumbnailFor(const QImage& picture, const QSize& box, qreal ratio) const
{
    const QSize pixels = box * ratio;
    const QPair<qint64, qint64> key(picture.cacheKey(), (qint64(pixels.width()) << 32) | pixels.height());
    if (QImage* scaled = scaledThumbnails.object(key))
        return *scaled;
    QImage fitted = picture.size() == pixels
                        ? picture
                        : picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    fitted.setDevicePixelRatio(ratio);
    if (scaledThumbnails.insert(key, new QImage(fitted), int(fitted.sizeInBytes() / 1024) + 1))
        return *scaledThumbnails.object(key);
    lastThumbnail = fitted; // larger than the whole cache
    return lastThumbnail;
}

void ArticleItemDelegate::forgetThumbnails()
{
    scaledThumbnails.clear();
    lastThumbnail = QImage();
}

QSize ArticleItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    return QSize(index.data(ItemWidthRole).toInt(), index.data(ItemHeightRole).toInt());
}

void ArticleItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    switch (index.data(ItemTypeRole).toInt()) {
    case ItemTypeNormal:
        paintArticle(painter, option, index);
        break;
    case ItemTypeBanner:
        paintBannerRow(painter, option, index, true);
        break;
    case ItemTypeNoItems:
        painter->setPen(Theme::color(Theme::Text));
        painter->setFont(helvetica(50, 28));
        painter->drawText(option.rect, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextWordWrap,
                          index.data(ItemMainTextRole).toString());
        break;
    default:
        break;
    }
    painter->restore();
}

void ArticleItemDelegate::paintArticle(QPainter* painter, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const
{
    const QRect row = option.rect;
    const int x = row.left();
    const int y = row.top();
    const int w = row.width();
    if (option.state & QStyle::State_Selected)
        painter->fillRect(row, Theme::color(Theme::RowPressed));
    else if (index.data(ItemWasReadRole).toBool())
        painter->fillRect(row, Theme::color(Theme::RowAlternate));
    else
        painter->fillRect(row, Theme::color(Theme::Row));

    const QRect box(QPoint(x + 13, y + 10), QPoint(x + 96, y + 87));
    const QImage thumbnail = index.data(ItemImageRole).value<QImage>();
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    // An article without its picture yet carries the light placeholder.
    const bool placeholder = thumbnail.isNull() || (Theme::isDark() && thumbnail == defaultThumbnail);
    painter->drawImage(box.topLeft(), thumbnailFor(placeholder ? (Theme::isDark() && !darkThumbnail.isNull() ? darkThumbnail : defaultThumbnail) : thumbnail, box.size(), ratio));
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(Theme::color(Theme::SecondaryText));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box.adjusted(-1, -1, 0, 0));
    painter->setRenderHint(QPainter::Antialiasing, true);

    const int titleHeight = index.data(ItemMainTextHeightRole).toInt();
    painter->setFont(helvetica(75, TextScale::pixelSize(20)));
    painter->setPen(Theme::color(Theme::AccentText));
    painter->drawText(QRect(x + 100, y + 8, w - 118, titleHeight),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextWordWrap,
                      index.data(ItemMainTextRole).toString());

    painter->setFont(helvetica(50, TextScale::pixelSize(20)));
    painter->setPen(Theme::color(Theme::Text));
    painter->drawText(QRect(x + 100, y + 8 + titleHeight, w - 118, row.height() - 15 - titleHeight),
                      Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine | Qt::TextWordWrap,
                      index.data(ItemSubTextRole).toString());
}

