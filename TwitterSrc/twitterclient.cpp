#include "TwitterSrc/twitterclient.h"

#include <QDebug>
#include <QUrl>

#include "TwitterSrc/oauth/kqoauthmanager.h"
#include "TwitterSrc/oauth/kqoauthrequest.h"
#include "TwitterSrc/tokenstore.h"
#include "Views/messagebox.h"
#include "foundation/constants.h"

static const QString tokenKey = QStringLiteral("token");
static const QString tokenSecretKey = QStringLiteral("tokenSecret");

TwitterClient::TwitterClient(QWidget* base)
    : QObject(nullptr), oauthManager(new KQOAuthManager(this)), oauthRequest(new KQOAuthRequest(this)),
      twitterAuthorizationView(nullptr), tweetRequestisRunning(false), getAccessTokenRequestisRunning(false),
      baseWidget(base)
{
    connect(oauthManager, &KQOAuthManager::temporaryTokenReceived, this, &TwitterClient::onTemporaryTokenReceived);
    connect(oauthManager, &KQOAuthManager::authorizationReceived, this, &TwitterClient::onAuthorizationReceived);
    connect(oauthManager, &KQOAuthManager::accessTokenReceived, this, &TwitterClient::onAccessTokenReceived);
    connect(oauthManager, &KQOAuthManager::requestReady, this, &TwitterClient::onRequestReady);
    connect(oauthManager, &KQOAuthManager::networkError, this, &TwitterClient::onNetworkError);
    loadAccessToken();
    tweetAfterGettingAccesToken.clear();
}

void TwitterClient::saveAccessToken()
{
    TokenStore::save(tokenKey, tokenSecretKey, token, tokenSecret);
}

void TwitterClient::loadAccessToken()
{
    TokenStore::load(tokenKey, tokenSecretKey, token, tokenSecret);
}

void TwitterClient::resetAccessToken()
{
    token.clear();
    tokenSecret.clear();
    saveAccessToken();
}

void TwitterClient::tweet(QString text)
{
    qDebug() << "tweet1";
    if (token.isEmpty() || tokenSecret.isEmpty()) {
        tweetAfterGettingAccesToken = text;
        authorize();
        return;
    }
    oauthRequest->clearRequest();
    oauthRequest->initRequest(KQOAuthRequest::AuthorizedRequest, QUrl(twitterStatusUpdateUrl));
    oauthRequest->setConsumerKey(CONSUMER_KEY);
    oauthRequest->setConsumerSecretKey(CONSUMER_SECRET_KEY);
    oauthRequest->setToken(token);
    oauthRequest->setTokenSecret(tokenSecret);
    QMultiMap<QString, QString> params;
    params.insert(QStringLiteral("status"), text);
    oauthRequest->setAdditionalParameters(params);
    tweetRequestisRunning = true;
    oauthManager->executeRequest(oauthRequest);
}

void TwitterClient::authorize()
{
    oauthRequest->initRequest(KQOAuthRequest::TemporaryCredentials, QUrl(twitterRequestTokenUrl));
    oauthRequest->setConsumerKey(CONSUMER_KEY);
    oauthRequest->setConsumerSecretKey(CONSUMER_SECRET_KEY);
    oauthManager->setHandleUserAuthorization(true);
    oauthManager->executeRequest(oauthRequest);
}

void TwitterClient::setVerifier(QString verifier)
{
    oauthManager->setVerifier(verifier);
    getAccessTokenRequestisRunning = true;
    oauthManager->getUserAccessTokens(QUrl(twitterAccessTokenUrl));
}

void TwitterClient::cancel()
{
    oauthManager->cancel();
}

void TwitterClient::onTemporaryTokenReceived(QString temporaryToken, QString temporarySecret)
{
    qDebug() << "Temporary token received: " << temporaryToken << temporarySecret;
    if (oauthManager->lastError() == NoError) {
        oauthManager->getUserAuthorization(QUrl(twitterAuthorizeUrl));
        emit showVerifier();
    }
}

void TwitterClient::onAuthorizationReceived(QString, QString)
{
    qDebug() << "User authorization received: ";
    oauthManager->getUserAccessTokens(QUrl(twitterAccessTokenUrl));
}

void TwitterClient::onAccessTokenReceived(QString accessToken, QString accessSecret)
{
    qDebug() << "Access token received: " << accessToken << accessSecret;
    token = accessToken;
    tokenSecret = accessSecret;
    saveAccessToken();
}

void TwitterClient::onAuthorizedRequestDone()
{
    qDebug() << "Request sent to Twitter!";
}

void TwitterClient::onRequestReady(QByteArray response)
{
    const QString text = TokenStore::replyText(response);
    qDebug() << "Response from the service: " << text;
    const bool failed = text.isEmpty() || text.contains(QLatin1String("ERROR")) || text.contains(QLatin1String("Failed"));
    if (!failed) {
        if (tweetRequestisRunning) {
            tweetRequestisRunning = false;
            cancel();
            MessageBox::showInformation(trUtf8("Wysłano pomyślnie tweet."), QString());
            emit willHide();
        } else if (getAccessTokenRequestisRunning) {
            getAccessTokenRequestisRunning = false;
            if (!tweetAfterGettingAccesToken.isEmpty()) {
                const QString pending = tweetAfterGettingAccesToken;
                tweetAfterGettingAccesToken.clear();
                tweet(pending);
            }
        }
        return;
    }
    if (tweetRequestisRunning) {
        resetAccessToken();
        tweetRequestisRunning = false;
        MessageBox::showInformation(trUtf8("Wysłanie tweeta nie powiodło się."), QString());
    } else if (getAccessTokenRequestisRunning) {
        MessageBox::showInformation(trUtf8("Błąd podczas otrzymywania kodu dostępu. Prawdopodobnie wpisano zły kod."),
                                    QString());
        getAccessTokenRequestisRunning = false;
    } else {
        MessageBox::showInformation(trUtf8("Wysłanie tweeta nie powiodło się. Aby wysłać tweet musisz mieć poprawnie "
                                           "ustawiony czas i strefę czasową."),
                                    QString());
    }
    emit willHide();
}

void TwitterClient::onNetworkError()
{
    qDebug() << "Timeout";
    MessageBox::showInformation(trUtf8("Wysłanie tweeta nie powiodło się."), QString());
    emit willHide();
}
