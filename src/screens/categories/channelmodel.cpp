#include "screens/categories/channelmodel.h"

#include "screens/widgets/textscale.h"

#include "logic/news/channel.h"
#include "logic/news/settings.h"
#include "logic/base/constants.h"

// The row grows with the text size, from the phone's 70.
static int channelRowHeight()
{
    return qMax(70, TextScale::pixelSize(24) * 70 / 24);
}

ChannelModel::ChannelModel(QVector<RSSChannel*>* channels, QObject* parent)
    : QAbstractListModel(parent), topBannerIndex(-1), allChannels(channels),
      activeChannels(new QVector<RSSChannel*>())
{
    TextScale::follow(this, [this] {
        emit layoutAboutToBeChanged();
        emit layoutChanged();
        emitAllRowsChanged();
    });
    for (RSSChannel* channel : *allChannels) {
        connect(channel, &RSSChannel::articlesUpadted, this, &ChannelModel::updateFinished);
        // A refresh the scheduler starts shows in the row at once.
        connect(channel, &RSSChannel::updateChanged, this, [this, channel] { repaint(channel); });
        activeChannels->append(channel);
    }
}

ChannelModel::~ChannelModel()
{
    delete activeChannels;
}

RSSChannel* ChannelModel::getChannel(int row) const
{
    const int r = topBannerIndex == 0 ? row - 1 : row;
    if (r < 0 || r >= activeChannels->size())
        return nullptr;
    return activeChannels->at(r);
}

int ChannelModel::rowCount(const QModelIndex&) const
{
    return activeChannels->size() + (topBannerIndex == 0 ? 1 : 0);
}

int ChannelModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant ChannelModel::data(const QModelIndex& index, int role) const
{
    const int row = index.row();
    if (row < 0 || row >= rowCount())
        return QVariant();
    if (topBannerIndex == 0 && row == 0) {
        switch (role) {
        case ItemTypeRole: return int(ItemTypeBanner);
        case ItemImageRole: return topBannerImage;
        case ItemHeightRole: return topBannerImage.height();
        case ItemMainTextRole: return topBannerLink;
        case ItemIsClickableRole: return !topBannerLink.isEmpty();
        case Qt::AccessibleTextRole: return tr("Reklama");
        default: return QVariant();
        }
    }
    RSSChannel* channel = getChannel(row);
    switch (role) {
    case ItemTypeRole: return int(ItemTypeNormal);
    case ItemHeightRole: return channelRowHeight();
    case ItemMainTextRole: return channel->getTitle();
    case Qt::AccessibleTextRole: return channel->getTitle();
    case Qt::AccessibleDescriptionRole: return tr("nieprzeczytane: %1").arg(qMax(0, channel->getUnreadArticlesCount()));
    case ItemSubTextRole: return channel->getUnreadArticlesCount();
    case ItemIsUpdatingRole: return channel->isUpdating();
    default: return QVariant();
    }
}

int ChannelModel::rowOf(RSSChannel* channel) const
{
    const int i = activeChannels->indexOf(channel);
    if (i < 0)
        return -1;
    return i + (topBannerIndex == 0 ? 1 : 0);
}

void ChannelModel::repaint(RSSChannel* channel)
{
    if (!channel->isActive())
        return;
    const int row = rowOf(channel);
    if (row >= 0)
        emit dataChanged(index(row), index(row));
}

void ChannelModel::emitAllRowsChanged()
{
    if (rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1));
}

void ChannelModel::updateChannels(RSSChannel* channel)
{
    if (!channel) {
        for (RSSChannel* c : QVector<RSSChannel*>(*activeChannels))
            c->updateArticles(false);
        if (!activeChannels->isEmpty()) {
            const int first = topBannerIndex == 0 ? 1 : 0;
            emit dataChanged(index(first), index(rowCount() - 1));
        }
        return;
    }
    if (!activeChannels->contains(channel))
        return;
    channel->updateArticles(false);
    const int row = rowOf(channel);
    if (row >= 0)
        emit dataChanged(index(row), index(row));
}

void ChannelModel::updateFinished()
{
    RSSChannel* channel = qobject_cast<RSSChannel*>(sender());
    if (!allChannels->contains(channel))
        return;
    repaint(channel);
}

void ChannelModel::activeChannelsChanged(Settings* settings)
{
    // The set of rows changes: views that count rows learn it from the reset.
    beginResetModel();
    activeChannels->clear();
    for (int i = 0; i < allChannels->size(); ++i) {
        RSSChannel* channel = allChannels->at(i);
        if (settings->isCategoryActive(channel->getType()))
            activeChannels->append(channel);
    }
    endResetModel();
    emitAllRowsChanged();
}

void ChannelModel::topBannerChanged(QPixmap image, QString link)
{
    beginResetModel();
    if (image.isNull()) {
        topBannerIndex = -1;
        endResetModel();
        return;
    }
    topBannerLink = link;
    topBannerImage = image;
    topBannerIndex = 0;
    endResetModel();
    emitAllRowsChanged();
}
