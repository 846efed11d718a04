#include "Logic/bannerinfo.h"

BannerInfo* BannerInfo::singleton = nullptr;

BannerInfo::BannerInfo()
    : QObject(nullptr), showSplash(false), showTopBanner(false), showBottomBanner(false), splashDownloaded(false),
      topBannerDownloaded(false), bottomBannerDownloaded(false), currentDownload(nullptr)
{
}

BannerInfo* BannerInfo::getSingleton()
{
    if (!singleton)
        singleton = new BannerInfo();
    return singleton;
}

void BannerInfo::releaseSingleton()
{
    if (singleton)
        singleton->deleteLater();
    singleton = nullptr;
}

bool BannerInfo::canShowSplash() const
{
    return showSplash;
}
