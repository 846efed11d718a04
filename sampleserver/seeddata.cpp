#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QTextStream>

#include "logic/news/article.h"
#include "logic/news/articleparser.h"
#include "logic/news/photo.h"
#include "logic/news/briefcasestore.h"

// Fills the data folder (XDG_DATA_HOME) with a briefcase of three sample articles, each with its
// thumbnail and photos on disk, as a reader would have left it. Prints the ids it kept.
// With --list it only prints the ids of the briefcase as the program would load it.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kurendal")); // the program's data folder
    QTextStream out(stdout);
    if (application.arguments().contains(QStringLiteral("--list"))) {
        SavedArticles briefcase(nullptr);
        for (const Article* article : briefcase.getArticles())
            out << article->xx << '\n';
        return 0;
    }
    QFile feed(QStringLiteral(KURENDAL_SAMPLE_CONTENT "/rss.kurendal.pl/pub/mobi_lg/out/kraj.xml"));
    ArticleParser parser;
    if (!feed.open(QIODevice::ReadOnly) || !parser.parse(feed.readAll()) || parser.getParserArticles()->size() < 3) {
        QTextStream(stderr) << "cannot read the sample feed\n";
        return 1;
    }
    QImage picture(120, 90, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG");

    SavedArticles briefcase(nullptr);
    for (int i = 2; i >= 0; --i) {
        Article* article = parser.getParserArticles()->at(i);
        article->thumbnailImage = picture;
        for (Photo* photo : article->photos) {
            photo->data = jpeg;
            photo->image = QPixmap::fromImage(picture);
        }
        if (!briefcase.addArticle(*article))
            return 1;
        out << article->xx << '\n';
    }
    for (Article* article : briefcase.getArticles()) {
        for (int p = 0; p < article->photos.size(); ++p) {
            article->photos[p]->data = jpeg;
            article->photos[p]->image = QPixmap::fromImage(picture);
        }
        article->thumbnailImage = picture;
        article->saveImages();
    }
    briefcase.articlesDidChange(true); // the backup holds all three too
    return 0;
}
