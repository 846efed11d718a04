#ifndef REFRESHSCHEDULER_H
#define REFRESHSCHEDULER_H

#include <QObject>
#include <QTimer>
#include <QVector>

class RSSChannel;
class Settings;

// The automatic refresh of the channels: one single-shot timer per channel, running the
// interval of the refresh mode in force and restarted after each update. In the background
// an elapsed timer is held back; each channel held back refreshes once on return.
//
// It also decides what automatic refreshes may cost: on a metered link the user's policy
// ("Na łączu taryfowym") holds them or leaves the pictures for what the user opens, and in
// power-saver mode they come at most once an hour. The link's and the battery's state are
// plain inputs, fed by the system watchers (or a test). A manual refresh never asks.
class RefreshScheduler : public QObject
{
    Q_OBJECT
public:
    static constexpr int powerSaverInterval = 3600000;
    static constexpr double lowBatteryPercent = 20.0;

    RefreshScheduler(const QVector<RSSChannel*>& channels, QObject* parent);
    ~RefreshScheduler() override;

    // The scheduler of the running program, if any: the lists ask it whether to fetch pictures.
    static RefreshScheduler* current();

    // Follows the settings' refresh mode, categories and metered policy from now on.
    void follow(Settings* settings);

    // Inputs. The portal's power-saver flag wins when known (-1: no portal); otherwise the
    // battery counts (percent < 0: unknown).
    void setLinkMetered(bool metered);
    void setPowerSaverProfile(int enabled);
    void setBattery(bool onBattery, double percent);

    bool linkMetered() const { return metered; }
    bool powerSaving() const;
    // Automatic refreshes are held altogether (metered link, "Tylko ręcznie").
    bool automaticHeld() const;
    // Pictures of the lists may be fetched without the user opening the article.
    bool picturesAutomatic() const;
    // What the refresh strip adds while refreshes are held or stretched; empty otherwise.
    QString holdNote() const;
    // The interval the timers run for a refresh mode under the present conditions; -1 for none.
    int intervalFor(int mode) const;
    // A refresh of every channel the program starts on its own (a network session opening).
    void refreshAllAutomatic();

public slots:
    void updateIntervalChanged(int newValue);
    void applicationStateChanged(bool active);
    // Marks each channel active as its category is, and starts or stops its timer.
    void activeChannelsChanged(Settings* settings);

signals:
    // A timer started the refresh of a channel.
    void refreshStarted(RSSChannel* channel);
    // The link, the battery or the metered policy changed what automatic refreshes do.
    void conditionsChanged();

private slots:
    void updateFinished();
    void timeToUpdateElapsed();

private:
    friend class TestCategoryList;

    void refresh(RSSChannel* channel);
    void startTimer(int index, int interval);
    void conditionsMayHaveChanged();
    void applyInterval(int mode);
    static int now();

    QVector<RSSChannel*> channels;
    QVector<QTimer*> updateTimers;
    QVector<int> lastTimesUpdateStarted;
    int updateInterval;
    int refreshMode;
    bool canUpdate;
    QVector<RSSChannel*> channelsToUpdateAfterActivation;
    // Channels whose timer came while automatic refreshes were held; refreshed once on release.
    QVector<RSSChannel*> channelsHeld;
    Settings* followed = nullptr;
    bool metered = false;
    int portalPowerSaver = -1;
    bool onBattery = false;
    double batteryPercent = -1;
    // The last state announced, so that only real changes are.
    QString lastNote;
    bool lastHeld = false;
    bool lastPictures = true;
};

#endif // REFRESHSCHEDULER_H
