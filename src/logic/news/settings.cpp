#include "logic/news/settings.h"

#include <QTime>

#include "logic/base/file.h"

static const QString settingsFileName = QStringLiteral("settings");
// Four integers and nine flags; a longer file is not one the program wrote.
static const qint64 settingsFileBytes = 4 * 4 + Settings::categoriesCount;
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
        File* f = File::createFileToRead(File::createPathToResource(settingsFileName), settingsFileBytes);
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

bool Settings::save()
{
    File* f = File::createFileToWrite(File::createPathToResource(settingsFileName));
    f->open();
    bool ok = true;
    try {
        f->writeInt(articlesCheckRushHours);
        f->writeInt(articlesCheckOutOfRushHours);
        f->writeInt(rushHoursStart);
        f->writeInt(rushHoursEnd);
        for (bool active : categoriesActive)
            f->writeByte(active ? 1 : 0);
    } catch (int) {
        ok = false;
    }
    if (!f->close())
        ok = false;
    delete f;
    scheduleNextRushStateChange();
    return ok;
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

bool Settings::isCategoryActive(int type) const
{
    if (type < 0 || type >= categoriesCount)
        return false;
    return categoriesActive[type];
}

bool Settings::setRefreshModes(int rushHours, int outOfRushHours)
{
    const int oldRush = articlesCheckRushHours;
    const int oldOutOfRush = articlesCheckOutOfRushHours;
    articlesCheckRushHours = validMode(rushHours) ? rushHours : defaultMode;
    articlesCheckOutOfRushHours = validMode(outOfRushHours) ? outOfRushHours : defaultMode;
    if (!save()) {
        articlesCheckRushHours = oldRush;
        articlesCheckOutOfRushHours = oldOutOfRush;
        return false;
    }
    emit refreshModeChanged(getArticlesRefreshMode());
    return true;
}

bool Settings::setRushHours(int start, int end)
{
    const int oldStart = rushHoursStart;
    const int oldEnd = rushHoursEnd;
    rushHoursStart = validHour(start) ? start : defaultRushStart;
    rushHoursEnd = validHour(end) ? end : defaultRushEnd;
    if (!save()) {
        rushHoursStart = oldStart;
        rushHoursEnd = oldEnd;
        scheduleNextRushStateChange();
        return false;
    }
    emit refreshModeChanged(getArticlesRefreshMode());
    return true;
}

bool Settings::setCategoryActive(int type, bool active)
{
    if (type < 0 || type >= categoriesCount)
        return false;
    const bool old = categoriesActive[type];
    categoriesActive[type] = active;
    if (!save()) {
        categoriesActive[type] = old;
        return false;
    }
    emit activeCategoriesChanged(this);
    return true;
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
