#include "Views/Teczka/teczkawidget.h"

#include "Logic/savedarticles.h"
#include "Views/ArticleList/articlelistmodel.h"
#include "Views/Teczka/teczkaform.h"
#include "Views/listview.h"

TeczkaWidget::TeczkaWidget(SavedArticles* saved, QWidget* parent)
    : ArticleListScreen(parent), ui(new Ui::TeczkaWidget), savedArticles(saved)
{
    ui->setupUi(this);
    setUpList(savedArticles, ui->listView, ui->infoLabel, ui->exitButton, ui->backButton, ui->mainmenuButton);
    model->startUpdate(true);
}

TeczkaWidget::~TeczkaWidget()
{
    delete ui;
}

void TeczkaWidget::showEvent(QShowEvent*)
{
    savedArticles->articlesDidChange(false);
}
