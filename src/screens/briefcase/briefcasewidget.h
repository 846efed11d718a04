#ifndef TECZKAWIDGET_H
#define TECZKAWIDGET_H

#include "screens/articlelist/articlelistscreen.h"

class SavedArticles;
namespace Ui {
class TeczkaWidget;
}

// The saved articles, readable offline; reloaded every time the screen shows.
class TeczkaWidget : public ArticleListScreen
{
    Q_OBJECT
public:
    TeczkaWidget(SavedArticles* savedArticles, QWidget* parent);
    ~TeczkaWidget() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    friend class TestTeczka;
    Ui::TeczkaWidget* ui;
    SavedArticles* savedArticles;
};

#endif // TECZKAWIDGET_H
