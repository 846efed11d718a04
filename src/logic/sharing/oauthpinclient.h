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
    // What the user reads after each outcome, in an information box; the panel then hides,
    // except where said. An empty text shows nothing and the panel stays.
    struct Messages {
        QString posted;
        QString postFailed;
        QString accessTokenFailed;
        QString requestTokenFailed;
        QString networkError;
        bool hideAfterNetworkError;
    };

    void setVerifier(QString verifier);
    // The authorisation page when no browser could open it (the user opens it elsewhere), else empty.
    QString pageToOpenElsewhere() const { return unopenedPage; }
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
    void onNetworkError();

protected:
    OAuthPinClient(const Service& service, const Messages& messages, QObject* parent);

    // Posts text, logging in first when no token pair is stored.
    void post(const QString& text);
    // Puts the text on the signed request (a parameter or a body).
    virtual void fillPost(const QString& text) = 0;
    virtual bool isFailure(const QString& reply) const = 0;
    void tell(const QString& text, bool hide = true);

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
    Messages messages;
    QString unopenedPage;
};

#endif // OAUTHPINCLIENT_H
