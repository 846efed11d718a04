#include "logic/sharing/blipclient.h"

#include <QUrl>

#include "logic/net/oauthmanager.h"
#include "logic/net/oauthrequest.h"
#include "logic/base/constants.h"

static OAuthPinClient::Service blip()
{
    return {BLIP_CONSUMER_KEY,  BLIP_CONSUMER_SECRET_KEY, blipRequestTokenUrl,
            blipAuthorizeUrl,   blipAccessTokenUrl,       blipPostStatusHost,
            QStringLiteral("bliptoken"), QStringLiteral("bliptokenSecret")};
}

// A refused request token shows nothing, and after a network error the panel stays open:
// the user closes it.
static OAuthPinClient::Messages blipMessages()
{
    const QString failed = BlipClient::tr("Wysłanie wiadomości nie powiodło się.");
    return {BlipClient::tr("Wysłano pomyślnie wiadomość."), failed,
            BlipClient::tr("Błąd podczas otrzymywania kodu dostępu. Prawdopodobnie wpisano zły kod."), QString(),
            failed, false};
}

BlipClient::BlipClient(QObject* parent) : OAuthPinClient(blip(), blipMessages(), parent)
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
