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
class RefreshScheduler : public QObject
{
    Q_OBJECT
public:
    RefreshScheduler(const QVector<RSSChannel*>& channels, QObject* parent);

    // Follows the settings' refresh mode and categories from now on.
    void follow(Settings* settings);

public slots:
    void updateIntervalChanged(int newValue);
    void applicationStateChanged(bool active);
    // Marks each channel active as its category is, and starts or stops its timer.
    void activeChannelsChanged(Settings* settings);

signals:
    // A timer started the refresh of a channel.
    void refreshStarted(RSSChannel* channel);

private slots:
    void updateFinished();
    void timeToUpdateElapsed();

private:
    friend class TestChannelModel;

    void refresh(RSSChannel* channel);
    void startTimer(int index, int interval);
    static int now();

    QVector<RSSChannel*> channels;
    QVector<QTimer*> updateTimers;
    QVector<int> lastTimesUpdateStarted;
    int updateInterval;
    bool canUpdate;
    QVector<RSSChannel*> channelsToUpdateAfterActivation;
};

#endif // REFRESHSCHEDULER_H
