#include "screens/articlelist/articlelistmodel.h"

#include <tuple>

#include <QFont>
#include <QHash>
#include <QFontMetrics>

#include "screens/widgets/textscale.h"

#include "logic/news/article.h"
#include "logic/news/briefcasestore.h"
#include "logic/news/channel.h"
#include "logic/base/constants.h"
#include "logic/net/reachability.h"
#include "logic/news/refreshscheduler.h"
#include "logic/base/util.h"

// The text block grows with the text size; the row never gets lower than the phone's 100.
static int textBlockHeight()
{
    return TextScale::pixelSize(20) * 85 / 20;
}

static int articleRowHeight()
{
    return qMax(100, textBlockHeight() + 15);
}
static const int textMargins = 118;
static const int layoutSlack = 4;

ArticleListModel::ArticleListModel(RSSChannel* rssChannel, QObject* parent)
    : QAbstractListModel(parent), contentHeight(0), contentSpacing(0), fakeSpaceHeight(0), noItemsHeight(0),
      bottomBannerIndex(-1), topBannerIndex(-1), fakeSpaceIndex(-1), noItemsIndex(-1), widgetsWidth(0),
      noItemsTextNormal(tr("Brak elementów w kategorii")), noItemsTextTeczka(tr("Brak elementów w teczce")),
      channel(rssChannel)
{
    // Rows re-break and grow with the text size.
    TextScale::follow(this, [this] { splitTitleAndLead(); });
    if (channel)
        connect(channel, &RSSChannel::articlesUpadted, this, &ArticleListModel::articlesUpdated);
    // Pictures left for later on a metered link come when the link no longer counts.
    if (RefreshScheduler* rules = RefreshScheduler::current()) {
        connect(rules, &RefreshScheduler::conditionsChanged, this, [this]() {
            if (Reachability::isConnectedToNetwork()) {
                for (Article* article : articles)
                    fetchThumbnail(article);
            }
        });
    }
}

void ArticleListModel::fetchThumbnail(Article* copy)
{
    // The briefcase keeps its own pictures; a channel's wait on a metered link until opened.
    RefreshScheduler* rules = RefreshScheduler::current();
    if (rules && !rules->picturesAutomatic() && channel && channel->getType() != RSSChannel::Teczka)
        return;
    if (Reachability::isConnectedToNetwork())
        copy->startDownloadThumbnail(false);
    else if (Reachability::singleton)
        connect(Reachability::singleton, &Reachability::networkSessionOpened, copy,
                [copy]() { copy->startDownloadThumbnail(false); });
}

int ArticleListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    int rows = articles.size();
    for (int index : {topBannerIndex, bottomBannerIndex, fakeSpaceIndex, noItemsIndex})
        if (index >= 0)
            ++rows;
    return rows;
}

int ArticleListModel::articleIndex(int row) const
{
    const int index = topBannerIndex >= 0 ? row - 1 : row;
    if (row == topBannerIndex || row == bottomBannerIndex || row == fakeSpaceIndex || row == noItemsIndex)
        return -1;
    return index >= 0 && index < articles.size() ? index : -1;
}

QVariant ArticleListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const int row = index.row();
    if (row == topBannerIndex || row == bottomBannerIndex) {
        const bool top = row == topBannerIndex;
        const QPixmap& image = top ? topBannerImage : bottomBannerImage;
        const QString& link = top ? topBannerLink : bottomBannerLink;
        switch (role) {
        case ItemTypeRole: return ItemTypeBanner;
        case ItemHeightRole: return image.height();
        case ItemWidthRole: return widgetsWidth;
        case ItemImageRole: return image;
        case ItemMainTextRole: return link;
        case ItemIsClickableRole: return !link.isEmpty();
        case Qt::AccessibleTextRole: return tr("Reklama");
        default: return QVariant();
        }
    }
    if (row == fakeSpaceIndex) {
        switch (role) {
        case ItemTypeRole: return ItemTypeFakeSpace;
        case ItemHeightRole: return fakeSpaceHeight;
        case ItemWidthRole: return widgetsWidth;
        default: return QVariant();
        }
    }
    if (row == noItemsIndex) {
        switch (role) {
        case ItemTypeRole: return ItemTypeNoItems;
        case ItemHeightRole: return noItemsHeight;
        case ItemWidthRole: return widgetsWidth;
        case ItemMainTextRole:
        case Qt::AccessibleTextRole:
            if (channel && channel->getType() == RSSChannel::Teczka) {
                // The bar above says why the list is empty; the briefcase is not known to be.
                const SavedArticles* saved = qobject_cast<const SavedArticles*>(channel);
                return saved && saved->isUnreadable() ? QString() : noItemsTextTeczka;
            }
            return noItemsTextNormal;
        default: return QVariant();
        }
    }
    const int i = articleIndex(row);
    if (i < 0)
        return QVariant();
    switch (role) {
    case ItemTypeRole: return ItemTypeNormal;
    case ItemHeightRole: return articleRowHeight();
    case ItemWidthRole: return widgetsWidth;
    case ItemMainTextRole: return i < titles.size() ? titles.at(i) : QString();
    case ItemSubTextRole: return i < leads.size() ? leads.at(i) : QString();
    case ItemMainTextHeightRole: return i < titleHeights.size() ? titleHeights.at(i) : 0;
    case ItemWasReadRole: return articles.at(i)->articleWasRead;
    // What a screen reader says of the row: its title, then its lead and whether it was read.
    case Qt::AccessibleTextRole: return articles.at(i)->title.trimmed();
    case Qt::AccessibleDescriptionRole:
        return articles.at(i)->lead.trimmed() + QStringLiteral(", ")
               + (articles.at(i)->articleWasRead ? tr("przeczytany") : tr("nieprzeczytany"));
    case ItemImageRole: return articles.at(i)->getThumbnailImage();
    default: return QVariant();
    }
}

Article* ArticleListModel::getArticle(int row) const
{
    const int i = articleIndex(row);
    return i < 0 ? nullptr : articles.at(i);
}

RSSChannel* ArticleListModel::getChannel() const
{
    return channel;
}

int ArticleListModel::articlesCount() const
{
    return articles.size();
}

void ArticleListModel::startUpdate(bool readFromDiskOnly)
{
    if (channel)
        channel->updateArticles(readFromDiskOnly);
}

void ArticleListModel::setContentHeight(int height)
{
    contentHeight = height;
    calculateSpacesAndIndexes();
}

void ArticleListModel::setContentSpacing(int spacing)
{
    contentSpacing = spacing + 1;
    calculateSpacesAndIndexes();
}

void ArticleListModel::articlesUpdated(QVector<Article*> incoming)
{
    // Thumbnails already shown stay: a list that comes back unchanged (a refresh that failed)
    // or with the same pictures does not fall back to placeholders or fetch them again.
    QHash<QPair<int, QUrl>, QImage> shown;
    for (const Article* old : qAsConst(articles))
        if (!old->thumbnailImage.isNull() && !old->thumbnailIsPlaceholder)
            shown.insert(qMakePair(old->xx, old->thumbnail), old->thumbnailImage);
    // Rows may disappear: tell the views before the old copies go.
    beginResetModel();
    qDeleteAll(articles);
    articles.clear();
    titles.clear();
    leads.clear();
    titleHeights.clear();
    for (const Article* source : incoming) {
        Article* copy = new Article(this);
        copy->updateFrom(*source, true);
        connect(copy, &Article::thumbnailDownloadFinished, this, &ArticleListModel::thumbnailUpdated);
        const QImage kept = shown.value(qMakePair(copy->xx, copy->thumbnail));
        if (!kept.isNull()) {
            copy->thumbnailImage = kept;
            copy->thumbnailIsPlaceholder = false;
        } else {
            fetchThumbnail(copy);
        }
        articles.append(copy);
    }
    breakLines();
    computeIndexes();
    endResetModel();
    emit updateFinihsed();
}

void ArticleListModel::splitTitleAndLead()
{
    breakLines();
    calculateSpacesAndIndexes(); // tells the views of every row
}

void ArticleListModel::breakLines()
{
    titles.clear();
    titleHeights.clear();
    leads.clear();
    QFont titleFont(QStringLiteral("Helvetica"));
    titleFont.setWeight(QFont::Bold);
    titleFont.setPixelSize(TextScale::pixelSize(20));
    QFont leadFont(QStringLiteral("Helvetica"));
    leadFont.setWeight(QFont::Normal);
    leadFont.setPixelSize(TextScale::pixelSize(20));
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics leadMetrics(leadFont);
    // A little slack: the painter's text layout may measure a line a few pixels wider than the
    // metrics do, and a line that wraps again shows its wrong half at the block's bottom.
    const int textWidth = widgetsWidth - textMargins - layoutSlack;
    for (const Article* article : articles) {
        // A long title is elided where it would leave the lead no line: a row shows both.
        const int leadRoom = article->lead.trimmed().isEmpty() ? 0 : leadMetrics.lineSpacing();
        const int maxTitleLines = qMax(1, (textBlockHeight() - leadRoom) / titleMetrics.lineSpacing());
        const QStringList titleLines = Util::splitText(article->title.trimmed(), titleMetrics, textWidth, maxTitleLines);
        titles.append(titleLines.join(QLatin1Char('\n')));
        const int titleHeight = titleLines.size() * titleMetrics.lineSpacing();
        titleHeights.append(titleHeight);
        const int maxLeadLines = (textBlockHeight() - titleHeight) / leadMetrics.lineSpacing();
        leads.append(maxLeadLines > 0 ? Util::splitText(article->lead.trimmed(), leadMetrics, textWidth, maxLeadLines)
                                            .join(QLatin1Char('\n'))
                                      : QString());
    }
}

void ArticleListModel::calculateSpacesAndIndexes()
{
    // The rows must stay as the views know them until the model says it changes them:
    // work the new count out, put the old rows back, then announce and change.
    const int oldRows = rowCount();
    const auto before = std::make_tuple(topBannerIndex, bottomBannerIndex, fakeSpaceIndex, fakeSpaceHeight,
                                        noItemsIndex, noItemsHeight);
    computeIndexes();
    const bool countChanges = rowCount() != oldRows;
    std::tie(topBannerIndex, bottomBannerIndex, fakeSpaceIndex, fakeSpaceHeight, noItemsIndex, noItemsHeight) = before;
    // The views lay rows out again when their count changes.
    if (countChanges) {
        beginResetModel();
        computeIndexes();
        endResetModel();
    } else {
        emit layoutAboutToBeChanged();
        computeIndexes();
        emit layoutChanged();
        emitAllRowsChanged();
    }
}

void ArticleListModel::computeIndexes()
{
    const int n = articles.size();
    const bool top = !topBannerImage.isNull();
    const bool bottom = !bottomBannerImage.isNull();
    const int rows = n + (top ? 1 : 0) + (bottom ? 1 : 0);
    const int bannerHeights = (top ? topBannerImage.height() : 0) + (bottom ? bottomBannerImage.height() : 0);
    topBannerIndex = top ? 0 : -1;
    bottomBannerIndex = bottom ? n + (top ? 1 : 0) : -1;
    fakeSpaceIndex = -1;
    fakeSpaceHeight = 0;
    if (n > 0) {
        noItemsIndex = -1;
        noItemsHeight = 0;
        const int estimated = bannerHeights + articleRowHeight() * n + contentSpacing * (rows + 1);
        if (estimated < contentHeight) {
            fakeSpaceIndex = n + (top ? 1 : 0);
            if (bottom)
                ++bottomBannerIndex;
            fakeSpaceHeight = contentHeight - estimated;
        }
    } else {
        noItemsIndex = top ? 1 : 0;
        if (bottom)
            ++bottomBannerIndex;
        noItemsHeight = contentHeight - bannerHeights - contentSpacing * (rows + 1);
        if (noItemsHeight < 0)
            noItemsHeight = 0;
    }
}

void ArticleListModel::emitAllRowsChanged()
{
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0), index(rows - 1));
}

void ArticleListModel::thumbnailUpdated(QImage)
{
    Article* source = qobject_cast<Article*>(sender());
    const int i = articles.indexOf(source);
    if (i < 0)
        return;
    const QModelIndex row = index(topBannerIndex >= 0 ? i + 1 : i);
    emit dataChanged(row, row);
}

void ArticleListModel::topBannerChanged(QPixmap image, QString link)
{
    if (image.isNull())
        return;
    topBannerLink = link;
    topBannerImage = image;
    calculateSpacesAndIndexes();
}

void ArticleListModel::bottomBannerChanged(QPixmap image, QString link)
{
    if (image.isNull())
        return;
    bottomBannerLink = link;
    bottomBannerImage = image;
    calculateSpacesAndIndexes();
}

void ArticleListModel::widgetWidthChanged(int width)
{
    if (width == widgetsWidth)
        return;
    widgetsWidth = width;
    splitTitleAndLead();
}
