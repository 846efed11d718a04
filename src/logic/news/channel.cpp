#include "logic/news/channel.h"

#include <QFile>
#include <QHash>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "logic/news/articleparser.h"
#include "logic/base/constants.h"
#include "logic/base/file.h"
#include "logic/net/downloadservice.h"
#include "logic/net/request.h"

static const int feedTimeout = 5000;
static const char cacheVersion = 1;
// A slice of reading a feed: well within a frame, so that the screen keeps moving.
static const int sliceMs = 5;
// The download service's queue all channels share: one feed download at a time.
static const QString feedQueue = QStringLiteral("feeds");

namespace {

// What one feed brings to a channel, cut as it is read to what the channel can hold: an article
// that `keep` others of the same feed come before in the channel's order can never be shown, and is
// let go at once. The order is the one of the merge that keeps every article: the channel's list,
// then the feed's new articles as they first appear, sorted stably with articleLessThan.
// An article the feed repeats takes the fields of its last copy; as that can move it down and let
// one already let go come back, such a feed is given a second pass that takes only last copies.
class FeedMerge
{
public:
    FeedMerge(const QVector<Article*>& current, int keep, bool owning)
        : keep(keep), owning(owning), currentCount(current.size())
    {
        for (int i = current.size() - 1; i >= 0; --i)
            currentPosition.insert(current.at(i)->xx, i); // the first of equal ones, as a search finds it
    }

    ~FeedMerge()
    {
        for (int index : candidates)
            drop(entries[size_t(index)].fresh);
    }

    FeedMerge(const FeedMerge&) = delete;
    FeedMerge& operator=(const FeedMerge&) = delete;

    // The articles of the feed in document order; a repeated one replaces what came before it.
    void add(Article* fresh)
    {
        ++occurrence;
        int index = slotOf.value(fresh->xx, -1);
        if (index < 0) {
            index = int(entries.size());
            const int existing = currentPosition.value(fresh->xx, -1);
            entries.push_back({existing >= 0 ? existing : currentCount + added++, nullptr, 0});
            slotOf.insert(fresh->xx, index);
        } else if (!secondPass) {
            repeated = true;
        }
        Slot& slot = entries[size_t(index)];
        if (secondPass && slot.lastOccurrence != occurrence) {
            drop(fresh);
            return;
        }
        slot.lastOccurrence = occurrence;
        if (slot.fresh) {
            candidates.removeOne(index);
            drop(slot.fresh);
            slot.fresh = nullptr;
        }
        if (candidates.size() >= keep && !comesBefore(fresh, slot.position, candidates.last())) {
            drop(fresh);
            return;
        }
        slot.fresh = fresh;
        auto at = std::upper_bound(candidates.begin(), candidates.end(), index, [this](int a, int b) {
            return comesBefore(entries[size_t(a)].fresh, entries[size_t(a)].position, b);
        });
        candidates.insert(at, index);
        if (candidates.size() > keep) {
            Slot& last = entries[size_t(candidates.takeLast())];
            drop(last.fresh);
            last.fresh = nullptr;
        }
    }

    bool needsSecondPass() const { return repeated && !secondPass; }

    // The feed is given again from its start; only the last copy of each article counts.
    void beginSecondPass()
    {
        for (int index : candidates) {
            drop(entries[size_t(index)].fresh);
            entries[size_t(index)].fresh = nullptr;
        }
        candidates.clear();
        occurrence = 0;
        secondPass = true;
    }

    // Marks the channel's articles old, updates those the feed still holds and adds its new ones.
    void applyTo(QVector<Article*>& articles, QObject* parent)
    {
        QHash<int, Article*> byXx;
        for (int i = articles.size() - 1; i >= 0; --i)
            byXx.insert(articles.at(i)->xx, articles.at(i));
        for (Article* a : articles)
            a->markAsOld();
        QVector<QPair<int, Article*>> fresh;
        for (int index : candidates) {
            const Slot& slot = entries[size_t(index)];
            if (Article* same = byXx.value(slot.fresh->xx)) {
                same->updateFrom(*slot.fresh, false);
            } else {
                Article* article = new Article(parent);
                article->updateFrom(*slot.fresh, false);
                fresh.append({slot.position, article});
            }
        }
        std::sort(fresh.begin(), fresh.end(), [](const QPair<int, Article*>& a, const QPair<int, Article*>& b) {
            return a.first < b.first;
        });
        for (const auto& f : fresh)
            articles.append(f.second);
    }

private:
    struct Slot
    {
        int position; // in the merged list before sorting
        Article* fresh; // the feed's article while it may still be shown
        int lastOccurrence; // of the article in the feed, counted from 1
    };

    bool comesBefore(const Article* a, int positionOfA, int candidate) const
    {
        const Slot& b = entries[size_t(candidate)];
        if (articleLessThan(a, b.fresh))
            return true;
        return !articleLessThan(b.fresh, a) && positionOfA < b.position;
    }

    void drop(Article* a)
    {
        if (owning)
            delete a;
    }

    const int keep;
    const bool owning;
    const int currentCount;
    int added = 0;
    int occurrence = 0;
    bool repeated = false;
    bool secondPass = false;
    QHash<int, int> currentPosition;
    QHash<int, int> slotOf;
    std::vector<Slot> entries;
    QVector<int> candidates; // slots with an article, best first; at most `keep`
};

} // namespace

struct RSSChannel::FeedRead
{
    FeedRead(const QByteArray& feed, const QVector<Article*>& current)
        : bytes(feed), merge(current, RSSChannel::maxArticles, true)
    {
        parser.setArticleSink([this](Article* a) { merge.add(a); });
        parser.begin(bytes);
    }

    const QByteArray bytes;
    FeedMerge merge;
    ArticleParser parser;
};

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

QString RSSChannel::failedRefreshText()
{
    return tr("Nie udało się pobrać nowych wiadomości. Sprawdź połączenie z Internetem i spróbuj ponownie.");
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
    if (reading)
        return true;
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
    bool listed = false;
    for (Article* a : articles)
        listed = listed || *a == art;
    if (!listed) {
        art.articleWasRead = true;
        return;
    }
    if (!unsavedReadMarks.contains(art.xx))
        unsavedReadMarks.append(art.xx);
    // art may be a screen's copy of the listed article: it shows what the file holds.
    if (saveReadMarks())
        art.articleWasRead = true;
}

// A read mark shows only once the file holds it; one that could not be written waits and
// is tried again when the list is next shown or marked.
bool RSSChannel::saveReadMarks()
{
    QVector<Article*> marked;
    for (Article* a : articles) {
        if (!a->articleWasRead && unsavedReadMarks.contains(a->xx)) {
            a->articleWasRead = true;
            marked.append(a);
        }
    }
    if (marked.isEmpty() || saveToFile()) {
        unsavedReadMarks.clear();
        return true;
    }
    for (Article* a : marked)
        a->articleWasRead = false;
    return false;
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
    if (!unsavedReadMarks.isEmpty())
        saveReadMarks();
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
    updateFailed = false;
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
        startReading(h->getResponseAsBytes());
    } else {
        updateFailed = true;
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
    FeedMerge merge(articles, maxArticles, false);
    for (Article* fresh : parsed)
        merge.add(fresh);
    if (merge.needsSecondPass()) {
        merge.beginSecondPass();
        for (Article* fresh : parsed)
            merge.add(fresh);
    }
    merge.applyTo(articles, this);
}

// The newest feed wins: one still being read is given up. The first slice runs at once, so a
// feed of usual size is merged before this returns.
void RSSChannel::startReading(const QByteArray& feed)
{
    reading.reset(new FeedRead(feed, articles));
    if (!nextSlice) {
        nextSlice = new QTimer(this);
        nextSlice->setSingleShot(true);
        nextSlice->setInterval(0);
        connect(nextSlice, &QTimer::timeout, this, [this] {
            if (!continueReading())
                emit updateChanged();
        });
    }
    nextSlice->stop();
    continueReading();
}

// Reads one slice; true while more is left (the next slice is then due from the event loop).
bool RSSChannel::continueReading()
{
    if (!reading)
        return false;
    if (reading->parser.readSome(sliceMs)) {
        nextSlice->start();
        return true;
    }
    if (reading->parser.succeeded() && reading->merge.needsSecondPass()) {
        reading->merge.beginSecondPass();
        reading->parser.begin(reading->bytes);
        nextSlice->start();
        return true;
    }
    const std::unique_ptr<FeedRead> done = std::move(reading);
    if (done->parser.succeeded()) {
        done->merge.applyTo(articles, this);
        lastUpdateTime = QDateTime::currentDateTime();
        emit infoChanged(getInfoText());
        articlesDidChange(true);
    } else {
        updateFailed = true;
        articlesDidChange(false);
    }
    return false;
}

void RSSChannel::articlesDidChange(bool value)
{
    if (value) {
        // Stable: articles whose order ties keep the feed's own order.
        std::stable_sort(articles.begin(), articles.end(), articleLessThan);
        if (articles.size() > maxArticles) {
            // Screens drop the cut articles when they take the new list; nothing else points at them.
            for (int i = maxArticles; i < articles.size(); ++i)
                articles.at(i)->deleteLater();
            articles.resize(maxArticles);
        }
        saveToFile();
    }
    emit articlesUpadted(articles);
}

// A copy that could not be read or decoded is never written over: a cache sets it aside, the
// briefcase (keepsUnreadable) saves nothing while its newest copies could not be read.
bool RSSChannel::saveToFile()
{
    return StoredCopies::save(File::createPathToResource(cacheName()), copies,
                              [this](int copy) { return stateOf(copy); }, keepsUnreadable(),
                              [this](const QString&) { return saveToFile(cacheName() + QLatin1String(".new")); });
}

CopyState RSSChannel::stateOf(int copy)
{
    if (copies[copy] == CopyUnknown) {
        copies[copy] = RSSChannel(id, nullptr).readCopy(cacheName() + QLatin1String(StoredCopies::suffix(copy)));
    }
    return copies[copy];
}

bool RSSChannel::newestCopyUnreadable()
{
    return stateOf(NewCopy) == CopyUnreadable || stateOf(MainCopy) == CopyUnreadable;
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
    copies[NewCopy] = copies[MainCopy] = copies[OldCopy] = CopyUnknown;
    if ((copies[NewCopy] = readCopy(name + QStringLiteral(".new"))) == CopyWhole)
        return;
    if ((copies[MainCopy] = readCopy(name)) == CopyWhole)
        return;
    copies[OldCopy] = readCopy(name + QStringLiteral(".old"));
}

bool RSSChannel::loadFromFile(const QString& name)
{
    return readCopy(name) == CopyWhole;
}

// Takes the list only when the file decodes whole: the known version, as many records as
// its count says, and nothing after the last update time.
CopyState RSSChannel::readCopy(const QString& name)
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
    const File::ReadResult read = f->getReadResult();
    f->close();
    delete f;
    if (!ok) {
        // Nothing outside knows the half-read articles yet.
        qDeleteAll(articles);
        articles.clear();
        return read == File::Missing ? CopyAbsent : File::unreadable(read) ? CopyUnreadable : CopyDamaged;
    }
    lastUpdateTime = updated;
    emit infoChanged(getInfoText());
    return CopyWhole;
}
