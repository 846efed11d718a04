#ifndef ARTICLEITEMDELEGATE_H
#define ARTICLEITEMDELEGATE_H

#include <QAbstractItemDelegate>
#include <QImage>

// Paints the rows of the article lists: articles, banners, the filler and the no-items row.
class ArticleItemDelegate : public QAbstractItemDelegate
{
    Q_OBJECT
public:
    explicit ArticleItemDelegate(QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintArticle(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    QImage defaultThumbnail;
};

#endif // ARTICLEITEMDELEGATE_H
