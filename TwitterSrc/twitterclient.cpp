#include "TwitterSrc/twitterclient.h"


#include "oauth/kqoauthrequest.h"
#include "foundation/constants.h"
#include "foundation/userprompts.h"
#include "foundation/logging.h"

static OAuthPinClient::Service twitter()
{
    return {CONSUMER_KEY,          CONSUMER_SECRET_KEY,     twitterRequestTokenUrl,
            twitterAuthorizeUrl,   twitterAccessTokenUrl,   twitterStatusUpdateUrl,
            QStringLiteral("token"), QStringLiteral("tokenSecret")};
}

TwitterClient::TwitterClient()
    : OAuthPinClient(twitter(), nullptr)
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

void TwitterClient::postSucceeded()
{
    UserPrompts::information(tr("Wysłano pomyślnie tweet."), QString());
    emit willHide();
}

void TwitterClient::postFailed()
{
    UserPrompts::information(tr("Wysłanie tweeta nie powiodło się."), QString());
    emit willHide();
}

void TwitterClient::accessTokenFailed()
{
    UserPrompts::information(tr("Błąd podczas otrzymywania kodu dostępu. Prawdopodobnie wpisano zły kod."),
                             QString());
    emit willHide();
}

void TwitterClient::requestTokenFailed()
{
    // A signature refused at the very first call: usually the phone's clock or time zone.
    UserPrompts::information(tr("Wysłanie tweeta nie powiodło się. Aby wysłać tweet musisz mieć poprawnie "
                                    "ustawiony czas i strefę czasową."),
                             QString());
    emit willHide();
}

void TwitterClient::onNetworkError()
{
    qCWarning(lcOAuth) << "the tweet was not sent: network error";
    UserPrompts::information(tr("Wysłanie tweeta nie powiodło się."), QString());
    emit willHide();
}
