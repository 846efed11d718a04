#include <QApplication>
#include <QBuffer>
#include <QDirIterator>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QXmlStreamReader>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>
#include <benchmark/benchmark.h>

#include "logic/news/article.h"
#include "logic/news/articleparser.h"
#include "logic/news/photo.h"
#include "logic/news/channel.h"
#include "logic/news/briefcasestore.h"
#include "screens/articlelist/articleitemdelegate.h"
#include "screens/articlelist/articlelistmodel.h"
#include "bench/newsdata.h"
#include "logic/base/constants.h"
#include "logic/base/file.h"
#include "logic/base/json.h"

// The news path from the wire to the screen, each beside the floor it is measured against.
namespace {

double residentMB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * double(getpagesize()) / (1024 * 1024) : 0;
}

class RefreshedChannel : public RSSChannel
{
public:
    explicit RefreshedChannel(ChannelType type = RSSChannel::Kraj) : RSSChannel(type, nullptr) {}
    using RSSChannel::mergeFeed;

    // What a completed download starts, its slices run back to back; with `resident`, the most
    // memory the process held between slices, with `longest`, the longest slice (the first and
    // the last, which merges, included).
    bool read(const QByteArray& feed, double* resident = nullptr, double* longest = nullptr)
    {
        bool merged = false;
        const QMetaObject::Connection c = connect(this, &RSSChannel::infoChanged, [&merged] { merged = true; });
        QElapsedTimer slice;
        slice.start();
        startReading(feed);
        for (bool more = true; more;) {
            if (longest)
                *longest = qMax(*longest, slice.nsecsElapsed() / 1e6);
            if (resident)
                *resident = qMax(*resident, residentMB());
            slice.start();
            more = continueReading();
        }
        disconnect(c);
        return merged;
    }
};

// Up to a thousand articles, the publisher's usual ones with two photos each; beyond, lean ones
// (100 000 make about 14 MB).
QByteArray benchFeed(int count, int firstXx)
{
    return count <= 1000 ? NewsData::feed(count, firstXx) : NewsData::longFeed(count, firstXx);
}

double peakMB()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

void reportPeakMemory(benchmark::State& state)
{
    state.counters["peak_RSS_MB"] = peakMB();
}

// One refresh as a completed download runs it: parse, merge into a full list, sort, cut, save.
void channelRefresh(benchmark::State& state)
{
    const int count = int(state.range(0));
    // Two feeds half of whose articles are the same, so every refresh brings new ones.
    const QByteArray feeds[2] = {benchFeed(count, 1000), benchFeed(count, 1000 + count / 2)};
    RefreshedChannel channel;
    // What reading adds to the memory: the most held between slices above what the process held
    // with the feeds in hand.
    malloc_trim(0); // what making the feeds freed goes back to the system first
    const double before = residentMB();
    double during = before;
    double longest = 0;
    channel.read(feeds[1], &during, &longest);
    int turn = 0;
    for (auto _ : state) {
        if (!channel.read(feeds[turn]))
            state.SkipWithError("feed did not parse");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        turn ^= 1;
    }
    state.SetBytesProcessed(state.iterations() * feeds[0].size());
    state.counters["feed_MB"] = double(feeds[0].size()) / (1024 * 1024);
    state.counters["reading_adds_MB"] = during - before;
    state.counters["longest_slice_ms"] = longest;
}

void xmlStreamFloor(benchmark::State& state)
{
    const QByteArray feed = benchFeed(int(state.range(0)), 1000);
    for (auto _ : state) {
        QXmlStreamReader reader(feed);
        qsizetype text = 0;
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::Characters)
                text += reader.text().size();
        }
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * feed.size());
    reportPeakMemory(state);
}

QImage picture(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 5 + seed * 31) & 255, (y * 3 + seed) & 255, (x ^ y) & 255));
    return image;
}

const RSSChannel::ChannelType newsChannels[] = {
    RSSChannel::Najwazniejsze, RSSChannel::Najnowsze, RSSChannel::Kraj, RSSChannel::Swiat, RSSChannel::Sport,
    RSSChannel::Gospodarka, RSSChannel::Komentarze, RSSChannel::Kultura, RSSChannel::Fotoplan};

// Nine full channel caches and a full briefcase with its thumbnails and photos on disk.
void writeFullCaches()
{
    int firstXx = 1000;
    for (RSSChannel::ChannelType type : newsChannels) {
        RefreshedChannel channel(type);
        ArticleParser parser;
        parser.parse(NewsData::feed(RSSChannel::maxArticles, firstXx));
        firstXx += 100;
        channel.mergeFeed(*parser.getParserArticles());
        channel.articlesDidChange(true);
    }
    SavedArticles briefcase(nullptr);
    ArticleParser parser;
    parser.parse(NewsData::feed(RSSChannel::maxArticles, 9000));
    const QVector<Article*>& parsed = *parser.getParserArticles();
    for (int i = 0; i < parsed.size(); ++i) {
        Article* a = parsed.at(i);
        a->thumbnailImage = picture(84, 78, i);
        for (Photo* p : a->photos) {
            p->image = QPixmap::fromImage(picture(320, 240, p->xx));
            QBuffer buffer(&p->data);
            buffer.open(QIODevice::WriteOnly);
            p->image.save(&buffer, "JPG");
        }
        briefcase.addArticle(*a);
    }
    for (Article* a : briefcase.getArticles())
        a->saveImages();
}

QStringList cacheFiles()
{
    QStringList files;
    QDirIterator it(NewsData::dataDir(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

// What the start-up reads: every channel's cache and the briefcase with its thumbnails.
void startUp(benchmark::State& state)
{
    for (auto _ : state) {
        int articles = 0;
        QList<RSSChannel*> channels;
        for (RSSChannel::ChannelType type : newsChannels) {
            RSSChannel* channel = new RSSChannel(type, nullptr);
            channel->updateArticles(true);
            articles += channel->getArticles().size();
            channels << channel;
        }
        SavedArticles* briefcase = new SavedArticles(nullptr);
        articles += briefcase->getArticles().size();
        if (articles != 10 * RSSChannel::maxArticles)
            state.SkipWithError("caches did not load");
        delete briefcase;
        qDeleteAll(channels);
    }
}

void readCachesFloor(benchmark::State& state)
{
    QStringList files;
    for (const QString& path : cacheFiles()) {
        // The photos stay on disk until an article opens.
        if (!path.contains(QLatin1String("/teczka/photo")))
            files << path;
    }
    qint64 bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const QString& path : files) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            bytes += file.readAll().size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["files"] = files.size();
}

QVector<Article*> listArticles(QObject* owner, int count)
{
    ArticleParser parser;
    parser.parse(NewsData::feed(count, 1000));
    QVector<Article*> articles;
    for (const Article* a : *parser.getParserArticles()) {
        Article* copy = new Article(owner);
        copy->updateFrom(*a, false);
        articles << copy;
    }
    return articles;
}

// Breaking 100 titles and leads into the lines of their rows, as a turn of the phone does.
void breakTitlesAndLeads(benchmark::State& state)
{
    QObject owner;
    ArticleListModel model(nullptr, nullptr);
    model.articlesUpdated(listArticles(&owner, 100));
    int width = 480;
    for (auto _ : state) {
        width = width == 480 ? 854 : 480;
        model.widgetWidthChanged(width);
    }
    state.SetItemsProcessed(state.iterations() * 100);
}

// Painting 100 article rows, screenful by screenful, into the list's picture.
void paintArticleRows(benchmark::State& state)
{
    QObject owner;
    ArticleListModel model(nullptr, nullptr);
    model.articlesUpdated(listArticles(&owner, 100));
    model.widgetWidthChanged(480);
    ArticleItemDelegate delegate(nullptr);
    QImage screen(480, 854, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&screen);
        QStyleOptionViewItem option;
        for (int row = 0; row < 100; ++row) {
            option.rect = QRect(0, (row % 8) * 100, 480, 100);
            delegate.paint(&painter, option, model.index(row));
        }
    }
    state.SetItemsProcessed(state.iterations() * 100);
}

// The floor for painting them: the rows' backgrounds and their lines of text, nothing more.
void paintRowsFloor(benchmark::State& state)
{
    QObject owner;
    ArticleListModel model(nullptr, nullptr);
    model.articlesUpdated(listArticles(&owner, 100));
    model.widgetWidthChanged(480);
    QStringList titles, leads;
    for (int row = 0; row < 100; ++row) {
        titles << model.index(row).data(ItemMainTextRole).toString();
        leads << model.index(row).data(ItemSubTextRole).toString();
    }
    QFont titleFont(QStringLiteral("Helvetica"));
    titleFont.setWeight(QFont::Bold);
    titleFont.setPixelSize(20);
    QFont leadFont(QStringLiteral("Helvetica"));
    leadFont.setPixelSize(20);
    QImage screen(480, 854, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&screen);
        for (int row = 0; row < 100; ++row) {
            const int y = (row % 8) * 100;
            painter.fillRect(0, y, 480, 100, Qt::white);
            painter.setFont(titleFont);
            painter.drawText(QRect(100, y + 8, 362, 44), Qt::AlignLeft | Qt::AlignTop, titles.at(row));
            painter.setFont(leadFont);
            painter.drawText(QRect(100, y + 52, 362, 41), Qt::AlignLeft | Qt::AlignBottom, leads.at(row));
        }
    }
    state.SetItemsProcessed(state.iterations() * 100);
}

void jsonParse(benchmark::State& state)
{
    const QString reply = QString::fromUtf8(NewsData::adReply(100 * 1024));
    for (auto _ : state) {
        bool ok = false;
        const QVariant v = Json::parse(reply, ok);
        if (!ok)
            state.SkipWithError("reply did not parse");
        benchmark::DoNotOptimize(v);
    }
    state.SetBytesProcessed(state.iterations() * reply.size());
}

void qtJsonFloor(benchmark::State& state)
{
    const QString reply = QString::fromUtf8(NewsData::adReply(100 * 1024));
    for (auto _ : state) {
        // The same text as Json::parse gets, turned into the same kind of values.
        const QVariant v = QJsonDocument::fromJson(reply.toUtf8()).toVariant();
        benchmark::DoNotOptimize(v);
    }
    state.SetBytesProcessed(state.iterations() * reply.size());
}

} // namespace

BENCHMARK(xmlStreamFloor)->Arg(30)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(channelRefresh)->Arg(30)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(readCachesFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(startUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(paintRowsFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(paintArticleRows)->Unit(benchmark::kMicrosecond);
BENCHMARK(breakTitlesAndLeads)->Unit(benchmark::kMicrosecond);
BENCHMARK(qtJsonFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(jsonParse)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    NewsData::useTemporaryData();
    QApplication application(argc, argv);
    writeFullCaches();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
