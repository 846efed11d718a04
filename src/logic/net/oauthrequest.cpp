#include "logic/net/oauthrequest.h"

#include <QDateTime>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <algorithm>

class KQOAuthRequestPrivate
{
public:
    QUrl oauthRequestEndpoint;
    KQOAuthRequest::RequestHttpMethod oauthHttpMethod = KQOAuthRequest::POST;
    QString oauthHttpMethodString = QStringLiteral("POST");
    QString oauthConsumerKey;
    QString oauthConsumerSecretKey;
    QString oauthToken;
    QString oauthTokenSecret;
    QString oauthSignatureMethod = QStringLiteral("HMAC-SHA1");
    QUrl oauthCallbackUrl;
    QString oauthVersion = QStringLiteral("1.0");
    QString oauthVerifier;
    QString oauthTimestamp_;
    QString oauthNonce_;
    QMultiMap<QString, QString> additionalParams;
    QByteArray postBodyContent;
    bool postBodyWasSet = false;
    QList<QPair<QString, QString>> requestParameters;
    KQOAuthRequest::RequestType requestType = KQOAuthRequest::AuthorizedRequest;
};

KQOAuthRequest::KQOAuthRequest(QObject* parent) : QObject(parent), d(new KQOAuthRequestPrivate) {}

KQOAuthRequest::~KQOAuthRequest()
{
    delete d;
}

void KQOAuthRequest::initRequest(RequestType type, const QUrl& endpoint)
{
    clearRequest();
    d->requestType = type;
    d->oauthRequestEndpoint = endpoint;
    d->oauthSignatureMethod = QStringLiteral("HMAC-SHA1");
    setHttpMethod(POST);
    d->oauthVersion = QStringLiteral("1.0");
}

void KQOAuthRequest::clearRequest()
{
    delete d;
    d = new KQOAuthRequestPrivate;
}

void KQOAuthRequest::setConsumerKey(const QString& key) { d->oauthConsumerKey = key; }
void KQOAuthRequest::setConsumerSecretKey(const QString& key) { d->oauthConsumerSecretKey = key; }
void KQOAuthRequest::setToken(const QString& token) { d->oauthToken = token; }
void KQOAuthRequest::setTokenSecret(const QString& secret) { d->oauthTokenSecret = secret; }
void KQOAuthRequest::setVerifier(const QString& verifier) { d->oauthVerifier = verifier; }
void KQOAuthRequest::setAdditionalParameters(const QMultiMap<QString, QString>& params) { d->additionalParams = params; }
void KQOAuthRequest::setTimestamp(const QString& timestamp) { d->oauthTimestamp_ = timestamp; }
void KQOAuthRequest::setNonce(const QString& nonce) { d->oauthNonce_ = nonce; }

void KQOAuthRequest::setPostBody(const QString& body)
{
    d->postBodyContent = body.toLatin1();
    d->postBodyWasSet = true;
}

void KQOAuthRequest::setHttpMethod(RequestHttpMethod method)
{
    d->oauthHttpMethod = method;
    d->oauthHttpMethodString = method == GET ? QStringLiteral("GET") : QStringLiteral("POST");
}

bool KQOAuthRequest::isValid() const
{
    if (d->oauthConsumerKey.isEmpty() || d->oauthConsumerSecretKey.isEmpty())
        return false;
    switch (d->requestType) {
    case TemporaryCredentials:
        return true;
    case AccessToken:
        return !d->oauthToken.isEmpty() && !d->oauthVerifier.isEmpty();
    case AuthorizedRequest:
        return !d->oauthToken.isEmpty() && !d->oauthTokenSecret.isEmpty();
    }
    return false;
}

KQOAuthRequest::RequestType KQOAuthRequest::requestType() const { return d->requestType; }
QUrl KQOAuthRequest::requestEndpoint() const { return d->oauthRequestEndpoint; }
KQOAuthRequest::RequestHttpMethod KQOAuthRequest::httpMethod() const { return d->oauthHttpMethod; }
QString KQOAuthRequest::consumerKey() const { return d->oauthConsumerKey; }
QString KQOAuthRequest::consumerSecretKey() const { return d->oauthConsumerSecretKey; }
QMultiMap<QString, QString> KQOAuthRequest::additionalParameters() const { return d->additionalParams; }
bool KQOAuthRequest::hasPostBody() const { return d->postBodyWasSet; }
QByteArray KQOAuthRequest::postBody() const { return d->postBodyContent; }
QList<QPair<QString, QString>> KQOAuthRequest::requestParameters() const { return d->requestParameters; }

QByteArray KQOAuthRequest::percentEncode(const QString& text)
{
    // RFC 3986 unreserved characters stay, everything else is encoded from UTF-8.
    return QUrl::toPercentEncoding(text, QByteArray(), QByteArray());
}

QByteArray KQOAuthRequest::signatureBaseString(const QString& method, const QUrl& endpoint,
                                               const QList<QPair<QString, QString>>& parameters)
{
    QList<QPair<QByteArray, QByteArray>> encoded;
    for (const auto& p : parameters)
        encoded.append(qMakePair(percentEncode(p.first), percentEncode(p.second)));
    std::sort(encoded.begin(), encoded.end());
    QByteArray normalized;
    for (const auto& p : encoded) {
        if (!normalized.isEmpty())
            normalized += '&';
        normalized += p.first + '=' + p.second;
    }
    QUrl base = endpoint.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
    base.setScheme(base.scheme().toLower());
    base.setHost(base.host().toLower());
    if ((base.scheme() == QLatin1String("http") && base.port() == 80) ||
        (base.scheme() == QLatin1String("https") && base.port() == 443))
        base.setPort(-1);
    return method.toUpper().toLatin1() + '&' + percentEncode(base.toString(QUrl::FullyEncoded)) + '&' +
           percentEncode(QString::fromLatin1(normalized));
}

QByteArray KQOAuthRequest::hmacSha1(const QByteArray& baseString, const QString& consumerSecret,
                                    const QString& tokenSecret)
{
    const QByteArray key = percentEncode(consumerSecret) + '&' + percentEncode(tokenSecret);
    return QMessageAuthenticationCode::hash(baseString, key, QCryptographicHash::Sha1).toBase64();
}

QByteArray KQOAuthRequest::authorizationHeader()
{
    const QString timestamp = d->oauthTimestamp_.isEmpty()
                                  ? QString::number(QDateTime::currentDateTimeUtc().toSecsSinceEpoch())
                                  : d->oauthTimestamp_;
    const QString nonce = d->oauthNonce_.isEmpty() ? QString::number(QRandomGenerator::global()->generate())
                                                   : d->oauthNonce_;

    // In the order the header carries them.
    QList<QPair<QString, QString>> oauth;
    oauth << qMakePair(QStringLiteral("oauth_signature_method"), d->oauthSignatureMethod)
          << qMakePair(QStringLiteral("oauth_consumer_key"), d->oauthConsumerKey)
          << qMakePair(QStringLiteral("oauth_version"), d->oauthVersion)
          << qMakePair(QStringLiteral("oauth_timestamp"), timestamp)
          << qMakePair(QStringLiteral("oauth_nonce"), nonce);
    if (d->requestType == AccessToken)
        oauth << qMakePair(QStringLiteral("oauth_verifier"), d->oauthVerifier);
    if (d->requestType != TemporaryCredentials)
        oauth << qMakePair(QStringLiteral("oauth_token"), d->oauthToken);
    QList<QPair<QString, QString>> present;
    for (const auto& p : oauth)
        if (!p.second.isEmpty())
            present << p;

    QList<QPair<QString, QString>> signedParameters = present;
    for (auto it = d->additionalParams.constBegin(); it != d->additionalParams.constEnd(); ++it)
        signedParameters << qMakePair(it.key(), it.value());
    const QByteArray base = signatureBaseString(d->oauthHttpMethodString, d->oauthRequestEndpoint, signedParameters);
    const QByteArray signature = hmacSha1(base, d->oauthConsumerSecretKey, d->oauthTokenSecret);

    QList<QPair<QString, QString>> header = present;
    for (auto it = d->additionalParams.constBegin(); it != d->additionalParams.constEnd(); ++it)
        if (!it.value().isEmpty())
            header << qMakePair(it.key(), it.value());
    header << qMakePair(QStringLiteral("oauth_signature"), QString::fromLatin1(signature));
    d->requestParameters = present;
    d->requestParameters << qMakePair(QStringLiteral("oauth_signature"), QString::fromLatin1(signature));

    QByteArray value = "OAuth ";
    bool first = true;
    for (const auto& p : header) {
        if (!first)
            value += ", ";
        first = false;
        const bool encode = p.first.startsWith(QLatin1String("status"));
        value += p.first.toUtf8() + "=\"" + (encode ? percentEncode(p.second) : p.second.toUtf8()) + '"';
    }
    return value;
}
