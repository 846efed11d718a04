#ifndef BANNERROW_H
#define BANNERROW_H

class QModelIndex;
class QPainter;
class QStyleOptionViewItem;

// The advertising row of the lists: the picture centred on white, greyed while pressed
// when it leads somewhere; the article lists also draw a line along its edges.
void paintBannerRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index, bool edges);

#endif // BANNERROW_H
