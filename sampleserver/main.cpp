#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDebug>

#include "sampleserver/sampleserver.h"
#include "sampleserver/sampleservices.h"

// Serves the bundled sample content, the ads and the analytics endpoint on 127.0.0.1,
// for the application to use as its proxy.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("port"), QStringLiteral("Port to listen on."), QStringLiteral("port"),
                      QStringLiteral("18080")});
    parser.addOption({QStringLiteral("content"), QStringLiteral("Folder of sample content."),
                      QStringLiteral("dir"), QStringLiteral(KURENDAL_SAMPLE_CONTENT)});
    parser.process(application);

    SampleServer server;
    server.setContentRoot(parser.value(QStringLiteral("content")));
    installAdService(server, parser.value(QStringLiteral("content")));
    installAnalyticsService(server);
    installOAuthService(server, twitterService());
    installOAuthService(server, blipService());
    server.setTlsFiles(QStringLiteral(KURENDAL_SAMPLE_TLS "/server.pem"), QStringLiteral(KURENDAL_SAMPLE_TLS "/server.key"));
    if (!server.start(parser.value(QStringLiteral("port")).toUShort())) {
        qCritical() << "cannot listen:" << server.errorString();
        return 1;
    }
    qInfo().noquote() << "sample service on" << server.baseUrl() << "serving" << parser.value(QStringLiteral("content"));
    return application.exec();
}
