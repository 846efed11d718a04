#ifndef TWITTERCLIENT_H
#define TWITTERCLIENT_H

#include "logic/sharing/oauthpinclient.h"

// Posts a status on the user's behalf, logging in first by the PIN flow when no token is stored.
class TwitterClient : public OAuthPinClient
{
    Q_OBJECT
public:
    TwitterClient();

    void tweet(QString text);

protected:
    void fillPost(const QString& text) override;
    bool isFailure(const QString& reply) const override;
};

#endif // TWITTERCLIENT_H
