#include "Logic/settings.h"

#include <QTime>

#include "foundation/file.h"

static const QString settingsFileName = QStringLiteral("settings");
static const int dayMsecs = 86400000;

static bool validMode(int mode) { return mode >= 0 && mode <= 4; }
static bool validHour(int hour) { return hour >= 0 && hour <= 23; }

Settings::Settings(QObject* parent)
    : QObject(parent), articlesCheckRushHours(defaultMode), articlesCheckOutOfRushHours(defaultMode),
      rushHoursStart(defaultRushStart), rushHoursEnd(defaultRushEnd)
{
    for (bool& active : categoriesActive)
        active = true;
    rushTimer.setParent(this);
    rushTimer.setSingleShot(true);
    // A coarse timer may fire early and report the old mode before the new one.
    rushTimer.setTimerType(Qt::PreciseTimer);
    connect(&rushTimer, &QTimer::timeout, this, &Settings::rushStateChanged);
    load();
}

void Settings::load()
{
    if (File::fileExistInResources(settingsFileName)) {
        File* f = File::createFileToRead(File::createPathToResource(settingsFileName));
        f->open();
        try {
            // A damaged file keeps the defaults for every value out of its range.
            const int rush = f->readInt();
            articlesCheckRushHours = validMode(rush) ? rush : defaultMode;
            const int outOfRush = f->readInt();
            articlesCheckOutOfRushHours = validMode(outOfRush) ? outOfRush : defaultMode;
            const int start = f->readInt();
            rushHoursStart = validHour(start) ? start : defaultRushStart;
            const int end = f->readInt();
            rushHoursEnd = validHour(end) ? end : defaultRushEnd;
            for (bool& active : categoriesActive)
                active = f->readByte() != 0;
        } catch (int) {
        }
        f->close();
        delete f;
    }
    scheduleNextRushStateChange();
}

void Settings::save()
{
    File* f = File::createFileToWrite(File::createPathToResource(settingsFileName));
    f->open();
    try {
        f->writeInt(articlesCheckRushHours);
        f->writeInt(articlesCheckOutOfRushHours);
        f->writeInt(rushHoursStart);
        f->writeInt(rushHoursEnd);
        for (bool active : categoriesActive)
            f->writeByte(active ? 1 : 0);
    } catch (int) {
    }
    f->close();
    delete f;
    scheduleNextRushStateChange();
}

int Settings::getTimeIntervalForType(int mode)
{
    switch (mode) {
    case 1: return 300000;
    case 2: return 900000;
    case 3: return 3600000;
    default: return -1;
    }
}

bool Settings::isCategoryActive(int type)
{
    if (type < 0 || type >= categoriesCount)
        return false;
    return categoriesActive[type];
}

void Settings::setRefreshModes(int rushHours, int outOfRushHours)
{
    articlesCheckRushHours = validMode(rushHours) ? rushHours : defaultMode;
    articlesCheckOutOfRushHours = validMode(outOfRushHours) ? outOfRushHours : defaultMode;
    save();
    emit refreshModeChanged(getArticlesRefreshMode());
}

void Settings::setRushHours(int start, int end)
{
    rushHoursStart = validHour(start) ? start : defaultRushStart;
    rushHoursEnd = validHour(end) ? end : defaultRushEnd;
    save();
    emit refreshModeChanged(getArticlesRefreshMode());
}

void Settings::setCategoryActive(int type, bool active)
{
    if (type < 0 || type >= categoriesCount)
        return;
    categoriesActive[type] = active;
    save();
    emit activeCategoriesChanged(this);
}

bool Settings::isRushHour(int hour) const
{
    if (rushHoursStart > rushHoursEnd)
        return hour >= rushHoursStart || hour < rushHoursEnd;
    return rushHoursStart <= hour && hour < rushHoursEnd;
}

int Settings::refreshModeAt(const QTime& now) const
{
    return isRushHour(now.hour()) ? articlesCheckRushHours : articlesCheckOutOfRushHours;
}

int Settings::getArticlesRefreshMode()
{
    return refreshModeAt(QTime::currentTime());
}

int Settings::msecsToNextRushStateChange(const QTime& now) const
{
    const int targetHour = isRushHour(now.hour()) ? rushHoursEnd : rushHoursStart;
    int delay = now.msecsTo(QTime(targetHour, 0, 0));
    if (delay < 1)
        delay += dayMsecs;
    return delay;
}

void Settings::scheduleNextRushStateChange()
{
    rushTimer.stop();
    rushTimer.start(msecsToNextRushStateChange(QTime::currentTime()));
}

int Settings::rushTimerRemaining() const
{
    return rushTimer.isActive() ? rushTimer.remainingTime() : -1;
}

void Settings::rushStateChanged()
{
    emit refreshModeChanged(getArticlesRefreshMode());
    scheduleNextRushStateChange();
}
