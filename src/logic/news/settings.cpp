#include "logic/news/settings.h"

#include <QFile>
#include <QTime>

#include <cstdio>

#include "logic/base/file.h"

static const QString settingsFileName = QStringLiteral("settings");
// Four integers and nine flags, as every version wrote them; then, only where a preference is
// away from its default, a block: its version byte (1), the appearance, the text scale, the
// notification flag and the metered policy. A file that holds only the first part reads with
// the default preferences, and one whose preferences are all default is written without them.
// Any other length, or another block version, is a damaged file.
static const qint64 settingsBaseBytes = 4 * 4 + Settings::categoriesCount;
static const char preferencesVersion = 1;
static const qint64 settingsFileBytes = settingsBaseBytes + 1 + 4 + 4 + 1 + 4;
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

// The newest whole copy wins: ".new" is complete before it is renamed, and the main file
// becomes ".old" only when it was whole.
void Settings::load()
{
    const QString path = File::createPathToResource(settingsFileName);
    for (int copy = NewCopy; copy <= OldCopy; ++copy)
        copies[copy] = CopyUnknown;
    for (int copy = NewCopy; copy <= OldCopy; ++copy) {
        if ((copies[copy] = readCopy(path + QLatin1String(StoredCopies::suffix(copy)), true)) == CopyWhole)
            break;
    }
    scheduleNextRushStateChange();
}

// Whole means exactly one of the two lengths the program writes, with the known block
// version; a value out of its range keeps its default.
CopyState Settings::readCopy(const QString& path, bool apply)
{
    QByteArray bytes;
    // Read past the longest length, so that a longer file is damage and not unreadable.
    const File::ReadResult read = File::readRegular(path, File::maxSettingsBytes, &bytes);
    if (read == File::Missing)
        return CopyAbsent;
    if (read != File::Read)
        return CopyUnreadable;
    if (bytes.size() != settingsBaseBytes
        && (bytes.size() != settingsFileBytes || bytes.at(settingsBaseBytes) != preferencesVersion))
        return CopyDamaged;
    if (!apply)
        return CopyWhole;
    File* f = File::createFileToRead(path, settingsFileBytes);
    f->open();
    try {
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
        if (f->bytesLeft() > 0) {
            f->readByte(); // the version, checked above
            const int look = f->readInt();
            appearanceChoice = look >= AppearanceSystem && look <= AppearanceDark ? Appearance(look) : AppearanceSystem;
            const int scale = f->readInt();
            textScalePercent = scale >= minTextScale && scale <= maxTextScale ? scale : defaultTextScale;
            notifyTopNews = f->readByte() != 0;
            const int metered = f->readInt();
            meteredChoice = metered >= MeteredAsUsual && metered <= MeteredManualOnly ? MeteredPolicy(metered)
                                                                                     : MeteredNoPictures;
        }
    } catch (int) {
    }
    f->close();
    delete f;
    return CopyWhole;
}

CopyState Settings::stateOf(int copy)
{
    if (copies[copy] == CopyUnknown)
        copies[copy] = readCopy(File::createPathToResource(settingsFileName) + QLatin1String(StoredCopies::suffix(copy)), false);
    return copies[copy];
}

// As the caches are saved. A copy that could not be read is the user's and stops every save.
bool Settings::save()
{
    scheduleNextRushStateChange();
    return StoredCopies::save(File::createPathToResource(settingsFileName), copies,
                              [this](int copy) { return stateOf(copy); }, true,
                              [this](const QString& path) { return write(path); });
}

// The choices as every version wrote them, and the preferences after them when any is away
// from its default.
bool Settings::write(const QString& path) const
{
    File* f = File::createFileToWrite(path);
    f->open();
    bool ok = true;
    try {
        f->writeInt(articlesCheckRushHours);
        f->writeInt(articlesCheckOutOfRushHours);
        f->writeInt(rushHoursStart);
        f->writeInt(rushHoursEnd);
        for (bool active : categoriesActive)
            f->writeByte(active ? 1 : 0);
        if (!hasDefaultPreferences()) {
            f->writeByte(preferencesVersion);
            f->writeInt(appearanceChoice);
            f->writeInt(textScalePercent);
            f->writeByte(notifyTopNews ? 1 : 0);
            f->writeInt(meteredChoice);
        }
    } catch (int) {
        ok = false;
    }
    if (!f->close())
        ok = false;
    delete f;
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

bool Settings::hasDefaultPreferences() const
{
    return appearanceChoice == AppearanceSystem && textScalePercent == defaultTextScale && !notifyTopNews
           && meteredChoice == MeteredNoPictures;
}

// Saves the new value, or undoes it when the file cannot be written.
template <typename T> bool Settings::setPreference(T& field, T value)
{
    if (field == value)
        return true;
    const T old = field;
    field = value;
    if (!save()) {
        field = old;
        return false;
    }
    emit preferencesChanged();
    return true;
}

bool Settings::setAppearance(Appearance value)
{
    return setPreference(appearanceChoice, value);
}

bool Settings::setTextScale(int percent)
{
    return setPreference(textScalePercent, qBound(int(minTextScale), percent, int(maxTextScale)));
}

bool Settings::setTopNewsNotifications(bool on)
{
    return setPreference(notifyTopNews, on);
}

bool Settings::setMeteredPolicy(MeteredPolicy value)
{
    return setPreference(meteredChoice, value);
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
