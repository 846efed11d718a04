#ifndef ARTICLESLISTWIDGET_H
#define ARTICLESLISTWIDGET_H

#include <QModelIndex>

#include "Logic/article.h"
#include "Views/basewidget.h"

class ArticleItemDelegate;
class ArticleListModel;
class QMovie;
class RSSChannel;
namespace Ui {
class ArticlesListWidget;
}

// The articles of one category, with the refresh state in the info strip.
class ArticlesListWidget : public BaseWidget
{
    Q_OBJECT
public:
    ArticlesListWidget(RSSChannel* channel, QWidget* parent);
    ~ArticlesListWidget() override;

    MainWidget::InterfaceOrientation getSupportedOrientation() override;

signals:
    void articleSelected(const Article& article);
    void teczkaSelected();

public slots:
    void backButtonClicked();
    void infoForChannelChanged(QString text);
    void teczkaClicked();
    void refreshButtonClicked();
    void updateFinished();
    void articleSelectedFromList(QModelIndex index);
    void showFinished() override;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class TestArticleList;
    void showBusy(bool busy);

    Ui::ArticlesListWidget* ui;
    ArticleItemDelegate* itemDelegate;
    ArticleListModel* model;
    QMovie* movie;
    RSSChannel* channel;
};

#endif // ARTICLESLISTWIDGET_H
