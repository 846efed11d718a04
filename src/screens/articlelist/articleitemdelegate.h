#ifndef ARTICLEITEMDELEGATE_H
#define ARTICLEITEMDELEGATE_H

#include <QAbstractItemDelegate>
#include <QCache>
#include <QImage>
#include <QPair>
#include <QString>

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

    // What an article row shows, at what width and density: a painted row is kept under it.
    struct RowKey {
        QString title;
        QString lead;
        int titleHeight;
        int flags; // read, selected, the look and the text size
        qint64 thumbnail;
        QSize pixels;
        bool operator==(const RowKey& o) const
        {
            return titleHeight == o.titleHeight && flags == o.flags && thumbnail == o.thumbnail && pixels == o.pixels
                   && title == o.title && lead == o.lead;
        }
    };

private:
    void paintArticle(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void drawArticle(QPainter* painter, const QRect& row, const RowKey& key, const QImage& thumbnail, qreal ratio) const;
    const QImage& thumbnailFor(const QImage& picture, const QSize& box, qreal ratio) const;

    QImage defaultThumbnail;
    QImage darkThumbnail;
    // Thumbnails smoothly scaled to their box's device pixels, once, by picture and box size:
    // scaling them at every frame of a scroll costs more than the rest of the row.
    mutable QCache<QPair<qint64, qint64>, QImage> scaledThumbnails;
    mutable QImage lastThumbnail;
    // Article rows painted once at the screen's device pixels and copied pixel for pixel at each
    // frame of a scroll: drawing their text through a 2.5 scale at every frame cost most of it.
    mutable QCache<RowKey, QImage> paintedRows;
};

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
size_t qHash(const ArticleItemDelegate::RowKey& key, size_t seed = 0);
#else
uint qHash(const ArticleItemDelegate::RowKey& key, uint seed = 0);
#endif

#endif // ARTICLEITEMDELEGATE_H
