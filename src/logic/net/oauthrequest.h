#ifndef KQOAUTHREQUEST_H
#define KQOAUTHREQUEST_H

#include <QList>
#include <QMultiMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>

class KQOAuthRequestPrivate;

// One OAuth 1.0a request: its kind, endpoint, keys, tokens and parameters, signed with
// HMAC-SHA1 as RFC 5849 defines it.
class KQOAuthRequest : public QObject
{
    Q_OBJECT
public:
    enum RequestType { TemporaryCredentials = 0, AccessToken = 1, AuthorizedRequest = 2 };
    enum RequestSignatureMethod { PLAINTEXT = 0, HMAC_SHA1 = 1, RSA_SHA1 = 2 };
    enum RequestHttpMethod { GET = 0, POST = 1 };

    explicit KQOAuthRequest(QObject* parent = nullptr);
    ~KQOAuthRequest() override;

    void initRequest(RequestType type, const QUrl& endpoint);
    void clearRequest();
    void setConsumerKey(const QString& key);
    void setConsumerSecretKey(const QString& key);
    void setToken(const QString& token);
    void setTokenSecret(const QString& secret);
    void setVerifier(const QString& verifier);
    void setAdditionalParameters(const QMultiMap<QString, QString>& params);
    void setPostBody(const QString& body);
    void setHttpMethod(RequestHttpMethod method);
    // Fixed values instead of fresh ones at every signing (known test vectors).
    void setTimestamp(const QString& timestamp);
    void setNonce(const QString& nonce);
    bool isValid() const;

    RequestType requestType() const;
    QUrl requestEndpoint() const;
    RequestHttpMethod httpMethod() const;
    QString consumerKey() const;
    QString consumerSecretKey() const;
    QMultiMap<QString, QString> additionalParameters() const;
    bool hasPostBody() const;
    QByteArray postBody() const;

    // Signs afresh (new nonce and timestamp unless preset) and gives the "Authorization" value.
    QByteArray authorizationHeader();
    // The OAuth parameters of the last signing, oauth_signature included.
    QList<QPair<QString, QString>> requestParameters() const;

    static QByteArray percentEncode(const QString& text);
    static QByteArray signatureBaseString(const QString& method, const QUrl& endpoint,
                                          const QList<QPair<QString, QString>>& parameters);
    static QByteArray hmacSha1(const QByteArray& baseString, const QString& consumerSecret,
                               const QString& tokenSecret);

private:
    KQOAuthRequestPrivate* d;
};

#endif // KQOAUTHREQUEST_H
