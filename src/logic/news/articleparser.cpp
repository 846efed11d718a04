#include "logic/news/articleparser.h"

#include <QHash>

#include "logic/news/article.h"
#include "logic/news/photo.h"

namespace {

const QHash<QString, int>& articleElements()
{
    static const QHash<QString, int> elements = {
        {"xx", ArticleParser::XX}, {"order", ArticleParser::ORDER}, {"date", ArticleParser::DATE},
        {"title", ArticleParser::TITLE}, {"link", ArticleParser::LINK}, {"lead", ArticleParser::LEAD},
        {"content", ArticleParser::CONTENT}, {"signature", ArticleParser::SIGNATURE},
        {"label", ArticleParser::LABEL}, {"thumbnail", ArticleParser::THUMBNAIL}, {"photos", ArticleParser::PHOTOS}};
    return elements;
}

const QHash<QString, int>& photoElements()
{
    static const QHash<QString, int> elements = {
        {"xx", ArticleParser::PHOTO_XX}, {"url", ArticleParser::PHOTO_URL}, {"url2", ArticleParser::PHOTO_URL2},
        {"signature", ArticleParser::PHOTO_SIGNATURE}, {"desc", ArticleParser::PHOTO_DESC}};
    return elements;
}

} // namespace

ArticleParser::ArticleParser()
    : state(-1), currentElementValue(nullptr), currentArticle(nullptr), currentPhoto(nullptr), sawRoot(false), skipDepth(0)
{
}

ArticleParser::~ArticleParser()
{
    delete currentElementValue;
    qDeleteAll(articles);
}

bool ArticleParser::parse(const QByteArray& xml)
{
    begin(xml);
    readSome(-1);
    return succeeded();
}

void ArticleParser::begin(const QByteArray& xml)
{
    state = -1;
    sawRoot = false;
    skipDepth = 0;
    reader.reset(new FeedXml::Reader(xml, *this));
}

bool ArticleParser::readSome(int budgetMs)
{
    if (reader && reader->readSome(budgetMs))
        return true;
    for (Article* article : articles) {
        for (Photo* photo : article->photos)
            photo->articleXX = article->xx;
    }
    return false;
}

// A well-formed document of another kind (an HTML error page) is no feed either.
bool ArticleParser::succeeded() const
{
    return reader && reader->succeeded() && sawRoot;
}

void ArticleParser::setArticleSink(std::function<void(Article*)> articleSink)
{
    sink = std::move(articleSink);
}

QVector<Article*>* ArticleParser::getParserArticles()
{
    return &articles;
}

QString ArticleParser::replaceEntities(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("&amp;"), QLatin1String("&"));
    s.replace(QLatin1String("&apos;"), QLatin1String("'"));
    s.replace(QLatin1String("&quot;"), QLatin1String("\""));
    s.replace(QLatin1String("&lt;"), QLatin1String("<"));
    s.replace(QLatin1String("&gt;"), QLatin1String(">"));
    return s;
}

void ArticleParser::startElement(const QString& localName, const QXmlStreamAttributes&)
{
    if (skipDepth > 0) {
        ++skipDepth;
    } else if (state == -1 && localName == QLatin1String("iphonefeed")) {
        state = IPHONEFEED;
        sawRoot = true;
    } else if (state == IPHONEFEED && localName == QLatin1String("artykul")) {
        currentArticle = new Article(nullptr);
        articles.append(currentArticle);
        state = ARTYKUL;
    } else if (state == ARTYKUL && articleElements().contains(localName)) {
        state = articleElements().value(localName);
    } else if (state == PHOTOS && localName == QLatin1String("photo") && currentArticle) {
        currentPhoto = new Photo(currentArticle);
        currentPhoto->articleXX = currentArticle->xx;
        currentArticle->photos.append(currentPhoto);
        state = PHOTO;
    } else if (state == PHOTO && photoElements().contains(localName)) {
        state = photoElements().value(localName);
    } else {
        skipDepth = 1;
    }
}

// The text of a field is everything since the previous end tag, trimmed.
void ArticleParser::endElement(const QString& localName)
{
    if (skipDepth > 0) {
        --skipDepth;
        delete currentElementValue;
        currentElementValue = nullptr;
        return;
    }
    const bool hasText = currentElementValue != nullptr;
    const QString text = hasText ? currentElementValue->trimmed() : QString();
    if (state == ARTYKUL && localName == QLatin1String("artykul")) {
        if (sink && currentArticle) {
            articles.removeLast(); // the article being read is always the last one
            for (Photo* photo : currentArticle->photos)
                photo->articleXX = currentArticle->xx;
            sink(currentArticle);
        }
        currentArticle = nullptr;
        state = IPHONEFEED;
    } else if (state >= XX && state <= THUMBNAIL && articleElements().value(localName, -1) == state) {
        if (currentArticle && hasText) {
            switch (state) {
            case XX: currentArticle->xx = text.toInt(nullptr, 10); break;
            case ORDER: currentArticle->order = text.toInt(nullptr, 10); break;
            case DATE: currentArticle->date = text; break;
            case TITLE: currentArticle->title = replaceEntities(text); break;
            case LINK: currentArticle->link = QUrl(text); break;
            case LEAD: currentArticle->lead = replaceEntities(text); break;
            case CONTENT: currentArticle->content = text; break;
            case SIGNATURE: currentArticle->signature = replaceEntities(text); break;
            case LABEL: currentArticle->label = replaceEntities(text); break;
            case THUMBNAIL: currentArticle->thumbnail = QUrl(text); break;
            }
        }
        state = ARTYKUL;
    } else if (state == PHOTO && localName == QLatin1String("photo")) {
        currentPhoto = nullptr;
        state = PHOTOS;
    } else if (state >= PHOTO_XX && state <= PHOTO_DESC && photoElements().value(localName, -1) == state) {
        if (currentPhoto && hasText) {
            switch (state) {
            case PHOTO_XX: currentPhoto->xx = text.toInt(nullptr, 10); break;
            case PHOTO_URL: currentPhoto->url = QUrl(text); break;
            case PHOTO_URL2: currentPhoto->url2 = QUrl(text); break;
            case PHOTO_SIGNATURE: currentPhoto->signature = replaceEntities(text); break;
            case PHOTO_DESC: currentPhoto->desc = replaceEntities(text); break;
            }
        }
        state = PHOTO;
    } else if (state == PHOTOS && localName == QLatin1String("photos")) {
        state = ARTYKUL;
    } else if (state == IPHONEFEED && localName == QLatin1String("iphonefeed")) {
        state = -1;
    }
    delete currentElementValue;
    currentElementValue = nullptr;
}

void ArticleParser::characters(const QString& ch)
{
    if (!currentElementValue)
        currentElementValue = new QString();
    currentElementValue->append(ch);
}
