#include "BlipSrc/blipclient.h"

#include <QDebug>
#include <QUrl>

#include "TwitterSrc/oauth/kqoauthmanager.h"
#include "TwitterSrc/oauth/kqoauthrequest.h"
#include "TwitterSrc/tokenstore.h"
#include "Views/messagebox.h"
#include "foundation/constants.h"

static const QString tokenKey = QStringLiteral("bliptoken");
static const QString tokenSecretKey = QStringLiteral("bliptokenSecret");

BlipClient::BlipClient(QObject* parent)
    : QObject(parent), oauthManager(new KQOAuthManager(this)), oauthRequest(new KQOAuthRequest(this)),
      tweetRequestisRunning(false), getAccessTokenRequestisRunning(false)
{
    oauthManager->addHeader(blipXApiHeader, blipXApiHeaderValue);
    oauthManager->addHeader(blipAcceptHeader, blipAcceptHeaderValue);
    oauthManager->setUrlOctetStreamContentType();
    connect(oauthManager, &KQOAuthManager::temporaryTokenReceived, this, &BlipClient::onTemporaryTokenReceived);
    connect(oauthManager, &KQOAuthManager::authorizationReceived, this, &BlipClient::onAuthorizationReceived);
    connect(oauthManager, &KQOAuthManager::accessTokenReceived, this, &BlipClient::onAccessTokenReceived);
    connect(oauthManager, &KQOAuthManager::requestReady, this, &BlipClient::onRequestReady);
    connect(oauthManager, &KQOAuthManager::networkError, this, &BlipClient::onNetworkError);
    loadAccessToken();
}

void BlipClient::saveAccessToken()
{
    TokenStore::save(tokenKey, tokenSecretKey, token, tokenSecret);
}

void BlipClient::loadAccessToken()
{
    TokenStore::load(tokenKey, tokenSecretKey, token, tokenSecret);
}

void BlipClient::resetAccessToken()
{
    token.clear();
    tokenSecret.clear();
    saveAccessToken();
}

QString BlipClient::postBody(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("update[body]=") + text, "=&"));
}

void BlipClient::sendBlip(QString text)
{
    if (token.isEmpty() || tokenSecret.isEmpty()) {
        tweetAfterGettingAccesToken = text;
        authorize();
        return;
    }
    oauthRequest->clearRequest();
    oauthRequest->initRequest(KQOAuthRequest::AuthorizedRequest, QUrl(blipPostStatusHost));
    oauthRequest->setConsumerKey(BLIP_CONSUMER_KEY);
    oauthRequest->setConsumerSecretKey(BLIP_CONSUMER_SECRET_KEY);
    oauthRequest->setToken(token);
    oauthRequest->setTokenSecret(tokenSecret);
    oauthRequest->setPostBody(postBody(text));
    tweetRequestisRunning = true;
    oauthManager->executeRequest(oauthRequest);
}

void BlipClient::authorize()
{
    oauthRequest->initRequest(KQOAuthRequest::TemporaryCredentials, QUrl(blipRequestTokenUrl));
    oauthRequest->setConsumerKey(BLIP_CONSUMER_KEY);
    oauthRequest->setConsumerSecretKey(BLIP_CONSUMER_SECRET_KEY);
    oauthManager->setHandleUserAuthorization(true);
    oauthManager->executeRequest(oauthRequest);
}

void BlipClient::setVerifier(QString verifier)
{
    oauthManager->setVerifier(verifier);
    getAccessTokenRequestisRunning = true;
    oauthManager->getUserAccessTokens(QUrl(blipAccessTokenUrl));
}

void BlipClient::cancel()
{
    oauthManager->cancel();
}

void BlipClient::onTemporaryTokenReceived(QString, QString)
{
    if (oauthManager->lastError() == NoError) {
        oauthManager->getUserAuthorization(QUrl(blipAuthorizeUrl));
        emit showVerifier();
    }
}

void BlipClient::onAuthorizationReceived(QString, QString)
{
    oauthManager->getUserAccessTokens(QUrl(blipAccessTokenUrl));
}

void BlipClient::onAccessTokenReceived(QString accessToken, QString accessSecret)
{
    token = accessToken;
    tokenSecret = accessSecret;
    saveAccessToken();
}

void BlipClient::onAuthorizedRequestDone()
{
}

void BlipClient::onRequestReady(QByteArray response)
{
    const QString text = TokenStore::replyText(response);
    qDebug() << "Response from the service: " << text;
    const bool failed = text.isEmpty() || text.contains(QLatin1String("ERROR"));
    if (!failed) {
        if (tweetRequestisRunning) {
            tweetRequestisRunning = false;
            cancel();
            MessageBox::showInformation(trUtf8("Wysłano pomyślnie wiadomość."), QString());
            emit willHide();
        } else if (getAccessTokenRequestisRunning) {
            getAccessTokenRequestisRunning = false;
            if (!tweetAfterGettingAccesToken.isEmpty()) {
                const QString pending = tweetAfterGettingAccesToken;
                tweetAfterGettingAccesToken.clear();
                sendBlip(pending);
            }
        }
        return;
    }
    if (tweetRequestisRunning) {
        resetAccessToken();
        tweetRequestisRunning = false;
        MessageBox::showInformation(trUtf8("Wysłanie wiadomości nie powiodło się."), QString());
        emit willHide();
    } else if (getAccessTokenRequestisRunning) {
        MessageBox::showInformation(trUtf8("Błąd podczas otrzymywania kodu dostępu. Prawdopodobnie wpisano zły kod."),
                                    QString());
        getAccessTokenRequestisRunning = false;
        emit willHide();
    }
}

void BlipClient::onNetworkError()
{
    MessageBox::showInformation(trUtf8("Wysłanie wiadomości nie powiodło się."), QString());
}
