#include "logic/news/refreshscheduler.h"

#include <QDateTime>

#include "logic/news/channel.h"
#include "logic/news/settings.h"

// A running timer switched to a shorter interval that has already passed still waits this long.
static const int leftoverMinimum = 10000;

RefreshScheduler::RefreshScheduler(const QVector<RSSChannel*>& list, QObject* parent)
    : QObject(parent), channels(list), updateInterval(-1), canUpdate(false)
{
    for (RSSChannel* channel : channels) {
        connect(channel, &RSSChannel::articlesUpadted, this, &RefreshScheduler::updateFinished);
        QTimer* timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, &RefreshScheduler::timeToUpdateElapsed);
        updateTimers.append(timer);
        lastTimesUpdateStarted.append(-1);
    }
}

void RefreshScheduler::follow(Settings* settings)
{
    activeChannelsChanged(settings);
    updateIntervalChanged(settings->getArticlesRefreshMode());
    connect(settings, &Settings::activeCategoriesChanged, this, &RefreshScheduler::activeChannelsChanged);
    connect(settings, &Settings::refreshModeChanged, this, &RefreshScheduler::updateIntervalChanged);
}

int RefreshScheduler::now()
{
    return int(QDateTime::currentSecsSinceEpoch());
}

void RefreshScheduler::refresh(RSSChannel* channel)
{
    if (!channel->isActive())
        return;
    channel->updateArticles(false);
    emit refreshStarted(channel);
}

void RefreshScheduler::startTimer(int i, int interval)
{
    lastTimesUpdateStarted[i] = now();
    updateTimers[i]->start(interval);
}

void RefreshScheduler::timeToUpdateElapsed()
{
    const int i = updateTimers.indexOf(qobject_cast<QTimer*>(sender()));
    if (i < 0)
        return;
    RSSChannel* channel = channels.at(i);
    if (!channel->isActive())
        return;
    if (canUpdate) {
        lastTimesUpdateStarted[i] = -1;
        updateTimers[i]->stop();
        refresh(channel);
        return;
    }
    if (!channelsToUpdateAfterActivation.contains(channel))
        channelsToUpdateAfterActivation.append(channel);
}

void RefreshScheduler::updateFinished()
{
    RSSChannel* channel = qobject_cast<RSSChannel*>(sender());
    const int i = channels.indexOf(channel);
    if (i < 0)
        return;
    updateTimers[i]->stop();
    if (updateInterval > 0 && channel->isActive())
        startTimer(i, updateInterval);
    else
        lastTimesUpdateStarted[i] = -1;
}

void RefreshScheduler::applicationStateChanged(bool active)
{
    canUpdate = active;
    if (!active)
        return;
    while (!channelsToUpdateAfterActivation.isEmpty())
        refresh(channelsToUpdateAfterActivation.takeFirst());
}

void RefreshScheduler::updateIntervalChanged(int newValue)
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

void RefreshScheduler::activeChannelsChanged(Settings* settings)
{
    for (int i = 0; i < channels.size(); ++i) {
        RSSChannel* channel = channels.at(i);
        const bool isOn = settings->isCategoryActive(channel->getType());
        channel->setActive(isOn);
        if (isOn) {
            if (!updateTimers[i]->isActive() && updateInterval >= 1)
                startTimer(i, updateInterval);
        } else {
            updateTimers[i]->stop();
            lastTimesUpdateStarted[i] = -1;
        }
    }
}
