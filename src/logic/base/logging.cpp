#include "logic/base/logging.h"

// Debug lines are off unless QT_LOGGING_RULES turns them on (e.g. "kurendal.*.debug=true").

Q_LOGGING_CATEGORY(lcHttp, "kurendal.http", QtInfoMsg)
Q_LOGGING_CATEGORY(lcChannels, "kurendal.channels", QtInfoMsg)
Q_LOGGING_CATEGORY(lcBanners, "kurendal.banners", QtInfoMsg)
Q_LOGGING_CATEGORY(lcGallery, "kurendal.gallery", QtInfoMsg)
Q_LOGGING_CATEGORY(lcOAuth, "kurendal.oauth", QtInfoMsg)
Q_LOGGING_CATEGORY(lcAnalytics, "kurendal.analytics", QtInfoMsg)
Q_LOGGING_CATEGORY(lcReachability, "kurendal.reachability", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFiles, "kurendal.files", QtInfoMsg)
Q_LOGGING_CATEGORY(lcViews, "kurendal.views", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSystem, "kurendal.system", QtInfoMsg)
