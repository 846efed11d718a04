#include "logic/net/request.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QTimer>


const QByteArray Http::aux_strCONTENT_TYPE_URLENCODED("application/x-www-form-urlencoded; charset=UTF-8");
const QByteArray Http::aux_strCONTENT_TYPE_OCTET("application/octet-stream");
const QByteArray Http::HEAD_CONTENT_TYPE("Content-Type");

Http* Http::createGETrequest(const QString& _host, const QString& _values)
{
    Http* http = new Http(_values.isEmpty() ? _host : _host + QLatin1Char('?') + _values);
    http->type = 0;
    return http;
}

Http* Http::createPOSTrequest(const QString& _host, const QString& _values)
{
    Http* http = new Http(_host, QUrl::toPercentEncoding(_values, "=&"));
    http->request.setRawHeader(HEAD_CONTENT_TYPE, aux_strCONTENT_TYPE_URLENCODED);
    http->type = 1;
    return http;
}

Http* Http::createPOSTrequest(const QString& _host, const QByteArray& args)
{
    Http* http = new Http(_host, args);
    http->request.setRawHeader(HEAD_CONTENT_TYPE, aux_strCONTENT_TYPE_OCTET);
    http->type = 1;
    return http;
}

Http::Http(const QString& _url)
    : QObject(nullptr), currState(STATE_READY), downloadInProgress(false), errorOccured(false),
      timeout(DownloadService::defaultTimeout), reply(nullptr), url(QUrl(_url)), arguments(nullptr), type(0), head_responseCode(-1), redirects(0),
      origin(url), kind(DownloadService::Kind::Feed), timedOut(false), finalStatusCode(-1)
{
    request.setUrl(url);
    firstByteTimer.setSingleShot(true);
    pauseTimer.setSingleShot(true);
    totalTimer.setSingleShot(true);
    connect(&firstByteTimer, &QTimer::timeout, this, &Http::timeoutOccured);
    connect(&pauseTimer, &QTimer::timeout, this, &Http::transferTimedOut);
    connect(&totalTimer, &QTimer::timeout, this, &Http::transferTimedOut);
}

Http::Http(const QString& _url, const QByteArray& _args)
    : Http(_url)
{
    arguments = new QByteArray(_args);
}

Http::~Http()
{
    // The manager stays: the reply of a request still running is aborted and let go here.
    abortReply();
    delete arguments;
}

void Http::setTimeout(int _timeout)
{
    timeout = _timeout < 0 ? DownloadService::longTimeout : _timeout;
}

void Http::setKind(DownloadService::Kind _kind)
{
    kind = _kind;
}

void Http::disableCache()
{
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
}

void Http::setRequestHeader(const QString& _key, const QString& _val)
{
    request.setRawHeader(_key.toUtf8(), _val.toUtf8());
}

bool Http::execute()
{
    redirects = 0;
    timedOut = false;
    finalStatusCode = -1;
    stopTimers();
    if (type != 0 && type != 1)
        return send(); // reports the error
    const QString scheme = request.url().scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        // Only the web: never a local file or another handler of the manager. Reported from the
        // event loop, as the manager reports a failed request.
        currState = STATE_RUNNING;
        QTimer::singleShot(0, this, [this] {
            if (currState == STATE_RUNNING)
                fail();
        });
        return false;
    }
    currState = STATE_RUNNING;
    DownloadService::instance()->admit(this);
    return true;
}

bool Http::send()
{
    errorOccured = false;
    buffer.clear();
    responseHeaders.clear();
    head_responseCode = -1;
    currState = STATE_RUNNING;
    QNetworkAccessManager* qnam = DownloadService::instance()->manager();
    if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0)
        DownloadService::prepareTrustStore();
    if (type == 0) {
        reply = qnam->get(request);
    } else if (type == 1) {
        reply = qnam->post(request, arguments ? *arguments : QByteArray());
    } else {
        currState = STATE_ERROR_HTTP;
        emit statusChanged(this);
        return false;
    }
    downloadInProgress = false;
    const DownloadService::Limits limits = DownloadService::instance()->limits(kind);
    pauseTimer.setInterval(limits.inactivity);
    pauseTimer.stop(); // a new hop waits for its first byte first
    if (!totalTimer.isActive())
        totalTimer.start(limits.total);
    QNetworkReply* sent = reply;
    connect(reply, &QNetworkReply::finished, this, [this, sent] { replyFinished(sent); });
    connect(reply, &QNetworkReply::downloadProgress, this, &Http::downloadProgress);
    connect(reply, &QNetworkReply::finished, this, &Http::finished);
    connect(reply, &QNetworkReply::errorOccurred, this, &Http::error);
    connect(reply, &QNetworkReply::sslErrors, this, &Http::sslErrors);
    connect(reply, &QNetworkReply::readyRead, this, &Http::readReady);
    firstByteTimer.start(DownloadService::firstByteLimit(timeout));
    return true;
}

void Http::cancelRequest()
{
    cancelRequestNoEmit();
    emit statusChanged(this);
}

void Http::cancelRequestNoEmit()
{
    const bool running = currState == STATE_RUNNING;
    currState = STATE_CANCELLED;
    stopTimers();
    if (running)
        abortReply();
    if (DownloadService* service = DownloadService::existing())
        service->leave(this);
}

int Http::getStatus() { return currState; }
int Http::getResponseCode() { return head_responseCode; }
int Http::getResponseLength() { return buffer.size(); }

QByteArray Http::getResponseAsBytes() const
{
    if (currState == STATE_READY || currState == STATE_RUNNING)
        return QByteArray();
    return buffer;
}

QString Http::getResponseAsString()
{
    if (currState != STATE_COMPLETED)
        return QString();
    const int nul = buffer.indexOf('\0');
    return QString::fromUtf8(buffer.constData(), nul < 0 ? buffer.size() : nul);
}

QString Http::getResponseHeader(const QString& _key)
{
    if (reply)
        return QString::fromUtf8(reply->rawHeader(_key.toUtf8()));
    const QByteArray key = _key.toUtf8().toLower();
    for (const QNetworkReply::RawHeaderPair& header : responseHeaders) {
        if (header.first.toLower() == key)
            return QString::fromUtf8(header.second);
    }
    return QString();
}

bool Http::isHTTP() { return true; }
bool Http::isHttpActive() { return true; }

void Http::readReady()
{
    downloadInProgress = true;
    if (head_responseCode == -1) {
        const QVariant code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (code.isValid())
            head_responseCode = code.toInt();
    }
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > maxResponseBytes || buffer.size() + reply->bytesAvailable() > maxResponseBytes) {
        failTooLong();
        return;
    }
    buffer.append(reply->readAll());
    firstByteTimer.stop();
    pauseTimer.start();
}

void Http::stopTimers()
{
    firstByteTimer.stop();
    pauseTimer.stop();
    totalTimer.stop();
}

void Http::failTooLong()
{
    buffer.clear();
    fail();
}

// Ends the running request as an error: the reply's own end reports nothing more.
void Http::fail()
{
    errorOccured = true;
    currState = STATE_ERROR_HTTP;
    stopTimers();
    abortReply();
    emit statusChanged(this);
}

// Aborts the reply and lets it go. An error the network thread has already sent is taken first:
// an abort after it would report a second error, which Qt refuses with a warning.
void Http::abortReply()
{
    if (!reply)
        return;
    responseHeaders = reply->rawHeaderPairs();
    reply->disconnect(this);
    QCoreApplication::sendPostedEvents(reply, QEvent::MetaCall);
    if (reply && reply->isRunning() && reply->error() == QNetworkReply::NoError)
        reply->abort();
    if (reply)
        reply->deleteLater();
    reply = nullptr;
}

void Http::downloadProgress(qint64, qint64) {}
void Http::finished() {}

void Http::error(QNetworkReply::NetworkError code)
{
    downloadInProgress = true;
    if (code != QNetworkReply::OperationCanceledError)
        errorOccured = true;
}

void Http::sslErrors(QList<QSslError>)
{
    errorOccured = true;
    downloadInProgress = true;
    currState = STATE_ERROR_HTTP;
    emit statusChanged(this);
}

void Http::timeoutOccured()
{
    if (downloadInProgress || !reply || currState != STATE_RUNNING)
        return;
    timedOut = true;
    fail();
}

// A pause after the first byte or the whole transfer took longer than the kind allows.
void Http::transferTimedOut()
{
    if (!reply || currState != STATE_RUNNING)
        return;
    timedOut = true;
    fail();
}

QUrl Http::redirectUrl(const QUrl& possibleRedirectUrl, const QUrl& oldRedirectUrl)
{
    if (!possibleRedirectUrl.isEmpty() && possibleRedirectUrl != oldRedirectUrl)
        return possibleRedirectUrl;
    return QUrl();
}

void Http::replyFinished(QNetworkReply* finishedReply)
{
    finishedReply->deleteLater();
    if (finishedReply != reply)
        return; // a reply of an earlier hop or run, aborted or replaced
    responseHeaders = reply->rawHeaderPairs();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    finalStatusCode = status.isValid() ? status.toInt() : -1;
    QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (!target.isEmpty())
        target = url.resolved(target);
    target = redirectUrl(target, url);
    if (target.isEmpty() || currState != STATE_RUNNING) {
        if (currState == STATE_RUNNING) {
            currState = errorOccured ? STATE_ERROR_HTTP : STATE_COMPLETED;
            stopTimers();
            emit statusChanged(this);
        }
    } else if (++redirects > maxRedirects || !DownloadService::redirectAllowed(origin, target)) {
        buffer.clear(); // the page of a refused redirect is nobody's content
        fail();
    } else {
        buffer.clear();
        url = target;
        request.setUrl(url);
        const int hops = redirects;
        send();
        redirects = hops;
    }
}
