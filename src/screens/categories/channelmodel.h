#ifndef CHANNELMODEL_H
#define CHANNELMODEL_H

#include <QAbstractListModel>
#include <QPixmap>
#include <QVector>

class RSSChannel;
class Settings;

// Rows of the category list: an optional banner, then the active channels. The automatic
// refresh is RefreshScheduler's; the rows follow the channels' updates.
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
    void activeChannelsChanged(Settings* settings);
    void topBannerChanged(QPixmap image, QString link);

private slots:
    void updateFinished();

private:
    friend class TestCategoryList;

    int rowOf(RSSChannel* channel) const;
    void repaint(RSSChannel* channel);
    void emitAllRowsChanged();

    int topBannerIndex;
    QString topBannerLink;
    QPixmap topBannerImage;
    QVector<RSSChannel*>* allChannels;
    QVector<RSSChannel*>* activeChannels;
};

#endif // CHANNELMODEL_H
