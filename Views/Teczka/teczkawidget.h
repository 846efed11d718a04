#ifndef TECZKAWIDGET_H
#define TECZKAWIDGET_H

#include <QModelIndex>

#include "Logic/article.h"
#include "Views/basewidget.h"

class ArticleItemDelegate;
class ArticleListModel;
class SavedArticles;
namespace Ui {
class TeczkaWidget;
}

// The saved articles, readable offline; reloaded every time the screen shows.
class TeczkaWidget : public BaseWidget
{
    Q_OBJECT
public:
    TeczkaWidget(SavedArticles* savedArticles, QWidget* parent);
    ~TeczkaWidget() override;

    MainWidget::InterfaceOrientation getSupportedOrientation() override;

signals:
    void articleSelected(const Article& article);

public slots:
    void backButtonClicked();
    void infoForChannelChanged(QString text);
    void articleSelectedFromList(QModelIndex index);

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class TestTeczka;
    Ui::TeczkaWidget* ui;
    ArticleItemDelegate* itemDelegate;
    ArticleListModel* model;
    SavedArticles* savedArticles;
};

#endif // TECZKAWIDGET_H
