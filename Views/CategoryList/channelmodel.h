#ifndef CHANNELMODEL_H
#define CHANNELMODEL_H

#include <QAbstractListModel>
#include <QMutex>
#include <QPixmap>
#include <QTimer>
#include <QVector>

class RSSChannel;
class Settings;

// Rows of the category list (an optional banner, then the active channels) and
// the automatic refresh: one single-shot timer per channel, held back in the background.
class ChannelModel : public QAbstractListModel
{
    Q_OBJECT
public:
    ChannelModel(QVector<RSSChannel*>* channels, QObject* parent);
    ~ChannelModel() override;

    RSSChannel* getChannel(int row) const;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void updateChannels(RSSChannel* channel);

public slots:
    void updateIntervalChanged(int newValue);
    void applicationStateChanged(bool active);
    void activeChannelsChanged(Settings* settings);
    void topBannerChanged(QPixmap image, QString link);

private slots:
    void updateFinished();
    void timeToUpdateElapsed();

private:
    friend class TestChannelModel;

    int rowOf(RSSChannel* channel) const;
    void startTimer(int index, int interval);
    void emitAllRowsChanged();
    static int now();

    QMutex mutex;
    int topBannerIndex;
    QString topBannerLink;
    QPixmap topBannerImage;
    QVector<RSSChannel*>* allChannels;
    QVector<RSSChannel*>* activeChannels;
    QVector<QTimer*> updateTimers;
    QVector<int> lastTimesUpdateStarted;
    int updateInterval;
    bool canUpdate;
    QVector<RSSChannel*> channelsToUpdateAfterActivation;
};

#endif // CHANNELMODEL_H
