#ifndef CONSTANTS_H
#define CONSTANTS_H

#include <QString>

// Every QSettings of the program is opened with these two names.
static const QString organizationName = QStringLiteral("Tarvo");
static const QString applicationName = QStringLiteral("Kurendal");

// The publisher's servers. Plain HTTP; a system proxy, when set, is honoured.
static const QString feedServerUrl = QStringLiteral("http://rss.kurendal.pl");
static const QString portalServerUrl = QStringLiteral("http://www.kurendal.pl");

// The ad server: one description each for the top banner, the bottom banner and the splash.
static const QString adServerUrl = QStringLiteral("http://ads.kurendal.pl");
static const QString topBannerUrl =
    adServerUrl + QStringLiteral("/ad/GetBanMb?dir=/kurendalmeego_ads_M/&jsp=30&dx=119833&typ=101&cnt=json");
static const QString bottomBannerUrl =
    adServerUrl + QStringLiteral("/ad/GetBanMb?dir=/kurendalmeego_ads_M/&jsp=30&dx=119833&typ=108&cnt=json");
static const QString splashUrl =
    adServerUrl + QStringLiteral("/ad/GetBanMb?dir=/kurendalmeego_ads_M/&jsp=30&dx=119833&typ=102&cnt=json");

// Twitter: the OAuth endpoints go over HTTPS, the status update over plain HTTP.
static const QString CONSUMER_KEY = QStringLiteral("Zk3Qm9XwLp2Rt7Vb5Nc8Yd");
static const QString CONSUMER_SECRET_KEY = QStringLiteral("Hn5TyR2qWe8ZxLk4Mv7BpCs1Dj9Gf3Ua6Yi0Oo2Ptr");
static const QString twitterRequestTokenUrl = QStringLiteral("https://api.twitter.com/oauth/request_token");
static const QString twitterAuthorizeUrl = QStringLiteral("https://api.twitter.com/oauth/authorize");
static const QString twitterAccessTokenUrl = QStringLiteral("https://api.twitter.com/oauth/access_token");
static const QString twitterStatusUpdateUrl = QStringLiteral("http://api.twitter.com/1/statuses/update.xml");

// Blip: every endpoint over plain HTTP.
static const QString BLIP_CONSUMER_KEY = QStringLiteral("p4KdR8sWm2QzLx7VbN3c");
static const QString BLIP_CONSUMER_SECRET_KEY = QStringLiteral("Wq7LmZ2rTx9bKc4NvPs1HdYg8JfAe3UoRi6XyGt0");
static const QString blipRequestTokenUrl = QStringLiteral("http://blip.pl/m/oauth/request_token");
static const QString blipAuthorizeUrl = QStringLiteral("http://blip.pl/m/oauth/authorize");
static const QString blipAccessTokenUrl = QStringLiteral("http://blip.pl/m/oauth/access_token");
static const QString blipPostStatusHost = QStringLiteral("http://api.blip.pl/updates");
static const QString blipXApiHeader = QStringLiteral("X-Blip-api");
static const QString blipXApiHeaderValue = QStringLiteral("0.02");
static const QString blipAcceptHeader = QStringLiteral("Accept");
static const QString blipAcceptHeaderValue = QStringLiteral("application/json");

// Facebook's feed dialog, opened in the browser.
static const QString appID = QStringLiteral("482915736021468");
static const QString facebookFeedUrl = QStringLiteral("http://www.facebook.com/dialog/feed?app_id=");
static const QString newspaperHomeUrl = QStringLiteral("http://www.kurendal.pl/");

// Usage analytics.
static const QString flurryUrl = QStringLiteral("http://data.flurry.com/aap.do");
static const QString flurryAppId = QStringLiteral("QXZ4TPLM8RKD2WNVB7HC");
static const QString flurryInitDateKey = QStringLiteral("FlurryStartDate");
static const QString flurryDevIDKey = QStringLiteral("FlurryDevID");
static const QString flurryStartupsKey = QStringLiteral("FlurryStartups");
static const QString model = QStringLiteral("device.model");
static const QString platform = QStringLiteral("microedition.platform");
static const QString ConnectionHeader = QStringLiteral("Connection");
static const QString ConnectionCloseHeader = QStringLiteral("close");

// List model roles and row types shared by the category, article and briefcase lists.
enum ItemRoles {
    ItemImageRole = 1,
    ItemTypeRole = 33,
    ItemHeightRole = 34,
    ItemMainTextRole = 35,
    ItemSubTextRole = 36,
    ItemMainTextHeightRole = 37,
    ItemWasReadRole = 38,
    ItemIsUpdatingRole = 38,
    ItemIsClickableRole = 39,
    ItemWidthRole = 40
};

enum ItemTypes {
    ItemTypeNormal = 0,
    ItemTypeBanner = 1,
    ItemTypeFakeSpace = 2,
    ItemTypeNoItems = 3
};

static const int gMaxDecelerationSpeed = 120;

#endif // CONSTANTS_H
