#ifndef LOGGING_H
#define LOGGING_H

#include <QLoggingCategory>

// One category per subsystem, so a run can switch each on or off with
// QT_LOGGING_RULES (e.g. "kurendal.http.debug=true"). No log line may carry a
// token, a secret, a password or anything the user typed.
Q_DECLARE_LOGGING_CATEGORY(lcHttp)
Q_DECLARE_LOGGING_CATEGORY(lcChannels)
Q_DECLARE_LOGGING_CATEGORY(lcBanners)
Q_DECLARE_LOGGING_CATEGORY(lcGallery)
Q_DECLARE_LOGGING_CATEGORY(lcOAuth)
Q_DECLARE_LOGGING_CATEGORY(lcAnalytics)
Q_DECLARE_LOGGING_CATEGORY(lcReachability)
Q_DECLARE_LOGGING_CATEGORY(lcFiles)
Q_DECLARE_LOGGING_CATEGORY(lcViews)
Q_DECLARE_LOGGING_CATEGORY(lcSystem)

#endif // LOGGING_H
