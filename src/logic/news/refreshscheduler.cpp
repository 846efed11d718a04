#include "logic/news/refreshscheduler.h"

#include <QDateTime>
#include <QStringList>

#include "logic/news/channel.h"
#include "logic/news/settings.h"

// A running timer switched to a shorter interval that has already passed still waits this long.
static const int leftoverMinimum = 10000;

static RefreshScheduler* running = nullptr;

RefreshScheduler::RefreshScheduler(const QVector<RSSChannel*>& list, QObject* parent)
    : QObject(parent), channels(list), updateInterval(-1), refreshMode(0), canUpdate(false)
{
    if (!running)
        running = this;
    for (RSSChannel* channel : channels) {
        connect(channel, &RSSChannel::articlesUpadted, this, &RefreshScheduler::updateFinished);
        QTimer* timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, &RefreshScheduler::timeToUpdateElapsed);
        updateTimers.append(timer);
        lastTimesUpdateStarted.append(-1);
    }
}

RefreshScheduler::~RefreshScheduler()
{
    if (running == this)
        running = nullptr;
}

RefreshScheduler* RefreshScheduler::current()
{
    return running;
}

void RefreshScheduler::follow(Settings* settings)
{
    followed = settings;
    activeChannelsChanged(settings);
    updateIntervalChanged(settings->getArticlesRefreshMode());
    connect(settings, &Settings::activeCategoriesChanged, this, &RefreshScheduler::activeChannelsChanged);
    connect(settings, &Settings::refreshModeChanged, this, &RefreshScheduler::updateIntervalChanged);
    connect(settings, &Settings::preferencesChanged, this, &RefreshScheduler::conditionsMayHaveChanged);
    connect(settings, &QObject::destroyed, this, [this]() { followed = nullptr; });
    conditionsMayHaveChanged();
}

void RefreshScheduler::setLinkMetered(bool value)
{
    metered = value;
    conditionsMayHaveChanged();
}

void RefreshScheduler::setPowerSaverProfile(int enabled)
{
    portalPowerSaver = enabled < 0 ? -1 : (enabled ? 1 : 0);
    conditionsMayHaveChanged();
}

void RefreshScheduler::setBattery(bool discharging, double percent)
{
    onBattery = discharging;
    batteryPercent = percent;
    conditionsMayHaveChanged();
}

bool RefreshScheduler::powerSaving() const
{
    if (portalPowerSaver >= 0)
        return portalPowerSaver == 1;
    return onBattery && batteryPercent >= 0 && batteryPercent < lowBatteryPercent;
}

static Settings::MeteredPolicy policyOf(const Settings* settings)
{
    return settings ? settings->meteredPolicy() : Settings::MeteredNoPictures;
}

bool RefreshScheduler::automaticHeld() const
{
    return metered && policyOf(followed) == Settings::MeteredManualOnly;
}

bool RefreshScheduler::picturesAutomatic() const
{
    return !metered || policyOf(followed) == Settings::MeteredAsUsual;
}

QString RefreshScheduler::holdNote() const
{
    if (automaticHeld())
        return tr("Odświeżanie wstrzymane: łącze taryfowe");
    QStringList notes;
    if (!picturesAutomatic())
        notes << tr("Zdjęcia po otwarciu artykułu: łącze taryfowe");
    if (powerSaving() && intervalFor(refreshMode) > 0)
        notes << tr("Odświeżanie co godzinę: oszczędzanie energii");
    return notes.join(QStringLiteral(" · "));
}

int RefreshScheduler::intervalFor(int mode) const
{
    const int interval = Settings::getTimeIntervalForType(mode);
    if (mode == 0 || mode == 4 || interval < 1)
        return -1;
    return powerSaving() ? qMax(interval, powerSaverInterval) : interval;
}

void RefreshScheduler::conditionsMayHaveChanged()
{
    const bool held = automaticHeld();
    const bool pictures = picturesAutomatic();
    const QString note = holdNote();
    if (intervalFor(refreshMode) != updateInterval)
        applyInterval(refreshMode);
    if (!held) {
        while (!channelsHeld.isEmpty()) {
            RSSChannel* channel = channelsHeld.takeFirst();
            if (canUpdate)
                refresh(channel);
            else if (!channelsToUpdateAfterActivation.contains(channel))
                channelsToUpdateAfterActivation.append(channel);
        }
    }
    if (held == lastHeld && pictures == lastPictures && note == lastNote)
        return;
    lastHeld = held;
    lastPictures = pictures;
    lastNote = note;
    emit conditionsChanged();
}

void RefreshScheduler::refreshAllAutomatic()
{
    if (refreshMode == 0)
        return;
    for (RSSChannel* channel : channels) {
        if (!automaticHeld())
            channel->updateArticles(false);
        else if (channel->isActive() && !channelsHeld.contains(channel))
            channelsHeld.append(channel);
    }
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
    if (automaticHeld()) {
        lastTimesUpdateStarted[i] = -1;
        updateTimers[i]->stop();
        if (!channelsHeld.contains(channel))
            channelsHeld.append(channel);
        return;
    }
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
    while (!channelsToUpdateAfterActivation.isEmpty()) {
        RSSChannel* channel = channelsToUpdateAfterActivation.takeFirst();
        if (!automaticHeld())
            refresh(channel);
        else if (!channelsHeld.contains(channel))
            channelsHeld.append(channel);
    }
}

void RefreshScheduler::updateIntervalChanged(int newValue)
{
    applyInterval(newValue);
    conditionsMayHaveChanged();
}

void RefreshScheduler::applyInterval(int newValue)
{
    refreshMode = newValue;
    const int newUpdateInterval = intervalFor(newValue);
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
