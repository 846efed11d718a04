#ifndef SETTINGS_H
#define SETTINGS_H

#include <QObject>
#include <QTimer>

#include "logic/base/storedcopies.h"

class QTime;

// The user's refresh modes, rush hours and categories, kept in the "settings" file, and the
// reading and desktop preferences in an optional block after them (see settings.cpp).
class Settings : public QObject
{
    Q_OBJECT
public:
    // "Wygląd": as the desktop says, or fixed.
    enum Appearance { AppearanceSystem = 0, AppearanceLight = 1, AppearanceDark = 2 };
    // "Na łączu taryfowym": what automatic refreshes do on a metered link.
    enum MeteredPolicy { MeteredAsUsual = 0, MeteredNoPictures = 1, MeteredManualOnly = 2 };
    static constexpr int minTextScale = 80;
    static constexpr int maxTextScale = 200;
    static constexpr int defaultTextScale = 100;
    static constexpr int categoriesCount = 9;
    static constexpr int defaultMode = 2;
    static constexpr int defaultRushStart = 8;
    static constexpr int defaultRushEnd = 16;

    explicit Settings(QObject* parent);

    void load();
    // False when the file could not be written, or stands but could not be read (it is never
    // saved over); the file then keeps the last choices saved.
    bool save();
    static int getTimeIntervalForType(int mode);
    bool isCategoryActive(int type) const;
    int getArticlesRefreshMode();
    void scheduleNextRushStateChange();

    // Both take the local time as a parameter so that the rules can be checked at any hour.
    int refreshModeAt(const QTime& now) const;
    int msecsToNextRushStateChange(const QTime& now) const;
    int rushTimerRemaining() const;

    int getArticlesCheckRushHours() const { return articlesCheckRushHours; }
    int getArticlesCheckOutOfRushHours() const { return articlesCheckOutOfRushHours; }
    int getRushHoursStart() const { return rushHoursStart; }
    int getRushHoursEnd() const { return rushHoursEnd; }

    // Each setter saves the file and then announces the change. When the file cannot be
    // written the change is undone, nothing is announced and the setter returns false,
    // so that what the program uses is always what the next start reads.
    bool setRefreshModes(int rushHours, int outOfRushHours);
    bool setRushHours(int start, int end);
    bool setCategoryActive(int type, bool active);

    Appearance appearance() const { return appearanceChoice; }
    // Percent of the design's text sizes, minTextScale to maxTextScale.
    int textScale() const { return textScalePercent; }
    bool topNewsNotifications() const { return notifyTopNews; }
    MeteredPolicy meteredPolicy() const { return meteredChoice; }
    bool setAppearance(Appearance value);
    bool setTextScale(int percent);
    bool setTopNewsNotifications(bool on);
    bool setMeteredPolicy(MeteredPolicy value);

signals:
    void refreshModeChanged(int newValue);
    void activeCategoriesChanged(Settings* s);
    void preferencesChanged();

private slots:
    void rushStateChanged();

private:
    // How each copy of the file ("settings.new", "settings", "settings.old") was last found.
    CopyState readCopy(const QString& path, bool apply);
    bool write(const QString& path) const;
    CopyState stateOf(int copy);
    CopyState copies[3] = {CopyUnknown, CopyUnknown, CopyUnknown};

    bool isRushHour(int hour) const;
    bool hasDefaultPreferences() const;
    template <typename T> bool setPreference(T& field, T value);

    int articlesCheckRushHours;
    int articlesCheckOutOfRushHours;
    int rushHoursStart;
    int rushHoursEnd;
    bool categoriesActive[categoriesCount];
    Appearance appearanceChoice = AppearanceSystem;
    int textScalePercent = defaultTextScale;
    bool notifyTopNews = false;
    MeteredPolicy meteredChoice = MeteredNoPictures;

    QTimer rushTimer;
};

#endif // SETTINGS_H
