#include <QCoreApplication>
#include <QRandomGenerator>
#include <QVector>
#include <benchmark/benchmark.h>

#include "logic/news/article.h"
#include "logic/news/articlesearch.h"
#include "logic/news/channel.h"

// Search over 3 000 stored articles (ten times what the program keeps), beside the floor of a
// plain scan over the same text, folded beforehand.
namespace {

const int articleCount = 3000;

// Polish words, with their diacritics, and a tail of rarer ones so that the vocabulary grows
// as a newspaper's does.
const char* const common[] = {"rząd", "sejm", "ustawa", "prezydent", "wybory", "Łódź", "Kraków", "Gdańsk", "żółw",
                              "mecz", "reprezentacja", "gospodarka", "inflacja", "złoty", "podatek", "szkoła",
                              "szpital", "pogoda", "śnieg", "mróz", "kolej", "tramwaj", "samorząd", "minister",
                              "Wisła", "Warszawa", "święta", "kultura", "teatr", "film", "książka", "muzyka",
                              "policja", "sąd", "wyrok", "budżet", "emerytura", "praca", "płaca", "ceny"};
const char* const joints[] = {"i", "w", "z", "na", "do", "że", "nie", "się", "o", "po", "od", "jak", "dla"};

QString word(QRandomGenerator& random)
{
    const quint32 pick = random.bounded(100);
    if (pick < 35)
        return QString::fromUtf8(joints[random.bounded(int(sizeof joints / sizeof *joints))]);
    if (pick < 80)
        return QString::fromUtf8(common[random.bounded(int(sizeof common / sizeof *common))]);
    // A rarer word: a stem and an ending, some thousands of them in all.
    static const char* const endings[] = {"owie", "ach", "ami", "ą", "ę", "ów", "em", "ski", "cka", "ość"};
    return QStringLiteral("słowo%1").arg(random.bounded(4000)) + QString::fromUtf8(endings[random.bounded(10)]);
}

QString sentence(QRandomGenerator& random, int words)
{
    QStringList parts;
    for (int i = 0; i < words; ++i)
        parts << word(random);
    return parts.join(QLatin1Char(' '));
}

struct Store {
    RSSChannel channel{RSSChannel::Kraj, nullptr};
    QVector<Article*> articles;
    ArticleSearch index;
    QStringList folded;

    Store()
    {
        QRandomGenerator random(26);
        for (int i = 0; i < articleCount; ++i) {
            Article* a = new Article();
            a->xx = 10000 + i;
            a->date = QStringLiteral("%1-11-2026, %2:00").arg(1 + i % 28, 2, 10, QLatin1Char('0')).arg(i % 24, 2, 10, QLatin1Char('0'));
            a->title = sentence(random, 8);
            a->lead = sentence(random, 30);
            a->signature = QStringLiteral("Autor %1").arg(i % 50);
            QString body;
            for (int p = 0; p < 6; ++p)
                body += QStringLiteral("<p>") + sentence(random, 60) + QStringLiteral("</p>");
            a->content = body;
            articles << a;
            folded << ArticleSearch::fold(a->title + QLatin1Char(' ') + a->signature + QLatin1Char(' ') + a->lead
                                          + QLatin1Char(' ') + ArticleSearch::plainBody(a->content));
        }
        index.update(&channel, articles);
    }
    ~Store() { qDeleteAll(articles); }
};

Store& store()
{
    static Store s;
    return s;
}

const QStringList queries = {"zolw", "lodz tramwaj", "sejm ustaw", "slowo12", "inflacja zloty podatek", "k",
                             "mroz snieg swieta", "nieznane"};

void BM_Search(benchmark::State& state)
{
    Store& s = store();
    int hits = 0;
    for (auto _ : state) {
        for (const QString& q : queries)
            hits += s.index.search(q).size();
    }
    benchmark::DoNotOptimize(hits);
    // Seconds a query (printed with an SI prefix: m, u).
    state.counters["s/query"] = benchmark::Counter(double(queries.size()),
                                                   benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["index MB"] = double(s.index.indexBytes()) / (1024 * 1024);
    state.counters["text MB"] = double(s.index.textBytes()) / (1024 * 1024);
    state.counters["index/text"] = double(s.index.indexBytes()) / double(s.index.textBytes());
}
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond);

// The floor: every word of the query looked for as a word start in each article's folded text.
void BM_FoldedScanFloor(benchmark::State& state)
{
    Store& s = store();
    int hits = 0;
    for (auto _ : state) {
        for (const QString& q : queries) {
            const QStringList words = ArticleSearch::queryWords(q);
            for (const QString& text : s.folded) {
                bool all = true;
                for (const QString& w : words) {
                    int at = text.indexOf(w);
                    while (at > 0 && text.at(at - 1).isLetterOrNumber())
                        at = text.indexOf(w, at + 1);
                    if (at < 0) {
                        all = false;
                        break;
                    }
                }
                hits += all;
            }
        }
    }
    benchmark::DoNotOptimize(hits);
    // Seconds a query (printed with an SI prefix: m, u).
    state.counters["s/query"] = benchmark::Counter(double(queries.size()),
                                                   benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FoldedScanFloor)->Unit(benchmark::kMillisecond);

// What following a refresh costs: one channel of 30 articles replaced in the full index.
void BM_RefreshOneChannel(benchmark::State& state)
{
    Store& s = store();
    RSSChannel other(RSSChannel::Sport, nullptr);
    QVector<Article*> first = s.articles.mid(0, 30);
    QVector<Article*> second = s.articles.mid(30, 30);
    bool flip = false;
    for (auto _ : state) {
        s.index.update(&other, flip ? first : second);
        flip = !flip;
    }
    s.index.update(&other, {});
}
BENCHMARK(BM_RefreshOneChannel)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
