#ifndef ARTICLEWIDGET_H
#define ARTICLEWIDGET_H

#include <QPixmap>
#include <QPoint>
#include <QString>

#include "screens/shell/basewidget.h"
#include "screens/shell/msgboxlistener.h"

class Article;
class ArticlePhotoWidget;
class ShareArticleDialog;
namespace Ui {
class ArticleWidget;
}

// One article in a vertically scrolling column, with its paged photos and the briefcase buttons.
class ArticleWidget : public BaseWidget, public MsgBoxListener
{
    Q_OBJECT
public:
    ArticleWidget(const Article& article, QWidget* parent);
    ~ArticleWidget() override;

    MainWidget::InterfaceOrientation getSupportedOrientation() override;
    void onMsgBoxAccepted() override;
    void onMsgBoxRejected() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void showFinishedSignal();

public slots:
    void showFinished() override;
    void bottomBannerChanged(QPixmap image, QString link);
    void reklamaClicked();
    void showPhotos(ArticlePhotoWidget* widget);
    void shareClicked();
    void shareDialogEnded(ShareArticleDialog* dialog);
    void teczkaAddClicked();
    void teczkaRemoveClicked();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class TestArticleScreen;
    void updateTeczkaButtons();
    void fitAuthorLine();
    bool isColumn(QObject* watched) const;

    Ui::ArticleWidget* ui;
    Article* article;
    QString linkForBanner;
    bool blockHorizontal;
    bool blockVertical;
    QPoint startTouchPoint;
    int numberOfTouches;
    QWidget* currentDialog;
    int msgBoxId;
};

#endif // ARTICLEWIDGET_H
