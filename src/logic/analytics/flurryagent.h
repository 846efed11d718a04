#ifndef FLURRYAGENT_H
#define FLURRYAGENT_H

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

class Http;
class QDataStream;

// One usage session.
typedef struct _FlurryInfoStruct {
    qlonglong dateStarted = 0; // ms since the epoch
    qlonglong length = -1;     // ms; -1 while the session is open
    QString version;
} FlurryInfoStruct;

QDataStream& operator<<(QDataStream& out, const FlurryInfoStruct& info);
QDataStream& operator>>(QDataStream& in, FlurryInfoStruct& info);
Q_DECLARE_METATYPE(FlurryInfoStruct)

// Usage analytics: the sessions kept across runs and one binary report per run.
class FlurryAgent : public QObject
{
    Q_OBJECT
public:
    // Back within this long, the session goes on.
    static const qlonglong pauseLimit = 300000;

    explicit FlurryAgent(QObject* parent = nullptr);
    ~FlurryAgent() override;

    static qlonglong getCurrentDate();
    static QString getBluetoothAddress();
    QByteArray createRequest();
    static void writeLongLong(QByteArray& array, qlonglong value);
    static void writeString(QByteArray& array, QString value);

    const QList<_FlurryInfoStruct>& sessions() const { return startups; }

public slots:
    void onStartupApp();
    void onPauseApp();
    void onDestroyApp();
    void sendReport(int timeout);
    void sendReport();

protected:
    // The clock of the sessions and the report.
    virtual qlonglong now() const;

private slots:
    void httpStateChanged(Http* h);

private:
    void describeDevice();
    void closeLastSession(qlonglong end);
    void storeSessions();

    bool raportWasSent;
    QString appId;
    QString imei;
    QString version;
    QString platformValue;
    QString modelValue;
    qlonglong flurryInitializedDate;
    qlonglong pausedDate;
    QList<_FlurryInfoStruct> startups;
    // Leading closed sessions covered by the report under way.
    int reportedSessions;
};

#endif // FLURRYAGENT_H
