#include "Views/ArticleList/articleslistwidget.h"

#include <QLabel>
#include <QMovie>
#include <QPushButton>

#include "Logic/rsschannel.h"
#include "Views/ArticleList/articleitemdelegate.h"
#include "Views/ArticleList/articlelistmodel.h"
#include "Views/ArticleList/articlerows.h"
#include "Views/ArticleList/articleslistform.h"
#include "Views/busylabel.h"
#include "Views/listview.h"
#include "foundation/hidpi.h"

ArticlesListWidget::ArticlesListWidget(RSSChannel* rssChannel, QWidget* parent)
    : BaseWidget(parent), ui(new Ui::ArticlesListWidget), itemDelegate(nullptr), model(nullptr), movie(nullptr),
      channel(rssChannel)
{
    ui->setupUi(this);
    ui->infoLabel->setText(channel->getInfoText());

    movie = Hidpi::movie(QStringLiteral(":/IMG/BUSY_RED"), this);
    showBusyMovie(ui->processingLabel, movie);
    movie->start();

    itemDelegate = new ArticleItemDelegate(this);
    model = new ArticleListModel(channel, this);
    connect(model, &ArticleListModel::updateFinihsed, this, &ArticlesListWidget::updateFinished);
    ArticleRows::attach(ui->listView, model, itemDelegate);
    connect(ui->listView, &QAbstractItemView::clicked, this, &ArticlesListWidget::articleSelectedFromList);

    connect(channel, &RSSChannel::infoChanged, this, &ArticlesListWidget::infoForChannelChanged);
    connect(channel, &RSSChannel::updateChanged, this, &ArticlesListWidget::updateFinished);

    model->startUpdate(true);
    if (channel->isUpdating()) {
        ui->refreshButton->setEnabled(false);
        ui->fakeLabel->show();
        ui->processingLabel->show();
    }

    connect(ui->exitButton, &QPushButton::clicked, this, &ArticlesListWidget::exitClicked);
    connect(ui->backButton, &QPushButton::clicked, this, &ArticlesListWidget::backButtonClicked);
    connect(ui->mainmenuButton, &QPushButton::clicked, this, &ArticlesListWidget::popToRoot);
    connect(ui->teczkaButton, &QPushButton::clicked, this, &ArticlesListWidget::teczkaClicked);
    connect(ui->refreshButton, &QPushButton::clicked, this, &ArticlesListWidget::refreshButtonClicked);
}

ArticlesListWidget::~ArticlesListWidget()
{
    delete ui;
}

MainWidget::InterfaceOrientation ArticlesListWidget::getSupportedOrientation()
{
    return MainWidget::OrientationFree;
}

void ArticlesListWidget::backButtonClicked()
{
    emit backClicked();
}

void ArticlesListWidget::infoForChannelChanged(QString text)
{
    ui->infoLabel->setText(text);
}

void ArticlesListWidget::teczkaClicked()
{
    emit teczkaSelected();
}

void ArticlesListWidget::showBusy(bool busy)
{
    ui->refreshButton->setEnabled(!busy);
    ui->fakeLabel->setVisible(busy);
    ui->processingLabel->setVisible(busy);
    if (busy)
        movie->start();
    else
        movie->stop();
}

void ArticlesListWidget::refreshButtonClicked()
{
    ui->refreshButton->setEnabled(false);
    model->startUpdate(false);
    showBusy(channel->isUpdating());
}

void ArticlesListWidget::updateFinished()
{
    showBusy(!(channel && !channel->isUpdating()));
}

void ArticlesListWidget::articleSelectedFromList(QModelIndex index)
{
    if (Article* article = ArticleRows::tapped(model, index))
        emit articleSelected(*article);
}

void ArticlesListWidget::showFinished()
{
}

void ArticlesListWidget::resizeEvent(QResizeEvent* e)
{
    BaseWidget::resizeEvent(e);
    model->setContentHeight(ui->listView->height());
}
