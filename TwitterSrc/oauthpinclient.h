#ifndef OAUTHPINCLIENT_H
#define OAUTHPINCLIENT_H

#include <QObject>
#include <QString>

class KQOAuthManager;
class KQOAuthRequest;

// What the Twitter and Blip clients share: the stored token pair, the PIN login
// (request token, browser, PIN, access token) and a post that waits for the login.
class OAuthPinClient : public QObject
{
    Q_OBJECT
public:
    struct Service {
        QString consumerKey;
        QString consumerSecret;
        QString requestTokenUrl;
        QString authorizeUrl;
        QString accessTokenUrl;
        QString postUrl;
        QString tokenKey;       // QSettings keys of the encrypted pair
        QString tokenSecretKey;
    };

    void setVerifier(QString verifier);
    void cancel();
    void resetAccessToken();

signals:
    void showVerifier();
    void willHide();

protected slots:
    void onTemporaryTokenReceived(QString token, QString tokenSecret);
    void onAuthorizationReceived(QString token, QString verifier);
    void onAccessTokenReceived(QString token, QString tokenSecret);
    void onAuthorizedRequestDone();
    void onRequestReady(QByteArray response);
    virtual void onNetworkError() = 0;

protected:
    OAuthPinClient(const Service& service, QObject* parent);

    // Posts text, logging in first when no token pair is stored.
    void post(const QString& text);
    // Puts the text on the signed request (a parameter or a body).
    virtual void fillPost(const QString& text) = 0;
    virtual bool isFailure(const QString& reply) const = 0;
    virtual void postSucceeded() = 0;
    virtual void postFailed() = 0;
    virtual void accessTokenFailed() = 0;
    virtual void requestTokenFailed() = 0;

    void saveAccessToken();
    void loadAccessToken();
    void authorize();

    KQOAuthManager* oauthManager;
    KQOAuthRequest* oauthRequest;
    QString token;
    QString tokenSecret;
    QString tweetAfterGettingAccesToken;
    bool tweetRequestisRunning;
    bool getAccessTokenRequestisRunning;

private:
    Service service;
};

#endif // OAUTHPINCLIENT_H
