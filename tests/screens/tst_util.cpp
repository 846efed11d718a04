#include <QtTest>
#include <QFontMetrics>

#include "logic/base/userprompts.h"
#include "logic/base/util.h"
#include "screens/shell/screenprompts.h"
#include "tests/support/boxes.h"
#include "tests/support/testenv.h"

// Prompts that record what the logic asks of the user.
class RecordingPrompts : public UserPrompts
{
public:
    QStringList seen;
    bool composerAnswer = true;

    void showError(const QString& text, const QString& title) override { seen << "error:" + title + ":" + text; }
    void showInformation(const QString& text, const QString& title) override { seen << "info:" + title + ":" + text; }
    void closeApplication() override { seen << "close"; }
    bool hasEmailAccount() override { seen << "account"; return composerAnswer; }
    bool composeEmail(const QString& subject, const QString& text) override
    {
        seen << "email:" + subject + ":" + text;
        return composerAnswer;
    }
    bool composeSms(const QString& phoneNumber, const QString& text) override
    {
        seen << "sms:" + phoneNumber + ":" + text;
        return composerAnswer;
    }
};

// The token cipher, text breaking, and what the logic asks of the user: it reaches whatever the
// screens installed, texts unchanged; with nothing installed nothing is shown and the composer refuses.
class TestUtil : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::prepare(); }
    void cleanup() { ScreenPrompts::installForProcess(); }

    void cipherRoundTripAndDamage()
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
        QVERIFY(Util::encrypt(QString()).isEmpty());
        QVERIFY(Util::decrypt(QByteArray()).isEmpty());
        // Damaged input never crashes and never gives back the token.
        QByteArray damaged = Util::encrypt("sekret-token");
        damaged[damaged.size() - 1] = damaged.at(damaged.size() - 1) ^ 0x55;
        QVERIFY(Util::decrypt(damaged) != QString("sekret-token"));
        QVERIFY(Util::decrypt(QByteArray("short")) != QString("short"));
    }

    // Lines keep the space after each word, are never wider than the width, and the last one
    // allowed is elided; a first word wider than the width gives empty lines until then.
    void splitTextBreaksAtSpaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<QStringList>("expected"); // "…": a line that ends elided; "*": any that fits
        const QString e(QChar(0x2026));
        QTest::newRow("narrower than the width") << "alpha" << 0 << QStringList{"alpha"};
        QTest::newRow("two words a line") << "alpha beta gamma" << 2 << QStringList{"alpha beta ", "gamma"};
        QTest::newRow("one line") << "alpha beta gamma delta" << 1 << QStringList{e};
        QTest::newRow("three lines") << "alpha beta gamma delta epsilon zeta eta theta" << 3
                                     << QStringList{"alpha beta ", "*", e};
        QTest::newRow("a word too wide") << QString::fromUtf8("nadzwyczajnieprzedłużonysłowotwór i reszta") << 3
                                         << QStringList{"", "", e};
    }
    void splitTextBreaksAtSpaces()
    {
        QFETCH(QString, text);
        QFETCH(int, maxLines);
        QFETCH(QStringList, expected);
        QFont font("DejaVu Sans");
        font.setPixelSize(16);
        const QFontMetrics fm(font);
        const int w = fm.horizontalAdvance("alpha beta ") + 2;
        const QStringList lines = Util::splitText(text, fm, w, maxLines);
        QCOMPARE(lines.size(), expected.size());
        for (int i = 0; i < lines.size(); ++i) {
            QVERIFY(fm.horizontalAdvance(lines.at(i).trimmed()) <= w);
            if (expected.at(i) == QString(QChar(0x2026)))
                QVERIFY2(lines.at(i).endsWith(QChar(0x2026)), qPrintable(lines.at(i)));
            else if (expected.at(i) != "*")
                QCOMPARE(lines.at(i), expected.at(i));
        }
    }

    void composerHandOff()
    {
        Browser catcher;
        catcher.catchSchemes(true);
        QVERIFY(Util::sendEmail(QString(), QString::fromUtf8("Tytuł & więcej"), "Treść\nlinia 2"));
        QVERIFY(Util::sendSMS("+48600100200", QString::fromUtf8("Zobacz: ąę")));
        Util::openUrl("http://www.kurendal.pl/a?b=1", false);
        catcher.catchSchemes(false);
        QCOMPARE(catcher.opened.size(), 3);

        const QUrl mail = catcher.opened.at(0);
        QCOMPARE(mail.scheme(), QString("mailto"));
        const QUrlQuery mailQuery(mail);
        QCOMPARE(mailQuery.queryItemValue("subject", QUrl::FullyDecoded), QString::fromUtf8("Tytuł & więcej"));
        QCOMPARE(mailQuery.queryItemValue("body", QUrl::FullyDecoded), QString::fromUtf8("Treść\nlinia 2"));
        const QUrl sms = catcher.opened.at(1);
        QCOMPARE(sms.path(), QString("+48600100200"));
        QCOMPARE(QUrlQuery(sms).queryItemValue("body", QUrl::FullyDecoded), QString::fromUtf8("Zobacz: ąę"));
        QCOMPARE(catcher.opened.at(2), QUrl("http://www.kurendal.pl/a?b=1"));
    }

    void theComposerIsAskedThroughTheInstalledPromptsOnly()
    {
        UserPrompts::install(nullptr);
        Boxes boxes;
        UserPrompts::error("tekst", "Błąd");
        UserPrompts::quit();
        QVERIFY(!Util::isAnyEmailAccount());
        QVERIFY(!Util::sendEmail(QString(), "Temat", "Treść"));
        QVERIFY(!Util::sendSMS("600100200", "Treść"));
        QVERIFY(boxes.shown.isEmpty());

        // Installed, the prompts are asked for the composer.
        {
            RecordingPrompts prompts;
            UserPrompts::install(&prompts);
            QVERIFY(Util::isAnyEmailAccount());
            QVERIFY(Util::sendEmail("ignored@example.invalid", "Temat", "Treść"));
            QVERIFY(Util::sendSMS("600100200", "Treść"));
            prompts.composerAnswer = false;
            QVERIFY(!Util::sendSMS("600100200", "Inna"));
            QCOMPARE(prompts.seen, QStringList({"account", "email:Temat:Treść", "sms:600100200:Treść",
                                                "sms:600100200:Inna"}));
        }
        // Prompts destroyed are uninstalled.
        QVERIFY(!UserPrompts::installed());
        UserPrompts::information("po", QString()); // must not reach freed prompts
    }
};

QTEST_MAIN(TestUtil)
#include "tst_util.moc"
