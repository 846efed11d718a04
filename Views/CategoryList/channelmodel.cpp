#include "Views/CategoryList/channelmodel.h"

#include <QDateTime>
#include <QMutexLocker>

#include "Logic/rsschannel.h"
#include "Logic/settings.h"
#include "foundation/constants.h"

static const int channelRowHeight = 70;
static const int leftoverMinimum = 10000;

ChannelModel::ChannelModel(QVector<RSSChannel*>* channels, QObject* parent)
    : QAbstractListModel(parent), topBannerIndex(-1), allChannels(channels),
      activeChannels(new QVector<RSSChannel*>()), updateInterval(-1), canUpdate(false)
{
    for (RSSChannel* channel : *allChannels) {
        connect(channel, &RSSChannel::articlesUpadted, this, &ChannelModel::updateFinished);
        QTimer* timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, &ChannelModel::timeToUpdateElapsed);
        updateTimers.append(timer);
        lastTimesUpdateStarted.append(-1);
        activeChannels->append(channel);
    }
}

ChannelModel::~ChannelModel()
{
    delete activeChannels;
}

int ChannelModel::now()
{
    return int(QDateTime::currentSecsSinceEpoch());
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
        default: return QVariant();
        }
    }
    RSSChannel* channel = getChannel(row);
    switch (role) {
    case ItemTypeRole: return int(ItemTypeNormal);
    case ItemHeightRole: return channelRowHeight;
    case ItemMainTextRole: return channel->getTitle();
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

void ChannelModel::startTimer(int i, int interval)
{
    lastTimesUpdateStarted[i] = now();
    updateTimers[i]->start(interval);
}

void ChannelModel::timeToUpdateElapsed()
{
    const int i = updateTimers.indexOf(qobject_cast<QTimer*>(sender()));
    if (i < 0)
        return;
    RSSChannel* channel = allChannels->at(i);
    if (!channel->isActive())
        return;
    if (canUpdate) {
        lastTimesUpdateStarted[i] = -1;
        updateTimers[i]->stop();
        if (activeChannels->contains(channel))
            updateChannels(channel);
        return;
    }
    QMutexLocker lock(&mutex);
    if (!channelsToUpdateAfterActivation.contains(channel))
        channelsToUpdateAfterActivation.append(channel);
}

void ChannelModel::updateFinished()
{
    RSSChannel* channel = qobject_cast<RSSChannel*>(sender());
    const int i = allChannels->indexOf(channel);
    if (i < 0)
        return;
    updateTimers[i]->stop();
    if (updateInterval > 0 && channel->isActive())
        startTimer(i, updateInterval);
    else
        lastTimesUpdateStarted[i] = -1;
    if (channel->isActive()) {
        const int row = rowOf(channel);
        if (row >= 0)
            emit dataChanged(index(row), index(row));
    }
}

void ChannelModel::applicationStateChanged(bool active)
{
    canUpdate = active;
    if (!active)
        return;
    QMutexLocker lock(&mutex);
    while (!channelsToUpdateAfterActivation.isEmpty())
        updateChannels(channelsToUpdateAfterActivation.takeFirst());
}

void ChannelModel::updateIntervalChanged(int newValue)
{
    const int newUpdateInterval = Settings::getTimeIntervalForType(newValue);
    if (newValue == 0 || newValue == 4) {
        for (int i = 0; i < updateTimers.size(); ++i) {
            updateTimers[i]->stop();
            lastTimesUpdateStarted[i] = -1;
        }
    } else {
        const int t = now();
        for (int i = 0; i < updateTimers.size(); ++i) {
            if (lastTimesUpdateStarted[i] > 0 && updateTimers[i]->isActive()) {
                const qint64 left = qint64(newUpdateInterval) - qint64(t - lastTimesUpdateStarted[i]) * 1000;
                updateTimers[i]->start(left > 0 ? int(left) : leftoverMinimum);
            } else if (newUpdateInterval >= 1) {
                startTimer(i, newUpdateInterval);
            }
        }
    }
    updateInterval = newUpdateInterval;
}

void ChannelModel::activeChannelsChanged(Settings* settings)
{
    // The set of rows changes: views that count rows learn it from the reset.
    beginResetModel();
    activeChannels->clear();
    for (int i = 0; i < allChannels->size(); ++i) {
        RSSChannel* channel = allChannels->at(i);
        const bool isOn = settings->isCategoryActive(channel->getType());
        channel->setActive(isOn);
        if (isOn) {
            activeChannels->append(channel);
            if (!updateTimers[i]->isActive() && updateInterval >= 1)
                startTimer(i, updateInterval);
        } else {
            updateTimers[i]->stop();
            lastTimesUpdateStarted[i] = -1;
        }
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
