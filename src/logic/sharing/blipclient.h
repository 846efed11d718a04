#ifndef BLIPCLIENT_H
#define BLIPCLIENT_H

#include "logic/sharing/oauthpinclient.h"

// Posts a message to Blip on the user's behalf, logging in first by the PIN flow when needed.
class BlipClient : public OAuthPinClient
{
    Q_OBJECT
public:
    explicit BlipClient(QObject* parent = nullptr);

    void sendBlip(QString text);

    // "update[body]=" + text, UTF-8 percent-encoded with "=" and "&" left as they are.
    static QString postBody(const QString& text);

protected:
    void fillPost(const QString& text) override;
    bool isFailure(const QString& reply) const override;
};

#endif // BLIPCLIENT_H
