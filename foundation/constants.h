#ifndef CONSTANTS_H
#define CONSTANTS_H

#include <QString>

// Every QSettings of the program is opened with these two names.
static const QString organizationName = QStringLiteral("Tarvo");
static const QString applicationName = QStringLiteral("Kurendal");

// The publisher's servers. Plain HTTP; a system proxy, when set, is honoured.
static const QString feedServerUrl = QStringLiteral("http://rss.kurendal.pl");
static const QString portalServerUrl = QStringLiteral("http://www.kurendal.pl");

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
