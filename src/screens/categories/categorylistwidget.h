#ifndef CATEGORYLISTWIDGET_H
#define CATEGORYLISTWIDGET_H

#include <QModelIndex>
#include <QVector>

#include "screens/shell/basewidget.h"

class Announcer;
class ChannelItemDelegate;
class ChannelModel;
class RSSChannel;
class Settings;
namespace Ui {
class CategoryListWidget;
}

// The root screen: the active categories with their unread counts.
class CategoryListWidget : public BaseWidget
{
    Q_OBJECT
public:
    CategoryListWidget(QVector<RSSChannel*>* channels, QWidget* parent);
    ~CategoryListWidget() override;

    void setActiveChannels(Settings* settings);
    MainWidget::InterfaceOrientation getSupportedOrientation() override;

signals:
    void channelSelected(RSSChannel* channel);
    void teczkaSelected();
    void settingsSelected();
    void activeChannelsChanged(Settings* settings);

public slots:
    void channelSelectedFromList(QModelIndex index);
    void updateFinished();
    void refreshClicked();

private:
    friend class TestCategoryList;
    Ui::CategoryListWidget* ui;
    ChannelItemDelegate* delegate;
    ChannelModel* model;
    bool refreshAsked = false;
    Announcer* announcer;
};

#endif // CATEGORYLISTWIDGET_H
