#ifndef BLIPCLIENT_H
#define BLIPCLIENT_H

#include <QObject>
#include <QString>

class KQOAuthManager;
class KQOAuthRequest;

// Posts a message to Blip on the user's behalf, logging in first by the PIN flow when needed.
class BlipClient : public QObject
{
    Q_OBJECT
public:
    explicit BlipClient(QObject* parent = nullptr);

    void sendBlip(QString text);
    void setVerifier(QString verifier);
    void cancel();
    void resetAccessToken();

    // "update[body]=" + text, UTF-8 percent-encoded with "=" and "&" left as they are.
    static QString postBody(const QString& text);

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
    bool tweetRequestisRunning;
    bool getAccessTokenRequestisRunning;
};

#endif // BLIPCLIENT_H
