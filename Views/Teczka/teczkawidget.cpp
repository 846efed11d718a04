#include "Views/Teczka/teczkawidget.h"

#include <QLabel>
#include <QPushButton>

#include "Logic/savedarticles.h"
#include "Views/ArticleList/articleitemdelegate.h"
#include "Views/ArticleList/articlelistmodel.h"
#include "Views/ArticleList/articlerows.h"
#include "Views/Teczka/teczkaform.h"
#include "Views/listview.h"

TeczkaWidget::TeczkaWidget(SavedArticles* saved, QWidget* parent)
    : BaseWidget(parent), ui(new Ui::TeczkaWidget), itemDelegate(nullptr), model(nullptr), savedArticles(saved)
{
    ui->setupUi(this);
    ui->infoLabel->setText(savedArticles->getInfoText());

    itemDelegate = new ArticleItemDelegate(this);
    model = new ArticleListModel(savedArticles, this);
    ArticleRows::attach(ui->listView, model, itemDelegate);
    connect(ui->listView, &QAbstractItemView::clicked, this, &TeczkaWidget::articleSelectedFromList);

    connect(savedArticles, &RSSChannel::infoChanged, this, &TeczkaWidget::infoForChannelChanged);

    connect(ui->exitButton, &QPushButton::clicked, this, &TeczkaWidget::exitClicked);
    connect(ui->backButton, &QPushButton::clicked, this, &TeczkaWidget::backButtonClicked);
    connect(ui->mainmenuButton, &QPushButton::clicked, this, &TeczkaWidget::popToRoot);

    model->startUpdate(true);
}

TeczkaWidget::~TeczkaWidget()
{
    delete ui;
}

MainWidget::InterfaceOrientation TeczkaWidget::getSupportedOrientation()
{
    return MainWidget::OrientationFree;
}

void TeczkaWidget::backButtonClicked()
{
    emit backClicked();
}

void TeczkaWidget::infoForChannelChanged(QString text)
{
    ui->infoLabel->setText(text);
}

void TeczkaWidget::articleSelectedFromList(QModelIndex index)
{
    if (Article* article = ArticleRows::tapped(model, index))
        emit articleSelected(*article);
}

void TeczkaWidget::showEvent(QShowEvent*)
{
    savedArticles->articlesDidChange(false);
}

void TeczkaWidget::resizeEvent(QResizeEvent* e)
{
    BaseWidget::resizeEvent(e);
    model->setContentHeight(ui->listView->height());
}
