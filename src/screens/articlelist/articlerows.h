#ifndef ARTICLEROWS_H
#define ARTICLEROWS_H

class Article;
class ArticleItemDelegate;
class ArticleListModel;
class ListView;
class QModelIndex;

// What the article list and the briefcase do alike with their rows.
namespace ArticleRows {

// Puts the rows on the list and lets the banners follow the ad server.
void attach(ListView* list, ArticleListModel* model, ArticleItemDelegate* delegate);

// A tap: an article is marked read through its channel and returned; a banner opens its link.
Article* tapped(ArticleListModel* model, const QModelIndex& index);

} // namespace ArticleRows

#endif // ARTICLEROWS_H
