#ifndef KQOAUTHMANAGER_H
#define KQOAUTHMANAGER_H

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class Http;
class KQOAuthRequest;

enum KQOAuthError {
    NoError = 0,
    NetworkError = 1,
    RequestEndpointError = 2,
    RequestValidationError = 3,
    RequestUnauthorized = 4,
    RequestError = 5,
    ManagerError = 6
};

// Executes signed requests, runs the PIN (out-of-band) token exchange and opens the
// service's authorisation page in the browser. A request goes out as an Http of the kind
// Sharing, so the download service's connections, time-outs, redirect rule and size bound
// hold for it as for every other request.
class KQOAuthManager : public QObject
{
    Q_OBJECT
public:
    // From sending to the whole reply; a longer wait ends in networkError().
    static constexpr int requestTimeout = 30000;

    explicit KQOAuthManager(QObject* parent = nullptr);
    ~KQOAuthManager() override;

    void executeRequest(KQOAuthRequest* request);
    void setHandleUserAuthorization(bool handle);
    // Opens the page in the browser; false when there is no page yet or no browser took it.
    bool getUserAuthorization(QUrl authorizationEndpoint);
    // The authorisation page of the temporary token received, empty before one.
    QUrl userAuthorizationPage(QUrl authorizationEndpoint) const;
    void setVerifier(QString& verifier);
    void getUserAccessTokens(QUrl accessTokenEndpoint);
    KQOAuthError lastError() const;
    void cancel();
    void addHeader(QString name, QString value);
    void setUrlOctetStreamContentType();
    void setUrlEncodedContentType();
    bool hasTemporaryToken() const;
    bool isVerified() const;
    bool isAuthorized() const;

signals:
    void requestReady(QByteArray response);
    void temporaryTokenReceived(QString token, QString tokenSecret);
    void authorizationReceived(QString token, QString verifier);
    void accessTokenReceived(QString token, QString tokenSecret);
    void authorizedRequestDone();
    void networkError();

private slots:
    void replyFinished(Http* finished);

private:
    static QMap<QString, QString> tokensFrom(const QByteArray& body);

    KQOAuthError error;
    QPointer<KQOAuthRequest> currentRequest;
    QString temporaryToken;
    QString temporaryTokenSecret;
    QString verifier;
    bool hasTemporary;
    bool verified;
    bool authorized;
    bool handleUserAuthorization;
    KQOAuthRequest* tokenRequest;
    QPointer<Http> reply; // the request in flight
    bool octetStream;
    QMap<QString, QString> additionalHeaders;
};

#endif // KQOAUTHMANAGER_H
