#include "screens/briefcase/briefcasewidget.h"

#include "logic/news/briefcasestore.h"
#include "screens/articlelist/articlelistmodel.h"
#include "screens/briefcase/briefcaseform.h"
#include "screens/widgets/listview.h"

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
