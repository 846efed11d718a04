#include "TwitterSrc/twitterclient.h"


#include "TwitterSrc/oauth/kqoauthrequest.h"
#include "Views/messagebox.h"
#include "foundation/constants.h"
#include "foundation/logging.h"

static OAuthPinClient::Service twitter()
{
    return {CONSUMER_KEY,          CONSUMER_SECRET_KEY,     twitterRequestTokenUrl,
            twitterAuthorizeUrl,   twitterAccessTokenUrl,   twitterStatusUpdateUrl,
            QStringLiteral("token"), QStringLiteral("tokenSecret")};
}

TwitterClient::TwitterClient(QWidget* base)
    : OAuthPinClient(twitter(), nullptr), twitterAuthorizationView(nullptr), baseWidget(base)
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
    MessageBox::showInformation(tr("Wysłano pomyślnie tweet."), QString());
    emit willHide();
}

void TwitterClient::postFailed()
{
    MessageBox::showInformation(tr("Wysłanie tweeta nie powiodło się."), QString());
    emit willHide();
}

void TwitterClient::accessTokenFailed()
{
    MessageBox::showInformation(tr("Błąd podczas otrzymywania kodu dostępu. Prawdopodobnie wpisano zły kod."),
                                QString());
    emit willHide();
}

void TwitterClient::requestTokenFailed()
{
    // A signature refused at the very first call: usually the phone's clock or time zone.
    MessageBox::showInformation(tr("Wysłanie tweeta nie powiodło się. Aby wysłać tweet musisz mieć poprawnie "
                                       "ustawiony czas i strefę czasową."),
                                QString());
    emit willHide();
}

void TwitterClient::onNetworkError()
{
    qCWarning(lcOAuth) << "the tweet was not sent: network error";
    MessageBox::showInformation(tr("Wysłanie tweeta nie powiodło się."), QString());
    emit willHide();
}
