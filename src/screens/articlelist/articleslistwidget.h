#ifndef ARTICLESLISTWIDGET_H
#define ARTICLESLISTWIDGET_H

#include "screens/articlelist/articlelistscreen.h"

class Announcer;
class QMovie;
class RSSChannel;
namespace Ui {
class ArticlesListWidget;
}

// The articles of one category, with the refresh state in the info strip.
class ArticlesListWidget : public ArticleListScreen
{
    Q_OBJECT
public:
    ArticlesListWidget(RSSChannel* channel, QWidget* parent);
    ~ArticlesListWidget() override;

signals:
    void teczkaSelected();

public slots:
    void teczkaClicked();
    void refreshButtonClicked();
    void updateFinished();
    void showFinished() override;

private:
    friend class TestArticleList;
    void showBusy(bool busy);

    Ui::ArticlesListWidget* ui;
    QMovie* movie;
    Announcer* announcer;
    RSSChannel* channel;
    bool refreshAsked = false;
};

#endif // ARTICLESLISTWIDGET_H
