#include "screens/articlelist/articleslistwidget.h"

#include <QLabel>
#include <QMovie>
#include <QPushButton>

#include "logic/news/channel.h"
#include "screens/articlelist/articlelistmodel.h"
#include "screens/articlelist/articleslistform.h"
#include "screens/widgets/announcer.h"
#include "screens/widgets/busylabel.h"
#include "screens/widgets/listview.h"
#include "screens/shell/messagebox.h"
#include "logic/base/hidpi.h"

ArticlesListWidget::ArticlesListWidget(RSSChannel* rssChannel, QWidget* parent)
    : ArticleListScreen(parent), ui(new Ui::ArticlesListWidget), movie(nullptr), channel(rssChannel)
{
    ui->setupUi(this);

    movie = Hidpi::movie(QStringLiteral(":/IMG/BUSY_RED"), this);
    showBusyMovie(ui->processingLabel, movie);
    movie->start();

    announcer = new Announcer(this);
    setUpList(channel, ui->listView, ui->infoLabel, ui->exitButton, ui->backButton, ui->mainmenuButton);
    connect(model, &ArticleListModel::updateFinihsed, this, &ArticlesListWidget::updateFinished);
    connect(channel, &RSSChannel::updateChanged, this, &ArticlesListWidget::updateFinished);

    model->startUpdate(true);
    if (channel->isUpdating()) {
        ui->refreshButton->setEnabled(false);
        ui->fakeLabel->show();
        ui->processingLabel->show();
    }

    connect(ui->teczkaButton, &QPushButton::clicked, this, &ArticlesListWidget::teczkaClicked);
    connect(ui->refreshButton, &QPushButton::clicked, this, &ArticlesListWidget::refreshButtonClicked);
}

ArticlesListWidget::~ArticlesListWidget()
{
    delete ui;
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
    refreshAsked = true;
    ui->refreshButton->setEnabled(false);
    model->startUpdate(false);
    showBusy(channel->isUpdating());
}

void ArticlesListWidget::updateFinished()
{
    const bool wasBusy = ui->processingLabel->isVisible();
    const bool busy = !(channel && !channel->isUpdating());
    showBusy(busy);
    // A screen reader says when a refresh it could see has come; a failed one the box says, or nothing.
    if (wasBusy && !busy && !channel->lastUpdateFailed())
        announcer->say(tr("Odświeżono"));
    // Only the refresh the user asked for says that it failed.
    if (busy || !refreshAsked)
        return;
    refreshAsked = false;
    if (channel->lastUpdateFailed())
        MessageBox::showError(RSSChannel::failedRefreshText(), tr("Błąd"));
}

void ArticlesListWidget::showFinished()
{
}
