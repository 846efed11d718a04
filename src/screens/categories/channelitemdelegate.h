#ifndef CHANNELITEMDELEGATE_H
#define CHANNELITEMDELEGATE_H

#include <QAbstractItemDelegate>
#include <QImage>

class QAbstractItemView;
class QMovie;

// Paints the category rows (marker, title, unread count or busy label, separator) and the banner row.
class ChannelItemDelegate : public QAbstractItemDelegate
{
    Q_OBJECT
public:
    ChannelItemDelegate(QAbstractItemView& view, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void stopMovie();


private:
    void paintChannel(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void showBusyLabel(const QModelIndex& index, const QRect& box, bool selected) const;

    QImage cycek;
    QAbstractItemView& view;
    QMovie* movie;
};

#endif // CHANNELITEMDELEGATE_H
