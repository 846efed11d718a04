#ifndef ARTICLEITEMDELEGATE_H
#define ARTICLEITEMDELEGATE_H

#include <QAbstractItemDelegate>
#include <QCache>
#include <QImage>
#include <QPair>

// Paints the rows of the article lists: articles, banners, the filler and the no-items row.
class ArticleItemDelegate : public QAbstractItemDelegate
{
    Q_OBJECT
public:
    explicit ArticleItemDelegate(QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // A new list brings new pictures: what was scaled for the old one would only fill the cache.
    void forgetThumbnails();
    int thumbnailsKept() const { return scaledThumbnails.size(); }

private:
    void paintArticle(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    const QImage& thumbnailFor(const QImage& picture, const QSize& box, qreal ratio) const;

    QImage defaultThumbnail;
    QImage darkThumbnail;
    // Thumbnails smoothly scaled to their box's device pixels, once, by picture and box size:
    // scaling them at every frame of a scroll costs more than the rest of the row.
    mutable QCache<QPair<qint64, qint64>, QImage> scaledThumbnails;
    mutable QImage lastThumbnail;
};

#endif // ARTICLEITEMDELEGATE_H
