#ifndef ARTICLELISTMODEL_H
#define ARTICLELISTMODEL_H

#include <QAbstractListModel>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QVector>

#include "logic/news/article.h"

class RSSChannel;

// The rows of an article list: [top banner] articles [filler] [bottom banner],
// or [top banner] no-items [bottom banner]. Titles and leads are broken into
// lines ahead so that together they fit the row's 85 px text block.
class ArticleListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    ArticleListModel(RSSChannel* channel, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    Article* getArticle(int row) const;
    RSSChannel* getChannel() const;
    int articlesCount() const;
    void startUpdate(bool readFromDiskOnly);
    void setContentHeight(int height);
    void setContentSpacing(int spacing);

signals:
    void updateFinihsed();

public slots:
    void articlesUpdated(QVector<Article*> articles);
    void thumbnailUpdated(QImage image);
    void topBannerChanged(QPixmap image, QString link);
    void bottomBannerChanged(QPixmap image, QString link);
    void widgetWidthChanged(int width);

private:
    friend class TestArticleList;
    void fetchThumbnail(Article* copy);
    void splitTitleAndLead();
    void calculateSpacesAndIndexes();
    void breakLines();
    void computeIndexes();
    void emitAllRowsChanged();
    int articleIndex(int row) const;

    int contentHeight;
    int contentSpacing;
    int fakeSpaceHeight;
    int noItemsHeight;
    int bottomBannerIndex;
    int topBannerIndex;
    int fakeSpaceIndex;
    int noItemsIndex;
    QString bottomBannerLink;
    QString topBannerLink;
    QPixmap bottomBannerImage;
    QPixmap topBannerImage;
    QVector<Article*> articles;
    QVector<QString> titles;
    QVector<QString> leads;
    QVector<int> titleHeights;
    int widgetsWidth;
    QString noItemsTextNormal;
    QString noItemsTextTeczka;
    RSSChannel* channel;
};

#endif // ARTICLELISTMODEL_H
