#include "Logic/rsschannel.h"

#include <QFile>
#include <algorithm>
#include <cstdio>

#include "Logic/articleparser.h"
#include "foundation/constants.h"
#include "foundation/file.h"
#include "http/downloadservice.h"
#include "http/myhttp.h"

static const int feedTimeout = 5000;
static const char cacheVersion = 1;
// The download service's queue all channels share: one feed download at a time.
static const QString feedQueue = QStringLiteral("feeds");

RSSChannel::RSSChannel(ChannelType type, QObject* parent)
    : QObject(parent), id(type), title(titleForType(type)), xmlUrl(urlForType(type)),
      lastUpdateTime(QDateTime::fromSecsSinceEpoch(0)), downloader(nullptr), active(true),
      needsUpdate(true), needsReadFromFile(true)
{
    qRegisterMetaType<QVector<Article*>>();
}

RSSChannel::~RSSChannel()
{
    if (downloader) {
        leaveQueue();
        downloader->cancelRequestNoEmit();
        downloader->deleteLater();
        downloader = nullptr;
    }
}

QString RSSChannel::titleForType(ChannelType type)
{
    switch (type) {
    case Teczka: return tr("Teczka");
    case Najwazniejsze: return tr("Najważniejsze");
    case Najnowsze: return tr("Najnowsze");
    case Kraj: return tr("Kraj");
    case Swiat: return tr("Świat");
    case Sport: return tr("Sport");
    case Gospodarka: return tr("Gospodarka");
    case Komentarze: return tr("Komentarze");
    case Kultura: return tr("Kultura");
    case Fotoplan: return tr("Fotoplan");
    }
    return QString();
}

QString RSSChannel::urlForType(ChannelType type)
{
    switch (type) {
    case Najwazniejsze: return feedServerUrl + QStringLiteral("/pub/mobi_lg/out/kr_najwazniejsze.xml");
    case Najnowsze: return feedServerUrl + QStringLiteral("/pub/mobi_lg/out/kr_najnowsze.xml");
    case Kraj: return feedServerUrl + QStringLiteral("/pub/mobi_lg/out/kraj.xml");
    case Swiat: return feedServerUrl + QStringLiteral("/pub/mobi_lg/out/kr_swiat.xml");
    case Sport: return feedServerUrl + QStringLiteral("/pub/mobi_lg/out/kr_sport.xml");
    case Gospodarka: return feedServerUrl + QStringLiteral("/pub/mobi_lg/out/gospodarka.xml");
    case Komentarze: return feedServerUrl + QStringLiteral("/pub/mobi_lg/out/kr_komentarze.xml");
    case Kultura: return feedServerUrl + QStringLiteral("/pub/mobi_lg/out/kr_kultura.xml");
    case Fotoplan: return portalServerUrl + QStringLiteral("/pub/rss/fotoplan.xml");
    case Teczka: break;
    }
    return QString();
}

RSSChannel::ChannelType RSSChannel::getType() const { return id; }
QString RSSChannel::getTitle() const { return title; }
bool RSSChannel::isActive() { return active; }
void RSSChannel::setActive(bool value) { active = value; }

int RSSChannel::getUnreadArticlesCount() const
{
    if (id == Fotoplan)
        return -1;
    return int(std::count_if(articles.begin(), articles.end(), [](const Article* a) { return !a->articleWasRead; }));
}

bool RSSChannel::isUpdating()
{
    return downloader && (downloader->getStatus() == Http::STATE_READY || downloader->getStatus() == Http::STATE_RUNNING);
}

QString RSSChannel::getInfoText() const
{
    if (lastUpdateTime.toSecsSinceEpoch() != 0)
        return QStringLiteral("<b>") + title + lastUpdateTime.toString(QStringLiteral("'</b>, 'dd-MM-yyyy, hh:mm"));
    return QStringLiteral("<b>") + title + QStringLiteral("</b>");
}

void RSSChannel::markArticleAsRead(Article& art)
{
    for (Article* a : articles) {
        if (*a == art) {
            a->articleWasRead = true;
            saveToFile();
        }
    }
    art.articleWasRead = true;
}

QString RSSChannel::cacheName() const
{
    return QStringLiteral("rss") + title;
}

void RSSChannel::updateArticles(bool readFromDiskOnly)
{
    if (needsReadFromFile) {
        loadFromFile();
        needsReadFromFile = false;
    }
    if (readFromDiskOnly) {
        emit infoChanged(getInfoText());
        articlesDidChange(false);
        return;
    }
    if (!needsUpdate) {
        emit updateChanged();
        return;
    }
    if (id == Fotoplan)
        return;
    if (downloader) {
        leaveQueue();
        downloader->deleteLater();
        downloader = nullptr;
    }
    downloader = Http::createGETrequest(xmlUrl, QString());
    downloader->setTimeout(feedTimeout);
    connect(downloader, &Http::statusChanged, this, &RSSChannel::downloaderStateChanged);
    DownloadService::instance()->enqueue(feedQueue, downloader);
    emit updateChanged();
}

// The request leaves the shared queue; when it was the running one, the next waiting one starts.
void RSSChannel::leaveQueue()
{
    if (DownloadService* service = DownloadService::existing())
        service->release(feedQueue, downloader);
}

bool RSSChannel::isDownloadingNow() const
{
    const DownloadService* service = DownloadService::existing();
    return downloader && service && service->current(feedQueue) == downloader;
}

void RSSChannel::downloaderStateChanged(Http* h)
{
    const int state = h->getStatus();
    if (state == Http::STATE_READY || state == Http::STATE_RUNNING) {
        emit updateChanged();
        return;
    }
    if (state == Http::STATE_COMPLETED) {
        ArticleParser parser;
        if (parser.parse(h->getResponseAsBytes())) {
            mergeFeed(*parser.getParserArticles());
            lastUpdateTime = QDateTime::currentDateTime();
            emit infoChanged(getInfoText());
            articlesDidChange(true);
        } else {
            articlesDidChange(false);
        }
    } else {
        articlesDidChange(false);
    }
    if (isDownloadingNow())
        leaveQueue();
    if (h == downloader) {
        h->deleteLater();
        downloader = nullptr;
    }
    emit updateChanged();
}

void RSSChannel::mergeFeed(const QVector<Article*>& parsed)
{
    for (Article* a : articles)
        a->markAsOld();
    for (const Article* fresh : parsed) {
        auto same = std::find_if(articles.begin(), articles.end(), [fresh](const Article* a) { return *a == *fresh; });
        if (same != articles.end()) {
            (*same)->updateFrom(*fresh, false);
        } else {
            Article* added = new Article(this);
            added->updateFrom(*fresh, false);
            articles.append(added);
        }
    }
}

void RSSChannel::articlesDidChange(bool value)
{
    if (value) {
        // Stable: articles whose order ties keep the feed's own order.
        std::stable_sort(articles.begin(), articles.end(), articleLessThan);
        if (articles.size() > maxArticles)
            articles.resize(maxArticles);
        saveToFile();
    }
    emit articlesUpadted(articles);
}

// Every step leaves a complete list on disk: ".new" is whole before anything moves, each
// rename replaces its target at once, and only a main file that decodes whole becomes the
// backup. When ".new" cannot take the main file's place it stays, and is read first.
bool RSSChannel::saveToFile()
{
    const QString name = cacheName();
    const QString path = File::createPathToResource(name);
    const QString oldPath = path + QStringLiteral(".old");
    const QString newPath = path + QStringLiteral(".new");
    if (!saveToFile(name + QStringLiteral(".new")))
        return false;
    if (mainFile == Unknown)
        mainFile = RSSChannel(id, nullptr).loadFromFile(name) ? Whole : Damaged;
    if (mainFile == Whole) {
        File::clearWayFor(oldPath);
        renameOver(path, oldPath);
    } else {
        File::clearWayFor(path); // a damaged main file is never pushed over the backup
    }
    if (!renameOver(newPath, path))
        return true; // the whole list waits in ".new"
    mainFile = Whole;
    return true;
}

bool RSSChannel::renameOver(const QString& from, const QString& to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool RSSChannel::saveToFile(const QString& name)
{
    File* f = File::createFileToWrite(File::createPathToResource(name));
    f->open();
    bool ok = true;
    try {
        f->writeByte('R');
        f->writeByte('S');
        f->writeByte('S');
        f->writeByte(cacheVersion);
        const int count = qMin(articles.size(), maxArticles);
        f->writeUByte(static_cast<unsigned char>(count));
        for (int i = 0; i < count; ++i)
            articles.at(i)->saveToFile(f, i);
        f->writeUInt(static_cast<unsigned int>(lastUpdateTime.toSecsSinceEpoch()));
    } catch (int) {
        ok = false;
    }
    if (!f->close())
        ok = false;
    delete f;
    return ok;
}

// A ".new" exists only whole (it is written aside and renamed) and is newer than the main
// file, which a save moves only after ".new" is complete; ".old" is the oldest.
void RSSChannel::loadFromFile()
{
    const QString name = cacheName();
    if (loadFromFile(name + QStringLiteral(".new"))) {
        mainFile = Unknown;
        return;
    }
    const bool mainLoaded = loadFromFile(name);
    mainFile = mainLoaded ? Whole : Damaged;
    if (!mainLoaded)
        loadFromFile(name + QStringLiteral(".old"));
}

// Takes the list only when the file decodes whole: the known version, as many records as
// its count says, and nothing after the last update time.
bool RSSChannel::loadFromFile(const QString& name)
{
    articles.clear();
    File* f = File::createFileToRead(File::createPathToResource(name), maxCacheBytes);
    f->open();
    bool ok = true;
    QDateTime updated;
    try {
        const char r = f->readByte();
        const char s1 = f->readByte();
        const char s2 = f->readByte();
        if (r != 'R' || s1 != 'S' || s2 != 'S')
            throw -1;
        if (f->readByte() != cacheVersion)
            throw -1;
        const int count = f->readUByte();
        if (count > maxArticles)
            throw -1;
        for (int i = 0; i < count; ++i) {
            Article* article = new Article(this);
            articles.append(article);
            article->loadFromFile(f);
        }
        updated = QDateTime::fromSecsSinceEpoch(f->readUInt());
        if (f->bytesLeft() != 0)
            throw -1;
    } catch (int) {
        ok = false;
    } catch (QObject*) {
        ok = false;
    }
    f->close();
    delete f;
    if (!ok) {
        // Nothing outside knows the half-read articles yet.
        qDeleteAll(articles);
        articles.clear();
        return false;
    }
    lastUpdateTime = updated;
    emit infoChanged(getInfoText());
    return true;
}
