#ifndef TWITTERCLIENT_H
#define TWITTERCLIENT_H

#include <QObject>
#include <QString>

class KQOAuthManager;
class KQOAuthRequest;
class TwitterAuthorizationView;
class QWidget;

// Posts a status on the user's behalf, logging in first by the PIN flow when no token is stored.
class TwitterClient : public QObject
{
    Q_OBJECT
public:
    explicit TwitterClient(QWidget* baseWidget);

    void tweet(QString text);
    void setVerifier(QString verifier);
    void cancel();
    void resetAccessToken();

signals:
    void showVerifier();
    void willHide();

private slots:
    void onTemporaryTokenReceived(QString token, QString tokenSecret);
    void onAuthorizationReceived(QString token, QString verifier);
    void onAccessTokenReceived(QString token, QString tokenSecret);
    void onAuthorizedRequestDone();
    void onRequestReady(QByteArray response);
    void onNetworkError();

private:
    void saveAccessToken();
    void loadAccessToken();
    void authorize();

    KQOAuthManager* oauthManager;
    KQOAuthRequest* oauthRequest;
    QString token;
    QString tokenSecret;
    QString tweetAfterGettingAccesToken;
    TwitterAuthorizationView* twitterAuthorizationView;
    bool tweetRequestisRunning;
    bool getAccessTokenRequestisRunning;
    QWidget* baseWidget;
};

#endif // TWITTERCLIENT_H
