#include "sampleserver/sampleservices.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>

#include "sampleserver/sampleserver.h"

void installAdService(SampleServer& server, const QString& contentRoot)
{
    server.route(QStringLiteral("ads.kurendal.pl"), QStringLiteral("/ad/GetBanMb"),
                 [contentRoot](const SampleServer::Request& request) {
                     const QString typ = QUrlQuery(request.query).queryItemValue(QStringLiteral("typ"));
                     QFile file(contentRoot + QStringLiteral("/ads.kurendal.pl/ad/GetBanMb-") + typ
                                + QStringLiteral(".json"));
                     SampleServer::Reply reply;
                     if (typ.isEmpty() || typ.contains(QLatin1Char('/')) || !file.open(QIODevice::ReadOnly)) {
                         reply.status = 404;
                         reply.body = "{}";
                     } else {
                         reply.body = file.readAll();
                     }
                     reply.contentType = "application/json";
                     return reply;
                 });
}

namespace {

// Big-endian reader over the report bytes; any read past the end marks it bad.
class Reader
{
public:
    explicit Reader(const QByteArray& bytes) : data(bytes) {}

    qlonglong longLong()
    {
        if (!need(8))
            return 0;
        quint64 value = 0;
        for (int i = 0; i < 8; ++i)
            value = (value << 8) | quint8(data.at(pos++));
        return qlonglong(value);
    }
    int uint16()
    {
        if (!need(2))
            return 0;
        const int value = (quint8(data.at(pos)) << 8) | quint8(data.at(pos + 1));
        pos += 2;
        return value;
    }
    QString string()
    {
        const int length = uint16();
        if (!need(length))
            return QString();
        const QString s = QString::fromLatin1(data.mid(pos, length));
        pos += length;
        return s;
    }
    bool expect(const QByteArray& bytes)
    {
        if (!need(bytes.size()) || data.mid(pos, bytes.size()) != bytes)
            return ok = false;
        pos += bytes.size();
        return true;
    }
    bool good() const { return ok; }
    bool atEnd() const { return pos == data.size(); }

private:
    bool need(int n)
    {
        if (n < 0 || data.size() - pos < n)
            ok = false;
        return ok;
    }

    const QByteArray& data;
    int pos = 0;
    bool ok = true;
};

} // namespace

bool parseFlurryReport(const QByteArray& body, FlurryReport& report)
{
    Reader in(body);
    if (!in.expect(QByteArray("\x00\x05\x00\x05\x00\x08", 6)))
        return false;
    report.reportTime = in.longLong();
    report.appId = in.string();
    report.version = in.string();
    report.deviceId = in.string();
    report.firstRun = in.longLong();
    if (in.longLong() != report.reportTime)
        return false;
    const int properties = in.uint16();
    for (int i = 0; i < properties && in.good(); ++i) {
        const QString name = in.string();
        report.properties[name] = in.string();
    }
    const int sessions = in.uint16();
    for (int i = 0; i < sessions && in.good(); ++i) {
        FlurryReport::Session s;
        s.version = in.string();
        s.dateStarted = in.longLong();
        s.length = in.longLong();
        in.expect(QByteArray("\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00", 14));
        report.sessions.append(s);
    }
    return in.good() && in.atEnd() && properties == 2 && report.appId.size() == 20;
}

void installAnalyticsService(SampleServer& server)
{
    server.route(QStringLiteral("data.flurry.com"), QStringLiteral("/aap.do"),
                 [](const SampleServer::Request& request) {
                     FlurryReport report;
                     const bool ok = request.method == "POST" && parseFlurryReport(request.body, report);
                     SampleServer::Reply reply = SampleServer::text(ok ? "OK" : "bad report");
                     reply.status = ok ? 200 : 400;
                     return reply;
                 });
}

namespace {

QByteArray encode(const QByteArray& text)
{
    return QUrl::toPercentEncoding(QString::fromUtf8(text), QByteArray(), QByteArray());
}

QByteArray decode(const QByteArray& text)
{
    return QByteArray::fromPercentEncoding(text);
}

// The pairs of an OAuth "Authorization" header, decoded.
QList<QPair<QByteArray, QByteArray>> headerParameters(const QByteArray& header)
{
    QList<QPair<QByteArray, QByteArray>> params;
    if (!header.startsWith("OAuth "))
        return params;
    for (QByteArray part : header.mid(6).split(',')) {
        part = part.trimmed();
        const int eq = part.indexOf('=');
        if (eq <= 0)
            continue;
        QByteArray value = part.mid(eq + 1).trimmed();
        if (value.startsWith('"') && value.endsWith('"') && value.size() >= 2)
            value = value.mid(1, value.size() - 2);
        params.append(qMakePair(part.left(eq).trimmed(), decode(value)));
    }
    return params;
}

QList<QPair<QByteArray, QByteArray>> formParameters(const QByteArray& form)
{
    QList<QPair<QByteArray, QByteArray>> params;
    for (const QByteArray& pair : form.split('&')) {
        if (pair.isEmpty())
            continue;
        const int eq = pair.indexOf('=');
        QByteArray name = eq < 0 ? pair : pair.left(eq);
        QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
        name.replace('+', ' ');
        value.replace('+', ' ');
        params.append(qMakePair(decode(name), decode(value)));
    }
    return params;
}

QString oauthToken(const SampleServer::Request& request)
{
    for (const auto& p : headerParameters(request.headers.value("authorization")))
        if (p.first == "oauth_token")
            return QString::fromUtf8(p.second);
    return QString();
}

SampleServer::Reply refuse(OAuthService& service, const QByteArray& why, int status = 401)
{
    service.refusals.append(why);
    SampleServer::Reply reply = SampleServer::text(service.failureBody);
    reply.status = status;
    return reply;
}

// Checks the request's signature; on success gives the header parameters.
bool verify(OAuthService& service, const SampleServer::Request& request, const QString& tokenSecret, QMap<QByteArray, QByteArray>& oauth, QByteArray& why)
{
    const QList<QPair<QByteArray, QByteArray>> header = headerParameters(request.headers.value("authorization"));
    QList<QPair<QByteArray, QByteArray>> signedParams;
    QByteArray signature;
    for (const auto& p : header) {
        if (!p.first.startsWith("oauth_"))
            continue; // parameters travel in the query or the body
        if (p.first == "oauth_signature")
            signature = p.second;
        else
            signedParams.append(p);
        oauth.insert(p.first, p.second);
    }
    signedParams += formParameters(request.query.toLatin1());
    if (request.headers.value("content-type").startsWith("application/x-www-form-urlencoded"))
        signedParams += formParameters(request.body);

    if (oauth.value("oauth_consumer_key") != service.consumerKey.toLatin1()) {
        why = "unknown consumer key";
        return false;
    }
    if (oauth.value("oauth_signature_method") != "HMAC-SHA1" || signature.isEmpty()) {
        why = "missing or foreign signature";
        return false;
    }
    const qint64 timestamp = oauth.value("oauth_timestamp").toLongLong();
    if (qAbs(QDateTime::currentSecsSinceEpoch() - timestamp) > 300) {
        why = "timestamp out of range";
        return false;
    }
    QList<QPair<QByteArray, QByteArray>> encoded;
    for (const auto& p : signedParams)
        encoded.append(qMakePair(encode(p.first), encode(p.second)));
    std::sort(encoded.begin(), encoded.end());
    QByteArray normalized;
    for (const auto& p : encoded)
        normalized += (normalized.isEmpty() ? "" : "&") + p.first + '=' + p.second;
    const QByteArray url = request.scheme.toLatin1() + "://" + request.host.toLower().toLatin1() + request.path.toUtf8();
    const QByteArray base = request.method + '&' + encode(url) + '&' + encode(normalized);
    const QByteArray key = encode(service.consumerSecret.toUtf8()) + '&' + encode(tokenSecret.toUtf8());
    const QByteArray expected = QMessageAuthenticationCode::hash(base, key, QCryptographicHash::Sha1).toBase64();
    if (expected != signature) {
        why = "signature does not match: " + base;
        return false;
    }
    return true;
}

} // namespace

QSharedPointer<OAuthService> twitterService()
{
    QSharedPointer<OAuthService> s(new OAuthService);
    s->name = QStringLiteral("Twitter");
    s->tokenHost = QStringLiteral("api.twitter.com");
    s->requestTokenPath = QStringLiteral("/oauth/request_token");
    s->authorizePath = QStringLiteral("/oauth/authorize");
    s->accessTokenPath = QStringLiteral("/oauth/access_token");
    s->postHost = QStringLiteral("api.twitter.com");
    s->postPath = QStringLiteral("/1/statuses/update.xml");
    s->consumerKey = QStringLiteral("Zk3Qm9XwLp2Rt7Vb5Nc8Yd");
    s->consumerSecret = QStringLiteral("Hn5TyR2qWe8ZxLk4Mv7BpCs1Dj9Gf3Ua6Yi0Oo2Ptr");
    s->failureBody = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><hash><error>Failed to validate oauth signature "
                     "and token</error></hash>";
    s->postReply = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><status><id>1</id><text>ok</text></status>";
    return s;
}

QSharedPointer<OAuthService> blipService()
{
    QSharedPointer<OAuthService> s(new OAuthService);
    s->name = QStringLiteral("Blip");
    s->tokenHost = QStringLiteral("blip.pl");
    s->requestTokenPath = QStringLiteral("/m/oauth/request_token");
    s->authorizePath = QStringLiteral("/m/oauth/authorize");
    s->accessTokenPath = QStringLiteral("/m/oauth/access_token");
    s->postHost = QStringLiteral("api.blip.pl");
    s->postPath = QStringLiteral("/updates");
    s->consumerKey = QStringLiteral("p4KdR8sWm2QzLx7VbN3c");
    s->consumerSecret = QStringLiteral("Wq7LmZ2rTx9bKc4NvPs1HdYg8JfAe3UoRi6XyGt0");
    s->failureBody = "ERROR: Unauthorized";
    s->postReply = "{\"id\":1,\"body\":\"ok\",\"type\":\"Status\"}";
    return s;
}

void installOAuthService(SampleServer& server, const QSharedPointer<OAuthService>& service)
{
    server.route(service->tokenHost, service->requestTokenPath, [service](const SampleServer::Request& request) {
        QMap<QByteArray, QByteArray> oauth;
        QByteArray why;
        if (!verify(*service, request, QString(), oauth, why))
            return refuse(*service, why);
        const QString n = QString::number(++service->serial);
        OAuthService::Grant grant;
        grant.secret = QStringLiteral("tempsecret") + n;
        grant.pin = QString::number(4000000 + service->serial * 137);
        const QString token = QStringLiteral("temp") + n;
        service->temporary.insert(token, grant);
        return SampleServer::text(("oauth_token=" + token + "&oauth_token_secret=" + grant.secret +
                                   "&oauth_callback_confirmed=true").toUtf8());
    });
    server.route(service->tokenHost, service->authorizePath, [service](const SampleServer::Request& request) {
        const QString token = QUrlQuery(request.query).queryItemValue(QStringLiteral("oauth_token"),
                                                                      QUrl::FullyDecoded);
        if (!service->temporary.contains(token))
            return refuse(*service, "authorisation for an unknown token", 404);
        return SampleServer::text(("<html><body><h1>" + service->name + "</h1><p>Kod PIN: <b>" +
                                   service->temporary.value(token).pin + "</b></p></body></html>").toUtf8(),
                                  "text/html; charset=utf-8");
    });
    server.route(service->tokenHost, service->accessTokenPath, [service](const SampleServer::Request& request) {
        const QString token = oauthToken(request);
        if (!service->temporary.contains(token))
            return refuse(*service, "unknown temporary token");
        OAuthService::Grant& grant = service->temporary[token];
        QMap<QByteArray, QByteArray> oauth;
        QByteArray why;
        if (!verify(*service, request, grant.secret, oauth, why))
            return refuse(*service, why);
        if (QString::fromUtf8(oauth.value("oauth_verifier")) != grant.pin)
            return refuse(*service, "wrong PIN");
        const QString n = QString::number(++service->serial);
        const QString accessToken = QStringLiteral("access") + n;
        const QString secret = QStringLiteral("accesssecret") + n;
        service->access.insert(accessToken, secret);
        service->postsLeft.insert(accessToken, service->tokenLifetimePosts);
        service->temporary.remove(token);
        return SampleServer::text(("oauth_token=" + accessToken + "&oauth_token_secret=" + secret).toUtf8());
    });
    server.route(service->postHost, service->postPath, [service](const SampleServer::Request& request) {
        const QString accessToken = oauthToken(request);
        if (!service->access.contains(accessToken))
            return refuse(*service, "unknown access token");
        QMap<QByteArray, QByteArray> oauth;
        QByteArray why;
        if (!verify(*service, request, service->access.value(accessToken), oauth, why))
            return refuse(*service, why);
        int& left = service->postsLeft[accessToken];
        if (left == 0)
            return refuse(*service, "access token revoked");
        if (left > 0)
            --left;
        service->posts.append(request.body);
        for (const auto& p : formParameters(request.body))
            if (p.first == "status")
                service->statuses.append(p.second);
        return SampleServer::text(service->postReply, "application/xml");
    });
}
