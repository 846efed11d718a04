#include "Views/ArticleList/articlerows.h"

#include <QEvent>

#include "Logic/article.h"
#include "Logic/bannerinfo.h"
#include "Logic/rsschannel.h"
#include "Views/ArticleList/articleitemdelegate.h"
#include "Views/ArticleList/articlelistmodel.h"
#include "Views/listview.h"
#include "foundation/constants.h"
#include "foundation/util.h"

namespace ArticleRows {

namespace {

// Lines are broken for the width the rows really get: the viewport narrows when the
// scroll bar appears (a banner or a long list), and the screen does not resize for that.
class WidthFollower : public QObject
{
public:
    WidthFollower(QWidget* viewport, ArticleListModel* model) : QObject(model), model(model)
    {
        viewport->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            model->widgetWidthChanged(static_cast<QWidget*>(watched)->width());
        return false;
    }

private:
    ArticleListModel* model;
};

} // namespace

void attach(ListView* list, ArticleListModel* model, ArticleItemDelegate* delegate)
{
    list->setItemDelegate(delegate);
    list->setModel(model);
    BannerInfo* banner = BannerInfo::getSingleton();
    model->topBannerChanged(banner->topBannerImage, banner->topBannerLink);
    model->bottomBannerChanged(banner->bottomBannerImage, banner->bottomBannerLink);
    model->setContentHeight(list->height());
    model->setContentSpacing(list->spacing());
    QObject::connect(banner, &BannerInfo::topBannerChanged, model, &ArticleListModel::topBannerChanged);
    QObject::connect(banner, &BannerInfo::bottomBannerChanged, model, &ArticleListModel::bottomBannerChanged);
    new WidthFollower(list->viewport(), model);
}

Article* tapped(ArticleListModel* model, const QModelIndex& index)
{
    if (Article* article = model->getArticle(index.row())) {
        model->getChannel()->markArticleAsRead(*article);
        return article;
    }
    const QString link = index.data(ItemMainTextRole).toString();
    if (!link.isEmpty())
        Util::openUrl(link, false);
    return nullptr;
}

} // namespace ArticleRows
