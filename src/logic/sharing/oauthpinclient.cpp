#include "logic/sharing/oauthpinclient.h"

#include <QUrl>

#include "logic/base/logging.h"
#include "logic/net/oauthmanager.h"
#include "logic/net/oauthrequest.h"
#include "logic/sharing/tokenstore.h"
#include "logic/base/userprompts.h"

OAuthPinClient::OAuthPinClient(const Service& s, const Messages& m, QObject* parent)
    : QObject(parent), oauthManager(new KQOAuthManager(this)), oauthRequest(new KQOAuthRequest(this)),
      tweetRequestisRunning(false), getAccessTokenRequestisRunning(false), service(s), messages(m)
{
    connect(oauthManager, &KQOAuthManager::temporaryTokenReceived, this, &OAuthPinClient::onTemporaryTokenReceived);
    connect(oauthManager, &KQOAuthManager::authorizationReceived, this, &OAuthPinClient::onAuthorizationReceived);
    connect(oauthManager, &KQOAuthManager::accessTokenReceived, this, &OAuthPinClient::onAccessTokenReceived);
    connect(oauthManager, &KQOAuthManager::requestReady, this, &OAuthPinClient::onRequestReady);
    connect(oauthManager, &KQOAuthManager::networkError, this, &OAuthPinClient::onNetworkError);
    loadAccessToken();
}

void OAuthPinClient::saveAccessToken()
{
    TokenStore::save(service.tokenKey, service.tokenSecretKey, token, tokenSecret);
}

void OAuthPinClient::loadAccessToken()
{
    TokenStore::load(service.tokenKey, service.tokenSecretKey, token, tokenSecret);
}

void OAuthPinClient::resetAccessToken()
{
    token.clear();
    tokenSecret.clear();
    saveAccessToken();
}

void OAuthPinClient::post(const QString& text)
{
    if (token.isEmpty() || tokenSecret.isEmpty()) {
        tweetAfterGettingAccesToken = text;
        authorize();
        return;
    }
    oauthRequest->clearRequest();
    oauthRequest->initRequest(KQOAuthRequest::AuthorizedRequest, QUrl(service.postUrl));
    oauthRequest->setConsumerKey(service.consumerKey);
    oauthRequest->setConsumerSecretKey(service.consumerSecret);
    oauthRequest->setToken(token);
    oauthRequest->setTokenSecret(tokenSecret);
    fillPost(text);
    tweetRequestisRunning = true;
    oauthManager->executeRequest(oauthRequest);
}

void OAuthPinClient::authorize()
{
    oauthRequest->initRequest(KQOAuthRequest::TemporaryCredentials, QUrl(service.requestTokenUrl));
    oauthRequest->setConsumerKey(service.consumerKey);
    oauthRequest->setConsumerSecretKey(service.consumerSecret);
    oauthManager->setHandleUserAuthorization(true);
    oauthManager->executeRequest(oauthRequest);
}

void OAuthPinClient::setVerifier(QString verifier)
{
    oauthManager->setVerifier(verifier);
    getAccessTokenRequestisRunning = true;
    oauthManager->getUserAccessTokens(QUrl(service.accessTokenUrl));
}

void OAuthPinClient::cancel()
{
    oauthManager->cancel();
}

void OAuthPinClient::onTemporaryTokenReceived(QString temporaryToken, QString temporarySecret)
{
    Q_UNUSED(temporaryToken)
    Q_UNUSED(temporarySecret)
    qCDebug(lcOAuth) << "temporary token received";
    if (oauthManager->lastError() == NoError) {
        const QUrl page(service.authorizeUrl);
        unopenedPage = oauthManager->getUserAuthorization(page)
                           ? QString()
                           : oauthManager->userAuthorizationPage(page).toString(QUrl::FullyEncoded);
        emit showVerifier();
    }
}

void OAuthPinClient::onAuthorizationReceived(QString, QString)
{
    qCDebug(lcOAuth) << "user authorization received";
    oauthManager->getUserAccessTokens(QUrl(service.accessTokenUrl));
}

void OAuthPinClient::onAccessTokenReceived(QString accessToken, QString accessSecret)
{
    qCDebug(lcOAuth) << "access token received";
    token = accessToken;
    tokenSecret = accessSecret;
    saveAccessToken();
}

void OAuthPinClient::onAuthorizedRequestDone()
{
    qCDebug(lcOAuth) << "request sent";
}

void OAuthPinClient::onRequestReady(QByteArray response)
{
    const QString text = TokenStore::replyText(response);
    // The reply may hold tokens: log only its size.
    qCDebug(lcOAuth) << "reply of" << response.size() << "bytes";
    if (!isFailure(text)) {
        if (tweetRequestisRunning) {
            tweetRequestisRunning = false;
            cancel();
            tell(messages.posted);
        } else if (getAccessTokenRequestisRunning) {
            getAccessTokenRequestisRunning = false;
            if (!tweetAfterGettingAccesToken.isEmpty()) {
                const QString pending = tweetAfterGettingAccesToken;
                tweetAfterGettingAccesToken.clear();
                post(pending);
            }
        }
        return;
    }
    if (tweetRequestisRunning) {
        resetAccessToken(); // the next share logs in again
        tweetRequestisRunning = false;
        tell(messages.postFailed);
    } else if (getAccessTokenRequestisRunning) {
        getAccessTokenRequestisRunning = false;
        tell(messages.accessTokenFailed);
    } else {
        tell(messages.requestTokenFailed);
    }
}

void OAuthPinClient::onNetworkError()
{
    qCWarning(lcOAuth) << "not sent: network error";
    tell(messages.networkError, messages.hideAfterNetworkError);
}

void OAuthPinClient::tell(const QString& text, bool hide)
{
    if (text.isEmpty())
        return;
    UserPrompts::information(text, QString());
    if (hide)
        emit willHide();
}
