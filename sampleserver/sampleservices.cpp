#include "sampleserver/sampleservices.h"

#include <QFile>
#include <QUrlQuery>

#include "sampleserver/sampleserver.h"

void installAdService(SampleServer& server, const QString& contentRoot)
{
    server.route(QStringLiteral("ads.kurendal.pl"), QStringLiteral("/ad/GetBanMb"),
                 [contentRoot](const SampleServer::Request& request) {
                     const QString typ = QUrlQuery(request.query).queryItemValue(QStringLiteral("typ"));
                     QFile file(contentRoot + QStringLiteral("/ads.kurendal.pl/ad/GetBanMb-") + typ
                                + QStringLiteral(".json"));
                     SampleServer::Reply reply;
                     if (typ.isEmpty() || typ.contains(QLatin1Char('/')) || !file.open(QIODevice::ReadOnly)) {
                         reply.status = 404;
                         reply.body = "{}";
                     } else {
                         reply.body = file.readAll();
                     }
                     reply.contentType = "application/json";
                     return reply;
                 });
}

namespace {

// Big-endian reader over the report bytes; any read past the end marks it bad.
class Reader
{
public:
    explicit Reader(const QByteArray& bytes) : data(bytes) {}

    qlonglong longLong()
    {
        if (!need(8))
            return 0;
        quint64 value = 0;
        for (int i = 0; i < 8; ++i)
            value = (value << 8) | quint8(data.at(pos++));
        return qlonglong(value);
    }
    int uint16()
    {
        if (!need(2))
            return 0;
        const int value = (quint8(data.at(pos)) << 8) | quint8(data.at(pos + 1));
        pos += 2;
        return value;
    }
    QString string()
    {
        const int length = uint16();
        if (!need(length))
            return QString();
        const QString s = QString::fromLatin1(data.mid(pos, length));
        pos += length;
        return s;
    }
    bool expect(const QByteArray& bytes)
    {
        if (!need(bytes.size()) || data.mid(pos, bytes.size()) != bytes)
            return ok = false;
        pos += bytes.size();
        return true;
    }
    bool good() const { return ok; }
    bool atEnd() const { return pos == data.size(); }

private:
    bool need(int n)
    {
        if (n < 0 || data.size() - pos < n)
            ok = false;
        return ok;
    }

    const QByteArray& data;
    int pos = 0;
    bool ok = true;
};

} // namespace

bool parseFlurryReport(const QByteArray& body, FlurryReport& report)
{
    Reader in(body);
    if (!in.expect(QByteArray("\x00\x05\x00\x05\x00\x08", 6)))
        return false;
    report.reportTime = in.longLong();
    report.appId = in.string();
    report.version = in.string();
    report.deviceId = in.string();
    report.firstRun = in.longLong();
    if (in.longLong() != report.reportTime)
        return false;
    const int properties = in.uint16();
    for (int i = 0; i < properties && in.good(); ++i) {
        const QString name = in.string();
        report.properties[name] = in.string();
    }
    const int sessions = in.uint16();
    for (int i = 0; i < sessions && in.good(); ++i) {
        FlurryReport::Session s;
        s.version = in.string();
        s.dateStarted = in.longLong();
        s.length = in.longLong();
        in.expect(QByteArray("\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00", 14));
        report.sessions.append(s);
    }
    return in.good() && in.atEnd() && properties == 2 && report.appId.size() == 20;
}

void installAnalyticsService(SampleServer& server)
{
    server.route(QStringLiteral("data.flurry.com"), QStringLiteral("/aap.do"),
                 [](const SampleServer::Request& request) {
                     FlurryReport report;
                     const bool ok = request.method == "POST" && parseFlurryReport(request.body, report);
                     SampleServer::Reply reply = SampleServer::text(ok ? "OK" : "bad report");
                     reply.status = ok ? 200 : 400;
                     return reply;
                 });
}
