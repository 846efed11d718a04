#include "screens/articlelist/articleitemdelegate.h"

#include <QPainter>

#include "screens/widgets/textscale.h"
#include "screens/widgets/theme.h"
#include "screens/widgets/bannerrow.h"
#include "logic/base/constants.h"
#include "logic/base/hidpi.h"

static QFont helvetica(QFont::Weight weight, int pixelSize)
{
    QFont font(QStringLiteral("Helvetica"));
    font.setWeight(weight);
    font.setPixelSize(pixelSize);
    return font;
}

ArticleItemDelegate::ArticleItemDelegate(QObject* parent)
    : QAbstractItemDelegate(parent), defaultThumbnail(Hidpi::image(QStringLiteral(":/IMG/THUMBNAIL"))),
      darkThumbnail(Hidpi::image(QStringLiteral(":/IMG/DARK/THUMBNAIL"))),
      scaledThumbnails(8 * 1024), paintedRows(24 * 1024)
{
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
size_t qHash(const ArticleItemDelegate::RowKey& key, size_t seed)
#else
uint qHash(const ArticleItemDelegate::RowKey& key, uint seed)
#endif
{
    return qHash(key.title, seed) ^ qHash(key.lead, seed) ^ qHash(key.thumbnail, seed)
           ^ qHash((qint64(key.titleHeight * 4 + key.flags) << 32) ^ (key.pixels.width() * 8191 + key.pixels.height()), seed);
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
    paintedRows.clear();
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
        painter->setFont(helvetica(QFont::Normal, 28));
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
    const QImage picture = index.data(ItemImageRole).value<QImage>();
    // An article without its picture yet carries the light placeholder.
    const bool placeholder = picture.isNull() || (Theme::isDark() && picture == defaultThumbnail);
    const QImage& source = !placeholder ? picture : Theme::isDark() && !darkThumbnail.isNull() ? darkThumbnail
                                                                                               : defaultThumbnail;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    RowKey key;
    key.title = index.data(ItemMainTextRole).toString();
    key.lead = index.data(ItemSubTextRole).toString();
    key.titleHeight = index.data(ItemMainTextHeightRole).toInt();
    key.flags = (index.data(ItemWasReadRole).toBool() ? 1 : 0) | (option.state & QStyle::State_Selected ? 2 : 0)
                | (Theme::isDark() ? 4 : 0) | (Theme::isHighContrast() ? 8 : 0) | (TextScale::percent() << 4);
    key.thumbnail = source.cacheKey();
    key.pixels = QSize(qRound(row.width() * ratio), qRound(row.height() * ratio));

    // Kept rows pay at a fractional density (2.5), where text is laid out through the scale at
    // every frame; at whole ones (1, 2, 3) drawing the text is cheaper than copying the rows.
    // They also need a painter that only moves and scales; anything else is drawn as it comes.
    const QTransform toDevice = painter->deviceTransform();
    if (qFuzzyCompare(ratio, qreal(qRound(ratio))) || toDevice.type() > QTransform::TxScale
        || !qFuzzyCompare(toDevice.m11(), ratio)
        || !qFuzzyCompare(toDevice.m22(), ratio) || key.pixels.isEmpty()) {
        drawArticle(painter, row, key, source, ratio);
        return;
    }
    QImage* painted = paintedRows.object(key);
    if (!painted) {
        QImage image(key.pixels, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        {
            QPainter rowPainter(&image);
            rowPainter.setRenderHint(QPainter::Antialiasing, true);
            drawArticle(&rowPainter, QRect(QPoint(0, 0), row.size()), key, source, ratio);
        }
        image.setDevicePixelRatio(1.0);
        painted = new QImage(image);
        if (!paintedRows.insert(key, painted, int(image.sizeInBytes() / 1024) + 1)) {
            drawArticle(painter, row, key, source, ratio); // larger than the whole cache
            return;
        }
    }
    // Whole device pixels, so that the copy is a plain one, not a scaled or filtered draw.
    const QPoint at = toDevice.map(QPointF(row.topLeft())).toPoint();
    const QTransform afterWorld = painter->worldTransform().inverted() * toDevice;
    painter->save();
    painter->setWorldTransform(afterWorld.inverted());
    painter->drawImage(at, *painted);
    painter->restore();
}

void ArticleItemDelegate::drawArticle(QPainter* painter, const QRect& row, const RowKey& key, const QImage& thumbnail,
                                      qreal ratio) const
{
    const int x = row.left();
    const int y = row.top();
    const int w = row.width();
    if (key.flags & 2)
        painter->fillRect(row, Theme::color(Theme::RowPressed));
    else if (key.flags & 1)
        painter->fillRect(row, Theme::color(Theme::RowAlternate));
    else
        painter->fillRect(row, Theme::color(Theme::Row));

    const QRect box(QPoint(x + 13, y + 10), QPoint(x + 96, y + 87));
    painter->drawImage(box.topLeft(), thumbnailFor(thumbnail, box.size(), ratio));
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(Theme::color(Theme::SecondaryText));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box.adjusted(-1, -1, 0, 0));
    painter->setRenderHint(QPainter::Antialiasing, true);

    painter->setFont(helvetica(QFont::Bold, TextScale::pixelSize(20)));
    painter->setPen(Theme::color(Theme::AccentText));
    painter->drawText(QRect(x + 100, y + 8, w - 118, key.titleHeight),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextWordWrap, key.title);

    painter->setFont(helvetica(QFont::Normal, TextScale::pixelSize(20)));
    painter->setPen(Theme::color(Theme::Text));
    painter->drawText(QRect(x + 100, y + 8 + key.titleHeight, w - 118, row.height() - 15 - key.titleHeight),
                      Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine | Qt::TextWordWrap, key.lead);
}
