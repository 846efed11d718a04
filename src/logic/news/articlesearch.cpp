#include "logic/news/articlesearch.h"

#include <QDateTime>
#include <QSet>
#include <algorithm>

#include "logic/news/channel.h"

// A posting packs the document's number with the fields the word stands in.
static inline quint32 pack(int doc, quint8 fields)
{
    return quint32(doc) << 4 | fields;
}
static inline int docOf(quint32 posting)
{
    return int(posting >> 4);
}
static inline quint8 fieldsOf(quint32 posting)
{
    return quint8(posting & 0xf);
}

// The best field a word was found in decides what it adds to a hit's score.
static int weight(quint8 fields)
{
    if (fields & ArticleSearch::Title)
        return 8;
    if (fields & ArticleSearch::Author)
        return 4;
    if (fields & ArticleSearch::Lead)
        return 2;
    return fields ? 1 : 0;
}

static inline QChar foldChar(QChar c)
{
    const ushort u = c.unicode();
    if (u < 128)
        return (u >= 'A' && u <= 'Z') ? QChar(u + 32) : c;
    // Ł does not decompose.
    if (u == 0x141 || u == 0x142)
        return QLatin1Char('l');
    if (c.decompositionTag() == QChar::Canonical)
        c = c.decomposition().at(0);
    return c.toLower();
}

static inline bool isWordChar(QChar c)
{
    return c.isLetterOrNumber();
}

// Calls f(start, length) for every word of a folded text.
template <typename F> static void forEachWord(const QString& folded, F f)
{
    const int n = folded.size();
    int i = 0;
    while (i < n) {
        while (i < n && !isWordChar(folded.at(i)))
            ++i;
        const int start = i;
        while (i < n && isWordChar(folded.at(i)))
            ++i;
        if (i > start)
            f(start, i - start);
    }
}

ArticleSearch::ArticleSearch(QObject* parent) : QObject(parent)
{
}

QString ArticleSearch::fold(const QString& text)
{
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    for (QChar c : text)
        *out++ = foldChar(c);
    return folded;
}

QStringList ArticleSearch::queryWords(const QString& query)
{
    const QString folded = fold(query);
    QStringList words;
    forEachWord(folded, [&](int start, int length) {
        const QString word = folded.mid(start, length);
        if (!words.contains(word))
            words << word;
    });
    return words;
}

QString ArticleSearch::plainBody(const QString& html)
{
    QString text;
    text.reserve(html.size());
    const int n = html.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            const int end = html.indexOf(QLatin1Char('>'), i);
            if (end < 0)
                break;
            i = end;
            text += QLatin1Char(' ');
        } else if (c == QLatin1Char('&')) {
            // An entity stands for one character at most; the words around it stay apart.
            int end = i + 1;
            while (end < n && end - i < 10 && (html.at(end).isLetterOrNumber() || html.at(end) == QLatin1Char('#')))
                ++end;
            if (end < n && html.at(end) == QLatin1Char(';')) {
                i = end;
                text += QLatin1Char(' ');
            } else {
                text += c;
            }
        } else {
            text += c;
        }
    }
    return text;
}

QString ArticleSearch::mark(const QString& text, const QStringList& words)
{
    const QString folded = fold(text);
    QString html;
    int done = 0;
    forEachWord(folded, [&](int start, int length) {
        const QString word = folded.mid(start, length);
        const bool hit = std::any_of(words.begin(), words.end(), [&](const QString& w) { return word.startsWith(w); });
        if (!hit)
            return;
        html += text.mid(done, start - done).toHtmlEscaped();
        html += QStringLiteral("<b>") + text.mid(start, length).toHtmlEscaped() + QStringLiteral("</b>");
        done = start + length;
    });
    html += text.mid(done).toHtmlEscaped();
    return html;
}

void ArticleSearch::follow(RSSChannel* channel)
{
    connect(channel, &RSSChannel::articlesUpadted, this, &ArticleSearch::channelUpdated);
    connect(channel, &QObject::destroyed, this, [this, channel]() { update(channel, {}); });
    update(channel, channel->getArticles());
}

void ArticleSearch::channelUpdated(QVector<Article*> articles)
{
    if (RSSChannel* channel = qobject_cast<RSSChannel*>(sender()))
        update(channel, articles);
}

static uint digestOf(const Article& a)
{
    return qHash(a.title) ^ (qHash(a.lead) * 31u) ^ (qHash(a.content) * 131u) ^ (qHash(a.signature) * 1031u)
        ^ (qHash(a.date) * 10007u);
}

void ArticleSearch::update(RSSChannel* source, const QVector<Article*>& articles)
{
    QSet<int> present;
    for (const Article* a : articles)
        present.insert(a->xx);
    for (int d = 0; d < int(docs.size()); ++d) {
        if (docs[d].sources.contains(source) && !present.contains(docs[d].xx))
            removeSource(d, source);
    }
    for (const Article* a : articles) {
        const uint digest = digestOf(*a);
        auto found = docOfXx.constFind(a->xx);
        if (found != docOfXx.constEnd()) {
            Doc& doc = docs[found.value()];
            if (!doc.sources.contains(source))
                doc.sources.append(source);
            if (doc.digest != digest) {
                const int d = found.value();
                unindex(d);
                index(d, *a);
            }
            continue;
        }
        int d;
        if (!freeDocs.empty()) {
            d = freeDocs.back();
            freeDocs.pop_back();
        } else {
            d = int(docs.size());
            docs.emplace_back();
        }
        docs[d].sources = {source};
        docOfXx.insert(a->xx, d);
        ++liveDocs;
        index(d, *a);
    }
    emit changed();
}

void ArticleSearch::removeSource(int d, RSSChannel* source)
{
    Doc& doc = docs[d];
    doc.sources.removeAll(source);
    if (!doc.sources.isEmpty())
        return;
    unindex(d);
    docOfXx.remove(doc.xx);
    doc = Doc();
    freeDocs.push_back(d);
    --liveDocs;
}

int ArticleSearch::termId(const QString& word)
{
    auto found = termIds.constFind(word);
    if (found != termIds.constEnd())
        return found.value();
    const int id = int(terms.size());
    terms.push_back(word);
    postings.emplace_back();
    termIds.insert(word, id);
    termsSorted = false;
    return id;
}

void ArticleSearch::index(int d, const Article& article)
{
    Doc& doc = docs[d];
    doc.xx = article.xx;
    doc.digest = digestOf(article);
    const QDateTime when = QDateTime::fromString(article.date, QStringLiteral("dd-MM-yyyy, hh:mm"));
    doc.time = when.isValid() ? when.toSecsSinceEpoch() : 0;

    const QString body = plainBody(article.content);
    const std::pair<const QString*, Field> fields[] = {
        {&article.title, Title}, {&article.signature, Author}, {&article.lead, Lead}, {&body, Body}};
    QHash<int, quint8> found;
    doc.textSize = 0;
    for (const auto& field : fields) {
        doc.textSize += field.first->size() * qint64(sizeof(QChar));
        const QString folded = fold(*field.first);
        forEachWord(folded, [&](int start, int length) {
            found[termId(folded.mid(start, length))] |= field.second;
        });
    }
    storedText += doc.textSize;
    doc.terms.clear();
    doc.terms.reserve(size_t(found.size()));
    for (auto it = found.constBegin(); it != found.constEnd(); ++it) {
        postings[size_t(it.key())].push_back(pack(d, it.value()));
        doc.terms.push_back(it.key());
    }
}

void ArticleSearch::unindex(int d)
{
    Doc& doc = docs[d];
    for (qint32 term : doc.terms) {
        std::vector<quint32>& list = postings[size_t(term)];
        auto it = std::find_if(list.rbegin(), list.rend(), [d](quint32 p) { return docOf(p) == d; });
        if (it != list.rend())
            list.erase(std::next(it).base());
    }
    doc.terms.clear();
    doc.terms.shrink_to_fit();
    storedText -= doc.textSize;
    doc.textSize = 0;
}

void ArticleSearch::sortTerms() const
{
    if (termsSorted)
        return;
    sortedTerms.resize(terms.size());
    for (size_t i = 0; i < terms.size(); ++i)
        sortedTerms[i] = qint32(i);
    std::sort(sortedTerms.begin(), sortedTerms.end(), [this](qint32 a, qint32 b) { return terms[size_t(a)] < terms[size_t(b)]; });
    termsSorted = true;
}

QVector<ArticleSearch::Hit> ArticleSearch::search(const QString& query, int limit) const
{
    const QStringList words = queryWords(query);
    if (words.isEmpty() || liveDocs == 0)
        return {};
    sortTerms();
    std::vector<int> score(docs.size(), 0);
    std::vector<quint8> fields(docs.size(), 0);
    std::vector<int> candidates;
    bool first = true;
    for (const QString& word : words) {
        std::vector<int> touched;
        auto it = std::lower_bound(sortedTerms.begin(), sortedTerms.end(), word,
                                   [this](qint32 id, const QString& w) { return terms[size_t(id)] < w; });
        for (; it != sortedTerms.end() && terms[size_t(*it)].startsWith(word); ++it) {
            for (quint32 p : postings[size_t(*it)]) {
                const int d = docOf(p);
                if (!fields[size_t(d)])
                    touched.push_back(d);
                fields[size_t(d)] |= fieldsOf(p);
            }
        }
        // Every word must be found; a document keeps the sum of its words' best fields.
        std::vector<int> kept;
        if (first) {
            kept = touched;
        } else {
            for (int d : candidates) {
                if (fields[size_t(d)])
                    kept.push_back(d);
                else
                    score[size_t(d)] = 0;
            }
        }
        for (int d : kept)
            score[size_t(d)] += weight(fields[size_t(d)]);
        for (int d : touched)
            fields[size_t(d)] = 0;
        candidates.swap(kept);
        first = false;
        if (candidates.empty())
            return {};
    }
    QVector<Hit> hits;
    hits.reserve(int(candidates.size()));
    for (int d : candidates) {
        const Doc& doc = docs[size_t(d)];
        hits.append({doc.sources.first(), doc.xx, score[size_t(d)], doc.time});
    }
    const auto better = [](const Hit& a, const Hit& b) {
        if (a.score != b.score)
            return a.score > b.score;
        if (a.time != b.time)
            return a.time > b.time;
        return a.xx > b.xx;
    };
    if (hits.size() > limit) {
        std::partial_sort(hits.begin(), hits.begin() + limit, hits.end(), better);
        hits.resize(limit);
    } else {
        std::sort(hits.begin(), hits.end(), better);
    }
    return hits;
}

const Article* ArticleSearch::articleOf(const Hit& hit)
{
    if (!hit.source)
        return nullptr;
    for (const Article* a : hit.source->getArticles()) {
        if (a->xx == hit.xx)
            return a;
    }
    return nullptr;
}

qint64 ArticleSearch::indexBytes() const
{
    qint64 bytes = qint64(docs.capacity() * sizeof(Doc) + freeDocs.capacity() * sizeof(int));
    for (const Doc& doc : docs)
        bytes += qint64(doc.terms.capacity() * sizeof(qint32)) + doc.sources.capacity() * qint64(sizeof(void*));
    // A hash node holds the key, the value and a link; QString keeps its characters after a header.
    const qint64 stringHeader = 24;
    const qint64 hashNode = 2 * qint64(sizeof(void*)) + qint64(sizeof(QString)) + qint64(sizeof(int));
    for (const QString& term : terms)
        bytes += qint64(sizeof(QString)) + stringHeader + (term.size() + 1) * qint64(sizeof(QChar)) + hashNode;
    bytes += termIds.capacity() * qint64(sizeof(void*));
    for (const auto& list : postings)
        bytes += qint64(sizeof(list) + list.capacity() * sizeof(quint32));
    bytes += qint64(sortedTerms.capacity() * sizeof(qint32));
    bytes += docOfXx.size() * (2 * qint64(sizeof(void*)) + 2 * qint64(sizeof(int))) + docOfXx.capacity() * qint64(sizeof(void*));
    return bytes;
}
