#include "BlipSrc/blipclient.h"

#include <QUrl>

#include "oauth/kqoauthmanager.h"
#include "oauth/kqoauthrequest.h"
#include "foundation/constants.h"
#include "foundation/userprompts.h"

static OAuthPinClient::Service blip()
{
    return {BLIP_CONSUMER_KEY,  BLIP_CONSUMER_SECRET_KEY, blipRequestTokenUrl,
            blipAuthorizeUrl,   blipAccessTokenUrl,       blipPostStatusHost,
            QStringLiteral("bliptoken"), QStringLiteral("bliptokenSecret")};
}

BlipClient::BlipClient(QObject* parent) : OAuthPinClient(blip(), parent)
{
    oauthManager->addHeader(blipXApiHeader, blipXApiHeaderValue);
    oauthManager->addHeader(blipAcceptHeader, blipAcceptHeaderValue);
    oauthManager->setUrlOctetStreamContentType();
}

QString BlipClient::postBody(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("update[body]=") + text, "=&"));
}

void BlipClient::sendBlip(QString text)
{
    post(text);
}

void BlipClient::fillPost(const QString& text)
{
    oauthRequest->setPostBody(postBody(text));
}

bool BlipClient::isFailure(const QString& reply) const
{
    return reply.isEmpty() || reply.contains(QLatin1String("ERROR"));
}

void BlipClient::postSucceeded()
{
    UserPrompts::information(tr("Wysłano pomyślnie wiadomość."), QString());
    emit willHide();
}

void BlipClient::postFailed()
{
    UserPrompts::information(tr("Wysłanie wiadomości nie powiodło się."), QString());
    emit willHide();
}

void BlipClient::accessTokenFailed()
{
    UserPrompts::information(tr("Błąd podczas otrzymywania kodu dostępu. Prawdopodobnie wpisano zły kod."),
                             QString());
    emit willHide();
}

// Nothing is shown: the busy panel stays until the user closes it.
void BlipClient::requestTokenFailed()
{
}

void BlipClient::onNetworkError()
{
    UserPrompts::information(tr("Wysłanie wiadomości nie powiodło się."), QString());
}
