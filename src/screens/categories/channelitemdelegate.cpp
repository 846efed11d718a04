#include "screens/categories/channelitemdelegate.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QLabel>
#include <QMovie>
#include <QPainter>

#include "screens/widgets/textscale.h"
#include "screens/widgets/theme.h"
#include "screens/widgets/bannerrow.h"
#include "screens/widgets/busylabel.h"
#include "logic/base/constants.h"
#include "logic/base/hidpi.h"

static const int dividerInset = 40;

ChannelItemDelegate::ChannelItemDelegate(QAbstractItemView& itemView, QObject* parent)
    : QAbstractItemDelegate(parent), cycek(Hidpi::image(QStringLiteral(":/IMG/KATEGORIA_CYCEK"))), view(itemView),
      movie(Hidpi::movie(QStringLiteral(":/IMG/BUSY_WHITE"), this))
{
    movie->start();
}

QSize ChannelItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    return QSize(360, index.data(ItemHeightRole).toInt());
}

void ChannelItemDelegate::stopMovie()
{
    if (movie)
        movie->stop();
}

void ChannelItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    switch (index.data(ItemTypeRole).toInt()) {
    case ItemTypeNormal:
        paintChannel(painter, option, index);
        break;
    case ItemTypeBanner:
        paintBannerRow(painter, option, index, false);
        break;
    default:
        break;
    }
    painter->restore();
}

void ChannelItemDelegate::paintChannel(QPainter* painter, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const
{
    const QRect row = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(row, Theme::color(selected ? Theme::RowPressed : Theme::Row));

    const QSize cycekSize = cycek.size() / cycek.devicePixelRatio();
    painter->drawImage(15, row.top() + (row.height() - cycekSize.height()) / 2, cycek);

    QFont font(QStringLiteral("Helvetica"), TextScale::pointSize(18), 50, false);
    painter->setFont(font);
    painter->setPen(Theme::color(Theme::CategoryText));
    const QRect titleRect(cycekSize.width() + 25, row.top(), row.width() - 115 - cycekSize.width(), row.height());
    painter->drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextWordWrap,
                      index.data(ItemMainTextRole).toString());

    // Counts end where the divider ends, whatever their digits: "(30)" lines up under "(5)".
    const int countRight = row.width() - dividerInset;
    const QRect box(countRight - 40, row.top() + (row.height() - 40) / 2, 40, 40);
    const int count = index.data(ItemSubTextRole).toInt();
    if (count >= 0) {
        painter->setFont(font);
        if (index.data(ItemIsUpdatingRole).toBool()) {
            showBusyLabel(index, box, selected);
        } else {
            const QString text = QStringLiteral("(%1)").arg(count);
            const int textWidth = QFontMetrics(font).horizontalAdvance(text);
            painter->setPen(Theme::color(Theme::MutedText));
            painter->drawText(QRect(countRight - qMax(40, textWidth), box.top(), qMax(40, textWidth), 40),
                              Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, text);
            if (QWidget* label = view.indexWidget(index)) {
                label->hide();
                label->deleteLater();
                view.setIndexWidget(index, nullptr);
            }
        }
    }

    if (index.row() < index.model()->rowCount() - 1) {
        painter->setPen(QPen(Theme::color(Theme::ListRule), 1));
        painter->drawLine(dividerInset, row.bottom(), row.width() - dividerInset, row.bottom());
    }
}

void ChannelItemDelegate::showBusyLabel(const QModelIndex& index, const QRect& box, bool selected) const
{
    if (movie->state() != QMovie::Running)
        movie->start();
    const QString style = QStringLiteral("background-color: %1;").arg(Theme::css(selected ? Theme::RowPressed : Theme::Row));
    QLabel* label = qobject_cast<QLabel*>(view.indexWidget(index));
    if (!label) {
        label = new QLabel(view.viewport());
        label->setStyleSheet(style);
        label->setGeometry(box);
        label->setAlignment(Qt::AlignCenter);
        showBusyMovie(label, movie);
        view.setIndexWidget(index, label);
        label->setGeometry(box);
        return;
    }
    showBusyMovie(label, movie);
    label->setVisible(true);
    label->setGeometry(box);
    if (label->styleSheet() != style)
        label->setStyleSheet(style);
}

