#include "logic/base/logging.h"

Q_LOGGING_CATEGORY(lcHttp, "kurendal.http")
Q_LOGGING_CATEGORY(lcChannels, "kurendal.channels")
Q_LOGGING_CATEGORY(lcBanners, "kurendal.banners")
Q_LOGGING_CATEGORY(lcGallery, "kurendal.gallery")
Q_LOGGING_CATEGORY(lcOAuth, "kurendal.oauth")
Q_LOGGING_CATEGORY(lcAnalytics, "kurendal.analytics")
Q_LOGGING_CATEGORY(lcReachability, "kurendal.reachability")
Q_LOGGING_CATEGORY(lcFiles, "kurendal.files")
Q_LOGGING_CATEGORY(lcViews, "kurendal.views")
Q_LOGGING_CATEGORY(lcSystem, "kurendal.system")
