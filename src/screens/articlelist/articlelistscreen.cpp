#include "screens/articlelist/articlelistscreen.h"

#include <QLabel>
#include <QPushButton>

#include "logic/news/channel.h"
#include "screens/articlelist/articleitemdelegate.h"
#include "screens/articlelist/articlelistmodel.h"
#include "screens/articlelist/articlerows.h"
#include "screens/widgets/listview.h"

ArticleListScreen::ArticleListScreen(QWidget* parent)
    : BaseWidget(parent), itemDelegate(nullptr), model(nullptr), listView(nullptr), infoLabel(nullptr)
{
}

void ArticleListScreen::setUpList(RSSChannel* source, ListView* list, QLabel* info, QPushButton* exitButton,
                                  QPushButton* backButton, QPushButton* mainmenuButton)
{
    listView = list;
    infoLabel = info;
    infoLabel->setText(source->getInfoText());

    itemDelegate = new ArticleItemDelegate(this);
    model = new ArticleListModel(source, this);
    ArticleRows::attach(listView, model, itemDelegate);
    connect(model, &QAbstractItemModel::modelReset, itemDelegate, &ArticleItemDelegate::forgetThumbnails);
    connect(listView, &QAbstractItemView::clicked, this, &ArticleListScreen::articleSelectedFromList);

    connect(source, &RSSChannel::infoChanged, this, &ArticleListScreen::infoForChannelChanged);

    connect(exitButton, &QPushButton::clicked, this, &ArticleListScreen::exitClicked);
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
    infoLabel->setText(text);
}

void ArticleListScreen::articleSelectedFromList(QModelIndex index)
{
    if (Article* article = ArticleRows::tapped(model, index))
        emit articleSelected(*article);
}

void ArticleListScreen::resizeEvent(QResizeEvent* e)
{
    BaseWidget::resizeEvent(e);
    if (model)
        model->setContentHeight(listView->height());
}
