#include "bench/newsdata.h"

#include <QDir>
#include <QTemporaryDir>

#include "logic/base/file.h"

static void initProgramResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace NewsData {

static QString escaped(const QString& s)
{
    return s.toHtmlEscaped();
}

QByteArray feed(int count, int firstXx)
{
    static const char* const titles[] = {
        "Gdańsk: tramwaj wodny popłynie także zimą", "Sejm przyjął ustawę o ochronie sygnalistów",
        "Kraków zamyka Stare Miasto dla samochodów spalinowych", "Reprezentacja wygrywa w Kopenhadze po dogrywce",
        "Ceny mieszkań w Warszawie rosną szybciej niż pensje", "Filharmonia Łódzka otwiera sezon utworem Pendereckiego"};
    static const char* const leads[] = {
        "Miasto przedłuża sezon żeglugi na Motławie. Bilety kosztują tyle, co za tramwaj, a statki będą ogrzewane.",
        "Posłowie wszystkich klubów poparli projekt, który chroni pracowników zgłaszających nieprawidłowości w firmach.",
        "Strefa czystego transportu obejmie ścisłe centrum od pierwszego marca. Mieszkańcy dostaną roczne wyjątki."};
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<iphonefeed>\n");
    for (int i = 0; i < count; ++i) {
        const int xx = firstXx + i;
        const QString title = QString::fromUtf8(titles[i % 6]) + QStringLiteral(" (%1)").arg(xx);
        QString content;
        for (int p = 0; p < 8; ++p)
            content += QStringLiteral("<p>") + QString::fromUtf8(leads[(i + p) % 3])
                       + QStringLiteral(" Radni liczą, że zmiany przyciągną turystów w spokojniejszych miesiącach, "
                                        "a przewoźnik zapowiada kolejne linie.</p>");
        xml += QStringLiteral("<artykul><xx>%1</xx><order>%2</order><date>06-12-2026, 14:%3</date>")
                   .arg(xx).arg(i).arg(i % 60, 2, 10, QLatin1Char('0'));
        xml += QStringLiteral("<title>") + escaped(title) + QStringLiteral("</title>");
        xml += QStringLiteral("<link>http://www.kurendal.pl/artykul/%1</link>").arg(xx);
        xml += QStringLiteral("<lead>") + escaped(QString::fromUtf8(leads[i % 3])) + QStringLiteral("</lead>");
        xml += QStringLiteral("<content>") + escaped(content) + QStringLiteral("</content>");
        xml += QStringLiteral("<signature>Jan Kamiński</signature><label>Kraj</label>");
        xml += QStringLiteral("<thumbnail>http://rss.kurendal.pl/img/thumb_%1.jpg</thumbnail><photos>").arg(xx);
        for (int p = 0; p < 2; ++p) {
            const int pxx = xx * 10 + p;
            xml += QStringLiteral("<photo><xx>%1</xx><url>http://rss.kurendal.pl/img/photo_%1.jpg</url>"
                                  "<url2>http://rss.kurendal.pl/img/photo_%1_big.jpg</url2>"
                                  "<signature>Fot. Jan Kamiński</signature><desc>")
                       .arg(pxx)
                   + escaped(title) + QStringLiteral(" — zdjęcie %1</desc></photo>").arg(p + 1);
        }
        xml += QStringLiteral("</photos></artykul>\n");
    }
    xml += QStringLiteral("</iphonefeed>\n");
    return xml.toUtf8();
}

QByteArray longFeed(int count, int firstXx)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<iphonefeed>\n";
    for (int i = 0; i < count; ++i) {
        const QByteArray xx = QByteArray::number(firstXx + i);
        xml += "<artykul><xx>" + xx + "</xx><order>" + QByteArray::number(i) + "</order><title>Wiadomo\xc5\x9b\xc4\x87 " +
               xx + "</title><thumbnail>http://rss.kurendal.pl/t/" + xx +
               ".jpg</thumbnail></artykul>\n";
    }
    return xml + "</iphonefeed>\n";
}

QByteArray adReply(int bytes)
{
    QByteArray json = "{\"@type\":\"banner\",\"ImageUrl\":{\"#text\":\"http://ads.kurendal.pl/img/top.png\"},"
                      "\"Href\":\"http://www.kurendal.pl/prenumerata\",\"Width\":\"320\",\"Campaigns\":[";
    for (int i = 0; json.size() < bytes; ++i) {
        if (i > 0)
            json += ',';
        json += QStringLiteral("{\"Id\":%1,\"Name\":\"Kampania jesienna \\u017c\\u00f3\\u0142ta %1\",\"Weight\":%2.5,"
                               "\"Active\":%3,\"Until\":null,\"Zones\":[101,102,108],"
                               "\"Text\":\"Prenumerata \\\"Kurendala\\\" taniej o 30%% \\/ miesiąc\"}")
                    .arg(i)
                    .arg(i % 17)
                    .arg(i % 2 ? QStringLiteral("true") : QStringLiteral("false"))
                    .toUtf8();
    }
    json += "]}";
    return json;
}

static QTemporaryDir* root = nullptr;

void useTemporaryData()
{
    if (root)
        return;
    root = new QTemporaryDir();
    qputenv("XDG_DATA_HOME", QDir(root->path()).filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", QDir(root->path()).filePath("config").toUtf8());
    initProgramResources();
}

QString dataDir()
{
    return File::createPathToResource(QString());
}

} // namespace NewsData
