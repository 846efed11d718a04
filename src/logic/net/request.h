#ifndef MYHTTP_H
#define MYHTTP_H

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QSslError>
#include <QTimer>
#include <QUrl>

#include "logic/net/downloadservice.h"

// One HTTP request and its response; every state change is reported by statusChanged.
// It runs on the download service's manager, which outlives it.
class Http : public QObject
{
    Q_OBJECT
public:
    enum {
        STATE_READY = 0,
        STATE_RUNNING = 1,
        STATE_COMPLETED = 2,
        STATE_ERROR_HTTP = -3,
        STATE_ERROR_PERMISSION = -4,
        STATE_CANCELLED = -5
    };

    static const QByteArray aux_strCONTENT_TYPE_URLENCODED;
    static const QByteArray aux_strCONTENT_TYPE_OCTET;
    static const QByteArray HEAD_CONTENT_TYPE;

    // The bounds are the download service's (a longer chain or body ends in STATE_ERROR_HTTP).
    static constexpr int maxRedirects = DownloadService::maxRedirects;
    static constexpr int maxResponseBytes = DownloadService::maxResponseBytes;

    static Http* createGETrequest(const QString& _host, const QString& _values);
    static Http* createPOSTrequest(const QString& _host, const QString& _values);
    static Http* createPOSTrequest(const QString& _host, const QByteArray& args);

    explicit Http(const QString& _url);
    Http(const QString& _url, const QByteArray& _args);
    ~Http() override;

    void setTimeout(int _timeout);
    // The kind bounds the whole transfer and its pauses (DownloadService::limits); a feed by default.
    void setKind(DownloadService::Kind _kind);
    void disableCache();
    void setRequestHeader(const QString& _key, const QString& _val);

    bool execute();
    void cancelRequest();
    void cancelRequestNoEmit();

    int getStatus();
    int getResponseCode();
    int getResponseLength();
    QByteArray getResponseAsBytes() const;
    QString getResponseAsString();
    QString getResponseHeader(const QString& _key);
    // The status of the last response, with a body or without; -1 when none arrived.
    int getFinalStatusCode() const { return finalStatusCode; }
    // The request failed because a time-out ran out (first byte, a pause or the whole transfer).
    bool hasTimedOut() const { return timedOut; }
    static bool isHTTP();
    static bool isHttpActive();

signals:
    void statusChanged(Http* obj);

private slots:
    void readReady();
    void downloadProgress(qint64 bytesReceived, qint64 bytesTotal);
    void finished();
    void error(QNetworkReply::NetworkError code);
    void sslErrors(QList<QSslError> errors);
    void replyFinished(QNetworkReply* reply);
    void timeoutOccured();
    void transferTimedOut();

private:
    friend class DownloadService; // sends the request once its host has a free connection

    static QUrl redirectUrl(const QUrl& possibleRedirectUrl, const QUrl& oldRedirectUrl);
    bool send();
    void stopTimers();
    void failTooLong();
    void fail();
    void abortReply();

    int currState;
    bool downloadInProgress;
    bool errorOccured;
    int timeout;
    QPointer<QNetworkReply> reply;
    QNetworkRequest request;
    QUrl url;
    QByteArray buffer;
    QByteArray* arguments;
    int type;
    int head_responseCode;
    int redirects;
    QUrl origin; // what the owner asked for: redirects are judged against its host
    DownloadService::Kind kind;
    QTimer firstByteTimer; // restarted by each hop, stopped by its first byte
    QTimer pauseTimer; // restarted by every byte that arrives
    QTimer totalTimer; // runs from the first send to the end, across redirects
    bool timedOut;
    int finalStatusCode;
    QList<QNetworkReply::RawHeaderPair> responseHeaders; // kept when the reply is released
};

#endif // MYHTTP_H
