#include "logic/sharing/twitterclient.h"

#include "logic/net/oauthrequest.h"
#include "logic/base/constants.h"

static OAuthPinClient::Service twitter()
{
    return {CONSUMER_KEY,          CONSUMER_SECRET_KEY,     twitterRequestTokenUrl,
            twitterAuthorizeUrl,   twitterAccessTokenUrl,   twitterStatusUpdateUrl,
            QStringLiteral("token"), QStringLiteral("tokenSecret")};
}

static OAuthPinClient::Messages twitterMessages()
{
    const QString failed = TwitterClient::tr("Wysłanie tweeta nie powiodło się.");
    return {TwitterClient::tr("Wysłano pomyślnie tweet."), failed,
            TwitterClient::tr("Błąd podczas otrzymywania kodu dostępu. Prawdopodobnie wpisano zły kod."),
            // A signature refused at the very first call: usually the phone's clock or time zone.
            TwitterClient::tr("Wysłanie tweeta nie powiodło się. Aby wysłać tweet musisz mieć poprawnie "
                              "ustawiony czas i strefę czasową."),
            failed, true};
}

TwitterClient::TwitterClient()
    : OAuthPinClient(twitter(), twitterMessages(), nullptr)
{
}

void TwitterClient::tweet(QString text)
{
    post(text);
}

void TwitterClient::fillPost(const QString& text)
{
    QMultiMap<QString, QString> params;
    params.insert(QStringLiteral("status"), text);
    oauthRequest->setAdditionalParameters(params);
}

bool TwitterClient::isFailure(const QString& reply) const
{
    return reply.isEmpty() || reply.contains(QLatin1String("ERROR")) || reply.contains(QLatin1String("Failed"));
}
