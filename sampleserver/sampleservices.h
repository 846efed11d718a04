#ifndef SAMPLESERVICES_H
#define SAMPLESERVICES_H

#include <QByteArray>
#include <QList>
#include <QMap>
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

#endif // SAMPLESERVICES_H
