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
