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
    void save();
    static int getTimeIntervalForType(int mode);
    bool isCategoryActive(int type);
    int getArticlesRefreshMode();
    void scheduleNextRushStateChange();

    // Both take the local time as a parameter so that the rules can be checked at any hour.
    int refreshModeAt(const QTime& now) const;
    int msecsToNextRushStateChange(const QTime& now) const;
    int rushTimerRemaining() const;

    // Each setter saves the file and then announces the change.
    void setRefreshModes(int rushHours, int outOfRushHours);
    void setRushHours(int start, int end);
    void setCategoryActive(int type, bool active);

    // Read them; change them through the setters.
    int articlesCheckRushHours;
    int articlesCheckOutOfRushHours;
    int rushHoursStart;
    int rushHoursEnd;
    bool categoriesActive[categoriesCount];

signals:
    void refreshModeChanged(int newValue);
    void activeCategoriesChanged(Settings* s);

private slots:
    void rushStateChanged();

private:
    bool isRushHour(int hour) const;

    QTimer rushTimer;
};

#endif // SETTINGS_H
