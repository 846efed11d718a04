#include "logic/net/oauthmanager.h"

#include <QUrlQuery>

#include "logic/net/oauthrequest.h"
#include "logic/base/util.h"
#include "logic/net/request.h"
#include "logic/base/logging.h"

KQOAuthManager::KQOAuthManager(QObject* parent)
    : QObject(parent), error(NoError), hasTemporary(false), verified(false), authorized(false),
      handleUserAuthorization(false), tokenRequest(new KQOAuthRequest(this)), octetStream(false)
{
    static_assert(requestTimeout == DownloadService::sharingLimits.total, "one figure for the OAuth time-out");
}

KQOAuthManager::~KQOAuthManager()
{
    cancel();
}

void KQOAuthManager::executeRequest(KQOAuthRequest* request)
{
    if (!request) {
        qCWarning(lcOAuth) << "Request is NULL. Cannot proceed.";
        error = RequestError;
        return;
    }
    if (!request->requestEndpoint().isValid() || request->requestEndpoint().host().isEmpty()) {
        qCWarning(lcOAuth) << "Request endpoint URL is not valid. Cannot proceed.";
        error = RequestEndpointError;
        return;
    }
    if (!request->isValid()) {
        qCWarning(lcOAuth) << "Request is not valid. Cannot proceed.";
        error = RequestValidationError;
        return;
    }
    cancel();
    error = NoError;
    currentRequest = request;

    QUrl url = request->requestEndpoint();
    const QMultiMap<QString, QString> params = request->additionalParameters();
    QByteArray form;
    for (auto it = params.constBegin(); it != params.constEnd(); ++it) {
        if (!form.isEmpty())
            form += '&';
        form += KQOAuthRequest::percentEncode(it.key()) + '=' + KQOAuthRequest::percentEncode(it.value());
    }
    if (request->httpMethod() == KQOAuthRequest::GET && !form.isEmpty())
        url.setQuery(QString::fromLatin1(form), QUrl::StrictMode);

    Http* http;
    const QString address = url.toString(QUrl::FullyEncoded);
    if (request->httpMethod() == KQOAuthRequest::GET) {
        http = Http::createGETrequest(address, QString());
    } else {
        http = Http::createPOSTrequest(address, request->hasPostBody() ? request->postBody() : form);
        http->setRequestHeader(QString::fromLatin1(Http::HEAD_CONTENT_TYPE),
                               octetStream ? QStringLiteral("multipart/form-data;")
                                           : QStringLiteral("application/x-www-form-urlencoded;"));
    }
    http->setRequestHeader(QStringLiteral("Authorization"), QString::fromUtf8(request->authorizationHeader()));
    for (auto it = additionalHeaders.constBegin(); it != additionalHeaders.constEnd(); ++it)
        http->setRequestHeader(it.key(), it.value());
    http->setKind(DownloadService::Kind::Sharing);
    http->setTimeout(requestTimeout);
    http->disableCache();
    reply = http;
    connect(http, &Http::statusChanged, this, &KQOAuthManager::replyFinished);
    http->execute();
}

QMap<QString, QString> KQOAuthManager::tokensFrom(const QByteArray& body)
{
    QMap<QString, QString> values;
    for (const QByteArray& pair : body.trimmed().split('&')) {
        const int eq = pair.indexOf('=');
        if (eq > 0)
            values.insert(QUrl::fromPercentEncoding(pair.left(eq)), QUrl::fromPercentEncoding(pair.mid(eq + 1)));
    }
    return values;
}

void KQOAuthManager::replyFinished(Http* finished)
{
    const int state = finished->getStatus();
    if (finished != reply || state == Http::STATE_READY || state == Http::STATE_RUNNING)
        return;
    reply = nullptr;
    finished->deleteLater();
    if (finished->hasTimedOut()) {
        error = NetworkError;
        emit networkError();
        return;
    }
    const QByteArray body = finished->getResponseAsBytes();
    const int status = finished->getFinalStatusCode();
    const KQOAuthRequest::RequestType type =
        currentRequest ? currentRequest->requestType() : KQOAuthRequest::AuthorizedRequest;

    if (state != Http::STATE_COMPLETED) {
        error = (status == 401 || status == 403) ? RequestUnauthorized : NetworkError;
        emit requestReady(body);
        return;
    }
    error = NoError;
    const QMap<QString, QString> tokens = tokensFrom(body);
    if (type == KQOAuthRequest::TemporaryCredentials && tokens.contains(QStringLiteral("oauth_token"))) {
        temporaryToken = tokens.value(QStringLiteral("oauth_token"));
        temporaryTokenSecret = tokens.value(QStringLiteral("oauth_token_secret"));
        hasTemporary = true;
        emit temporaryTokenReceived(temporaryToken, temporaryTokenSecret);
    } else if (type == KQOAuthRequest::AccessToken && tokens.contains(QStringLiteral("oauth_token"))) {
        authorized = true;
        emit accessTokenReceived(tokens.value(QStringLiteral("oauth_token")),
                                 tokens.value(QStringLiteral("oauth_token_secret")));
    } else if (type == KQOAuthRequest::AuthorizedRequest) {
        emit authorizedRequestDone();
    }
    emit requestReady(body);
}

void KQOAuthManager::setHandleUserAuthorization(bool handle)
{
    handleUserAuthorization = handle;
}

QUrl KQOAuthManager::userAuthorizationPage(QUrl authorizationEndpoint) const
{
    if (!hasTemporary)
        return QUrl();
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("oauth_token"), QString::fromLatin1(KQOAuthRequest::percentEncode(temporaryToken)));
    authorizationEndpoint.setQuery(query);
    return authorizationEndpoint;
}

bool KQOAuthManager::getUserAuthorization(QUrl authorizationEndpoint)
{
    if (!hasTemporary) {
        error = RequestError;
        return false;
    }
    return Util::openUrl(userAuthorizationPage(authorizationEndpoint).toString(QUrl::FullyEncoded), false);
}

void KQOAuthManager::setVerifier(QString& pin)
{
    verifier = pin;
    verified = true;
}

void KQOAuthManager::getUserAccessTokens(QUrl accessTokenEndpoint)
{
    if (!hasTemporary || !verified || !currentRequest) {
        error = RequestError;
        return;
    }
    tokenRequest->initRequest(KQOAuthRequest::AccessToken, accessTokenEndpoint);
    tokenRequest->setConsumerKey(currentRequest->consumerKey());
    tokenRequest->setConsumerSecretKey(currentRequest->consumerSecretKey());
    tokenRequest->setToken(temporaryToken);
    tokenRequest->setTokenSecret(temporaryTokenSecret);
    tokenRequest->setVerifier(verifier);
    executeRequest(tokenRequest);
}

KQOAuthError KQOAuthManager::lastError() const
{
    return error;
}

void KQOAuthManager::cancel()
{
    if (!reply)
        return;
    Http* running = reply;
    reply = nullptr;
    running->disconnect(this);
    running->cancelRequestNoEmit();
    running->deleteLater();
}

void KQOAuthManager::addHeader(QString name, QString value)
{
    additionalHeaders.insert(name, value);
}

void KQOAuthManager::setUrlOctetStreamContentType()
{
    octetStream = true;
}

void KQOAuthManager::setUrlEncodedContentType()
{
    octetStream = false;
}

bool KQOAuthManager::hasTemporaryToken() const
{
    return hasTemporary;
}

bool KQOAuthManager::isVerified() const
{
    return verified;
}

bool KQOAuthManager::isAuthorized() const
{
    return authorized;
}
