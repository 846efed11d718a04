#include "screens/articlelist/articlerows.h"

#include <QEvent>

#include "logic/news/article.h"
#include "logic/ads/bannerinfo.h"
#include "logic/news/channel.h"
#include "screens/articlelist/articleitemdelegate.h"
#include "screens/articlelist/articlelistmodel.h"
#include "screens/widgets/listview.h"
#include "logic/base/constants.h"
#include "logic/base/util.h"

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
    // Articles and banners fill their rows; the filler and the empty list's text do not.
    list->setOpaqueRows([](const QModelIndex& index) {
        const int type = index.data(ItemTypeRole).toInt();
        return type == ItemTypeNormal || type == ItemTypeBanner;
    });
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
    // Only a banner with a link opens it: the empty list's text is no address.
    const QString link = index.data(ItemMainTextRole).toString();
    if (index.data(ItemIsClickableRole).toBool() && !link.isEmpty())
        Util::openUrl(link, false);
    return nullptr;
}

} // namespace ArticleRows
