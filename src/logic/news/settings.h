#ifndef SETTINGS_H
#define SETTINGS_H

#include <QObject>
#include <QTimer>

class QTime;

// The user's refresh modes, rush hours and categories, kept in the "settings" file.
class Settings : public QObject
{
    Q_OBJECT
public:
    static constexpr int categoriesCount = 9;
    static constexpr int defaultMode = 2;
    static constexpr int defaultRushStart = 8;
    static constexpr int defaultRushEnd = 16;

    explicit Settings(QObject* parent);

    void load();
    // False when the file could not be written; the file then keeps the last choices saved.
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

signals:
    void refreshModeChanged(int newValue);
    void activeCategoriesChanged(Settings* s);

private slots:
    void rushStateChanged();

private:
    bool isRushHour(int hour) const;

    int articlesCheckRushHours;
    int articlesCheckOutOfRushHours;
    int rushHoursStart;
    int rushHoursEnd;
    bool categoriesActive[categoriesCount];

    QTimer rushTimer;
};

#endif // SETTINGS_H
