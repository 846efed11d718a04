// A channel refresh as the network sees it: the sample "Kraj" feed, then the thumbnails of its
// first five rows asked for at once, all through the sample service as the HTTP proxy (it plays
// the hosts, and the https ones through its TLS tunnels). Counted at the service: connections it
// accepted. Over https the same files come from the one host its test authority signed.
// Only Http's public interface is used, so the same file measures any version of the downloader.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QNetworkProxy>
#include <QSslConfiguration>
#include <QTimer>
#include <benchmark/benchmark.h>

#include "logic/net/request.h"
#include "sampleserver/sampleserver.h"
#if __has_include("logic/net/downloadservice.h")
#include "logic/net/downloadservice.h"
#define SHARED_SERVICE 1
#endif

static SampleServer* service = nullptr;
static const int thumbnails = 5;
static const QString feedPath = QStringLiteral("/pub/mobi_lg/out/kraj.xml");
static QStringList thumbPaths;

static QByteArray sampleFile(const QString& path)
{
    QFile f(QStringLiteral(KURENDAL_SAMPLE_CONTENT "/rss.kurendal.pl") + path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

static bool fetchAll(const QStringList& urls)
{
    QEventLoop loop;
    int left = urls.size();
    bool ok = true;
    QList<Http*> requests;
    for (const QString& url : urls) {
        Http* h = Http::createGETrequest(url, QString());
        QObject::connect(h, &Http::statusChanged, &loop, [&](Http* done) {
            ok = ok && done->getStatus() == Http::STATE_COMPLETED;
            if (--left == 0)
                loop.quit();
        });
        requests << h;
        h->execute();
    }
    QTimer::singleShot(10000, &loop, [&] { ok = false; loop.quit(); });
    loop.exec();
    qDeleteAll(requests);
    return ok;
}

// One refresh: the feed, then its thumbnails side by side, as the article list asks for them.
static void refresh(benchmark::State& state, const QString& origin, bool warm)
{
    const QString feed = origin + feedPath;
    QStringList thumbs;
    for (const QString& path : thumbPaths)
        thumbs << origin + path;
    qint64 connections = 0;
    qint64 refreshes = 0;
    for (auto _ : state) {
#ifdef SHARED_SERVICE
        if (!warm) // as after a long pause: no connection is left to reuse
            DownloadService::instance()->manager()->clearConnectionCache();
#endif
        const int before = service->connectionsAccepted();
        QElapsedTimer clock;
        clock.start();
        const bool ok = fetchAll({feed}) && fetchAll(thumbs);
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        if (!ok) {
            state.SkipWithError("a request failed");
            break;
        }
        connections += service->connectionsAccepted() - before;
        ++refreshes;
    }
    state.counters["connections"] = benchmark::Counter(double(connections) / qMax<qint64>(1, refreshes));
}

static void refreshHttp(benchmark::State& state)
{
    refresh(state, QStringLiteral("http://rss.kurendal.pl"), state.range(0));
}
static void refreshHttps(benchmark::State& state)
{
    refresh(state, QStringLiteral("https://api.twitter.com"), state.range(0));
}

// Arg 0: every refresh starts without open connections; arg 1: connections of the last one may be reused.
BENCHMARK(refreshHttp)->Arg(0)->Arg(1)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(refreshHttps)->Arg(0)->Arg(1)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication application(argc, argv);
    SampleServer server;
    service = &server;
    if (!server.start() || !server.setTlsFiles(KURENDAL_SAMPLE_TLS "/server.pem", KURENDAL_SAMPLE_TLS "/server.key"))
        return 1;
    server.setKeepAlive(true);
    server.setContentRoot(QStringLiteral(KURENDAL_SAMPLE_CONTENT));
    const QByteArray feed = sampleFile(feedPath);
    QRegularExpressionMatchIterator it =
        QRegularExpression(QStringLiteral("<thumbnail>http://rss.kurendal.pl([^<]+)</thumbnail>")).globalMatch(QString::fromUtf8(feed));
    while (it.hasNext() && thumbPaths.size() < thumbnails)
        thumbPaths << it.next().captured(1);
    if (thumbPaths.size() < thumbnails)
        return 1;
    server.route("api.twitter.com", feedPath, SampleServer::text(feed, "text/xml"));
    for (const QString& path : thumbPaths)
        server.route("api.twitter.com", path, SampleServer::text(sampleFile(path), "image/jpeg"));
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", server.serverPort()));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.addCaCertificates(SampleServer::testAuthorityFile());
    QSslConfiguration::setDefaultConfiguration(tls);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
