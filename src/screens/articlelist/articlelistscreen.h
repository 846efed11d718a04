#ifndef ARTICLELISTSCREEN_H
#define ARTICLELISTSCREEN_H

#include <QModelIndex>
#include <QPointer>

#include "logic/news/article.h"
#include "screens/shell/basewidget.h"

class ArticleItemDelegate;
class ArticleListModel;
class ListView;
class QLabel;
class QPushButton;
class RSSChannel;
class RefreshScheduler;

// A screen listing a channel's articles: the list, the info strip and the way back.
class ArticleListScreen : public BaseWidget
{
    Q_OBJECT
public:
    MainWidget::InterfaceOrientation getSupportedOrientation() override;

signals:
    void articleSelected(const Article& article);

public slots:
    void backButtonClicked();
    void infoForChannelChanged(QString text);
    void articleSelectedFromList(QModelIndex index);

protected:
    explicit ArticleListScreen(QWidget* parent);
    // Shows the source's articles and info text, follows its info, and wires the navigation buttons.
    void setUpList(RSSChannel* source, ListView* list, QLabel* info, QPushButton* exitButton,
                   QPushButton* backButton, QPushButton* mainmenuButton);
    void resizeEvent(QResizeEvent* e) override;

    ArticleItemDelegate* itemDelegate;
    ArticleListModel* model;

private:
    void showInfo();

    ListView* listView;
    QLabel* infoLabel;
    QString channelInfo;
    // Says in the strip why automatic refreshes are held; none for the briefcase.
    QPointer<RefreshScheduler> scheduler;
};

#endif // ARTICLELISTSCREEN_H
