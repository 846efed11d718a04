#include "screens/categories/categorylistwidget.h"

#include <QPushButton>

#include "logic/ads/bannerinfo.h"
#include "logic/news/channel.h"
#include "screens/categories/categorylistform.h"
#include "screens/categories/channelitemdelegate.h"
#include "screens/categories/channelmodel.h"
#include "logic/news/settings.h"
#include "screens/widgets/announcer.h"
#include "screens/widgets/formstyle.h"
#include "screens/widgets/listview.h"
#include "screens/shell/messagebox.h"
#include "logic/base/constants.h"
#include "logic/base/util.h"

CategoryListWidget::CategoryListWidget(QVector<RSSChannel*>* channels, QWidget* parent)
    : BaseWidget(parent), ui(new Ui::CategoryListWidget), delegate(nullptr), model(nullptr)
{
    ui->setupUi(this);
    announcer = new Announcer(this);
    ui->listView->setAccessibleName(tr("Kategorie"));
    delegate = new ChannelItemDelegate(*ui->listView, this);
    model = new ChannelModel(channels, this);

    connect(this, &CategoryListWidget::activeChannelsChanged, model, &ChannelModel::activeChannelsChanged);

    BannerInfo* banner = BannerInfo::getSingleton();
    model->topBannerChanged(banner->topBannerImage, banner->topBannerLink);
    connect(banner, &BannerInfo::topBannerChanged, model, &ChannelModel::topBannerChanged);

    connect(ui->teczkButton, &QPushButton::clicked, this, &CategoryListWidget::teczkaSelected);
    connect(ui->refreshButton, &QPushButton::clicked, this, &CategoryListWidget::refreshClicked);
    connect(ui->exitButton, &QPushButton::clicked, this, &CategoryListWidget::exitClicked);
    connect(FormStyle::searchButton(ui->exitButton), &QPushButton::clicked, this, &CategoryListWidget::searchRequested);
    connect(ui->settingsButton, &QPushButton::clicked, this, &CategoryListWidget::settingsSelected);

    ui->listView->setModel(model);
    ui->listView->setItemDelegate(delegate);
    connect(ui->listView, &QAbstractItemView::clicked, this, &CategoryListWidget::channelSelectedFromList);

    for (RSSChannel* channel : *channels)
        connect(channel, &RSSChannel::articlesUpadted, this, &CategoryListWidget::updateFinished);
}

CategoryListWidget::~CategoryListWidget()
{
    delete ui;
}

void CategoryListWidget::setActiveChannels(Settings* settings)
{
    emit activeChannelsChanged(settings);
}

MainWidget::InterfaceOrientation CategoryListWidget::getSupportedOrientation()
{
    return MainWidget::OrientationFree;
}

void CategoryListWidget::channelSelectedFromList(QModelIndex index)
{
    if (RSSChannel* channel = model->getChannel(index.row())) {
        emit channelSelected(channel);
        return;
    }
    const QString link = index.data(ItemMainTextRole).toString();
    if (!link.isEmpty())
        Util::openUrl(link, false);
}

void CategoryListWidget::updateFinished()
{
    for (int row = 0; row < model->rowCount(); ++row) {
        RSSChannel* channel = model->getChannel(row);
        if (channel && channel->isUpdating())
            return;
    }
    delegate->stopMovie();
    // The user's refresh says once when some category did not come; the automatic one stays quiet.
    if (!refreshAsked)
        return;
    refreshAsked = false;
    for (int row = 0; row < model->rowCount(); ++row) {
        RSSChannel* channel = model->getChannel(row);
        if (channel && channel->lastUpdateFailed()) {
            MessageBox::showError(RSSChannel::failedRefreshText(), tr("Błąd"));
            return;
        }
    }
    announcer->say(tr("Odświeżono"));
}

void CategoryListWidget::refreshClicked()
{
    refreshAsked = true;
    model->updateChannels(nullptr);
}
