#ifndef SAMPLESERVICES_H
#define SAMPLESERVICES_H

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QString>

class SampleServer;

// The ad server: answers the three descriptions (chosen by "typ") from the content folder.
void installAdService(SampleServer& server, const QString& contentRoot);

// One analytics report as it travels: the layout the application posts to "/aap.do".
struct FlurryReport {
    struct Session {
        QString version;
        qlonglong dateStarted = 0;
        qlonglong length = 0;
    };
    qlonglong reportTime = 0;
    QString appId;
    QString version;
    QString deviceId;
    qlonglong firstRun = 0;
    QMap<QString, QString> properties;
    QList<Session> sessions;
};

// Reads a report; false when any byte is out of place or anything is left over.
bool parseFlurryReport(const QByteArray& body, FlurryReport& report);

// The analytics endpoint: 200 for a well-formed report, 400 otherwise.
void installAnalyticsService(SampleServer& server);

// An OAuth 1.0a provider in the PIN (out-of-band) style: it issues temporary tokens,
// shows the PIN on its authorisation page, exchanges PIN for access tokens and takes posts,
// verifying the HMAC-SHA1 signature of every request (a wrongly signed one gets an error).
struct OAuthService {
    QString name;              // "Twitter" or "Blip"
    QString tokenHost;         // host of the three token endpoints
    QString requestTokenPath;
    QString authorizePath;
    QString accessTokenPath;
    QString postHost;
    QString postPath;
    QString consumerKey;
    QString consumerSecret;
    QByteArray failureBody;    // body of every refusal
    QByteArray postReply;      // body of an accepted post
    int tokenLifetimePosts = -1; // posts an access token is good for; -1 without limit

    struct Grant {
        QString secret;
        QString pin;
        QString accessToken;
    };
    QMap<QString, Grant> temporary;     // temporary token -> its secret and PIN
    QMap<QString, QString> access;      // access token -> secret
    QMap<QString, int> postsLeft;
    QList<QByteArray> posts;            // bodies of the accepted posts
    QList<QByteArray> statuses;         // the "status" parameter of the accepted posts, decoded
    QList<QByteArray> refusals;         // why requests were refused
    int serial = 0;
};

QSharedPointer<OAuthService> twitterService();
QSharedPointer<OAuthService> blipService();
void installOAuthService(SampleServer& server, const QSharedPointer<OAuthService>& service);

#endif // SAMPLESERVICES_H
