#ifndef TWITTERCLIENT_H
#define TWITTERCLIENT_H

#include "TwitterSrc/oauthpinclient.h"

class TwitterAuthorizationView;
class QWidget;

// Posts a status on the user's behalf, logging in first by the PIN flow when no token is stored.
class TwitterClient : public OAuthPinClient
{
    Q_OBJECT
public:
    explicit TwitterClient(QWidget* baseWidget);

    void tweet(QString text);

protected slots:
    void onNetworkError() override;

protected:
    void fillPost(const QString& text) override;
    bool isFailure(const QString& reply) const override;
    void postSucceeded() override;
    void postFailed() override;
    void accessTokenFailed() override;
    void requestTokenFailed() override;

private:
    TwitterAuthorizationView* twitterAuthorizationView;
    QWidget* baseWidget;
};

#endif // TWITTERCLIENT_H
