#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextStream>

#include "sampleserver/hostile.h"
#include "sampleserver/sampleserver.h"
#include "sampleserver/sampleservices.h"

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// The sample service behind a front that stalls, trickles, redirects to local files and
// loopback addresses, and serves picture bombs, pictures that are not pictures, a feed of
// 100 000 articles and a feed with a NUL. Listens on 127.0.0.1 only and prints the port it took.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("port"), QStringLiteral("Port to listen on (0: any free one)."),
                      QStringLiteral("port"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("canary"), QStringLiteral("Folder for the local files redirects point at."),
                      QStringLiteral("dir")});
    parser.addOption({QStringLiteral("plain"), QStringLiteral("Pass every request on (only print it).")});
    parser.process(application);

    const QString canary = QDir(parser.value(QStringLiteral("canary"))).absolutePath();
    QDir().mkpath(canary);
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    picture.save(canary + QStringLiteral("/canary.png"));
    QByteArray feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<iphonefeed>\n<artykul><xx>777777</xx>"
                      "<order>0</order><date>06-12-2026, 14:07</date><title>KANAREK lokalny plik</title>"
                      "<lead>KANAREK</lead><content>KANAREK</content></artykul>\n</iphonefeed>\n";
    // The bombs it serves, for seeding a data folder with them.
    if (!writeFile(canary + QStringLiteral("/canary.xml"), feed)
        || !writeFile(canary + QStringLiteral("/bomb.png"), Hostile::pngBomb(20000, 20000))
        || !writeFile(canary + QStringLiteral("/bomb.jpg"), Hostile::jpegBomb(20000, 20000))
        || !QFile::exists(canary + QStringLiteral("/canary.png"))) {
        qCritical() << "cannot write the canary files into" << canary;
        return 1;
    }

    SampleServer sample;
    sample.setContentRoot(QStringLiteral(KURENDAL_SAMPLE_CONTENT));
    installAdService(sample, QStringLiteral(KURENDAL_SAMPLE_CONTENT));
    installAnalyticsService(sample);
    if (!sample.start()) {
        qCritical() << "cannot listen:" << sample.errorString();
        return 1;
    }
    HostileServer hostile(sample.serverPort(), canary);
    hostile.setPlain(parser.isSet(QStringLiteral("plain")));
    if (!hostile.start(parser.value(QStringLiteral("port")).toUShort())) {
        qCritical() << "cannot listen:" << hostile.errorString();
        return 1;
    }
    QTextStream(stdout) << "listening " << hostile.serverPort() << Qt::endl;
    return application.exec();
}
