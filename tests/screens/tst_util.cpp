#include <QtTest>
#include <QDesktopServices>
#include <QFontMetrics>

#include "logic/base/util.h"
#include "tests/support/testenv.h"

// Catches what the desktop would have opened.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void handle(const QUrl& url) { urls.append(url); }
};

class TestUtil : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::prepare(); }

    void cipherRoundTrip()
    {
        QVERIFY(Util::initCipher());
        const QString token = QStringLiteral("14819245-Kd8sH2lQpX0aPz91MmQ3nQ8s7Fz1Rw5tYb");
        const QByteArray secret = Util::encrypt(token);
        QVERIFY(!secret.isEmpty());
        QCOMPARE(secret.size() % 16, 0);
        QVERIFY(!secret.contains(token.toLatin1()));
        QCOMPARE(Util::decrypt(secret), token);
        // Every call starts from the same vector.
        QCOMPARE(Util::encrypt(token), secret);
        // A 15-character text plus its NUL fills one block exactly; padding adds a second.
        QCOMPARE(Util::encrypt(QString(15, 'a')).size(), 32);
        QCOMPARE(Util::decrypt(Util::encrypt("x")), QString("x"));
    }

    void cipherEdgeCases()
    {
        QVERIFY(Util::encrypt(QString()).isEmpty());
        QVERIFY(Util::decrypt(QByteArray()).isEmpty());
        // Damaged input never crashes and never gives back the token.
        QByteArray secret = Util::encrypt("sekret-token");
        secret[secret.size() - 1] = secret.at(secret.size() - 1) ^ 0x55;
        QVERIFY(Util::decrypt(secret) != QString("sekret-token"));
        QVERIFY(Util::decrypt(QByteArray("short")) != QString("short"));
    }

    void splitTextBreaksAtSpaces()
    {
        QFont font("DejaVu Sans");
        font.setPixelSize(16);
        const QFontMetrics fm(font);
        const int w = fm.horizontalAdvance("alpha beta ") + 2;

        // Narrower than the width: one line, whatever maxLines says.
        QCOMPARE(Util::splitText("alpha", fm, w, 0), QStringList() << "alpha");

        // The first two words fit; the line keeps the space after each word.
        QStringList lines = Util::splitText("alpha beta gamma", fm, w, 2);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0), QString("alpha beta "));
        QCOMPARE(lines.at(1), QString("gamma"));

        // One line only: the whole text elided.
        lines = Util::splitText("alpha beta gamma delta", fm, w, 1);
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.at(0).endsWith(QChar(0x2026)));
        QVERIFY(fm.horizontalAdvance(lines.at(0)) <= w);

        // Three lines of a long text: the last one is elided, none is wider than the width.
        lines = Util::splitText("alpha beta gamma delta epsilon zeta eta theta", fm, w, 3);
        QCOMPARE(lines.size(), 3);
        for (const QString& line : lines)
            QVERIFY(fm.horizontalAdvance(line.trimmed()) <= w);
        QVERIFY(lines.at(2).endsWith(QChar(0x2026)));

        // A first word wider than the width gives empty lines until the elided last one.
        lines = Util::splitText("nadzwyczajnieprzedłużonysłowotwór i reszta", fm, w, 3);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), QString());
        QCOMPARE(lines.at(1), QString());
        QVERIFY(lines.at(2).endsWith(QChar(0x2026)));
    }

    void composerHandOff()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("mailto", &catcher, "handle");
        QDesktopServices::setUrlHandler("sms", &catcher, "handle");
        QDesktopServices::setUrlHandler("http", &catcher, "handle");

        QVERIFY(Util::sendEmail(QString(), QString::fromUtf8("Tytuł & więcej"), "Treść\nlinia 2"));
        QVERIFY(Util::sendSMS("+48600100200", QString::fromUtf8("Zobacz: ąę")));
        Util::openUrl("http://www.kurendal.pl/a?b=1", false);
        QCOMPARE(catcher.urls.size(), 3);

        const QUrl mail = catcher.urls.at(0);
        QCOMPARE(mail.scheme(), QString("mailto"));
        const QUrlQuery mailQuery(mail);
        QCOMPARE(mailQuery.queryItemValue("subject", QUrl::FullyDecoded), QString::fromUtf8("Tytuł & więcej"));
        QCOMPARE(mailQuery.queryItemValue("body", QUrl::FullyDecoded), QString::fromUtf8("Treść\nlinia 2"));
        const QUrl sms = catcher.urls.at(1);
        QCOMPARE(sms.path(), QString("+48600100200"));
        QCOMPARE(QUrlQuery(sms).queryItemValue("body", QUrl::FullyDecoded), QString::fromUtf8("Zobacz: ąę"));
        QCOMPARE(catcher.urls.at(2), QUrl("http://www.kurendal.pl/a?b=1"));

        QDesktopServices::unsetUrlHandler("mailto");
        QDesktopServices::unsetUrlHandler("sms");
        QDesktopServices::unsetUrlHandler("http");
    }
};

QTEST_MAIN(TestUtil)
#include "tst_util.moc"
