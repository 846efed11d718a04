#include "screens/articlelist/articlelistscreen.h"

#include <QLabel>
#include <QPushButton>

#include "logic/net/reachability.h"
#include "logic/news/channel.h"
#include "logic/news/refreshscheduler.h"
#include "screens/articlelist/articleitemdelegate.h"
#include "screens/articlelist/articlelistmodel.h"
#include "screens/articlelist/articlerows.h"
#include "screens/widgets/formstyle.h"
#include "screens/widgets/listview.h"

ArticleListScreen::ArticleListScreen(QWidget* parent)
    : BaseWidget(parent), itemDelegate(nullptr), model(nullptr), listView(nullptr), infoLabel(nullptr)
{
}

void ArticleListScreen::setUpList(RSSChannel* source, ListView* list, QLabel* info, QPushButton* exitButton,
                                  QPushButton* backButton, QPushButton* mainmenuButton)
{
    listView = list;
    listView->setAccessibleName(source->getTitle());
    infoLabel = info;
    channelInfo = source->getInfoText();
    // The briefcase is never refreshed: nothing is held there.
    RefreshScheduler* rules = RefreshScheduler::current();
    if (rules && source->getType() != RSSChannel::Teczka) {
        scheduler = rules;
        connect(rules, &RefreshScheduler::conditionsChanged, this, &ArticleListScreen::showInfo);
    }
    showInfo();

    itemDelegate = new ArticleItemDelegate(this);
    model = new ArticleListModel(source, this);
    ArticleRows::attach(listView, model, itemDelegate);
    connect(model, &QAbstractItemModel::modelReset, itemDelegate, &ArticleItemDelegate::forgetThumbnails);
    connect(listView, &QAbstractItemView::clicked, this, &ArticleListScreen::articleSelectedFromList);

    connect(source, &RSSChannel::infoChanged, this, &ArticleListScreen::infoForChannelChanged);

    connect(exitButton, &QPushButton::clicked, this, &ArticleListScreen::exitClicked);
    connect(FormStyle::searchButton(exitButton), &QPushButton::clicked, this, &ArticleListScreen::searchRequested);
    connect(backButton, &QPushButton::clicked, this, &ArticleListScreen::backButtonClicked);
    connect(mainmenuButton, &QPushButton::clicked, this, &ArticleListScreen::popToRoot);
}

MainWidget::InterfaceOrientation ArticleListScreen::getSupportedOrientation()
{
    return MainWidget::OrientationFree;
}

void ArticleListScreen::backButtonClicked()
{
    emit backClicked();
}

void ArticleListScreen::infoForChannelChanged(QString text)
{
    channelInfo = text;
    showInfo();
}

void ArticleListScreen::showInfo()
{
    const QString note = scheduler ? scheduler->holdNote() : QString();
    infoLabel->setText(note.isEmpty() ? channelInfo : channelInfo + QStringLiteral("<br>") + note.toHtmlEscaped());
}

void ArticleListScreen::articleSelectedFromList(QModelIndex index)
{
    if (Article* article = ArticleRows::tapped(model, index)) {
        // On a metered link the list leaves pictures for what the user opens.
        if (Reachability::isConnectedToNetwork())
            article->startDownloadThumbnail(false);
        emit articleSelected(*article);
    }
}

void ArticleListScreen::resizeEvent(QResizeEvent* e)
{
    BaseWidget::resizeEvent(e);
    if (model)
        model->setContentHeight(listView->height());
}
